// SOLUC.DBF as the timetabler may write it: older dBase levels, and DIA and HORA as
// numbers or as text.
#include "import_fixture.h"

#include "import/import_tables.h"
#include "import/solution_lessons.h"

#include <gmock/gmock.h>

using namespace import_test;
using ::testing::ElementsAre;

namespace {

QString qs(const char *text)
{
    return QString::fromUtf8(text);
}

// A field of a level-III table: name, type letter, width.
struct OldField {
    const char *name;
    char type;
    int width;
};

// The bytes of a level-III table (32-byte header and descriptors, values as
// fixed-width text) holding the records given, each already padded to its width.
QByteArray levelThreeTable(const std::vector<OldField> &fields, const std::vector<QByteArray> &records)
{
    QByteArray descriptors;
    int recordLength = 1;
    for (const OldField &field : fields) {
        QByteArray descriptor(32, '\0');
        const QByteArray name(field.name);
        descriptor.replace(0, int(name.size()), name);
        descriptor[11] = field.type;
        descriptor[16] = char(field.width);
        descriptors += descriptor;
        recordLength += field.width;
    }
    const int headerLength = 32 + int(descriptors.size()) + 1;
    QByteArray header(32, '\0');
    header[0] = '\x03';
    header[1] = char(125);
    header[2] = 2;
    header[3] = 1;
    header[4] = char(records.size());
    header[8] = char(headerLength & 0xFF);
    header[9] = char(headerLength >> 8);
    header[10] = char(recordLength & 0xFF);
    header[11] = char(recordLength >> 8);
    QByteArray bytes = header + descriptors + '\x0D';
    for (const QByteArray &record : records) {
        EXPECT_EQ(record.size(), recordLength - 1) << record.toStdString();
        bytes += ' ' + record;
    }
    return bytes + '\x1A';
}

QByteArray left(const char *text, int width)
{
    return QByteArray(text).leftJustified(width, ' ', true);
}

QByteArray right(const char *text, int width)
{
    return QByteArray(text).rightJustified(width, ' ', true);
}

class OlderSolution : public ImportFixture {
protected:
    OlderSolution()
    {
        teacher(qs("JLM"), qs("1001"));
        period(2, 5, qs("0"), qs("T25"), qs("10:00"), qs("11:00"), qs("60"));
        period(2, 10, qs("0"), qs("T210"), qs("16:00"), qs("16:50"), qs("50"));
    }

    struct OldLesson {
        const char *prof;
        QByteArray day; // padded to 2
        QByteArray period; // padded to 2
        const char *asig;
    };
    // Replaces SOLUC.DBF by a level-III table whose DIA and HORA have the given
    // type, a record per lesson (TAREA repeats ASIG).
    void writeOldLessons(char dayType, const std::vector<OldLesson> &lessons)
    {
        std::vector<QByteArray> records;
        for (const OldLesson &lesson : lessons) {
            records.push_back(left(lesson.prof, 10) + lesson.day + lesson.period + left("0", 1) + left(lesson.asig, 10)
                + left(lesson.asig, 10) + left("", 10) + left("", 10) + left("", 20));
        }
        const std::vector<OldField> fields
            = {{"PROF", 'C', 10}, {"DIA", dayType, 2}, {"HORA", dayType, 2}, {"MARCO", 'C', 1}, {"ASIG", 'C', 10},
                {"TAREA", 'C', 10}, {"CODGRUPO", 'C', 10}, {"AULA", 'C', 10}, {"CCONCIERTO", 'C', 20}};
        QFile file(session.workPath(solution_table::fileName()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(levelThreeTable(fields, records));
    }

    // Lessons of the activity #G of the teacher JLM.
    void writeOldSolution(char dayType, const std::vector<std::pair<QByteArray, QByteArray>> &dayAndPeriod)
    {
        std::vector<OldLesson> lessons;
        for (const auto &[day, period] : dayAndPeriod)
            lessons.push_back({"JLM", day, period, "#G"});
        writeOldLessons(dayType, lessons);
    }

    std::vector<std::string> minutes() const
    {
        std::vector<std::string> out;
        for (const Datos &record : nonRegular())
            out.push_back(record.at(1));
        return out;
    }
};

} // namespace

TEST_F(OlderSolution, ReadsNumericDayAndPeriodOfALevelThreeTable)
{
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    writeOldSolution(
        'N', {{right("2", 2), right("5", 2)}, {right("2", 2), right("10", 2)}, {right("0", 2), right("5", 2)}});
    ASSERT_EQ(importAgain(), ImportRun::Outcome::Completed);
    EXPECT_THAT(minutes(), ElementsAre("N_MINSEN=60", "N_MINSEN=50"));
}

TEST_F(OlderSolution, ReadsDayAndPeriodKeptAsTextHoweverTheyAreAligned)
{
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    writeOldSolution(
        'C', {{left("2", 2), left("5", 2)}, {right("2", 2), right("10", 2)}, {left("02", 2), left("05", 2)}});
    ASSERT_EQ(importAgain(), ImportRun::Outcome::Completed);
    EXPECT_THAT(minutes(), ElementsAre("N_MINSEN=60", "N_MINSEN=50", "N_MINSEN=60"));
}

TEST_F(OlderSolution, ADayThatIsNoNumberStopsTheRunNamingTheRecord)
{
    writeTables();
    seneca.writeTo(senecaDir, QStringLiteral("Exportacion.xml"));
    writeOldSolution('C', {{left("2", 2), left("5", 2)}, {left("L", 2), left("5", 2)}});
    ui.fileChoices.push_back(senecaPath());
    ImportRun importRun(session, ui);
    try {
        importRun.run();
        ADD_FAILURE() << "the run went on";
    } catch (const UserError &error) {
        const std::string message = error.message().toStdString();
        EXPECT_THAT(message, ::testing::HasSubstr("«L» no es un número entero"));
        EXPECT_THAT(message, ::testing::HasSubstr("registro 2"));
        EXPECT_THAT(message, ::testing::HasSubstr("DIA"));
    }
    EXPECT_FALSE(QFileInfo::exists(outputPath()));
}

TEST_F(OlderSolution, EachSectionReadsItsOwnLessonsButEveryDayAndPeriodNumber)
{
    writeTables();
    writeOldLessons('C',
        {{"JLM", left("2", 2), left("5", 2), "MAT"}, {"JLM", left("2", 2), left("10", 2), "#G"},
            {"JLM", left("0", 2), left("", 2), "MAT"}, {"ABC", left("2", 2), left("X", 2), "MAT"},
            {"JLM", left("2", 2), left("5", 2), "#H"}});
    ImportTables opened(session);
    opened.open();
    SolutionLessons solution(opened.solution, opened.solutionField);
    const auto rowsOf = [](const LessonList &lessons) {
        std::vector<int> rows;
        for (const Lesson &lesson : lessons)
            rows.push_back(lesson.row);
        return rows;
    };
    EXPECT_THAT(rowsOf(solution.ofTeacher(qs("JLM"))), ElementsAre(0, 1, 2, 4));
    EXPECT_THAT(rowsOf(solution.ofTeacher(qs("JLM"), SolutionLessons::Section::Regular)), ElementsAre(0));
    const LessonList &nonRegular = solution.ofTeacher(qs("JLM"), SolutionLessons::Section::NonRegular);
    EXPECT_THAT(rowsOf(nonRegular), ElementsAre(1, 4));
    EXPECT_EQ(nonRegular.front().task, qs("#G"));
    EXPECT_EQ(nonRegular.front().period, 10);

    // A period that is no number stops the read of either section, so the run
    // stops at the same record whichever section meets it first.
    for (const auto section : {SolutionLessons::Section::NonRegular, SolutionLessons::Section::Regular}) {
        try {
            solution.ofTeacher(qs("ABC"), section);
            ADD_FAILURE() << "the read went on";
        } catch (const UserError &error) {
            const std::string message = error.message().toStdString();
            EXPECT_THAT(message, ::testing::HasSubstr("«X» no es un número entero"));
            EXPECT_THAT(message, ::testing::HasSubstr("registro 4"));
            EXPECT_THAT(message, ::testing::HasSubstr("HORA"));
        }
    }
}
