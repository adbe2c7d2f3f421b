#pragma once
// The XML layer: libxml2 under the few operations the converter needs.
//
// Four ways in and out of a file, each where it pays:
// - xml::Document (here) builds the whole tree. The frame dialog and any input
//   whose values need their markup read it so (ExchangeDocument::load).
// - ExchangeValues (exchange_values.h) reads an exchange document's values in one
//   streaming pass without a tree: the export's Séneca and planning files, and
//   the import's Séneca file, are the largest inputs and their trees would be
//   most of a run's memory and time. Where the tree could say something the pass
//   cannot, the file is read as a tree instead.
// - SenecaFrame (import/seneca_frame.h) is a SAX pass that keeps only what lies
//   outside the root element and the academic year: the import's output takes
//   its frame from the Séneca file.
// - XmlStreamWriter (import/xml_stream_writer.h) writes the timetable document
//   element by element, byte for byte as libxml2 would save the tree.
// (The check reads a timetable document with its own push parser,
// import/timetable_reader.cpp, because it reads broken documents as far as they go.)
//
// Every read of a school's file goes through xml_parse_guard.h: its options (no
// network, no DTD, libxml2's limits on sizes and depth), the refusal of declared
// entities, and one Spanish message for whatever libxml2 reports. In the tree,
// whitespace-only text between elements does not become nodes, while the text of
// a leaf element is kept as it is (a value of one tab stays a tab).

#include <QString>

#include <memory>
#include <vector>

struct _xmlDoc;
struct _xmlNode;
struct _xmlParserCtxt;

namespace xml {

using Node = _xmlNode *;

// Owners of what libxml2 allocates: a document with all its nodes, and a parser.
struct FreeDocument {
    void operator()(_xmlDoc *doc) const;
};
struct FreeParser {
    void operator()(_xmlParserCtxt *context) const;
};
using DocumentPtr = std::unique_ptr<_xmlDoc, FreeDocument>;
using ParserPtr = std::unique_ptr<_xmlParserCtxt, FreeParser>;

// A new parser for the file; throws UserError naming it when libxml2 has no
// memory for one.
ParserPtr newParser(const QString &path);

class Document {
public:
    Document(); // an empty document with an XML declaration, UTF-8

    // Parses the file. Throws UserError naming the file (and the parser's line)
    // when it cannot be read or is not well-formed XML.
    static Document load(const QString &path);

    Node root() const; // document element, or nullptr
    const QString &sourcePath() const { return m_path; }
    _xmlDoc *raw() const { return m_doc.get(); }

    // Nodes of an absolute location path of child steps, in document order; a step
    // may carry one predicate [@attr="value"]. Example:
    // /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="MATERIAS"]/grupo_datos
    std::vector<Node> select(const QString &path) const;

private:
    DocumentPtr m_doc;
    QString m_path;
};

// Element children with the given name, in document order.
std::vector<Node> childElements(Node node, const char *name);
QString name(Node node);
// Text content of the node and all its descendants.
QString text(Node node);
// The node's markup, attributes in document order and in double quotes.
QString serialised(Node node);
QString attribute(Node node, const char *name);

} // namespace xml
