#include "common/cp1252.h"

#include <gtest/gtest.h>

namespace {

TEST(Cp1252, EveryByteDecodesAndIsLookedUpAsItselfButNoneUndefinedIsWritten)
{
    QByteArray all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[i] = static_cast<char>(i);
    const QString text = cp1252::decode(all.constData(), all.size());
    ASSERT_EQ(text.size(), 256);
    // A lookup of what a table holds finds it, whatever byte it holds.
    QByteArray exact;
    EXPECT_TRUE(cp1252::encodeExact(text, exact));
    EXPECT_EQ(exact, all);
    // Writing it back puts "?" where DEL and the five undefined bytes stood.
    QByteArray written = all;
    for (int undefined : {0x7F, 0x81, 0x8D, 0x8F, 0x90, 0x9D})
        written[undefined] = '?';
    EXPECT_EQ(cp1252::encode(text), written);
}

TEST(Cp1252, BytesMapToTheirCharacters)
{
    struct Case {
        unsigned char byte;
        char16_t unit;
    };
    const Case cases[] = {
        {0x41, u'A'},
        {0x80, u'\u20AC'},
        {0x81, u'\u0081'},
        {0x8A, u'\u0160'},
        {0x8D, u'\u008D'},
        {0x8F, u'\u008F'},
        {0x90, u'\u0090'},
        {0x93, u'\u201C'},
        {0x9D, u'\u009D'},
        {0x9F, u'\u0178'},
        {0xA0, u'\u00A0'},
        {0xD1, u'\u00D1'},
        {0xE9, u'\u00E9'},
        {0xFF, u'\u00FF'},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(cp1252::toUnicode(c.byte), c.unit) << int(c.byte);
        unsigned char back = 0;
        EXPECT_TRUE(cp1252::fromUnicode(c.unit, back)) << int(c.byte);
        EXPECT_EQ(back, c.byte);
    }
}

TEST(Cp1252, CharactersOutsideTheCodePageTakeTheirBaseLetterElseOneQuestionMark)
{
    struct Case {
        QString text;
        qsizetype maxChars;
        QByteArray bytes;
    };
    const Case cases[] = {
        // Letters with a decomposition, and those without one that still have a base letter.
        {QStringLiteral("ŁŻŚ ĆĖŪ"), -1, "LZS CEU"},
        {QStringLiteral("Łódź"), -1,
            "L\xF3"
            "dz"},
        {QStringLiteral("ȘȚșț"), -1, "STst"},
        {QStringLiteral("Đđłħı"), -1, "Ddlhi"},
        {QStringLiteral("Ǻ"), -1, "\xC5"}, // down to the letter the code page has
        {QStringLiteral("ＡＢ"), -1, "AB"}, // full width
        {QStringLiteral("Øø"), -1, "\xD8\xF8"}, // the code page's own letters stay
        // No base letter: one "?" per character.
        {QStringLiteral("\u0080\u4E2D\u03A9"), -1, "???"}, // U+0080 is not byte 0x80
        {QStringLiteral("a\U0001F600b"), -1, "a?b"}, // a surrogate pair is one character
        {QString(QChar(0xD800)) + QLatin1Char('x'), -1, "?x"}, // a lone surrogate
        // DEL and the characters of the undefined bytes are never written.
        {QStringLiteral("a\u007Fb\u0081\u008D\u008F\u0090\u009D"), -1, "a?b?????"},
        {QStringLiteral("Información"), 5, "Infor"},
        {QStringLiteral("a\U0001F600bcdef"), 5, "a?bcd"},
        {QStringLiteral("\u00F1\u00F1\u00F1"), 2, "\xF1\xF1"},
        {QStringLiteral("abc"), 0, ""},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(cp1252::encode(c.text, c.maxChars), c.bytes) << c.text.toStdString();
        // Encoding into a field's bytes gives the same, and never writes past them.
        const qsizetype capacity = c.maxChars < 0 ? c.text.size() : c.maxChars;
        QByteArray field(capacity + 4, '#');
        const qsizetype written = cp1252::encodeInto(c.text, field.data(), capacity);
        EXPECT_EQ(field.left(written), c.bytes) << c.text.toStdString();
        EXPECT_EQ(field.mid(written), QByteArray(capacity + 4 - written, '#')) << c.text.toStdString();
    }
}

TEST(Cp1252, ExactEncodingRefusesWhatItCannotStore)
{
    QByteArray out;
    EXPECT_FALSE(cp1252::encodeExact(QStringLiteral("Łódź"), out));
    EXPECT_TRUE(cp1252::encodeExact(QStringLiteral("Año €"), out));
    EXPECT_EQ(out, QByteArray("A\xF1o \x80"));
}

} // namespace
