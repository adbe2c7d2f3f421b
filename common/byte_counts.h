#pragma once
// Line breaks and bytes 0x80 to 0x9F in a run of bytes: what a reader of a
// document declared ISO-8859-1 counts (those bytes are control characters there,
// and usually mean the file was written in Windows-1252). The writer of the
// timetable document and the check's reader both count them over the whole file.

#include <algorithm>
#include <cstddef>

namespace byte_counts {

inline bool isHighControl(char c)
{
    return static_cast<unsigned char>(c - '\x80') < 0x20;
}

struct Counts {
    long long lineBreaks = 0;
    long long highControl = 0; // bytes 0x80 to 0x9F
};

// One pass without branches, which the compiler turns into vector instructions.
inline Counts count(const char *bytes, std::size_t size)
{
    Counts counts;
    // Byte-wide counters, added up every 255 bytes before they could overflow.
    for (std::size_t block = 0; block < size; block += 255) {
        const std::size_t end = std::min(size, block + 255);
        unsigned char lineBreaks = 0;
        unsigned char highControl = 0;
        for (std::size_t i = block; i < end; ++i) {
            lineBreaks += static_cast<unsigned char>(bytes[i] == '\n');
            highControl += static_cast<unsigned char>(isHighControl(bytes[i]));
        }
        counts.lineBreaks += lineBreaks;
        counts.highControl += highControl;
    }
    return counts;
}

} // namespace byte_counts
