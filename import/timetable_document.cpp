#include "import/timetable_document.h"

#include "common/user_error.h"

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
{
    m_writer.startElement("SERVICIO");
    m_writer.attribute("modulo", "HORARIOS");
    m_writer.attribute("tipo", "I");
    m_writer.attribute("autor", "HORAVENT");
    m_writer.attribute("fecha", asLibxmlText(fecha));
    m_writer.startElement("BLOQUE_DATOS");
}

void TimetableDocument::startGroup(const std::string &seq, std::optional<int> registros)
{
    m_writer.startElement("grupo_datos");
    m_writer.attribute("seq", seq);
    if (registros)
        m_writer.attribute("registros", std::to_string(*registros));
}

void TimetableDocument::endGroup()
{
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
}

void TimetableDocument::finish()
{
    m_writer.commit();
}

std::string TimetableDocument::numbered(const char *prefix, int number)
{
    return prefix + std::to_string(number);
}
