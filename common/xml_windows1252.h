#pragma once
// Séneca files may declare encoding="windows-1252". libxml2 reads that code page
// through iconv, which the Windows build's libxml2 lacks; there libxml2 gets this
// handler instead, so the Windows build reads the very characters the Linux build
// does, and refuses the very bytes it refuses (the five the code page leaves
// undefined). Registered only where libxml2 has no handler of its own; so are the
// other names iconv knows these code pages by ("latin1", "cp1252").

namespace xml {

// Makes sure libxml2 reads windows-1252 (and its name cp1252). Call before a parse;
// cheap after the first call.
void ensureWindows1252();

// The handler's two halves, as libxml2 calls them: convert from `in` as much as
// fits into `out`; on return *inSize is what was read and *outSize what was
// written. Return the bytes written, or -2 at a byte (or character) the code page
// cannot carry, having converted everything before it.
int windows1252ToUtf8(unsigned char *out, int *outSize, const unsigned char *in, int *inSize);
int utf8ToWindows1252(unsigned char *out, int *outSize, const unsigned char *in, int *inSize);

} // namespace xml
