// Level-7 tables written by other programs (see data/dbf7/README.md), read field
// by field: every type they use, their language drivers and their odd headers.

#include "common/dbf_table.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace {

using namespace dbf;
using testing::ElementsAre;

QString samplePath(const char *name)
{
    return QStringLiteral(HORAVO_TEST_DATA_DIR "/dbf7/") + QString::fromLatin1(name);
}

Table openSample(const char *name)
{
    Table table(samplePath(name));
    table.open(Table::Access::ReadShared);
    return table;
}

// The text of one field in every record, deleted ones included.
QStringList column(const Table &table, const char *field)
{
    QStringList texts;
    for (int row = 0; row < table.size(); ++row)
        texts << table.text(row, QString::fromLatin1(field));
    return texts;
}

TEST(DbfSamples, PropertiesBlockAndAutoincrement)
{
    const Table table = openSample("infused-dbf_dbase_8c.dbf");
    ASSERT_EQ(table.fieldCount(), 6);
    EXPECT_EQ(table.field(0).name, QStringLiteral("ID"));
    EXPECT_EQ(char(table.field(0).type), '+');
    EXPECT_EQ(table.field(3).name, QStringLiteral("Length CM"));
    EXPECT_EQ(table.field(3).decimals, 4);
    ASSERT_EQ(table.size(), 10);
    EXPECT_EQ(table.recordCount(), 10);
    for (int row = 0; row < table.size(); ++row)
        EXPECT_EQ(table.integer(row, 0), row + 1);
    EXPECT_EQ(table.text(0, QStringLiteral("Name")), QStringLiteral("Clown Triggerfish"));
    EXPECT_EQ(table.text(0, 2), QStringLiteral("Ballistoides conspicillum"));
    EXPECT_EQ(table.text(0, QStringLiteral("Length CM")), QStringLiteral("100.0000"));
    EXPECT_EQ(table.number(0, table.fieldIndex(QStringLiteral("Length CM"))), 100.0);
    EXPECT_EQ(table.integer(0, QStringLiteral("Length CM")), 100);
    EXPECT_EQ(table.text(9, QStringLiteral("Name")), QStringLiteral("Bluehead Wrasse"));
    EXPECT_EQ(table.number(9, table.fieldIndex(QStringLiteral("Length CM"))), 15.0);
    EXPECT_EQ(table.text(9, QStringLiteral("Description")), QStringLiteral("500")); // memo block, as text
    EXPECT_EQ(Index(table, {table.fieldIndex(QStringLiteral("Name"))}).first({QStringLiteral("Nurse Shark")}), 5);
}

TEST(DbfSamples, WindowsLanguageDriverWithDatesAndMemo)
{
    const Table table = openSample("javadbf_dbase_7.dbf");
    ASSERT_EQ(table.fieldCount(), 4);
    EXPECT_EQ(table.field(1).type, FieldType::Date);
    EXPECT_THAT(column(table, "ACTION"), ElementsAre("", "", ""));
    EXPECT_THAT(column(table, "DATE"), ElementsAre("20150223", "20130131", "20141028"));
    EXPECT_THAT(column(table, "USER"), ElementsAre("DFG", "GFS", "HSJ"));
    EXPECT_THAT(column(table, "ID"), ElementsAre("1", "2", "3"));
    EXPECT_EQ(table.integer(2, QStringLiteral("ID")), 3);
}

TEST(DbfSamples, EveryKindOfField)
{
    const Table table = openSample("php-xbase_dBaseVII.dbf");
    ASSERT_EQ(table.fieldCount(), 12);
    ASSERT_EQ(table.size(), 3);
    EXPECT_THAT(column(table, "NAME"), ElementsAre("Groot", "Rocket Raccoon", "Star-Lord"));
    EXPECT_THAT(column(table, "BIRTHDAY"), ElementsAre("19601101", "19760601", "19760101"));
    EXPECT_THAT(column(table, "IS_MAN"), ElementsAre("F", "F", "T"));
    EXPECT_THAT(column(table, "MONEY"), ElementsAre("12.1235", "325.3200", "0.0000"));
    EXPECT_THAT(column(table, "AUTO_INC"), ElementsAre("0", "1", "2"));
    EXPECT_THAT(column(table, "INTEGER"), ElementsAre("1", "2", "3"));
    EXPECT_THAT(column(table, "LARGE_INT"), ElementsAre("4", "5", "6"));
    EXPECT_THAT(
        column(table, "DATETIME"), ElementsAre("1800-01-01 01:01:01", "1970-01-01 00:00:00", "2020-02-20 20:20:20"));
    EXPECT_THAT(column(table, "BIO"), ElementsAre("0000000001", "0000000004", "0000000006"));
    EXPECT_EQ(table.number(1, table.fieldIndex(QStringLiteral("MONEY"))), 325.32);
    EXPECT_EQ(table.integer(2, QStringLiteral("INTEGER")), 3);
}

TEST(DbfSamples, DoubleField)
{
    const Table table = openSample("php-xbase_dBaseVII_double.dbf");
    ASSERT_EQ(table.size(), 5);
    std::vector<double> values;
    for (int row = 0; row < table.size(); ++row)
        values.push_back(table.number(row, 0));
    EXPECT_THAT(values, ElementsAre(-199.99, -74.62, 43.65, 150.48, 0.0));
    EXPECT_THAT(column(table, "double"), ElementsAre("-199.99", "-74.62", "43.65", "150.48", "0"));
    EXPECT_FALSE(table.isNull(4, 0));
}

TEST(DbfSamples, IntegerField)
{
    const Table table = openSample("php-xbase_dBaseVII_int.dbf");
    ASSERT_EQ(table.size(), 6);
    std::vector<int> values;
    for (int row = 0; row < table.size(); ++row)
        values.push_back(table.integer(row, 0));
    EXPECT_THAT(values, ElementsAre(1, -1, 5000000, -5000000, 2147483647, -2147483647));
    EXPECT_EQ(Index(table, {table.fieldIndex(QStringLiteral("INT"))}).first({QStringLiteral("-5000000")}), 3);
}

TEST(DbfSamples, TimestampFieldWithDeletedRecords)
{
    const Table table = openSample("php-xbase_dBaseVII_ts.dbf");
    ASSERT_EQ(table.size(), 15);
    EXPECT_EQ(table.recordCount(), 9);
    const std::vector<int> live = table.liveRows();
    ASSERT_EQ(live.size(), 9U);
    EXPECT_EQ(live.front(), 6);
    EXPECT_EQ(table.text(live.front(), 0), QStringLiteral("1900-01-01 00:00:00"));
    EXPECT_EQ(table.text(live.back(), 0), QStringLiteral("2000-01-10 00:00:00"));
    EXPECT_EQ(
        Index(table, {table.fieldIndex(QStringLiteral("TS"))}).first({QStringLiteral("1970-01-01 00:00:00")}), -1);
}

} // namespace
