#include "common/xml_document.h"

#include "common/declared_encoding.h"
#include "common/disk_io.h"
#include "common/user_error.h"
#include "common/xml_parse_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>
#include <optional>

namespace xml {
namespace {

const xmlChar *X(const char *s)
{
    return reinterpret_cast<const xmlChar *>(s);
}

QString fromXml(const xmlChar *s)
{
    return s ? QString::fromUtf8(reinterpret_cast<const char *>(s)) : QString();
}

struct Step {
    QByteArray name;
    QByteArray attribute; // empty when the step has no predicate
    QByteArray value;
};

// A name of the paths' grammar: a letter or '_', then letters, digits, '_', '.', '-'
// (ASCII); its length from `at`, 0 when there is none.
qsizetype nameLength(QStringView text, qsizetype at)
{
    const auto isStart = [](QChar c) { return c.unicode() < 0x80 && (c.isLetter() || c == u'_'); };
    const auto isRest
        = [&](QChar c) { return isStart(c) || (c.unicode() < 0x80 && c.isDigit()) || c == u'.' || c == u'-'; };
    if (at >= text.size() || !isStart(text[at]))
        return 0;
    qsizetype end = at + 1;
    while (end < text.size() && isRest(text[end]))
        ++end;
    return end - at;
}

// One step: NAME or NAME[@ATTRIBUTE="VALUE"] (or 'VALUE'). Read by hand rather than
// with a regular expression: readers on threads of their own reach it
// (common/xml_head.h says why that matters).
std::optional<Step> parseStep(QStringView part)
{
    const qsizetype name = nameLength(part, 0);
    if (name == 0)
        return std::nullopt;
    Step step;
    step.name = part.first(name).toUtf8();
    if (name == part.size())
        return step;
    if (!part.sliced(name).startsWith(u"[@"))
        return std::nullopt;
    const qsizetype attribute = nameLength(part, name + 2);
    const qsizetype equals = name + 2 + attribute;
    if (attribute == 0 || equals + 1 >= part.size() || part[equals] != u'=')
        return std::nullopt;
    const QChar quote = part[equals + 1];
    if (quote != u'"' && quote != u'\'')
        return std::nullopt;
    const qsizetype close = part.indexOf(quote, equals + 2);
    if (close < 0 || close + 2 != part.size() || part[close + 1] != u']')
        return std::nullopt;
    step.attribute = part.sliced(name + 2, attribute).toUtf8();
    step.value = part.sliced(equals + 2, close - equals - 2).toUtf8();
    return step;
}

std::vector<Step> parsePath(const QString &path)
{
    std::vector<Step> steps;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        std::optional<Step> step = parseStep(part);
        if (!step)
            throw UserError(QStringLiteral("Ruta XML no admitida: %1").arg(path));
        steps.push_back(std::move(*step));
    }
    return steps;
}

bool stepMatches(xmlNodePtr node, const Step &step)
{
    if (node->type != XML_ELEMENT_NODE || xmlStrcmp(node->name, X(step.name.constData())) != 0)
        return false;
    if (step.attribute.isEmpty())
        return true;
    xmlChar *value = xmlGetNoNsProp(node, X(step.attribute.constData()));
    const bool equal = value && xmlStrcmp(value, X(step.value.constData())) == 0;
    xmlFree(value);
    return equal;
}

} // namespace

void FreeDocument::operator()(_xmlDoc *doc) const
{
    xmlFreeDoc(doc);
}

void FreeParser::operator()(_xmlParserCtxt *context) const
{
    xmlFreeParserCtxt(context);
}

ParserPtr newParser(const QString &path)
{
    ParserPtr parser(xmlNewParserCtxt());
    if (!parser)
        throw UserError(QStringLiteral("No hay memoria suficiente para leer %1.").arg(QDir::toNativeSeparators(path)));
    return parser;
}

Document::Document()
    : m_doc(xmlNewDoc(X("1.0")))
{
}

Document Document::load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw UserError(QStringLiteral("No existe el archivo %1.").arg(QDir::toNativeSeparators(path)));
    if (!info.isReadable())
        throw UserError(QStringLiteral("No se puede leer el archivo %1.").arg(QDir::toNativeSeparators(path)));
    refuseMisdeclaredEncoding(path);

    const ParserPtr parser = newParser(path);
    Document document;
    document.m_doc = readGuarded(parser.get(), path, [&] {
        return xmlCtxtReadFile(parser.get(), disk::pathForLibxml2(path).constData(), nullptr, treeParseOptions());
    });
    document.m_path = path;
    return document;
}

Node Document::root() const
{
    return m_doc ? xmlDocGetRootElement(m_doc.get()) : nullptr;
}

std::vector<Node> Document::select(const QString &path) const
{
    const std::vector<Step> steps = parsePath(path);
    std::vector<Node> current;
    if (steps.empty())
        return current;
    Node top = root();
    if (top && stepMatches(top, steps.front()))
        current.push_back(top);
    for (size_t i = 1; i < steps.size() && !current.empty(); ++i) {
        std::vector<Node> next;
        for (Node parent : current) {
            for (xmlNodePtr child = parent->children; child; child = child->next) {
                if (stepMatches(child, steps[i]))
                    next.push_back(child);
            }
        }
        current.swap(next);
    }
    return current;
}

std::vector<Node> childElements(Node node, const char *elementName)
{
    std::vector<Node> out;
    if (!node)
        return out;
    for (xmlNodePtr child = node->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE && xmlStrcmp(child->name, X(elementName)) == 0)
            out.push_back(child);
    }
    return out;
}

QString text(Node node)
{
    if (!node)
        return QString();
    // Leaf dato elements hold one text node: read it without a copy through libxml2.
    if (node->type == XML_ELEMENT_NODE && node->children && !node->children->next
        && node->children->type == XML_TEXT_NODE) {
        return fromXml(node->children->content);
    }
    xmlChar *content = xmlNodeGetContent(node);
    QString result = fromXml(content);
    xmlFree(content);
    return result;
}

QString serialised(Node node)
{
    if (!node)
        return QString();
    xmlBufferPtr buffer = xmlBufferCreate();
    xmlNodeDump(buffer, node->doc, node, 0, 0);
    QString result = fromXml(xmlBufferContent(buffer));
    xmlBufferFree(buffer);
    return result;
}

QString attribute(Node node, const char *attributeName)
{
    if (!node)
        return QString();
    xmlChar *value = xmlGetNoNsProp(node, X(attributeName));
    QString result = fromXml(value);
    xmlFree(value);
    return result;
}

} // namespace xml
