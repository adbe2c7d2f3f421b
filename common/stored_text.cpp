#include "common/stored_text.h"

#include "common/cp1252.h"

#include <algorithm>

QString storedText(const QString &value, const dbf::FieldDef &field)
{
    if (field.type != dbf::FieldType::Character)
        return value;
    // Text of the code page's own characters that fits is stored as it is, less
    // its trailing spaces and NULs: no need to encode and decode it.
    const qsizetype kept = std::min<qsizetype>(value.size(), field.width);
    const char16_t *units = reinterpret_cast<const char16_t *>(value.constData());
    bool plain = value.size() <= field.width;
    for (qsizetype i = 0; plain && i < kept; ++i)
        plain = units[i] < 0x7F || (units[i] >= 0xA0 && units[i] <= 0xFF);
    if (plain) {
        qsizetype end = kept;
        while (end > 0 && (units[end - 1] == u' ' || units[end - 1] == u'\0'))
            --end;
        return end == value.size() ? value : value.left(end);
    }
    QByteArray bytes = cp1252::encode(value, field.width);
    qsizetype end = bytes.size();
    while (end > 0 && (bytes.at(end - 1) == ' ' || bytes.at(end - 1) == '\0'))
        --end;
    return cp1252::decode(bytes.constData(), end);
}
