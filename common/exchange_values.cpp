#include "common/exchange_values.h"

#include "common/clipper.h"
#include "common/declared_encoding.h"
#include "common/disk_io.h"
#include "common/exchange_document.h"
#include "common/xml_parse_guard.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/tree.h>

#include <cstring>
#include <string>
#include <string_view>

QString ExchangeValuesRecord::value(int position) const
{
    return clipper::AllTrim(rawValue(position));
}

namespace {

// Whether the dato's markup is <dato nombre_dato="...">text</dato>: no prefix, no
// namespace declaration, that one attribute, and one text node or nothing inside.
bool hasPlainMarkup(xml::Node dato)
{
    const xmlAttr *attr = dato->properties;
    if (dato->ns && dato->ns->prefix)
        return false;
    if (dato->nsDef || !attr || attr->next || attr->ns || !xmlStrEqual(attr->name, BAD_CAST "nombre_dato"))
        return false;
    for (const xmlNode *part = attr->children; part; part = part->next) {
        if (part->type != XML_TEXT_NODE)
            return false;
    }
    return !dato->children || (dato->children->type == XML_TEXT_NODE && !dato->children->next);
}

} // namespace

ExchangeValues ExchangeValues::fromDocument(const ExchangeDocument &document)
{
    if (const ExchangeValues *values = document.values())
        return *values;
    ExchangeValues values;
    values.m_path = document.path();
    values.m_hasEncoding = document.document().raw() && document.document().raw()->encoding;
    values.m_module = document.module();
    const auto readDatos = [](xml::Node node, ExchangeValuesRecord &record) {
        for (xml::Node dato : xml::childElements(node, "dato"))
            record.datos().push_back({xml::text(dato), xml::attribute(dato, "nombre_dato"), hasPlainMarkup(dato)});
    };
    for (xml::Node top : document.topLevelGroups()) {
        ExchangeValuesGroup &group = values.m_groups.emplace_back();
        group.seq = xml::attribute(top, "seq");
        readDatos(top, group.own);
        for (xml::Node node : xml::childElements(top, "grupo_datos"))
            readDatos(node, group.records.emplace_back());
    }
    return values;
}

ExchangeValues ExchangeValues::read(const QString &path)
{
    if (std::optional<ExchangeValues> streamed = readByStream(path))
        return std::move(*streamed);
    return fromDocument(ExchangeDocument::load(path));
}

// The streaming pass: libxml2's parser with handlers that keep the values of the
// top-level groups and their records, and nothing else. The tree's rules for text
// are followed: a dato's text is the concatenation of its character data (entities
// and character references resolved by the parser). Wherever the tree could hold
// something else, the pass gives up and the tree is built instead.
class ExchangeValuesReader {
public:
    ExchangeValuesReader(xmlParserCtxtPtr context, ExchangeValues::Markup markup)
        : m_context(context)
        , m_markupNeeded(markup == ExchangeValues::Markup::Needed)
    {
    }

    static void install(xmlSAXHandler &handler)
    {
        std::memset(&handler, 0, sizeof handler);
        handler.initialized = XML_SAX2_MAGIC;
        handler.startElementNs = &ExchangeValuesReader::startElement;
        handler.endElementNs = &ExchangeValuesReader::endElement;
        // A handler for whitespace of its own makes the parser ask, before each run
        // of text, whether the tree would drop it, with its position just past the
        // run. Without a tree being built the parser never drops a run itself:
        // which whitespace the tree would drop is decided in characters().
        handler.characters = &ExchangeValuesReader::characters;
        handler.ignorableWhitespace = &ExchangeValuesReader::whitespace;
        handler.cdataBlock = &ExchangeValuesReader::cdata;
        handler.comment = &ExchangeValuesReader::comment;
        handler.processingInstruction = &ExchangeValuesReader::instruction;
        handler.reference = &ExchangeValuesReader::reference;
        handler.internalSubset = &ExchangeValuesReader::subset;
        handler.externalSubset = &ExchangeValuesReader::subset;
        handler.startDocument = &ExchangeValuesReader::startDocument;
        handler.endDocument = &ExchangeValuesReader::endDocument;
    }

    ExchangeValues values;
    bool needsTree = false;
    bool hasBlock = false;

private:
    enum class Role { Ignored, Root, Block, Group, GroupDato, Record, RecordDato };

    static ExchangeValuesReader &of(void *context)
    {
        return *static_cast<ExchangeValuesReader *>(static_cast<xmlParserCtxtPtr>(context)->_private);
    }

    bool inDato() const
    {
        return !m_roles.empty() && (m_roles.back() == Role::GroupDato || m_roles.back() == Role::RecordDato);
    }

    void giveUp()
    {
        needsTree = true;
        xmlStopParser(m_context);
    }

    static bool is(const xmlChar *name, const char *expected)
    {
        return std::strcmp(reinterpret_cast<const char *>(name), expected) == 0;
    }

    // The attribute with this name and no namespace, as the parser hands it over.
    struct RawAttribute {
        const char *begin = nullptr; // null when absent
        const char *end = nullptr;
        // A value the parser had to rewrite ends in a NUL of its own, with "&"
        // written "&#38;", which the tree turns into "&" again.
        bool rewritten() const { return *end == '\0' && std::memchr(begin, '&', size_t(end - begin)); }
    };

    static RawAttribute rawAttribute(int count, const xmlChar **attributes, const char *name)
    {
        for (int i = 0; i < count; ++i) {
            const xmlChar **attr = attributes + 5 * i;
            if (!attr[1] && !attr[2] && is(attr[0], name))
                return {reinterpret_cast<const char *>(attr[3]), reinterpret_cast<const char *>(attr[4])};
        }
        return {};
    }

    // The attribute's value as the tree holds it; null when absent.
    static QString text(const RawAttribute &attribute)
    {
        if (!attribute.begin)
            return QString();
        QString value = QString::fromUtf8(attribute.begin, attribute.end - attribute.begin);
        if (attribute.rewritten())
            value.replace(QLatin1String("&#38;"), QLatin1String("&"));
        return value;
    }

    // Names repeat from record to record: the one at the same position is shared.
    QString datoName(int count, const xmlChar **attributes, int position)
    {
        const RawAttribute attribute = rawAttribute(count, attributes, "nombre_dato");
        if (!attribute.begin || attribute.rewritten())
            return text(attribute);
        if (size_t(position) >= m_names.size())
            m_names.resize(size_t(position) + 1);
        LastText &last = m_names[size_t(position)];
        const std::string_view bytes(attribute.begin, size_t(attribute.end - attribute.begin));
        if (!last.known || bytes != last.bytes) {
            last.known = true;
            last.bytes.assign(bytes);
            last.name = text(attribute);
        }
        return last.name;
    }

    // The tree takes the encoding its document names when the document starts,
    // or else the one of the input when it ends.
    static void startDocument(void *context)
    {
        ExchangeValuesReader &reader = of(context);
        reader.values.m_hasEncoding = reader.m_context->encoding != nullptr;
    }

    static void endDocument(void *context)
    {
        ExchangeValuesReader &reader = of(context);
        const xmlParserCtxtPtr c = reader.m_context;
        if (c->encoding || (c->inputTab && c->inputNr > 0 && c->inputTab[0] && c->inputTab[0]->encoding))
            reader.values.m_hasEncoding = true;
    }

    static void startElement(void *context, const xmlChar *localname, const xmlChar *prefix, const xmlChar *,
        int namespaceCount, const xmlChar **, int attributeCount, int defaulted, const xmlChar **attributes)
    {
        ExchangeValuesReader &reader = of(context);
        if (reader.needsTree)
            return;
        // Markup inside a value, defaulted attributes and xml:space all change what
        // the tree holds in ways only the tree knows.
        if (reader.inDato() || defaulted > 0) {
            reader.giveUp();
            return;
        }
        for (int i = 0; i < attributeCount; ++i) {
            const xmlChar **attr = attributes + 5 * i;
            if (attr[1] && is(attr[1], "xml") && is(attr[0], "space")) {
                reader.giveUp();
                return;
            }
        }
        const Role parent = reader.m_roles.empty() ? Role::Ignored : reader.m_roles.back();
        Role role = Role::Ignored;
        if (reader.m_roles.empty()) {
            role = is(localname, "SERVICIO") ? Role::Root : Role::Ignored;
            if (role == Role::Root)
                reader.values.m_module = text(rawAttribute(attributeCount, attributes, "modulo"));
        } else if (parent == Role::Root) {
            role = is(localname, "BLOQUE_DATOS") ? Role::Block : Role::Ignored;
            reader.hasBlock = reader.hasBlock || role == Role::Block;
        } else if (parent == Role::Block && is(localname, "grupo_datos")) {
            role = Role::Group;
            reader.values.m_groups.emplace_back().seq = text(rawAttribute(attributeCount, attributes, "seq"));
        } else if (parent == Role::Group && is(localname, "grupo_datos")) {
            role = Role::Record;
            std::vector<ExchangeValuesRecord> &records = reader.values.m_groups.back().records;
            // Records of a group have as many datos as the one before, as a rule.
            const size_t expected = records.empty() ? 0 : records.back().datos().size();
            records.emplace_back().datos().reserve(expected);
        } else if ((parent == Role::Group || parent == Role::Record) && is(localname, "dato")) {
            role = parent == Role::Group ? Role::GroupDato : Role::RecordDato;
            ExchangeValuesGroup &group = reader.values.m_groups.back();
            ExchangeValuesRecord &record = role == Role::GroupDato ? group.own : group.records.back();
            const int position = record.count();
            const bool plain = !prefix && namespaceCount == 0 && attributeCount == 1 && !attributes[1]
                && is(attributes[0], "nombre_dato");
            if (reader.m_markupNeeded && !plain) {
                reader.giveUp();
                return;
            }
            record.datos().push_back({QString(), reader.datoName(attributeCount, attributes, position), plain});
            reader.m_text.resize(0); // keeps its capacity
        }
        reader.m_roles.push_back(role);
    }

    static void endElement(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
    {
        ExchangeValuesReader &reader = of(context);
        if (reader.needsTree || reader.m_roles.empty())
            return;
        if (reader.inDato()) {
            ExchangeValuesGroup &group = reader.values.m_groups.back();
            ExchangeValuesRecord &record = reader.m_roles.back() == Role::GroupDato ? group.own : group.records.back();
            record.datos().back().text = reader.datoText(record.count() - 1);
        }
        reader.m_roles.pop_back();
    }

    // Only XML's whitespace: spaces, tabs, line feeds and carriage returns.
    static bool isXmlWhitespace(const xmlChar *text, int length)
    {
        for (int i = 0; i < length; ++i) {
            if (text[i] != ' ' && text[i] != '\t' && text[i] != '\n' && text[i] != '\r')
                return false;
        }
        return true;
    }

    static void characters(void *context, const xmlChar *text, int length)
    {
        ExchangeValuesReader &reader = of(context);
        if (reader.needsTree || !reader.inDato())
            return;
        // The tree drops whitespace that opens a value when a carriage return
        // follows it (the parser's position is then on it); such a value is left
        // to the tree.
        const xmlParserInputPtr input = reader.m_context->input;
        if (reader.m_text.isEmpty() && isXmlWhitespace(text, length) && input && input->cur && *input->cur == '\r') {
            reader.giveUp();
            return;
        }
        if (reader.m_text.size() + length > xml::ParseGuard::kLongestValue) {
            xml::ParseGuard::refuseValueTooLong(reader.m_context);
            return;
        }
        reader.m_text.append(reinterpret_cast<const char *>(text), length);
    }

    static void whitespace(void *context, const xmlChar *text, int length) { characters(context, text, length); }

    static void cdata(void *context, const xmlChar *, int)
    {
        ExchangeValuesReader &reader = of(context);
        if (reader.inDato())
            reader.giveUp();
    }

    static void comment(void *context, const xmlChar *)
    {
        ExchangeValuesReader &reader = of(context);
        if (reader.inDato())
            reader.giveUp();
    }

    static void instruction(void *context, const xmlChar *, const xmlChar *)
    {
        ExchangeValuesReader &reader = of(context);
        if (reader.inDato())
            reader.giveUp();
    }

    static void reference(void *context, const xmlChar *) { of(context).giveUp(); }

    static void subset(void *context, const xmlChar *, const xmlChar *, const xmlChar *) { of(context).giveUp(); }

    xmlParserCtxtPtr m_context;
    bool m_markupNeeded;
    std::vector<Role> m_roles;
    QByteArray m_text;
    // Values repeat from record to record too (a course, an origin, "1"): the text
    // at the same position is shared when its bytes are the same.
    QString datoText(int position)
    {
        if (size_t(position) >= m_texts.size())
            m_texts.resize(size_t(position) + 1);
        LastText &last = m_texts[size_t(position)];
        const std::string_view bytes(m_text.constData(), size_t(m_text.size()));
        if (!last.known || bytes != last.bytes) {
            last.known = true;
            last.bytes.assign(bytes);
            last.name = QString::fromUtf8(m_text);
        }
        return last.name;
    }

    struct LastText {
        bool known = false;
        std::string bytes;
        QString name;
    };
    std::vector<LastText> m_names;
    std::vector<LastText> m_texts;
};

std::optional<ExchangeValues> ExchangeValues::readByStream(const QString &path, Markup markup)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return std::nullopt;
    xml::refuseMisdeclaredEncoding(path);
    const xml::ParserPtr parser(xmlCreateFileParserCtxt(disk::pathForLibxml2(path).constData()));
    if (!parser)
        return std::nullopt;
    xmlParserCtxtPtr context = parser.get();
    xmlSAXHandler handler;
    ExchangeValuesReader::install(handler);
    ExchangeValuesReader reader(context, markup);
    // The parser frees the handler it came with, never ours: it is put back first.
    const auto giveBackHandler = qScopeGuard([context, own = context->sax] { context->sax = own; });
    context->sax = &handler;
    context->_private = &reader;
    xmlCtxtUseOptions(context, xml::streamParseOptions());
    bool read = false;
    {
        const xml::ParseGuard guard(context, path);
        xmlParseDocument(context);
        const xml::DocumentPtr partial(std::exchange(context->myDoc, nullptr));
        // A file the tree would refuse too is refused here, without a second parse.
        if (guard.failed() && !reader.needsTree)
            guard.throwError();
        read = context->wellFormed && !reader.needsTree && reader.hasBlock;
    }
    if (!read)
        return std::nullopt;
    reader.values.m_path = path;
    return std::move(reader.values);
}
