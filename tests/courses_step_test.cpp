// Export step 2: CURSOST.DBF from the Séneca courses, and the level and course
// dialog shown again until it is completed or left by the forced exit.
#include "export/course_dialog.h"
#include "export/courses_table.h"
#include "export_steps_fixture.h"

#include <QFile>

using namespace export_steps;

namespace {

class CoursesStepTest : public ExportStepsFixture {
protected:
    static ExchangeBuilder coursesDocument(const std::vector<std::vector<QString>> &records)
    {
        ExchangeBuilder seneca;
        seneca.group(QStringLiteral("CURSOS_DEL_CENTRO"));
        for (const auto &values : records)
            seneca.record(values);
        return seneca;
    }

    // Dialogs that are answered in turn by the given actions.
    void answerDialogs(std::vector<std::function<void(CourseDialog &)>> answers)
    {
        ui.courseDialog = [this, answers = std::move(answers)](CourseDialog &dialog) {
            dialog.onShow();
            forcedExitOnShow.push_back(dialog.forcedExitVisible());
            ASSERT_LT(size_t(ui.courseDialogsShown - 1), answers.size()) << "more dialogs than expected";
            answers[size_t(ui.courseDialogsShown - 1)](dialog);
        };
    }

    static void fillAndOk(CourseDialog &dialog)
    {
        for (int row = 0; row < dialog.rowCount(); ++row) {
            dialog.setNivel(row, QStringLiteral("ESO"));
            dialog.setCurso(row, QString::number(row + 1));
        }
        dialog.ok();
    }

    std::vector<bool> forcedExitOnShow;
};

} // namespace

TEST_F(CoursesStepTest, WritesEachCourseWithMoreThanOneValueTrimmedAndCutToItsField)
{
    const QString longDescription = QString(79, QLatin1Char('d')) + QStringLiteral("éX");
    ExportRun &step = runOver(coursesDocument({
        {QStringLiteral("1001"), QStringLiteral("1º de E.S.O.")},
        {QStringLiteral("SOLO")},
        {QStringLiteral("  1002 "), QStringLiteral(" 2º Bachillerato  "), QStringLiteral("otro valor")},
        {QStringLiteral("12345678901234"), longDescription},
    }));
    QFile mdx(session.workPath(QStringLiteral("CURSOST.MDX")));
    ASSERT_TRUE(mdx.open(QIODevice::WriteOnly));
    mdx.close();
    QStringList codesInTheGrid;
    answerDialogs({[&](CourseDialog &dialog) {
        for (int row = 0; row < dialog.rowCount(); ++row)
            codesInTheGrid << dialog.clave(row);
        dialog.closeFromTitleBar();
    }});

    EXPECT_EQ(step.buildCoursesTable(), ExportRun::Outcome::LeftUnfinished);

    EXPECT_EQ(fields(courses_table::fileName()),
        (Fields{"ABREV C 3", "TURNO C 1", "NIVEL C 5", "CURSO C 3", "CLAVE C 10", "ESTUD C 80"}));
    EXPECT_EQ(records(courses_table::fileName()),
        (Rows{{"", "", "", "", "1001", "1º de E.S.O."}, {"", "", "", "", "1002", "2º Bachillerato"},
            {"", "", "", "", "1234567890", utf8(longDescription.left(80))}}));
    EXPECT_EQ(
        codesInTheGrid, (QStringList{QStringLiteral("1001"), QStringLiteral("1002"), QStringLiteral("1234567890")}));
    EXPECT_FALSE(mdx.exists());
    EXPECT_EQ(ui.courseDialogsShown, 1);
    EXPECT_EQ(step.tablesWritten, QStringList{QStringLiteral("CURSOST.DBF")}) << "no OK, no memory";
}

TEST_F(CoursesStepTest, ADocumentWithoutCoursesGivesAnEmptyTableAndTheFirstOkPasses)
{
    ExportRun &step = runOver(ExchangeBuilder().group(QStringLiteral("cursos_del_centro")).record({"1", "Uno"}));
    answerDialogs({[](CourseDialog &dialog) {
        EXPECT_EQ(dialog.rowCount(), 0);
        dialog.ok();
    }});

    EXPECT_EQ(step.buildCoursesTable(), ExportRun::Outcome::Completed);
    EXPECT_EQ(ui.courseDialogsShown, 1);
    EXPECT_TRUE(records(courses_table::fileName()).empty());
    EXPECT_TRUE(records(course_memory_table::fileName()).empty());
    EXPECT_EQ(step.tablesWritten, (QStringList{QStringLiteral("CURSOST.DBF"), QStringLiteral("CURSOST2.DBF")}));
    EXPECT_FALSE(session.result);
}

TEST_F(CoursesStepTest, AFailedOkBringsANewDialogThatOffersTheForcedExitFromTheStart)
{
    ExportRun &step = runOver(coursesDocument(
        {{QStringLiteral("1001"), QStringLiteral("Uno")}, {QStringLiteral("1002"), QStringLiteral("Dos")}}));
    answerDialogs({
        [](CourseDialog &dialog) {
            dialog.setNivel(0, QStringLiteral("ESO"));
            dialog.setCurso(0, QStringLiteral("1"));
            dialog.ok(); // the second course has neither
        },
        fillAndOk,
    });

    EXPECT_EQ(step.buildCoursesTable(), ExportRun::Outcome::Completed);
    EXPECT_EQ(ui.courseDialogsShown, 2);
    EXPECT_EQ(forcedExitOnShow, (std::vector<bool>{false, true}));
    EXPECT_EQ(ui.messages, QStringList{QStringLiteral("¡Atención! Falta algún Dato")});
    EXPECT_TRUE(session.result) << "the failed attempt is remembered for the rest of the program's life";
    EXPECT_EQ(records(course_memory_table::fileName()),
        (Rows{{"", "", "ESO", "1", "1001", "Uno"}, {"", "", "ESO", "2", "1002", "Dos"}}));
}

TEST_F(CoursesStepTest, AnEarlierFailedAttemptOffersTheForcedExitInTheFirstDialog)
{
    session.result = true;
    ExportRun &step = runOver(coursesDocument({{QStringLiteral("1001"), QStringLiteral("Uno")}}));
    answerDialogs({fillAndOk});
    EXPECT_EQ(step.buildCoursesTable(), ExportRun::Outcome::Completed);
    EXPECT_EQ(forcedExitOnShow, std::vector<bool>{true});
}

TEST_F(CoursesStepTest, TheForcedExitEndsTheStepAndStoresNoCodings)
{
    ExportRun &step = runOver(coursesDocument({{QStringLiteral("1001"), QStringLiteral("Uno")}}));
    answerDialogs({
        [](CourseDialog &dialog) { dialog.ok(); },
        [](CourseDialog &dialog) { dialog.forceExit(); },
    });

    EXPECT_EQ(step.buildCoursesTable(), ExportRun::Outcome::ForcedExit);
    EXPECT_EQ(ui.courseDialogsShown, 2);
    EXPECT_TRUE(session.result);
    EXPECT_FALSE(workFileExists(course_memory_table::fileName()));
    EXPECT_EQ(records(courses_table::fileName()), (Rows{{"", "", "", "", "1001", "Uno"}}));
}

TEST_F(CoursesStepTest, TakenOverCodingsCarryFromOneExportToTheNext)
{
    const ExchangeBuilder seneca = coursesDocument({{QStringLiteral("1001"), QStringLiteral("Uno")}});
    answerDialogs({fillAndOk, [](CourseDialog &dialog) { dialog.ok(); }});
    EXPECT_EQ(runOver(seneca).buildCoursesTable(), ExportRun::Outcome::Completed);
    EXPECT_EQ(runOver(seneca).buildCoursesTable(), ExportRun::Outcome::Completed);

    EXPECT_EQ(ui.questions.size(), 1) << "asked only once the memory exists";
    EXPECT_EQ(ui.messages, QStringList()) << "the taken-over codings pass the check";
    EXPECT_EQ(records(courses_table::fileName()), (Rows{{"", "", "ESO", "1", "1001", "Uno"}}));
}

// The take-over question belongs to the first showing: after a failed OK the new
// dialog keeps what the person typed over the taken-over codings, and marks the
// cells still missing.
TEST_F(CoursesStepTest, AFailedOkThenMoreTypingKeepsWhatWasTypedAndAsksTheTakeOverQuestionOnce)
{
    writeWorkTable(course_memory_table::fileName(), course_memory_table::layout(),
        {{"", "", "ESO", "1", "6021", "Uno"}, {"", "", "ESO", "2", "6022", "Dos"}});
    ExportRun &step = runOver(coursesDocument({{QStringLiteral("6021"), QStringLiteral("Uno")},
        {QStringLiteral("6022"), QStringLiteral("Dos")}, {QStringLiteral("6023"), QStringLiteral("Tres")}}));
    std::vector<bool> marked;
    std::vector<QString> cursoOnShow;
    answerDialogs({
        [&](CourseDialog &dialog) {
            marked.push_back(dialog.marksMissing());
            dialog.setCurso(1, QStringLiteral("9")); // over the taken-over 2
            dialog.ok(); // 6023 has neither
        },
        [&](CourseDialog &dialog) {
            marked.push_back(dialog.marksMissing());
            cursoOnShow.push_back(dialog.curso(1));
            EXPECT_EQ(dialog.firstIncomplete(), 2);
            dialog.setNivel(2, QStringLiteral("BCT"));
            dialog.setCurso(2, QStringLiteral("1"));
            dialog.ok();
        },
    });
    ui.askAnswers = {UserInterface::Answer::First};

    EXPECT_EQ(step.buildCoursesTable(), ExportRun::Outcome::Completed);
    EXPECT_EQ(ui.courseDialogsShown, 2);
    EXPECT_EQ(ui.questions.size(), 1) << "asked when the dialog first opened, not after the failed OK";
    EXPECT_EQ(marked, (std::vector<bool>{false, true}));
    EXPECT_EQ(cursoOnShow, std::vector<QString>{QStringLiteral("9")});
    EXPECT_EQ(records(courses_table::fileName()),
        (Rows{{"", "", "ESO", "1", "6021", "Uno"}, {"", "", "ESO", "9", "6022", "Dos"},
            {"", "", "BCT", "1", "6023", "Tres"}}));
}
