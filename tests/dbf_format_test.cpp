#include "common/dbf_format.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

using namespace dbf::format;

TEST(DbfFormat, IntegersAreBigEndianWithTheSignBitInverted)
{
    struct Case {
        std::int32_t value;
        QByteArray bytes;
    };
    const Case cases[] = {
        {0, QByteArray::fromHex("80000000")},
        {1, QByteArray::fromHex("80000001")},
        {-1, QByteArray::fromHex("7fffffff")},
        {5000000, QByteArray::fromHex("804c4b40")},
        {std::numeric_limits<int>::max(), QByteArray::fromHex("ffffffff")},
        {std::numeric_limits<int>::min() + 1, QByteArray::fromHex("00000001")},
    };
    for (const Case &c : cases) {
        char out[4] = {};
        putInteger(out, c.value);
        EXPECT_EQ(QByteArray(out, 4), c.bytes) << c.value;
        std::int32_t back = 12345;
        EXPECT_TRUE(getInteger(c.bytes.constData(), back));
        EXPECT_EQ(back, c.value);
    }
    std::int32_t untouched = 7;
    EXPECT_FALSE(getInteger(QByteArray(4, '\0').constData(), untouched));
}

TEST(DbfFormat, DoublesSortAsTheirBytes)
{
    struct Case {
        double value;
        QByteArray bytes;
    };
    const Case cases[] = {
        {0.0, QByteArray::fromHex("8000000000000000")},
        {-0.0, QByteArray::fromHex("8000000000000000")},
        {1.0, QByteArray::fromHex("bff0000000000000")},
        {-2.5, QByteArray::fromHex("3ffbffffffffffff")},
        {-199.99, QByteArray::fromHex("3f970051eb851eb7")},
        {43.65, QByteArray::fromHex("c045d33333333333")},
    };
    for (const Case &c : cases) {
        char out[8] = {};
        putDouble(out, c.value);
        EXPECT_EQ(QByteArray(out, 8).toHex(), c.bytes.toHex()) << c.value;
        double back = 99;
        EXPECT_TRUE(getDouble(c.bytes.constData(), back));
        EXPECT_EQ(back, c.value);
    }
    double untouched = 7;
    EXPECT_FALSE(getDouble(QByteArray(8, '\0').constData(), untouched));
}

TEST(DbfFormat, TimestampsReadAsDateAndTime)
{
    struct Case {
        const char *hex;
        const char *text;
    };
    const Case cases[] = {
        {"42cc418ba99a0000", "1970-01-01 00:00:00"},
        {"c2cc418ba99a0000", "1970-01-01 00:00:00"}, // sign bit set, as in a double field
        {"42c9d1045f8e6400", "1800-01-01 01:01:01"},
        {"42ccf9bdcaa9d000", "2020-02-20 20:20:20"},
        {"0000000000000000", ""},
    };
    for (const Case &c : cases)
        EXPECT_EQ(timestampText(QByteArray::fromHex(c.hex).constData()).toStdString(), c.text) << c.hex;
    // Bytes that are no timestamp still give some text.
    EXPECT_FALSE(timestampText(QByteArray::fromHex("7ff0000000000000").constData()).isEmpty());
    EXPECT_FALSE(timestampText(QByteArray::fromHex("ffffffffffffffff").constData()).isEmpty());
}

} // namespace
