#pragma once
// The start tag of an element exactly as xml::serialised() writes it, worked out
// from the node without serialising its content: reading a few characters near
// the start of a value's markup should not cost a serialisation of the value.

#include "common/xml_document.h"

#include <string>

namespace xml {

// The first characters of serialised(node) for an element, in UTF-8, into `out`:
// "<", the name, then each attribute as ' name="value"' in document order with the
// value escaped as libxml2 escapes it, then ">" — or "/>" for an element with no
// children, and then it is the whole of serialised(node). False when it cannot be
// worked out here (not an element, namespace declarations, an attribute holding an
// entity reference): serialised() then has the answer.
bool serialisedStartTagUtf8(Node node, std::string &out);

// What serialised() gives for <dato nombre_dato="name">text</dato> (no text: an
// element without children, <dato nombre_dato="name"/>) in a document that names
// its encoding or not; and that markup's start tag in UTF-8.
QString plainSerialised(const QString &name, const QString &text, bool documentHasEncoding);
bool plainStartTagUtf8(const QString &name, bool hasText, bool documentHasEncoding, std::string &out);

} // namespace xml
