#include "common/dbf_table.h"

#include "common/clipper.h"
#include "common/cp1252.h"
#include "common/dbf_format.h"
#include "common/disk_io.h"
#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QVarLengthArray>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <exception>
#include <limits>
#include <unordered_map>

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif
#include <cerrno>

namespace dbf {

namespace {

// Batched appends are written at the latest when this many bytes wait.
constexpr std::size_t kBatchBytes = 1 << 20;

QString lockedText(const QString &path)
{
    return QStringLiteral("La tabla %1 está abierta en otro programa (por ejemplo Horavent). Ciérrela y vuelva "
                          "a intentarlo.")
        .arg(path);
}

enum class LockResult { Locked, Busy, Unsupported };

// An advisory lock on the whole file, held until the file is closed.
LockResult lockFile(QFile &file, bool exclusive)
{
#if defined(Q_OS_WIN)
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    OVERLAPPED overlapped{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &overlapped))
        return LockResult::Locked;
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockResult::Busy : LockResult::Unsupported;
#else
    for (;;) {
        if (::flock(file.handle(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0)
            return LockResult::Locked;
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? LockResult::Busy : LockResult::Unsupported;
    }
#endif
}

// Whether another open file (in this or another program) holds a lock on the path.
bool isLockedElsewhere(const QString &path)
{
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return false;
    return lockFile(probe, true) == LockResult::Busy;
}

char typeChar(const FieldDef &field)
{
    return static_cast<char>(field.type);
}

// Fields whose null is zero bytes rather than spaces.
bool isBinary(const FieldDef &field)
{
    const char type = typeChar(field);
    return type == 'I' || type == 'O' || type == '+' || type == '@';
}

bool isSpaceOrZero(char c)
{
    return c == ' ' || c == '\0';
}

// Numbers as a person writes them: no exponent for the usual magnitudes.
QString doubleText(double value)
{
    const double magnitude = std::fabs(value);
    const char format = (value == 0.0 || (magnitude >= 1e-6 && magnitude < 1e15)) ? 'f' : 'g';
    return QString::number(value, format, QLocale::FloatingPointShortest);
}

bool parseDouble(const QString &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool isWholeInt(double value)
{
    return std::isfinite(value) && value == std::trunc(value) && value >= double(std::numeric_limits<int>::min())
        && value <= double(std::numeric_limits<int>::max());
}

QString notAFloatText(const QString &value)
{
    return QStringLiteral("'%1' is not a valid floating point value").arg(value);
}

// A search value in the form Table::key gives a stored field of that type.
QString searchKey(FieldType type, const QString &value)
{
    switch (static_cast<char>(type)) {
    case 'C':
        return clipper::RTrim(value);
    case 'I':
    case '+': {
        const QString trimmed = clipper::AllTrim(value);
        int number = 0;
        if (trimmed.isEmpty())
            return QString();
        return clipper::parseWholeNumber(trimmed, number) ? QString::number(number) : value;
    }
    case 'O': {
        const QString trimmed = clipper::AllTrim(value);
        double number = 0;
        if (trimmed.isEmpty())
            return QString();
        return parseDouble(trimmed, number) ? doubleText(number) : value;
    }
    default:
        return clipper::AllTrim(value);
    }
}

} // namespace

struct Table::Impl {
    QString path;
    QFile file;
    Access access = Access::ReadShared;
    bool isOpen = false;
    format::Header header;
    std::vector<char> data; // the header bytes, then every record
    std::vector<char> blank;
    int rows = 0;
    int diskRows = 0; // records the file's header counts
    int deleted = 0;
    QHash<QString, int> byName;
    // The header's last-update date, taken once when the table opens: asking the
    // clock on every post costs more than writing the record.
    QDate today;
    // Bytes 1-7 of the header (date and count) as the file holds them.
    char headerOnDisk[7] = {};
    // Batched posts. The bytes of the appended rows posted but not yet written,
    // rows diskRows .. diskRows + pendingRows - 1, each as it was when posted; and
    // the records that were on disk when batching began, as posted since, with the
    // range of them posted again and not yet written.
    bool batching = false;
    std::vector<char> pending;
    int pendingRows = 0;
    std::vector<char> posted;
    int postedRows = 0;
    int firstRepost = -1;
    int lastRepost = -1;

    int filterField = -1;
    QString filterKey;
    // For each field filtered on: the live rows under each key, built on the first filter.
    mutable std::unordered_map<int, QHash<QString, std::vector<int>>> rowsByKey;

    std::size_t offsetOf(int row) const
    {
        return std::size_t(header.headerLength) + std::size_t(row) * std::size_t(header.recordLength);
    }
    const char *record(int row) const { return data.data() + offsetOf(row); }
    char *record(int row) { return data.data() + offsetOf(row); }
    const char *cell(int row, int field) const { return record(row) + header.offsets[std::size_t(field)]; }
    char *cell(int row, int field) { return record(row) + header.offsets[std::size_t(field)]; }
    const FieldDef &def(int field) const { return header.fields[std::size_t(field)]; }

    // The checks run on every read and write of a value: the errors are kept out of line.
    void checkOpen() const
    {
        if (!isOpen) [[unlikely]]
            notOpen();
    }
    void checkField(int field) const
    {
        if (!isOpen || field < 0 || field >= int(header.fields.size())) [[unlikely]]
            noSuchField(field);
    }
    void checkRow(int row) const
    {
        if (!isOpen || row < 0 || row >= rows) [[unlikely]]
            noSuchRow(row);
    }
    [[noreturn]] Q_DECL_COLD_FUNCTION void notOpen() const
    {
        throw UserError(QStringLiteral("La tabla %1 no está abierta.").arg(path));
    }
    [[noreturn]] Q_DECL_COLD_FUNCTION void noSuchField(int field) const
    {
        checkOpen();
        throw UserError(
            QStringLiteral("La tabla %1 no tiene el campo número %2.").arg(path, QString::number(field + 1)));
    }
    [[noreturn]] Q_DECL_COLD_FUNCTION void noSuchRow(int row) const
    {
        checkOpen();
        throw UserError(QStringLiteral("La tabla %1 no tiene el registro %2.").arg(path, QString::number(row + 1)));
    }
    void check(int row, int field) const
    {
        checkRow(row);
        checkField(field);
    }

    // Where a bad value is, for the person to find it.
    QString where(int row, int field) const
    {
        return QStringLiteral(" (tabla %1, registro %2, campo %3)")
            .arg(path, QString::number(row + 1), def(field).name);
    }
    UserError notAnInteger(int row, int field, const QString &value) const
    {
        return UserError(notAnIntegerText(value) + where(row, field));
    }
    UserError doesNotFit(int row, int field, const QString &value) const
    {
        return UserError(
            QStringLiteral("El valor %1 no cabe en %2 posiciones").arg(value, QString::number(def(field).width))
            + where(row, field));
    }

    void changed()
    {
        if (!rowsByKey.empty()) // clearing an empty map still clears its buckets
            rowsByKey.clear();
    }

    // Writes the bytes, and then the tail when there is one, at an offset of the
    // file: one system call where the system allows it, since every post writes.
    void writeAt(qint64 offset, const char *bytes, qint64 size, const char *tail = nullptr, qint64 tailSize = 0)
    {
        if (const int error = disk::writeAt(file.handle(), offset, bytes, size, tail, tailSize))
            throw UserError(disk::failureText(QStringLiteral("escribir en la tabla"), path, error));
    }

    // The date and count of the header, written when the file says otherwise.
    void writeDateAndCount()
    {
        format::setDateAndCount(data.data(), today, std::uint32_t(diskRows));
        if (std::memcmp(data.data() + 1, headerOnDisk, sizeof headerOnDisk) != 0) {
            writeAt(1, data.data() + 1, sizeof headerOnDisk);
            std::memcpy(headerOnDisk, data.data() + 1, sizeof headerOnDisk);
        }
    }

    // Writes the batched posts: the records posted again as one run (the records
    // between them as the file already holds them), then the appended rows, the
    // end mark and the count.
    void writePending()
    {
        if (firstRepost < 0 && pendingRows == 0)
            return;
        const std::size_t length = std::size_t(header.recordLength);
        if (firstRepost >= 0) {
            writeAt(qint64(offsetOf(firstRepost)), posted.data() + std::size_t(firstRepost) * length,
                qint64(std::size_t(lastRepost - firstRepost + 1) * length));
            firstRepost = lastRepost = -1;
        }
        if (pendingRows > 0) {
            static const char endMark = format::kEndOfFile;
            writeAt(qint64(offsetOf(diskRows)), pending.data(), qint64(pending.size()), &endMark, 1);
            diskRows += pendingRows;
            pendingRows = 0;
            pending.clear();
        }
        writeDateAndCount();
    }

    void fill(int row, int field, const QByteArray &bytes, bool alignRight)
    {
        const FieldDef &f = def(field);
        char *out = cell(row, field);
        const int size = std::min(int(bytes.size()), f.width);
        std::memset(out, ' ', std::size_t(f.width));
        std::memcpy(out + (alignRight ? f.width - size : 0), bytes.constData(), std::size_t(size));
    }
};

QStringList tableFiles(const QString &dbfPath)
{
    QString base = dbfPath;
    if (base.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive))
        base.chop(4);
    QStringList paths{dbfPath, base + QLatin1String(".DBF"), base + QLatin1String(".dbf"), base + QLatin1String(".MDX"),
        base + QLatin1String(".mdx")};
    paths.removeDuplicates();
    return paths;
}

void removeTableFiles(const QString &dbfPath)
{
    for (const QString &path : tableFiles(dbfPath)) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (isLockedElsewhere(path))
            throw UserError(lockedText(path));
        if (const int error = disk::removeFile(path))
            throw UserError(disk::failureText(QStringLiteral("borrar el archivo"), path, error));
    }
}

void createTable(const QString &dbfPath, const Layout &layout)
{
    const Layout checked = format::checkedLayout(layout, dbfPath);
    if (QFileInfo::exists(dbfPath) && isLockedElsewhere(dbfPath))
        throw UserError(lockedText(dbfPath));
    QByteArray bytes = format::level7Header(checked, QDate::currentDate());
    bytes.append(format::kEndOfFile);
    // A new table appears whole under its name. It is not forced to disk here: the
    // records written next are not either, and a staged export forces each table
    // once, when all of them are complete.
    disk::writeWholeFile(dbfPath, bytes, false);
}

bool isInUse(const QString &path)
{
    return QFileInfo(path).isFile() && isLockedElsewhere(path);
}

bool tableExists(const QString &dbfPath)
{
    return QFileInfo(dbfPath).isFile();
}

Table::Table()
    : d(std::make_unique<Impl>())
{
}

Table::Table(QString dbfPath)
    : d(std::make_unique<Impl>())
{
    d->path = std::move(dbfPath);
}

Table::~Table()
{
    if (!d)
        return;
    try {
        close();
    } catch (const UserError &) {
        // Batched rows that cannot be written while an error unwinds the step are
        // lost with it; an explicit close() reports the failure.
    }
}

Table::Table(Table &&) noexcept = default;
Table &Table::operator=(Table &&) noexcept = default;

void Table::open(Access access)
{
    close();
    Impl &t = *d;
    const QFileInfo info(t.path);
    if (info.isDir())
        throw UserError(QStringLiteral("%1 es una carpeta, no una tabla.").arg(t.path));
    if (!info.isFile())
        throw UserError(QStringLiteral("No se encuentra la tabla %1.").arg(t.path));
    const bool writable = access == Access::Exclusive;
    t.file.setFileName(t.path);
    errno = 0;
    if (!t.file.open((writable ? QIODevice::ReadWrite : QIODevice::ReadOnly) | QIODevice::Unbuffered)) {
        throw UserError(disk::failureText(
            writable ? QStringLiteral("abrir para escribir la tabla") : QStringLiteral("abrir la tabla"), t.path,
            errno));
    }
    try {
        // A file system without locks leaves the table unlocked, as any other program finds it.
        if (lockFile(t.file, access != Access::ReadShared) == LockResult::Busy)
            throw UserError(lockedText(t.path));

        const qint64 size = t.file.size();
        if (size > std::numeric_limits<int>::max())
            throw UserError(QStringLiteral("El archivo %1 es demasiado grande para ser una tabla.").arg(t.path));
        t.data.resize(std::size_t(size));
        qint64 done = 0;
        while (done < size) {
            errno = 0;
            const qint64 got = t.file.read(t.data.data() + done, size - done);
            if (got <= 0)
                throw UserError(disk::failureText(QStringLiteral("leer la tabla"), t.path, got < 0 ? errno : EIO));
            done += got;
        }

        t.header = format::readHeader(t.data.data(), size, t.path);
        t.rows = t.diskRows = int(t.header.recordCount);
        t.data.resize(t.offsetOf(t.rows)); // the end mark and whatever follows it are not records
        t.deleted = 0;
        for (int row = 0; row < t.rows; ++row) {
            if (*t.record(row) == format::kDeletedFlag)
                ++t.deleted;
        }
        t.byName.clear();
        t.blank.assign(std::size_t(t.header.recordLength), ' ');
        // Backwards, so that a repeated name finds its first field.
        for (int i = int(t.header.fields.size()) - 1; i >= 0; --i) {
            const FieldDef &f = t.def(i);
            t.byName.insert(f.name.toUpper(), i);
            if (isBinary(f))
                std::memset(t.blank.data() + t.header.offsets[std::size_t(i)], 0, std::size_t(f.width));
        }
    } catch (...) {
        close();
        throw;
    }
    std::memcpy(t.headerOnDisk, t.data.data() + 1, sizeof t.headerOnDisk);
    t.access = access;
    t.today = QDate::currentDate();
    t.isOpen = true;
}

void Table::close()
{
    std::exception_ptr failure;
    if (d->isOpen) {
        try {
            d->writePending();
        } catch (...) {
            failure = std::current_exception();
        }
    }
    d->batching = false;
    d->pending.clear();
    d->pendingRows = 0;
    std::vector<char>().swap(d->posted);
    d->postedRows = 0;
    d->firstRepost = d->lastRepost = -1;
    d->file.close(); // releases the lock
    d->isOpen = false;
    d->header = format::Header();
    std::vector<char>().swap(d->data);
    d->blank.clear();
    d->rows = d->diskRows = d->deleted = 0;
    d->byName.clear();
    d->filterField = -1;
    d->filterKey.clear();
    d->rowsByKey.clear();
    if (failure)
        std::rethrow_exception(failure);
}

void Table::batchPosts()
{
    d->checkOpen();
    if (d->batching)
        return;
    d->batching = true;
    // The records as the file holds them, which a row posted again replaces.
    d->postedRows = d->diskRows;
    d->posted.assign(d->record(0), d->record(d->diskRows));
}

bool Table::isOpen() const
{
    return d && d->isOpen;
}

const QString &Table::path() const
{
    return d->path;
}

QString Table::fileName() const
{
    return QFileInfo(d->path).fileName();
}

int Table::fieldCount() const
{
    return int(d->header.fields.size());
}

const FieldDef &Table::field(int index) const
{
    d->checkField(index);
    return d->def(index);
}

int Table::fieldIndex(const QString &name) const
{
    const int index = d->byName.value(name.toUpper(), -1);
    if (index < 0)
        throw UserError(QStringLiteral("La tabla %1 no tiene el campo %2.").arg(d->path, name));
    return index;
}

bool Table::hasField(const QString &name) const
{
    return d->byName.contains(name.toUpper());
}

int Table::size() const
{
    return d->rows;
}

bool Table::isDeleted(int row) const
{
    d->checkRow(row);
    return *d->record(row) == format::kDeletedFlag;
}

int Table::recordCount() const
{
    return d->rows - d->deleted;
}

std::vector<int> Table::liveRows() const
{
    std::vector<int> rows;
    rows.reserve(std::size_t(recordCount()));
    for (int row = 0; row < d->rows; ++row) {
        if (*d->record(row) != format::kDeletedFlag)
            rows.push_back(row);
    }
    return rows;
}

QString Table::text(int row, int field) const
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    const char *p = d->cell(row, field);
    switch (typeChar(f)) {
    case 'C': {
        int end = f.width;
        while (end > 0 && isSpaceOrZero(p[end - 1]))
            --end;
        return cp1252::decode(p, end);
    }
    case 'I':
    case '+': {
        std::int32_t value = 0;
        return format::getInteger(p, value) ? QString::number(value) : QString();
    }
    case 'O': {
        double value = 0;
        return format::getDouble(p, value) ? doubleText(value) : QString();
    }
    case 'L':
        switch (p[0]) {
        case 'T':
        case 't':
        case 'Y':
        case 'y':
            return QStringLiteral("T");
        case 'F':
        case 'f':
        case 'N':
        case 'n':
            return QStringLiteral("F");
        default:
            return QString();
        }
    case '@':
        return format::timestampText(p);
    default: {
        // Numbers, dates and whatever else other programs store as text.
        int begin = 0;
        int end = f.width;
        while (end > 0 && isSpaceOrZero(p[end - 1]))
            --end;
        while (begin < end && isSpaceOrZero(p[begin]))
            ++begin;
        return cp1252::decode(p + begin, end - begin);
    }
    }
}

int Table::integer(int row, int field) const
{
    d->check(row, field);
    const char *p = d->cell(row, field);
    switch (typeChar(d->def(field))) {
    case 'I':
    case '+': {
        std::int32_t value = 0;
        return format::getInteger(p, value) ? value : 0;
    }
    case 'O': {
        double value = 0;
        if (!format::getDouble(p, value))
            return 0;
        if (!isWholeInt(value))
            throw d->notAnInteger(row, field, doubleText(value));
        return int(value);
    }
    case 'N':
    case 'F': {
        const QString value = text(row, field);
        int number = 0;
        double real = 0;
        if (value.isEmpty())
            return 0;
        if (clipper::parseWholeNumber(value, number))
            return number;
        if (parseDouble(value, real) && isWholeInt(real)) // "12.00" in a field with decimals
            return int(real);
        throw d->notAnInteger(row, field, value);
    }
    default: {
        const QString value = text(row, field);
        int number = 0;
        if (!clipper::parseWholeNumber(value, number))
            throw d->notAnInteger(row, field, value);
        return number;
    }
    }
}

double Table::number(int row, int field) const
{
    d->check(row, field);
    const char *p = d->cell(row, field);
    switch (typeChar(d->def(field))) {
    case 'I':
    case '+': {
        std::int32_t value = 0;
        return format::getInteger(p, value) ? double(value) : 0.0;
    }
    case 'O': {
        double value = 0;
        return format::getDouble(p, value) ? value : 0.0;
    }
    default: {
        const char type = typeChar(d->def(field));
        const QString value = text(row, field);
        double real = 0;
        if (value.isEmpty() && (type == 'N' || type == 'F'))
            return 0.0;
        if (!parseDouble(value, real))
            throw UserError(notAFloatText(value) + d->where(row, field));
        return real;
    }
    }
}

bool Table::isNull(int row, int field) const
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    const char *p = d->cell(row, field);
    switch (typeChar(f)) {
    case 'I':
    case '+':
    case 'O':
    case '@':
        return std::all_of(p, p + f.width, [](char c) { return c == '\0'; });
    default:
        return text(row, field).isEmpty();
    }
}

int Table::appendBlank()
{
    d->checkOpen();
    d->data.insert(d->data.end(), d->blank.begin(), d->blank.end());
    d->changed();
    return d->rows++;
}

void Table::setText(int row, int field, const QString &value)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    char *p = d->cell(row, field);
    switch (typeChar(f)) {
    case 'C': {
        // Encoded straight into the record: no text is built per field.
        const qsizetype size = cp1252::encodeInto(value, p, f.width);
        std::memset(p + size, ' ', std::size_t(f.width - size));
        break;
    }
    case 'I':
    case '+': {
        int number = 0;
        if (clipper::AllTrim(value).isEmpty())
            std::memset(p, 0, 4);
        else if (clipper::parseWholeNumber(value, number))
            setInteger(row, field, number);
        else
            throw d->notAnInteger(row, field, value);
        break;
    }
    case 'O': {
        double real = 0;
        if (clipper::AllTrim(value).isEmpty())
            std::memset(p, 0, 8);
        else if (parseDouble(value, real))
            format::putDouble(p, real);
        else
            throw UserError(notAFloatText(value) + d->where(row, field));
        break;
    }
    case 'L': {
        const QString flag = clipper::AllTrim(value).toUpper();
        if (flag.isEmpty())
            *p = ' ';
        else if (flag == QLatin1String("T") || flag == QLatin1String("Y"))
            *p = 'T';
        else if (flag == QLatin1String("F") || flag == QLatin1String("N"))
            *p = 'F';
        else
            throw UserError(QStringLiteral("'%1' no es un valor lógico (T o F)").arg(value) + d->where(row, field));
        break;
    }
    case 'N':
    case 'F': {
        const QString trimmed = clipper::AllTrim(value);
        double real = 0;
        if (trimmed.isEmpty()) {
            d->fill(row, field, QByteArray(), true);
            break;
        }
        if (!parseDouble(trimmed, real))
            throw UserError(notAFloatText(value) + d->where(row, field));
        const QByteArray digits = QByteArray::number(real, 'f', f.decimals);
        if (digits.size() > f.width)
            throw d->doesNotFit(row, field, value);
        d->fill(row, field, digits, true);
        break;
    }
    case 'D': {
        const QString date = clipper::AllTrim(value);
        if (!date.isEmpty() && (date.size() != 8 || !std::all_of(date.begin(), date.end(), [](QChar c) {
                return c >= QLatin1Char('0') && c <= QLatin1Char('9');
            })))
            throw UserError(QStringLiteral("'%1' no es una fecha AAAAMMDD").arg(value) + d->where(row, field));
        d->fill(row, field, date.toLatin1(), false);
        break;
    }
    default:
        throw UserError(QStringLiteral("La tabla %1 no puede escribir el campo %2, de tipo %3.")
                            .arg(d->path, f.name, QString(QLatin1Char(typeChar(f)))));
    }
    d->changed();
}

void Table::setInteger(int row, int field, int value)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    switch (typeChar(f)) {
    case 'I':
    case '+':
        // Four zero bytes are null, so the smallest int has no form.
        if (value == std::numeric_limits<int>::min())
            throw UserError(QStringLiteral("El valor %1 está fuera del rango de un entero de la tabla").arg(value)
                + d->where(row, field));
        format::putInteger(d->cell(row, field), value);
        d->changed();
        break;
    case 'O':
        format::putDouble(d->cell(row, field), double(value));
        d->changed();
        break;
    case 'C':
        if (QString::number(value).size() > f.width)
            throw d->doesNotFit(row, field, QString::number(value));
        setText(row, field, QString::number(value));
        break;
    default:
        setText(row, field, QString::number(value));
    }
}

void Table::setDouble(int row, int field, double value)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    if (!std::isfinite(value))
        throw UserError(notAFloatText(QString::number(value)) + d->where(row, field));
    switch (typeChar(f)) {
    case 'O':
        format::putDouble(d->cell(row, field), value);
        d->changed();
        break;
    case 'I':
    case '+':
        if (!isWholeInt(value))
            throw d->notAnInteger(row, field, doubleText(value));
        setInteger(row, field, int(value));
        break;
    case 'C':
        if (doubleText(value).size() > f.width)
            throw d->doesNotFit(row, field, doubleText(value));
        setText(row, field, doubleText(value));
        break;
    default:
        setText(row, field, doubleText(value));
    }
}

void Table::setLogical(int row, int field, bool value)
{
    setText(row, field, value ? QStringLiteral("T") : QStringLiteral("F"));
}

void Table::setNull(int row, int field)
{
    d->check(row, field);
    const FieldDef &f = d->def(field);
    std::memset(d->cell(row, field), isBinary(f) ? 0 : ' ', std::size_t(f.width));
    d->changed();
}

void Table::post(int row)
{
    d->checkRow(row);
    Impl &t = *d;
    if (t.access != Access::Exclusive)
        throw UserError(QStringLiteral("La tabla %1 está abierta solo para leer.").arg(t.path));
    const auto recordLength = qint64(t.header.recordLength);
    if (t.batching && row < t.postedRows) {
        // The bytes this post would write, kept for one write of many records.
        std::memcpy(
            t.posted.data() + std::size_t(row) * std::size_t(recordLength), t.record(row), std::size_t(recordLength));
        t.firstRepost = t.firstRepost < 0 ? row : std::min(t.firstRepost, row);
        t.lastRepost = std::max(t.lastRepost, row);
        return;
    }
    if (row < t.diskRows) {
        t.writeAt(qint64(t.offsetOf(row)), t.record(row), recordLength);
    } else if (t.batching) {
        // The bytes this post would write, kept for one write of many rows.
        const int firstUnposted = t.diskRows + t.pendingRows;
        if (row < firstUnposted) {
            std::memcpy(t.pending.data() + std::size_t(row - t.diskRows) * std::size_t(recordLength), t.record(row),
                std::size_t(recordLength));
        } else {
            t.pending.insert(t.pending.end(), t.record(firstUnposted), t.record(row) + recordLength);
            t.pendingRows = row + 1 - t.diskRows;
        }
        if (t.pending.size() >= kBatchBytes)
            t.writePending();
        return;
    } else {
        // Appended rows not posted yet go with it, so the file has no gap; then the end mark.
        static const char endMark = format::kEndOfFile;
        t.writeAt(qint64(t.offsetOf(t.diskRows)), t.record(t.diskRows),
            qint64(t.offsetOf(row + 1) - t.offsetOf(t.diskRows)), &endMark, 1);
        t.diskRows = row + 1;
    }
    // The date and count on disk already say so after a post that appended nothing.
    t.writeDateAndCount();
}

QString Table::key(int row, int field) const
{
    // text() already drops the padding of every type.
    return text(row, field);
}

int Table::locate(const std::vector<int> &fields, const QStringList &values) const
{
    d->checkOpen();
    if (fields.size() != std::size_t(values.size()))
        throw UserError(QStringLiteral("Búsqueda en la tabla %1 con %2 campos y %3 valores.")
                            .arg(d->path, QString::number(fields.size()), QString::number(values.size())));
    // Character fields compare their bytes, with no text built per record.
    struct Match {
        int field;
        bool bytes;
        QByteArray encoded;
        QString key;
    };
    std::vector<Match> matches;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        d->checkField(fields[i]);
        const FieldDef &f = d->def(fields[i]);
        Match m{fields[i], typeChar(f) == 'C', QByteArray(), searchKey(f.type, values[int(i)])};
        if (m.bytes && (!cp1252::encodeExact(m.key, m.encoded) || m.encoded.size() > f.width))
            return -1; // no stored text can equal it
        matches.push_back(std::move(m));
    }
    for (int row = 0; row < d->rows; ++row) {
        if (*d->record(row) == format::kDeletedFlag)
            continue;
        const bool all = std::all_of(matches.begin(), matches.end(), [&](const Match &m) {
            if (!m.bytes)
                return key(row, m.field) == m.key;
            const char *p = d->cell(row, m.field);
            int end = d->def(m.field).width;
            while (end > 0 && isSpaceOrZero(p[end - 1]))
                --end;
            return end == m.encoded.size() && std::memcmp(p, m.encoded.constData(), std::size_t(end)) == 0;
        });
        if (all)
            return row;
    }
    return -1;
}

int Table::locate(const QStringList &fieldNames, const QStringList &values) const
{
    std::vector<int> fields;
    for (const QString &name : fieldNames)
        fields.push_back(fieldIndex(name));
    return locate(fields, values);
}

void Table::setFilter(const QString &expression)
{
    d->checkOpen();
    if (clipper::AllTrim(expression).isEmpty()) {
        d->filterField = -1;
        d->filterKey.clear();
        return;
    }
    static const QRegularExpression form(QStringLiteral("^\\s*([A-Za-z_][A-Za-z0-9_]*)\\s*=\\s*'((?:[^']|'')*)'\\s*$"));
    const QRegularExpressionMatch match = form.match(expression);
    if (!match.hasMatch())
        throw UserError(QStringLiteral("El filtro «%1» de la tabla %2 no es válido: solo se admite la forma "
                                       "CAMPO = 'valor'.")
                            .arg(expression, d->path));
    const int field = fieldIndex(match.captured(1));
    QString value = match.captured(2);
    value.replace(QLatin1String("''"), QLatin1String("'"));
    d->filterField = field;
    d->filterKey = searchKey(d->def(field).type, value);
}

std::vector<int> Table::filteredRows() const
{
    if (d->filterField < 0)
        return liveRows();
    auto cached = d->rowsByKey.find(d->filterField);
    if (cached == d->rowsByKey.end()) {
        QHash<QString, std::vector<int>> byKey;
        for (int row = 0; row < d->rows; ++row) {
            if (*d->record(row) != format::kDeletedFlag)
                byKey[key(row, d->filterField)].push_back(row);
        }
        cached = d->rowsByKey.emplace(d->filterField, std::move(byKey)).first;
    }
    const auto found = cached->second.constFind(d->filterKey);
    return found == cached->second.constEnd() ? std::vector<int>() : found.value();
}

Index::Index(const Table &table, std::vector<int> fields)
    : m_table(&table)
    , m_fields(std::move(fields))
{
    for (int field : m_fields)
        table.field(field); // throws for a field the table lacks
    const int size = table.size();
    m_rows.reserve(size);
    for (int row = 0; row < size; ++row) {
        if (!table.isDeleted(row))
            m_rows[rowKey(row)].push_back(row);
    }
}

const std::vector<int> &Index::rows(const QStringList &values) const
{
    static const std::vector<int> none;
    if (!makeKey(values, m_searchKey))
        return none;
    const auto found = m_rows.constFind(m_searchKey);
    return found == m_rows.constEnd() ? none : found.value();
}

int Index::first(const QStringList &values) const
{
    const std::vector<int> &found = rows(values);
    return found.empty() ? -1 : found.front();
}

void Index::add(int row)
{
    if (m_table->isDeleted(row))
        return;
    std::vector<int> &rows = m_rows[rowKey(row)];
    if (rows.empty() || rows.back() < row) {
        rows.push_back(row);
        return;
    }
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at == rows.end() || *at != row)
        rows.insert(at, row);
}

void Index::remove(int row, const QStringList &oldValues)
{
    QByteArray key;
    if (!makeKey(oldValues, key))
        return;
    const auto found = m_rows.find(key);
    if (found == m_rows.end())
        return;
    std::vector<int> &rows = found.value();
    const auto at = std::lower_bound(rows.begin(), rows.end(), row);
    if (at != rows.end() && *at == row)
        rows.erase(at);
    if (rows.empty())
        m_rows.erase(found);
}

namespace {

// Keys are built in place: the length of each part (with more than one field, so
// that "a|b" + "c" stays apart from "a" + "b|c"), then its bytes.
class KeyWriter {
public:
    KeyWriter(QByteArray &key, qsizetype capacity, bool withLength)
        : m_key(key)
        , m_withLength(withLength)
    {
        m_key.resize(capacity);
        m_out = m_key.data();
    }
    ~KeyWriter() { m_key.truncate(m_out - m_key.constData()); }
    KeyWriter(const KeyWriter &) = delete;
    KeyWriter &operator=(const KeyWriter &) = delete;

    static constexpr qsizetype lengthSize = sizeof(std::uint32_t);

    void length(qsizetype size)
    {
        if (!m_withLength)
            return;
        const auto value = std::uint32_t(size);
        std::memcpy(m_out, &value, sizeof value);
        m_out += sizeof value;
    }
    void bytes(const char *data, qsizetype size)
    {
        length(size);
        std::memcpy(m_out, data, std::size_t(size));
        m_out += size;
    }
    void text(const QString &text) { bytes(reinterpret_cast<const char *>(text.constData()), text.size() * 2); }
    // The text in the code page, one byte per character; false when a character has no byte.
    bool encoded(const QString &text)
    {
        length(text.size());
        const char16_t *units = reinterpret_cast<const char16_t *>(text.constData());
        for (qsizetype i = 0; i < text.size(); ++i) {
            unsigned char byte = 0;
            if (units[i] < 0x80)
                byte = static_cast<unsigned char>(units[i]);
            else if (!cp1252::fromUnicode(units[i], byte))
                return false;
            *m_out++ = static_cast<char>(byte);
        }
        return true;
    }

private:
    QByteArray &m_key;
    char *m_out = nullptr;
    bool m_withLength;
};

constexpr std::size_t kMostKeyFields = 8;

} // namespace

bool Index::makeKey(const QStringList &values, QByteArray &key) const
{
    if (std::size_t(values.size()) != m_fields.size())
        throw UserError(QStringLiteral("Búsqueda en la tabla %1 con %2 campos y %3 valores.")
                            .arg(m_table->path(), QString::number(m_fields.size()), QString::number(values.size())));
    const Table::Impl &t = *m_table->d;
    QVarLengthArray<QString, kMostKeyFields> searched(qsizetype(m_fields.size()));
    qsizetype capacity = 0;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const FieldDef &f = t.def(m_fields[i]);
        searched[qsizetype(i)] = searchKey(f.type, values[int(i)]);
        if (f.type != FieldType::Character) {
            capacity += KeyWriter::lengthSize + searched[qsizetype(i)].size() * 2;
            continue;
        }
        // Compared as Table::locate compares: the value's bytes in the code page.
        if (searched[qsizetype(i)].size() > f.width)
            return false; // no stored text can equal it
        capacity += KeyWriter::lengthSize + searched[qsizetype(i)].size();
    }
    KeyWriter writer(key, capacity, m_fields.size() > 1);
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (t.def(m_fields[i]).type != FieldType::Character)
            writer.text(searched[qsizetype(i)]);
        else if (!writer.encoded(searched[qsizetype(i)]))
            return false; // no stored text can equal it
    }
    return true;
}

QByteArray Index::rowKey(int row) const
{
    const Table::Impl &t = *m_table->d;
    struct Part {
        const char *bytes = nullptr;
        qsizetype size = 0;
        QString text; // fields other than character ones
    };
    Part parts[kMostKeyFields];
    std::vector<Part> more(m_fields.size() > kMostKeyFields ? m_fields.size() : 0);
    Part *part = more.empty() ? parts : more.data();
    qsizetype capacity = 0;
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        const int field = m_fields[i];
        const FieldDef &f = t.def(field);
        if (f.type != FieldType::Character) {
            part[i].text = m_table->key(row, field);
            capacity += KeyWriter::lengthSize + part[i].text.size() * 2;
            continue;
        }
        const char *p = t.cell(row, field);
        int end = f.width;
        while (end > 0 && isSpaceOrZero(p[end - 1]))
            --end;
        part[i].bytes = p;
        part[i].size = end;
        capacity += KeyWriter::lengthSize + end;
    }
    QByteArray key;
    KeyWriter writer(key, capacity, m_fields.size() > 1);
    for (std::size_t i = 0; i < m_fields.size(); ++i) {
        if (part[i].bytes)
            writer.bytes(part[i].bytes, part[i].size);
        else
            writer.text(part[i].text);
    }
    return key;
}

} // namespace dbf
