// The text helpers every step relies on: trimming only spaces, cutting by
// characters, and the short codes derived from names.
#include "common/clipper.h"

#include <gtest/gtest.h>

using namespace clipper;

namespace {

struct TextCase {
    const char *function;
    QString input;
    int n;
    QString expected;
};

QString apply(const TextCase &c)
{
    const QString f = QString::fromLatin1(c.function);
    if (f == QLatin1String("AllTrim"))
        return AllTrim(c.input);
    if (f == QLatin1String("LTrim"))
        return LTrim(c.input);
    if (f == QLatin1String("RTrim"))
        return RTrim(c.input);
    if (f == QLatin1String("Left"))
        return Left(c.input, c.n);
    if (f == QLatin1String("Right"))
        return Right(c.input, c.n);
    if (f == QLatin1String("Capitals"))
        return Capitals(c.input);
    if (f == QLatin1String("Initials"))
        return Initials(c.input);
    return UpperAscii(c.input);
}

} // namespace

TEST(TextHelpers, GiveTheDocumentedResultForEachCase)
{
    const TextCase cases[] = {
        {"AllTrim", QStringLiteral("   "), 0, QString()},
        {"AllTrim", QStringLiteral("  Aula 1  "), 0, QStringLiteral("Aula 1")},
        {"AllTrim", QStringLiteral("\t"), 0, QStringLiteral("\t")},
        {"AllTrim", QStringLiteral(" a \t"), 0, QStringLiteral("a \t")},
        {"AllTrim", QStringLiteral("\u00A0x\u00A0"), 0, QStringLiteral("\u00A0x\u00A0")},
        {"AllTrim", QStringLiteral("\nx "), 0, QStringLiteral("\nx")},
        {"LTrim", QStringLiteral("  x  "), 0, QStringLiteral("x  ")},
        {"RTrim", QStringLiteral("  x  "), 0, QStringLiteral("  x")},
        {"RTrim", QString(), 0, QString()},
        {"Left", QStringLiteral("ABC"), 3, QStringLiteral("ABC")},
        {"Left", QStringLiteral("ABC"), 2, QStringLiteral("AB")},
        {"Left", QStringLiteral("ABC"), 9, QStringLiteral("ABC")},
        {"Left", QStringLiteral("ABC"), 0, QString()},
        {"Left", QStringLiteral("ABC"), -1, QString()},
        {"Left", QStringLiteral("Ñandú"), 2, QStringLiteral("Ña")},
        {"Right", QStringLiteral("ABC"), 2, QStringLiteral("BC")},
        {"Right", QStringLiteral("ABC"), 5, QStringLiteral("ABC")},
        {"Right", QStringLiteral("ABC"), 0, QString()},
        {"Right", QStringLiteral("08:30"), 2, QStringLiteral("30")},
        {"Capitals", QStringLiteral("Educación Física"), 0, QStringLiteral("EF")},
        {"Capitals", QStringLiteral("Ética"), 0, QString()},
        {"Capitals", QStringLiteral("ÑANDÚ 2B"), 0, QStringLiteral("ANDB")},
        {"Initials", QStringLiteral("Lengua Castellana y Literatura"), 0, QStringLiteral("CyL")},
        {"Initials", QStringLiteral("Matemáticas"), 0, QString()},
        {"Initials", QStringLiteral("A  B"), 0, QStringLiteral(" B")},
        {"Initials", QStringLiteral("Fin "), 0, QString()},
        {"Initials", QStringLiteral(" x"), 0, QString()},
        {"UpperAscii", QStringLiteral("biología"), 0, QStringLiteral("BIOLOGíA")},
    };
    for (const TextCase &c : cases) {
        EXPECT_EQ(apply(c), c.expected) << c.function << "(\"" << c.input.toStdString() << "\", " << c.n << ")";
    }
}

TEST(WholeNumbers, AcceptSignAndDigitsWithSpacesAroundWithinThirtyTwoBits)
{
    const struct {
        QString text;
        bool valid;
        int value;
    } cases[] = {
        {QStringLiteral("7"), true, 7}, {QStringLiteral(" 7 "), true, 7}, {QStringLiteral("+12"), true, 12},
        {QStringLiteral("-12"), true, -12}, {QStringLiteral("0480"), true, 480},
        {QStringLiteral("2147483647"), true, 2147483647}, {QStringLiteral("-2147483648"), true, -2147483647 - 1},
        {QStringLiteral("2147483648"), false, 0}, {QStringLiteral("99999999999999999999"), false, 0},
        {QString(), false, 0}, {QStringLiteral("   "), false, 0}, {QStringLiteral("-"), false, 0},
        {QStringLiteral("1 2"), false, 0}, {QStringLiteral("1,00"), false, 0}, {QStringLiteral("1.0"), false, 0},
        {QStringLiteral("\t1"), false, 0}, {QStringLiteral("x1"), false, 0},
        {QStringLiteral("١"), false, 0}, // Arabic-Indic digit: not a decimal digit here
    };
    for (const auto &c : cases) {
        int value = 0;
        EXPECT_EQ(parseWholeNumber(c.text, value), c.valid) << c.text.toStdString();
        if (c.valid) {
            EXPECT_EQ(value, c.value) << c.text.toStdString();
        }
    }
}
