#pragma once
// Attributes read from a document's first bytes, without parsing it: the encoding
// its XML declaration names, the fecha of its root element. Plain scanning rather
// than regular expressions, because these run on the readers' own threads, where
// Qt's regular expressions leave a thread-local behind that Windows' toolchain
// (mingw-w64) frees twice when the thread ends.

#include <QByteArrayView>
#include <QString>

namespace xml {

// The encoding named by the XML declaration at the start of `head` (after a
// byte order mark and white space); empty when there is none, or when the name
// holds characters other than letters, digits, '.', '_' and '-'.
QString declaredEncodingIn(QByteArrayView head);

// The value of `attribute` in the first start tag named `element` in `head`
// (read as Latin-1), or empty.
QString attributeInHead(QByteArrayView head, QByteArrayView element, QByteArrayView attribute);

} // namespace xml
