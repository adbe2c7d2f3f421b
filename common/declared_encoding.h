#pragma once
// A school's file whose bytes contradict the encoding it declares: a Séneca file
// re-saved by an editor as UTF-8 while it still declares ISO-8859-1 would be
// read without a word, every accented name turned into "GarcÃ­a". Checked before
// the file is parsed, in one pass over its bytes only when it declares a
// single-byte encoding.

#include <QByteArrayView>
#include <QString>

namespace xml {

// Why the bytes contradict their declaration, in Spanish, or empty when they do
// not: a document declared ISO-8859-1 or windows-1252 whose bytes above 0x7F all
// form UTF-8 sequences (at least one), or a byte order mark of another encoding
// than the one declared.
QString encodingContradiction(QByteArrayView bytes);

// Throws UserError naming the file when its bytes contradict its declaration. A
// file that cannot be read is left to the parser to report.
void refuseMisdeclaredEncoding(const QString &path);

} // namespace xml
