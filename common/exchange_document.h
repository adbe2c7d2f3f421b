#pragma once
// The exchange document: SERVICIO / BLOQUE_DATOS / top-level grupo_datos named by
// seq / record grupo_datos / dato values. Values are addressed by their position
// among a record's dato children and trimmed of spaces (AllTrim) before use.
// A document is held as its tree (load, fromDocument) or, read without its tree,
// as its values (read); records answer alike either way.

#include "common/exchange_values.h"
#include "common/xml_document.h"

#include <QString>

#include <memory>
#include <string>
#include <vector>

// One record (or top-level group) and its dato children in document order, in the
// document's tree or in its values read without a tree (ExchangeDocument::read).
class ExchangeRecord {
public:
    explicit ExchangeRecord(xml::Node node);
    // A record of values read without a tree, whose datos all have plain markup;
    // documentHasEncoding as ExchangeValues::hasEncoding(). The values must outlive it.
    ExchangeRecord(const ExchangeValuesRecord &values, bool documentHasEncoding);

    // The element in the tree; null for a record read without a tree.
    xml::Node node() const { return m_node; }
    int count() const { return m_values ? m_values->count() : int(m_datos.size()); }
    // The nombre_dato of the dato at a position; null when absent.
    QString name(int position) const;
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
    // The start tag of the dato at a position as serialisedValue() begins, in UTF-8.
    bool startTagUtf8(int position, std::string &out) const;

    xml::Node m_node = nullptr;
    std::vector<xml::Node> m_datos;
    const ExchangeValuesRecord *m_values = nullptr;
    bool m_documentHasEncoding = false;
};

class ExchangeDocument {
public:
    // Loads the file and checks the shape: well-formed, root SERVICIO with a
    // BLOQUE_DATOS. Throws UserError naming the file otherwise.
    static ExchangeDocument load(const QString &path);
    static ExchangeDocument fromDocument(xml::Document doc);
    // Reads the file's values in one streaming pass when that tells everything a
    // record can be asked (ExchangeValues::readByStream with Markup::Needed), and
    // loads its tree otherwise. Errors as load(). The export reads the Séneca file
    // so: its tree would be most of the run's memory and time.
    static ExchangeDocument read(const QString &path);

    const QString &path() const { return m_values ? m_values->path() : m_doc.sourcePath(); }
    // The tree; empty for a document read without one.
    xml::Document &document() { return m_doc; }
    const xml::Document &document() const { return m_doc; }
    bool hasTree() const { return !m_values; }
    // The values of a document read without a tree; null when it has one.
    const ExchangeValues *values() const { return m_values.get(); }
    // The root's modulo attribute (ExchangeValues::module).
    QString module() const;

    // Every top-level group's own datos as a record, in document order.
    std::vector<ExchangeRecord> topLevelRecords() const;
    // The records of every top-level group whose seq is exactly the name, in
    // document order (several groups of one name follow each other).
    std::vector<ExchangeRecord> records(const QString &group) const;
    // /SERVICIO/BLOQUE_DATOS/grupo_datos and the nodes of records, in document
    // order: only a document with a tree has them (empty otherwise).
    std::vector<xml::Node> topLevelGroups() const;
    std::vector<xml::Node> recordNodes(const QString &group) const;

private:
    explicit ExchangeDocument(xml::Document doc)
        : m_doc(std::move(doc))
    {
    }
    xml::Document m_doc;
    // Held apart, so that records keep pointing at them when the document moves.
    std::unique_ptr<const ExchangeValues> m_values;
};

// The nombre_dato test: the characters of the serialised dato from character 20
// (counting from 1), `length` of them, compared with the expected field name.
bool serialisedNameIs(const QString &serialised, const QString &fieldName);
// The same test on the dato at a position of a record.
bool serialisedNameIs(const ExchangeRecord &record, int position, const QString &fieldName);
