#include "common/xml_start_tag.h"

#include <libxml/tree.h>

#include <cstring>

namespace xml {
namespace {

void append(std::string &out, const xmlChar *text)
{
    out += reinterpret_cast<const char *>(text);
}

// The character at text (UTF-8, valid as the parser leaves it) and its length in bytes.
char32_t decodeUtf8(const xmlChar *text, int &length)
{
    const unsigned char lead = text[0];
    if (lead < 0xE0) {
        length = 2;
        return char32_t(((lead & 0x1F) << 6) | (text[1] & 0x3F));
    }
    if (lead < 0xF0) {
        length = 3;
        return char32_t(((lead & 0x0F) << 12) | ((text[1] & 0x3F) << 6) | (text[2] & 0x3F));
    }
    length = 4;
    return char32_t(((lead & 0x07) << 18) | ((text[1] & 0x3F) << 12) | ((text[2] & 0x3F) << 6) | (text[3] & 0x3F));
}

// "&#x" and the code in capital hexadecimal digits without leading zeros, then ";".
void appendHexReference(std::string &out, char32_t c)
{
    static const char digits[] = "0123456789ABCDEF";
    char reversed[8];
    int count = 0;
    do {
        reversed[count++] = digits[c & 0xF];
        c >>= 4;
    } while (c != 0);
    out += "&#x";
    while (count > 0)
        out += reversed[--count];
    out += ';';
}

// An attribute value as libxml2 writes it between double quotes: markup characters,
// tabs and line breaks as references, and characters beyond ASCII as hexadecimal
// references when the document names no encoding.
void appendEscapedAttributeText(std::string &out, const xmlChar *text, bool documentHasEncoding)
{
    const xmlChar *cur = text;
    while (*cur) {
        const char *reference = nullptr;
        switch (*cur) {
        case '\n':
            reference = "&#10;";
            break;
        case '\r':
            reference = "&#13;";
            break;
        case '\t':
            reference = "&#9;";
            break;
        case '"':
            reference = "&quot;";
            break;
        case '<':
            reference = "&lt;";
            break;
        case '>':
            reference = "&gt;";
            break;
        case '&':
            reference = "&amp;";
            break;
        default:
            break;
        }
        if (reference) {
            out += reference;
            ++cur;
        } else if (*cur >= 0x80 && cur[1] != 0 && !documentHasEncoding) {
            int length = 1;
            appendHexReference(out, decodeUtf8(cur, length));
            cur += length;
        } else {
            out += char(*cur++);
        }
    }
}

} // namespace

bool serialisedStartTagUtf8(Node node, std::string &out)
{
    out.clear();
    if (!node || node->type != XML_ELEMENT_NODE || node->nsDef)
        return false;
    out += '<';
    if (node->ns && node->ns->prefix) {
        append(out, node->ns->prefix);
        out += ':';
    }
    append(out, node->name);
    for (xmlAttrPtr attr = node->properties; attr; attr = attr->next) {
        out += ' ';
        if (attr->ns && attr->ns->prefix) {
            append(out, attr->ns->prefix);
            out += ':';
        }
        append(out, attr->name);
        out += "=\"";
        for (xmlNodePtr part = attr->children; part; part = part->next) {
            if (part->type != XML_TEXT_NODE)
                return false;
            if (part->content)
                appendEscapedAttributeText(out, part->content, attr->doc && attr->doc->encoding);
        }
        out += '"';
    }
    out += node->children ? ">" : "/>";
    return true;
}

bool plainStartTagUtf8(const QString &name, bool hasText, bool documentHasEncoding, std::string &out)
{
    out.assign("<dato nombre_dato=\"");
    const QByteArray utf8 = name.toUtf8();
    appendEscapedAttributeText(out, reinterpret_cast<const xmlChar *>(utf8.constData()), documentHasEncoding);
    out += hasText ? "\">" : "\"/>";
    return true;
}

QString plainSerialised(const QString &name, const QString &text, bool documentHasEncoding)
{
    std::string out;
    plainStartTagUtf8(name, !text.isEmpty(), documentHasEncoding, out);
    if (!text.isEmpty()) {
        // Text as libxml2 writes an element's content: markup characters and
        // carriage returns as references, everything else as it is.
        const QByteArray utf8 = text.toUtf8();
        for (const char c : utf8) {
            switch (c) {
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '&':
                out += "&amp;";
                break;
            case '\r':
                out += "&#13;";
                break;
            default:
                out += c;
            }
        }
        out += "</dato>";
    }
    return QString::fromUtf8(out.data(), qsizetype(out.size()));
}

} // namespace xml
