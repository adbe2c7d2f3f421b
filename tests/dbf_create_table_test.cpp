// A table is created whole under its name, whether new or replacing another.
#include "common/dbf_table.h"

#include "dbf_test_files.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace dbf;

TEST(CreateTable, ANewOrReplacedTableIsEmptyAndNoOtherFileStays)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("NUEVA.DBF"));
    const Layout layout{charField("NOMBRE", 10), intField("DIA")};
    for (int round = 0; round < 2; ++round) { // the second replaces the first, with a record
        createTable(path, layout);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("NUEVA.DBF")}) << round;
        Table table(path);
        table.open();
        EXPECT_EQ(table.size(), 0) << round;
        EXPECT_EQ(table.fieldCount(), 2) << round;
        table.setText(table.appendBlank(), 0, QStringLiteral("fila"));
        table.post(0);
    }
}

} // namespace
