#include "tools/exchange_writer.h"

#include "common/user_error.h"

#include <QDir>

namespace {
constexpr std::size_t kFlushSize = 1 << 20;
}

ExchangeWriter::ExchangeWriter(const QString &path, const QString &modulo, const QString &autor, const QString &fecha)
    : m_path(path)
{
    m_file = std::fopen(QFile::encodeName(path).constData(), "wb");
    if (!m_file)
        throw UserError(QStringLiteral("No se pudo escribir el archivo %1.").arg(QDir::toNativeSeparators(path)));
    m_buffer.reserve(kFlushSize + 4096);
    m_buffer += "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO modulo=\"";
    appendEscaped(modulo);
    m_buffer += "\" tipo=\"E\" autor=\"";
    appendEscaped(autor);
    m_buffer += "\" fecha=\"";
    appendEscaped(fecha);
    m_buffer += "\">\n  <BLOQUE_DATOS>\n";
    m_depth = 2;
}

ExchangeWriter::~ExchangeWriter()
{
    if (m_file)
        std::fclose(m_file);
}

void ExchangeWriter::indent()
{
    m_buffer.append(std::size_t(2 * m_depth), ' ');
}

void ExchangeWriter::appendEscaped(const QString &text)
{
    // Latin-1 on disk; a character outside it cannot occur in generated names and
    // would be written as '?'.
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        switch (u) {
        case '&':
            m_buffer += "&amp;";
            break;
        case '<':
            m_buffer += "&lt;";
            break;
        case '>':
            m_buffer += "&gt;";
            break;
        case '"':
            m_buffer += "&quot;";
            break;
        default:
            m_buffer += u <= 0xFF ? char(u) : '?';
        }
    }
}

void ExchangeWriter::beginGroup(const QString &seq, int registros)
{
    indent();
    m_buffer += "<grupo_datos seq=\"";
    appendEscaped(seq);
    m_buffer += '"';
    if (registros >= 0) {
        m_buffer += " registros=\"";
        m_buffer += std::to_string(registros);
        m_buffer += '"';
    }
    m_buffer += ">\n";
    ++m_depth;
}

void ExchangeWriter::endGroup()
{
    --m_depth;
    indent();
    m_buffer += "</grupo_datos>\n";
    flushIfFull();
}

void ExchangeWriter::dato(const char *nombreDato, const QString &value)
{
    indent();
    m_buffer += "<dato nombre_dato=\"";
    m_buffer += nombreDato;
    m_buffer += "\">";
    appendEscaped(value);
    m_buffer += "</dato>\n";
}

void ExchangeWriter::flushIfFull()
{
    if (m_buffer.size() < kFlushSize)
        return;
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
}

void ExchangeWriter::finish()
{
    m_buffer += "  </BLOQUE_DATOS>\n</SERVICIO>\n";
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        m_failed = true;
    m_buffer.clear();
    if (std::fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;
    if (m_failed)
        throw UserError(
            QStringLiteral("No se pudo escribir completo el archivo %1.").arg(QDir::toNativeSeparators(m_path)));
}
