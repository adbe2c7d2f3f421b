// What is read from a document's first bytes without parsing it: the declared
// encoding and an attribute of the root element.
#include "common/xml_head.h"

#include <gtest/gtest.h>

namespace {

TEST(XmlHead, TheDeclaredEncodingIsReadAfterAByteOrderMarkAndWhiteSpace)
{
    struct Case {
        const char *head;
        const char *encoding;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><SERVICIO/>", "ISO-8859-1"},
        {"\xEF\xBB\xBF  <?xml version='1.0' encoding = 'windows-1252' ?>", "windows-1252"},
        {"<?xml version=\"1.0\"?><SERVICIO encoding=\"latin1\"/>", ""}, // not the declaration's
        {"<SERVICIO/>", ""}, {"<?xml version=\"1.0\" encoding=\"UTF 8\"?>", ""}, // not a name
        {"<?xmlfoo encoding=\"UTF-8\"?>", ""}, {"<?xml version=\"1.0\" encoding=\"UTF-8", ""}, // cut short
    };
    for (const Case &c : cases)
        EXPECT_EQ(xml::declaredEncodingIn(c.head), QString::fromLatin1(c.encoding)) << c.head;
}

TEST(XmlHead, AnAttributeOfTheFirstTagOfItsNameIsRead)
{
    const QByteArray head = "<?xml version=\"1.0\"?>\n<SERVICIOS fecha=\"no\"/><SERVICIO modulo=\"EXPORTACION\"\n"
                            "  fecha = \"12/09/2025 10:00:00\" autor=\"SENECA\"><BLOQUE_DATOS fecha=\"otra\">";
    EXPECT_EQ(xml::attributeInHead(head, "SERVICIO", "fecha"), QStringLiteral("12/09/2025 10:00:00"));
    EXPECT_EQ(xml::attributeInHead(head, "SERVICIO", "tipo"), QString());
    EXPECT_EQ(xml::attributeInHead("<SERVICIO xfecha=\"1\">", "SERVICIO", "fecha"), QString());
    EXPECT_EQ(xml::attributeInHead("<SERVICIO fecha=\"sin cerrar", "SERVICIO", "fecha"), QString());
}

} // namespace
