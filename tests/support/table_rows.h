#pragma once
// Whole tables as rows of texts, for fixtures and for comparing a table at once:
//   writeTableRows(path, groups_table::layout(), {{"ESO1A", "", "ESO", "1", "A", "U1", "C1"}});
//   EXPECT_EQ(readTableRows(path), (TableRows{{...}, {...}}));
// A row with fewer texts than fields leaves the remaining fields blank.

#include "common/dbf_table.h"

#include <QStringList>

#include <vector>

using TableRows = std::vector<QStringList>;

inline void writeTableRows(const QString &path, const dbf::Layout &layout, const TableRows &rows)
{
    dbf::removeTableFiles(path);
    dbf::createTable(path, layout);
    dbf::Table table(path);
    table.open();
    for (const QStringList &texts : rows) {
        const int row = table.appendBlank();
        for (int field = 0; field < texts.size() && field < table.fieldCount(); ++field) {
            if (!texts.at(field).isEmpty())
                table.setText(row, field, texts.at(field));
        }
        table.post(row);
    }
    table.close();
}

// Every live record, each field as Table::text gives it.
inline TableRows readTableRows(const QString &path)
{
    dbf::Table table(path);
    table.open(dbf::Table::Access::ReadShared);
    TableRows rows;
    for (int row : table.liveRows()) {
        QStringList texts;
        for (int field = 0; field < table.fieldCount(); ++field)
            texts << table.text(row, field);
        rows.push_back(texts);
    }
    return rows;
}

// The field names of a table, in order.
inline QStringList tableFieldNames(const QString &path)
{
    dbf::Table table(path);
    table.open(dbf::Table::Access::ReadShared);
    QStringList names;
    for (int field = 0; field < table.fieldCount(); ++field)
        names << table.field(field).name;
    return names;
}
