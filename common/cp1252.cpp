#include "common/cp1252.h"

namespace cp1252 {

namespace {

// 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

struct DecodeTable {
    char16_t units[256];
    constexpr DecodeTable()
        : units()
    {
        for (int i = 0; i < 256; ++i)
            units[i] = (i >= 0x80 && i < 0xA0) ? kHighControls[i - 0x80] : char16_t(i);
    }
};

constexpr DecodeTable kDecode;

bool isHighSurrogate(char16_t u)
{
    return u >= 0xD800 && u < 0xDC00;
}
bool isLowSurrogate(char16_t u)
{
    return u >= 0xDC00 && u < 0xE000;
}

// Letters Unicode gives no decomposition that Windows' best fit still writes as
// a plain letter.
struct BestFitLetter {
    char16_t from;
    char to;
};
constexpr BestFitLetter kLettersWithoutDecomposition[] = {
    {u'\u0110', 'D'},
    {u'\u0111', 'd'},
    {u'\u0126', 'H'},
    {u'\u0127', 'h'},
    {u'\u0131', 'i'},
    {u'\u0141', 'L'},
    {u'\u0142', 'l'},
    {u'\u0166', 'T'},
    {u'\u0167', 't'},
    {u'\u0180', 'b'},
    {u'\u0181', 'B'},
    {u'\u0187', 'C'},
    {u'\u0188', 'c'},
    {u'\u018A', 'D'},
    {u'\u0191', 'F'},
    {u'\u0193', 'G'},
    {u'\u0197', 'I'},
    {u'\u0198', 'K'},
    {u'\u0199', 'k'},
    {u'\u019A', 'l'},
    {u'\u019D', 'N'},
    {u'\u019E', 'n'},
    {u'\u01A4', 'P'},
    {u'\u01A5', 'p'},
    {u'\u01AB', 't'},
    {u'\u01AC', 'T'},
    {u'\u01AD', 't'},
    {u'\u01AE', 'T'},
    {u'\u01B3', 'Y'},
    {u'\u01B4', 'y'},
    {u'\u01B5', 'Z'},
    {u'\u01B6', 'z'},
    {u'\u01E4', 'G'},
    {u'\u01E5', 'g'},
    {u'\u2010', '-'},
    {u'\u2011', '-'},
    {u'\u2012', '-'},
    {u'\u2032', '\''},
    {u'\u2033', '"'},
    {u'\u2212', '-'},
};

bool isUndefinedByte(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// The byte of a character the code page defines; false for every other character.
bool definedByte(char16_t unit, unsigned char &byte)
{
    if (unit == 0x7F || !fromUnicode(unit, byte))
        return false;
    return !isUndefinedByte(byte);
}

unsigned char bestFitByte(char16_t unit)
{
    for (const BestFitLetter &letter : kLettersWithoutDecomposition) {
        if (letter.from == unit)
            return static_cast<unsigned char>(letter.to);
    }
    // The base letter: the first character of the decomposition, followed down
    // (Ǻ is Å and an acute accent). A compatibility decomposition counts only for a
    // letter that decomposes to a letter (a full-width A is an A).
    QChar c(unit);
    for (int depth = 0; depth < 4; ++depth) {
        const QString parts = c.decomposition();
        if (parts.isEmpty())
            break;
        const QChar first = parts.front();
        if (c.decompositionTag() != QChar::Canonical && !(c.isLetter() && first.isLetter()))
            break;
        unsigned char byte = 0;
        if (definedByte(first.unicode(), byte))
            return byte;
        c = first;
    }
    return '?';
}

} // namespace

unsigned char writtenByte(char16_t unit)
{
    unsigned char byte = 0;
    if (definedByte(unit, byte))
        return byte;
    if (unit == 0x7F || (unit >= 0x80 && unit < 0xA0))
        return '?';
    return bestFitByte(unit);
}

char16_t toUnicode(unsigned char byte)
{
    return kDecode.units[byte];
}

bool fromUnicode(char16_t unit, unsigned char &byte)
{
    if (unit < 0x80 || (unit >= 0xA0 && unit <= 0xFF)) {
        byte = static_cast<unsigned char>(unit);
        return true;
    }
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == unit) {
            byte = static_cast<unsigned char>(0x80 + i);
            return true;
        }
    }
    return false;
}

QString decode(const char *data, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < size; ++i)
        out[i] = QChar(kDecode.units[static_cast<unsigned char>(data[i])]);
    return text;
}

QByteArray encode(const QString &text, qsizetype maxChars)
{
    const qsizetype capacity = maxChars >= 0 && maxChars < text.size() ? maxChars : text.size();
    QByteArray out(capacity, Qt::Uninitialized);
    out.truncate(encodeInto(text, out.data(), capacity));
    return out;
}

qsizetype encodeInto(const QString &text, char *out, qsizetype capacity)
{
    const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
    const qsizetype size = text.size();
    qsizetype written = 0;
    for (qsizetype i = 0; i < size && written < capacity; ++i) {
        const char16_t unit = units[i];
        if (unit < 0x7F) { // most text is ASCII
            out[written++] = static_cast<char>(unit);
            continue;
        }
        if (isHighSurrogate(unit) && i + 1 < size && isLowSurrogate(units[i + 1])) {
            ++i; // one character outside the code page
            out[written++] = '?';
            continue;
        }
        out[written++] = static_cast<char>(writtenByte(unit));
    }
    return written;
}

bool encodeExact(const QString &text, QByteArray &out)
{
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        unsigned char byte = 0;
        if (!fromUnicode(text.at(i).unicode(), byte))
            return false;
        out[i] = static_cast<char>(byte);
    }
    return true;
}

} // namespace cp1252
