#include "common/xml_windows1252.h"

#include "common/cp1252.h"

#include <libxml/encoding.h>

#include <mutex>

namespace xml {

namespace {

bool isUndefined(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

} // namespace

int windows1252ToUtf8(unsigned char *out, int *outSize, const unsigned char *in, int *inSize)
{
    int read = 0;
    int written = 0;
    int result = 0;
    while (read < *inSize) {
        const unsigned char byte = in[read];
        if (isUndefined(byte)) {
            result = -2;
            break;
        }
        const char16_t unit = cp1252::toUnicode(byte);
        const int length = unit < 0x80 ? 1 : unit < 0x800 ? 2 : 3;
        if (written + length > *outSize)
            break;
        if (length == 1) {
            out[written] = static_cast<unsigned char>(unit);
        } else if (length == 2) {
            out[written] = static_cast<unsigned char>(0xC0 | (unit >> 6));
            out[written + 1] = static_cast<unsigned char>(0x80 | (unit & 0x3F));
        } else {
            out[written] = static_cast<unsigned char>(0xE0 | (unit >> 12));
            out[written + 1] = static_cast<unsigned char>(0x80 | ((unit >> 6) & 0x3F));
            out[written + 2] = static_cast<unsigned char>(0x80 | (unit & 0x3F));
        }
        written += length;
        ++read;
    }
    *inSize = read;
    *outSize = written;
    return result < 0 ? result : written;
}

int utf8ToWindows1252(unsigned char *out, int *outSize, const unsigned char *in, int *inSize)
{
    int read = 0;
    int written = 0;
    int result = 0;
    while (read < *inSize && written < *outSize) {
        const unsigned char lead = in[read];
        const int length = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : 0;
        if (length == 0) {
            result = -2; // no character of the code page needs four bytes
            break;
        }
        if (read + length > *inSize)
            break; // the rest of the character comes with the next call
        char16_t unit = length == 1 ? lead
            : length == 2           ? char16_t(((lead & 0x1F) << 6) | (in[read + 1] & 0x3F))
                          : char16_t(((lead & 0x0F) << 12) | ((in[read + 1] & 0x3F) << 6) | (in[read + 2] & 0x3F));
        unsigned char byte = 0;
        if (!cp1252::fromUnicode(unit, byte) || isUndefined(byte)) {
            result = -2;
            break;
        }
        out[written++] = byte;
        read += length;
    }
    *inSize = read;
    *outSize = written;
    return result < 0 ? result : written;
}

void ensureWindows1252()
{
    static std::once_flag once;
    std::call_once(once, [] {
        xmlInitParser();
        const auto known = [](const char *name) {
            xmlCharEncodingHandlerPtr handler = xmlFindCharEncodingHandler(name);
            if (handler)
                xmlCharEncCloseFunc(handler);
            return handler != nullptr;
        };
        if (!known("WINDOWS-1252"))
            xmlNewCharEncodingHandler("WINDOWS-1252", windows1252ToUtf8, utf8ToWindows1252);
        // The other names iconv gives these code pages, which files carry too
        // ("latin1"): libxml2 knows fewer of them by itself.
        struct Alias {
            const char *name;
            const char *canonical;
        };
        static const Alias aliases[] = {{"CP1252", "WINDOWS-1252"}, {"MS-ANSI", "WINDOWS-1252"},
            {"LATIN1", "ISO-8859-1"}, {"L1", "ISO-8859-1"}, {"ISO8859-1", "ISO-8859-1"}, {"ISO_8859-1", "ISO-8859-1"},
            {"ISO_8859-1:1987", "ISO-8859-1"}, {"ISO-IR-100", "ISO-8859-1"}, {"CP819", "ISO-8859-1"},
            {"IBM819", "ISO-8859-1"}, {"CSISOLATIN1", "ISO-8859-1"}, {"LATIN-9", "ISO-8859-15"},
            {"LATIN9", "ISO-8859-15"}, {"ISO8859-15", "ISO-8859-15"}, {"ISO_8859-15", "ISO-8859-15"}};
        for (const Alias &alias : aliases) {
            if (!known(alias.name) && known(alias.canonical))
                xmlAddEncodingAlias(alias.canonical, alias.name);
        }
    });
}

} // namespace xml
