// Step 8: ASIGT.DBF, one assignment per subject of a course and group of that
// course, with the subject found by name in ASIGNOMT.DBF.
#include "export_steps_fixture.h"

#include "export/assignments_table.h"
#include "export/courses_table.h"
#include "export/groups_table.h"
#include "export/subjects_table.h"
#include "export/weekly_load.h"

using namespace export_steps;

namespace {

class AssignmentsStep : public ExportStepsFixture {
protected:
    // ASIGNOMT.DBF rows: COD, NOMBRE (subjects), or COD, NOMBRE, "T" (tasks).
    void writeSubjects(const Rows &subjects)
    {
        Rows rows;
        for (const Row &s : subjects) {
            const bool task = s.size() > 2;
            rows.push_back({s[0], s[1].substr(0, 10), s[1], task ? s[0] : "", task ? "T" : "F", ""});
        }
        writeWorkTable(subjects_table::fileName(), subjects_table::layout(), rows);
    }
    // GRUPOST.DBF rows: ABREV, NIVEL, CURSO, GRUPO, CLAVE, CLAVECURSO.
    void writeGroups(const Rows &groups)
    {
        Rows rows;
        for (const Row &g : groups)
            rows.push_back({g[0], "", g[1], g[2], g[3], g[4], g[5], "", "0"});
        writeWorkTable(groups_table::fileName(), groups_table::layout(), rows);
    }
    void build(const ExchangeBuilder &seneca) { runOver(seneca).buildAssignmentsTable(); }
    Rows assignments() const { return records(assignments_table::fileName()); }
    // CASIG, CGRUP, CLAVE, CLAVECURSO of every assignment.
    Rows pairs() const { return columns(assignments_table::fileName(), {"CASIG", "CGRUP", "CLAVE", "CLAVECURSO"}); }
};

ExchangeBuilder materias()
{
    return ExchangeBuilder().group(QStringLiteral("MATERIAS"));
}

// A whole ASIGT row as step 8 writes it.
Row assignment(const std::string &subject, const std::string &group, const std::string &level,
    const std::string &course, const std::string &letter, const std::string &subjectKey, const std::string &courseKey,
    const std::string &groupKey)
{
    return {subject, "", group, "", "", level, course, letter, "4", "1111", "", subjectKey, courseKey, groupKey, "1",
        "", ""};
}

} // namespace

TEST(WeeklyLoad, MinutesBecomeWholeHoursOfOneLessonEach)
{
    struct Case {
        int minutes;
        double hours;
        const char *lessons;
    };
    for (const Case &c : std::vector<Case>{{240, 4, "1111"}, {60, 1, "1"}, {61, 2, "11"}, {150, 3, "111"}, {30, 1, "1"},
             {0, 1, "1"}, {-60, 1, "1"}}) {
        const WeeklyLoad load = weeklyLoadFromMinutes(c.minutes);
        EXPECT_EQ(load.hours, c.hours) << c.minutes;
        EXPECT_EQ(load.lessons, QString::fromLatin1(c.lessons)) << c.minutes;
    }
    EXPECT_EQ(weeklyLoadFromMinutes(kDefaultWeeklyMinutes).hours, 4);
}

TEST_F(AssignmentsStep, WritesTheTableWithItsLayout)
{
    writeSubjects({});
    writeGroups({});
    build(materias());
    EXPECT_EQ(fields(assignments_table::fileName()),
        (Fields{"CASIG C 10", "CPROF C 10", "CGRUP C 10", "CAULA C 10", "TURNO C 1", "NIVEL C 5", "CURSO C 3",
            "GRUPO C 2", "HORAS O 8", "SESIONES C 20", "NCONEX C 4", "CLAVE C 10", "CLAVECURSO C 10", "CLAVEGRUPO C 10",
            "CTAREA C 10", "CORIGEN C 20", "X_NIVCONPAGLEG I 4"}));
    EXPECT_TRUE(assignments().empty());
    EXPECT_EQ(run->tablesWritten, QStringList{assignments_table::fileName()});
}

TEST_F(AssignmentsStep, EveryGroupOfTheCourseGetsTheSubject)
{
    writeSubjects({{"Matemá", "Matemáticas"}, {"BG", "Biología y Geología"}});
    writeGroups({{"ESO1A", "ESO", "1", "A", "U1", "C1"}, {"ESO2A", "ESO", "2", "A", "U3", "C2"},
        {"ESO1B", "ESO", "1", "B", "U2", "C1"}, {"ESO1C", "ESO", "1", "C", "U4", "C1"}});
    build(materias().subject("C1", "Matemáticas", "12").subject("C2", "Biología y Geología", "11"));
    EXPECT_EQ(assignments(),
        (Rows{assignment("Matemá", "ESO1A", "ESO", "1", "A", "12", "C1", "U1"),
            assignment("Matemá", "ESO1B", "ESO", "1", "B", "12", "C1", "U2"),
            assignment("Matemá", "ESO1C", "ESO", "1", "C", "12", "C1", "U4"),
            assignment("BG", "ESO2A", "ESO", "2", "A", "11", "C2", "U3")}));
}

TEST_F(AssignmentsStep, TheNameMatchIgnoresTheCaseOfAToZAndSurroundingSpacesButNotAccents)
{
    writeSubjects({{"BIO", "Biología"}, {"TEC", "  tecnología  "}, {"LAT", "Latín"}});
    writeGroups({{"ESO1A", "ESO", "1", "A", "U1", "C1"}});
    build(materias()
              .subject("C1", "biología", "1")
              .subject("C1", "BIOLOGÍA", "2")
              .subject("C1", "TECNOLOGíA", "3")
              .subject("C1", "LATíN", "4")
              .subject("C1", "LATÍN", "5"));
    EXPECT_EQ(pairs(), (Rows{{"BIO", "ESO1A", "1", "C1"}, {"TEC", "ESO1A", "3", "C1"}, {"LAT", "ESO1A", "4", "C1"}}));
}

TEST_F(AssignmentsStep, ANameLongerThanTheFieldMatchesWhatTheTableKeeps)
{
    const std::string name = "Proyecto integrado " + std::string(70, 'x'); // 89 characters
    writeSubjects({{"PI", name}});
    writeGroups({{"ESO1A", "ESO", "1", "A", "U1", "C1"}});
    build(materias().subject("C1", qs(name), "1"));
    EXPECT_EQ(pairs(), (Rows{{"PI", "ESO1A", "1", "C1"}}));
}

TEST_F(AssignmentsStep, ANameOfBothASubjectAndAnActivityGetsTheSubjectCode)
{
    writeSubjects({{"GUA", "Guardia"}, {"#12", "Guardia", "T"}, {"#13", "Tutoría", "T"}});
    writeGroups({{"ESO1A", "ESO", "1", "A", "U1", "C1"}});
    // A name only an activity carries finds the activity, as the search walks every record.
    build(materias().subject("C1", "Guardia", "1").subject("C1", "Tutoría", "2"));
    EXPECT_EQ(pairs(), (Rows{{"GUA", "ESO1A", "1", "C1"}, {"#13", "ESO1A", "2", "C1"}}));
}

TEST_F(AssignmentsStep, EntriesWithoutSubjectOrGroupsGiveNothingAndRepeatsGiveTwice)
{
    writeSubjects({{"MAT", "Matemáticas"}, {"#9", "", "T"}});
    writeGroups({{"ESO1A", "ESO", "1", "A", "U1", "C1"}, {"X", "NIV", "", "X", "U9", "c1"}});
    ExchangeBuilder seneca = materias();
    seneca.subject("C1", "Matemáticas", "1");
    seneca.subject("C1", "Música", "2"); // no such subject
    seneca.subject("C7", "Matemáticas", "1"); // no such course
    seneca.subject("C1", "", "3"); // no name: no subject, not even a nameless task
    seneca.record({QStringLiteral("C1")}); // too short
    seneca.subject("C1", "Matemáticas", "1"); // listed again
    build(seneca);
    EXPECT_EQ(pairs(), (Rows{{"MAT", "ESO1A", "1", "C1"}, {"MAT", "ESO1A", "1", "C1"}}));
}

TEST_F(AssignmentsStep, StepsThreeToEightTogetherGiveEachGroupItsSubjects)
{
    // CURSOST.DBF rows: ABREV, TURNO, NIVEL, CURSO, CLAVE, ESTUD.
    writeWorkTable(courses_table::fileName(), courses_table::layout(),
        {{"", "", "ESO", "1", "C1", "1º ESO"}, {"", "", "ESO", "2", "C2", "2º ESO"}});
    ExchangeBuilder seneca = materias();
    seneca.subject("C1", "Biología y Geología", "11");
    seneca.subject("C2", "Biología y Geología", "11");
    seneca.subject("C1", "Bases Gráficas", "12");
    seneca.subject("C2", "Guardia", "13");
    seneca.group(QStringLiteral("ACTIVIDADES"))
        .record({QStringLiteral("N"), QStringLiteral("5"), QStringLiteral("Guardia"), QStringLiteral("S"),
            QStringLiteral("N")});
    seneca.group(QStringLiteral("UNIDADES"))
        .record({QStringLiteral("U1"), QStringLiteral("1A"), QStringLiteral("C1")})
        .record({QStringLiteral("U2"), QStringLiteral("1B"), QStringLiteral("C1")})
        .record({QStringLiteral("U3"), QStringLiteral("2A"), QStringLiteral("C2")});
    ExportRun &steps = runOver(seneca);
    steps.buildSubjectsTables();
    steps.appendActivityTasks();
    steps.buildTeachersTable();
    steps.buildRoomsTable();
    steps.buildGroupsTable();
    steps.buildAssignmentsTable();
    EXPECT_EQ(assignments(),
        (Rows{assignment("BG", "ESO1A", "ESO", "1", "A", "11", "C1", "U1"),
            assignment("BG", "ESO1B", "ESO", "1", "B", "11", "C1", "U2"),
            assignment("BG", "ESO2A", "ESO", "2", "A", "11", "C2", "U3"),
            assignment("B1", "ESO1A", "ESO", "1", "A", "12", "C1", "U1"),
            assignment("B1", "ESO1B", "ESO", "1", "B", "12", "C1", "U2"),
            assignment("Guardi", "ESO2A", "ESO", "2", "A", "13", "C2", "U3")}));
    EXPECT_EQ(steps.tablesWritten,
        (QStringList{QStringLiteral("ASIGNOMT.DBF"), QStringLiteral("ASIGNOMT2.DBF"), QStringLiteral("PROFT.DBF"),
            QStringLiteral("AULAT.DBF"), QStringLiteral("GRUPOST.DBF"), QStringLiteral("ASIGT.DBF")}));
}
