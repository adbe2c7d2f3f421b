#pragma once
// A thin layer over libxml2 with the operations the converter needs. Loading never
// touches the network, never reads a DTD, refuses a document that declares
// entities and keeps libxml2's limits on sizes and depth (xml_parse_guard.h);
// whitespace-only text between elements does not become nodes, while the text of
// a leaf element is kept as it is (a value of one tab stays a tab).

#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct _xmlDoc;
struct _xmlNode;
struct _xmlParserCtxt;

namespace xml {

using Node = _xmlNode *;

class Document {
public:
    Document(); // an empty document with an XML declaration, UTF-8
    ~Document();
    Document(Document &&) noexcept;
    Document &operator=(Document &&) noexcept;
    Document(const Document &) = delete;
    Document &operator=(const Document &) = delete;

    // Parses the file. Throws UserError naming the file (and the parser's line)
    // when it cannot be read or is not well-formed XML.
    static Document load(const QString &path);
    // Parses text in memory (tests and generated documents).
    static Document parse(const QByteArray &bytes, const QString &nameForMessages);

    // Writes the whole document in the encoding its declaration names, to a
    // temporary file in the same folder that then replaces the target: the
    // target is only ever a complete document.
    void save(const QString &path) const;
    QByteArray toBytes() const;

    Node root() const; // document element, or nullptr
    void replaceRoot(Node newRoot); // removes the old root with its subtree
    const QString &sourcePath() const;
    _xmlDoc *raw() const;

    // Nodes of an absolute location path of child steps, in document order; a step
    // may carry one predicate [@attr="value"]. Example:
    // /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="MATERIAS"]/grupo_datos
    std::vector<Node> select(const QString &path) const;

private:
    static Document parseWith(const QString &path, const std::function<_xmlDoc *(_xmlParserCtxt *)> &read);

    _xmlDoc *m_doc = nullptr;
    QString m_path;
};

// Element children of a node, in document order.
std::vector<Node> elementChildren(Node node);
// Element children with the given name, in document order.
std::vector<Node> childElements(Node node, const char *name);
// Number of child nodes of any kind.
int childNodeCount(Node node);
Node firstChild(Node node);
QString name(Node node);
// Text content of the node and all its descendants.
QString text(Node node);
// The node's markup, attributes in document order and in double quotes.
QString serialised(Node node);
QString attribute(Node node, const char *name);

// Builders for output documents.
Node createElement(Document &doc, const char *name);
void setAttribute(Node element, const char *name, const QString &value);
// Sets the value of the attribute at a 0-based position; no-op when absent.
void setAttributeAt(Node element, int index, const QString &value);
void appendChild(Node parent, Node child);
void removeChild(Node parent, Node child); // and frees its subtree
void setText(Node element, const QString &value);

} // namespace xml
