// Step 11: the planning document's teachers and assignments in PROFT.DBF and ASIGT.DBF.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/export_run.h"
#include "export/groups_table.h"
#include "export/planning_document.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"
#include "support/exchange_builder.h"
#include "support/scripted_interface.h"
#include "support/table_rows.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using planning_document::digitSum;

QString s(const char *text)
{
    return QString::fromUtf8(text);
}

// An assignment record of the planning document: only the positions step 11 reads
// carry values.
std::vector<QString> assignment(const char *subject, const char *course, const char *group, const char *level,
    const char *pattern, const char *origin, const char *task)
{
    return {s("A"), s(subject), s(course), s("-"), s(group), s(level), s("-"), s(pattern), s("-"), s("-"), s(origin),
        s("-"), s(task)};
}

// A row of ASIGT.DBF in field order; CAULA and NCONEX stay blank.
QStringList asigt(const char *casig, const char *cprof, const char *cgrup, const char *turno, const char *nivel,
    const char *curso, const char *grupo, const char *horas, const char *sesiones, const char *clave,
    const char *clavecurso, const char *clavegrupo, const char *ctarea, const char *corigen, const char *level)
{
    return {s(casig), s(cprof), s(cgrup), QString(), s(turno), s(nivel), s(curso), s(grupo), s(horas), s(sesiones),
        QString(), s(clave), s(clavecurso), s(clavegrupo), s(ctarea), s(corigen), s(level)};
}

// The rows step 8 left for the subject MAT (Séneca M100) of course C1 with its two groups.
const TableRows kStepEightRows = {
    asigt("MAT", "", "ESO1A", "", "ESO", "1", "A", "4", "1111", "M100", "C1", "G1", "1", "", ""),
    asigt("MAT", "", "ESO1B", "", "ESO", "1", "B", "4", "1111", "M100", "C1", "G2", "1", "", ""),
};

class PlanningStep : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.workDir = dir.path();
        session.programDir = dir.path();
        writeTableRows(path(teachers_table::fileName()), teachers_table::layout(),
            {{s("JGP"), s("Juan García Pérez"), s("Matemáticas"), s("12345678"), s("E1"), s("01/09/2020"),
                 s("viejo@x.es")},
                {s("MLR"), s("María López Ruiz"), s("Lengua"), s(""), s("E2")}});
        writeTableRows(path(subjects_table::fileName()), subjects_table::layout(),
            {{s("MAT"), s(""), s("MATEMÁTICAS")}, {s("#12"), s(""), s("GUARDIA"), s("12"), s("T")},
                {s("1"), s(""), s("UNO")}, {s("15"), s(""), s("QUINCE")}});
        writeTableRows(path(subject_offers_table::fileName()), subject_offers_table::layout(),
            {{s("MAT"), s(""), s("MATEMÁTICAS"), s("M100"), s("C1")}});
        writeTableRows(path(groups_table::fileName()), groups_table::layout(),
            {{s("ESO1A"), s("M"), s("ESO"), s("1"), s("A"), s("G1"), s("C1")},
                {s("ESO1B"), s("M"), s("ESO"), s("1"), s("B"), s("G2"), s("C1")}});
        writeTableRows(path(assignments_table::fileName()), assignments_table::layout(), kStepEightRows);
    }

    void run(const ExchangeBuilder &planning)
    {
        ExportRun run(session, ui);
        run.setDocuments(ExchangeBuilder().document(), planning.document());
        run.applyPlanningAssignments();
    }

    QString path(const QString &fileName) const { return session.workPath(fileName); }
    TableRows assignments() const { return readTableRows(path(assignments_table::fileName())); }
    TableRows teachers() const { return readTableRows(path(teachers_table::fileName())); }

    QTemporaryDir dir;
    Session session;
    ScriptedInterface ui;
};

ExchangeBuilder teacher(const char *seq, const char *id, const char *email)
{
    ExchangeBuilder planning;
    planning.top(s(seq), {s(id), s("Nombre"), s("Apellidos"), s(email)});
    return planning;
}

} // namespace

TEST(DigitSum, AddsTheDigitsOfALessonPattern)
{
    EXPECT_EQ(digitSum(s("2211")), s("6"));
    EXPECT_EQ(digitSum(s("")), s("0"));
    EXPECT_EQ(digitSum(s("0")), s("0"));
    EXPECT_EQ(digitSum(s("99999999999999999999")), s("180"));
}

TEST(DigitSum, ACharacterThatIsNotADigitIsAConversionError)
{
    for (const char *pattern : {"2a11", " 22", "2-1", "²"}) {
        try {
            digitSum(s(pattern));
            ADD_FAILURE() << pattern;
        } catch (const UserError &error) {
            EXPECT_TRUE(error.message().endsWith(s("» no es un número entero"))) << error.what();
        }
    }
}

TEST_F(PlanningStep, AnAssignmentCompletesTheFirstOpenRowAndTheTeacherGetsTheEmail)
{
    run(teacher("PROFESOR_1", "E1", "  juan@x.es  ").record(assignment("M100", "C1", "G2", "5", "2211", "ORI", "99")));
    EXPECT_EQ(assignments(),
        (TableRows{kStepEightRows[0],
            asigt("MAT", "JGP", "ESO1B", "", "ESO", "1", "B", "6", "2211", "M100", "C1", "G2", "99", "ORI", "5")}));
    const TableRows rows = teachers();
    EXPECT_EQ(rows.at(0).at(6), s("juan@x.es"));
    EXPECT_EQ(rows.at(1).at(6), QString());
}

TEST_F(PlanningStep, TheLessonPatternGivesTheWeeklyHoursAndAtLeastOne)
{
    struct Case {
        const char *pattern;
        const char *horas;
        const char *sesiones;
    };
    for (const Case &c : {Case{"2211", "6", "2211"}, Case{"", "1", "1"}, Case{"0", "1", "0"}, Case{"00", "1", "00"},
             Case{"3", "3", "3"}}) {
        SCOPED_TRACE(c.pattern);
        SetUp();
        run(teacher("PROFESOR_1", "E1", "").record(assignment("M100", "C1", "G1", "", c.pattern, "", "99")));
        const QStringList row = assignments().at(0);
        EXPECT_EQ(row.at(8), s(c.horas));
        EXPECT_EQ(row.at(9), s(c.sesiones));
    }
}

TEST_F(PlanningStep, HoursAreStoredAsANumber)
{
    run(teacher("PROFESOR_1", "E1", "").record(assignment("M100", "C1", "G1", "", "", "", "99")));
    dbf::Table table(path(assignments_table::fileName()));
    table.open(dbf::Table::Access::ReadShared);
    EXPECT_DOUBLE_EQ(table.number(0, table.fieldIndex(s("HORAS"))), 1.0);
}

TEST_F(PlanningStep, TheSecondTeacherOfOneSubjectAndGroupAppendsARowWithTheGroupsValues)
{
    ExchangeBuilder planning = teacher("PROFESOR_1", "E1", "");
    planning.record(assignment("M100", "C1", "G1", "", "22", "", "99"));
    planning.top(s("PROFESOR_2"), {s("E2"), s(""), s(""), s("")});
    planning.record(assignment("M100", "C1", "G1", "", "1", "", "99"));
    planning.record(assignment("M100", "C1", "G1", "", "11", "", "99"));
    run(planning);
    EXPECT_EQ(assignments(),
        (TableRows{asigt("MAT", "JGP", "ESO1A", "", "ESO", "1", "A", "4", "22", "M100", "C1", "G1", "99", "", ""),
            kStepEightRows[1],
            asigt("MAT", "MLR", "ESO1A", "M", "ESO", "1", "A", "1", "1", "M100", "C1", "G1", "99", "", ""),
            asigt("MAT", "MLR", "ESO1A", "M", "ESO", "1", "A", "2", "11", "M100", "C1", "G1", "99", "", "")}));
}

TEST_F(PlanningStep, TheTaskCodeTakesTheActivityMarkAndOnlyActivitiesOtherThanOneBecomeRows)
{
    ExchangeBuilder planning = teacher("PROFESOR_1", "E1", "");
    planning.record(assignment("M100", "C1", "G1", "", "1", "", "12")); // completes; task #12
    planning.record(assignment("GUARDIA", "C1", "G2", "", "2", "O", "12")); // task rule with #12
    planning.record(assignment("OTRA", "C2", "", "", "1", "", "15")); // task rule without a # record
    planning.record(assignment("OTRA", "C2", "G1", "", "1", "", "1")); // "1" never becomes a row
    planning.record(assignment("OTRA", "C2", "G1", "", "1", "", "77")); // unknown: dropped
    run(planning);
    EXPECT_EQ(assignments(),
        (TableRows{asigt("MAT", "JGP", "ESO1A", "", "ESO", "1", "A", "1", "1", "M100", "C1", "G1", "#12", "", ""),
            kStepEightRows[1], asigt("#12", "JGP", "", "", "", "", "", "2", "2", "#12", "C1", "G2", "#12", "O", ""),
            asigt("15", "JGP", "", "", "", "", "", "1", "1", "15", "C2", "", "15", "", "")}));
}

TEST_F(PlanningStep, ANewRowForAnEmptyOrUnknownGroupKeyHasNoGroupValues)
{
    ExchangeBuilder planning = teacher("PROFESOR_1", "E1", "");
    planning.record(assignment("M100", "C1", "", "", "1", "", "99"));
    planning.record(assignment("M100", "C1", "G9", "", "1", "", "99"));
    run(planning);
    const TableRows rows = assignments();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[2], asigt("MAT", "JGP", "", "", "", "", "", "1", "1", "M100", "C1", "", "99", "", ""));
    EXPECT_EQ(rows[3], asigt("MAT", "JGP", "", "", "", "", "", "1", "1", "M100", "C1", "G9", "99", "", ""));
}

TEST_F(PlanningStep, AssignmentValuesAreUsedAsTheyStandWhileTheTeachersIdAndEmailAreTrimmed)
{
    ExchangeBuilder planning = teacher("PROFESOR_1", "  E2  ", "  maria@x.es ");
    planning.record(assignment(" M100", "C1", "G1", "", "1", "", "99")); // leading space: another subject
    planning.record(assignment("M100", "C1", "G1", " 7 ", "1", " ORI", " 15"));
    run(planning);
    EXPECT_EQ(assignments(),
        (TableRows{asigt("MAT", "MLR", "ESO1A", "", "ESO", "1", "A", "1", "1", "M100", "C1", "G1", " 15", " ORI", "7"),
            kStepEightRows[1]}));
    EXPECT_EQ(teachers().at(1).at(6), s("maria@x.es"));
}

TEST_F(PlanningStep, TheNthTeacherTakesTheAssignmentsOfGroupNWhateverItsOwnSeq)
{
    ExchangeBuilder planning = teacher("PROFESOR_2", "E1", "");
    planning.record(assignment("M100", "C1", "G1", "", "1", "", "99"));
    planning.top(s("PROFESOR_1"), {s("E2"), s(""), s(""), s("")});
    planning.record(assignment("M100", "C1", "G2", "", "1", "", "99"));
    run(planning);
    const TableRows rows = assignments();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].at(1), s("MLR")) << "the group PROFESOR_2 belongs to the second teacher, E2";
    EXPECT_EQ(rows[1].at(1), s("JGP")) << "the group PROFESOR_1 belongs to the first teacher, E1";
}

TEST_F(PlanningStep, AnUnknownTeachersAssignmentsAreWrittenWithoutATeacher)
{
    QFile file(path(teachers_table::fileName()));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    ExchangeBuilder planning = teacher("PROFESOR_1", "E9", "nadie@x.es");
    planning.record(assignment("M100", "C1", "G1", "", "1", "", "15"));
    planning.top(s("PROFESOR_2")); // no values of its own: its assignments are skipped
    planning.record(assignment("M100", "C1", "G2", "", "1", "", "15"));
    run(planning);
    EXPECT_EQ(assignments(),
        (TableRows{asigt("MAT", "", "ESO1A", "", "ESO", "1", "A", "1", "1", "M100", "C1", "G1", "15", "", ""),
            kStepEightRows[1]}));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
}

TEST_F(PlanningStep, ADocumentWithoutTeachersChangesNothing)
{
    run(ExchangeBuilder());
    EXPECT_EQ(assignments(), kStepEightRows);
}

TEST_F(PlanningStep, AnAssignmentRecordWithoutValuesIsSkippedAndMissingPositionsReadAsEmpty)
{
    ExchangeBuilder planning = teacher("PROFESOR_1", "E1", "");
    planning.record({});
    planning.record({s("A"), s("M100"), s("C1"), s("-"), s("G1")});
    run(planning);
    EXPECT_EQ(assignments().at(0),
        asigt("MAT", "JGP", "ESO1A", "", "ESO", "1", "A", "1", "1", "M100", "C1", "G1", "", "", ""));
}

TEST_F(PlanningStep, RowsLeftWithoutATeacherStayOpenForLaterAssignments)
{
    ExchangeBuilder planning = teacher("PROFESOR_1", "E9", ""); // not in PROFT.DBF
    planning.record(assignment("M100", "C1", "G1", "", "1", "", "99"));
    planning.record(assignment("M100", "C1", "G9", "", "1", "", "99"));
    planning.top(s("PROFESOR_2"), {s("E1"), s(""), s(""), s("")});
    planning.record(assignment("M100", "C1", "G1", "", "22", "", "99"));
    planning.record(assignment("M100", "C1", "G9", "", "333", "", "99"));
    run(planning);
    EXPECT_EQ(assignments(),
        (TableRows{asigt("MAT", "JGP", "ESO1A", "", "ESO", "1", "A", "4", "22", "M100", "C1", "G1", "99", "", ""),
            kStepEightRows[1], asigt("MAT", "JGP", "", "", "", "", "", "9", "333", "M100", "C1", "G9", "99", "", "")}));
}

TEST_F(PlanningStep, TheAssignmentThatCompletesARowGivesItsLevelAnEmptyOneLeavingTheFieldEmpty)
{
    // The first assignment's teacher is not in PROFT.DBF, so its rows stay open and
    // carry its level until the second teacher's assignments complete them.
    ExchangeBuilder planning = teacher("PROFESOR_1", "E9", "");
    planning.record(assignment("M100", "C1", "G1", "7", "1", "O1", "99"));
    planning.record(assignment("M100", "C1", "G2", "7", "1", "O1", "99"));
    planning.top(s("PROFESOR_2"), {s("E1"), s(""), s(""), s("")});
    planning.record(assignment("M100", "C1", "G1", "", "22", "O2", "98"));
    planning.record(assignment("M100", "C1", "G2", "8", "22", "O2", "98"));
    run(planning);
    EXPECT_EQ(assignments(),
        (TableRows{asigt("MAT", "JGP", "ESO1A", "", "ESO", "1", "A", "4", "22", "M100", "C1", "G1", "98", "O2", ""),
            asigt("MAT", "JGP", "ESO1B", "", "ESO", "1", "B", "4", "22", "M100", "C1", "G2", "98", "O2", "8")}));
}
