// The non-regular timetable: one record group per "#" lesson with the activity
// code and the minutes of its period.
#include "import_fixture.h"

#include "common/user_error.h"
#include "support/xml_builders.h"

#include <gmock/gmock.h>

using namespace import_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QString qs(const char *text)
{
    return QString::fromUtf8(text);
}

class NonRegularTimetable : public ImportFixture {
protected:
    NonRegularTimetable() { teacher(qs("JLM"), qs("1001")); }

    std::string registros(int teacher = 1) const
    {
        return xml::attribute(
            teacherGroups(output(), "HORARIOS_NO_REGULARES").at(std::size_t(teacher - 1)), "registros")
            .toStdString();
    }
};

} // namespace

TEST_F(NonRegularTimetable, EachLessonOfAnActivityGetsItsOwnMinutes)
{
    period(1, 2, qs("0"), qs("T12"), qs("09:00"), qs("10:00"), qs("60"));
    period(3, 4, qs("0"), qs("T34"), qs("11:00"), qs("11:55"), qs("55"));
    lesson({.prof = qs("JLM"), .dia = 1, .hora = 2, .asig = qs("#G"), .tarea = qs("#G")});
    lesson({.prof = qs("JLM"), .dia = 2, .hora = 1, .asig = qs("MAT")}); // regular: not here
    lesson({.prof = qs("JLM"), .dia = 3, .hora = 4, .asig = qs("#G"), .tarea = qs("#G")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_THAT(
        nonRegular(), ElementsAre(Datos{"X_ACTIVIDAD=G", "N_MINSEN=60"}, Datos{"X_ACTIVIDAD=G", "N_MINSEN=55"}));
    EXPECT_EQ(registros(), "2");
}

TEST_F(NonRegularTimetable, OnlyOneLeadingHashComesOffTheTask)
{
    const std::vector<std::pair<const char *, std::string>> cases = {
        {"#123", "X_ACTIVIDAD=123"},
        {"123", "X_ACTIVIDAD=123"},
        {"##7", "X_ACTIVIDAD=#7"},
        {"", "X_ACTIVIDAD="},
        {"1#2", "X_ACTIVIDAD=1#2"},
    };
    for (const auto &[tarea, expected] : cases) {
        tables.at(solution_table::fileName()).rows.clear();
        lesson({.prof = qs("JLM"), .asig = qs("#A"), .tarea = qs(tarea)});
        ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
        EXPECT_THAT(nonRegular(), ElementsAre(Datos{expected, "N_MINSEN=0"})) << tarea;
    }
}

TEST_F(NonRegularTimetable, LessonsWithoutADayAreNeitherCountedNorWritten)
{
    period(1, 1, qs("0"), qs("T11"), qs("08:00"), qs("09:00"), qs("60"));
    lesson({.prof = qs("JLM"), .dia = 0, .asig = qs("#G"), .tarea = qs("#G")});
    lesson({.prof = qs("JLM"), .dia = 1, .asig = qs("#H"), .tarea = qs("#H")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_THAT(nonRegular(), ElementsAre(Datos{"X_ACTIVIDAD=H", "N_MINSEN=60"}));
    EXPECT_EQ(registros(), "1");
}

TEST_F(NonRegularTimetable, ATeacherWithoutActivitiesHasOnlyItsTwoDatos)
{
    teacher(qs("ABC"), qs("1002"));
    lesson({.prof = qs("JLM"), .asig = qs("MAT")});
    lesson({.prof = qs("ABC"), .asig = qs("#G"), .tarea = qs("#G")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_THAT(nonRegular(1), IsEmpty());
    EXPECT_EQ(registros(1), "0");
    EXPECT_EQ(xml::childNodeCount(teacherGroups(output(), "HORARIOS_NO_REGULARES").front()), 2);
    EXPECT_EQ(nonRegular(2).size(), 1u);
    EXPECT_EQ(registros(2), "1");
}

TEST_F(NonRegularTimetable, MinutesComeOnlyFromThePeriodOfTheLessonsFrame)
{
    period(1, 1, qs("0"), qs("T11"), qs("08:00"), qs("09:00"), qs("60"));
    period(1, 1, qs("1"), qs("M11"), qs("15:00"), qs("15:45"), qs("45"));
    lesson({.prof = qs("JLM"), .marco = qs("1"), .asig = qs("#G"), .tarea = qs("#G")});
    lesson({.prof = qs("JLM"), .marco = qs("0"), .asig = qs("#G"), .tarea = qs("#G")});
    lesson({.prof = qs("JLM"), .hora = 2, .marco = qs("1"), .asig = qs("#G"), .tarea = qs("#G")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_THAT(nonRegular(),
        ElementsAre(Datos{"X_ACTIVIDAD=G", "N_MINSEN=45"}, Datos{"X_ACTIVIDAD=G", "N_MINSEN=60"},
            Datos{"X_ACTIVIDAD=G", "N_MINSEN=0"}));
}

TEST_F(NonRegularTimetable, MinutesThatAreNoWholeNumberStopTheRun)
{
    period(1, 1, qs("0"), qs("T11"), qs("08:00"), qs("09:00"), qs("sesenta"));
    lesson({.prof = qs("JLM"), .asig = qs("#G"), .tarea = qs("#G")});
    try {
        runImport();
        ADD_FAILURE() << "the run went on";
    } catch (const UserError &error) {
        EXPECT_THAT(error.message().toStdString(), ::testing::HasSubstr("«sesenta» no es un número entero"));
        EXPECT_THAT(error.message().toStdString(), ::testing::HasSubstr("MINUTOS"));
    }
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(NonRegularTimetable, TeachersAreFoundByTheirWholeCodeAndQuotesAreNoProblem)
{
    tables.at(teachers_table::fileName()).rows.clear();
    teacher(qs("O'NL"), qs("1001"));
    teacher(qs("JL"), qs("1002"));
    lesson({.prof = qs("O'NL"), .asig = qs("#A"), .tarea = qs("#A")});
    lesson({.prof = qs("JLM"), .asig = qs("#B"), .tarea = qs("#B")});
    lesson({.prof = qs("jl"), .asig = qs("#C"), .tarea = qs("#C")});
    lesson({.prof = qs("JL"), .asig = qs("#D"), .tarea = qs("#D")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_THAT(nonRegular(1), ElementsAre(Datos{"X_ACTIVIDAD=A", "N_MINSEN=0"}));
    EXPECT_THAT(nonRegular(2), ElementsAre(Datos{"X_ACTIVIDAD=D", "N_MINSEN=0"}));
}
