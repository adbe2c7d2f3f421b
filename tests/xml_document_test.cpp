// The XML layer and the exchange document reading pattern.
#include "common/exchange_document.h"
#include "common/user_error.h"
#include "support/exchange_builder.h"
#include "support/xml_builders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message();
    }
    return QString();
}

} // namespace

TEST(ExchangeDocument, ReadsLatin1ValuesByPositionTrimmingOnlySpaces)
{
    QTemporaryDir dir;
    const QString path
        = ExchangeBuilder()
              .group(QStringLiteral("MATERIAS"))
              .record({QStringLiteral("  1001 "), QStringLiteral("Educación Física"), QStringLiteral("\t")})
              .record({QStringLiteral("solo")})
              .writeTo(dir.path(), QStringLiteral("seneca.xml"));
    const ExchangeDocument doc = ExchangeDocument::load(path);
    const auto records = doc.records(QStringLiteral("MATERIAS"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].count(), 3);
    EXPECT_EQ(records[0].value(0), QStringLiteral("1001"));
    EXPECT_EQ(records[0].value(1), QStringLiteral("Educación Física"));
    EXPECT_EQ(records[0].value(2), QStringLiteral("\t"));
    EXPECT_EQ(records[1].count(), 1);
    EXPECT_EQ(records[1].value(5), QString()) << "a missing position reads as the empty text";
}

TEST(ExchangeDocument, MatchesGroupNamesExactlyAndJoinsGroupsOfOneName)
{
    const ExchangeDocument doc = ExchangeBuilder()
                                     .group(QStringLiteral("UNIDADES"))
                                     .record({QStringLiteral("a"), QStringLiteral("1")})
                                     .group(QStringLiteral("unidades"))
                                     .record({QStringLiteral("b"), QStringLiteral("2")})
                                     .group(QStringLiteral("UNIDADES"))
                                     .record({QStringLiteral("c"), QStringLiteral("3")})
                                     .document();
    const auto records = doc.records(QStringLiteral("UNIDADES"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].value(0), QStringLiteral("a"));
    EXPECT_EQ(records[1].value(0), QStringLiteral("c"));
    EXPECT_TRUE(doc.records(QStringLiteral("NADA")).empty());
}

TEST(ExchangeDocument, OnlyDatoChildrenTakeAPosition)
{
    const ExchangeDocument doc
        = ExchangeBuilder()
              .group(QStringLiteral("G"))
              .rawRecord(QStringLiteral("<dato nombre_dato=\"A\">1</dato><grupo_datos seq=\"x\"/>"
                                        "<!-- nota --><dato nombre_dato=\"B\">2</dato>"))
              .document();
    const auto records = doc.records(QStringLiteral("G"));
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].count(), 2);
    EXPECT_EQ(records[0].value(1), QStringLiteral("2"));
}

TEST(ExchangeDocument, SerialisedDatoCarriesItsFieldNameFromCharacterTwenty)
{
    const ExchangeDocument doc
        = ExchangeBuilder()
              .group(QStringLiteral("MATERIAS"))
              .rawRecord(QStringLiteral("<dato nombre_dato=\"X_OFERTAMATRIG\">1</dato>"
                                        "<dato nombre_dato=\"X_MATERIAOMG\">212306</dato>"
                                        "<dato otro=\"1\" nombre_dato=\"D_MATERIAC\">Física</dato>"))
              .document();
    const ExchangeRecord record = doc.records(QStringLiteral("MATERIAS")).front();
    EXPECT_EQ(record.serialisedValue(1), QStringLiteral("<dato nombre_dato=\"X_MATERIAOMG\">212306</dato>"));
    EXPECT_TRUE(serialisedNameIs(record.serialisedValue(1), QStringLiteral("X_MATERIAOMG")));
    EXPECT_FALSE(serialisedNameIs(record.serialisedValue(2), QStringLiteral("D_MATERIAC")))
        << "another attribute first does not meet the test";
}

TEST(XmlDocument, ADeclaredEntityIsRefusedAndAnExternalOneNeverRead)
{
    QTemporaryDir dir;
    writeFile(dir, QStringLiteral("secreto.txt"), "SECRETO");
    const QString path = writeFile(dir, QStringLiteral("x.xml"),
        "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY e SYSTEM \"secreto.txt\">]>\n"
        "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"G\"><grupo_datos>"
        "<dato nombre_dato=\"A\">&e;</dato><dato nombre_dato=\"B\">x</dato>"
        "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>");
    const QString message = messageOf([&] { ExchangeDocument::load(path); });
    EXPECT_TRUE(message.contains(QStringLiteral("declara entidades XML (línea 2)"))) << message.toStdString();
    EXPECT_FALSE(message.contains(QStringLiteral("SECRETO")));
}

TEST(XmlDocument, ReportsFilesThatAreNotExchangeDocumentsNamingFileAndLine)
{
    QTemporaryDir dir;
    const QString broken
        = writeFile(dir, QStringLiteral("roto.xml"), "<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos>\n</SERVICIO>");
    QString message = messageOf([&] { ExchangeDocument::load(broken); });
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(broken))) << message.toStdString();
    EXPECT_TRUE(message.contains(QStringLiteral("línea 4"))) << message.toStdString();

    const QString wrongShape = writeFile(dir, QStringLiteral("otro.xml"), "<?xml version=\"1.0\"?><RAIZ/>");
    message = messageOf([&] { ExchangeDocument::load(wrongShape); });
    EXPECT_TRUE(message.contains(QStringLiteral("BLOQUE_DATOS"))) << message.toStdString();

    const QString empty = writeFile(dir, QStringLiteral("vacio.xml"), "");
    EXPECT_FALSE(messageOf([&] { ExchangeDocument::load(empty); }).isEmpty());
    EXPECT_FALSE(messageOf([&] { ExchangeDocument::load(dir.filePath(QStringLiteral("no.xml"))); }).isEmpty());
}

TEST(XmlDocument, SaysWhatIsWrongWithAFileInSpanishWithoutTheParsersEnglish)
{
    QTemporaryDir dir;
    const struct {
        const char *content;
        const char *reason;
    } cases[] = {
        {"", "el archivo está vacío"},
        {"<SERVICIO>\n<BLOQUE_DATOS>\n</SERVICIO>", "una etiqueta de cierre no corresponde"},
        {"<SERVICIO><BLOQUE_DATOS>", "no se cierra antes del final"},
        {"<SERVICIO a=\"1\" a=\"2\"/>", "repite un atributo"},
        {"<SERVICIO>&nbsp;</SERVICIO>", "carácter «&»"},
        {"texto suelto", "no contiene XML"},
    };
    for (const auto &c : cases) {
        const QString path = writeFile(dir, QStringLiteral("x.xml"), c.content);
        const QString message = messageOf([&] { ExchangeDocument::load(path); });
        EXPECT_TRUE(message.contains(QString::fromUtf8(c.reason))) << c.content << " -> " << message.toStdString();
        for (const char *english : {"expected", "Premature", "mismatch", "Extra content", "Document is empty"})
            EXPECT_FALSE(message.contains(QLatin1String(english), Qt::CaseInsensitive)) << message.toStdString();
    }
}

TEST(XmlDocument, SavesInTheDeclaredEncodingKeepingLeafWhitespace)
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, QStringLiteral("in.xml"),
        QStringLiteral("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>\n  "
                       "<BLOQUE_DATOS>\n    <dato nombre_dato=\"A\"> </dato>\n    "
                       "<dato nombre_dato=\"B\">Año</dato>\n  </BLOQUE_DATOS>\n</SERVICIO>\n")
            .toLatin1());
    xml::Document doc = xml::Document::load(path);
    xml::Node bloque = doc.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS")).front();
    EXPECT_EQ(xml::childNodeCount(bloque), 2) << "whitespace between elements does not become nodes";
    const QString out = dir.filePath(QStringLiteral("out.xml"));
    xml::save(doc, out);

    QFile file(out);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>")) << bytes.constData();
    EXPECT_TRUE(bytes.contains(QStringLiteral("A\u00F1o").toLatin1()));
    EXPECT_TRUE(bytes.contains("<dato nombre_dato=\"A\"> </dato>"));
    EXPECT_EQ(bytes, xml::toBytes(doc)) << "the file holds exactly the serialised document";

    xml::Document again = xml::Document::load(out);
    EXPECT_EQ(xml::text(again.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS/dato")).front()), QStringLiteral(" "));
}

TEST(XmlDocument, BuildsElementsWithAttributesInTheOrderSet)
{
    xml::Document doc;
    xml::Node root = xml::createElement(doc, "SERVICIO");
    xml::replaceRoot(doc, root);
    xml::setAttribute(root, "modulo", QStringLiteral("HORARIOS"));
    xml::setAttribute(root, "registros", QStringLiteral("0"));
    xml::setAttribute(root, "tipo", QStringLiteral("I"));
    xml::setAttributeAt(root, 1, QStringLiteral("7"));
    xml::Node dato = xml::createElement(doc, "dato");
    xml::setAttribute(dato, "nombre_dato", QStringLiteral("C_ANNO"));
    xml::setText(dato, QStringLiteral("a<b & c"));
    xml::appendChild(root, dato);
    EXPECT_EQ(xml::serialised(root),
        QStringLiteral("<SERVICIO modulo=\"HORARIOS\" registros=\"7\" tipo=\"I\">"
                       "<dato nombre_dato=\"C_ANNO\">a&lt;b &amp; c</dato></SERVICIO>"));
}
