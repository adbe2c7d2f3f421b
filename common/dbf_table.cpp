// Opening and closing a table, and what the open table holds: its fields and rows.
#include "common/dbf_table_impl.h"

#include "common/system_reason.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <exception>

namespace dbf {

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
        // Windows refuses to open a table another program holds for exclusive use.
        if (isInUse(t.path))
            throw UserError(lockedText(t.path));
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

} // namespace dbf
