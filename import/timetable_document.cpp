#include "import/timetable_document.h"

#include "common/clipper.h"
#include "common/user_error.h"
#include "import/timetable_names.h"

#include <algorithm>

namespace {

// XML 1.0 has no form for most control characters, so a value holding one would
// give a document nobody can read back. Such a value stops the run instead.
bool isXmlText(const QString &value)
{
    for (qsizetype i = 0; i < value.size(); ++i) {
        const char16_t c = value.at(i).unicode();
        if (c >= 0x20 && c < 0xD800)
            continue;
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

// The fecha as libxml2 would have held it: in UTF-8, up to a null character.
QString asLibxmlText(const QString &value)
{
    return QString::fromUtf8(value.toUtf8().constData());
}

} // namespace

TimetableDocument::TimetableDocument(const QString &path, const SenecaFrame &seneca, const QString &fecha)
    : m_writer(path, seneca.document(), seneca.rootPlaceholder())
    , m_path(path)
{
    m_writer.startElement("SERVICIO");
    m_writer.attribute("modulo", timetable_names::module);
    m_writer.attribute("tipo", "I");
    m_writer.attribute("autor", "HORAVENT");
    m_writer.attribute("fecha", asLibxmlText(fecha));
    m_writer.startElement("BLOQUE_DATOS");
}

void TimetableDocument::startGroup(const std::string &seq, std::optional<int> registros)
{
    if (m_builder)
        m_builder->startGroup(
            QString::fromLatin1(seq), registros ? QString::number(*registros) : QString(), m_writer.lineOfNextByte());
    m_writer.startElement("grupo_datos");
    m_writer.attribute("seq", seq);
    if (registros)
        m_writer.attribute("registros", std::to_string(*registros));
}

void TimetableDocument::endGroup()
{
    if (m_builder)
        m_builder->endGroup();
    m_writer.endElement();
}

void TimetableDocument::dato(std::string_view name, const QString &value)
{
    if (!isXmlText(value)) {
        throw UserError(QStringLiteral("El valor «%1» del dato %2 contiene un carácter de control que un documento "
                                       "XML no puede llevar. Corrija ese valor en las tablas de Horavent.")
                            .arg(visible(value), QLatin1String(name.data(), qsizetype(name.size()))));
    }
    m_writer.element("dato", "nombre_dato", name, value);
    if (m_builder)
        keepDato(name, value);
}

void TimetableDocument::finish(const std::function<void()> &beforeReplacing)
{
    m_writer.commit(beforeReplacing);
    if (m_content && declaresLatin1(m_content->declaredEncoding)) {
        m_content->controlBytes = m_writer.highControlBytes();
        m_content->firstControlByteLine = m_writer.firstHighControlByteLine();
    }
}

void TimetableDocument::keepContentIn(TimetableContent &content)
{
    m_content = &content;
    m_builder = std::make_unique<TimetableContentBuilder>(content);
    content.path = m_path;
    content.declaredEncoding = QString::fromStdString(m_writer.encoding());
    content.hasRoot = true;
}

void TimetableDocument::keepDato(std::string_view name, const QString &value)
{
    TimetableDatos *datos = m_builder->datos();
    if (!datos)
        return;
    auto known
        = std::find_if(m_names.begin(), m_names.end(), [name](const KeptName &kept) { return kept.bytes == name; });
    if (known == m_names.end()) {
        const QString text = QString::fromLatin1(name.data(), qsizetype(name.size()));
        known = m_names.insert(m_names.end(), {std::string(name), text, timetableFieldOf(text)});
    }
    // The reader trims the spaces around each value; most have none.
    const bool padded = !value.isEmpty() && (value.front() == QLatin1Char(' ') || value.back() == QLatin1Char(' '));
    datos->add({known->text, padded ? clipper::AllTrim(value) : value}, known->field);
}

std::string TimetableDocument::numbered(const char *prefix, int number)
{
    return prefix + std::to_string(number);
}
