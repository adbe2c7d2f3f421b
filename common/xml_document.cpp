#include "common/xml_document.h"

#include "common/system_reason.h"
#include "common/user_error.h"
#include "common/xml_parse_guard.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlsave.h>

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

Document::Document()
    : m_doc(xmlNewDoc(X("1.0")))
{
}

Document::~Document()
{
    if (m_doc)
        xmlFreeDoc(m_doc);
}

Document::Document(Document &&other) noexcept
    : m_doc(std::exchange(other.m_doc, nullptr))
    , m_path(std::move(other.m_path))
{
}

Document &Document::operator=(Document &&other) noexcept
{
    if (this != &other) {
        if (m_doc)
            xmlFreeDoc(m_doc);
        m_doc = std::exchange(other.m_doc, nullptr);
        m_path = std::move(other.m_path);
    }
    return *this;
}

Document Document::load(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile())
        throw UserError(QStringLiteral("No existe el archivo %1.").arg(QDir::toNativeSeparators(path)));
    if (!info.isReadable())
        throw UserError(QStringLiteral("No se puede leer el archivo %1.").arg(QDir::toNativeSeparators(path)));

    return parseWith(path, [&path](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadFile(ctxt, QFile::encodeName(path).constData(), nullptr, parseOptions());
    });
}

Document Document::parse(const QByteArray &bytes, const QString &nameForMessages)
{
    return parseWith(nameForMessages, [&bytes](xmlParserCtxtPtr ctxt) {
        return xmlCtxtReadMemory(ctxt, bytes.constData(), int(bytes.size()), nullptr, nullptr, parseOptions());
    });
}

Document Document::parseWith(const QString &path, const std::function<_xmlDoc *(_xmlParserCtxt *)> &read)
{
    xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
    if (!ctxt)
        throw UserError(QStringLiteral("No hay memoria suficiente para leer %1.").arg(QDir::toNativeSeparators(path)));
    const std::unique_ptr<xmlParserCtxt, decltype(&xmlFreeParserCtxt)> owned(ctxt, xmlFreeParserCtxt);
    xmlDocPtr doc = readGuarded(ctxt, path, [&] { return read(ctxt); });
    Document result;
    xmlFreeDoc(result.m_doc);
    result.m_doc = doc;
    result.m_path = path;
    return result;
}

QByteArray Document::toBytes() const
{
    xmlChar *buffer = nullptr;
    int size = 0;
    const char *encoding = m_doc->encoding ? reinterpret_cast<const char *>(m_doc->encoding) : "UTF-8";
    xmlDocDumpFormatMemoryEnc(m_doc, &buffer, &size, encoding, 0);
    if (!buffer)
        throw UserError(QStringLiteral("No se pudo escribir el documento XML en la codificación %1.")
                            .arg(QString::fromLatin1(encoding)));
    QByteArray bytes(reinterpret_cast<const char *>(buffer), size);
    xmlFree(buffer);
    return bytes;
}

namespace {

int writeToSaveFile(void *context, const char *buffer, int length)
{
    auto *file = static_cast<QSaveFile *>(context);
    return file->write(buffer, length) == length ? length : -1;
}

int keepOpen(void *)
{
    return 0;
}

} // namespace

void Document::save(const QString &path) const
{
    // Streamed straight into the temporary file that replaces the target when complete.
    QSaveFile file(path);
    const char *encoding = m_doc->encoding ? reinterpret_cast<const char *>(m_doc->encoding) : "UTF-8";
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        xmlSaveCtxtPtr context = xmlSaveToIO(writeToSaveFile, keepOpen, &file, encoding, 0);
        written = context && xmlSaveDoc(context, m_doc) >= 0;
        if (context)
            written = xmlSaveClose(context) >= 0 && written;
        written = written && file.commit();
    }
    if (!written) {
        throw UserError(QStringLiteral("No se pudo escribir el archivo %1 (%2).")
                            .arg(QDir::toNativeSeparators(path), disk::fileReason(file, true)));
    }
}

Node Document::root() const
{
    return m_doc ? xmlDocGetRootElement(m_doc) : nullptr;
}

void Document::replaceRoot(Node newRoot)
{
    xmlNodePtr old = xmlDocSetRootElement(m_doc, newRoot);
    if (old) {
        xmlUnlinkNode(old);
        xmlFreeNode(old);
    }
}

const QString &Document::sourcePath() const
{
    return m_path;
}

_xmlDoc *Document::raw() const
{
    return m_doc;
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

std::vector<Node> elementChildren(Node node)
{
    std::vector<Node> out;
    if (!node)
        return out;
    for (xmlNodePtr child = node->children; child; child = child->next) {
        if (child->type == XML_ELEMENT_NODE)
            out.push_back(child);
    }
    return out;
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

int childNodeCount(Node node)
{
    int count = 0;
    if (node) {
        for (xmlNodePtr child = node->children; child; child = child->next)
            ++count;
    }
    return count;
}

Node firstChild(Node node)
{
    return node ? node->children : nullptr;
}

QString name(Node node)
{
    return node ? fromXml(node->name) : QString();
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

Node createElement(Document &doc, const char *elementName)
{
    return xmlNewDocNode(doc.raw(), nullptr, X(elementName), nullptr);
}

void setAttribute(Node element, const char *attributeName, const QString &value)
{
    xmlSetProp(element, X(attributeName), X(value.toUtf8().constData()));
}

void setAttributeAt(Node element, int index, const QString &value)
{
    int i = 0;
    for (xmlAttrPtr attr = element ? element->properties : nullptr; attr; attr = attr->next, ++i) {
        if (i == index) {
            xmlSetProp(element, attr->name, X(value.toUtf8().constData()));
            return;
        }
    }
}

void appendChild(Node parent, Node child)
{
    xmlAddChild(parent, child);
}

void removeChild(Node parent, Node child)
{
    if (!child || child->parent != parent)
        return;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
}

void setText(Node element, const QString &value)
{
    xmlNodeSetContent(element, nullptr);
    if (value.isEmpty())
        return;
    const QByteArray utf8 = value.toUtf8();
    xmlAddChild(element, xmlNewDocTextLen(element->doc, X(utf8.constData()), int(utf8.size())));
}

} // namespace xml
