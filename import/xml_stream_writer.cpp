// The stream writer. ISO-8859-1 and UTF-8, the encodings Séneca files come in,
// are encoded here straight from the text in memory; any other encoding goes
// through the same libxml2 encoder a saved tree would, so the bytes agree.
#include "import/xml_stream_writer.h"

#include "common/user_error.h"

#include <QDir>

#include <libxml/encoding.h>
#include <libxml/tree.h>
#include <libxml/xmlIO.h>
#include <libxml/xmlsave.h>

#include <charconv>
#include <cstring>

namespace {

constexpr std::size_t kFlushSize = 1 << 18;

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
    if (!m_file.open(QIODevice::WriteOnly))
        throwWriteError();
    xmlCharEncodingHandlerPtr encoder = xmlFindCharEncodingHandler(m_encoding.c_str());
    if (!encoder) {
        throw UserError(QStringLiteral("No se pudo escribir el archivo %1 en la codificación %2.")
                            .arg(QDir::toNativeSeparators(m_file.fileName()), QString::fromStdString(m_encoding)));
    }
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
    m_buffer.reserve(kFlushSize + 4096);

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
    // An uncommitted QSaveFile removes its temporary file.
}

void XmlStreamWriter::startElement(const char *name)
{
    closeStartTag();
    put('<');
    put(name);
    m_open.push_back(name);
    m_startTagOpen = true;
}

void XmlStreamWriter::attribute(const char *name, QStringView value)
{
    put(' ');
    put(name);
    put("=\"");
    putEscaped(value, true);
    put('"');
}

void XmlStreamWriter::attribute(const char *name, std::string_view ascii)
{
    put(' ');
    put(name);
    put("=\"");
    for (char c : ascii)
        putEscaped(char32_t(static_cast<unsigned char>(c)), true);
    put('"');
}

void XmlStreamWriter::text(QStringView value)
{
    if (value.isEmpty())
        return;
    closeStartTag();
    putEscaped(value, false);
    flushIfFull();
}

void XmlStreamWriter::endElement()
{
    if (m_startTagOpen) {
        put("/>");
        m_startTagOpen = false;
    } else {
        put("</");
        put(m_open.back());
        put('>');
    }
    m_open.pop_back();
    flushIfFull();
}

void XmlStreamWriter::commit()
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
    if (closed < 0 || m_failed || !m_file.commit())
        throwWriteError();
}

void XmlStreamWriter::closeStartTag()
{
    if (m_startTagOpen) {
        put('>');
        m_startTagOpen = false;
    }
}

void XmlStreamWriter::putEscaped(QStringView value, bool inAttribute)
{
    const qsizetype size = value.size();
    const char16_t *chars = value.utf16();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t c = chars[i];
        if (!QChar::isSurrogate(c)) {
            putEscaped(c, inAttribute);
        } else if (QChar::isHighSurrogate(c) && i + 1 < size && QChar::isLowSurrogate(chars[i + 1])) {
            putCharacter(QChar::surrogateToUcs4(c, chars[i + 1]));
            ++i;
        } else {
            put('?'); // as QString::toUtf8 writes a surrogate without its pair
        }
    }
}

void XmlStreamWriter::putEscaped(char32_t c, bool inAttribute)
{
    switch (c) {
    case U'&':
        put("&amp;");
        return;
    case U'<':
        put("&lt;");
        return;
    case U'>':
        put("&gt;");
        return;
    case U'\r':
        put("&#13;");
        return;
    case U'"':
        if (inAttribute) {
            put("&quot;");
            return;
        }
        break;
    case U'\t':
        if (inAttribute) {
            put("&#9;");
            return;
        }
        break;
    case U'\n':
        if (inAttribute) {
            put("&#10;");
            return;
        }
        break;
    default:
        break;
    }
    if (c < 0x80)
        put(char(c));
    else
        putCharacter(c);
}

void XmlStreamWriter::putCharacter(char32_t c)
{
    if (c < 0x80) {
        put(char(c));
    } else if (m_form == Form::Latin1) {
        if (c < 0x100)
            put(char(c));
        else
            putCharacterReference(c);
    } else if (c < 0x800) {
        put(char(0xC0 | (c >> 6)));
        put(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        put(char(0xE0 | (c >> 12)));
        put(char(0x80 | ((c >> 6) & 0x3F)));
        put(char(0x80 | (c & 0x3F)));
    } else {
        put(char(0xF0 | (c >> 18)));
        put(char(0x80 | ((c >> 12) & 0x3F)));
        put(char(0x80 | ((c >> 6) & 0x3F)));
        put(char(0x80 | (c & 0x3F)));
    }
}

// What libxml2's encoder writes for a character its encoding lacks.
void XmlStreamWriter::putCharacterReference(char32_t c)
{
    put("&#");
    putNumber(unsigned(c));
    put(';');
}

void XmlStreamWriter::putNumber(unsigned number)
{
    char digits[16];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    put(std::string_view(digits, std::size_t(end - digits)));
}

void XmlStreamWriter::flushIfFull()
{
    if (m_buffer.size() >= kFlushSize)
        flushBuffer();
}

void XmlStreamWriter::flushBuffer()
{
    if (m_buffer.empty())
        return;
    if (m_form == Form::ThroughLibxml) {
        writeThroughLibxml(m_buffer);
        xmlOutputBufferFlush(m_out);
    } else if (m_file.write(m_buffer.data(), qint64(m_buffer.size())) != qint64(m_buffer.size())) {
        m_failed = true;
    }
    m_buffer.clear();
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
    throw UserError(QStringLiteral("No se pudo escribir el archivo %1 (%2).")
                        .arg(QDir::toNativeSeparators(m_file.fileName()), m_file.errorString()));
}

int XmlStreamWriter::writeToFile(void *writer, const char *bytes, int length)
{
    auto *self = static_cast<XmlStreamWriter *>(writer);
    if (self->m_file.write(bytes, length) == length)
        return length;
    self->m_failed = true;
    return -1;
}
