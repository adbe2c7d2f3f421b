// Index: each key's live rows in a hash, keyed by the stored bytes of the key
// fields, so that a lookup builds no text per record.
#include "common/dbf_table_impl.h"

#include "common/cp1252.h"

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>

namespace dbf {

Index::Index(const Table &table, std::vector<int> fields)
    : m_table(&table)
    , m_fields(std::move(fields))
{
    for (int field : m_fields)
        table.field(field); // throws for a field the table lacks
    const int size = table.size();
    m_rows.reserve(std::size_t(size));
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
    const auto found = m_rows.find(m_searchKey);
    return found == m_rows.end() ? none : found->second;
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
    std::vector<int> &rows = found->second;
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
        // Compared as the record stores it: the value's bytes in the code page.
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
