#pragma once
// The exchange document: SERVICIO / BLOQUE_DATOS / top-level grupo_datos named by
// seq / record grupo_datos / dato values. Values are addressed by their position
// among a record's dato children and trimmed of spaces (AllTrim) before use.

#include "common/xml_document.h"

#include <QString>
#include <vector>

// One record (or top-level group) and its dato children in document order.
class ExchangeRecord {
public:
    explicit ExchangeRecord(xml::Node node);

    xml::Node node() const { return m_node; }
    int count() const { return int(m_datos.size()); }
    // Trimmed value at a position; the empty text when the record has no such position.
    QString value(int position) const;
    // Value as it stands (untrimmed); empty when absent.
    QString rawValue(int position) const;
    // Serialised markup of the dato element, trimmed of spaces; empty when absent.
    QString serialisedValue(int position) const;
    // serialisedValue(position).mid(from, length), without serialising the whole
    // element when the characters lie within its start tag.
    QString serialisedSlice(int position, int from, int length) const;
    // Whether serialisedSlice(position, from, text.size()) is the text.
    bool serialisedSliceIs(int position, int from, const QString &text) const;
    bool has(int position) const { return position >= 0 && position < count(); }

private:
    xml::Node m_node;
    std::vector<xml::Node> m_datos;
};

class ExchangeDocument {
public:
    // Loads the file and checks the shape: well-formed, root SERVICIO with a
    // BLOQUE_DATOS. Throws UserError naming the file otherwise.
    static ExchangeDocument load(const QString &path);
    static ExchangeDocument fromDocument(xml::Document doc);

    const QString &path() const { return m_doc.sourcePath(); }
    xml::Document &document() { return m_doc; }
    const xml::Document &document() const { return m_doc; }

    // /SERVICIO/BLOQUE_DATOS/grupo_datos, in document order.
    std::vector<xml::Node> topLevelGroups() const;
    // The records of every top-level group whose seq is exactly the name, in
    // document order (several groups of one name follow each other).
    std::vector<ExchangeRecord> records(const QString &group) const;
    std::vector<xml::Node> recordNodes(const QString &group) const;

private:
    explicit ExchangeDocument(xml::Document doc)
        : m_doc(std::move(doc))
    {
    }
    xml::Document m_doc;
};

// The nombre_dato test: the characters of the serialised dato from character 20
// (counting from 1), `length` of them, compared with the expected field name.
bool serialisedNameIs(const QString &serialised, const QString &fieldName);
// The same test on the dato at a position of a record.
bool serialisedNameIs(const ExchangeRecord &record, int position, const QString &fieldName);
