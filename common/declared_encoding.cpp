#include "common/declared_encoding.h"

#include "common/xml_head.h"

#include "common/user_error.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstring>

namespace xml {

namespace {

enum class Bom { None, Utf8, Utf16 };

Bom bomOf(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return Bom::Utf8;
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return Bom::Utf16;
    return Bom::None;
}

// The encoding the XML declaration names, from the file's first bytes (a UTF-16
// declaration read without its zero bytes); empty when it names none.
QString declaredEncoding(QByteArrayView bytes)
{
    QByteArray head = bytes.first(std::min<qsizetype>(bytes.size(), 400)).toByteArray();
    head.removeIf([](char c) { return c == '\0'; });
    return xml::declaredEncodingIn(head);
}

bool isSingleByte(const QString &encoding)
{
    static const QStringList names{QStringLiteral("ISO-8859-1"), QStringLiteral("ISO8859-1"),
        QStringLiteral("ISO_8859-1"), QStringLiteral("LATIN1"), QStringLiteral("LATIN-1"),
        QStringLiteral("WINDOWS-1252"), QStringLiteral("CP1252"), QStringLiteral("ISO-8859-15")};
    return names.contains(encoding, Qt::CaseInsensitive);
}

// Whether every byte above 0x7F belongs to a well-formed UTF-8 sequence, and at
// least one does. ASCII runs are skipped eight bytes at a time.
bool readsAsUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    bool multiByte = false;
    while (i < size) {
        if (i + 8 <= size) {
            quint64 word;
            std::memcpy(&word, p + i, 8);
            if ((word & 0x8080808080808080ULL) == 0) {
                i += 8;
                continue;
            }
        }
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int length = 0;
        if (c >= 0xC2 && c <= 0xDF)
            length = 2;
        else if (c >= 0xE0 && c <= 0xEF)
            length = 3;
        else if (c >= 0xF0 && c <= 0xF4)
            length = 4;
        else
            return false;
        if (i + length > size)
            return false;
        for (int k = 1; k < length; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
        }
        multiByte = true;
        i += length;
    }
    return multiByte;
}

} // namespace

QString encodingContradiction(QByteArrayView bytes)
{
    const Bom bom = bomOf(bytes);
    const QString declared = declaredEncoding(bytes);
    if (declared.isEmpty())
        return QString();
    const auto resaved = QStringLiteral("seguramente se abrió y se volvió a guardar con otro programa");
    if (bom == Bom::Utf8 && declared.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) != 0) {
        return QStringLiteral("declara la codificación %1, pero empieza con la marca de UTF-8 (BOM): %2")
            .arg(declared, resaved);
    }
    if (bom == Bom::Utf16 && !declared.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive)) {
        return QStringLiteral("declara la codificación %1, pero empieza con la marca de UTF-16 (BOM): %2")
            .arg(declared, resaved);
    }
    if (bom == Bom::None && isSingleByte(declared) && readsAsUtf8(bytes)) {
        return QStringLiteral("declara la codificación %1, pero parece escrito en UTF-8 (los acentos y las eñes "
                              "ocupan dos bytes): %2")
            .arg(declared, resaved);
    }
    return QString();
}

void refuseMisdeclaredEncoding(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const qint64 size = file.size();
    QByteArray read;
    QByteArrayView bytes;
    if (const uchar *mapped = size > 0 ? file.map(0, size) : nullptr) {
        bytes = QByteArrayView(reinterpret_cast<const char *>(mapped), size);
    } else {
        read = file.readAll();
        bytes = read;
    }
    // Only a single-byte declaration, or a byte order mark, needs the whole file.
    const QString why = encodingContradiction(bytes);
    if (!why.isEmpty()) {
        throw UserError(QStringLiteral("El archivo %1 %2. Use el archivo tal como salió de Séneca o de Planificación, "
                                       "o exporte de nuevo desde allí.")
                            .arg(QDir::toNativeSeparators(path), why));
    }
}

} // namespace xml
