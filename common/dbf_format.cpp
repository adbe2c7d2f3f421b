#include "common/dbf_format.h"

#include "common/cp1252.h"
#include "common/user_error.h"

#include <QSet>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

namespace dbf::format {

namespace {

constexpr int kMaxLevel7Name = 31;
constexpr int kOldNameBytes = 11;
constexpr int kMaxCharWidth = 254;
constexpr std::uint64_t kDoubleSign = 0x8000000000000000ULL;
constexpr char kLanguageDriver[] = "DBWINWE0";
constexpr int kLanguageDriverOffset = 32;

unsigned byteAt(const char *data, std::int64_t offset)
{
    return static_cast<unsigned char>(data[offset]);
}

unsigned le16(const char *data, std::int64_t offset)
{
    return byteAt(data, offset) | (byteAt(data, offset + 1) << 8);
}

std::uint32_t le32(const char *data, std::int64_t offset)
{
    return std::uint32_t(le16(data, offset)) | (std::uint32_t(le16(data, offset + 2)) << 16);
}

void putLe16(char *out, unsigned value)
{
    out[0] = static_cast<char>(value & 0xFF);
    out[1] = static_cast<char>((value >> 8) & 0xFF);
}

std::uint64_t be64(const char *in)
{
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i)
        bits = (bits << 8) | static_cast<unsigned char>(in[i]);
    return bits;
}

void putBe64(char *out, std::uint64_t bits)
{
    for (int i = 7; i >= 0; --i, bits >>= 8)
        out[i] = static_cast<char>(bits & 0xFF);
}

// Versions whose low bits say dBase III/IV (3), level 7 (4) or dBase 5 (5), and
// FoxBase (0x02); Visual FoxPro (0x30..0x32) stores I fields differently.
bool isReadableVersion(unsigned char version)
{
    const int level = version & 0x07;
    return version == 0x02 || level == 3 || level == 4 || level == 5;
}

QString typeText(FieldType type)
{
    return QString(QChar(char16_t(static_cast<unsigned char>(type))));
}

// The descriptors of one layout, or why the bytes are not that layout.
std::optional<QString> readFields(const char *data, int headerLength, bool level7, Header &header)
{
    const int fixed = level7 ? kLevel7FixedHeader : kOldFixedHeader;
    const int step = level7 ? kLevel7Descriptor : kOldDescriptor;
    const int nameBytes = level7 ? kMaxLevel7Name + 1 : kOldNameBytes;
    const int typeAt = level7 ? 32 : 11;
    const int widthAt = level7 ? 33 : 16;
    const int decimalsAt = level7 ? 34 : 17;

    if (headerLength < fixed + 1)
        return QStringLiteral("la cabecera declara %1 bytes, menos de los %2 que ocupa sin campos")
            .arg(QString::number(headerLength), QString::number(fixed + 1));

    Layout fields;
    int pos = fixed;
    while (pos < headerLength && data[pos] != kHeaderTerminator) {
        const int number = int(fields.size()) + 1;
        if (pos + step > headerLength)
            return QStringLiteral("la cabecera (%1 bytes) termina en medio de la descripción del campo %2")
                .arg(QString::number(headerLength), QString::number(number));
        const char *desc = data + pos;
        int nameLength = 0;
        while (nameLength < nameBytes && desc[nameLength] != 0)
            ++nameLength;
        FieldDef field;
        field.name = cp1252::decode(desc, nameLength).trimmed();
        if (field.name.isEmpty())
            return QStringLiteral("el campo %1 no tiene nombre").arg(number);
        const unsigned type = byteAt(desc, typeAt);
        if (type <= 0x20 || type >= 0x7F)
            return QStringLiteral("el campo %1 tiene un tipo no válido (0x%2)")
                .arg(field.name, QStringLiteral("%1").arg(type, 2, 16, QLatin1Char('0')));
        field.type = static_cast<FieldType>(static_cast<char>(type));
        field.width = int(byteAt(desc, widthAt));
        field.decimals = int(byteAt(desc, decimalsAt));
        if (field.width == 0 && !(field.type == FieldType::Character && field.decimals > 0))
            return QStringLiteral("el campo %1 tiene ancho 0").arg(field.name);
        const int fixedW = fixedWidth(field.type);
        if (fixedW > 0 && field.type != FieldType::Logical && field.width != fixedW)
            return QStringLiteral("el campo %1 de tipo %2 tiene ancho %3 en vez de %4")
                .arg(field.name, typeText(field.type), QString::number(field.width), QString::number(fixedW));
        fields.push_back(field);
        pos += step;
    }
    if (fields.empty())
        return QStringLiteral("no describe ningún campo");

    auto recordLength = [&fields](bool wideCharacters) {
        std::int64_t length = 1;
        for (const FieldDef &f : fields) {
            length += f.width;
            if (wideCharacters && f.type == FieldType::Character)
                length += 256 * f.decimals;
        }
        return length;
    };
    // Older writers keep the high byte of a long character field's width in its decimals.
    bool wideCharacters = false;
    if (recordLength(false) != header.recordLength && !level7 && recordLength(true) == header.recordLength)
        wideCharacters = true;
    if (recordLength(wideCharacters) != header.recordLength)
        return QStringLiteral("la longitud de registro de la cabecera (%1) no es la suma de los anchos de "
                              "los campos más uno (%2)")
            .arg(QString::number(header.recordLength), QString::number(recordLength(false)));

    header.offsets.clear();
    int offset = 1;
    for (FieldDef &f : fields) {
        if (wideCharacters && f.type == FieldType::Character) {
            f.width += 256 * f.decimals;
            f.decimals = 0;
        }
        header.offsets.push_back(offset);
        offset += f.width;
    }
    header.fields = std::move(fields);
    header.level7 = level7;
    return std::nullopt;
}

} // namespace

int fixedWidth(FieldType type)
{
    switch (static_cast<char>(type)) {
    case 'I':
    case '+':
        return 4;
    case 'O':
    case '@':
        return 8;
    case 'L':
        return 1;
    default:
        return 0;
    }
}

Header readHeader(const char *data, std::int64_t size, const QString &path)
{
    if (size <= 0)
        throw UserError(QStringLiteral("La tabla %1 está vacía: no es una tabla dBase.").arg(path));
    if (size < kOldFixedHeader)
        throw UserError(QStringLiteral("La tabla %1 está incompleta: el archivo solo tiene %2 bytes, menos "
                                       "que su cabecera.")
                            .arg(path, QString::number(size)));
    Header header;
    header.version = static_cast<unsigned char>(data[0]);
    if (!isReadableVersion(header.version))
        throw UserError(QStringLiteral("El archivo %1 no es una tabla dBase de nivel III, IV o 7 (byte de "
                                       "versión 0x%2).")
                            .arg(path, QStringLiteral("%1").arg(header.version, 2, 16, QLatin1Char('0'))));
    header.recordCount = le32(data, 4);
    header.headerLength = int(le16(data, 8));
    header.recordLength = int(le16(data, 10));
    if (header.headerLength > size)
        throw UserError(QStringLiteral("La tabla %1 está incompleta: su cabecera declara %2 bytes pero el "
                                       "archivo solo tiene %3.")
                            .arg(path, QString::number(header.headerLength), QString::number(size)));

    // The version says which layout; a file that contradicts it gets the other one tried.
    const bool level7 = (header.version & 0x07) == 4;
    std::optional<QString> why = readFields(data, header.headerLength, level7, header);
    if (why && level7 && !readFields(data, header.headerLength, false, header))
        why.reset();
    if (why)
        throw UserError(QStringLiteral("El archivo %1 no es una tabla dBase válida: %2.").arg(path, *why));

    const std::int64_t needed
        = std::int64_t(header.headerLength) + std::int64_t(header.recordCount) * std::int64_t(header.recordLength);
    if (needed > size)
        throw UserError(QStringLiteral("La tabla %1 está incompleta o dañada: su cabecera anuncia %2 registros "
                                       "de %3 bytes (%4 bytes con la cabecera), pero el archivo solo tiene %5.")
                            .arg(path, QString::number(header.recordCount), QString::number(header.recordLength),
                                QString::number(needed), QString::number(size)));
    if (header.recordCount > std::uint32_t(std::numeric_limits<int>::max()))
        throw UserError(QStringLiteral("La tabla %1 tiene demasiados registros.").arg(path));
    return header;
}

Layout checkedLayout(const Layout &layout, const QString &path)
{
    auto refuse = [&path](const QString &why) {
        return UserError(QStringLiteral("No se puede crear la tabla %1: %2.").arg(path, why));
    };
    if (layout.empty())
        throw refuse(QStringLiteral("no tiene campos"));
    Layout checked;
    QSet<QString> names;
    std::int64_t recordLength = 1;
    for (const FieldDef &field : layout) {
        QByteArray encoded;
        if (field.name.isEmpty() || field.name.size() > kMaxLevel7Name || !cp1252::encodeExact(field.name, encoded)
            || encoded.contains('\0'))
            throw refuse(QStringLiteral("el nombre de campo «%1» no es válido").arg(field.name));
        if (names.contains(field.name.toUpper()))
            throw refuse(QStringLiteral("el campo %1 está repetido").arg(field.name));
        names.insert(field.name.toUpper());
        FieldDef out = field;
        switch (field.type) {
        case FieldType::Character:
            if (field.width < 1 || field.width > kMaxCharWidth)
                throw refuse(QStringLiteral("el campo %1 tiene ancho %2 (de 1 a %3)")
                                 .arg(field.name, QString::number(field.width), QString::number(kMaxCharWidth)));
            out.decimals = 0;
            break;
        case FieldType::Integer:
        case FieldType::Double:
        case FieldType::Logical:
            if (field.width != 0 && field.width != fixedWidth(field.type))
                throw refuse(QStringLiteral("el campo %1 de tipo %2 debe tener ancho %3")
                                 .arg(field.name, typeText(field.type), QString::number(fixedWidth(field.type))));
            out.width = fixedWidth(field.type);
            out.decimals = 0;
            break;
        default:
            throw refuse(QStringLiteral("el campo %1 es de tipo %2, que esta tabla no escribe")
                             .arg(field.name, typeText(field.type)));
        }
        recordLength += out.width;
        checked.push_back(out);
    }
    const std::int64_t headerLength = kLevel7FixedHeader + std::int64_t(kLevel7Descriptor) * checked.size() + 1;
    if (recordLength > 0xFFFF || headerLength > 0xFFFF)
        throw refuse(QStringLiteral("tiene demasiados campos"));
    return checked;
}

QByteArray level7Header(const Layout &checked, const QDate &lastUpdate)
{
    const int headerLength = kLevel7FixedHeader + kLevel7Descriptor * int(checked.size()) + 1;
    int recordLength = 1;
    for (const FieldDef &f : checked)
        recordLength += f.width;

    QByteArray header(headerLength, '\0');
    char *h = header.data();
    h[0] = static_cast<char>(kLevel7Version);
    setDateAndCount(h, lastUpdate, 0);
    putLe16(h + 8, unsigned(headerLength));
    putLe16(h + 10, unsigned(recordLength));
    std::memcpy(h + kLanguageDriverOffset, kLanguageDriver, sizeof kLanguageDriver - 1);
    int pos = kLevel7FixedHeader;
    for (const FieldDef &f : checked) {
        const QByteArray name = cp1252::encode(f.name, kMaxLevel7Name);
        std::memcpy(h + pos, name.constData(), size_t(name.size()));
        h[pos + 32] = static_cast<char>(f.type);
        h[pos + 33] = static_cast<char>(f.width);
        h[pos + 34] = static_cast<char>(f.decimals);
        pos += kLevel7Descriptor;
    }
    h[pos] = kHeaderTerminator;
    return header;
}

void setDateAndCount(char *header, const QDate &lastUpdate, std::uint32_t count)
{
    // The year byte holds years since 1900; dates outside 1900-2155 are clamped.
    const int year = std::clamp(lastUpdate.year() - 1900, 0, 255);
    header[1] = static_cast<char>(year);
    header[2] = static_cast<char>(lastUpdate.month());
    header[3] = static_cast<char>(lastUpdate.day());
    for (int i = 0; i < 4; ++i)
        header[4 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
}

void putInteger(char *out, std::int32_t value)
{
    const std::uint32_t bits = std::uint32_t(value) ^ 0x80000000U;
    for (int i = 3; i >= 0; --i)
        out[3 - i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
}

bool getInteger(const char *in, std::int32_t &value)
{
    std::uint32_t bits = 0;
    for (int i = 0; i < 4; ++i)
        bits = (bits << 8) | static_cast<unsigned char>(in[i]);
    if (bits == 0)
        return false;
    value = std::int32_t(bits ^ 0x80000000U);
    return true;
}

void putDouble(char *out, double value)
{
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    // -0.0 compares >= 0 and so is stored as 0.0.
    bits = value >= 0.0 ? (bits | kDoubleSign) : ~bits;
    putBe64(out, bits);
}

bool getDouble(const char *in, double &value)
{
    std::uint64_t bits = be64(in);
    if (bits == 0)
        return false;
    bits = (bits & kDoubleSign) ? (bits & ~kDoubleSign) : ~bits;
    value = std::bit_cast<double>(bits);
    return true;
}

QString timestampText(const char *in)
{
    std::uint64_t bits = be64(in);
    if (bits == 0)
        return QString();
    bits &= ~kDoubleSign;
    const double ms = std::bit_cast<double>(bits);
    constexpr double kMsPerDay = 86400000.0;
    constexpr double kLastDay = 7300000.0; // about year 20000: beyond it the bytes are no timestamp
    constexpr std::int64_t kJulianDayBeforeYear1 = 1721425;
    if (!std::isfinite(ms) || ms >= kLastDay * kMsPerDay)
        return QString::number(ms, 'g', 17);
    const auto days = static_cast<std::int64_t>(ms / kMsPerDay);
    const auto msOfDay = static_cast<std::int64_t>(std::llround(ms - double(days) * kMsPerDay));
    const QDate date = QDate::fromJulianDay(days + kJulianDayBeforeYear1);
    const std::int64_t seconds = std::min<std::int64_t>(msOfDay / 1000, 86399);
    return QString::asprintf("%04d-%02d-%02d %02d:%02d:%02d", date.year(), date.month(), date.day(),
        int(seconds / 3600), int(seconds / 60 % 60), int(seconds % 60));
}

} // namespace dbf::format
