// The import driver: the Séneca file and the preconditions, the frame of the
// timetable document, the teacher iteration, and writing the output file.
#include "import_fixture.h"

#include "common/run_driver.h"
#include "common/spanish_count.h"
#include "common/user_error.h"
#include "support/tree_timetable.h"
#include "support/xml_builders.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <gmock/gmock.h>

using namespace import_test;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

const QByteArray kLatin1Declaration = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n";

// An expected root element written over several lines for reading: in the file it
// is one line, after the declaration and whatever else stands before it.
QByteArray documentText(const QByteArray &before, const QString &root)
{
    QString line = root;
    line.remove(QRegularExpression(QStringLiteral("\n *")));
    return before + line.toLatin1() + "\n";
}

std::string errorOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message().toStdString();
    }
    ADD_FAILURE() << "no UserError was thrown";
    return std::string();
}

class ImportDriver : public ImportFixture {
protected:
    // One teacher with a regular and a non-regular lesson in a one-period frame.
    void smallSchool()
    {
        teacher(QStringLiteral("JLM"), QStringLiteral("1001"));
        period(1, 1, QStringLiteral("0"), QStringLiteral("T1"), QStringLiteral("08:00"), QStringLiteral("09:00"),
            QStringLiteral("60"));
        subject(QStringLiteral("MAT"));
        activity(QStringLiteral("#G"), QStringLiteral("NN"));
        group(QStringLiteral("ESO1A"), QStringLiteral("U1"), QStringLiteral("C1"));
        assignment(QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("M1"), QStringLiteral("C1"));
        lesson({.prof = QStringLiteral("JLM"),
            .asig = QStringLiteral("MAT"),
            .grupo = QStringLiteral("ESO1A"),
            .aula = QStringLiteral("A12")});
        lesson({.prof = QStringLiteral("JLM"), .asig = QStringLiteral("#G"), .tarea = QStringLiteral("#G")});
    }
};

} // namespace

TEST_F(ImportDriver, WritesTheWholeTimetableDocumentBesideTheSenecaFile)
{
    smallSchool();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);

    EXPECT_EQ(outputBytes(), documentText(kLatin1Declaration, QStringLiteral(R"(
        <SERVICIO modulo="HORARIOS" tipo="I" autor="HORAVENT" fecha="01/02/2025 10:30:00"><BLOQUE_DATOS>
        <grupo_datos seq="ANNO_ACADEMICO"><dato nombre_dato="C_ANNO">2024</dato></grupo_datos>
        <grupo_datos seq="HORARIOS_NO_REGULARES" registros="1">
          <grupo_datos seq="HORARIO_NO_REGULAR_PROFESOR_1" registros="1">
            <dato nombre_dato="X_EMPLEADO">1001</dato><dato nombre_dato="F_TOMAPOS">01/09/2010</dato>
            <grupo_datos seq="ACTIVIDAD_1"><dato nombre_dato="X_ACTIVIDAD">G</dato><dato nombre_dato="N_MINSEN">60</dato></grupo_datos>
          </grupo_datos>
        </grupo_datos>
        <grupo_datos seq="HORARIOS_REGULARES" registros="1">
          <grupo_datos seq="HORARIO_REGULAR_PROFESOR_1" registros="1">
            <dato nombre_dato="X_EMPLEADO">1001</dato><dato nombre_dato="F_TOMAPOS">01/09/2010</dato>
            <grupo_datos seq="ACTIVIDAD_1">
              <dato nombre_dato="N_DIASEMANA">1</dato><dato nombre_dato="X_TRAMO">T1</dato>
              <dato nombre_dato="X_DEPENDENCIA">A12</dato><dato nombre_dato="X_UNIDAD">U1</dato>
              <dato nombre_dato="X_OFERTAMATRIG">C1</dato><dato nombre_dato="X_MATERIAOMG">M1</dato>
              <dato nombre_dato="F_INICIO">15/09/2024</dato><dato nombre_dato="F_FIN">22/06/2025</dato>
              <dato nombre_dato="N_HORINI">480</dato><dato nombre_dato="N_HORFIN">540</dato>
              <dato nombre_dato="X_ACTIVIDAD">1</dato>
            </grupo_datos>
          </grupo_datos>
        </grupo_datos>
        </BLOQUE_DATOS></SERVICIO>
        )")));

    EXPECT_EQ(run->outputPath(), outputPath());
    EXPECT_EQ(run->teacherCount, 1);
    EXPECT_EQ(run->lessonCount, 2);
    EXPECT_EQ(run->droppedCount, 0);
    EXPECT_EQ(session.transformado, 1);
    EXPECT_TRUE(session.completed);
    EXPECT_EQ(session.filenameXML, senecaPath());
    EXPECT_THAT(ui.messages, ElementsAre(import_texts::chooseSeneca(), run_texts::finished()));
    EXPECT_FALSE(ui.busy);
    EXPECT_FALSE(ui.closed);
}

TEST_F(ImportDriver, TheSummarySaysWhereTheDocumentIsWhatItHoldsAndWhatToDoNext)
{
    smallSchool();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    ASSERT_EQ(ui.summaries.size(), 1u);
    RunSummary summary = ui.summaries.front();
    EXPECT_EQ(summary.documentPath, outputPath());
    summary.addNotes({QStringLiteral("una nota")});
    EXPECT_EQ(summary.text().toStdString(),
        "Importación terminada: el documento de horarios para Séneca está escrito.\n"
        "\n"
        "Documento para Séneca:\n"
        "  " + QDir::toNativeSeparators(outputPath()).toStdString()
            + "\n"
              "\n"
              "Contenido:\n"
              "  Profesores: 1\n"
              "  Lecciones: 2\n"
              "  Lecciones descartadas: 0\n"
              "\n"
              "Avisos:\n"
              "  una nota\n"
              "\n"
              "Qué hacer ahora:\n"
              "  Lea el informe de comprobación ("
            + QDir::toNativeSeparators(run->reportPath()).toStdString()
            + ") antes de subir el documento a Séneca.\n"
              "  Entre en Séneca y suba este documento en la importación de horarios.\n");
    EXPECT_EQ(summary.reportPath, run->reportPath());
    // The window shows the summary behind "Proceso finalizado", which stays the last word.
    EXPECT_EQ(ui.messages.last(), run_texts::finished());
}

TEST_F(ImportDriver, OutputEqualsWhatSavingReloadingCorrectingAndSavingAgainGives)
{
    smallSchool();
    // A teacher whose provisional count differs from what the group holds: a
    // lesson whose task no activity carries is not counted, but is written.
    lesson({.prof = QStringLiteral("JLM"),
        .asig = QStringLiteral("MAT"),
        .tarea = QStringLiteral("999"),
        .grupo = QStringLiteral("ESO1A")});
    origin(QStringLiteral("7"), QStringLiteral("CONC"));
    lesson({.prof = QStringLiteral("JLM"),
        .asig = QStringLiteral("MAT"),
        .grupo = QStringLiteral("ESO1A"),
        .concierto = QStringLiteral("CONC")});
    assignment(QStringLiteral("MAT"), QStringLiteral("ESO1A"), QStringLiteral("M2"), QStringLiteral("C1"),
        QStringLiteral("3"));
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    const QByteArray written = outputBytes();

    xml::Document reloaded = output();
    correctRegularCounts(reloaded);
    EXPECT_EQ(xml::toBytes(reloaded), written);
    for (xml::Node group : teacherGroups(reloaded, "HORARIOS_REGULARES"))
        EXPECT_EQ(xml::attribute(group, "registros").toInt(), int(xml::childElements(group, "grupo_datos").size()));
    // The single space of a missing authorisation survives the reload.
    EXPECT_THAT(written.toStdString(), HasSubstr("<dato nombre_dato=\"X_ORIHORACTETP\"> </dato>"));
}

TEST_F(ImportDriver, OutputIsNamedAfterTheSenecaFileAndASecondRunOverwritesIt)
{
    smallSchool();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(ImportRun::defaultOutputPath(senecaPath()), outputPath());
    EXPECT_EQ(QFileInfo(outputPath()).fileName(), QStringLiteral("ResultadoHoravoExportacion.xml"));

    teacher(QStringLiteral("ABC"), QStringLiteral("1002"));
    writeTables();
    ASSERT_EQ(importAgain(), ImportRun::Outcome::Completed);
    EXPECT_EQ(teacherGroups(output(), "HORARIOS_REGULARES").size(), 2u);
    // The Séneca file, the document and its check's report: no temporary file left behind.
    EXPECT_EQ(QDir(senecaDir).entryList(QDir::Files).size(), 3);
}

TEST_F(ImportDriver, AChosenOutputPathReplacesTheDefault)
{
    smallSchool();
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    ui.fileChoices.push_back(senecaPath());
    ImportRun importRun(session, ui);
    importRun.fechaText = [] { return kFecha; };
    const QString chosen = dir.filePath(QStringLiteral("horario.xml"));
    importRun.setOutputPath(chosen);
    ASSERT_EQ(importRun.run(), ImportRun::Outcome::Completed);
    EXPECT_EQ(importRun.outputPath(), chosen);
    EXPECT_TRUE(QFileInfo::exists(chosen));
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(ImportDriver, FechaIsTheRegionalShortDateAndLongTime)
{
    smallSchool();
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    ui.fileChoices.push_back(senecaPath());
    ImportRun importRun(session, ui); // no fixed fecha
    const QDateTime before = QDateTime::currentDateTime();
    ASSERT_EQ(importRun.run(), ImportRun::Outcome::Completed);
    const QDateTime after = QDateTime::currentDateTime();

    const QString fecha = xml::attribute(output().root(), "fecha");
    const QLocale locale = QLocale::system();
    QStringList candidates;
    for (QDateTime moment = before.addMSecs(-before.time().msec()); moment <= after; moment = moment.addSecs(1)) {
        candidates << locale.toString(moment.date(), QLocale::ShortFormat) + QLatin1Char(' ')
                + locale.toString(moment.time(), QLocale::LongFormat);
    }
    EXPECT_TRUE(candidates.contains(fecha)) << fecha.toStdString() << " / " << candidates.join('|').toStdString();
}

TEST_F(ImportDriver, KeepsTheDeclarationAndEncodingOfTheSenecaFile)
{
    teacher(QStringLiteral("MNO"), QStringLiteral("1001"), QStringLiteral("Ñu"));
    ASSERT_EQ(runImport("ISO-8859-1"), ImportRun::Outcome::Completed);
    const QByteArray latin1 = outputBytes();
    EXPECT_TRUE(latin1.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"))
        << latin1.left(60).toStdString();
    EXPECT_TRUE(latin1.contains("\xD1u")) << "Ñ written as one Latin-1 byte";

    ASSERT_EQ(runImport("UTF-8"), ImportRun::Outcome::Completed);
    const QByteArray utf8 = outputBytes();
    EXPECT_TRUE(utf8.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n")) << utf8.left(60).toStdString();
    EXPECT_TRUE(utf8.contains("\xC3\x91u"));
}

TEST_F(ImportDriver, KeepsCommentsOutsideTheRootAndDropsEverythingUnderIt)
{
    writeTables();
    QFile file(senecaPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- exportado -->\n"
               "<SERVICIO modulo=\"OTRO\"><BLOQUE_DATOS><grupo_datos seq=\"X\"><dato>2023/2024</dato></grupo_datos>"
               "<grupo_datos seq=\"EMPLEADOS\"/></BLOQUE_DATOS></SERVICIO>\n");
    file.close();
    periodsYear(QStringLiteral("2023"));
    writeTables();
    ASSERT_EQ(importAgain(), ImportRun::Outcome::Completed);
    EXPECT_EQ(outputBytes(), documentText(kLatin1Declaration + "<!-- exportado -->\n", QStringLiteral(R"(
        <SERVICIO modulo="HORARIOS" tipo="I" autor="HORAVENT" fecha="01/02/2025 10:30:00"><BLOQUE_DATOS>
        <grupo_datos seq="ANNO_ACADEMICO"><dato nombre_dato="C_ANNO">2023</dato></grupo_datos>
        <grupo_datos seq="HORARIOS_NO_REGULARES" registros="0"/>
        <grupo_datos seq="HORARIOS_REGULARES" registros="0"/>
        </BLOQUE_DATOS></SERVICIO>
        )")));
}

TEST_F(ImportDriver, YearTextIsTheFirstFourCharactersOfTheFirstGroup)
{
    const std::vector<std::pair<QString, std::string>> cases = {
        {QStringLiteral("2017/2018"), "2017"},
        {QStringLiteral("201"), "201"},
        {QStringLiteral("2024"), "2024"},
    };
    for (const auto &[text, year] : cases) {
        seneca = ExchangeBuilder().top(QStringLiteral("CURSO"), {text}).group(QStringLiteral("OTRO")).record({"x"});
        periodsYear(QString::fromStdString(year));
        ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
        const xml::Document document = output();
        const std::vector<xml::Node> years
            = document.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"ANNO_ACADEMICO\"]"));
        ASSERT_EQ(years.size(), 1u);
        EXPECT_THAT(datosOf(years.front()), ElementsAre("C_ANNO=" + year)) << text.toStdString();
    }
}

TEST_F(ImportDriver, CountsOnlyTeachersWithAnEmployeeAndNumbersThemInBothSections)
{
    teacher(QStringLiteral("AAA"), QStringLiteral("1001"), QStringLiteral("01/09/2001"));
    teacher(QStringLiteral("BBB"), QStringLiteral("   "));
    teacher(QStringLiteral("CCC"), QStringLiteral(" 1003"), QStringLiteral(" 3/09/2003"));
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(run->teacherCount, 2);

    const xml::Document document = output();
    for (const auto &[section, prefix] : {std::pair{"HORARIOS_NO_REGULARES", "HORARIO_NO_REGULAR_PROFESOR_"},
             std::pair{"HORARIOS_REGULARES", "HORARIO_REGULAR_PROFESOR_"}}) {
        const std::vector<xml::Node> sections = document.select(
            QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"%1\"]").arg(QLatin1String(section)));
        ASSERT_EQ(sections.size(), 1u);
        EXPECT_EQ(xml::attribute(sections.front(), "registros"), QStringLiteral("2"));
        const std::vector<xml::Node> groups = teacherGroups(document, section);
        ASSERT_EQ(groups.size(), 2u) << section;
        // A teacher without lessons has registros 0 and only its two datos, stored values untrimmed.
        EXPECT_EQ(seqOf(groups[0]), std::string(prefix) + "1");
        EXPECT_EQ(xml::attribute(groups[0], "registros"), QStringLiteral("0"));
        EXPECT_THAT(datosOf(groups[0]), ElementsAre("X_EMPLEADO=1001", "F_TOMAPOS=01/09/2001"));
        EXPECT_EQ(xml::childNodeCount(groups[0]), 2);
        EXPECT_EQ(seqOf(groups[1]), std::string(prefix) + "2");
        EXPECT_THAT(datosOf(groups[1]), ElementsAre("X_EMPLEADO= 1003", "F_TOMAPOS= 3/09/2003"));
    }
}

TEST_F(ImportDriver, AnEmptyTeachersTableGivesEmptySections)
{
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    const xml::Document document = output();
    const std::vector<xml::Node> groups = document.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos"));
    ASSERT_EQ(groups.size(), 3u);
    EXPECT_EQ(xml::attribute(groups[1], "registros"), QStringLiteral("0"));
    EXPECT_EQ(xml::attribute(groups[2], "registros"), QStringLiteral("0"));
    EXPECT_EQ(xml::childNodeCount(groups[1]), 0);
    EXPECT_EQ(xml::childNodeCount(groups[2]), 0);
}

TEST_F(ImportDriver, AMissingSenecaFileStopsWithNoExisteArchivoAndACancelledChoiceSaysSo)
{
    struct Case {
        std::optional<QString> choice;
        int batchMode;
        int transformado;
        bool closed;
    };
    const std::vector<Case> cases = {
        {std::nullopt, 0, 0, false},
        {std::nullopt, 2, -1, true},
        {QStringLiteral("/no/existe.xml"), 0, 0, false},
        {QStringLiteral("/no/existe.xml"), 2, -1, true},
    };
    for (const Case &c : cases) {
        ScriptedInterface scripted;
        Session fresh = session;
        fresh.batchMode = c.batchMode;
        scripted.fileChoices.push_back(c.choice);
        ImportRun importRun(fresh, scripted);
        const bool cancelled = !c.choice.has_value();
        EXPECT_EQ(importRun.run(), cancelled ? ImportRun::Outcome::Cancelled : ImportRun::Outcome::MissingFile);
        const QString said = cancelled
            ? run_texts::choiceCancelled()
            : run_texts::noFile() + QStringLiteral(": ") + QDir::toNativeSeparators(*c.choice);
        EXPECT_THAT(scripted.messages, ElementsAre(import_texts::chooseSeneca(), said));
        EXPECT_EQ(fresh.transformado, c.transformado);
        EXPECT_EQ(scripted.closed, c.closed);
        EXPECT_FALSE(fresh.completed);
    }
}

TEST_F(ImportDriver, CancellingTheDialogAfterAnEarlierChoiceCancelsAndWritesNothing)
{
    smallSchool();
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    session.filenameXML = senecaPath();
    ImportRun importRun(session, ui); // the dialog is cancelled: no scripted choice
    importRun.fechaText = [] { return kFecha; };
    EXPECT_EQ(importRun.run(), ImportRun::Outcome::Cancelled);
    EXPECT_EQ(ui.messages.last(), run_texts::choiceCancelled());
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(ImportDriver, MissingPeriodsTableStopsWithItsMessageAndWritesNothing)
{
    smallSchool();
    remove(periods_table::fileName());
    session.batchMode = 2;
    EXPECT_EQ(runImport(), ImportRun::Outcome::MissingPeriods);
    EXPECT_THAT(ui.messages, ElementsAre(import_texts::chooseSeneca(), import_texts::missingPeriods()));
    EXPECT_EQ(session.transformado, 0);
    EXPECT_FALSE(ui.closed);
    EXPECT_FALSE(ui.busy);
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(ImportDriver, MissingTablesStopTheRunNamingThemAndWhatToRunFirst)
{
    smallSchool();
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    QFile::remove(session.workPath(solution_table::fileName()));
    ui.fileChoices.push_back(senecaPath());
    std::string message = errorOf([&] { ImportRun(session, ui).run(); });
    EXPECT_THAT(message, HasSubstr("SOLUC.DBF"));
    EXPECT_THAT(message, HasSubstr("Horavent"));

    QFile::remove(session.workPath(groups_table::fileName()));
    QFile::remove(session.workPath(assignments_table::fileName()));
    ui.fileChoices.push_back(senecaPath());
    message = errorOf([&] { ImportRun(session, ui).run(); });
    EXPECT_THAT(message, HasSubstr("Faltan las tablas GRUPOST.DBF y ASIGT.DBF"));
    EXPECT_THAT(message, HasSubstr("exportación"));
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
    EXPECT_EQ(session.transformado, 0);
}

TEST_F(ImportDriver, CatalogueTablesMissingBesideOriginsStopTheRun)
{
    smallSchool();
    origin(QStringLiteral("7"), QStringLiteral("CONC"));
    remove(authorisations_table::fileName());
    const std::string message = errorOf([&] { runImport(); });
    EXPECT_THAT(message, HasSubstr("AUTORIZA_C.DBF"));
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(ImportDriver, AMissingFieldIsNamedBeforeAnythingIsWritten)
{
    smallSchool();
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    const QString path = session.workPath(days_hours_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, {dbf::charField("DIHO", 10), dbf::charField("MARCO", 1)});
    ui.fileChoices.push_back(senecaPath());
    const std::string message = errorOf([&] { ImportRun(session, ui).run(); });
    EXPECT_THAT(message, HasSubstr("DIASHORAST.DBF"));
    EXPECT_THAT(message, HasSubstr("el campo DIA"));
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(ImportDriver, ASenecaFileWithoutDataStopsNamingTheFile)
{
    const std::vector<QByteArray> files = {
        "<?xml version=\"1.0\"?>\n<SERVICIO><BLOQUE_DATOS>", // not well-formed
        "<?xml version=\"1.0\"?>\n<OTRO><BLOQUE_DATOS><a>2024</a></BLOQUE_DATOS></OTRO>",
        "<?xml version=\"1.0\"?>\n<SERVICIO><DATOS/></SERVICIO>",
        "<?xml version=\"1.0\"?>\n<SERVICIO><BLOQUE_DATOS>   </BLOQUE_DATOS></SERVICIO>",
    };
    smallSchool();
    writeTables();
    for (const QByteArray &bytes : files) {
        QFile file(senecaPath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
        file.close();
        ui.fileChoices.push_back(senecaPath());
        const std::string message = errorOf([&] { ImportRun(session, ui).run(); });
        EXPECT_THAT(message, HasSubstr("Exportacion.xml")) << bytes.toStdString();
        EXPECT_FALSE(QFileInfo::exists(outputPath()));
    }
}

TEST_F(ImportDriver, AFailedRunLeavesAnEarlierOutputAsItWas)
{
    smallSchool();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    const QByteArray earlier = outputBytes();

    // A period whose start is no time stops the run while the document is built.
    tables.at(days_hours_table::fileName()).rows.clear();
    period(1, 1, QStringLiteral("0"), QStringLiteral("T1"), QStringLiteral("8h:00"), QStringLiteral("09:00"),
        QStringLiteral("60"));
    writeTables();
    ui.fileChoices.push_back(senecaPath());
    const std::string message = errorOf([&] { ImportRun(session, ui).run(); });
    EXPECT_THAT(message, HasSubstr("«8h» no es un número entero"));
    EXPECT_THAT(message, HasSubstr("HORADESDE"));
    EXPECT_EQ(outputBytes(), earlier);
    EXPECT_EQ(QDir(senecaDir).entryList(QDir::Files).size(), 3); // with the first run's report
}

TEST_F(ImportDriver, BatchModeClosesTheWindowAfterACompletedRun)
{
    smallSchool();
    session.batchMode = 2;
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(session.transformado, 1);
    EXPECT_TRUE(ui.closed);
}

TEST_F(ImportDriver, ADatoValueWithAControlCharacterStopsTheRun)
{
    teacher(QStringLiteral("JLM"),
        QStringLiteral("10\x01"
                       "01"));
    const std::string message = errorOf([&] { runImport(); });
    EXPECT_THAT(message, HasSubstr("X_EMPLEADO"));
    EXPECT_THAT(message, HasSubstr("10\\x0101"));
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(ImportDriver, ASenecaFileThatDeclaresEntitiesStopsTheRunAndLeavesAnEarlierOutputAsItWas)
{
    smallSchool();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    QFile earlier(outputPath());
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    const QByteArray before = earlier.readAll();
    earlier.close();

    QByteArray laughs = "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY l0 \"lol\">";
    for (int i = 1; i < 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QStringLiteral("&l%1;").arg(i - 1).repeated(10))
                      .toLatin1();
    laughs += "]>\n<SERVICIO><BLOQUE_DATOS><grupo_datos "
              "seq=\"C\"><dato>&l9;</dato></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
    QFile seneca(senecaPath());
    ASSERT_TRUE(seneca.open(QIODevice::WriteOnly | QIODevice::Truncate));
    seneca.write(laughs);
    seneca.close();

    try {
        importAgain();
        ADD_FAILURE() << "the run must stop";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("declara entidades"))) << error.what();
        EXPECT_TRUE(error.message().contains(QDir::toNativeSeparators(senecaPath()))) << error.what();
    }
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), before);
}

TEST_F(ImportDriver, ChecksItsDocumentAndWritesTheReportBesideItWithoutChangingTheOutcome)
{
    // This Séneca file holds no teacher, slot or unit: the check finds errors, and
    // the run still ends as it always has, pointing at the report.
    smallSchool();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    const QString report = QDir(senecaDir).filePath(QStringLiteral("ResultadoHoravoExportacion.html"));
    EXPECT_EQ(run->reportPath(), report);
    EXPECT_TRUE(QFileInfo(report).size() > 0);
    EXPECT_GT(run->checkErrors, 0);
    EXPECT_EQ(session.transformado, 1);
    EXPECT_THAT(ui.messages, ElementsAre(import_texts::chooseSeneca(), run_texts::finished()));
    ASSERT_FALSE(ui.notes.empty());
    EXPECT_EQ(ui.notes.back(),
        import_texts::checkSummary(run->checkErrors, run->checkWarnings, run->checkInformation, report));
    EXPECT_TRUE(ui.notes.back().contains(QStringLiteral("antes de subir el documento a Séneca")));
    // "Proceso finalizado" carries the counts, with errors the word to read the
    // report first, and the report to open from the box.
    EXPECT_EQ(ui.finishedDetails,
        QStringList{import_texts::checkCounts(run->checkErrors, run->checkWarnings, run->checkInformation)
            + QLatin1Char('\n') + import_texts::readReportFirst()});
    EXPECT_EQ(ui.finishedReports, QStringList{report});
}

// Started by the timetabler, the window closes after "Proceso finalizado": the
// box itself carries what the check found.
TEST_F(ImportDriver, InBatchModeTheFinishedBoxCarriesTheChecksCountsBeforeTheWindowCloses)
{
    smallSchool();
    session.batchMode = 2;
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    ASSERT_GT(run->checkErrors, 0);
    EXPECT_TRUE(ui.closed);
    EXPECT_EQ(session.transformado, 1);
    ASSERT_EQ(ui.finishedDetails.size(), 1);
    EXPECT_TRUE(ui.finishedDetails.front().contains(
        QStringLiteral("Comprobación del documento: %1")
            .arg(countOf(run->checkErrors, QStringLiteral("error"), QStringLiteral("errores")))));
    EXPECT_TRUE(ui.finishedDetails.front().contains(import_texts::readReportFirst()));
    EXPECT_EQ(ui.finishedReports, QStringList{run->reportPath()});
}

TEST(SpanishCounts, TheNounFollowsTheCount)
{
    EXPECT_EQ(import_texts::checkCounts(1, 0, 1),
        QStringLiteral("Comprobación del documento: 1 error, 0 avisos, 1 nota informativa."));
    EXPECT_EQ(import_texts::checkCounts(2, 1, 3),
        QStringLiteral("Comprobación del documento: 2 errores, 1 aviso, 3 notas informativas."));
}
