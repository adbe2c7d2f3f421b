// Step 5: PROFT.DBF, with each teacher's code made of the initials of the three
// name parts and made unique with a number, letter case ignored.
#include "export_steps_fixture.h"

#include "export/teachers_table.h"

#include <array>

using namespace export_steps;

namespace {

class TeachersStep : public ExportStepsFixture {
protected:
    void build(const ExchangeBuilder &seneca) { runOver(seneca).buildTeachersTable(); }
    Rows teachers() const { return records(teachers_table::fileName()); }
    Rows codes() const { return columns(teachers_table::fileName(), {"ABREV"}); }
};

// An EMPLEADOS entry: identifier, date, department and the three name parts.
ExchangeBuilder &employee(ExchangeBuilder &seneca, const std::string &id, const std::string &part1,
    const std::string &part2, const std::string &part3)
{
    return seneca.record(
        {qs(id), QStringLiteral("01/09/2020"), QStringLiteral("Ciencias"), qs(part1), qs(part2), qs(part3)});
}

ExchangeBuilder employees()
{
    return ExchangeBuilder().group(QStringLiteral("EMPLEADOS"));
}

} // namespace

TEST_F(TeachersStep, WritesTheTableWithItsLayout)
{
    build(employees());
    EXPECT_EQ(fields(teachers_table::fileName()),
        (Fields{"ABREV C 10", "NOMBRE C 80", "DEPART C 40", "DNI I 4", "X_EMPLEADO C 10", "F_TOMAPOS C 10",
            "EMAIL C 100"}));
    EXPECT_TRUE(teachers().empty());
    EXPECT_EQ(run->tablesWritten, QStringList{teachers_table::fileName()});
}

TEST_F(TeachersStep, EachTeacherIsOneRecordWithNameDepartmentAndSenecaValues)
{
    ExchangeBuilder seneca = employees();
    employee(seneca, "E1", "García", "Pérez", "Luis");
    seneca.record({QStringLiteral("E2"), QStringLiteral("15/09/2021"), QStringLiteral("Lengua"), QStringLiteral("Ruiz"),
        QString(), QStringLiteral("Ana")});
    build(seneca);
    // DNI and EMAIL stay empty; an empty name part leaves two spaces in a row.
    EXPECT_EQ(teachers(),
        (Rows{{"GPL", "García Pérez Luis", "Ciencias", "", "E1", "01/09/2020", ""},
            {"RA", "Ruiz  Ana", "Lengua", "", "E2", "15/09/2021", ""}}));
}

TEST_F(TeachersStep, CodesAreUniqueIgnoringLetterCase)
{
    struct Case {
        const char *what;
        std::vector<std::array<std::string, 3>> names;
        Rows codes;
    };
    const std::vector<Case> cases = {
        {"same initials count up",
            {{"García", "Pérez", "Luis"}, {"Gómez", "Prieto", "Lucía"}, {"Gil", "Pardo", "León"}},
            {{"GPL"}, {"GPL1"}, {"GPL2"}}},
        {"lower case initials collide and keep their case",
            {{"García", "Pérez", "Luis"}, {"gonzález", "pérez", "lópez"}}, {{"GPL"}, {"gpl1"}}},
        {"accented capitals and small letters are one letter",
            {{"Álvarez", "Pérez", "Luis"}, {"álvarez", "pérez", "luis"}, {"Ángel", "Peña", "Lara"}},
            {{"ÁPL"}, {"ápl1"}, {"ÁPL2"}}},
        {"accents still count", {{"Álvarez", "Pérez", "Luis"}, {"Alonso", "Pérez", "Luis"}}, {{"ÁPL"}, {"APL"}}},
        {"a numbered code taken as a base is passed over",
            {{"Gil", "Pío", ""}, {"Gil", "Pío", ""}, {"Gil", "Pío", "1"}, {"Gil", "Pío", ""}},
            {{"GP"}, {"GP1"}, {"GP11"}, {"GP2"}}},
        {"no name parts give an empty base", {{"", "", ""}, {"", "", ""}}, {{""}, {"1"}}},
        // Codes are told apart as the field stores them.
        {"initials outside the code page take their base letter",
            {{"Łukasik", "Żak", "Świątek"}, {"Ćwik", "Ėglis", "Ūla"}, {"Șerban", "Țurcanu", "Đorđe"}},
            {{"LZS"}, {"CEU"}, {"STD"}}},
        {"initials that become one code on disk count up",
            {{"Lara", "Zamora", "Soto"}, {"Łukasik", "Żak", "Świątek"}, {"łukasik", "żak", "świątek"}},
            {{"LZS"}, {"LZS1"}, {"lzs2"}}},
        {"initials without a base letter are question marks, counted up", {{"王", "李", "张"}, {"赵", "钱", "孙"}},
            {{"???"}, {"???1"}}},
        {"DEL and the undefined bytes are never written",
            {{"\x7F"
              "a",
                 "\u0081b", "\u008Dc"},
                {"\u008F"
                 "a",
                    "\u0090b", "\u009Dc"}},
            {{"???"}, {"???1"}}},
    };
    for (const Case &c : cases) {
        ExchangeBuilder seneca = employees();
        int id = 0;
        for (const auto &name : c.names)
            employee(seneca, "E" + std::to_string(++id), name[0], name[1], name[2]);
        build(seneca);
        EXPECT_EQ(codes(), c.codes) << c.what;
    }
}

TEST_F(TeachersStep, ShortEntriesAreSkippedOrReadTheirMissingValuesAsEmpty)
{
    ExchangeBuilder seneca = employees();
    seneca.record({QStringLiteral("E1")});
    seneca.record(
        {QStringLiteral("E2"), QStringLiteral("01/09/2020"), QStringLiteral("Ciencias"), QStringLiteral("García")});
    seneca.record({QStringLiteral("E3")});
    build(seneca);
    EXPECT_EQ(teachers(), (Rows{{"G", "García", "Ciencias", "", "E2", "01/09/2020", ""}}));
    // Named at the end of the run.
    EXPECT_EQ(run->skippedRecords.notes(),
        QStringList{QStringLiteral(
            "Los registros 1 y 3 del grupo EMPLEADOS no se han exportado porque no tienen al menos 2 valores.")});
}
