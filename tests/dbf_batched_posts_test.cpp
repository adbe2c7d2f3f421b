// Batched appends write, later and together, exactly the bytes the posts would
// have written one by one, also when an error ends the step.
#include "common/dbf_table.h"

#include "dbf_test_files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>

namespace {

using namespace dbf;
using dbftest::readBytes;

const Layout kLayout{charField("NOMBRE", 20), intField("DIA"), doubleField("HORAS")};

// Appends and posts rows, re-posts a row already posted, changes a posted row
// without posting it again, and leaves an appended row unposted.
void fill(Table &table, int rows)
{
    for (int i = 0; i < rows; ++i) {
        const int row = table.appendBlank();
        table.setText(row, 0, QStringLiteral("Fila %1 ñ").arg(i));
        table.setInteger(row, 1, i);
        if (i % 3 != 1) // every third row goes with the next post
            table.post(row);
    }
    if (rows > 3) {
        table.setText(2, 0, QStringLiteral("Cambiada"));
        table.post(2);
        table.setText(3, 0, QStringLiteral("Sin guardar"));
    }
    const int last = table.appendBlank();
    table.setText(last, 0, QStringLiteral("Nunca guardada"));
}

// Reopened: posts records already on disk again, one of them twice, changes one
// without posting it, and appends one more.
void change(Table &table)
{
    for (const int row : {3, 1, 3, 0}) {
        if (row >= table.size())
            continue;
        table.setText(row, 0, QStringLiteral("Otra vez %1").arg(row));
        table.setInteger(row, 1, 100 + row);
        table.post(row);
    }
    if (table.size() > 2)
        table.setText(2, 0, QStringLiteral("Tampoco guardada"));
    const int row = table.appendBlank();
    table.setText(row, 0, QStringLiteral("Añadida"));
    table.post(row);
}

class BatchedPosts : public ::testing::Test {
protected:
    // The file the operations leave, posting one by one or in batches.
    QByteArray tableAfter(bool batched, int rows, const std::function<void(Table &)> &finish)
    {
        const QString path = dir.filePath(batched ? QStringLiteral("LOTES.DBF") : QStringLiteral("UNOAUNO.DBF"));
        removeTableFiles(path);
        createTable(path, kLayout);
        {
            Table table(path);
            table.open();
            if (batched)
                table.batchPosts();
            fill(table, rows);
            finish(table);
        }
        {
            Table table(path);
            table.open();
            if (batched)
                table.batchPosts();
            change(table);
            finish(table);
        }
        return readBytes(path);
    }

    QTemporaryDir dir;
};

TEST_F(BatchedPosts, WriteWhatPostingOneByOneWritesAtCloseAtDestructionAndEveryMegabyte)
{
    const std::function<void(Table &)> closing = [](Table &table) { table.close(); };
    const std::function<void(Table &)> leaving = [](Table &) {};
    for (const int rows : {0, 1, 5, 40000}) { // 40000 rows of 34 bytes pass a megabyte
        for (const auto &finish : {closing, leaving}) {
            const QByteArray expected = tableAfter(false, rows, finish);
            EXPECT_EQ(tableAfter(true, rows, finish), expected) << rows;
        }
    }
}

TEST_F(BatchedPosts, WaitInMemoryUntilWrittenAndSurviveAnErrorThatEndsTheStep)
{
    const QString path = dir.filePath(QStringLiteral("ERROR.DBF"));
    createTable(path, kLayout);
    const QByteArray empty = readBytes(path);
    try {
        Table table(path);
        table.open();
        table.batchPosts();
        fill(table, 7);
        EXPECT_EQ(readBytes(path), empty) << "nothing written before the batch ends";
        table.setText(0, 1, QStringLiteral("no es un número")); // the step's error
        FAIL() << "no error";
    } catch (const UserError &) {
    }
    const QByteArray filled = readBytes(path);
    {
        Table reopened(path);
        reopened.open(Table::Access::ReadShared);
        ASSERT_EQ(reopened.size(), 7);
        EXPECT_EQ(reopened.text(2, 0), QStringLiteral("Cambiada"));
        EXPECT_EQ(reopened.text(3, 0), QStringLiteral("Fila 3 ñ"));
        EXPECT_EQ(reopened.integer(6, 1), 6);
    }
    // Records posted again wait too, and reach the disk with the error as well.
    try {
        Table table(path);
        table.open();
        table.batchPosts();
        change(table);
        EXPECT_EQ(readBytes(path), filled) << "nothing written before the batch ends";
        table.setText(1, 1, QStringLiteral("tampoco"));
        FAIL() << "no error";
    } catch (const UserError &) {
    }
    Table reopened(path);
    reopened.open(Table::Access::ReadShared);
    ASSERT_EQ(reopened.size(), 8);
    EXPECT_EQ(reopened.text(1, 0), QStringLiteral("Otra vez 1"));
    EXPECT_EQ(reopened.integer(3, 1), 103);
    EXPECT_EQ(reopened.text(2, 0), QStringLiteral("Cambiada"));
    EXPECT_EQ(reopened.text(7, 0), QStringLiteral("Añadida"));
}

TEST_F(BatchedPosts, ATableOpenedAndClosedWithoutPostsIsLeftAsItWas)
{
    const QString path = dir.filePath(QStringLiteral("SINCAMBIOS.DBF"));
    createTable(path, kLayout);
    QByteArray bytes = readBytes(path);
    bytes[1] = char(99); // written in 1999
    dbftest::writeBytes(path, bytes);
    Table table(path);
    table.open();
    table.batchPosts();
    table.setText(table.appendBlank(), 0, QStringLiteral("sin guardar"));
    table.close();
    EXPECT_EQ(readBytes(path), bytes);
}

} // namespace
