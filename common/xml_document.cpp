#include "common/xml_document.h"

#include "common/declared_encoding.h"
#include "common/disk_io.h"
#include "common/user_error.h"
#include "common/xml_parse_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <memory>

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

std::vector<Step> parsePath(const QString &path)
{
    static const QRegularExpression stepPattern(
        QStringLiteral(R"re(^([A-Za-z_][\w.\-]*)(?:\[@([A-Za-z_][\w.\-]*)=(?:"([^"]*)"|'([^']*)')\])?$)re"));
    std::vector<Step> steps;
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const auto match = stepPattern.match(part);
        if (!match.hasMatch())
            throw UserError(QStringLiteral("Ruta XML no admitida: %1").arg(path));
        Step step;
        step.name = match.captured(1).toUtf8();
        step.attribute = match.captured(2).toUtf8();
        step.value = (match.capturedLength(3) > 0 || match.captured(4).isNull()) ? match.captured(3).toUtf8()
                                                                                 : match.captured(4).toUtf8();
        steps.push_back(std::move(step));
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
