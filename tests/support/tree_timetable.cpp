#include "support/tree_timetable.h"
#include "support/xml_builders.h"

#include <libxml/tree.h>

namespace {

const xmlChar *X(const char *text)
{
    return reinterpret_cast<const xmlChar *>(text);
}

xml::Node newElement(xmlDocPtr doc, const char *name)
{
    return xmlNewDocNode(doc, nullptr, X(name), nullptr);
}

void setProperty(xml::Node element, const char *name, const QByteArray &utf8)
{
    xmlNewProp(element, X(name), X(utf8.constData()));
}

} // namespace

TreeTimetable::TreeTimetable(const QString &senecaPath, const QString &fecha)
    : m_document(xml::Document::load(senecaPath))
{
    xmlDocPtr doc = m_document.raw();
    xml::Node root = newElement(doc, "SERVICIO");
    setProperty(root, "modulo", "HORARIOS");
    setProperty(root, "tipo", "I");
    setProperty(root, "autor", "HORAVENT");
    setProperty(root, "fecha", fecha.toUtf8());
    xml::Node block = newElement(doc, "BLOQUE_DATOS");
    xmlAddChild(root, block);
    xml::replaceRoot(m_document, root);
    m_open.push_back(block);
}

void TreeTimetable::startGroup(const std::string &seq, std::optional<int> registros)
{
    xml::Node group = newElement(m_document.raw(), "grupo_datos");
    setProperty(group, "seq", QByteArray::fromStdString(seq));
    if (registros)
        setProperty(group, "registros", QByteArray::number(*registros));
    xmlAddChild(m_open.back(), group);
    m_open.push_back(group);
}

void TreeTimetable::endGroup()
{
    m_open.pop_back();
}

void TreeTimetable::dato(const char *name, const QString &value)
{
    xml::Node dato = newElement(m_document.raw(), "dato");
    setProperty(dato, "nombre_dato", name);
    if (!value.isEmpty()) {
        const QByteArray utf8 = value.toUtf8();
        xmlAddChild(dato, xmlNewDocTextLen(m_document.raw(), X(utf8.constData()), int(utf8.size())));
    }
    xmlAddChild(m_open.back(), dato);
}

void TreeTimetable::finish(const QString &path)
{
    xml::save(m_document, path);
}

std::optional<QString> treeYearText(const xml::Document &seneca)
{
    const std::vector<xml::Node> blocks = seneca.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS"));
    if (blocks.empty())
        return std::nullopt;
    xml::Node first = xml::firstChild(blocks.front());
    while (first && xmlIsBlankNode(first))
        first = first->next;
    if (!first)
        return std::nullopt;
    return xml::text(first).left(4);
}

void correctRegularCounts(const xml::Document &document)
{
    const std::vector<xml::Node> teacherGroups = document.select(
        QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos"));
    for (xml::Node group : teacherGroups)
        xml::setAttributeAt(group, 1, QString::number(xml::childNodeCount(group) - 2));
}
