// The windows-1252 reader the Windows build's libxml2 uses (it has no iconv) gives
// what libxml2 gives through iconv here: the same characters for every byte, and a
// refusal of the same five undefined bytes.
#include "common/xml_windows1252.h"

#include <libxml/encoding.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string throughOurs(const std::string &bytes, int &status)
{
    std::string out(bytes.size() * 3, '\0');
    int outSize = int(out.size());
    int inSize = int(bytes.size());
    status = xml::windows1252ToUtf8(reinterpret_cast<unsigned char *>(out.data()), &outSize,
        reinterpret_cast<const unsigned char *>(bytes.data()), &inSize);
    out.resize(std::size_t(outSize));
    return out;
}

TEST(Windows1252Reader, EveryDefinedByteReadsAsLibxml2ReadsIt)
{
    // Here libxml2 reads windows-1252 through iconv; in the Windows build through
    // ours (registered on the first parse), where this holds the two to one answer.
    xml::ensureWindows1252();
    for (int byte = 0x20; byte < 256; ++byte) {
        if (byte == '<' || byte == '&' || byte == 0x7F || byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90
            || byte == 0x9D)
            continue;
        const std::string in(1, char(byte));
        int status = 0;
        const std::string ours = throughOurs(in, status);
        EXPECT_EQ(status, int(ours.size())) << byte;

        const std::string document = "<?xml version=\"1.0\" encoding=\"windows-1252\"?><a>" + in + "</a>";
        xmlDocPtr doc = xmlReadMemory(document.data(), int(document.size()), "x.xml", nullptr, XML_PARSE_NONET);
        ASSERT_NE(doc, nullptr) << byte;
        xmlChar *text = xmlNodeGetContent(xmlDocGetRootElement(doc));
        EXPECT_EQ(ours, std::string(reinterpret_cast<const char *>(text))) << byte;
        xmlFree(text);
        xmlFreeDoc(doc);
    }
}

TEST(Windows1252Reader, StopsAtAnUndefinedByteAndAtTheEndOfItsRoom)
{
    int status = 0;
    EXPECT_EQ(throughOurs("Garc\xED"
                          "a\x81z",
                  status),
        "Garc\xC3\xAD"
        "a");
    EXPECT_EQ(status, -2);

    // "€" takes three bytes: with room for four, one character and no more.
    const std::string in = "a\x80\x80";
    unsigned char out[4];
    int outSize = 4;
    int inSize = int(in.size());
    EXPECT_EQ(xml::windows1252ToUtf8(out, &outSize, reinterpret_cast<const unsigned char *>(in.data()), &inSize), 4);
    EXPECT_EQ(inSize, 2);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(out), 4), "a\xE2\x82\xAC");
}

TEST(Windows1252Reader, WritesBackWhatItReadsAndRefusesWhatTheCodePageLacks)
{
    const std::string text = "Garc\xC3\xAD"
                             "a \xE2\x82\xAC";
    unsigned char out[16];
    int outSize = sizeof out;
    int inSize = int(text.size());
    EXPECT_EQ(xml::utf8ToWindows1252(out, &outSize, reinterpret_cast<const unsigned char *>(text.data()), &inSize), 8);
    EXPECT_EQ(std::string(reinterpret_cast<char *>(out), 8),
        "Garc\xED"
        "a \x80");

    const std::string polish = "\xC5\x81"; // Ł
    outSize = sizeof out;
    inSize = int(polish.size());
    EXPECT_EQ(
        xml::utf8ToWindows1252(out, &outSize, reinterpret_cast<const unsigned char *>(polish.data()), &inSize), -2);
    EXPECT_EQ(inSize, 0);
}

} // namespace
