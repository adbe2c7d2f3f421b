// The stand-in timetabler: it must fill SOLUC.DBF as the timetabler would, never
// putting a teacher, a group or a room in two places at once, with codes that
// exist in the working tables, and say what it could not place.
#include "round_trip_support.h"

#include "common/clipper.h"
#include "export/assignments_table.h"
#include "export/days_hours_table.h"
#include "export/groups_table.h"
#include "export/rooms_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"

#include <QSet>

#include <map>

namespace {

using namespace round_trip;
using clipper::AllTrim;

using Row = std::vector<std::pair<const char *, QString>>;

void writeTable(const QString &dir, const QString &fileName, const dbf::Layout &layout, const std::vector<Row> &rows)
{
    const QString path = QDir(dir).filePath(fileName);
    dbf::createTable(path, layout);
    dbf::Table table(path);
    table.open();
    for (const Row &row : rows) {
        const int r = table.appendBlank();
        for (const auto &[field, value] : row)
            table.setText(r, QString::fromLatin1(field), value);
        table.post(r);
    }
}

QString clock(int minutes)
{
    return QStringLiteral("%1:%2")
        .arg(minutes / 60, 2, 10, QLatin1Char('0'))
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

// DIASHORAST for days 1 to 7 of one frame, `hours` periods a day from `start`.
std::vector<Row> frameRows(const QString &frame, int hours, int start, int length = 60)
{
    std::vector<Row> rows;
    for (int day = 1; day <= 7; ++day) {
        for (int hour = 1; hour <= hours; ++hour) {
            const int from = start + (hour - 1) * length;
            rows.push_back(
                {{"DIHO", QStringLiteral("%1%2").arg(day).arg(hour)}, {"CODDIHO", QString::number(100 + hour)},
                    {"DIA", QString::number(day)}, {"HORA", QString::number(hour)}, {"HORADESDE", clock(from)},
                    {"HORAHASTA", clock(from + length)}, {"MINUTOS", QString::number(length)}, {"MARCO", frame},
                    {"MARCOXML", QStringLiteral("J%1").arg(frame)}});
        }
    }
    return rows;
}

// The working tables the stand-in reads; every test names its periods and rows.
struct WorkFolder {
    QTemporaryDir dir;
    std::vector<Row> periods;
    std::vector<Row> assignments;
    std::vector<Row> subjects = {{{"COD", QStringLiteral("MAT")}}, {{"COD", QStringLiteral("LEN")}},
        {{"COD", QStringLiteral("1")}, {"CODTAREA", QStringLiteral("1")}, {"ESTAREA", QStringLiteral("T")}}};
    std::vector<Row> teachers = {{{"ABREV", QStringLiteral("T1")}, {"X_EMPLEADO", QStringLiteral("101")}},
        {{"ABREV", QStringLiteral("T2")}, {"X_EMPLEADO", QStringLiteral("102")}}};
    std::vector<Row> groups = {{{"ABREV", QStringLiteral("G1")}, {"MARCO", QStringLiteral("0")}},
        {{"ABREV", QStringLiteral("G2")}, {"MARCO", QStringLiteral("0")}}};
    std::vector<Row> rooms = {{{"ABREV", QStringLiteral("R1")}}, {{"ABREV", QStringLiteral("R2")}}};

    QString path() const { return dir.path(); }
    ToolRun run(int seed = 1)
    {
        writeTable(path(), days_hours_table::fileName(), days_hours_table::layout(), periods);
        writeTable(path(), assignments_table::fileName(), assignments_table::layout(), assignments);
        writeTable(path(), subjects_table::fileName(), subjects_table::layout(), subjects);
        writeTable(path(), teachers_table::fileName(), teachers_table::layout(), teachers);
        writeTable(path(), groups_table::fileName(), groups_table::layout(), groups);
        writeTable(path(), rooms_table::fileName(), rooms_table::layout(), rooms);
        return placeLessons(path(), seed);
    }
    std::vector<Record> solution() const { return readTable(QDir(path()).filePath(QStringLiteral("SOLUC.DBF"))); }
};

Row assignment(const char *subject, const char *teacher, const char *group, const char *sessions,
    const char *task = "1", const char *origin = "PLANTILLA")
{
    return {{"CASIG", QString::fromUtf8(subject)}, {"CPROF", QString::fromUtf8(teacher)},
        {"CGRUP", QString::fromUtf8(group)}, {"SESIONES", QString::fromUtf8(sessions)},
        {"CTAREA", QString::fromUtf8(task)}, {"CORIGEN", QString::fromUtf8(origin)}};
}

// Who is where when, in real time: "who@day@minute" for every minute held.
// Returns the first double booking found, or an empty text.
QString firstDoubleBooking(const std::vector<Record> &solution, const std::vector<Record> &periods)
{
    QHash<QString, std::pair<int, int>> times; // "day/hour/frame" -> minutes
    for (const Record &p : periods) {
        const auto minutes = [](const QString &t) { return t.left(2).toInt() * 60 + t.mid(3, 2).toInt(); };
        times.insert(QStringLiteral("%1/%2/%3")
                         .arg(AllTrim(p.value(QStringLiteral("DIA"))), AllTrim(p.value(QStringLiteral("HORA"))),
                             p.value(QStringLiteral("MARCO"))),
            {minutes(p.value(QStringLiteral("HORADESDE"))), minutes(p.value(QStringLiteral("HORAHASTA")))});
    }
    QSet<QString> held;
    for (const Record &r : solution) {
        const QString day = r.value(QStringLiteral("DIA"));
        const QString key
            = QStringLiteral("%1/%2/%3").arg(day, r.value(QStringLiteral("HORA")), r.value(QStringLiteral("MARCO")));
        if (!times.contains(key))
            return QStringLiteral("periodo inexistente %1").arg(key);
        const auto [from, to] = times.value(key);
        for (const char *field : {"PROF", "CODGRUPO", "AULA"}) {
            const QString who = AllTrim(r.value(QString::fromLatin1(field)));
            if (who.isEmpty())
                continue;
            for (int minute = from; minute < to; ++minute) {
                const QString slot
                    = QStringLiteral("%1:%2@%3@%4").arg(QString::fromLatin1(field), who, day).arg(minute);
                if (held.contains(slot))
                    return slot;
                held.insert(slot);
            }
        }
    }
    return QString();
}

QString describe(const std::vector<Record> &solution)
{
    QStringList lines;
    for (const Record &r : solution) {
        lines << QStringList{r.value(QStringLiteral("PROF")), r.value(QStringLiteral("DIA")),
            r.value(QStringLiteral("HORA")), r.value(QStringLiteral("MARCO")), r.value(QStringLiteral("ASIG")),
            r.value(QStringLiteral("CODGRUPO")), r.value(QStringLiteral("AULA"))}
                     .join(QLatin1Char(' '));
    }
    return lines.join(QLatin1Char('\n'));
}

} // namespace

TEST(StandinTimetabler, PlacesEveryLessonWithoutATeacherGroupOrRoomTwiceAtOnce)
{
    WorkFolder folder;
    folder.periods = frameRows(QStringLiteral("0"), 3, 8 * 60);
    const auto afternoon = frameRows(QStringLiteral("1"), 2, 16 * 60);
    folder.periods.insert(folder.periods.end(), afternoon.begin(), afternoon.end());
    folder.assignments = {assignment("MAT", "T1", "G1", "2111"), assignment("LEN", "T1", "G2", "111"),
        assignment("LEN", "T2", "G1", "1111", "1", ""), assignment("MAT", "", "G2", "11")};
    const ToolRun run = folder.run();
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();
    EXPECT_EQ(skippedLessons(run), 0) << run.out.toStdString();

    const std::vector<Record> solution = folder.solution();
    EXPECT_EQ(
        firstDoubleBooking(solution, readTable(QDir(folder.path()).filePath(days_hours_table::fileName()))), QString())
        << describe(solution).toStdString();
    // Periods per row: the digits' sum; a row without a teacher asks for nothing.
    std::map<QString, int> periods;
    for (const Record &r : solution) {
        periods[QStringList{r.value(QStringLiteral("ASIG")), r.value(QStringLiteral("PROF")),
            r.value(QStringLiteral("CODGRUPO")), r.value(QStringLiteral("TAREA")),
            r.value(QStringLiteral("CCONCIERTO"))}
                    .join(QLatin1Char('/'))]
            += 1;
        EXPECT_EQ(r.value(QStringLiteral("MARCO")), QStringLiteral("0")) << "the groups' frame";
        EXPECT_GE(r.value(QStringLiteral("DIA")).toInt(), 1);
        EXPECT_LE(r.value(QStringLiteral("DIA")).toInt(), 5) << "Monday to Friday only";
        EXPECT_TRUE(QStringList({QStringLiteral("R1"), QStringLiteral("R2"), QString()})
                        .contains(r.value(QStringLiteral("AULA"))));
    }
    const std::map<QString, int> expected = {{QStringLiteral("MAT/T1/G1/1/PLANTILLA"), 5},
        {QStringLiteral("LEN/T1/G2/1/PLANTILLA"), 3}, {QStringLiteral("LEN/T2/G1/1/"), 4}};
    EXPECT_EQ(periods, expected) << describe(solution).toStdString();
}

TEST(StandinTimetabler, EachDigitOfSesionesIsOneLessonOfThatManyConsecutivePeriods)
{
    WorkFolder folder;
    folder.periods = frameRows(QStringLiteral("0"), 4, 8 * 60);
    folder.assignments = {assignment("MAT", "T1", "G1", "2")};
    folder.assignments.push_back(assignment("LEN", "T1", "G1", "31"));
    const ToolRun run = folder.run();
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();
    std::map<QString, std::vector<int>> hoursByLessonDay; // "subject/day" -> hours
    for (const Record &r : folder.solution()) {
        hoursByLessonDay[r.value(QStringLiteral("ASIG")) + QLatin1Char('/') + r.value(QStringLiteral("DIA"))].push_back(
            r.value(QStringLiteral("HORA")).toInt());
    }
    std::vector<std::vector<int>> blocks;
    for (auto &[key, hours] : hoursByLessonDay) {
        std::sort(hours.begin(), hours.end());
        for (std::size_t i = 1; i < hours.size(); ++i)
            EXPECT_EQ(hours[i], hours[i - 1] + 1) << key.toStdString() << ": not consecutive";
        blocks.push_back({int(hours.size())});
    }
    // MAT: one double lesson; LEN: a triple and a single on another day.
    std::sort(blocks.begin(), blocks.end());
    EXPECT_EQ(blocks, (std::vector<std::vector<int>>{{1}, {2}, {3}}));
}

TEST(StandinTimetabler, LessonsThatDoNotFitAreSkippedAndCounted)
{
    WorkFolder folder;
    folder.periods = frameRows(QStringLiteral("0"), 2, 8 * 60); // ten periods from Monday to Friday
    folder.assignments = {assignment("MAT", "T1", "G1", "111111111111"), assignment("LEN", "T2", "G2", "3")};
    const ToolRun run = folder.run();
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();
    EXPECT_EQ(skippedLessons(run), 3) << run.out.toStdString();
    EXPECT_EQ(folder.solution().size(), 10u);
}

// Frames are compared by real time: a teacher's afternoon "#" hour cannot go
// where a frame that overlaps it already holds the teacher.
TEST(StandinTimetabler, FramesThatOverlapInTimeDoNotDoubleBookATeacher)
{
    WorkFolder folder;
    folder.periods = frameRows(QStringLiteral("0"), 1, 8 * 60);
    const auto overlapping = frameRows(QStringLiteral("1"), 1, 8 * 60 + 30);
    folder.periods.insert(folder.periods.end(), overlapping.begin(), overlapping.end());
    folder.assignments = {assignment("MAT", "T1", "G1", "11111"), assignment("#85", "T1", "", "1", "#85", "")};
    const ToolRun run = folder.run();
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();
    EXPECT_EQ(skippedLessons(run), 1) << run.out.toStdString();
    const std::vector<Record> solution = folder.solution();
    EXPECT_EQ(solution.size(), 5u) << describe(solution).toStdString();
    EXPECT_EQ(
        firstDoubleBooking(solution, readTable(QDir(folder.path()).filePath(days_hours_table::fileName()))), QString());
}

TEST(StandinTimetabler, NonRegularActivitiesGoToTheLastFrameWithTheirCodeAsTask)
{
    WorkFolder folder;
    folder.periods = frameRows(QStringLiteral("0"), 3, 8 * 60);
    const auto afternoon = frameRows(QStringLiteral("1"), 3, 16 * 60);
    folder.periods.insert(folder.periods.end(), afternoon.begin(), afternoon.end());
    folder.subjects.push_back({{"COD", QStringLiteral("#85")}, {"CODTAREA", QStringLiteral("#85")}});
    for (int i = 3; i <= 12; ++i)
        folder.teachers.push_back({{"ABREV", QStringLiteral("T%1").arg(i)}, {"X_EMPLEADO", QString::number(100 + i)}});
    folder.assignments = {assignment("#85", "T1", "", "1", "#85", "")};
    const ToolRun run = folder.run();
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();
    const std::vector<Record> solution = folder.solution();
    ASSERT_GT(solution.size(), 1u) << "some teachers also get a \"#\" activity";
    for (const Record &r : solution) {
        EXPECT_EQ(r.value(QStringLiteral("ASIG")), QStringLiteral("#85"));
        EXPECT_EQ(r.value(QStringLiteral("TAREA")), QStringLiteral("#85"));
        EXPECT_EQ(r.value(QStringLiteral("MARCO")), QStringLiteral("1"));
        EXPECT_EQ(r.value(QStringLiteral("CODGRUPO")), QString());
    }
}

TEST(StandinTimetabler, TheSameSeedGivesTheSameTimetable)
{
    WorkFolder first, second;
    for (WorkFolder *folder : {&first, &second}) {
        folder->periods = frameRows(QStringLiteral("0"), 4, 8 * 60);
        folder->assignments = {assignment("MAT", "T1", "G1", "2111"), assignment("LEN", "T2", "G1", "1111")};
        ASSERT_EQ(folder->run(5).status, 0);
    }
    EXPECT_EQ(describe(first.solution()), describe(second.solution()));
}

TEST(StandinTimetabler, SaysItIsATestToolAndNamesAMissingTable)
{
    const ToolRun help = runTool("standin_timetabler", {QStringLiteral("--help")});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("prueba y demostración"))) << help.out.toStdString();
    EXPECT_TRUE(help.out.contains(QStringLiteral("No forma parte del conversor"))) << help.out.toStdString();

    QTemporaryDir empty;
    const ToolRun missing = placeLessons(empty.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("DIASHORAST.DBF"))) << missing.err.toStdString();
}

// After a real export of a generated school: every SOLUC record names codes the
// working tables hold, and nobody is in two places at once.
TEST(StandinTimetabler, OnAnExportedSchoolEveryRecordRefersToExistingCodes)
{
    QTemporaryDir dir;
    ToolRun generated;
    const School school = generatedSchool(dir.path(), 0.1, 11, &generated);
    ASSERT_EQ(generated.status, 0) << generated.describe().toStdString();
    const QString ktemp = dir.filePath(QStringLiteral("KTEMP"));
    const ToolRun exported = exportSchool(school, ktemp);
    ASSERT_EQ(exported.status, 0) << exported.describe().toStdString();
    const ToolRun run = placeLessons(ktemp, 2);
    ASSERT_EQ(run.status, 0) << run.describe().toStdString();

    const auto codes = [&](const char *table, const char *field) {
        QSet<QString> set;
        for (const Record &r : readTable(QDir(ktemp).filePath(QString::fromLatin1(table))))
            set.insert(r.value(QString::fromLatin1(field)));
        return set;
    };
    const QSet<QString> teachers = codes("PROFT.DBF", "ABREV"), subjects = codes("ASIGNOMT.DBF", "COD");
    const QSet<QString> tasks = codes("ASIGNOMT.DBF", "CODTAREA"), groups = codes("GRUPOST.DBF", "ABREV");
    const QSet<QString> rooms = codes("AULAT.DBF", "ABREV"), origins = codes("ORIGENES_C.DBF", "C_ORIHOR");
    QSet<QString> periods;
    for (const Record &p : readTable(QDir(ktemp).filePath(QStringLiteral("DIASHORAST.DBF"))))
        periods.insert(p.value(QStringLiteral("DIHO")) + QLatin1Char('/') + p.value(QStringLiteral("MARCO")));

    const std::vector<Record> solution = readTable(QDir(ktemp).filePath(QStringLiteral("SOLUC.DBF")));
    ASSERT_GT(solution.size(), 100u);
    QStringList unknown;
    for (const Record &r : solution) {
        const auto check = [&](const char *field, const QSet<QString> &known, bool blankAllowed) {
            const QString value = r.value(QString::fromLatin1(field));
            if (!(known.contains(value) || (blankAllowed && AllTrim(value).isEmpty())))
                unknown << QStringLiteral("%1=%2").arg(QString::fromLatin1(field), value);
        };
        check("PROF", teachers, false);
        check("ASIG", subjects, false);
        check("TAREA", tasks, false);
        check("CODGRUPO", groups, true);
        check("AULA", rooms, true);
        check("CCONCIERTO", origins, true);
        const QString period = r.value(QStringLiteral("DIA")) + r.value(QStringLiteral("HORA")) + QLatin1Char('/')
            + r.value(QStringLiteral("MARCO"));
        if (!periods.contains(period))
            unknown << QStringLiteral("periodo %1").arg(period);
    }
    EXPECT_EQ(unknown.mid(0, 10), QStringList());
    EXPECT_EQ(
        firstDoubleBooking(solution, readTable(QDir(ktemp).filePath(QStringLiteral("DIASHORAST.DBF")))), QString());
}
