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

QString ExchangeRecord::value(int position) const
{
    return clipper::AllTrim(rawValue(position));
}

QString ExchangeRecord::rawValue(int position) const
{
    return has(position) ? xml::text(m_datos[size_t(position)]) : QString();
}

QString ExchangeRecord::serialisedValue(int position) const
{
    return has(position) ? clipper::AllTrim(xml::serialised(m_datos[size_t(position)])) : QString();
}

QString ExchangeRecord::serialisedSlice(int position, int from, int length) const
{
    if (!has(position))
        return QString();
    // The start tag is where serialisedValue() begins: markup starts with "<", so
    // trimming leaves its start as it is.
    thread_local std::string start;
    if (xml::serialisedStartTagUtf8(m_datos[size_t(position)], start)) {
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
    thread_local std::string start;
    if (has(position) && xml::serialisedStartTagUtf8(m_datos[size_t(position)], start)
        && from + text.size() <= qsizetype(start.size())
        && std::all_of(start.begin(), start.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; }))
        return QLatin1StringView(start.data() + from, text.size()) == text;
    return serialisedSlice(position, from, int(text.size())) == text;
}

ExchangeDocument ExchangeDocument::load(const QString &path)
{
    return fromDocument(xml::Document::load(path));
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

std::vector<xml::Node> ExchangeDocument::topLevelGroups() const
{
    return m_doc.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos"));
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
