#include "common/exchange_document.h"

#include "common/clipper.h"
#include "common/user_error.h"
#include "common/xml_start_tag.h"

#include <QDir>

#include <algorithm>
#include <string>

ExchangeRecord::ExchangeRecord(xml::Node node)
    : m_node(node)
    , m_datos(xml::childElements(node, "dato"))
{
}

ExchangeRecord::ExchangeRecord(const ExchangeValuesRecord &values, bool documentHasEncoding)
    : m_values(&values)
    , m_documentHasEncoding(documentHasEncoding)
{
}

QString ExchangeRecord::name(int position) const
{
    if (m_values)
        return m_values->name(position);
    return has(position) ? xml::attribute(m_datos[size_t(position)], "nombre_dato") : QString();
}

bool ExchangeRecord::startTagUtf8(int position, std::string &out) const
{
    if (!m_values)
        return xml::serialisedStartTagUtf8(m_datos[size_t(position)], out);
    const ExchangeValuesRecord::Dato &dato = m_values->dato(position);
    return dato.plainMarkup && xml::plainStartTagUtf8(dato.name, !dato.text.isEmpty(), m_documentHasEncoding, out);
}

QString ExchangeRecord::value(int position) const
{
    return clipper::AllTrim(rawValue(position));
}

QString ExchangeRecord::rawValue(int position) const
{
    if (m_values)
        return m_values->rawValue(position);
    return has(position) ? xml::text(m_datos[size_t(position)]) : QString();
}

QString ExchangeRecord::serialisedValue(int position) const
{
    if (!has(position))
        return QString();
    if (!m_values)
        return clipper::AllTrim(xml::serialised(m_datos[size_t(position)]));
    const ExchangeValuesRecord::Dato &dato = m_values->dato(position);
    return clipper::AllTrim(xml::plainSerialised(dato.name, dato.text, m_documentHasEncoding));
}

QString ExchangeRecord::serialisedSlice(int position, int from, int length) const
{
    if (!has(position))
        return QString();
    // The start tag is where serialisedValue() begins: markup starts with "<", so
    // trimming leaves its start as it is. (Not thread_local: mingw-w64 runs such
    // destructors on freed storage when a thread ends.)
    std::string start;
    if (startTagUtf8(position, start)) {
        const bool ascii
            = std::all_of(start.begin(), start.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
        if (ascii && from + length <= qsizetype(start.size()))
            return QString::fromLatin1(start.data() + from, length); // one character per byte
        if (!ascii) {
            const QString text = QString::fromUtf8(start.data(), qsizetype(start.size()));
            if (from + length <= text.size())
                return text.mid(from, length);
        }
    }
    return serialisedValue(position).mid(from, length);
}

bool ExchangeRecord::serialisedSliceIs(int position, int from, const QString &text) const
{
    // An ASCII start tag is compared byte by byte, without a text of it.
    std::string start;
    if (has(position) && startTagUtf8(position, start) && from + text.size() <= qsizetype(start.size())
        && std::all_of(start.begin(), start.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QLatin1StringView(start.data() + from, text.size()) == text;
    return serialisedSlice(position, from, int(text.size())) == text;
}

ExchangeDocument ExchangeDocument::load(const QString &path)
{
    return fromDocument(xml::Document::load(path));
}

ExchangeDocument ExchangeDocument::read(const QString &path)
{
    if (std::optional<ExchangeValues> values = ExchangeValues::readByStream(path, ExchangeValues::Markup::Needed)) {
        ExchangeDocument document{xml::Document()};
        document.m_values = std::make_unique<const ExchangeValues>(std::move(*values));
        return document;
    }
    return load(path);
}

ExchangeDocument ExchangeDocument::fromDocument(xml::Document doc)
{
    if (doc.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS")).empty()) {
        throw UserError(QStringLiteral("El archivo %1 no tiene la forma de un documento de Séneca o de Planificación: "
                                       "le falta el elemento SERVICIO con su BLOQUE_DATOS.")
                            .arg(QDir::toNativeSeparators(doc.sourcePath())));
    }
    return ExchangeDocument(std::move(doc));
}

QString ExchangeDocument::module() const
{
    if (m_values)
        return m_values->module();
    const xml::Node root = m_doc.root();
    return root ? xml::attribute(root, "modulo") : QString();
}

std::vector<xml::Node> ExchangeDocument::topLevelGroups() const
{
    if (m_values)
        return {};
    return m_doc.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos"));
}

std::vector<ExchangeRecord> ExchangeDocument::topLevelRecords() const
{
    std::vector<ExchangeRecord> out;
    if (m_values) {
        for (const ExchangeValuesGroup &group : m_values->groups())
            out.emplace_back(group.own, m_values->hasEncoding());
        return out;
    }
    for (xml::Node node : topLevelGroups())
        out.emplace_back(node);
    return out;
}

std::vector<xml::Node> ExchangeDocument::recordNodes(const QString &group) const
{
    std::vector<xml::Node> out;
    for (xml::Node top : topLevelGroups()) {
        if (xml::attribute(top, "seq") != group)
            continue;
        for (xml::Node record : xml::childElements(top, "grupo_datos"))
            out.push_back(record);
    }
    return out;
}

std::vector<ExchangeRecord> ExchangeDocument::records(const QString &group) const
{
    std::vector<ExchangeRecord> out;
    if (m_values) {
        for (const ExchangeValuesGroup &top : m_values->groups()) {
            if (top.seq != group)
                continue;
            for (const ExchangeValuesRecord &record : top.records)
                out.emplace_back(record, m_values->hasEncoding());
        }
        return out;
    }
    for (xml::Node node : recordNodes(group))
        out.emplace_back(node);
    return out;
}

namespace {
// Where the nombre_dato test starts reading (character 20, counting from 1).
constexpr int kSerialisedNameStart = 19;
} // namespace

bool serialisedNameIs(const QString &serialised, const QString &fieldName)
{
    return serialised.mid(kSerialisedNameStart, fieldName.size()) == fieldName;
}

bool serialisedNameIs(const ExchangeRecord &record, int position, const QString &fieldName)
{
    return record.serialisedSliceIs(position, kSerialisedNameStart, fieldName);
}
