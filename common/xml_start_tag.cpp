#include "common/xml_start_tag.h"

#include <libxml/tree.h>

namespace xml {
namespace {

void appendUtf8(QString &out, const xmlChar *text, qsizetype size = -1)
{
    out += QString::fromUtf8(reinterpret_cast<const char *>(text), size);
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

// An attribute value as libxml2 writes it between double quotes: markup characters,
// tabs and line breaks as references, and characters beyond ASCII as hexadecimal
// references when the document names no encoding.
void appendEscapedAttributeText(QString &out, const xmlChar *text, bool documentHasEncoding)
{
    const xmlChar *plain = text;
    const auto flush = [&](const xmlChar *end) {
        if (end > plain)
            appendUtf8(out, plain, end - plain);
    };
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
            flush(cur);
            out += QLatin1String(reference);
            plain = ++cur;
            continue;
        }
        if (*cur >= 0x80 && cur[1] != 0 && !documentHasEncoding) {
            flush(cur);
            int length = 1;
            const char32_t c = decodeUtf8(cur, length);
            out += QLatin1String("&#x") + QString::number(uint(c), 16).toUpper() + QLatin1Char(';');
            cur += length;
            plain = cur;
            continue;
        }
        ++cur;
    }
    flush(cur);
}

} // namespace

QString serialisedStartTag(Node node)
{
    if (!node || node->type != XML_ELEMENT_NODE || node->nsDef)
        return QString();
    QString out;
    out.reserve(64);
    out += QLatin1Char('<');
    if (node->ns && node->ns->prefix) {
        appendUtf8(out, node->ns->prefix);
        out += QLatin1Char(':');
    }
    appendUtf8(out, node->name);
    for (xmlAttrPtr attr = node->properties; attr; attr = attr->next) {
        out += QLatin1Char(' ');
        if (attr->ns && attr->ns->prefix) {
            appendUtf8(out, attr->ns->prefix);
            out += QLatin1Char(':');
        }
        appendUtf8(out, attr->name);
        out += QLatin1String("=\"");
        for (xmlNodePtr part = attr->children; part; part = part->next) {
            if (part->type != XML_TEXT_NODE)
                return QString();
            if (part->content)
                appendEscapedAttributeText(out, part->content, attr->doc && attr->doc->encoding);
        }
        out += QLatin1Char('"');
    }
    out += node->children ? QLatin1String(">") : QLatin1String("/>");
    return out;
}

} // namespace xml
