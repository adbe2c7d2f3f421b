// The stored form of a value is what the field gives back once the value is written.
#include "common/dbf_table.h"
#include "common/stored_text.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(StoredText, IsWhatTheCharacterFieldGivesBackAfterTheValueIsWritten)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("GUARDADO.DBF"));
    dbf::createTable(path, {dbf::charField("CAMPO", 5)});
    dbf::Table table(path);
    table.open();
    const int row = table.appendBlank();
    const QString values[] = {
        QString(),
        QStringLiteral("abc"),
        QStringLiteral("abcde"),
        QStringLiteral("abcdefgh"), // cut to the width
        QStringLiteral("ab  "), // trailing spaces go
        QStringLiteral("  ab"), // leading ones stay
        QStringLiteral("abcd "),
        QStringLiteral("abcd  x"), // a space at the cut goes too
        QString(QStringLiteral("ab")) + QChar(0) + QChar(0), // NULs at the end read as padding
        QStringLiteral("a\tb\n"),
        QStringLiteral("Año ñ"),
        QStringLiteral("Información"),
        QStringLiteral("€ 5"), // in the code page, outside Latin-1
        QStringLiteral("\u0081x"), // an undefined byte of the code page: "?"
        QStringLiteral("x\u007F"), // DEL: "?"
        QStringLiteral("\u0080x"), // not in the code page: "?"
        QStringLiteral("Łódź"), // base letters
        QStringLiteral("ȘȚ\u4E2D"),
        QStringLiteral("a\U0001F600b"), // a pair of surrogates is one "?"
        QString(QChar(0xDC00)) + QStringLiteral("zz"),
    };
    const dbf::FieldDef &field = table.field(0);
    for (const QString &value : values) {
        table.setText(row, 0, value);
        EXPECT_EQ(storedText(value, field), table.text(row, 0)) << value.toStdString();
    }
    EXPECT_EQ(storedText(QStringLiteral("  7 "), dbf::intField("N")), QStringLiteral("  7 "));
}

} // namespace
