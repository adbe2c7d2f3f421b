// The values of an exchange document read in one streaming pass are the values
// its tree holds; where only the tree can say, the tree is built.
#include "common/exchange_document.h"
#include "common/exchange_values.h"
#include "common/user_error.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Failures show the values.
void PrintTo(const ExchangeValuesRecord &record, std::ostream *out)
{
    for (int i = 0; i < record.count(); ++i)
        *out << "[" << record.name(i).toStdString() << "=" << record.rawValue(i).toStdString() << "]";
}

namespace {

QByteArray latin1Document(const QString &insideBloque)
{
    return "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO modulo=\"PLANIFICACION\">\n  <BLOQUE_DATOS>\n"
        + insideBloque.toLatin1() + "\n  </BLOQUE_DATOS>\n</SERVICIO>\n";
}

struct Case {
    const char *what;
    QByteArray bytes;
    bool streamed; // false: the tree has to say
};

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

class ExchangeValuesReading : public ::testing::Test {
protected:
    QString write(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("planificacion%1.xml").arg(++files));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    void expectSameAsTree(const Case &c)
    {
        SCOPED_TRACE(c.what);
        const QString path = write(c.bytes);
        const ExchangeValues tree = ExchangeValues::fromDocument(ExchangeDocument::load(path));
        const std::optional<ExchangeValues> streamed = ExchangeValues::readByStream(path);
        EXPECT_EQ(streamed.has_value(), c.streamed);
        const ExchangeValues read = ExchangeValues::read(path);
        EXPECT_EQ(read.path(), path);
        ASSERT_EQ(read.groups().size(), tree.groups().size());
        for (size_t g = 0; g < tree.groups().size(); ++g) {
            const ExchangeValuesGroup &expected = tree.groups()[g];
            const ExchangeValuesGroup &got = read.groups()[g];
            EXPECT_EQ(got.seq, expected.seq) << g;
            EXPECT_EQ(got.seq.isNull(), expected.seq.isNull()) << g;
            EXPECT_EQ(got.own, expected.own) << g;
            EXPECT_EQ(got.records, expected.records) << g;
            // A dato without nombre_dato and one with an empty one are told apart as in the tree.
            const auto sameNulls = [](const ExchangeValuesRecord &a, const ExchangeValuesRecord &b) {
                for (int i = 0; i < a.count(); ++i)
                    EXPECT_EQ(a.name(i).isNull(), b.name(i).isNull()) << i;
            };
            sameNulls(got.own, expected.own);
            for (size_t r = 0; r < std::min(got.records.size(), expected.records.size()); ++r)
                sameNulls(got.records[r], expected.records[r]);
        }
    }

    QTemporaryDir dir;
    int files = 0;
};

const QString kTeacher = QStringLiteral("    <grupo_datos seq=\"PROFESOR_1\">\n"
                                        "      <dato nombre_dato=\"X_EMPLEADO\">200003</dato>\n"
                                        "      <dato nombre_dato=\"D_EMPLEADO\">de la Peña, Jesús</dato>\n"
                                        "      <grupo_datos seq=\"DETALLE_1\">\n"
                                        "        <dato nombre_dato=\"X_DETALLE\">101</dato>\n"
                                        "        <dato nombre_dato=\"T_SESIONES\">1111</dato>\n"
                                        "      </grupo_datos>\n"
                                        "      <grupo_datos seq=\"DETALLE_2\">\n"
                                        "        <dato nombre_dato=\"X_DETALLE\">102</dato>\n"
                                        "        <dato nombre_dato=\"T_SESIONES\"> 12 </dato>\n"
                                        "      </grupo_datos>\n"
                                        "    </grupo_datos>\n");

QString record(const QString &datos)
{
    return QStringLiteral("<grupo_datos seq=\"G\"><grupo_datos>") + datos
        + QStringLiteral("</grupo_datos></grupo_datos>");
}

TEST_F(ExchangeValuesReading, GivesTheTreesValuesOrLeavesTheFileToTheTree)
{
    const QString longText = QString(400, QLatin1Char(' ')) + QStringLiteral("ñ") + QString(350, QLatin1Char('x'))
        + QString(320, QLatin1Char(' '));
    const std::vector<Case> cases = {
        {"teachers and assignments", latin1Document(kTeacher + kTeacher), true},
        {"groups without seq, of one seq, and without records",
            latin1Document(QStringLiteral("<grupo_datos><dato>a</dato></grupo_datos><grupo_datos seq=\"X\"/>"
                                          "<grupo_datos seq=\"X\"><grupo_datos/><grupo_datos><dato/></grupo_datos>"
                                          "</grupo_datos><grupo_datos seq=\"\"><dato nombre_dato=\"\">b</dato>"
                                          "<grupo_datos><dato nombre_dato=\"\">1</dato><dato>2</dato></grupo_datos>"
                                          "<grupo_datos><dato>1</dato><dato nombre_dato=\"\">2</dato></grupo_datos>"
                                          "</grupo_datos>")),
            true},
        {"references in text and attributes",
            latin1Document(QStringLiteral("<grupo_datos seq=\"P&amp;Q&#38;R&lt;\"><grupo_datos>"
                                          "<dato nombre_dato=\"a&amp;b&#38;c&amp;#38;d&quot;\">x &amp; y &lt;z&gt; "
                                          "&#233;&#x20AC;&apos;&quot;</dato></grupo_datos></grupo_datos>")),
            true},
        {"whitespace in values",
            latin1Document(record(
                QStringLiteral("<dato>   </dato><dato>\n\t</dato><dato> a </dato><dato/><dato></dato>"
                               "<dato>\n  b\n  </dato><dato>&#32;</dato><dato>  &amp;</dato><dato>&#32;  </dato>"))),
            true},
        {"line breaks of a Windows file",
            QByteArray("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\r\n<SERVICIO>\r\n<BLOQUE_DATOS>\r\n"
                       "<grupo_datos seq=\"G\">\r\n<grupo_datos>\r\n<dato>a\r\nb</dato>\r\n<dato>\r\n</dato>\r\n"
                       "<dato>c\r</dato>\r\n</grupo_datos>\r\n</grupo_datos>\r\n</BLOQUE_DATOS>\r\n</SERVICIO>\r\n"),
            true},
        {"long texts beyond the parser's buffers",
            latin1Document(record(QStringLiteral("<dato>") + longText + QStringLiteral("</dato><dato>")
                + QString(700, QLatin1Char('\n')) + QStringLiteral("</dato>"))),
            true},
        {"comments and instructions between records",
            latin1Document(QStringLiteral("<!-- a --><grupo_datos seq=\"G\"><?pi x?><grupo_datos><!-- b -->"
                                          "<dato>1</dato><!-- c --><dato>2</dato></grupo_datos></grupo_datos>")),
            true},
        {"namespaces and prefixes",
            QByteArray("<?xml version=\"1.0\"?><x:SERVICIO xmlns:x=\"urn:x\" xmlns:p=\"urn:p\"><x:BLOQUE_DATOS>"
                       "<x:grupo_datos p:seq=\"NO\" seq=\"G\"><x:grupo_datos><x:dato p:nombre_dato=\"NO\" "
                       "nombre_dato=\"M\">v</x:dato><dato xmlns=\"urn:d\">w</dato></x:grupo_datos></x:grupo_datos>"
                       "</x:BLOQUE_DATOS></x:SERVICIO>"),
            true},
        {"several blocks and elements that are neither groups nor datos",
            latin1Document(QStringLiteral("<otro><grupo_datos seq=\"NO\"/></otro>")
                + record(QStringLiteral(
                    "<otro><dato>no</dato></otro><dato>1</dato><grupo_datos><dato>no</dato></grupo_datos>")))
                .replace("</BLOQUE_DATOS>",
                    "</BLOQUE_DATOS><BLOQUE_DATOS><grupo_datos seq=\"H\"><dato>2</dato>"
                    "</grupo_datos></BLOQUE_DATOS>"),
            true},
        {"UTF-8 without a declaration",
            QStringLiteral("<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"Ñ\"><dato nombre_dato=\"ó\">€</dato>"
                           "</grupo_datos></BLOQUE_DATOS></SERVICIO>")
                .toUtf8(),
            true},
        {"attribute values with tabs and line breaks",
            latin1Document(QStringLiteral("<grupo_datos seq=\"a\tb\nc\"><dato nombre_dato=\"d\te&#9;f\">1</dato>"
                                          "</grupo_datos>")),
            true},
        {"whitespace the tree drops before a carriage return",
            QByteArray("<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"G\"><grupo_datos><dato>  \r\n</dato>"
                       "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>"),
            false},
        {"whitespace before a lone carriage return",
            QByteArray("<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"G\"><dato>") + QByteArray(299, ' ')
                + QByteArray("\r </dato></grupo_datos></BLOQUE_DATOS></SERVICIO>"),
            false},
        {"a CDATA section in a value", latin1Document(record(QStringLiteral("<dato>  <![CDATA[x]]>  </dato>"))), false},
        {"a comment in a value", latin1Document(record(QStringLiteral("<dato> a <!-- b --> </dato>"))), false},
        {"markup in a value", latin1Document(record(QStringLiteral("<dato> <b>c</b> </dato>"))), false},
        {"an instruction in a value", latin1Document(record(QStringLiteral("<dato><?pi x?>1</dato>"))), false},
        {"xml:space", latin1Document(record(QStringLiteral("<dato xml:space=\"preserve\"> </dato>"))), false},
        {"a document type with an internal subset",
            QByteArray("<?xml version=\"1.0\"?><!DOCTYPE SERVICIO [<!ELEMENT dato (#PCDATA)>]><SERVICIO><BLOQUE_DATOS>"
                       "<grupo_datos seq=\"G\"><dato>&#101;nt</dato></grupo_datos></BLOQUE_DATOS></SERVICIO>"),
            false},
    };
    for (const Case &c : cases)
        expectSameAsTree(c);
}

TEST_F(ExchangeValuesReading, FilesThatAreNotExchangeDocumentsGiveTheTreesMessages)
{
    const QByteArray cases[] = {
        "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"G\"><dato>1</dato></grupo_datos>",
        "<SERVICIO><BLOQUE_DATOS><dato>&nada;</dato></BLOQUE_DATOS></SERVICIO>",
        "<OTRO><BLOQUE_DATOS/></OTRO>",
        "<SERVICIO><grupo_datos seq=\"G\"/></SERVICIO>",
        "",
    };
    for (const QByteArray &bytes : cases) {
        const QString path = write(bytes);
        const QString expected = messageOf([&] { ExchangeDocument::load(path); });
        EXPECT_NE(expected, QStringLiteral("(no error)")) << bytes.constData();
        EXPECT_EQ(messageOf([&] { ExchangeValues::read(path); }), expected) << bytes.constData();
    }
    const QString missing = dir.filePath(QStringLiteral("no-existe.xml"));
    EXPECT_EQ(messageOf([&] { ExchangeValues::read(missing); }), messageOf([&] { ExchangeDocument::load(missing); }));
}

TEST(ExchangeValuesRecord, ReadsPositionsTrimmedOrAsTheyStandAndMissingOnesAsEmpty)
{
    ExchangeValuesRecord record;
    record.datos().push_back({QStringLiteral("  a b\t "), QStringLiteral("N0")});
    record.datos().push_back({QStringLiteral("x"), QString()});
    EXPECT_EQ(record.count(), 2);
    EXPECT_EQ(record.value(0), QStringLiteral("a b\t"));
    EXPECT_EQ(record.rawValue(0), QStringLiteral("  a b\t "));
    EXPECT_EQ(record.name(0), QStringLiteral("N0"));
    EXPECT_TRUE(record.name(1).isNull());
    EXPECT_TRUE(record.value(2).isEmpty());
    EXPECT_TRUE(record.rawValue(-1).isEmpty());
    EXPECT_TRUE(record.name(5).isNull());
}

} // namespace

namespace {

// A record read without a tree answers every question as the record in the tree.
void expectSameRecord(const ExchangeRecord &read, const ExchangeRecord &tree)
{
    ASSERT_EQ(read.count(), tree.count());
    for (int position = -1; position <= tree.count(); ++position) {
        SCOPED_TRACE(position);
        EXPECT_EQ(read.rawValue(position), tree.rawValue(position));
        EXPECT_EQ(read.value(position), tree.value(position));
        EXPECT_EQ(read.name(position), tree.name(position));
        EXPECT_EQ(read.name(position).isNull(), tree.name(position).isNull());
        const QString serialised = tree.serialisedValue(position);
        EXPECT_EQ(read.serialisedValue(position), serialised);
        for (int from = 0; from <= serialised.size(); from += 3) {
            for (int length : {0, 1, 5, 12, 40}) {
                EXPECT_EQ(read.serialisedSlice(position, from, length), serialised.mid(from, length));
                EXPECT_TRUE(read.serialisedSliceIs(position, from, serialised.mid(from, length)));
            }
        }
        EXPECT_EQ(serialisedNameIs(read, position, QStringLiteral("X_MATERIAOMG")),
            serialisedNameIs(serialised, QStringLiteral("X_MATERIAOMG")));
    }
}

void expectSameDocument(const QString &path, bool withoutTree)
{
    const ExchangeDocument tree = ExchangeDocument::load(path);
    const ExchangeDocument read = ExchangeDocument::read(path);
    EXPECT_EQ(read.hasTree(), !withoutTree);
    EXPECT_EQ(read.path(), path);
    const std::vector<ExchangeRecord> readTops = read.topLevelRecords();
    const std::vector<ExchangeRecord> treeTops = tree.topLevelRecords();
    ASSERT_EQ(readTops.size(), treeTops.size());
    QStringList seqs;
    for (size_t i = 0; i < treeTops.size(); ++i) {
        expectSameRecord(readTops[i], treeTops[i]);
        seqs << xml::attribute(tree.topLevelGroups()[i], "seq");
    }
    seqs << QStringLiteral("NINGUNO");
    for (const QString &seq : seqs) {
        SCOPED_TRACE(seq.toStdString());
        const std::vector<ExchangeRecord> readRecords = read.records(seq);
        const std::vector<ExchangeRecord> treeRecords = tree.records(seq);
        ASSERT_EQ(readRecords.size(), treeRecords.size());
        for (size_t i = 0; i < treeRecords.size(); ++i)
            expectSameRecord(readRecords[i], treeRecords[i]);
    }
}

} // namespace

TEST_F(ExchangeValuesReading, ASenecaDocumentReadWithoutItsTreeAnswersAsItsTree)
{
    const QString materias = QStringLiteral(
        "<grupo_datos seq=\"MATERIAS\" registros=\"3\">"
        "<grupo_datos seq=\"ID_1\"><dato nombre_dato=\"X_OFERTAMATRIG\">8001</dato>"
        "<dato nombre_dato=\"D_MATERIAC\">Física y Química</dato><dato nombre_dato=\"X_MATERIAOMG\">300001</dato>"
        "</grupo_datos>"
        "<grupo_datos seq=\"ID_2\"><dato nombre_dato=\"X_OFERTAMATRIG\"> 8002 </dato>"
        "<dato nombre_dato=\"X_MATERIAOMG\">1</dato><dato nombre_dato=\"D_MATERIAC\">a &lt;b&gt; &amp; &#13;c\"'</dato>"
        "</grupo_datos>"
        "<grupo_datos seq=\"ID_3\"><dato nombre_dato=\"X_MATERIA\">1</dato><dato nombre_dato=\"\"/>"
        "<dato nombre_dato=\"N&amp;&lt;&gt;&quot;'&#9;&#10;&#13;ñ\"></dato><dato nombre_dato=\"X\">  </dato>"
        "</grupo_datos></grupo_datos>");
    const QString top = QStringLiteral("<grupo_datos seq=\"ANNO\"><dato nombre_dato=\"C_ANNO\">2025</dato>"
                                       "<dato nombre_dato=\"F_INICIO\">15/09/2025</dato></grupo_datos>");
    const struct {
        const char *what;
        QByteArray bytes;
        bool withoutTree;
    } cases[] = {
        {"Latin-1 file", latin1Document(top + materias), true},
        {"UTF-8 file",
            ("<?xml version=\"1.0\" encoding=\"UTF-8\"?><SERVICIO><BLOQUE_DATOS>" + top + materias
                + "</BLOQUE_DATOS></SERVICIO>")
                .toUtf8(),
            true},
        {"no declaration", ("<SERVICIO><BLOQUE_DATOS>" + top + materias + "</BLOQUE_DATOS></SERVICIO>").toUtf8(), true},
        {"a dato without nombre_dato",
            latin1Document(
                top + QString(materias).replace(QStringLiteral("<dato nombre_dato=\"X\">"), QStringLiteral("<dato>"))),
            false},
        {"a dato with another attribute",
            latin1Document(top
                + QStringLiteral("<grupo_datos seq=\"MATERIAS\"><grupo_datos><dato otro=\"1\" "
                                 "nombre_dato=\"X_MATERIAOMG\">1</dato></grupo_datos></grupo_datos>")),
            false},
        {"a prefixed dato",
            latin1Document(
                QStringLiteral("<grupo_datos seq=\"G\" xmlns:p=\"urn:p\"><p:dato nombre_dato=\"A\">1</p:dato>"
                               "</grupo_datos>")),
            false},
        {"markup in a value", latin1Document(top + record(QStringLiteral("<dato nombre_dato=\"A\"><b/></dato>"))),
            false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        expectSameDocument(write(c.bytes), c.withoutTree);
    }
}
