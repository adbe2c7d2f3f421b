#include "common/clipper.h"

namespace clipper {

QString RTrim(QString text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1) == QLatin1Char(' '))
        --end;
    text.truncate(end);
    return text;
}

QString LTrim(QString text)
{
    qsizetype start = 0;
    while (start < text.size() && text.at(start) == QLatin1Char(' '))
        ++start;
    return text.mid(start);
}

QString AllTrim(QString text)
{
    return LTrim(RTrim(std::move(text)));
}

QString Left(const QString &text, int n)
{
    if (n <= 0)
        return QString();
    return n < text.size() ? text.left(n) : text;
}

QString Right(const QString &text, int n)
{
    if (n <= 0)
        return QString();
    return n < text.size() ? text.right(n) : text;
}

QString Capitals(const QString &text)
{
    QString out;
    for (QChar c : text) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            out.append(c);
    }
    return out;
}

QString Initials(const QString &text)
{
    QString out;
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char(' ') && i + 1 < text.size())
            out.append(text.at(i + 1));
    }
    return out;
}

QString UpperAscii(QString text)
{
    for (QChar &c : text) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - ('a' - 'A'));
    }
    return text;
}

bool parseWholeNumber(const QString &text, int &value)
{
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && text.at(i) == QLatin1Char(' '))
        ++i;
    while (end > i && text.at(end - 1) == QLatin1Char(' '))
        --end;
    bool negative = false;
    if (i < end && (text.at(i) == QLatin1Char('+') || text.at(i) == QLatin1Char('-'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    if (i == end)
        return false;
    long long magnitude = 0;
    for (; i < end; ++i) {
        const QChar c = text.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        magnitude = magnitude * 10 + (c.unicode() - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    if (signedValue > 2147483647LL)
        return false;
    value = static_cast<int>(signedValue);
    return true;
}

} // namespace clipper
