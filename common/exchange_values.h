#pragma once
// The values of an exchange document without its tree: the top-level groups
// (/SERVICIO/BLOQUE_DATOS/grupo_datos) in document order, each with its seq, its
// own dato values and the dato values of its records. Read from the file in one
// streaming pass, this holds a small part of what the document's tree would: the
// planning document, the largest input, never needs its tree.
//
// Every text is what ExchangeDocument reads from the tree of the same file: a
// dato's text content and its nombre_dato attribute.

#include <QString>

#include <optional>
#include <vector>

class ExchangeDocument;

// The dato children of one record (or of a top-level group), in document order.
class ExchangeValuesRecord {
public:
    struct Dato {
        QString text; // as the tree holds it, untrimmed
        QString name; // the nombre_dato attribute; null when absent
        // The dato's markup is <dato nombre_dato="name">text</dato>, or
        // <dato nombre_dato="name"/> without text: nothing else in its tag, only
        // text inside. ExchangeRecord writes such markup without a tree.
        bool plainMarkup = false;
        bool operator==(const Dato &) const = default;
    };

    int count() const { return int(m_datos.size()); }
    bool has(int position) const { return position >= 0 && position < count(); }
    // Value as it stands (untrimmed); empty when the record has no such position.
    QString rawValue(int position) const { return has(position) ? m_datos[size_t(position)].text : QString(); }
    // Value trimmed of spaces (AllTrim); empty when absent.
    QString value(int position) const;
    const Dato &dato(int position) const { return m_datos[size_t(position)]; }
    // The nombre_dato of the dato at a position; null when absent.
    QString name(int position) const { return has(position) ? m_datos[size_t(position)].name : QString(); }

    std::vector<Dato> &datos() { return m_datos; }
    bool operator==(const ExchangeValuesRecord &) const = default;

private:
    std::vector<Dato> m_datos;
};

struct ExchangeValuesGroup {
    QString seq; // null when the group has no seq
    ExchangeValuesRecord own; // the group's own dato values
    std::vector<ExchangeValuesRecord> records; // its grupo_datos children
    bool operator==(const ExchangeValuesGroup &) const = default;
};

class ExchangeValues {
public:
    // Whether the reading must also hold every dato's markup (plainMarkup).
    enum class Markup { NotNeeded, Needed };

    // Reads the file. Errors are ExchangeDocument::load's, with the same messages.
    static ExchangeValues read(const QString &path);
    // Reads the file in one streaming pass; nothing when the file holds what only
    // its tree can say for sure (a document type declaration, markup inside a dato
    // value, whitespace the tree would drop, and with Markup::Needed a dato whose
    // markup is not plain) or cannot be read: read() then builds the tree.
    static std::optional<ExchangeValues> readByStream(const QString &path, Markup markup = Markup::NotNeeded);
    // The values of a document already in memory.
    static ExchangeValues fromDocument(const ExchangeDocument &document);

    const QString &path() const { return m_path; }
    // The root's modulo attribute ("EXPORTACION" from Séneca, "PLANIFICACION",
    // "HORARIOS" for a timetable document); null when absent.
    const QString &module() const { return m_module; }
    const std::vector<ExchangeValuesGroup> &groups() const { return m_groups; }
    // Whether the document names its encoding, as its tree would hold it: libxml2
    // writes characters beyond ASCII in attribute values differently without one.
    bool hasEncoding() const { return m_hasEncoding; }

private:
    friend class ExchangeValuesReader;
    QString m_path;
    QString m_module;
    std::vector<ExchangeValuesGroup> m_groups;
    bool m_hasEncoding = false;
};
