// The outcome record the timetabler reads: only the key Transformado of section
// Transformadores changes; every other byte of the file stays.
#include "common/outcome_record.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(OutcomeRecord, KeepsEveryOtherLineByteForByte)
{
    const QByteArray before = "; ajustes de Horavent\r\n[General]\r\nIdioma=ES\r\n\r\n[Transformadores]\r\n"
                              "Otro=5\r\ntransformado = 0\r\n\r\n[Final]\r\nX=1";
    const QByteArray after = "; ajustes de Horavent\r\n[General]\r\nIdioma=ES\r\n\r\n[Transformadores]\r\n"
                             "Otro=5\r\nTransformado=1\r\n\r\n[Final]\r\nX=1";
    EXPECT_EQ(withOutcome(before, 1), after);
}

TEST(OutcomeRecord, AddsTheKeyOrTheSectionWhenMissing)
{
    EXPECT_EQ(withOutcome(QByteArray(), -1), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
    EXPECT_EQ(
        withOutcome("[General]\r\nA=1", 1), QByteArray("[General]\r\nA=1\r\n[Transformadores]\r\nTransformado=1\r\n"));
    EXPECT_EQ(withOutcome("[Transformadores]\nOtro=2\n\n[B]\n", 0),
        QByteArray("[Transformadores]\nOtro=2\nTransformado=0\n\n[B]\n"));
    EXPECT_EQ(withOutcome("[TRANSFORMADORES]\r\n", 1), QByteArray("[TRANSFORMADORES]\r\nTransformado=1\r\n"));
}

TEST(OutcomeRecord, WritesTheFileWholeAndReportsAFolderThatCannotBeWritten)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Horavent.ini"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Otra]\r\nClave=valor\r\n");
    }
    writeOutcomeRecord(path, 1);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Otra]\r\nClave=valor\r\n[Transformadores]\r\nTransformado=1\r\n"));

    const QString missingFolder = dir.filePath(QStringLiteral("no/existe/Horavent.ini"));
    try {
        writeOutcomeRecord(missingFolder, 1);
        FAIL() << "a folder that cannot be written must be reported";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(missingFolder))) << error.what();
    }
}
