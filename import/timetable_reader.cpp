// The streaming reader of timetable documents: libxml2's push parser with
// handlers that keep the sections, the teacher groups and the record groups with
// their datos, and nothing else.
#include "import/timetable_reader.h"

#include "common/byte_counts.h"
#include "common/clipper.h"
#include "common/disk_io.h"
#include "common/user_error.h"
#include "common/xml_document.h"
#include "common/xml_head.h"
#include "common/xml_parse_guard.h"
#include "import/timetable_content_builder.h"
#include "import/timetable_names.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>

#include <cstring>
#include <deque>
#include <memory>
#include <string>
#include <string_view>

namespace {

// The encoding the XML declaration names, from the document's first bytes.
QString declaredEncoding(const QByteArray &head)
{
    // A declaration after a byte order mark is not what this reader looks for.
    if (head.startsWith("\xEF\xBB\xBF") || head.startsWith("\xFF\xFE") || head.startsWith("\xFE\xFF"))
        return QString();
    return xml::declaredEncodingIn(head);
}

class Handlers {
public:
    Handlers(TimetableContent &content, xmlParserCtxtPtr context)
        : m_content(content)
        , m_groups(content)
        , m_context(context)
    {
    }

    static void install(xmlSAXHandler &handler)
    {
        std::memset(&handler, 0, sizeof handler);
        handler.initialized = XML_SAX2_MAGIC;
        handler.startElementNs = &Handlers::startElement;
        handler.endElementNs = &Handlers::endElement;
        handler.characters = &Handlers::characters;
        handler.cdataBlock = &Handlers::characters;
    }

private:
    enum class Role { Ignored, Root, Block, Group, Dato };

    static Handlers &of(void *context)
    {
        return *static_cast<Handlers *>(static_cast<xmlParserCtxtPtr>(context)->_private);
    }

    static QString attribute(int count, const xmlChar **attributes, const char *name)
    {
        for (int i = 0; i < count; ++i) {
            const xmlChar **attr = attributes + 5 * i;
            if (!attr[1] && std::strcmp(reinterpret_cast<const char *>(attr[0]), name) == 0) {
                const char *begin = reinterpret_cast<const char *>(attr[3]);
                return QString::fromUtf8(begin, reinterpret_cast<const char *>(attr[4]) - begin);
            }
        }
        return QString();
    }

    int line() const { return xmlSAX2GetLineNumber(m_context); }

    // Names repeat from record to record: each distinct name is made a QString,
    // and given its field, once. A document holds a score of them.
    struct Name {
        std::string bytes;
        QString text;
        TimetableField field = TimetableField::Count;
    };
    const Name &name(int count, const xmlChar **attributes)
    {
        const char *begin = "";
        const char *end = begin;
        for (int i = 0; i < count; ++i) {
            const xmlChar **attr = attributes + 5 * i;
            if (!attr[1] && std::strcmp(reinterpret_cast<const char *>(attr[0]), "nombre_dato") == 0) {
                begin = reinterpret_cast<const char *>(attr[3]);
                end = reinterpret_cast<const char *>(attr[4]);
                break;
            }
        }
        const std::string_view bytes(begin, size_t(end - begin));
        for (const Name &known : m_names) {
            if (known.bytes == bytes)
                return known;
        }
        Name &added = m_names.emplace_back();
        added.bytes.assign(bytes);
        added.text = QString::fromUtf8(begin, end - begin);
        added.field = timetableFieldOf(added.text);
        return added;
    }

    static void startElement(void *context, const xmlChar *localname, const xmlChar *, const xmlChar *, int,
        const xmlChar **, int attributeCount, int, const xmlChar **attributes)
    {
        Handlers &h = of(context);
        const char *name = reinterpret_cast<const char *>(localname);
        const bool isGroup = std::strcmp(name, "grupo_datos") == 0;
        const Role parent = h.m_roles.empty() ? Role::Ignored : h.m_roles.back();
        Role role = Role::Ignored;
        if (h.m_roles.empty()) {
            role = std::strcmp(name, "SERVICIO") == 0 ? Role::Root : Role::Ignored;
        } else if (parent == Role::Root && std::strcmp(name, "BLOQUE_DATOS") == 0) {
            role = Role::Block;
            h.m_content.hasRoot = true;
        } else if ((parent == Role::Block || parent == Role::Group) && isGroup) {
            role = Role::Group;
            h.m_groups.startGroup(attribute(attributeCount, attributes, "seq"),
                attribute(attributeCount, attributes, "registros"), h.line());
        } else if (std::strcmp(name, "dato") == 0 && parent == Role::Group && h.m_groups.datos()) {
            role = Role::Dato;
            const Name &name = h.name(attributeCount, attributes);
            h.m_groups.datos()->add({name.text, QString()}, name.field);
            h.m_text.clear();
        }
        h.m_roles.push_back(role);
    }

    static void endElement(void *context, const xmlChar *, const xmlChar *, const xmlChar *)
    {
        Handlers &h = of(context);
        if (h.m_roles.empty())
            return;
        if (h.m_roles.back() == Role::Dato)
            h.m_groups.datos()->datos.back().value = clipper::AllTrim(QString::fromUtf8(h.m_text));
        else if (h.m_roles.back() == Role::Group)
            h.m_groups.endGroup();
        h.m_roles.pop_back();
    }

    static void characters(void *context, const xmlChar *text, int length)
    {
        Handlers &h = of(context);
        if (h.m_roles.empty() || h.m_roles.back() != Role::Dato)
            return;
        if (h.m_text.size() + length > xml::ParseGuard::kLongestValue) {
            xml::ParseGuard::refuseValueTooLong(h.m_context);
            return;
        }
        h.m_text.append(reinterpret_cast<const char *>(text), length);
    }

    TimetableContent &m_content;
    TimetableContentBuilder m_groups;
    xmlParserCtxtPtr m_context;
    std::vector<Role> m_roles;
    QByteArray m_text;
    std::deque<Name> m_names; // stays where it is as it grows
};

} // namespace

bool declaresLatin1(const QString &encoding)
{
    const QString name = encoding.toUpper();
    return name == QLatin1String("ISO-8859-1") || name == QLatin1String("ISO_8859-1") || name == QLatin1String("LATIN1")
        || name == QLatin1String("LATIN-1") || name == QLatin1String("ISO8859-1");
}

TimetableContent TimetableReader::read(const QString &path)
{
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!QFileInfo(path).isFile())
        throw UserError(QStringLiteral("No existe el archivo %1.").arg(shown));
    if (!file.open(QIODevice::ReadOnly))
        throw UserError(QStringLiteral("No se puede leer el archivo %1.").arg(shown));

    TimetableContent content;
    content.path = path;
    QByteArray chunk = file.read(1 << 16);
    content.declaredEncoding = declaredEncoding(chunk.left(512));
    const bool latin1 = declaresLatin1(content.declaredEncoding);

    xmlSAXHandler handler;
    Handlers::install(handler);
    xmlParserCtxtPtr context
        = xmlCreatePushParserCtxt(&handler, nullptr, nullptr, 0, disk::pathForLibxml2(path).constData());
    if (!context)
        throw UserError(QStringLiteral("No hay memoria suficiente para leer %1.").arg(shown));
    // Freed last, after the guard has put back what it changed in it.
    const xml::ParserPtr owner(context);
    Handlers handlers(content, context);
    context->_private = &handlers;
    // Blank text between elements is no concern of the handlers.
    xmlCtxtUseOptions(context, xml::streamParseOptions());
    const xml::ParseGuard guard(context, path);

    long long lineBreaks = 0;
    while (true) {
        if (latin1) {
            const byte_counts::Counts counts = byte_counts::count(chunk.constData(), std::size_t(chunk.size()));
            if (counts.highControl > 0 && content.controlBytes == 0) {
                const char *first = std::find_if(chunk.cbegin(), chunk.cend(), byte_counts::isHighControl);
                content.firstControlByteLine = int(lineBreaks
                    + byte_counts::count(chunk.constData(), std::size_t(first - chunk.cbegin())).lineBreaks + 1);
            }
            content.controlBytes += int(counts.highControl);
            lineBreaks += counts.lineBreaks;
        }
        const bool last = chunk.isEmpty() || file.atEnd();
        xmlParseChunk(context, chunk.constData(), int(chunk.size()), last ? 1 : 0);
        if (last || context->disableSAX)
            break;
        chunk = file.read(1 << 16);
    }
    if (file.error() != QFileDevice::NoError)
        throw UserError(QStringLiteral("No se puede leer el archivo %1.").arg(shown));
    // A declaration in UTF-16 is not in the first bytes read as one-byte text.
    if (content.declaredEncoding.isEmpty() && context->encoding)
        content.declaredEncoding = QString::fromLatin1(reinterpret_cast<const char *>(context->encoding));
    // What the parse found wrong, in the guard's Spanish words.
    if (guard.failed()) {
        content.parseError = guard.reason();
        content.parseErrorLine = guard.line();
    } else if (!context->wellFormed) {
        content.parseError = QStringLiteral("su marcado XML no es correcto");
    }
    return content;
}
