// Step 7: GRUPOST.DBF, each unit coded from its course's level, the first character
// of the course code and a running letter (ESO1A), letter case ignored.
#include "export_steps_fixture.h"

#include "common/user_error.h"
#include "export/courses_table.h"
#include "export/groups_table.h"

#include <QSet>

using namespace export_steps;

namespace {

class GroupsStep : public ExportStepsFixture {
protected:
    // CURSOST.DBF as steps 2 and the course dialog leave it: CLAVE, NIVEL, CURSO, ESTUD.
    void writeCourses(const Rows &courses)
    {
        Rows rows;
        for (const Row &course : courses)
            rows.push_back({"", "", course[1], course[2], course[0], course[3]});
        writeWorkTable(courses_table::fileName(), courses_table::layout(), rows);
    }
    void build(const ExchangeBuilder &seneca) { runOver(seneca).buildGroupsTable(); }
    Rows groups() const { return records(groups_table::fileName()); }
    Rows codes() const { return columns(groups_table::fileName(), {"ABREV", "GRUPO"}); }
};

// UNIDADES entries: the unit key, a name (not read) and the course key.
ExchangeBuilder units(const std::vector<std::pair<std::string, std::string>> &unitsAndCourses)
{
    ExchangeBuilder seneca = ExchangeBuilder().group(QStringLiteral("UNIDADES"));
    for (const auto &[unit, course] : unitsAndCourses)
        seneca.record({qs(unit), QStringLiteral("Unidad ") + qs(unit), qs(course)});
    return seneca;
}

} // namespace

TEST_F(GroupsStep, WritesTheTableWithItsLayout)
{
    writeCourses({});
    build(units({}));
    EXPECT_EQ(fields(groups_table::fileName()),
        (Fields{"ABREV C 10", "TURNO C 1", "NIVEL C 5", "CURSO C 3", "GRUPO C 2", "CLAVE C 10", "CLAVECURSO C 10",
            "DESCRIP C 80", "MARCO C 1"}));
    EXPECT_TRUE(groups().empty());
    EXPECT_EQ(run->tablesWritten, QStringList{groups_table::fileName()});
}

TEST_F(GroupsStep, UnitsTakeLevelCourseAndDescriptionOfTheirCourse)
{
    writeCourses({{"C1", "ESO", "1", "1º de E.S.O."}, {"C2", "ESO", "2", "2º de E.S.O."}, {"C3", "", "", "Sin nivel"}});
    build(units({{"U1", "C1"}, {"U2", "C1"}, {"U3", "C2"}, {"U4", "C1"}, {"U5", "C9"}, {"U6", "C3"}}));
    EXPECT_EQ(groups(),
        (Rows{{"ESO1A", "", "ESO", "1", "A", "U1", "C1", "1º de E.S.O.", "0"},
            {"ESO1B", "", "ESO", "1", "B", "U2", "C1", "1º de E.S.O.", "0"},
            {"ESO2A", "", "ESO", "2", "A", "U3", "C2", "2º de E.S.O.", "0"},
            {"ESO1C", "", "ESO", "1", "C", "U4", "C1", "1º de E.S.O.", "0"},
            // An unknown course, and a course without level: "NIV" after the code was built.
            {"A", "", "NIV", "", "A", "U5", "C9", "", "0"}, {"B", "", "NIV", "", "B", "U6", "C3", "Sin nivel", "0"}}));
}

TEST_F(GroupsStep, GroupLettersCountPerLevelAndFirstCharacterOfTheCourse)
{
    struct Case {
        const char *what;
        Rows courses; // CLAVE, NIVEL, CURSO, ESTUD
        std::vector<std::pair<std::string, std::string>> units;
        Rows codes; // ABREV, GRUPO
    };
    const std::vector<Case> cases = {
        {"courses sharing level and first character share the letters",
            {{"C1", "BCT", "1", ""}, {"C2", "BCT", "1H", ""}}, {{"U1", "C1"}, {"U2", "C2"}, {"U3", "C1"}},
            {{"BCT1A", "A"}, {"BCT1B", "B"}, {"BCT1C", "C"}}},
        {"units of unknown courses", {}, {{"U1", "X"}, {"U2", "Y"}, {"U3", "X"}}, {{"A", "A"}, {"B", "B"}, {"C", "C"}}},
        {"levels differing in case share the letters", {{"C1", "eso", "1", ""}, {"C2", "ESO", "1", ""}},
            {{"U1", "C1"}, {"U2", "C2"}}, {{"eso1A", "A"}, {"ESO1B", "B"}}},
        {"accented levels differing in case share the letters", {{"C1", "ÁMB", "1", ""}, {"C2", "ámb", "1", ""}},
            {{"U1", "C1"}, {"U2", "C2"}}, {{"ÁMB1A", "A"}, {"ámb1B", "B"}}},
        {"accents still count", {{"C1", "ÁMB", "1", ""}, {"C2", "AMB", "1", ""}}, {{"U1", "C1"}, {"U2", "C2"}},
            {{"ÁMB1A", "A"}, {"AMB1A", "A"}}},
        {"the first course of a key counts", {{"C1", "ESO", "3", ""}, {"C1", "BCT", "1", ""}}, {{"U1", "C1"}},
            {{"ESO3A", "A"}}},
        {"a level without course code", {{"C1", "FPB", "", ""}, {"C2", "FP", "B", ""}}, {{"U1", "C1"}, {"U2", "C2"}},
            {{"FPBA", "A"}, {"FPBB", "B"}}},
    };
    for (const Case &c : cases) {
        writeCourses(c.courses);
        build(units(c.units));
        EXPECT_EQ(codes(), c.codes) << c.what;
    }
}

TEST_F(GroupsStep, TheTwentySeventhGroupOfACourseGetsTheCharacterAfterZ)
{
    writeCourses({{"C1", "ESO", "1", ""}});
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 1; i <= 28; ++i)
        list.emplace_back("U" + std::to_string(i), "C1");
    build(units(list));
    const Rows rows = codes();
    ASSERT_EQ(rows.size(), 28u);
    EXPECT_EQ(rows[25], (Row{"ESO1Z", "Z"}));
    EXPECT_EQ(rows[26], (Row{"ESO1[", "["}));
    EXPECT_EQ(rows[27], (Row{"ESO1\\", "\\"}));
}

TEST_F(GroupsStep, SixtyGroupsOfACourseGetPrintableLettersTheCodePageDefinesEachUniqueAsStored)
{
    writeCourses({{"C1", "ESO", "1", ""}});
    std::vector<std::pair<std::string, std::string>> list;
    for (int i = 1; i <= 60; ++i)
        list.emplace_back("U" + std::to_string(i), "C1");
    build(units(list));
    const Rows rows = codes();
    ASSERT_EQ(rows.size(), 60u);
    // After "~" come the letters of the upper half of the code page; the small
    // letters, DEL and the undefined bytes are passed over.
    EXPECT_EQ(rows[35], (Row{"ESO1~", "~"}));
    EXPECT_EQ(rows[36], (Row{"ESO1€", "€"}));
    EXPECT_EQ(rows[37], (Row{"ESO1‚", "‚"}));
    QSet<QString> seen;
    for (const Row &row : rows) {
        const QString code = QString::fromStdString(row.at(0));
        EXPECT_FALSE(seen.contains(code.toCaseFolded())) << row.at(0);
        seen.insert(code.toCaseFolded());
        const QChar letter = code.back();
        EXPECT_TRUE(letter.isPrint() && !letter.isSpace()) << row.at(0);
        for (char16_t undefined : {u'\u007F', u'\u0081', u'\u008D', u'\u008F', u'\u0090', u'\u009D'})
            EXPECT_NE(letter, QChar(undefined)) << row.at(0);
        EXPECT_EQ(row.at(1), std::string(QString(letter).toStdString()));
    }
}

TEST_F(GroupsStep, ShortEntriesAreSkippedOrReadTheirMissingCourseAsEmpty)
{
    writeCourses({{"C1", "ESO", "1", ""}});
    build(ExchangeBuilder()
              .group(QStringLiteral("UNIDADES"))
              .record({QStringLiteral("U1")})
              .record({QStringLiteral("U2"), QStringLiteral("Unidad 2")})
              .record({QStringLiteral("U3"), QStringLiteral("Unidad 3"), QStringLiteral("C1")}));
    EXPECT_EQ(groups(),
        (Rows{{"A", "", "NIV", "", "A", "U2", "", "", "0"}, {"ESO1A", "", "ESO", "1", "A", "U3", "C1", "", "0"}}));
}

TEST_F(GroupsStep, AMissingCoursesTableStopsTheStepNamingIt)
{
    try {
        build(units({{"U1", "C1"}}));
        FAIL() << "the step ran without CURSOST.DBF";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().contains(courses_table::fileName())) << error.what();
    }
}
