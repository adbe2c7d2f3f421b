#pragma once
// The bytes of a dBase table: the header with its field descriptors (levels III,
// IV and 7), and the binary forms of level-7 values. No file access here: the
// table engine reads and writes the bytes, this file says what they mean.

#include "common/dbf_table.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <cstdint>
#include <vector>

namespace dbf::format {

constexpr int kLevel7FixedHeader = 68; // before the first 48-byte field descriptor
constexpr int kLevel7Descriptor = 48;
constexpr int kOldFixedHeader = 32; // levels III and IV
constexpr int kOldDescriptor = 32;
constexpr char kHeaderTerminator = 0x0D;
constexpr char kEndOfFile = 0x1A;
constexpr char kLiveFlag = ' ';
constexpr char kDeletedFlag = '*';
constexpr unsigned char kLevel7Version = 0x04;

struct Header {
    unsigned char version = 0;
    bool level7 = false; // 48-byte descriptors
    std::uint32_t recordCount = 0;
    int headerLength = 0; // offset of the first record
    int recordLength = 0; // deletion flag included
    Layout fields;
    std::vector<int> offsets; // of each field within a record, the flag being at 0
};

// Reads and checks the header of a file of `size` bytes held whole in `data`.
// Throws UserError naming `path` when the bytes are not a table this engine reads,
// or when the records the header announces do not fit in the file.
Header readHeader(const char *data, std::int64_t size, const QString &path);

// The layout as it will be written: fixed widths filled in. Throws UserError naming
// `path` for a layout a level-7 table cannot hold.
Layout checkedLayout(const Layout &layout, const QString &path);

// The header of an empty level-7 table, field descriptors and terminator included.
QByteArray level7Header(const Layout &checked, const QDate &lastUpdate);

// Bytes 1-7 of any level: last update date and record count.
void setDateAndCount(char *header, const QDate &lastUpdate, std::uint32_t count);

// Width of I, O and L fields (and the read-only '+' and '@'); 0 for the others.
int fixedWidth(FieldType type);

// Level-7 long: big-endian with the sign bit inverted; four zero bytes are null,
// so the smallest int has no form. Returns false for null.
void putInteger(char *out, std::int32_t value);
bool getInteger(const char *in, std::int32_t &value);

// Level-7 double: big-endian IEEE with the sign bit set for values >= 0 and every
// bit inverted for negatives, so the bytes sort as the numbers; eight zero bytes
// are null. Returns false for null.
void putDouble(char *out, double value);
bool getDouble(const char *in, double &value);

// A level-7 timestamp as "YYYY-MM-DD HH:MM:SS" ("" for null): milliseconds since
// the day before 1 January of year 1 as a big-endian double, with or without the
// sign bit set as in a double field (writers differ).
QString timestampText(const char *in);

} // namespace dbf::format
