// The streaming read of the Séneca file against the whole tree the import loaded
// before: the same year text and the same nodes outside the root for files of
// every shape, and the same stops, in the same words, for files it cannot use.
#include "common/user_error.h"
#include "common/xml_document.h"
#include "import/seneca_frame.h"
#include "support/tree_timetable.h"

#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <libxml/tree.h>

#include <functional>

using ::testing::HasSubstr;

namespace {

std::string errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message().toStdString();
    }
    return "(no error)";
}

// The nodes of a document outside its root element, as libxml2 writes each.
std::vector<std::string> nodesOutsideRoot(xmlDocPtr doc)
{
    std::vector<std::string> nodes;
    for (xmlNodePtr node = doc->children; node; node = node->next) {
        if (node == xmlDocGetRootElement(doc)) {
            nodes.push_back("(root)");
            continue;
        }
        xmlBufferPtr buffer = xmlBufferCreate();
        xmlNodeDump(buffer, doc, node, 0, 0);
        nodes.emplace_back(reinterpret_cast<const char *>(xmlBufferContent(buffer)));
        xmlBufferFree(buffer);
    }
    return nodes;
}

class SenecaFrameRead : public ::testing::Test {
protected:
    QString write(const QByteArray &bytes)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        return path;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Exportacion.xml"));
};

} // namespace

TEST_F(SenecaFrameRead, TakesTheYearAndTheNodesOutsideTheRootThatTheWholeTreeHolds)
{
    const std::vector<QByteArray> files = {
        "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"A\"><dato>2017/2018</dato></grupo_datos></BLOQUE_DATOS></SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS><g><dato>201</dato></g><g><dato>2030</dato></g></BLOQUE_DATOS></SERVICIO>",
        // Whitespace alone between elements is no node; in an empty element it is text.
        "<SERVICIO>\n  <BLOQUE_DATOS>\n    <g>\n      <d>2019</d>\n    </g>\n  </BLOQUE_DATOS>\n</SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS> <g> </g><g>2020</g></BLOQUE_DATOS></SERVICIO>",
        // Text, comments, instructions, CDATA and entities as the first child.
        "<SERVICIO><BLOQUE_DATOS>\n 2021 curso <g>x</g></BLOQUE_DATOS></SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS>  <!--2022 comentario--><g>x</g></BLOQUE_DATOS></SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS><?pi 2023?><g>x</g></BLOQUE_DATOS></SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS><![CDATA[ ]]><![CDATA[20]]>24<g>x</g></BLOQUE_DATOS></SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS>&#x20;&#50;025<g>x</g></BLOQUE_DATOS></SERVICIO>",
        "<!DOCTYPE SERVICIO [<!ELEMENT g ANY>]>"
        "<SERVICIO><CAB>&#50;0</CAB><BLOQUE_DATOS>&#50;026/2027<g>x</g></BLOQUE_DATOS></SERVICIO>",
        "<!DOCTYPE SERVICIO [<!ATTLIST g a CDATA #IMPLIED>]>"
        "<SERVICIO><BLOQUE_DATOS><g><b>20</b>28</g></BLOQUE_DATOS><b>20</b></SERVICIO>",
        "<SERVICIO xml:space=\"preserve\"><BLOQUE_DATOS> <g>2029</g></BLOQUE_DATOS></SERVICIO>",
        // Only BLOQUE_DATOS directly under the root counts, and only the first.
        "<SERVICIO><x><BLOQUE_DATOS><g>1999</g></BLOQUE_DATOS></x>\n<BLOQUE_DATOS><g>2031</g></BLOQUE_DATOS>"
        "<BLOQUE_DATOS><g>2032</g></BLOQUE_DATOS></SERVICIO>",
        "<s:SERVICIO xmlns:s=\"urn:s\"><s:BLOQUE_DATOS><g>2033</g></s:BLOQUE_DATOS></s:SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS><g><h><i>2</i>0</h>3</g>4<g>x</g></BLOQUE_DATOS></SERVICIO>",
        // Around the root.
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"yes\"?>\n<!-- a --><?b c?>\n"
        "<!DOCTYPE SERVICIO SYSTEM \"servicio.dtd\">\n<SERVICIO><BLOQUE_DATOS><g>\xF1"
        "035</g></BLOQUE_DATOS></SERVICIO>\n<!-- z -->\n<?y x?>",
    };
    for (const QByteArray &bytes : files) {
        write(bytes);
        const xml::Document tree = xml::Document::load(path);
        const std::optional<QString> year = treeYearText(tree);
        ASSERT_TRUE(year) << bytes.toStdString();
        const SenecaFrame frame = SenecaFrame::read(path);
        EXPECT_EQ(frame.yearText(), *year) << bytes.toStdString();
        EXPECT_EQ(nodesOutsideRoot(frame.document()), nodesOutsideRoot(tree.raw())) << bytes.toStdString();
        for (const auto &field : {&_xmlDoc::version, &_xmlDoc::encoding}) {
            const xmlChar *streamed = frame.document()->*field;
            const xmlChar *loaded = tree.raw()->*field;
            EXPECT_EQ(streamed ? std::string(reinterpret_cast<const char *>(streamed)) : "(none)",
                loaded ? std::string(reinterpret_cast<const char *>(loaded)) : "(none)")
                << bytes.toStdString();
        }
        EXPECT_EQ(frame.document()->standalone, tree.raw()->standalone) << bytes.toStdString();
        ASSERT_NE(frame.rootPlaceholder(), nullptr);
        EXPECT_EQ(frame.rootPlaceholder()->children, nullptr);
    }
}

TEST_F(SenecaFrameRead, StopsWhereLoadingTheWholeFileStoppedInTheSameWords)
{
    const std::vector<QByteArray> notXml = {
        "<?xml version=\"1.0\"?>\n<SERVICIO><BLOQUE_DATOS>",
        "<SERVICIO><BLOQUE_DATOS><g>2024</g></BLOQUE_DATOS></SERVICIO>\n<otro/>",
        "<SERVICIO><BLOQUE_DATOS><g>2024</g></BLOQUE_DATOS><x>&nada;</x></SERVICIO>",
        "<SERVICIO><BLOQUE_DATOS><g a=\"1\" a=\"2\">2024</g></BLOQUE_DATOS></SERVICIO>",
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>\n<BLOQUE_DATOS>\n</SERVICIO>",
        "",
    };
    for (const QByteArray &bytes : notXml) {
        write(bytes);
        const std::string expected = errorOf([&] { xml::Document::load(path); });
        EXPECT_THAT(expected, HasSubstr("no es un documento XML válido")) << bytes.toStdString();
        EXPECT_EQ(errorOf([&] { SenecaFrame::read(path); }), expected) << bytes.toStdString();
    }

    const QString missing = dir.filePath(QStringLiteral("no_existe.xml"));
    EXPECT_EQ(errorOf([&] { SenecaFrame::read(missing); }), errorOf([&] { xml::Document::load(missing); }));
    EXPECT_EQ(errorOf([&] { SenecaFrame::read(dir.path()); }), errorOf([&] { xml::Document::load(dir.path()); }));
}

TEST_F(SenecaFrameRead, AFileWithoutBloqueDatosOrWithoutDataInItStopsNamingTheFile)
{
    struct Case {
        QByteArray bytes;
        const char *message;
    };
    const std::vector<Case> cases = {
        {"<OTRO><BLOQUE_DATOS><a>2024</a></BLOQUE_DATOS></OTRO>", "le falta el elemento BLOQUE_DATOS"},
        {"<SERVICIO><DATOS/></SERVICIO>", "le falta el elemento BLOQUE_DATOS"},
        {"<SERVICIO><x><BLOQUE_DATOS>2024</BLOQUE_DATOS></x></SERVICIO>", "le falta el elemento BLOQUE_DATOS"},
        {"<SERVICIO><BLOQUE_DATOS>   </BLOQUE_DATOS></SERVICIO>", "no tiene datos dentro de BLOQUE_DATOS"},
        {"<SERVICIO><BLOQUE_DATOS/><BLOQUE_DATOS><g>2024</g></BLOQUE_DATOS></SERVICIO>",
            "no tiene datos dentro de BLOQUE_DATOS"},
    };
    for (const Case &c : cases) {
        write(c.bytes);
        EXPECT_FALSE(treeYearText(xml::Document::load(path))) << c.bytes.toStdString();
        const std::string message = errorOf([&] { SenecaFrame::read(path); });
        EXPECT_THAT(message, HasSubstr(c.message)) << c.bytes.toStdString();
        EXPECT_THAT(message, HasSubstr("Exportacion.xml")) << c.bytes.toStdString();
    }
}
