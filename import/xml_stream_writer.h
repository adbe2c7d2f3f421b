#pragma once
// Writes an XML document element by element straight into its file, byte for byte
// as libxml2 saves a tree holding the same nodes (xmlSaveDoc, no formatting): the
// declaration of the document the frame was loaded from, its nodes before the
// root, the root written here, then its nodes after the root, each of those
// followed by a line break. Text goes out in that document's encoding; a
// character the encoding lacks becomes a character reference ("&#8364;").
//
// The file is written whole or not at all: the bytes go to a temporary file in
// the same folder, which replaces the target only on commit().

#include "common/disk_io.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct _xmlDoc;
struct _xmlNode;
struct _xmlOutputBuffer;

class XmlStreamWriter {
public:
    // Opens the temporary file and writes what comes before the root: the
    // declaration and the frame's nodes before rootPlaceholder, which itself is
    // never written. Throws UserError naming the file when it cannot be opened.
    XmlStreamWriter(const QString &path, _xmlDoc *frame, _xmlNode *rootPlaceholder);
    ~XmlStreamWriter();
    XmlStreamWriter(const XmlStreamWriter &) = delete;
    XmlStreamWriter &operator=(const XmlStreamWriter &) = delete;

    // Names are ASCII XML names, written as given; the text they point to must
    // outlive the element (string literals).
    void startElement(std::string_view name);
    // An attribute of the element just started, escaped as libxml2 escapes
    // attribute values (&, <, >, ", tab, line feed and carriage return).
    void attribute(std::string_view name, QStringView value);
    // A value of one-byte characters, read as ISO-8859-1: a name, a number.
    void attribute(std::string_view name, std::string_view latin1);
    // An element without content is written "<name/>" (or "<name></name>" under a
    // DOCTYPE naming XHTML 1.0, as libxml2 writes it there).
    void endElement();
    // A whole element with one attribute and its text, the text escaped as libxml2
    // escapes text (&, <, > and carriage return). Empty text is no content.
    void element(std::string_view name, std::string_view attributeName, std::string_view latin1Value, QStringView text);

    // Ends the elements still open and the root, writes the frame's nodes after
    // the root and puts the file in place of the target. Throws UserError naming
    // the file when anything could not be written; the target is then untouched.
    // beforeReplacing, when given, runs once the file is whole and just before it
    // takes the target's place; what it throws leaves the target untouched too.
    void commit(const std::function<void()> &beforeReplacing = {});
    // Whether commit() put the file in place of the target, even if it then failed.
    bool inPlace() const { return m_file.inPlace(); }

    // The encoding the declaration names.
    const std::string &encoding() const { return m_encoding; }
    // The line, counted from 1, where the next byte written will stand in the file.
    int lineOfNextByte();
    // Bytes 0x80 to 0x9F written so far (in an ISO-8859-1 document, control
    // characters, which a reader may take for Windows-1252 letters), and the line
    // of the first of them.
    int highControlBytes() const { return m_tally.highControlBytes; }
    int firstHighControlByteLine() const { return m_tally.firstHighControlByteLine; }

private:
    // What the bytes handed to the file hold that a reader of it counts.
    struct ByteTally {
        long long lineBreaks = 0;
        int highControlBytes = 0;
        int firstHighControlByteLine = 0;
    };
    // Writes bytes to the file, counting them in the tally first.
    bool toFile(const char *bytes, qint64 length);

    enum class Form {
        Latin1, // ISO-8859-1, encoded here
        Utf8, // encoded here
        ThroughLibxml, // any other encoding: UTF-8 here, then libxml2's own encoder
    };

    // Room for at least `most` more bytes at the end of the buffer; advance()
    // takes the end of what was written there.
    char *room(std::size_t most);
    void advance(char *end);
    char *attributeStart(std::string_view name, std::size_t valueUnits);
    // Escaped for text or for an attribute value (plainWhere), and encoded.
    char *putEscaped(char *out, QStringView value, unsigned char plainWhere) const;
    // A one-byte value for an attribute.
    char *putEscaped(char *out, std::string_view latin1) const;
    // The end of an element whose start tag is still open: it has no content.
    char *putEmptyEnd(char *out, std::string_view name) const;
    // Hands what the buffer holds on to the file (through libxml2's encoder when
    // the form needs it); libxml2's own output starts after it.
    void flushBuffer();
    // A node of the frame, as libxml2 writes a child of the document.
    void writeFrameNode(_xmlNode *node);
    void writeThroughLibxml(std::string_view utf8);
    [[noreturn]] void throwWriteError();
    static int writeToFile(void *writer, const char *bytes, int length);

    disk::WholeFile m_file;
    _xmlDoc *m_frame;
    _xmlNode *m_placeholder;
    std::string m_encoding;
    Form m_form = Form::Utf8;
    _xmlOutputBuffer *m_out = nullptr; // libxml2's writer with the document's encoder
    std::unique_ptr<char[]> m_bytes; // on their way to the file
    std::size_t m_used = 0;
    std::size_t m_capacity = 0;
    std::size_t m_reserved = 0; // the end of the last room asked for
    std::vector<std::string_view> m_open; // names of the open elements
    bool m_startTagOpen = false;
    bool m_xhtml = false; // the frame's DOCTYPE names XHTML 1.0
    bool m_failed = false;
    ByteTally m_tally;
    std::size_t m_bufferCounted = 0; // bytes of the buffer whose line breaks are counted
    long long m_bufferLineBreaks = 0;
};
