// Step 1: the academic year and its dates in PERIODOS.DBF.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/periods_table.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Rows = std::vector<QStringList>;

class PeriodsStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.path();
        session.programDir = dir.path();
    }

    Rows run(const ExchangeBuilder &seneca)
    {
        ExportRun run(session, ui);
        run.setDocuments(seneca.document(), ExchangeBuilder().document());
        run.buildPeriodsTable();
        return periods();
    }

    Rows periods()
    {
        dbf::Table table(session.workPath(periods_table::fileName()));
        table.open(dbf::Table::Access::ReadShared);
        Rows rows;
        for (int row : table.liveRows())
            rows.push_back({table.text(row, 0), table.text(row, 1), table.text(row, 2)});
        return rows;
    }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
};

const QString year = QStringLiteral("2024");
const QString start = QStringLiteral("01/09/2024");
const QString end = QStringLiteral("30/06/2025");

ExchangeBuilder frames(const QString &first, const QString &last)
{
    return ExchangeBuilder()
        .group(QStringLiteral("JORNADAS_ESCOLARES"))
        .record({QStringLiteral("M1"), QStringLiteral("Mañana"), first, last});
}

} // namespace

TEST_F(PeriodsStep, FirstGroupWithThreeValuesGivesOneRecord)
{
    EXPECT_EQ(run(ExchangeBuilder().top(QStringLiteral("CURSO"), {year, start, end}).top(QStringLiteral("OTRO"))),
        (Rows{{year, start, end}}));
}

TEST_F(PeriodsStep, AnEmptyDateTakesBothDatesFromTheFirstTimeFrame)
{
    ExchangeBuilder seneca
        = ExchangeBuilder().top(QStringLiteral("CURSO"), {year, start, QString()}).top(QStringLiteral("OTRO"));
    seneca.group(QStringLiteral("JORNADAS_ESCOLARES"))
        .record({QStringLiteral("M1"), QStringLiteral("Mañana"), QStringLiteral("15/09/2024"),
            QStringLiteral("23/06/2025")})
        .record({QStringLiteral("T1"), QStringLiteral("Tarde"), QStringLiteral("x"), QStringLiteral("y")});
    EXPECT_EQ(run(seneca), (Rows{{year, QStringLiteral("15/09/2024"), QStringLiteral("23/06/2025")}}));
}

TEST_F(PeriodsStep, BothGroupsQualifyingGiveTwoRecordsAndOnlyTheSecondTakesFrameDates)
{
    ExchangeBuilder seneca = ExchangeBuilder()
                                 .top(QStringLiteral("CURSO"), {year, start, QString()})
                                 .top(QStringLiteral("CURSO2"), {QStringLiteral("2025"), QString(), QString()});
    seneca.group(QStringLiteral("JORNADAS_ESCOLARES"))
        .record({QStringLiteral("M1"), QStringLiteral("M"), QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(run(seneca),
        (Rows{{year, start, QString()}, {QStringLiteral("2025"), QStringLiteral("a"), QStringLiteral("b")}}));
}

TEST_F(PeriodsStep, CutsTheYearToFourAndDatesToTenCharacters)
{
    EXPECT_EQ(run(ExchangeBuilder().top(
                  QStringLiteral("CURSO"), {QStringLiteral("2024/2025"), QStringLiteral("01/09/2024 08:00"), end})),
        (Rows{{QStringLiteral("2024"), start, end}}));
}

TEST_F(PeriodsStep, AGroupWithOneValueDoesNotQualify)
{
    ExchangeBuilder seneca = ExchangeBuilder()
                                 .top(QStringLiteral("SOLO"), {QStringLiteral("x")})
                                 .top(QStringLiteral("CURSO"), {year, start, end});
    EXPECT_EQ(run(seneca), (Rows{{year, start, end}}));
}

TEST_F(PeriodsStep, MissingPositionsReadAsEmptyText)
{
    ExchangeBuilder seneca = ExchangeBuilder().top(QStringLiteral("CURSO"), {year, start});
    seneca.group(QStringLiteral("JORNADAS_ESCOLARES"))
        .record({QStringLiteral("M1"), QStringLiteral("M"), QStringLiteral("a")});
    EXPECT_EQ(run(seneca), (Rows{{year, QStringLiteral("a"), QString()}}));
}

TEST_F(PeriodsStep, NoQualifyingGroupStopsWithAClearMessageLeavingTheTableEmpty)
{
    ExportRun exportRun(session, ui);
    exportRun.setDocuments(frames(start, end).document(), ExchangeBuilder().document());
    try {
        exportRun.buildPeriodsTable();
        FAIL() << "the run must stop";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("curso académico"))) << error.what();
    }
    EXPECT_TRUE(periods().empty());
}
