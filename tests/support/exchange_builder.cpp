#include "support/exchange_builder.h"
#include "support/xml_builders.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QStringEncoder>

QString xmlEscape(const QString &text)
{
    QString out;
    for (QChar c : text) {
        switch (c.unicode()) {
        case '&':
            out += QStringLiteral("&amp;");
            break;
        case '<':
            out += QStringLiteral("&lt;");
            break;
        case '>':
            out += QStringLiteral("&gt;");
            break;
        case '"':
            out += QStringLiteral("&quot;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

namespace {
QString dato(const QString &name, const QString &value)
{
    return QStringLiteral("<dato nombre_dato=\"%1\">%2</dato>").arg(xmlEscape(name), xmlEscape(value));
}
} // namespace

void ExchangeBuilder::closeGroup()
{
    if (m_open) {
        m_body += m_pending + QStringLiteral("</grupo_datos>\n");
        m_pending.clear();
        m_open = false;
    }
}

ExchangeBuilder &ExchangeBuilder::top(const QString &seq, const std::vector<QString> &values)
{
    closeGroup();
    m_pending = QStringLiteral("<grupo_datos seq=\"%1\">").arg(xmlEscape(seq));
    for (size_t i = 0; i < values.size(); ++i)
        m_pending += dato(QStringLiteral("V%1").arg(i), values[i]);
    m_open = true;
    return *this;
}

ExchangeBuilder &ExchangeBuilder::group(const QString &seq)
{
    return top(seq);
}

ExchangeBuilder &ExchangeBuilder::record(const std::vector<QString> &values)
{
    Named named;
    for (size_t i = 0; i < values.size(); ++i)
        named.emplace_back(QStringLiteral("V%1").arg(i), values[i]);
    return this->named(named);
}

ExchangeBuilder &ExchangeBuilder::named(const Named &values)
{
    QString inner;
    for (const auto &[name, value] : values)
        inner += dato(name, value);
    return rawRecord(inner);
}

ExchangeBuilder &ExchangeBuilder::rawRecord(const QString &innerXml)
{
    if (!m_open)
        group(QStringLiteral("SIN_NOMBRE"));
    m_pending += QStringLiteral("\n  <grupo_datos>") + innerXml + QStringLiteral("</grupo_datos>");
    return *this;
}

ExchangeBuilder &ExchangeBuilder::subject(const QString &courseKey, const QString &name, const QString &id)
{
    return named({{QStringLiteral("X_OFERTAMATRIG"), courseKey}, {QStringLiteral("D_MATERIAC"), name},
        {QStringLiteral("X_MATERIAOMG"), id}});
}

ExchangeBuilder &ExchangeBuilder::raw(const QString &xmlInsideBloque)
{
    closeGroup();
    m_body += xmlInsideBloque;
    return *this;
}

QByteArray ExchangeBuilder::bytes(const char *encoding) const
{
    ExchangeBuilder copy = *this;
    copy.closeGroup();
    const QString text = QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>\n<SERVICIO>\n<BLOQUE_DATOS>\n")
                             .arg(QString::fromLatin1(encoding))
        + copy.m_body + QStringLiteral("</BLOQUE_DATOS>\n</SERVICIO>\n");
    const QString lower = QString::fromLatin1(encoding).toLower();
    if (lower == QLatin1String("iso-8859-1") || lower == QLatin1String("latin1"))
        return text.toLatin1();
    return text.toUtf8();
}

QString ExchangeBuilder::writeTo(const QString &dir, const QString &fileName, const char *encoding) const
{
    const QString path = QDir(dir).filePath(fileName);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes(encoding));
    return path;
}

ExchangeDocument ExchangeBuilder::document() const
{
    return ExchangeDocument::fromDocument(xml::loadBytes(bytes("UTF-8"), QStringLiteral("prueba.xml")));
}
