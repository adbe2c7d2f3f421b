#include "export/stored_text.h"

#include "common/cp1252.h"

QString storedText(const QString &value, const dbf::FieldDef &field)
{
    if (field.type != dbf::FieldType::Character)
        return value;
    QByteArray bytes = cp1252::encode(value, field.width);
    qsizetype end = bytes.size();
    while (end > 0 && (bytes.at(end - 1) == ' ' || bytes.at(end - 1) == '\0'))
        --end;
    return cp1252::decode(bytes.constData(), end);
}
