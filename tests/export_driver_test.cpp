// The export driver's questions, its answers to missing files, and its promise
// that a damaged input file leaves the working folder as it was.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ExportDriver : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.filePath(QStringLiteral("KTEMP"));
        session.programDir = dir.path();
        seneca = ExchangeBuilder()
                     .top(QStringLiteral("CURSO"), {QStringLiteral("2024"), QStringLiteral("a"), QStringLiteral("b")})
                     .writeTo(dir.path(), QStringLiteral("seneca.xml"));
    }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
    QString seneca;
};

} // namespace

TEST_F(ExportDriver, CancellingTheSenecaDialogOnTheFirstRunSaysNoFileAtOnce)
{
    ExportRun run(session, ui);
    EXPECT_EQ(run.run(), ExportRun::Outcome::MissingFile);
    EXPECT_EQ(
        ui.messages, (QStringList{export_texts::twoFiles(), export_texts::chooseSeneca(), export_texts::noFile()}));
    EXPECT_EQ(session.transformado, 0);
    EXPECT_FALSE(ui.closed);
}

TEST_F(ExportDriver, InBatchModeAMissingFileGivesMinusOneAndClosesTheWindow)
{
    session.batchMode = 2;
    ui.fileChoices = {dir.filePath(QStringLiteral("no-existe.xml"))};
    ExportRun run(session, ui);
    EXPECT_EQ(run.run(), ExportRun::Outcome::MissingFile);
    EXPECT_EQ(session.transformado, -1);
    EXPECT_TRUE(ui.closed);
}

TEST_F(ExportDriver, ASecondAttemptThatCancelsReusesTheFileChosenBefore)
{
    ui.fileChoices = {seneca, std::nullopt};
    {
        ExportRun first(session, ui);
        EXPECT_EQ(first.run(), ExportRun::Outcome::MissingFile);
    }
    EXPECT_EQ(session.filenameXML, seneca);
    ui.messages.clear();
    ui.fileChoices = {std::nullopt, std::nullopt};
    ExportRun second(session, ui);
    EXPECT_EQ(second.run(), ExportRun::Outcome::MissingFile);
    EXPECT_EQ(ui.messages,
        (QStringList{export_texts::twoFiles(), export_texts::chooseSeneca(), export_texts::choosePlanning(),
            export_texts::noFile()}));
}

TEST_F(ExportDriver, ADamagedPlanningFileStopsBeforeAnyTableIsTouched)
{
    const QString planning = dir.filePath(QStringLiteral("planificacion.xml"));
    {
        QFile file(planning);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("<SERVICIO><BLOQUE_DATOS>");
    }
    ui.fileChoices = {seneca, planning};
    ExportRun run(session, ui);
    EXPECT_THROW(run.run(), UserError);
    EXPECT_FALSE(QFile::exists(session.workPath(QStringLiteral("PERIODOS.DBF"))));
    EXPECT_FALSE(ui.busy) << "the wait cursor is restored when a run stops";
    EXPECT_EQ(session.transformado, 0);
}

TEST_F(ExportDriver, ADamagedMemoryOfEarlierCodingsStopsBeforeAnyTableIsTouched)
{
    QDir().mkpath(session.workDir);
    {
        QFile damaged(session.workPath(QStringLiteral("CURSOST2.DBF")));
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write("no es una tabla");
    }
    const QString planning = ExchangeBuilder().writeTo(dir.path(), QStringLiteral("planificacion.xml"));
    session.materiasPath = dir.filePath(QStringLiteral("SENEMATERIAS.DBF"));
    dbf::createTable(session.materiasPath,
        {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
    ui.fileChoices = {seneca, planning};
    ExportRun run(session, ui);
    try {
        run.run();
        FAIL() << "the run must stop";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("CURSOST2.DBF"))) << error.what();
    }
    EXPECT_FALSE(QFile::exists(session.workPath(QStringLiteral("PERIODOS.DBF"))));
}
