// The export driver's questions, its answers to missing files, and its promise
// that a damaged input file leaves the working folder as it was.
#include "common/dbf_table.h"
#include "common/run_driver.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
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
                     .group(QStringLiteral("EMPLEADOS"))
                     .writeTo(dir.path(), QStringLiteral("seneca.xml"));
    }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
    QString seneca;
};

} // namespace

TEST_F(ExportDriver, CancellingTheSenecaDialogOnTheFirstRunSaysItWasCancelledAtOnce)
{
    ExportRun run(session, ui);
    EXPECT_EQ(run.run(), ExportRun::Outcome::Cancelled);
    EXPECT_EQ(ui.messages,
        (QStringList{export_texts::twoFiles(), export_texts::chooseSeneca(), run_texts::choiceCancelled()}));
    EXPECT_EQ(session.transformado, 0);
    EXPECT_FALSE(ui.closed);
}

TEST_F(ExportDriver, InBatchModeACancelledChoiceGivesMinusOneAndClosesTheWindow)
{
    session.batchMode = 2;
    ExportRun run(session, ui);
    EXPECT_EQ(run.run(), ExportRun::Outcome::Cancelled);
    EXPECT_EQ(ui.messages.last(), run_texts::choiceCancelled());
    EXPECT_EQ(session.transformado, -1);
    EXPECT_TRUE(ui.closed);
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

// A cancelled dialog never goes on with the file of an earlier attempt: the person
// may have cancelled because that file is the wrong one.
TEST_F(ExportDriver, ACancelledChoiceAfterAnEarlierAttemptCancelsInsteadOfReusingTheFileChosenBefore)
{
    const QString missingPlanning = dir.filePath(QStringLiteral("no-existe.xml"));
    ui.fileChoices = {seneca, missingPlanning};
    {
        ExportRun first(session, ui);
        EXPECT_EQ(first.run(), ExportRun::Outcome::MissingFile);
    }
    EXPECT_EQ(session.filenameXML, seneca);
    ui.messages.clear();
    ui.fileChoices = {std::nullopt};
    ExportRun second(session, ui);
    EXPECT_EQ(second.run(), ExportRun::Outcome::Cancelled);
    EXPECT_EQ(ui.messages,
        (QStringList{export_texts::twoFiles(), export_texts::chooseSeneca(), run_texts::choiceCancelled()}));
    EXPECT_EQ(ui.courseDialogsShown, 0);
    EXPECT_FALSE(QFileInfo::exists(session.workDir)) << "nothing was written";

    // The same for the planning file.
    ui.messages.clear();
    ui.fileChoices = {seneca, std::nullopt};
    ExportRun third(session, ui);
    EXPECT_EQ(third.run(), ExportRun::Outcome::Cancelled);
    EXPECT_EQ(ui.messages.last(), run_texts::choiceCancelled());
    EXPECT_FALSE(QFileInfo::exists(session.workDir));
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

namespace {

// Every file of a folder and its bytes.
QHash<QString, QByteArray> folderBytes(const QString &path)
{
    QHash<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(path).entryInfoList(QDir::Files)) {
        QFile file(info.filePath());
        if (file.open(QIODevice::ReadOnly))
            files.insert(info.fileName(), file.readAll());
    }
    return files;
}

QByteArray entityDocument()
{
    return "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b "
           "\"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
           "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">]>\n"
           "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"EMPLEADOS\"><grupo_datos><dato>1</dato><dato>&d;&d;&d;</dato>"
           "</grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
}

QString write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
    return path;
}

} // namespace

// The files chosen the wrong way round, the same file twice, or a file made to
// expand in memory: the run stops before writing, says which file looks wrong,
// and an earlier export in the working folder stays byte for byte.
TEST_F(ExportDriver, FilesThatAreNotWhatTheyWereChosenAsStopTheRunAndLeaveAnEarlierExportAsItWas)
{
    QDir().mkpath(session.workDir);
    for (const char *table : {"PERIODOS.DBF", "PROFT.DBF", "ASIGT.DBF", "CURSOST2.DBF"})
        write(session.workPath(QString::fromLatin1(table)), QByteArray("tabla anterior ") + table);
    const QHash<QString, QByteArray> before = folderBytes(session.workDir);
    session.materiasPath = dir.filePath(QStringLiteral("SENEMATERIAS.DBF"));
    dbf::createTable(session.materiasPath,
        {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});

    const QString planning = ExchangeBuilder()
                                 .top(QStringLiteral("P1"), {QStringLiteral("E1")})
                                 .group(QStringLiteral("PROFESOR_1"))
                                 .record({QStringLiteral("A"), QStringLiteral("M1")})
                                 .writeTo(dir.path(), QStringLiteral("planificacion.xml"));
    const QString copyOfSeneca = dir.filePath(QStringLiteral("copia.xml"));
    QFile::copy(seneca, copyOfSeneca);
    const QString noGroups = ExchangeBuilder()
                                 .top(QStringLiteral("OTRO"), {QStringLiteral("1")})
                                 .writeTo(dir.path(), QStringLiteral("x.xml"));
    const QString entities = write(dir.filePath(QStringLiteral("entidades.xml")), entityDocument());
    // A timetable document of another program: only its module says what it is.
    const QString timetable = write(dir.filePath(QStringLiteral("horarios.xml")),
        "<?xml version=\"1.0\"?>\n<SERVICIO modulo=\"HORARIOS\" tipo=\"I\"><BLOQUE_DATOS>"
        "<grupo_datos seq=\"PROFESOR_1\"><dato nombre_dato=\"X_EMPLEADO\">1</dato></grupo_datos>"
        "<grupo_datos seq=\"EMPLEADOS\"/></BLOQUE_DATOS></SERVICIO>\n");
    const QString noTeachers = ExchangeBuilder()
                                   .top(QStringLiteral("OTRO"), {QStringLiteral("1")})
                                   .group(QStringLiteral("DETALLES"))
                                   .writeTo(dir.path(), QStringLiteral("sin-profesores.xml"));

    struct Case {
        const char *name;
        QString seneca, planning;
        QString wrongFile; // named in the message
        QString says;
    };
    const Case cases[] = {
        {"swapped", planning, seneca, planning, QStringLiteral("al revés")},
        {"same path", seneca, seneca, seneca, QStringLiteral("mismo archivo")},
        {"same bytes", seneca, copyOfSeneca, copyOfSeneca, QStringLiteral("mismo contenido")},
        {"no Séneca group", noGroups, planning, noGroups, QStringLiteral("no parece de Séneca")},
        {"entities in the Séneca file", entities, planning, entities, QStringLiteral("declara entidades")},
        {"entities in the planning file", seneca, entities, entities, QStringLiteral("declara entidades")},
        {"timetable document as Séneca file", timetable, planning, timetable,
            QStringLiteral("parece un documento de horarios para subir a Séneca")},
        {"timetable document as planning file", seneca, timetable, timetable,
            QStringLiteral("parece un documento de horarios para subir a Séneca")},
        {"neither shape as planning file", seneca, noTeachers, noTeachers,
            QStringLiteral("no parece de Planificación")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ui.fileChoices = {c.seneca, c.planning};
        ExportRun run(session, ui);
        try {
            run.run();
            ADD_FAILURE() << "the run must stop";
        } catch (const UserError &error) {
            EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(c.wrongFile))) << error.what();
            EXPECT_TRUE(error.message().contains(c.says)) << error.what();
        }
        EXPECT_EQ(folderBytes(session.workDir), before);
        EXPECT_EQ(session.transformado, 0);
    }

    // A planning file that holds a group of the Séneca file, and teachers.
    const QString planningWithSenecaGroup = ExchangeBuilder()
                                                .top(QStringLiteral("P1"), {QStringLiteral("E1")})
                                                .group(QStringLiteral("UNIDADES"))
                                                .record({QStringLiteral("U1"), QStringLiteral("x")})
                                                .writeTo(dir.path(), QStringLiteral("planificacion2.xml"));
    ui.fileChoices = {seneca, planningWithSenecaGroup};
    ExportRun run(session, ui);
    try {
        run.run();
        ADD_FAILURE() << "the run must stop";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(planningWithSenecaGroup))) << error.what();
        EXPECT_TRUE(error.message().contains(QStringLiteral("PLANIFICACIÓN, parece de Séneca"))) << error.what();
        EXPECT_TRUE(error.message().contains(QStringLiteral("al revés"))) << error.what();
    }
    EXPECT_EQ(folderBytes(session.workDir), before);
}
