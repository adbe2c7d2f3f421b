// The stream writer. ISO-8859-1 and UTF-8, the encodings Séneca files come in,
// are encoded here straight from the text in memory; any other encoding goes
// through the same libxml2 encoder a saved tree would, so the bytes agree.
#include "import/xml_stream_writer.h"

#include "common/byte_counts.h"

#include "common/user_error.h"

#include <QDir>

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kFlushSize = 1 << 18;

// The most bytes one UTF-16 unit becomes: "&#65535;".
constexpr std::size_t kMostBytesPerUnit = 8;

// ASCII characters that are written as they are: in text, and in attribute values.
enum AsciiPlain : unsigned char { InText = 1, InAttribute = 2 };

constexpr std::array<unsigned char, 128> asciiPlainTable()
{
    std::array<unsigned char, 128> table{};
    for (unsigned c = 0; c < 128; ++c) {
        unsigned char plain = InText | InAttribute;
        if (c == '&' || c == '<' || c == '>' || c == '\r')
            plain = 0;
        else if (c == '"' || c == '\t' || c == '\n')
            plain = InText;
        table[c] = plain;
    }
    return table;
}

constexpr std::array<unsigned char, 128> kAsciiPlain = asciiPlainTable();

char *putAscii(char *out, std::string_view text)
{
    std::memcpy(out, text.data(), text.size());
    return out + text.size();
}

char *putNumber(char *out, unsigned number)
{
    return std::to_chars(out, out + 10, number).ptr;
}

// The escape of an ASCII character that is not written as it is.
char *putEscapedAscii(char *out, char16_t c)
{
    switch (c) {
    case u'&':
        return putAscii(out, "&amp;");
    case u'<':
        return putAscii(out, "&lt;");
    case u'>':
        return putAscii(out, "&gt;");
    case u'"':
        return putAscii(out, "&quot;");
    case u'\r':
        return putAscii(out, "&#13;");
    case u'\t':
        return putAscii(out, "&#9;");
    case u'\n':
        return putAscii(out, "&#10;");
    default:
        *out = char(c);
        return out + 1;
    }
}

// A character beyond ASCII: one byte in ISO-8859-1, a character reference
// where ISO-8859-1 has none (what libxml2's encoder writes), or UTF-8.
char *putBeyondAscii(char *out, char32_t c, bool latin1)
{
    if (latin1) {
        if (c < 0x100) {
            *out = char(c);
            return out + 1;
        }
        out = putAscii(out, "&#");
        out = putNumber(out, unsigned(c));
        *out = ';';
        return out + 1;
    }
    if (c < 0x800) {
        *out++ = char(0xC0 | (c >> 6));
    } else if (c < 0x10000) {
        *out++ = char(0xE0 | (c >> 12));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
    } else {
        *out++ = char(0xF0 | (c >> 18));
        *out++ = char(0x80 | ((c >> 12) & 0x3F));
        *out++ = char(0x80 | ((c >> 6) & 0x3F));
    }
    *out = char(0x80 | (c & 0x3F));
    return out + 1;
}

bool named(const char *name, const char *expected)
{
    return name && std::strcmp(name, expected) == 0;
}

std::string_view view(const xmlChar *text)
{
    return text ? std::string_view(reinterpret_cast<const char *>(text)) : std::string_view();
}

} // namespace

XmlStreamWriter::XmlStreamWriter(const QString &path, _xmlDoc *frame, _xmlNode *rootPlaceholder)
    : m_file(path)
    , m_frame(frame)
    , m_placeholder(rootPlaceholder)
    // A document loaded without a declared encoding is saved as UTF-8.
    , m_encoding(frame->encoding ? view(frame->encoding) : std::string_view("UTF-8"))
{
    if (!m_file.open())
        throwWriteError();
    xmlCharEncodingHandlerPtr encoder = xmlFindCharEncodingHandler(m_encoding.c_str());
    if (!encoder) {
        throw UserError(QStringLiteral("No se pudo escribir el archivo %1 en la codificación %2.")
                            .arg(QDir::toNativeSeparators(m_file.fileName()), QString::fromStdString(m_encoding)));
    }
    if (const xmlDtdPtr dtd = xmlGetIntSubset(frame))
        m_xhtml = xmlIsXHTML(dtd->SystemID, dtd->ExternalID) == 1;
    if (named(encoder->name, "UTF-8"))
        m_form = Form::Utf8;
    else if (named(encoder->name, "ISO-8859-1"))
        m_form = Form::Latin1;
    else
        m_form = Form::ThroughLibxml;
    m_out = xmlOutputBufferCreateIO(writeToFile, nullptr, this, encoder);
    if (!m_out) {
        xmlCharEncCloseFunc(encoder);
        throw std::bad_alloc();
    }
    room(kFlushSize + 4096);

    // The declaration as xmlSaveDoc writes it; version and encoding names hold no quotes.
    std::string declaration = "<?xml version=\"";
    declaration += frame->version ? view(frame->version) : std::string_view("1.0");
    declaration += "\" encoding=\"" + m_encoding + "\"";
    if (frame->standalone == 0)
        declaration += " standalone=\"no\"";
    else if (frame->standalone == 1)
        declaration += " standalone=\"yes\"";
    declaration += "?>\n";
    writeThroughLibxml(declaration);
    for (xmlNodePtr node = frame->children; node && node != m_placeholder; node = node->next)
        writeFrameNode(node);
    xmlOutputBufferFlush(m_out);
}

XmlStreamWriter::~XmlStreamWriter()
{
    if (m_out)
        xmlOutputBufferClose(m_out);
    // An uncommitted WholeFile removes its temporary file.
}

void XmlStreamWriter::startElement(std::string_view name)
{
    char *out = room(name.size() + 2);
    if (m_startTagOpen)
        *out++ = '>';
    *out++ = '<';
    advance(putAscii(out, name));
    m_open.push_back(name);
    m_startTagOpen = true;
}

char *XmlStreamWriter::attributeStart(std::string_view name, std::size_t valueUnits)
{
    char *out = room(name.size() + 4 + kMostBytesPerUnit * valueUnits);
    *out++ = ' ';
    out = putAscii(out, name);
    *out++ = '=';
    *out++ = '"';
    return out;
}

void XmlStreamWriter::attribute(std::string_view name, QStringView value)
{
    char *out = putEscaped(attributeStart(name, std::size_t(value.size())), value, InAttribute);
    *out++ = '"';
    advance(out);
}

void XmlStreamWriter::attribute(std::string_view name, std::string_view latin1)
{
    char *out = putEscaped(attributeStart(name, latin1.size()), latin1);
    *out++ = '"';
    advance(out);
}

void XmlStreamWriter::element(
    std::string_view name, std::string_view attributeName, std::string_view latin1Value, QStringView text)
{
    char *out = room(2 * name.size() + attributeName.size() + 10
        + kMostBytesPerUnit * (latin1Value.size() + std::size_t(text.size())));
    if (m_startTagOpen) {
        *out++ = '>';
        m_startTagOpen = false;
    }
    *out++ = '<';
    out = putAscii(out, name);
    *out++ = ' ';
    out = putAscii(out, attributeName);
    *out++ = '=';
    *out++ = '"';
    out = putEscaped(out, latin1Value);
    *out++ = '"';
    if (text.isEmpty()) {
        out = putEmptyEnd(out, name);
    } else {
        *out++ = '>';
        out = putEscaped(out, text, InText);
        *out++ = '<';
        *out++ = '/';
        out = putAscii(out, name);
        *out++ = '>';
    }
    advance(out);
}

void XmlStreamWriter::endElement()
{
    const std::string_view name = m_open.back();
    m_open.pop_back();
    char *out = room(2 * name.size() + 4);
    if (m_startTagOpen) {
        out = putEmptyEnd(out, name);
        m_startTagOpen = false;
    } else {
        *out++ = '<';
        *out++ = '/';
        out = putAscii(out, name);
        *out++ = '>';
    }
    advance(out);
    if (m_used >= kFlushSize)
        flushBuffer();
}

void XmlStreamWriter::commit(const std::function<void()> &beforeReplacing)
{
    while (!m_open.empty())
        endElement();
    flushBuffer();
    writeThroughLibxml("\n");
    if (m_placeholder) {
        for (xmlNodePtr node = m_placeholder->next; node; node = node->next)
            writeFrameNode(node);
    }
    const int closed = xmlOutputBufferClose(m_out);
    m_out = nullptr;
    if (closed < 0 || m_failed)
        throwWriteError();
    if (beforeReplacing)
        beforeReplacing();
    if (!m_file.commit())
        throwWriteError();
}

char *XmlStreamWriter::putEscaped(char *out, QStringView value, unsigned char plainWhere) const
{
    const qsizetype size = value.size();
    const char16_t *chars = value.utf16();
    const bool latin1 = m_form == Form::Latin1;
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i];
        if (c < 0x80) {
            if (kAsciiPlain[c] & plainWhere)
                *out++ = char(c);
            else
                out = putEscapedAscii(out, c);
        } else if (!QChar::isSurrogate(c)) {
            out = putBeyondAscii(out, c, latin1);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            out = putBeyondAscii(out, QChar::surrogateToUcs4(c, chars[i + 1]), latin1);
            ++i;
        } else {
            *out++ = '?'; // as QString::toUtf8 writes a surrogate without its pair
        }
    }
    return out;
}

char *XmlStreamWriter::putEscaped(char *out, std::string_view latin1) const
{
    for (char c : latin1) {
        const auto unit = char16_t(static_cast<unsigned char>(c));
        if (unit < 0x80 && (kAsciiPlain[unit] & InAttribute))
            *out++ = c;
        else if (unit < 0x80)
            out = putEscapedAscii(out, unit);
        else
            out = putBeyondAscii(out, unit, m_form == Form::Latin1);
    }
    return out;
}

char *XmlStreamWriter::putEmptyEnd(char *out, std::string_view name) const
{
    if (!m_xhtml)
        return putAscii(out, "/>");
    out = putAscii(out, "></");
    out = putAscii(out, name);
    *out = '>';
    return out + 1;
}

char *XmlStreamWriter::room(std::size_t most)
{
    if (m_capacity - m_used < most) {
        const std::size_t capacity = std::max(2 * m_capacity, m_used + most);
        auto bytes = std::make_unique_for_overwrite<char[]>(capacity);
        if (m_used > 0)
            std::memcpy(bytes.get(), m_bytes.get(), m_used);
        m_bytes = std::move(bytes);
        m_capacity = capacity;
    }
    m_reserved = m_used + most;
    return m_bytes.get() + m_used;
}

void XmlStreamWriter::advance(char *end)
{
    m_used = std::size_t(end - m_bytes.get());
    Q_ASSERT(m_used <= m_reserved); // what was written fits the room asked for
}

void XmlStreamWriter::flushBuffer()
{
    if (m_used == 0)
        return;
    if (m_form == Form::ThroughLibxml) {
        writeThroughLibxml(std::string_view(m_bytes.get(), m_used));
        xmlOutputBufferFlush(m_out);
    } else if (!toFile(m_bytes.get(), qint64(m_used))) {
        m_failed = true;
    }
    m_used = 0;
    m_bufferCounted = 0;
    m_bufferLineBreaks = 0;
}

void XmlStreamWriter::writeFrameNode(_xmlNode *node)
{
    flushBuffer();
    xmlNodeDumpOutput(m_out, m_frame, node, 0, 0, m_encoding.c_str());
    if (node->type != XML_XINCLUDE_START && node->type != XML_XINCLUDE_END)
        writeThroughLibxml("\n");
    xmlOutputBufferFlush(m_out);
}

void XmlStreamWriter::writeThroughLibxml(std::string_view utf8)
{
    if (xmlOutputBufferWrite(m_out, int(utf8.size()), utf8.data()) < 0)
        m_failed = true;
}

void XmlStreamWriter::throwWriteError()
{
    throw UserError(m_file.failureText());
}

int XmlStreamWriter::writeToFile(void *writer, const char *bytes, int length)
{
    auto *self = static_cast<XmlStreamWriter *>(writer);
    if (self->toFile(bytes, length))
        return length;
    self->m_failed = true;
    return -1;
}

bool XmlStreamWriter::toFile(const char *bytes, qint64 length)
{
    const byte_counts::Counts counts = byte_counts::count(bytes, std::size_t(length));
    if (counts.highControl > 0 && m_tally.highControlBytes == 0) {
        const char *first = std::find_if(bytes, bytes + length, byte_counts::isHighControl);
        m_tally.firstHighControlByteLine
            = int(m_tally.lineBreaks + byte_counts::count(bytes, std::size_t(first - bytes)).lineBreaks + 1);
    }
    m_tally.lineBreaks += counts.lineBreaks;
    m_tally.highControlBytes += int(counts.highControl);
    return m_file.write(bytes, length);
}

int XmlStreamWriter::lineOfNextByte()
{
    if (m_form == Form::ThroughLibxml) {
        // The buffer holds UTF-8 on its way to libxml2's encoder: hand it on.
        flushBuffer();
    } else {
        m_bufferLineBreaks += byte_counts::count(m_bytes.get() + m_bufferCounted, m_used - m_bufferCounted).lineBreaks;
        m_bufferCounted = m_used;
    }
    return int(m_tally.lineBreaks + m_bufferLineBreaks + 1);
}
