// The start tag worked out without serialising: the same characters as libxml2's
// serialisation, so the nombre_dato test reads the same text either way.
#include "common/exchange_document.h"
#include "common/xml_start_tag.h"
#include "support/xml_builders.h"

#include <QStringList>

#include <gtest/gtest.h>

namespace {

enum class Declaration { Latin1, Utf8, None };

// A document whose only record holds the markup as its datos.
ExchangeDocument documentWith(
    const QString &datos, Declaration declaration, const QString &rootAttributes = {}, const QString &doctype = {})
{
    const QString body = doctype + QStringLiteral("<SERVICIO") + rootAttributes
        + QStringLiteral("><BLOQUE_DATOS><grupo_datos seq=\"G\"><grupo_datos seq=\"ID_1\">") + datos
        + QStringLiteral("</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>");
    QByteArray bytes;
    switch (declaration) {
    case Declaration::Latin1:
        bytes = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n" + body.toLatin1();
        break;
    case Declaration::Utf8:
        bytes = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + body.toUtf8();
        break;
    case Declaration::None:
        bytes = body.toUtf8();
        break;
    }
    return ExchangeDocument::fromDocument(xml::loadBytes(bytes, QStringLiteral("prueba.xml")));
}

struct Case {
    const char *what;
    QString datos;
    Declaration declaration;
    QString rootAttributes;
    QString doctype;
    bool worksItOut; // false: only libxml2's serialisation can say
};

Case plainCase(const char *what, const QString &datos, Declaration declaration = Declaration::Latin1)
{
    return {what, datos, declaration, QString(), QString(), true};
}

TEST(XmlStartTag, IsExactlyHowTheSerialisationBegins)
{
    const QString named = QStringLiteral("<dato nombre_dato=\"X_MATERIAOMG\">212306</dato>");
    const std::vector<Case> cases = {
        plainCase("plain", named),
        plainCase("escaped characters",
            QStringLiteral("<dato nombre_dato=\"a&amp;b&lt;c&gt;d&quot;e'f&#10;g&#9;h&#13;i\">v</dato>")),
        plainCase(
            "single quotes and a literal tab, read as a space", QStringLiteral("<dato nombre_dato='x\"y\tz'>v</dato>")),
        plainCase("accents, Latin-1 file", QStringLiteral("<dato nombre_dato=\"Año ñ &#8364; &#x1F600;\">á</dato>")),
        plainCase("accents, UTF-8 file", QStringLiteral("<dato nombre_dato=\"Año ñ € &#x1F600;\">á</dato>"),
            Declaration::Utf8),
        plainCase("accents, no declaration", QStringLiteral("<dato nombre_dato=\"Año ñ € &#x1F600;\">á</dato>"),
            Declaration::None),
        plainCase("no attributes", QStringLiteral("<dato>212306</dato>")),
        plainCase("empty element", QStringLiteral("<dato nombre_dato=\"D_MATERIAC\"/>")),
        plainCase("empty element written with an end tag", QStringLiteral("<dato nombre_dato=\"D_MATERIAC\"></dato>")),
        plainCase("empty value", QStringLiteral("<dato nombre_dato=\"\">x</dato>")),
        plainCase(
            "several attributes", QStringLiteral("<dato otro=\"1\" nombre_dato=\"D_MATERIAC\" b=''>Física</dato>")),
        plainCase("element content", QStringLiteral("<dato nombre_dato=\"X\"><b c=\"1\"/>t</dato>")),
        plainCase("xml:lang", QStringLiteral("<dato xml:lang=\"es\" nombre_dato=\"X_MATERIAOMG\">1</dato>")),
        {"prefixes declared above", QStringLiteral("<p:dato p:nombre_dato=\"X_MATERIAOMG\" q=\"2\">1</p:dato>"),
            Declaration::Latin1, QStringLiteral(" xmlns:p=\"urn:p\""), QString(), true},
        {"default namespace declared above", named, Declaration::Latin1, QStringLiteral(" xmlns=\"urn:d\""), QString(),
            true},
        {"namespace declared on the dato", QStringLiteral("<dato xmlns:p=\"urn:p\" p:nombre_dato=\"X\">1</dato>"),
            Declaration::Latin1, QString(), QString(), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const ExchangeDocument doc = documentWith(c.datos, c.declaration, c.rootAttributes, c.doctype);
        const std::vector<ExchangeRecord> records = doc.records(QStringLiteral("G"));
        ASSERT_EQ(records.size(), 1u);
        const ExchangeRecord &record = records.front();
        ASSERT_EQ(record.count(), 1);
        const xml::Node dato = xml::childElements(record.node(), "dato").front();
        const QString whole = xml::serialised(dato);
        std::string utf8;
        const QString start = xml::serialisedStartTagUtf8(dato, utf8) ? QString::fromStdString(utf8) : QString();
        EXPECT_EQ(!start.isNull(), c.worksItOut) << start.toStdString();
        if (!start.isNull()) {
            EXPECT_TRUE(whole.startsWith(start)) << start.toStdString() << " / " << whole.toStdString();
            if (!xml::firstChild(dato)) {
                EXPECT_EQ(start, whole);
            }
        }
        // Every slice the record gives is the slice of the whole serialised value.
        const QString value = record.serialisedValue(0);
        for (int from = 0; from <= value.size() + 1; ++from) {
            for (int length = 0; length <= value.size() + 1 - from; ++length)
                ASSERT_EQ(record.serialisedSlice(0, from, length), value.mid(from, length)) << from << "," << length;
        }
    }
}

TEST(XmlStartTag, TheNombreDatoTestGivesTheSameAnswerWithoutSerialising)
{
    const ExchangeDocument doc = documentWith(QStringLiteral("<dato nombre_dato=\"X_MATERIAOMG\">1</dato>"
                                                             "<dato nombre_dato=\"D_MATERIA\">Física</dato>"
                                                             "<dato otro=\"1\" nombre_dato=\"D_MATERIAC\">x</dato>"
                                                             "<dato nombre_dato=\"X_MATERIAOM\"/>"),
        Declaration::Latin1);
    const ExchangeRecord record = doc.records(QStringLiteral("G")).front();
    const QStringList names = {QStringLiteral("X_MATERIAOMG"), QStringLiteral("D_MATERIAC"),
        QStringLiteral("D_MATERIA\">F"), QStringLiteral("X_MATERIAOM\"/>"), QString()};
    for (int position = 0; position <= record.count(); ++position) {
        for (const QString &name : names) {
            EXPECT_EQ(
                serialisedNameIs(record, position, name), serialisedNameIs(record.serialisedValue(position), name))
                << position << " " << name.toStdString();
        }
    }
    EXPECT_TRUE(serialisedNameIs(record, 0, QStringLiteral("X_MATERIAOMG")));
    EXPECT_TRUE(serialisedNameIs(record, 1, QStringLiteral("D_MATERIA\">F"))) << "reads on into the value";
    EXPECT_FALSE(serialisedNameIs(record, 2, QStringLiteral("D_MATERIAC")));
}

} // namespace
