#pragma once
// The dBase table engine. Reads levels III, IV and 7; creates and writes level 7
// (version byte 0x04, 48-byte field descriptors, language driver "DBWINWE0").
// A table is read into memory once when opened; every post writes its record
// through to disk and updates the header (or, for a table that asks for batches,
// with the posts around it: batchPosts), so what was posted survives an error
// later in the run. Text is QString in memory and Windows-1252 on disk.
//
// Rows are physical record numbers from 0. Records marked deleted keep their
// row number but are skipped by indexes, counts, walks (liveRows) and filters.
// The engine's files, one per job, are listed in dbf_table_impl.h.

#include "common/text_hash.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

namespace dbf {

enum class FieldType : char {
    Character = 'C',
    Integer = 'I', // level 7 long, 4 bytes
    Double = 'O', // level 7 double, 8 bytes
    Logical = 'L',
    Numeric = 'N', // read only: written by other programs
    Float = 'F', // read only
    Date = 'D', // read only
};

struct FieldDef {
    QString name;
    FieldType type = FieldType::Character;
    int width = 0; // for C fields; I, O and L take their fixed widths when 0
    int decimals = 0;
};

// A table's layout, declared once next to the step that creates it.
using Layout = std::vector<FieldDef>;

// The layouts name their fields through constants (QLatin1StringView); tests and
// tools may spell a name out.
inline FieldDef charField(QLatin1StringView name, int width)
{
    return {QString(name), FieldType::Character, width, 0};
}
inline FieldDef intField(QLatin1StringView name)
{
    return {QString(name), FieldType::Integer, 4, 0};
}
inline FieldDef doubleField(QLatin1StringView name)
{
    return {QString(name), FieldType::Double, 8, 0};
}
inline FieldDef logicalField(QLatin1StringView name)
{
    return {QString(name), FieldType::Logical, 1, 0};
}
inline FieldDef charField(const char *name, int width)
{
    return charField(QLatin1StringView(name), width);
}
inline FieldDef intField(const char *name)
{
    return intField(QLatin1StringView(name));
}
inline FieldDef doubleField(const char *name)
{
    return doubleField(QLatin1StringView(name));
}
inline FieldDef logicalField(const char *name)
{
    return logicalField(QLatin1StringView(name));
}

// The table's files in either case of their extension: the .DBF and the .MDX (each
// named once where the system ignores case, as Windows does).
QStringList tableFiles(const QString &dbfPath);

// Deletes the table's .DBF file and the .MDX beside it, each if it exists.
// dbfPath ends in ".DBF". Throws UserError when a file exists but cannot be deleted.
void removeTableFiles(const QString &dbfPath);

// Creates an empty level-7 table with the fields in the given order (written whole
// or not at all). Throws UserError naming the file on failure.
void createTable(const QString &dbfPath, const Layout &layout);

// Whether a file exists at the path.
bool tableExists(const QString &dbfPath);

// Whether another program (the timetabler) holds a lock on the file.
bool isInUse(const QString &path);

class Table {
public:
    enum class Access {
        Exclusive, // read and write, exclusive lock
        ReadExclusive, // read only, exclusive lock (the timetabler must not hold it)
        ReadShared, // read only, shared lock
    };

    Table();
    explicit Table(QString dbfPath);
    ~Table();
    Table(Table &&) noexcept;
    Table &operator=(Table &&) noexcept;
    Table(const Table &) = delete;
    Table &operator=(const Table &) = delete;

    // Opens and reads the whole table. Throws UserError naming the file when it is
    // missing, locked by another program, not a dBase table, truncated, or its
    // header disagrees with its size.
    void open(Access access = Access::Exclusive);
    void close();
    bool isOpen() const;

    const QString &path() const;
    QString fileName() const; // "ASIGT.DBF"

    int fieldCount() const;
    const FieldDef &field(int index) const;
    // The field's index; throws UserError naming the table and the field when missing.
    int fieldIndex(const QString &name) const;
    bool hasField(const QString &name) const;

    int size() const; // physical records, deleted ones included
    bool isDeleted(int row) const;
    int recordCount() const; // records not marked deleted
    std::vector<int> liveRows() const; // rows not deleted, in stored order

    // Text of a field: character fields without their trailing spaces; numbers
    // without padding ("2"); logical "T"/"F"; dates "YYYYMMDD"; null reads "".
    QString text(int row, int field) const;
    QString text(int row, const QString &fieldName) const { return text(row, fieldIndex(fieldName)); }
    // Whole number of a field: accepts I, N, F, O and character fields; null is 0 for
    // I/O/N/F fields. Throws UserError with "«%s» no es un número entero",
    // naming the table, record and field, when the text is not a whole number.
    int integer(int row, int field) const;
    int integer(int row, const QString &fieldName) const { return integer(row, fieldIndex(fieldName)); }
    double number(int row, int field) const;
    bool isNull(int row, int field) const;

    // Appends a blank record (spaces in C and L fields, null in I and O fields) and
    // returns its row. It reaches the disk with post().
    int appendBlank();
    // Writes a value into the record in memory. Text is cut to the field's width
    // in characters; a character with no Windows-1252 form is stored as "?".
    // setText on an I or O field converts the text (throws UserError as integer()).
    void setText(int row, int field, const QString &value);
    void setText(int row, const QString &fieldName, const QString &value)
    {
        setText(row, fieldIndex(fieldName), value);
    }
    void setInteger(int row, int field, int value);
    void setDouble(int row, int field, double value);
    void setLogical(int row, int field, bool value);
    // Writes the record through to disk and updates the header's count and date.
    void post(int row);
    // From now until the table is closed, posts are kept and written together,
    // each record as it was when posted: appended rows at the latest every
    // megabyte, and everything at close() or when the table is destroyed, also
    // while an error unwinds the step, so what was posted still survives an error
    // later in the run and the file ends byte for byte as with posts one by one.
    // Only another program reading the file meanwhile sees the records later.
    // Call it before changing any record: the records on disk are taken from
    // memory then. (A row appended and written in this batch, then posted again,
    // writes through.)
    void batchPosts();

    // Comparable form of a field, as filters and indexes compare it: character
    // fields without trailing spaces, other fields by their text.
    QString key(int row, int field) const;

    // Only the form "FIELD= 'value'" (single quotes doubled inside) is accepted;
    // any other expression throws UserError. An empty expression clears the filter.
    void setFilter(const QString &expression);
    // Live rows matching the filter (all live rows when none is set), in stored order.
    std::vector<int> filteredRows() const;

private:
    friend class Index; // reads the stored bytes of its key fields
    struct Impl;
    std::unique_ptr<Impl> d;
};

// An index over some fields of an open table: for each key, the live rows that
// hold it, in stored order. It stands for a walk from the first record that takes
// the first match; keep it current with add() when rows are appended or changed.
class Index {
public:
    Index(const Table &table, std::vector<int> fields);
    // Rows whose fields equal the values. Character fields ignore trailing spaces
    // on both sides; case, accents and leading spaces count. Other fields compare
    // their text (Table::key) with the value read as that type ("02" finds 2).
    const std::vector<int> &rows(const QStringList &values) const;
    // The first row, or -1.
    int first(const QStringList &values) const;
    // Adds a row under its current key, keeping stored order.
    void add(int row);
    // Removes a row from the key it is filed under.
    void remove(int row, const QStringList &oldValues);

private:
    // Keys are bytes: a character field's stored bytes without their padding, any
    // other field's text; with more than one field each part carries its length.
    // False when no stored record can hold the values.
    bool makeKey(const QStringList &values, QByteArray &key) const;
    QByteArray rowKey(int row) const;
    const Table *m_table;
    std::vector<int> m_fields;
    std::unordered_map<QByteArray, std::vector<int>, text_hash::BytesHash, text_hash::BytesEqual> m_rows;
    // The key of the last search, kept so that a search allocates nothing.
    mutable QByteArray m_searchKey;
};

} // namespace dbf
