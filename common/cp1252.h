#pragma once
// Windows-1252, the code page of every table the timetabler reads and writes.
// All 256 bytes decode: the five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become U+0081 and so on, and encode back to themselves, so
// any byte survives a read and a write unchanged.

#include <QByteArray>
#include <QString>

namespace cp1252 {

// The character a byte stands for.
char16_t toUnicode(unsigned char byte);

// The byte that stands for a UTF-16 code unit; false when the code page has none.
bool fromUnicode(char16_t unit, unsigned char &byte);

// Decodes size bytes.
QString decode(const char *data, qsizetype size);

// Encodes at most maxChars characters (all of them when maxChars < 0). A character
// with no byte, a pair of surrogates included, becomes one '?'.
QByteArray encode(const QString &text, qsizetype maxChars = -1);

// Encodes as encode() does, straight into `out`, at most `capacity` bytes (one per
// character); returns how many were written. No allocation: table fields are
// written with it.
qsizetype encodeInto(const QString &text, char *out, qsizetype capacity);

// Encodes every character; false when one has no byte, as then no stored text equals it.
bool encodeExact(const QString &text, QByteArray &out);

} // namespace cp1252
