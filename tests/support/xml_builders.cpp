#include "support/xml_builders.h"

#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QTemporaryDir>

#include <libxml/tree.h>
#include <libxml/xmlsave.h>

namespace xml {
namespace {

const xmlChar *X(const char *s)
{
    return reinterpret_cast<const xmlChar *>(s);
}

const char *encodingOf(const Document &doc)
{
    return doc.raw()->encoding ? reinterpret_cast<const char *>(doc.raw()->encoding) : "UTF-8";
}

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

Document loadBytes(const QByteArray &bytes, const QString &fileName)
{
    const QTemporaryDir dir;
    QFile file(dir.filePath(fileName));
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw UserError(QStringLiteral("No se pudo escribir %1.").arg(file.fileName()));
    file.close();
    return Document::load(file.fileName());
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

void setText(Node element, const QString &value)
{
    xmlNodeSetContent(element, nullptr);
    if (value.isEmpty())
        return;
    const QByteArray utf8 = value.toUtf8();
    xmlAddChild(element, xmlNewDocTextLen(element->doc, X(utf8.constData()), int(utf8.size())));
}

void replaceRoot(Document &doc, Node newRoot)
{
    xmlNodePtr old = xmlDocSetRootElement(doc.raw(), newRoot);
    if (old) {
        xmlUnlinkNode(old);
        xmlFreeNode(old);
    }
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

QByteArray toBytes(const Document &doc)
{
    xmlChar *buffer = nullptr;
    int size = 0;
    xmlDocDumpFormatMemoryEnc(doc.raw(), &buffer, &size, encodingOf(doc), 0);
    if (!buffer)
        throw UserError(QStringLiteral("No se pudo escribir el documento XML en la codificación %1.")
                            .arg(QString::fromLatin1(encodingOf(doc))));
    QByteArray bytes(reinterpret_cast<const char *>(buffer), size);
    xmlFree(buffer);
    return bytes;
}

void save(const Document &doc, const QString &path)
{
    // Streamed straight into the temporary file that replaces the target when complete.
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        xmlSaveCtxtPtr context = xmlSaveToIO(writeToSaveFile, keepOpen, &file, encodingOf(doc), 0);
        written = context && xmlSaveDoc(context, doc.raw()) >= 0;
        if (context)
            written = xmlSaveClose(context) >= 0 && written;
        written = written && file.commit();
    }
    if (!written)
        throw UserError(QStringLiteral("No se pudo escribir el archivo %1 (%2).")
                            .arg(QDir::toNativeSeparators(path), disk::fileReason(file, true)));
}

} // namespace xml
