// The command line's answers to the time frame dialog: --frames checked before
// anything is written, then handed to the real dialog of step 9 in list order.
#include "cli/dialog_answers.h"
#include "common/user_error.h"
#include "export/days_hours_table.h"
#include "export/export_run.h"
#include "support/exchange_builder.h"
#include "support/table_rows.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

class FrameAnswers : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.filePath(s("KTEMP"));
        session.programDir = dir.path();
        QDir().mkpath(session.workDir);
    }

    void frames(std::initializer_list<const char *> codes)
    {
        seneca.group(s("JORNADAS_ESCOLARES"));
        for (const char *code : codes)
            seneca.record({s(code), s("Marco ") + s(code), s("01/09/2024"), s("30/06/2025")});
        seneca.group(s("TRAMOS_HORARIOS"));
        for (const char *code : codes)
            seneca.record({s("T"), s("t"), s("480"), s("540"), s(code)});
    }

    struct Outcome {
        bool missing = false;
        QString message;
        std::string printed;
    };

    Outcome check(std::optional<QStringList> option)
    {
        CliAnswers answers;
        answers.framesGiven = option.has_value();
        answers.frames = option.value_or(QStringList());
        CliInterface cli(answers);
        ExportRun run(session, cli);
        run.setDocuments(seneca.document(), ExchangeBuilder().document());
        Outcome outcome;
        testing::internal::CaptureStdout();
        try {
            checkFrameAnswers(run, cli);
        } catch (const DecisionMissing &missing) {
            outcome.missing = true;
            outcome.message = missing.message();
        }
        standardOutput().flush();
        outcome.printed = testing::internal::GetCapturedStdout();
        return outcome;
    }

    // Step 9 with the command line answering the dialog; the MARCOXML of day 1.
    QStringList stepWith(const QStringList &option)
    {
        session.filenameXML = seneca.writeTo(dir.path(), s("seneca.xml"), "UTF-8");
        CliAnswers answers;
        answers.framesGiven = true;
        answers.frames = option;
        CliInterface cli(answers);
        ExportRun run(session, cli);
        run.setDocuments(seneca.document(), ExchangeBuilder().document());
        run.buildDaysHoursTable();
        QStringList frameCodes;
        for (const QStringList &row : readTableRows(session.workPath(days_hours_table::fileName()))) {
            if (row.at(2) == s("1"))
                frameCodes << row.at(10);
        }
        return frameCodes;
    }

    QTemporaryDir dir;
    Session session;
    ExchangeBuilder seneca;
};

const std::string kThreeFramesListed = "A\tMarco A\t01/09/2024\t30/06/2025\n"
                                       "B\tMarco B\t01/09/2024\t30/06/2025\n"
                                       "C\tMarco C\t01/09/2024\t30/06/2025\n";

} // namespace

TEST_F(FrameAnswers, TwoOrMoreFramesNeedTheOptionAndAWrongOneListsTheFrames)
{
    frames({"A", "B", "C"});
    const std::vector<std::optional<QStringList>> wrong = {
        std::nullopt,
        QStringList{s("D")},
        QStringList{s("A"), s("")},
        QStringList{s("A"), s("B"), s("C")},
    };
    for (const auto &option : wrong) {
        SCOPED_TRACE(option ? option->join(QLatin1Char(',')).toStdString() : "no option");
        const Outcome outcome = check(option);
        EXPECT_TRUE(outcome.missing);
        EXPECT_FALSE(outcome.message.isEmpty());
        EXPECT_EQ(outcome.printed, kThreeFramesListed);
    }
    EXPECT_TRUE(QDir(session.workDir).isEmpty());
}

TEST_F(FrameAnswers, OneOrTwoListedCodesPassWithoutPrinting)
{
    frames({"A", "B", "C"});
    for (const QStringList &option : {QStringList{s("B")}, QStringList{s("C"), s("A")}, QStringList{s(" A ")},
             QStringList{s("A"), s("A")}, QStringList{s("A"), s("B"), s("A")}}) {
        SCOPED_TRACE(option.join(QLatin1Char(',')).toStdString());
        const Outcome outcome = check(option);
        EXPECT_FALSE(outcome.missing) << outcome.message.toStdString();
        EXPECT_EQ(outcome.printed, "");
    }
}

TEST_F(FrameAnswers, WithOneFrameOrNoneTheOptionIsNotNeededButMustNameThatFrame)
{
    EXPECT_FALSE(check(std::nullopt).missing);
    EXPECT_TRUE(check(QStringList{s("A")}).missing);
    frames({"A"});
    EXPECT_FALSE(check(std::nullopt).missing);
    EXPECT_FALSE(check(QStringList{s("A")}).missing);
    const Outcome other = check(QStringList{s("B")});
    EXPECT_TRUE(other.missing);
    EXPECT_EQ(other.printed, "A\tMarco A\t01/09/2024\t30/06/2025\n");
}

TEST_F(FrameAnswers, TheChoiceReachesStepNineInListOrderWhateverTheOrderOfTheCodes)
{
    frames({"A", "B", "C"});
    EXPECT_EQ(stepWith({s("C"), s("A")}), (QStringList{s("A"), s("C")}));
    EXPECT_EQ(stepWith({s("B")}), QStringList{s("B")});
}

TEST_F(FrameAnswers, AFileThatChangedSinceTheCheckIsADecisionMissingNotAnEndlessLoop)
{
    frames({"A", "B"});
    const ExchangeBuilder checked = seneca;
    seneca = ExchangeBuilder();
    frames({"X", "Y"});
    session.filenameXML = seneca.writeTo(dir.path(), s("seneca.xml"), "UTF-8");
    CliAnswers answers;
    answers.framesGiven = true;
    answers.frames = {s("A")};
    CliInterface cli(answers);
    ExportRun run(session, cli);
    run.setDocuments(checked.document(), ExchangeBuilder().document());
    testing::internal::CaptureStdout();
    EXPECT_THROW(run.buildDaysHoursTable(), DecisionMissing);
    testing::internal::GetCapturedStdout();
}
