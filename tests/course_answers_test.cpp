// The command line's answers to the level and course dialog: the check before
// anything is written, and the same answers given to the real dialog of step 2.
#include "cli/dialog_answers.h"
#include "common/run_summary.h"
#include "export/courses_table.h"
#include "export_steps_fixture.h"

#include <QDirIterator>
#include <QFile>

using namespace export_steps;

namespace {

Row course(
    const std::string &clave, const std::string &estud, const std::string &nivel = "", const std::string &curso = "")
{
    return {"", "", nivel, curso, clave, estud};
}

class CourseAnswersTest : public ExportStepsFixture {
protected:
    CourseAnswersTest()
    {
        seneca.group(QStringLiteral("CURSOS_DEL_CENTRO"))
            .record({QStringLiteral("1001"), QStringLiteral("1º ESO")})
            .record({QStringLiteral("1002"), QStringLiteral("Bachillerato; Ciencias")});
    }

    void writeEarlierCodings(const Rows &rows)
    {
        writeWorkTable(course_memory_table::fileName(), course_memory_table::layout(), rows);
    }

    QString writeLevels(const QByteArray &bytes)
    {
        const QString path = dir.filePath(QStringLiteral("niveles.csv"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // Every file of the working folder with its bytes: "nothing written" is this staying equal.
    std::map<QString, QByteArray> workFolder() const
    {
        std::map<QString, QByteArray> files;
        QDirIterator it(session.workDir, QDir::Files);
        while (it.hasNext()) {
            QFile file(it.next());
            EXPECT_TRUE(file.open(QIODevice::ReadOnly));
            files[it.fileName()] = file.readAll();
        }
        return files;
    }

    struct Outcome {
        bool missing = false; // DecisionMissing
        bool failed = false; // any other error
        QString message;
        std::string printed; // standard output
    };

    Outcome check(CliInterface &cli)
    {
        ExportRun &run = runOver(seneca);
        Outcome outcome;
        testing::internal::CaptureStdout();
        try {
            checkCourseAnswers(run, cli);
        } catch (const DecisionMissing &missing) {
            outcome.missing = true;
            outcome.message = missing.message();
        } catch (const UserError &error) {
            outcome.failed = true;
            outcome.message = error.message();
        }
        outcome.printed = testing::internal::GetCapturedStdout();
        return outcome;
    }

    // Step 2 with the command line's answers in place of the window.
    bool stepWith(CliInterface &cli)
    {
        auto step = std::make_unique<ExportRun>(session, cli);
        step->setDocuments(seneca.document(), ExchangeBuilder().document());
        return step->buildCoursesTable() == ExportRun::Outcome::Completed;
    }

    ExchangeBuilder seneca;
    CliAnswers answers;
};

} // namespace

TEST_F(CourseAnswersTest, TakenOverCodingsThatCompleteEveryCoursePassTheCheckWithoutWritingAndThenAreStored)
{
    writeEarlierCodings(
        {course("1001", "1º ESO", "ESO", "1"), course("1002", "Bach", "BCT", "1"), course("OLD", "x", "LS", "1")});
    const auto before = workFolder();
    CliInterface cli(answers);

    const Outcome outcome = check(cli);
    EXPECT_FALSE(outcome.missing) << outcome.message.toStdString();
    EXPECT_EQ(outcome.printed, "");
    EXPECT_EQ(workFolder(), before);

    EXPECT_TRUE(stepWith(cli));
    EXPECT_EQ(records(courses_table::fileName()),
        (Rows{course("1001", "1º ESO", "ESO", "1"), course("1002", "Bachillerato; Ciencias", "BCT", "1")}));
    EXPECT_EQ(records(course_memory_table::fileName()),
        (Rows{
            course("1001", "1º ESO", "ESO", "1"), course("1002", "Bach", "BCT", "1"), course("OLD", "x", "LS", "1")}));
}

TEST_F(CourseAnswersTest, MissingCodingsWriteNothingAndPrintEveryCourseReadyToFill)
{
    writeEarlierCodings({course("1001", "1º ESO", "ESO", "1")});
    const auto before = workFolder();
    CliInterface cli(answers);

    const Outcome outcome = check(cli);
    EXPECT_TRUE(outcome.missing);
    EXPECT_EQ(outcome.message, QStringLiteral("¡Atención! Falta algún Dato"));
    EXPECT_EQ(outcome.printed,
        "CLAVE;NIVEL;CURSO;ESTUD\n"
        "1001;ESO;1;1º ESO\n"
        "1002;;;\"Bachillerato; Ciencias\"\n");
    EXPECT_EQ(workFolder(), before);
}

TEST_F(CourseAnswersTest, DecliningTheTakeOverIsRehearsedWithoutDeletingTheMemory)
{
    writeEarlierCodings({course("1001", "1º ESO", "ESO", "1"), course("1002", "Bach", "BCT", "1")});
    const auto before = workFolder();
    answers.takeOver = false;
    CliInterface cli(answers);

    const Outcome outcome = check(cli);
    EXPECT_TRUE(outcome.missing);
    EXPECT_EQ(outcome.printed, "CLAVE;NIVEL;CURSO;ESTUD\n1001;;;1º ESO\n1002;;;\"Bachillerato; Ciencias\"\n");
    EXPECT_EQ(workFolder(), before);
}

TEST_F(CourseAnswersTest, TheLevelsFileCompletesTheTakenOverCodingsAndAnEmptyCellKeepsAValue)
{
    writeEarlierCodings({course("1001", "1º ESO", "ESO", "1")});
    answers.levelsFile = writeLevels("clave,curso,nivel\n1001,2,\n1002,1,BCT\n");
    CliInterface cli(answers);

    const Outcome outcome = check(cli);
    EXPECT_FALSE(outcome.missing) << outcome.printed;
    EXPECT_FALSE(workFileExists(courses_table::fileName()));

    EXPECT_TRUE(stepWith(cli));
    const Rows expected = {course("1001", "1º ESO", "ESO", "2"), course("1002", "Bachillerato; Ciencias", "BCT", "1")};
    EXPECT_EQ(records(courses_table::fileName()), expected);
    EXPECT_EQ(records(course_memory_table::fileName()), expected);
}

TEST_F(CourseAnswersTest, ARowForAnUnknownCodeIsReportedOnceAndOtherwiseIgnored)
{
    answers.levelsFile = writeLevels("CLAVE;NIVEL;CURSO\n1001;ESO;1\n9999;XX;9\n1002;BCT;2\n");
    CliInterface cli(answers);

    const Outcome outcome = check(cli);
    const bool completed = stepWith(cli);
    // A completed run's notes are printed with its summary.
    cli.showSummary(RunSummary());
    const std::string errors = cli.summaryText().toStdString();

    EXPECT_FALSE(outcome.missing);
    EXPECT_TRUE(completed);
    const std::string report = "línea 3: ningún curso del documento de Séneca tiene la CLAVE \"9999\"";
    const size_t first = errors.find(report);
    EXPECT_NE(first, std::string::npos) << errors;
    EXPECT_EQ(errors.find(report, first + 1), std::string::npos) << errors;
    EXPECT_EQ(records(course_memory_table::fileName()),
        (Rows{course("1001", "1º ESO", "ESO", "1"), course("1002", "Bachillerato; Ciencias", "BCT", "2")}));
}

TEST_F(CourseAnswersTest, AnswersThatLeaveACourseIncompleteReportTheUnknownRowsAndPrintWhatIsKnown)
{
    answers.levelsFile = writeLevels("CLAVE;NIVEL;CURSO\n1001;ESO;\n1003;BT;1\n");
    auto cli = std::make_unique<CliInterface>(answers);

    testing::internal::CaptureStderr();
    const Outcome outcome = check(*cli);
    cli.reset(); // the notes of a run that stops reach standard error as it ends
    const std::string errors = testing::internal::GetCapturedStderr();

    EXPECT_TRUE(outcome.missing);
    EXPECT_NE(errors.find("CLAVE \"1003\""), std::string::npos) << errors;
    EXPECT_EQ(outcome.printed, "CLAVE;NIVEL;CURSO;ESTUD\n1001;ESO;;1º ESO\n1002;;;\"Bachillerato; Ciencias\"\n");
    EXPECT_TRUE(workFolder().empty());
}

TEST_F(CourseAnswersTest, AnUnreadableLevelsFileOrMemoryIsAnErrorNamingItNotAMissingDecision)
{
    answers.levelsFile = writeLevels("CLAVE;NIVEL\n1001;ESO\n");
    CliInterface withBadLevels(answers);
    const Outcome badLevels = check(withBadLevels);
    EXPECT_TRUE(badLevels.failed);
    EXPECT_TRUE(badLevels.message.contains(QStringLiteral("niveles.csv"))) << badLevels.message.toStdString();

    answers.levelsFile.clear();
    QFile damaged(session.workPath(course_memory_table::fileName()));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("no es una tabla");
    damaged.close();
    CliInterface withDamagedMemory(answers);
    const Outcome badMemory = check(withDamagedMemory);
    EXPECT_TRUE(badMemory.failed);
    EXPECT_TRUE(badMemory.message.contains(QStringLiteral("CURSOST2.DBF"))) << badMemory.message.toStdString();
    EXPECT_EQ(workFolder().size(), 1u) << "nothing written";
}
