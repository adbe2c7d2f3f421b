#include "import/timetable_document.h"

#include "common/user_error.h"

#include <QDir>

#include <libxml/tree.h>

// After tree.h, which it needs.
#include <libxml/dict.h>

namespace timetable {
namespace {

const xmlChar *X(const char *text)
{
    return reinterpret_cast<const xmlChar *>(text);
}

xml::Node newElement(xmlDocPtr doc, const char *name)
{
    xml::Node element = xmlNewDocNode(doc, nullptr, X(name), nullptr);
    if (!element)
        throw std::bad_alloc();
    return element;
}

// A text node. A timetable repeats the same few values (names, dates, minutes,
// codes) hundreds of thousands of times, so their text is kept once in the
// document's dictionary, as the parser does for names; libxml2 frees the text of
// a node only when the dictionary does not hold it.
xml::Node newText(xmlDocPtr doc, const char *utf8, int size)
{
    xml::Node text = nullptr;
    if (doc->dict) {
        const xmlChar *shared = xmlDictLookup(doc->dict, X(utf8), size);
        text = shared ? xmlNewDocTextLen(doc, nullptr, 0) : nullptr;
        if (text)
            text->content = const_cast<xmlChar *>(shared);
    } else {
        text = xmlNewDocTextLen(doc, X(utf8), size);
    }
    if (!text)
        throw std::bad_alloc();
    return text;
}

void setProperty(xml::Node element, const char *name, const char *utf8, int size)
{
    xmlAttrPtr attribute = xmlNewProp(element, X(name), nullptr);
    if (!attribute)
        throw std::bad_alloc();
    xml::Node value = newText(element->doc, utf8, size);
    value->parent = reinterpret_cast<xml::Node>(attribute);
    attribute->children = value;
    attribute->last = value;
}

void setProperty(xml::Node element, const char *name, const char *utf8)
{
    setProperty(element, name, utf8, int(qstrlen(utf8)));
}

void setProperty(xml::Node element, const char *name, const QByteArray &utf8)
{
    setProperty(element, name, utf8.constData(), int(utf8.size()));
}

// XML 1.0 has no form for most control characters, so a value holding one would
// give a document nobody can read back. Such a value stops the run instead.
bool isXmlText(const QString &value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if (c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r')
            return false;
        if (c == 0xFFFE || c == 0xFFFF)
            return false;
        if (QChar::isHighSurrogate(c)) {
            if (i + 1 >= value.size() || !QChar::isLowSurrogate(value.at(i + 1).unicode()))
                return false;
            ++i;
        } else if (QChar::isLowSurrogate(c)) {
            return false;
        }
    }
    return true;
}

QString visible(const QString &value)
{
    QString out;
    for (QChar c : value)
        out += c.unicode() < 0x20 ? QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0')) : QString(c);
    return out;
}

} // namespace

QString yearText(const xml::Document &seneca)
{
    const std::vector<xml::Node> blocks = seneca.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS"));
    const QString file = QDir::toNativeSeparators(seneca.sourcePath());
    if (blocks.empty()) {
        throw UserError(QStringLiteral("El archivo %1 no es un documento de Séneca: le falta el elemento "
                                       "BLOQUE_DATOS dentro de SERVICIO.")
                            .arg(file));
    }
    // Whitespace alone is no data: the parser keeps it only in an otherwise empty element.
    xml::Node first = xml::firstChild(blocks.front());
    while (first && xmlIsBlankNode(first))
        first = first->next;
    if (!first) {
        throw UserError(QStringLiteral("El archivo %1 no tiene datos dentro de BLOQUE_DATOS, así que no indica el "
                                       "curso académico. Elija el archivo de Séneca que se usó en la exportación.")
                            .arg(file));
    }
    return xml::text(first).left(4);
}

xml::Node replaceRoot(xml::Document &document, const QString &fecha)
{
    xml::Node root = newElement(document.raw(), "SERVICIO");
    setProperty(root, "modulo", "HORARIOS");
    setProperty(root, "tipo", "I");
    setProperty(root, "autor", "HORAVENT");
    setProperty(root, "fecha", fecha.toUtf8());
    xml::Node block = newElement(document.raw(), "BLOQUE_DATOS");
    xmlAddChild(root, block);
    document.replaceRoot(root);
    return block;
}

xml::Node appendGroup(xml::Node parent, const QString &seq)
{
    xml::Node group = newElement(parent->doc, "grupo_datos");
    setProperty(group, "seq", seq.toUtf8());
    xmlAddChild(parent, group);
    return group;
}

xml::Node appendGroup(xml::Node parent, const QString &seq, int registros)
{
    xml::Node group = appendGroup(parent, seq);
    setProperty(group, "registros", QByteArray::number(registros));
    return group;
}

void appendDato(xml::Node parent, const char *name, const QString &value)
{
    if (!isXmlText(value)) {
        throw UserError(QStringLiteral("El valor «%1» del dato %2 contiene un carácter de control que un documento "
                                       "XML no puede llevar. Corrija ese valor en las tablas de Horavent.")
                            .arg(visible(value), QLatin1String(name)));
    }
    xml::Node dato = newElement(parent->doc, "dato");
    setProperty(dato, "nombre_dato", name);
    if (!value.isEmpty()) {
        const QByteArray utf8 = value.toUtf8();
        xmlAddChild(dato, newText(parent->doc, utf8.constData(), int(utf8.size())));
    }
    xmlAddChild(parent, dato);
}

void correctRegularCounts(const xml::Document &document)
{
    const std::vector<xml::Node> teacherGroups = document.select(
        QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"HORARIOS_REGULARES\"]/grupo_datos"));
    for (xml::Node group : teacherGroups)
        xml::setAttributeAt(group, 1, QString::number(xml::childNodeCount(group) - 2));
}

} // namespace timetable
