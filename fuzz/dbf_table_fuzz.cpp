// The table engine on arbitrary bytes: opening, every value of every record in
// each of its readings, the lookups, and records changed and appended (one by
// one and batched) and read back. Bad
// bytes may only ever end in a UserError.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "fuzz/fuzz_support.h"

#include <QDir>

#include <algorithm>

namespace {

void readEveryValue(const dbf::Table &table)
{
    for (int field = 0; field < table.fieldCount(); ++field) {
        const dbf::FieldDef &def = table.field(field);
        if (!table.hasField(def.name) || table.fieldIndex(def.name) > field)
            __builtin_trap(); // a name finds its first field
    }
    for (int row = 0; row < table.size(); ++row) {
        table.isDeleted(row);
        for (int field = 0; field < table.fieldCount(); ++field) {
            table.text(row, field);
            table.key(row, field);
            table.isNull(row, field);
            try {
                table.integer(row, field);
            } catch (const UserError &) {
            }
            try {
                table.number(row, field);
            } catch (const UserError &) {
            }
        }
    }
    if (int(table.liveRows().size()) != table.recordCount())
        __builtin_trap();
}

// Looks up the last record's values, as the steps and the import do.
void lookUp(dbf::Table &table)
{
    const std::vector<int> live = table.liveRows();
    if (live.empty() || table.fieldCount() == 0)
        return;
    const int row = live.back();
    std::vector<int> fields;
    QStringList values;
    for (int field = 0; field < std::min(table.fieldCount(), 2); ++field) {
        fields.push_back(field);
        values << table.key(row, field);
    }
    dbf::Index index(table, fields);
    index.first(values);
    index.remove(row, values);
    index.add(row);
    index.rows(values);

    QString value = table.key(row, 0);
    value.replace(QLatin1String("'"), QLatin1String("''"));
    try {
        table.setFilter(QStringLiteral("%1= '%2'").arg(table.field(0).name, value));
        table.filteredRows();
        table.setFilter(QString());
    } catch (const UserError &) {
        // A field name the filter's form cannot name.
    }
}

// Copies the first record's values into a row (leaving the blank record's null
// where they do not convert), as a step fills a record.
void fillLike(dbf::Table &table, int row)
{
    for (int field = 0; field < table.fieldCount(); ++field) {
        try {
            table.setText(row, field, row > 0 ? table.text(0, field) : QStringLiteral("1"));
        } catch (const UserError &) {
            // The field keeps the null appendBlank gave it.
        }
    }
}

// Appends a record and posts it; then, with batched posts, changes the first
// record and appends two more; then reads the whole table again.
void appendAndReadBack(const QString &path)
{
    {
        dbf::Table table(path);
        table.open(dbf::Table::Access::Exclusive);
        const int row = table.appendBlank();
        fillLike(table, row);
        table.post(row);
        table.close();
    }
    {
        dbf::Table table(path);
        table.open(dbf::Table::Access::Exclusive);
        table.batchPosts();
        if (table.fieldCount() > 0) {
            try {
                table.setText(0, 0, QString()); // null, in the types this engine writes
            } catch (const UserError &) {
            }
            table.post(0);
        }
        for (int i = 0; i < 2; ++i) {
            const int row = table.appendBlank();
            fillLike(table, row);
            table.post(row);
        }
        table.close();
    }
    dbf::Table again(path);
    again.open(dbf::Table::Access::ReadShared);
    readEveryValue(again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString folder = fuzz::freshFolder(QStringLiteral("dbf"));
    const QString path = QDir(folder).filePath(QStringLiteral("TABLA.DBF"));
    fuzz::writeFile(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    try {
        dbf::Table table(path);
        table.open(dbf::Table::Access::ReadShared);
        readEveryValue(table);
        lookUp(table);
        table.close();
        appendAndReadBack(path);
    } catch (const UserError &) {
        // Refused with a message: what bad bytes must get.
    }
    return 0;
}
