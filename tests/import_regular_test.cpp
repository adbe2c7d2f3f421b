// The regular timetable: the lookups and fallbacks of a lesson's record group, the
// requirement flags, and the authorisation code of the catalogues.
#include "import_fixture.h"

#include <gmock/gmock.h>

using namespace import_test;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

namespace {

QString qs(const char *text)
{
    return QString::fromUtf8(text);
}

class RegularTimetable : public ImportFixture {
protected:
    // One teacher, one period (day 1, period 1 of frame 0) and the group ESO1A.
    RegularTimetable()
    {
        teacher(qs("JLM"), qs("1001"));
        period(1, 1, qs("0"), qs("T11"), qs("08:00"), qs("09:00"), qs("60"));
        group(qs("ESO1A"), qs("U1"), qs("C1"));
    }

    static Placed mat(const QString &group = qs("ESO1A"))
    {
        return {.prof = qs("JLM"), .asig = qs("MAT"), .grupo = group};
    }

    // The single regular record of teacher 1.
    Datos onlyRecord()
    {
        const std::vector<Datos> records = regular();
        if (records.size() != 1) {
            ADD_FAILURE() << records.size() << " records";
            return {};
        }
        return records.front();
    }

    static std::string value(const Datos &datos, const char *name)
    {
        const std::string prefix = std::string(name) + '=';
        for (const std::string &dato : datos) {
            if (dato.rfind(prefix, 0) == 0)
                return dato.substr(prefix.size());
        }
        return "(none)";
    }
};

} // namespace

TEST_F(RegularTimetable, ALessonTranslatesIntoAllItsDatos)
{
    assignment(qs("MAT"), qs("ESO1A"), qs("M1"), qs("C1"));
    lesson({.prof = qs("JLM"), .asig = qs("MAT"), .grupo = qs("ESO1A"), .aula = qs(" A12")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    // The room as stored, leading space included; a plain subject has activity 1.
    EXPECT_EQ(onlyRecord(),
        regularDatos(qs("1"), qs("T11"), qs(" A12"), qs("U1"), qs("C1"), qs("M1"), qs("480"), qs("540"), qs("1")));
}

TEST_F(RegularTimetable, AssignmentIsTheFirstMatchWithALevelElseTheLastMatch)
{
    struct Case {
        const char *name;
        std::vector<std::pair<const char *, const char *>> assignments; // subject key, level
        std::string subjectKey;
    };
    const std::vector<Case> cases = {
        {"only the second has a level", {{"M1", ""}, {"M2", "3"}, {"M3", "4"}}, "M2"},
        {"neither has a level: the last", {{"M1", ""}, {"M2", ""}}, "M2"},
        {"the first has a level", {{"M1", "3"}, {"M2", "4"}}, "M1"},
        {"the first has a level, the second none", {{"M1", "3"}, {"M2", ""}}, "M1"},
        {"a single match", {{"M1", ""}}, "M1"},
    };
    for (const Case &c : cases) {
        tables.at(assignments_table::fileName()).rows.clear();
        tables.at(solution_table::fileName()).rows.clear();
        // Records of other subjects and groups around the matches are never taken.
        assignment(qs("MAT"), qs("ESO1B"), qs("X1"), qs("C1"), qs("9"));
        for (const auto &[key, level] : c.assignments) {
            assignment(qs("MAT"), qs("ESO1A"), qs(key), qs("C1"), qs(level));
            assignment(qs("LEN"), qs("ESO1A"), qs("X2"), qs("C1"), qs("9"));
        }
        lesson(mat());
        ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
        EXPECT_EQ(value(onlyRecord(), "X_MATERIAOMG"), c.subjectKey) << c.name;
    }
}

TEST_F(RegularTimetable, CourseKeyComesFromTheGroupWhenTheAssignmentHasNone)
{
    tables.at(groups_table::fileName()).rows.clear();
    group(qs("ESO1A"), qs("U1"), qs("1234"));
    assignment(qs("MAT"), qs("ESO1A"), qs("M1"), QString());
    lesson(mat());
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    const Datos record = onlyRecord();
    EXPECT_EQ(value(record, "X_OFERTAMATRIG"), "1234");
    EXPECT_EQ(value(record, "X_UNIDAD"), "U1");
    EXPECT_EQ(value(record, "X_MATERIAOMG"), "M1");
}

TEST_F(RegularTimetable, AnAssignmentsCourseKeyIsKeptOverTheGroups)
{
    assignment(qs("MAT"), qs("ESO1A"), qs("M1"), qs("C7"));
    lesson(mat());
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(value(onlyRecord(), "X_OFERTAMATRIG"), "C7");
}

TEST_F(RegularTimetable, SubjectComesFromTheCourseOfferWithoutAnAssignment)
{
    offer(qs("MAT"), qs("C2"), qs("OTRA"));
    offer(qs("MAT"), qs("C1"), qs("212306"));
    offer(qs("MAT"), qs("C1"), qs("SEGUNDA"));
    lesson(mat());
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    const Datos record = onlyRecord();
    EXPECT_EQ(value(record, "X_OFERTAMATRIG"), "C1");
    EXPECT_EQ(value(record, "X_MATERIAOMG"), "212306");
}

TEST_F(RegularTimetable, AnUnknownGroupLeavesUnitAndCourseEmpty)
{
    lesson(mat(qs("ESO9Z")));
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(onlyRecord(),
        regularDatos(qs("1"), qs("T11"), QString(), QString(), QString(), QString(), qs("480"), qs("540"), qs("1")));
}

TEST_F(RegularTimetable, ActivityCodeComesFromTaskThenSubjectThenOne)
{
    subject(qs("MAT"));
    subject(qs("FIS"), qs("55"));
    subject(qs("FIS"), qs("66")); // a later record with the same code is not taken
    subject(qs("QUI"), qs(""));
    lesson({.prof = qs("JLM"), .asig = qs("MAT"), .grupo = qs("ESO1A")});
    lesson({.prof = qs("JLM"), .asig = qs("FIS"), .grupo = qs("ESO1A")});
    lesson({.prof = qs("JLM"), .asig = qs("FIS"), .tarea = qs("77"), .grupo = qs("ESO1A")});
    lesson({.prof = qs("JLM"), .asig = qs("NOESTA"), .grupo = qs("ESO1A")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    std::vector<std::string> activities;
    for (const Datos &record : regular())
        activities.push_back(value(record, "X_ACTIVIDAD"));
    EXPECT_THAT(activities, ElementsAre("1", "55", "77", "1"));
}

TEST_F(RegularTimetable, RequirementFlagsDropOrBlankAndTheNumbersRunOn)
{
    struct Case {
        const char *flags;
        bool knownGroup;
        bool knownSubject;
        std::string subjectKey; // "dropped" when the lesson is dropped
    };
    const std::vector<Case> cases = {
        {"SN", false, true, "dropped"},
        {"SN", true, true, ""},
        {"SS", true, false, "dropped"},
        {"SS", true, true, "M1"},
        {"NS", false, false, "dropped"},
        {"NS", false, true, "M1"},
        {"NN", true, true, ""},
        {"NN", false, false, ""},
        {"", false, false, ""},
        {"XY", false, true, "M1"},
        {"S", false, true, "dropped"},
        {"SX", true, false, ""},
    };
    for (const Case &c : cases) {
        tables.at(subjects_table::fileName()).rows.clear();
        tables.at(assignments_table::fileName()).rows.clear();
        tables.at(solution_table::fileName()).rows.clear();
        activity(qs("100"), qs(c.flags));
        if (c.knownSubject)
            assignment(qs("MAT"), c.knownGroup ? qs("ESO1A") : qs("NOESTA"), qs("M1"), qs("C1"));
        // A lesson before and after, so a dropped one shows in the numbering.
        lesson({.prof = qs("JLM"), .asig = qs("LEN"), .grupo = qs("ESO1A")});
        lesson({.prof = qs("JLM"),
            .asig = qs("MAT"),
            .tarea = qs("100"),
            .grupo = c.knownGroup ? qs("ESO1A") : qs("NOESTA")});
        lesson({.prof = qs("JLM"), .asig = qs("LEN"), .grupo = qs("ESO1A")});
        ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
        const std::vector<Datos> records = regular(); // checks ACTIVIDAD_1, 2, ... without gaps
        const std::string label = std::string("flags \"") + c.flags + "\"";
        if (c.subjectKey == "dropped") {
            EXPECT_EQ(records.size(), 2u) << label;
            EXPECT_EQ(run->droppedCount, 1) << label;
            // The dropped lesson's note, before the check's.
            EXPECT_THAT(ui.notes.join(QLatin1Char('\n')).toStdString(), ::testing::HasSubstr("Profesor JLM")) << label;
            EXPECT_EQ(xml::attribute(teacherGroups(output(), "HORARIOS_REGULARES").front(), "registros"),
                QStringLiteral("2"));
        } else {
            ASSERT_EQ(records.size(), 3u) << label;
            EXPECT_EQ(run->droppedCount, 0) << label;
            EXPECT_EQ(value(records[1], "X_MATERIAOMG"), c.subjectKey) << label;
            EXPECT_EQ(value(records[1], "X_ACTIVIDAD"), "100") << label;
        }
    }
}

TEST_F(RegularTimetable, FlagsComeFromTheActivityThatSolucNamesNotFromTheSubjectsTask)
{
    // The subject's own task would drop the lesson; SOLUC's empty TAREA finds the
    // first record with an empty CODTAREA, a plain subject without flags.
    subject(qs("LEN"));
    subject(qs("MAT"), qs("200"));
    activity(qs("200"), qs("SS"));
    lesson(mat(qs("NOESTA")));
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(value(onlyRecord(), "X_ACTIVIDAD"), "200");
}

TEST_F(RegularTimetable, DroppedLessonsAreNotedPerTeacher)
{
    teacher(qs("ABC"), qs("1002"));
    activity(qs("100"), qs("SN"));
    for (const char *prof : {"JLM", "JLM", "ABC"})
        lesson({.prof = qs(prof), .asig = qs("MAT"), .tarea = qs("100"), .grupo = qs("NOESTA")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(run->droppedCount, 3);
    EXPECT_EQ(run->lessonCount, 0);
    // One note per teacher, then the check's.
    ASSERT_EQ(ui.notes.size(), 3);
    EXPECT_THAT(ui.notes.mid(0, 2),
        ElementsAre(import_texts::droppedLessons(qs("JLM"), qs("1001"), 2),
            import_texts::droppedLessons(qs("ABC"), qs("1002"), 1)));
    EXPECT_TRUE(ui.notes.back().startsWith(QStringLiteral("Comprobación del documento")));
    EXPECT_THAT(regular(1), IsEmpty());
    EXPECT_THAT(regular(2), IsEmpty());
}

TEST_F(RegularTimetable, AMissingPeriodLeavesDayAndSlotEmptyAndMinutesZero)
{
    assignment(qs("MAT"), qs("ESO1A"), qs("M1"), qs("C1"));
    lesson({.prof = qs("JLM"), .dia = 2, .hora = 5, .asig = qs("MAT"), .grupo = qs("ESO1A")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(onlyRecord(),
        regularDatos(QString(), QString(), QString(), qs("U1"), qs("C1"), qs("M1"), qs("0"), qs("0"), qs("1")));
}

TEST_F(RegularTimetable, PeriodKeyIsDayThenPeriodNumberAndTheFrameMustMatch)
{
    period(1, 10, qs("0"), qs("T110"), qs("14:05"), qs("8:30"), qs("55"));
    period(1, 1, qs("1"), qs("M11"), qs("15:00"), qs("16:00"), qs("60"));
    period(1, 1, qs("1"), qs("M11B"), qs("17:00"), qs("18:00"), qs("60")); // a second match is never taken
    period(2, 3, qs("0"), qs("T23"), qs(""), qs("9:05"), qs("60"));
    lesson({.prof = qs("JLM"), .dia = 1, .hora = 10, .asig = qs("MAT")});
    lesson({.prof = qs("JLM"), .dia = 1, .hora = 1, .marco = qs("1"), .asig = qs("MAT")});
    lesson({.prof = qs("JLM"), .dia = 1, .hora = 1, .marco = qs("0"), .asig = qs("MAT")});
    lesson({.prof = qs("JLM"), .dia = 1, .hora = 1, .marco = QString(), .asig = qs("MAT")});
    lesson({.prof = qs("JLM"), .dia = 2, .hora = 3, .asig = qs("MAT")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    std::vector<std::string> periods;
    for (const Datos &record : regular()) {
        periods.push_back(value(record, "N_DIASEMANA") + " " + value(record, "X_TRAMO") + " "
            + value(record, "N_HORINI") + "-" + value(record, "N_HORFIN"));
    }
    // An empty start reads as 0; "9:05" is read as "09:05".
    EXPECT_THAT(periods, ElementsAre("1 T110 845-510", "1 M11 900-960", "1 T11 480-540", "  0-0", "2 T23 0-545"));
}

TEST_F(RegularTimetable, ARoomOfSpacesIsWrittenEmpty)
{
    lesson({.prof = qs("JLM"), .asig = qs("MAT"), .grupo = qs("ESO1A"), .aula = qs("     ")});
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(value(onlyRecord(), "X_DEPENDENCIA"), "");
}

TEST_F(RegularTimetable, LessonsWithoutADayOrOfHashActivitiesAreNotRegular)
{
    lesson({.prof = qs("JLM"), .dia = 0, .asig = qs("MAT"), .grupo = qs("ESO1A")});
    lesson({.prof = qs("JLM"), .asig = qs("#G"), .tarea = qs("#G")});
    lesson({.prof = qs("JLM"), .asig = QString(), .grupo = qs("ESO1A")}); // an empty code counts as regular
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(regular().size(), 1u);
    EXPECT_EQ(nonRegular().size(), 1u);
}

TEST_F(RegularTimetable, AuthorisationCodeNeedsTheCataloguesAnOriginAndALevel)
{
    struct Case {
        const char *name;
        bool originsPresent;
        bool originRow;
        const char *concierto;
        const char *level;
        const char *tarea;
        std::string authorisation; // "(none)" when the dato is absent
    };
    const std::vector<Case> cases = {
        {"no ORIGENES_C.DBF", false, false, "CONC", "3", "", "(none)"},
        {"ORIGENES_C.DBF empty", true, false, "CONC", "3", "", "(none)"},
        {"no CCONCIERTO", true, true, "", "3", "", "(none)"},
        {"CCONCIERTO of spaces", true, true, "   ", "3", "", "(none)"},
        {"origin not in the catalogue", true, true, "OTRO", "3", "", "(none)"},
        {"no level code", true, true, "CONC", "", "", "(none)"},
        {"all found (task 1)", true, true, "CONC", "3", "", "901"},
        {"all found (task 5)", true, true, "CONC", "3", "5", "905"},
        {"no authorisation for the combination", true, true, "CONC", "4", "", " "},
        {"a task that is no number", true, true, "CONC", "3", "AB", " "},
    };
    for (const Case &c : cases) {
        for (const QString &name :
            {origins_table::fileName(), course_levels_table::fileName(), authorisations_table::fileName()}) {
            tables.at(name).rows.clear();
            tables.at(name).present = false;
        }
        tables.at(assignments_table::fileName()).rows.clear();
        tables.at(solution_table::fileName()).rows.clear();
        if (c.originsPresent)
            catalogues();
        if (c.originRow)
            origin(qs("7"), qs("CONC"));
        authorisation(qs("901"), qs("1"), qs("7"), qs("3"));
        authorisation(qs("905"), qs("5"), qs("7"), qs("3"));
        authorisation(qs("999"), qs("5"), qs("7"), qs("3"));
        if (!c.originsPresent) {
            for (const QString &name :
                {origins_table::fileName(), course_levels_table::fileName(), authorisations_table::fileName()})
                tables.at(name).present = false;
        }
        assignment(qs("MAT"), qs("ESO1A"), qs("M1"), qs("C1"), qs(c.level));
        lesson({.prof = qs("JLM"),
            .asig = qs("MAT"),
            .tarea = qs(c.tarea),
            .grupo = qs("ESO1A"),
            .concierto = qs(c.concierto)});
        ASSERT_EQ(runImport(), ImportRun::Outcome::Completed) << c.name;
        const Datos record = onlyRecord();
        EXPECT_EQ(value(record, "X_ORIHORACTETP"), c.authorisation) << c.name;
        EXPECT_EQ(record.size(), c.authorisation == "(none)" ? 11u : 12u) << c.name;
        if (record.size() == 12) {
            EXPECT_EQ(record.back(), "X_ORIHORACTETP=" + c.authorisation) << c.name;
        }
    }
}

TEST_F(RegularTimetable, WithoutCataloguesSolucNeedsNoConciertoField)
{
    writeTables();
    const QString path = session.workPath(solution_table::fileName());
    dbf::removeTableFiles(path);
    dbf::Layout layout = solution_table::layout();
    layout.pop_back(); // CCONCIERTO
    dbf::createTable(path, layout);
    dbf::Table table(path);
    table.open();
    const int row = table.appendBlank();
    table.setText(row, QStringLiteral("PROF"), qs("JLM"));
    table.setInteger(row, table.fieldIndex(QStringLiteral("DIA")), 1);
    table.setInteger(row, table.fieldIndex(QStringLiteral("HORA")), 1);
    table.setText(row, QStringLiteral("MARCO"), qs("0"));
    table.setText(row, QStringLiteral("ASIG"), qs("MAT"));
    table.post(row);
    table.close();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    ASSERT_EQ(importAgain(), ImportRun::Outcome::Completed);
    EXPECT_EQ(regular().size(), 1u);
}

TEST_F(RegularTimetable, ALessonOfNoKnownActivityIsStillWrittenAndCountedInTheFile)
{
    lesson({.prof = qs("JLM"), .asig = qs("MAT"), .tarea = qs("NINGUNA"), .grupo = qs("ESO1A")});
    writeTables();
    ASSERT_EQ(runImport(), ImportRun::Outcome::Completed);
    EXPECT_EQ(regular().size(), 1u);
    EXPECT_EQ(xml::attribute(teacherGroups(output(), "HORARIOS_REGULARES").front(), "registros"), QStringLiteral("1"));
}
