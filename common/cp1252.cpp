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

} // namespace

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
        if (unit < 0x80) { // most text is ASCII
            out[written++] = static_cast<char>(unit);
            continue;
        }
        if (isHighSurrogate(unit) && i + 1 < size && isLowSurrogate(units[i + 1]))
            ++i; // one character outside the code page
        unsigned char byte = '?';
        if (!fromUnicode(unit, byte))
            byte = '?';
        out[written++] = static_cast<char>(byte);
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
