#pragma once
// The texts of one field of a table, each read from the table once, when first
// asked for: the lessons of a timetable name the same few hundred groups,
// periods and activities over and over, and the import only reads its tables.

#include "common/dbf_table.h"

#include <QString>

#include <vector>

class FieldTexts {
public:
    // Throws UserError naming the table and the field when the table lacks it.
    FieldTexts(const dbf::Table &table, QLatin1StringView field)
        : m_table(&table)
        , m_field(table.fieldIndex(field))
        , m_texts(std::size_t(table.size()))
        , m_known(std::size_t(table.size()), false)
    {
    }

    // What Table::text gives for the row.
    const QString &at(int row) const
    {
        const auto index = std::size_t(row);
        if (!m_known[index]) {
            m_texts[index] = m_table->text(row, m_field);
            m_known[index] = true;
        }
        return m_texts[index];
    }

private:
    const dbf::Table *m_table;
    int m_field;
    mutable std::vector<QString> m_texts;
    mutable std::vector<bool> m_known;
};
