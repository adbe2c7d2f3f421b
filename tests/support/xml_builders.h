#pragma once
// Tests build and save libxml2 trees with these; the converter itself never
// builds a tree (it writes its documents as streams: import/xml_stream_writer.h).

#include "common/xml_document.h"

#include <QByteArray>
#include <QString>

namespace xml {

// The document the bytes make, loaded from a file of that name in a folder of
// its own (removed again: the tree is in memory).
Document loadBytes(const QByteArray &bytes, const QString &fileName);

Node createElement(Document &doc, const char *name);
void setAttribute(Node element, const char *name, const QString &value);
// Sets the value of the attribute at a 0-based position; no-op when absent.
void setAttributeAt(Node element, int index, const QString &value);
void appendChild(Node parent, Node child);
void setText(Node element, const QString &value);
// Puts the element in place of the document's root, freeing the old root.
void replaceRoot(Document &doc, Node newRoot);

// Number of child nodes of any kind.
int childNodeCount(Node node);
Node firstChild(Node node);

// The whole document in the encoding its declaration names, as libxml2 saves it.
QByteArray toBytes(const Document &doc);
// Writes toBytes(doc) to the file, whole or not at all (QSaveFile).
void save(const Document &doc, const QString &path);

} // namespace xml
