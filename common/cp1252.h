#pragma once
// Windows-1252, the code page of every table the timetabler reads and writes.
// All 256 bytes decode: the five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) become U+0081 and so on, so any byte a table holds can be read
// and looked up. Writing is stricter: no field is ever written with DEL or an
// undefined byte, and a character outside the code page takes the letter Windows'
// best-fit conversion gives it (Ł and Ś become L and S), "?" only where there is none.

#include <QByteArray>
#include <QString>

namespace cp1252 {

// The character a byte stands for.
char16_t toUnicode(unsigned char byte);

// The byte that stands for a UTF-16 code unit; false when the code page has none.
bool fromUnicode(char16_t unit, unsigned char &byte);

// Decodes size bytes.
QString decode(const char *data, qsizetype size);

// The byte a character is written as in a table: its own byte when the code page
// defines one; for a character outside the code page the byte of its base letter
// (the first character of its Unicode decomposition, or the letter of the few
// without one, such as Ł and Đ); '?' for DEL, for U+0081, U+008D, U+008F, U+0090
// and U+009D (whose bytes the code page leaves undefined), and for everything else.
unsigned char writtenByte(char16_t unit);

// Encodes at most maxChars characters (all of them when maxChars < 0), each as
// writtenByte() gives it; a pair of surrogates is one character and becomes '?'.
QByteArray encode(const QString &text, qsizetype maxChars = -1);

// Encodes as encode() does, straight into `out`, at most `capacity` bytes (one per
// character); returns how many were written. No allocation: table fields are
// written with it.
qsizetype encodeInto(const QString &text, char *out, qsizetype capacity);

// Encodes every character as decode() would give it back (an undefined byte's
// character included); false when one has no byte, as then no stored text equals it.
bool encodeExact(const QString &text, QByteArray &out);

} // namespace cp1252
