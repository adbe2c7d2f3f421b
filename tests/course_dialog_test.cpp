// The level and course dialog without its window: the take-over of earlier codings,
// the check at OK, the memory of codings in CURSOST2.DBF and the forced exit.
#include "export/course_dialog.h"
#include "export/courses_table.h"
#include "export_steps_fixture.h"

#include <QFile>

using namespace export_steps;

namespace {

// A record of CURSOST.DBF or CURSOST2.DBF in field order: ABREV, TURNO, NIVEL, CURSO, CLAVE, ESTUD.
Row course(const std::string &clave, const std::string &estud, const std::string &nivel = "",
    const std::string &curso = "", const std::string &abrev = "", const std::string &turno = "")
{
    return {abrev, turno, nivel, curso, clave, estud};
}

// Keeps, in order, the messages shown and what the window would show after each change.
class WatchingInterface : public ScriptedInterface {
public:
    QStringList log;
    void showMessage(const QString &text) override
    {
        ScriptedInterface::showMessage(text);
        log << QStringLiteral("message: ") + text;
    }
};

class CourseDialogTest : public ExportStepsFixture {
protected:
    void writeCourses(const Rows &rows) { writeWorkTable(courses_table::fileName(), courses_table::layout(), rows); }
    void writeEarlierCodings(const Rows &rows)
    {
        writeWorkTable(course_memory_table::fileName(), course_memory_table::layout(), rows);
    }
    Rows courses() const { return records(courses_table::fileName()); }
    Rows earlierCodings() const { return records(course_memory_table::fileName()); }
    bool memoryExists() const { return workFileExists(course_memory_table::fileName()); }

    std::unique_ptr<CourseDialog> shownDialog(bool earlierAttemptFailed = false)
    {
        auto dialog = std::make_unique<CourseDialog>(session.workDir, earlierAttemptFailed, ui);
        dialog->onShow();
        return dialog;
    }

    static std::vector<std::array<std::string, 4>> grid(const CourseDialog &dialog)
    {
        std::vector<std::array<std::string, 4>> rows;
        for (int row = 0; row < dialog.rowCount(); ++row) {
            rows.push_back(
                {utf8(dialog.clave(row)), utf8(dialog.estud(row)), utf8(dialog.nivel(row)), utf8(dialog.curso(row))});
        }
        return rows;
    }
};

} // namespace

TEST_F(CourseDialogTest, FirstExportAsksNothingAndACompleteOkCreatesTheMemoryWithOneRecordPerCourse)
{
    writeCourses({course("C1", "1º ESO", "", "", "AB", "M"), course("C2", "2º Bachillerato")});
    auto dialog = shownDialog();
    EXPECT_TRUE(ui.questions.isEmpty());
    EXPECT_FALSE(dialog->forcedExitVisible());
    dialog->setNivel(0, QStringLiteral("ESO"));
    dialog->setCurso(0, QStringLiteral("1"));
    dialog->setNivel(1, QStringLiteral("BCT"));
    dialog->setCurso(1, QStringLiteral("2"));
    dialog->ok();

    EXPECT_FALSE(dialog->result);
    EXPECT_TRUE(dialog->result2.isEmpty());
    EXPECT_EQ(dialog->closed(), CourseDialog::Closed::WithOk);
    EXPECT_TRUE(dialog->codingsStored());
    EXPECT_TRUE(ui.messages.isEmpty());
    const Rows expected = {course("C1", "1º ESO", "ESO", "1", "AB", "M"), course("C2", "2º Bachillerato", "BCT", "2")};
    EXPECT_EQ(courses(), expected);
    EXPECT_EQ(earlierCodings(), expected);
    EXPECT_EQ(fields(course_memory_table::fileName()),
        (Fields{"ABREV C 3", "TURNO C 1", "NIVEL C 5", "CURSO C 3", "CLAVE C 10", "ESTUD C 80"}));
}

TEST_F(CourseDialogTest, TakingOverFillsEveryCourseAndAnImmediateOkPasses)
{
    writeCourses({course("C1", "1º ESO"), course("C2", "2º Bachillerato")});
    writeEarlierCodings({course("C2", "Otro nombre", "BCT", "2", "XX", "T"), course("C1", "1º ESO", "ESO", "1")});
    auto dialog = shownDialog();

    EXPECT_EQ(ui.questions,
        QStringList{QStringLiteral("Recuperación de Niveles y Cursos de una exportación anterior|"
                                   "Existen Niveles y Cursos ya definidos en una Exportación anterior.\n\r"
                                   "¿Quiere recuperar las codificaciones introducidas anteriormente?")});
    using GridRow = std::array<std::string, 4>;
    EXPECT_EQ(
        grid(*dialog), (std::vector<GridRow>{{"C1", "1º ESO", "ESO", "1"}, {"C2", "2º Bachillerato", "BCT", "2"}}));
    dialog->ok();
    EXPECT_FALSE(dialog->result);
    // Only the level and course are taken over; the course keeps its own other fields.
    EXPECT_EQ(courses(), (Rows{course("C1", "1º ESO", "ESO", "1"), course("C2", "2º Bachillerato", "BCT", "2")}));
}

TEST_F(CourseDialogTest, TakingOverUsesTheFirstRecordOfACodeAndLeavesCoursesWithoutOneAsTheyWere)
{
    writeCourses({course("C1", "Uno"), course("C3", "Tres", "EDSO", "3")});
    writeEarlierCodings(
        {course("C1", "Uno", "ESO", "1"), course("C1", "Uno", "XXX", "9"), course("C2", "Dos", "BT", "2")});
    auto dialog = shownDialog();
    dialog->closeFromTitleBar();
    EXPECT_EQ(courses(), (Rows{course("C1", "Uno", "ESO", "1"), course("C3", "Tres", "EDSO", "3")}));
}

TEST_F(CourseDialogTest, CancelOnTheQuestionDeletesTheMemoryAndACompleteOkThenHoldsOnlyTheCurrentCourses)
{
    writeCourses({course("C1", "1º ESO")});
    writeEarlierCodings({course("VIEJO", "Ya no se imparte", "LS", "1"), course("C1", "1º ESO", "ESO", "1")});
    QFile mdx(session.workPath(QStringLiteral("CURSOST2.MDX")));
    ASSERT_TRUE(mdx.open(QIODevice::WriteOnly));
    mdx.close();
    ui.askAnswers = {UserInterface::Answer::Second};

    auto dialog = shownDialog();
    EXPECT_FALSE(memoryExists());
    EXPECT_TRUE(mdx.exists()) << "only the table file is deleted";
    EXPECT_EQ(dialog->nivel(0), QString());
    dialog->setNivel(0, QStringLiteral("EDSO"));
    dialog->setCurso(0, QStringLiteral("1"));
    dialog->ok();
    EXPECT_EQ(earlierCodings(), (Rows{course("C1", "1º ESO", "EDSO", "1")}));
}

TEST_F(CourseDialogTest, ALevelOrCourseOfOnlySpacesOrControlCharactersCountsAsMissing)
{
    struct Case {
        const char *nivel;
        const char *curso;
        bool missing;
    };
    const Case cases[] = {
        {"ESO", "1", false}, {"   ", "1", true}, {"ESO", "  ", true}, {"", "1", true}, {"ESO", "", true},
        {"\t", "1", true}, {"ESO", "\r\n", true}, {" E", "1", false},
        {"\xC2\xA0", "1", false}, // a non-breaking space is a character like any other
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("NIVEL \"") + c.nivel + "\" CURSO \"" + c.curso + "\"");
        QFile::remove(session.workPath(course_memory_table::fileName()));
        writeCourses({course("C1", "Uno", "ESO", "1"), course("C2", "Dos")});
        auto dialog = shownDialog();
        dialog->setNivel(1, QString::fromUtf8(c.nivel));
        dialog->setCurso(1, QString::fromUtf8(c.curso));
        EXPECT_EQ(dialog->firstIncomplete(), c.missing ? 1 : -1);
        dialog->ok();
        EXPECT_EQ(dialog->result, c.missing);
        EXPECT_EQ(memoryExists(), !c.missing) << "the memory is written only after a complete OK";
    }
}

TEST_F(CourseDialogTest, CoursesAbsentFromTheDocumentStayInTheMemoryUnchanged)
{
    writeCourses({course("C1", "1º ESO (nuevo nombre)")});
    writeEarlierCodings({course("GONE", "Antiguo", "OLD", "9", "AB", "T"), course("C1", "1º ESO", "ESO", "1")});
    auto dialog = shownDialog();
    dialog->setNivel(0, QStringLiteral("EDSO"));
    dialog->ok();
    // A known code gets its level and course only; its other fields stay as first stored.
    EXPECT_EQ(earlierCodings(),
        (Rows{course("GONE", "Antiguo", "OLD", "9", "AB", "T"), course("C1", "1º ESO", "EDSO", "1")}));
}

TEST_F(CourseDialogTest, ACodeListedTwiceIsStoredOnceWithTheValuesOfItsLastCourse)
{
    writeCourses({course("C1", "Uno", "ESO", "1"), course("C1", "Uno bis", "ESO", "2")});
    auto dialog = shownDialog();
    dialog->ok();
    EXPECT_EQ(earlierCodings(), (Rows{course("C1", "Uno", "ESO", "2")}));
}

TEST_F(CourseDialogTest, AFailedOkShowsTheIncidentWhileTheMessageIsOnScreenThenTheForcedExit)
{
    WatchingInterface watching;
    writeCourses({course("C1", "Uno", "ESO", "1"), course("C2", "Dos", "BCT")});
    CourseDialog dialog(session.workDir, false, watching);
    dialog.changed = [&] {
        watching.log << QStringLiteral("incident %1, forced exit %2")
                            .arg(dialog.incidentVisible() ? "shown" : "hidden",
                                dialog.forcedExitVisible() ? "shown" : "hidden");
    };
    dialog.onShow();
    dialog.ok();

    EXPECT_TRUE(dialog.result);
    EXPECT_TRUE(dialog.result2.isEmpty());
    EXPECT_EQ(dialog.closed(), CourseDialog::Closed::WithOk);
    EXPECT_EQ(watching.log,
        (QStringList{QStringLiteral("incident shown, forced exit hidden"),
            QStringLiteral("message: ¡Atención! Falta algún Dato"),
            QStringLiteral("incident shown, forced exit shown")}));
    EXPECT_FALSE(memoryExists());
    EXPECT_FALSE(dialog.codingsStored());
}

TEST_F(CourseDialogTest, AfterAFailedAttemptTheForcedExitShowsFromTheStartAndHidesWhenAColumnIsEntered)
{
    writeCourses({course("C1", "Uno")});
    auto dialog = shownDialog(true);
    EXPECT_TRUE(dialog->forcedExitVisible());
    EXPECT_FALSE(dialog->incidentVisible());
    dialog->focusEnteredColumn();
    EXPECT_FALSE(dialog->forcedExitVisible());
}

TEST_F(CourseDialogTest, TheForcedExitReportsFueraAndStoresNothing)
{
    writeCourses({course("C1", "Uno", "ESO")});
    auto dialog = shownDialog(true);
    dialog->forceExit();
    EXPECT_FALSE(dialog->result);
    EXPECT_EQ(dialog->result2, QStringLiteral("fuera"));
    EXPECT_EQ(dialog->closed(), CourseDialog::Closed::WithCancel);
    EXPECT_FALSE(memoryExists());
    EXPECT_EQ(courses(), (Rows{course("C1", "Uno", "ESO")}));
}

TEST_F(CourseDialogTest, ClosingFromTheTitleBarKeepsWhatWasTypedAndLeavesTheMemoryAlone)
{
    writeCourses({course("C1", "Uno")});
    writeEarlierCodings({course("C1", "Uno", "ESO", "1")});
    auto dialog = shownDialog();
    dialog->setNivel(0, QStringLiteral("EDSO"));
    dialog->setCurso(0, QString());
    dialog->closeFromTitleBar();

    EXPECT_FALSE(dialog->result);
    EXPECT_TRUE(dialog->result2.isEmpty());
    EXPECT_EQ(dialog->closed(), CourseDialog::Closed::FromTitleBar);
    EXPECT_EQ(courses(), (Rows{course("C1", "Uno", "EDSO", "")}));
    EXPECT_EQ(earlierCodings(), (Rows{course("C1", "Uno", "ESO", "1")}));
}

TEST_F(CourseDialogTest, TypedValuesAreStoredCutToTheirFieldsAndReachTheDiskAtOnce)
{
    writeCourses({course("C1", "Uno")});
    auto dialog = shownDialog();
    dialog->setNivel(0, QStringLiteral("ABCDEFG"));
    dialog->setCurso(0, QStringLiteral("1234"));
    EXPECT_EQ(dialog->nivel(0), QStringLiteral("ABCDE"));
    EXPECT_EQ(dialog->curso(0), QStringLiteral("123"));
    EXPECT_EQ(CourseDialog::nivelWidth(), 5);
    EXPECT_EQ(CourseDialog::cursoWidth(), 3);
    dialog.reset(); // the table closes with the dialog, as with an error
    EXPECT_EQ(courses(), (Rows{course("C1", "Uno", "ABCDE", "123")}));
}

TEST_F(CourseDialogTest, TheTakeOverQuestionNamesItsAnswersAndOnlyTheSecondDeletesTheEarlierCodings)
{
    using Answer = UserInterface::Answer;
    const struct {
        const char *label;
        Answer answer;
        bool memoryKept;
        const char *nivel;
    } cases[] = {
        {"Recuperar", Answer::First, true, "ESO"},
        {"Escape or the close box", Answer::Dismissed, true, "ESO"},
        {"No recuperar, empezar de nuevo", Answer::Second, false, ""},
    };
    for (const auto &c : cases) {
        writeCourses({course("C1", "1º ESO")});
        writeEarlierCodings({course("C1", "1º ESO", "ESO", "1")});
        ui.askAnswers = {c.answer};
        auto dialog = shownDialog();
        EXPECT_EQ(ui.askButtons.last(), QStringLiteral("Recuperar|No recuperar, empezar de nuevo")) << c.label;
        EXPECT_EQ(memoryExists(), c.memoryKept) << c.label;
        EXPECT_EQ(utf8(dialog->nivel(0)), c.nivel) << c.label;
        dialog->closeFromTitleBar();
    }
}

TEST_F(CourseDialogTest, ABlockPastedFromASpreadsheetFillsNivelAndCursoFromTheCurrentRowDown)
{
    writeCourses({course("C1", "Uno", "X", "9"), course("C2", "Dos"), course("C3", "Tres", "KEEP", "7")});
    auto dialog = shownDialog();
    using GridRow = std::array<std::string, 4>;

    // From NIVEL on the first row: two columns, CR LF line ends, the last line break
    // ending the block, an empty cell emptying its value.
    EXPECT_EQ(dialog->paste(0, CourseDialog::PasteColumn::Nivel, QStringLiteral("ESO\t1\r\nBCT\t\r\n")), 2);
    EXPECT_EQ(grid(*dialog),
        (std::vector<GridRow>{{"C1", "Uno", "ESO", "1"}, {"C2", "Dos", "BCT", ""}, {"C3", "Tres", "KEEP", "7"}}));
    EXPECT_TRUE(ui.messages.isEmpty());

    // From CURSO: only the first column is taken; a quoted cell is read whole.
    EXPECT_EQ(dialog->paste(1, CourseDialog::PasteColumn::Curso, QStringLiteral("\"2\"\tignored\n3")), 2);
    EXPECT_EQ(grid(*dialog),
        (std::vector<GridRow>{{"C1", "Uno", "ESO", "1"}, {"C2", "Dos", "BCT", "2"}, {"C3", "Tres", "KEEP", "3"}}));
    EXPECT_TRUE(ui.messages.isEmpty());

    // Rows below the last course and values too long for their field are said in one message.
    EXPECT_EQ(dialog->paste(2, CourseDialog::PasteColumn::Nivel, QStringLiteral("BACHILLER\t1\nEXTRA\t2\n")), 1);
    EXPECT_EQ(utf8(dialog->nivel(2)), "BACHI");
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.front().contains(QStringLiteral("1 fila pegada quedaba"))) << utf8(ui.messages.front());
    EXPECT_TRUE(ui.messages.front().contains(QStringLiteral("1 valor era más largo"))) << utf8(ui.messages.front());

    dialog->ok();
    EXPECT_EQ(courses(),
        (Rows{course("C1", "Uno", "ESO", "1"), course("C2", "Dos", "BCT", "2"), course("C3", "Tres", "BACHI", "1")}));
}

TEST_F(CourseDialogTest, TheSavedTemplateFilledInASpreadsheetLoadsBack)
{
    writeCourses({course("C1", "1º ESO; sede \"norte\"", "ESO", ""), course("C2", "2º Bachillerato")});
    auto dialog = shownDialog();
    const QString templatePath = dir.filePath(QStringLiteral("plantilla.csv"));
    ASSERT_TRUE(dialog->saveTemplate(templatePath));
    QFile saved(templatePath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QByteArray bytes = saved.readAll();
    saved.close();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF")) << "spreadsheets need the BOM to read the accents";
    EXPECT_EQ(QString::fromUtf8(bytes.mid(3)), dialog->codingsCsv());
    EXPECT_EQ(utf8(dialog->codingsCsv()),
        "CLAVE;NIVEL;CURSO;ESTUD\nC1;ESO;;\"1º ESO; sede \"\"norte\"\"\"\nC2;;;2º Bachillerato\n");

    // The school fills the template in and adds a row for a course Séneca does not list.
    QByteArray filled = bytes;
    filled.replace("C1;ESO;;", "C1;ESO;1;").replace("C2;;;", "C2;BCT;2;");
    filled.append("C9;LS;1;Ya no se imparte\n");
    ASSERT_TRUE(saved.open(QIODevice::WriteOnly));
    saved.write(filled);
    saved.close();

    EXPECT_TRUE(dialog->loadLevels(templatePath));
    EXPECT_EQ(dialog->firstIncomplete(), -1);
    EXPECT_EQ(utf8(dialog->curso(0)), "1");
    EXPECT_EQ(utf8(dialog->nivel(1)), "BCT");
    ASSERT_EQ(ui.messages.size(), 1);
    EXPECT_TRUE(ui.messages.front().contains(QStringLiteral("línea 4: CLAVE \"C9\""))) << utf8(ui.messages.front());
}

TEST_F(CourseDialogTest, AFileThatCannotBeReadOrWrittenIsSaidInSpanishAndChangesNothing)
{
    writeCourses({course("C1", "Uno", "ESO", "1")});
    auto dialog = shownDialog();
    const QString missing = dir.filePath(QStringLiteral("no-esta.csv"));
    EXPECT_FALSE(dialog->loadLevels(missing));
    EXPECT_FALSE(dialog->saveTemplate(dir.filePath(QStringLiteral("no-hay-carpeta/plantilla.csv"))));
    ASSERT_EQ(ui.messages.size(), 2);
    EXPECT_TRUE(ui.messages.at(0).contains(QStringLiteral("el archivo no existe"))) << utf8(ui.messages.at(0));
    EXPECT_TRUE(ui.messages.at(1).contains(QStringLiteral("no existe"))) << utf8(ui.messages.at(1));
    EXPECT_EQ(utf8(dialog->nivel(0)), "ESO");
}
