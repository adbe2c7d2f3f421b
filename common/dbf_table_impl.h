#pragma once
// The inside of a dbf::Table, shared by the files of the engine and by nothing
// else. The engine is split by job:
//   dbf_table_files.cpp    the table's files: creating, deleting, locking
//   dbf_table.cpp          opening and closing, the layout and the rows held
//   dbf_table_values.cpp   reading and writing field values in memory
//   dbf_table_posting.cpp  writing records to disk, one by one or in batches
//   dbf_table_filter.cpp   the one filter form the timetabler's tables need
//   dbf_index.cpp          Index
// A table is its file's bytes in memory (data): the header, then every record.

#include "common/dbf_format.h"
#include "common/dbf_table.h"
#include "common/user_error.h"

#include <QDate>
#include <QFile>
#include <QHash>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

namespace dbf {

// "La tabla X está abierta en otro programa ...": another program holds its lock.
QString lockedText(const QString &path);

enum class LockResult { Locked, Busy, Unsupported };
// An advisory lock on the whole file, held until the file is closed.
LockResult lockFile(QFile &file, bool exclusive);

inline char typeChar(const FieldDef &field)
{
    return static_cast<char>(field.type);
}

// Fields whose null is zero bytes rather than spaces.
inline bool isBinary(const FieldDef &field)
{
    const char type = typeChar(field);
    return type == 'I' || type == 'O' || type == '+' || type == '@';
}

inline bool isSpaceOrZero(char c)
{
    return c == ' ' || c == '\0';
}

inline bool parseDouble(const QString &text, double &value)
{
    bool ok = false;
    value = text.toDouble(&ok);
    return ok && std::isfinite(value);
}

inline bool isWholeInt(double value)
{
    return std::isfinite(value) && value == std::trunc(value) && value >= double(std::numeric_limits<int>::min())
        && value <= double(std::numeric_limits<int>::max());
}

// Numbers as a person writes them: no exponent for the usual magnitudes.
QString doubleText(double value);
QString notAFloatText(const QString &value);
// A search value in the form Table::key gives a stored field of that type.
QString searchKey(FieldType type, const QString &value);

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

    // Writing to the file (dbf_table_posting.cpp).
    // Writes the bytes, and then the tail when there is one, at an offset of the
    // file: one system call where the system allows it, since every post writes.
    void writeAt(qint64 offset, const char *bytes, qint64 size, const char *tail = nullptr, qint64 tailSize = 0);
    // The date and count of the header, written when the file says otherwise.
    void writeDateAndCount();
    // Writes the batched posts: the records posted again as one run (the records
    // between them as the file already holds them), then the appended rows, the
    // end mark and the count.
    void writePending();

    void fill(int row, int field, const QByteArray &bytes, bool alignRight)
    {
        const FieldDef &f = def(field);
        char *out = cell(row, field);
        const int size = std::min(int(bytes.size()), f.width);
        std::memset(out, ' ', std::size_t(f.width));
        std::memcpy(out + (alignRight ? f.width - size : 0), bytes.constData(), std::size_t(size));
    }
};

} // namespace dbf
