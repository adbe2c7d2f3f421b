// standin_timetabler: a test and demonstration tool that fills SOLUC.DBF the way
// the timetabler would, so the round trip runs where the real timetabler cannot.
// It is not part of the converter and does not try to make a good timetable.
//
// What it does, after an export, in the working folder:
// - Every ASIGT row with a teacher (CPROF not blank) asks for its weekly lessons:
//   each digit d of SESIONES is one lesson of d consecutive periods on one day
//   ("2211": two double lessons and two single ones); a 0 asks for nothing.
// - A lesson goes into the frame of its group (GRUPOST.MARCO; "0" without a
//   group). Rows of "#" activities (non-regular hours) go into the last frame,
//   the afternoon when there are two.
// - Only Monday to Friday are used, although DIASHORAST lists seven days.
// - No teacher, group or room is given two periods that overlap in time; a lesson
//   with no room left, or without a group, has no room.
// - Some teachers also get one or two "#" activities of ASIGNOMT.
// - Each placed period is one SOLUC record: PROF=CPROF, DIA, HORA, MARCO,
//   ASIG=CASIG, TAREA=CTAREA, CODGRUPO=CGRUP, AULA, CCONCIERTO=CORIGEN.
// Lessons that find no room in the week are skipped and counted.
#include "common/clipper.h"
#include "common/dbf_table.h"
#include "common/platform.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/days_hours_table.h"
#include "export/groups_table.h"
#include "export/rooms_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"
#include "import/solution_table.h"
#include "tools/lesson_placement.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

namespace {

using clipper::AllTrim;
using standin::LessonPlacer;
using standin::Occupancy;
using standin::Period;
using standin::WeekGrid;

struct Lesson {
    QString teacher, day, hour, frame, subject, task, group, room, origin;
};

// One ASIGT row with a teacher: its lessons' lengths, longest first.
struct Request {
    Lesson lesson;
    int teacher = -1, group = -1;
    std::vector<int> lengths;
    int weight = 0; // weekly periods of its teacher and its group together
};

// One try at the whole week; the best of a few tries is written.
struct Attempt {
    std::vector<std::pair<Lesson, int>> blocks; // what, and the placer's block
    std::vector<Lesson> lessons; // one per period, with rooms
    int activityPeriods = 0;
    int skipped = 0;
};

class StandinTimetabler {
public:
    StandinTimetabler(const QString &workDir, std::uint32_t seed)
        : m_dir(workDir)
        , m_seed(seed)
    {
    }

    // A greedy placement can leave a lesson out that another order of days would
    // fit; a few tries with other turns of the days usually place everything.
    void run()
    {
        readPeriods();
        readGroupsAndRooms();
        readRequests();
        readActivities();
        constexpr int kTries = 6;
        for (int t = 0; t < kTries && (t == 0 || m_best.skipped > 0); ++t) {
            RandomSource random(m_seed * 7919u + std::uint32_t(t));
            LessonPlacer placer(m_grid, random);
            Attempt attempt;
            placeAssignments(attempt, placer);
            placeActivities(attempt, placer, random);
            giveRooms(attempt, placer);
            if (t == 0 || attempt.skipped < m_best.skipped)
                m_best = std::move(attempt);
        }
        writeSolution();
    }

    int placedPeriods() const { return int(m_best.lessons.size()); }
    int activityPeriods() const { return m_best.activityPeriods; }
    int skippedLessons() const { return m_best.skipped; }
    QString solutionPath() const { return m_dir.filePath(solution_table::fileName()); }

private:
    dbf::Table open(const QString &fileName)
    {
        dbf::Table table(m_dir.filePath(fileName));
        table.open(dbf::Table::Access::ReadShared);
        return table;
    }

    static int minutes(const QString &time)
    {
        const QStringList parts = AllTrim(time).split(QLatin1Char(':'));
        bool hoursOk = false, minutesOk = false;
        const int h = parts.value(0).toInt(&hoursOk), m = parts.value(1).toInt(&minutesOk);
        return parts.size() == 2 && hoursOk && minutesOk ? h * 60 + m : -1;
    }

    void readPeriods()
    {
        const dbf::Table table = open(days_hours_table::fileName());
        const int day = table.fieldIndex(QStringLiteral("DIA")), hour = table.fieldIndex(QStringLiteral("HORA"));
        const int frame = table.fieldIndex(QStringLiteral("MARCO"));
        const int from = table.fieldIndex(QStringLiteral("HORADESDE")),
                  to = table.fieldIndex(QStringLiteral("HORAHASTA"));
        for (int row : table.liveRows()) {
            bool dayOk = false, hourOk = false;
            Period p;
            p.day = AllTrim(table.text(row, day)).toInt(&dayOk);
            p.hour = AllTrim(table.text(row, hour)).toInt(&hourOk);
            p.frame = AllTrim(table.text(row, frame)).left(1);
            p.start = minutes(table.text(row, from));
            p.end = minutes(table.text(row, to));
            if (dayOk && hourOk && p.day > 0 && p.hour > 0)
                m_grid.addPeriod(p);
        }
        m_grid.finish();
        if (m_grid.periods().empty())
            throw UserError(QStringLiteral("%1 no tiene ningún tramo horario.").arg(table.fileName()));
        m_lastFrame = m_grid.frames().constLast();
    }

    void readGroupsAndRooms()
    {
        const dbf::Table groups = open(groups_table::fileName());
        const int code = groups.fieldIndex(QStringLiteral("ABREV")), frame = groups.fieldIndex(QStringLiteral("MARCO"));
        for (int row : groups.liveRows()) {
            const QString abrev = AllTrim(groups.text(row, code));
            if (!m_groupFrame.contains(abrev))
                m_groupFrame.insert(abrev, AllTrim(groups.text(row, frame)).left(1));
        }
        const dbf::Table rooms = open(rooms_table::fileName());
        const int room = rooms.fieldIndex(QStringLiteral("ABREV"));
        for (int row : rooms.liveRows()) {
            if (!AllTrim(rooms.text(row, room)).isEmpty())
                m_rooms.push_back(rooms.text(row, room));
        }
    }

    QString frameFor(const QString &subject, const QString &group) const
    {
        QString frame = QStringLiteral("0");
        if (subject.startsWith(QLatin1Char('#')))
            frame = m_lastFrame;
        else if (!group.isEmpty())
            frame = m_groupFrame.value(group, frame);
        return m_grid.frames().contains(frame) ? frame : m_grid.frames().constFirst();
    }

    int idOf(QHash<QString, int> &ids, const QString &code)
    {
        const auto it = ids.constFind(code);
        if (it != ids.constEnd())
            return it.value();
        const int id = int(ids.size());
        ids.insert(code, id);
        return id;
    }

    // The group's own room when it is free, else one of the next rooms, else none.
    QString roomFor(Occupancy &rooms, int group, const std::vector<int> &periods)
    {
        if (group < 0 || m_rooms.empty())
            return QString();
        constexpr int kTries = 16;
        for (int k = 0; k < kTries && k < int(m_rooms.size()); ++k) {
            const int room = (group + k) % int(m_rooms.size());
            const bool free = std::all_of(periods.begin(), periods.end(), [&](int p) { return rooms.isFree(room, p); });
            if (free) {
                for (int p : periods)
                    rooms.take(room, p, 0);
                return m_rooms[std::size_t(room)];
            }
        }
        return QString();
    }

    // The rows of ASIGT with a teacher, each with the lessons it asks for.
    void readRequests()
    {
        const dbf::Table table = open(assignments_table::fileName());
        const int subject = table.fieldIndex(QStringLiteral("CASIG"));
        const int teacher = table.fieldIndex(QStringLiteral("CPROF"));
        const int group = table.fieldIndex(QStringLiteral("CGRUP"));
        const int sessions = table.fieldIndex(QStringLiteral("SESIONES"));
        const int task = table.fieldIndex(QStringLiteral("CTAREA"));
        const int origin = table.fieldIndex(QStringLiteral("CORIGEN"));
        QHash<int, int> teacherHours, groupHours;
        for (int row : table.liveRows()) {
            const QString prof = AllTrim(table.text(row, teacher));
            if (prof.isEmpty())
                continue;
            Request r;
            const QString groupCode = AllTrim(table.text(row, group));
            r.lesson = {table.text(row, teacher), QString(), QString(), frameFor(table.text(row, subject), groupCode),
                table.text(row, subject), table.text(row, task), table.text(row, group), QString(),
                table.text(row, origin)};
            r.teacher = idOf(m_teacherIds, prof);
            r.group = groupCode.isEmpty() ? -1 : idOf(m_groupIds, groupCode);
            for (const QChar c : table.text(row, sessions)) {
                if (c.isDigit() && c.digitValue() > 0)
                    r.lengths.push_back(c.digitValue());
            }
            // Longer lessons first: they are the hardest to fit.
            std::sort(r.lengths.begin(), r.lengths.end(), std::greater<int>());
            for (int length : r.lengths) {
                teacherHours[r.teacher] += length;
                if (r.group >= 0)
                    groupHours[r.group] += length;
            }
            m_requests.push_back(std::move(r));
        }
        // The busiest teachers and groups go first, double lessons before single ones.
        for (Request &r : m_requests)
            r.weight = teacherHours.value(r.teacher) + groupHours.value(r.group);
        std::stable_sort(m_requests.begin(), m_requests.end(), [](const Request &a, const Request &b) {
            const int la = a.lengths.empty() ? 0 : a.lengths.front(), lb = b.lengths.empty() ? 0 : b.lengths.front();
            return la != lb ? la > lb : a.weight > b.weight;
        });
    }

    // Lessons are placed in rounds, one of each row per round, so that every row
    // finds room early in the week.
    void placeAssignments(Attempt &attempt, LessonPlacer &placer)
    {
        std::vector<std::vector<int>> daysUsed(m_requests.size());
        for (std::size_t round = 0;; ++round) {
            bool any = false;
            for (std::size_t i = 0; i < m_requests.size(); ++i) {
                const Request &r = m_requests[i];
                if (round >= r.lengths.size())
                    continue;
                any = true;
                const int block = placer.place(
                    m_grid.frameIndex(r.lesson.frame), r.lengths[round], r.teacher, r.group, daysUsed[i]);
                if (block < 0) {
                    ++attempt.skipped;
                    if (qEnvironmentVariableIsSet("DBGS"))
                        std::fprintf(stderr, "skip %s %s %s %d\n", qUtf8Printable(r.lesson.teacher),
                            qUtf8Printable(r.lesson.subject), qUtf8Printable(r.lesson.group), r.lengths[round]);
                    continue;
                }
                attempt.blocks.push_back({r.lesson, block});
            }
            if (!any)
                break;
        }
    }

    // The "#" activities of ASIGNOMT, and the teachers that may take them.
    void readActivities()
    {
        const dbf::Table subjects = open(subjects_table::fileName());
        const int code = subjects.fieldIndex(QStringLiteral("COD"));
        for (int row : subjects.liveRows()) {
            if (subjects.text(row, code).startsWith(QLatin1Char('#')))
                m_activities.push_back(subjects.text(row, code));
        }
        const dbf::Table teachers = open(teachers_table::fileName());
        const int abrev = teachers.fieldIndex(QStringLiteral("ABREV"));
        for (int row : teachers.liveRows()) {
            if (!AllTrim(teachers.text(row, abrev)).isEmpty())
                m_teachers.push_back(teachers.text(row, abrev));
        }
    }

    // One or two "#" activities for about a third of the teachers.
    void placeActivities(Attempt &attempt, LessonPlacer &placer, RandomSource &random)
    {
        if (m_activities.empty())
            return;
        for (const QString &teacher : m_teachers) {
            if (random.below(3) != 0)
                continue;
            const int count = 1 + random.below(2);
            for (int k = 0; k < count; ++k) {
                const QString activity = random.pick(m_activities);
                std::vector<int> daysUsed;
                const int block = placer.place(
                    m_grid.frameIndex(m_lastFrame), 1, idOf(m_teacherIds, AllTrim(teacher)), -1, daysUsed);
                if (block < 0) {
                    ++attempt.skipped;
                    continue;
                }
                attempt.blocks.push_back(
                    {{teacher, QString(), QString(), m_lastFrame, activity, activity, QString(), QString(), QString()},
                        block});
                attempt.activityPeriods += int(placer.block(block).periods.size());
            }
        }
    }

    // Rooms once every lesson has its final place; then one lesson per period.
    void giveRooms(Attempt &attempt, const LessonPlacer &placer)
    {
        Occupancy rooms(m_grid);
        for (auto &[lesson, id] : attempt.blocks) {
            const standin::Block &block = placer.block(id);
            lesson.room = roomFor(rooms, block.group, block.periods);
            for (int p : block.periods) {
                const Period &period = m_grid.periods()[std::size_t(p)];
                lesson.day = QString::number(period.day);
                lesson.hour = QString::number(period.hour);
                lesson.frame = period.frame;
                attempt.lessons.push_back(lesson);
            }
        }
    }

    // Every record is appended in memory and reaches the disk with the last post.
    void writeSolution()
    {
        const QString path = solutionPath();
        dbf::removeTableFiles(path);
        dbf::createTable(path, solution_table::layout());
        dbf::Table table(path);
        table.open(dbf::Table::Access::Exclusive);
        const QStringList names = {QStringLiteral("PROF"), QStringLiteral("DIA"), QStringLiteral("HORA"),
            QStringLiteral("MARCO"), QStringLiteral("ASIG"), QStringLiteral("TAREA"), QStringLiteral("CODGRUPO"),
            QStringLiteral("AULA"), QStringLiteral("CCONCIERTO")};
        std::vector<int> f;
        for (const QString &name : names)
            f.push_back(table.fieldIndex(name));
        int last = -1;
        for (const Lesson &l : m_best.lessons) {
            last = table.appendBlank();
            const QString values[] = {l.teacher, l.day, l.hour, l.frame, l.subject, l.task, l.group, l.room, l.origin};
            for (std::size_t i = 0; i < f.size(); ++i)
                table.setText(last, f[i], values[i]);
        }
        if (last >= 0)
            table.post(last);
        table.close();
    }

    QDir m_dir;
    std::uint32_t m_seed;
    WeekGrid m_grid;
    QString m_lastFrame;
    QHash<QString, QString> m_groupFrame;
    std::vector<QString> m_rooms;
    QHash<QString, int> m_teacherIds, m_groupIds;
    std::vector<Request> m_requests;
    std::vector<QString> m_activities; // "#" codes of ASIGNOMT
    std::vector<QString> m_teachers; // PROFT.ABREV
    Attempt m_best;
};

} // namespace

int main(int argc, char *argv[])
{
    platform::prepareProcess();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("standin_timetabler"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Herramienta de prueba y demostración: hace de programa de horarios después de una exportación y escribe "
        "SOLUC.DBF con las sesiones de ASIGT colocadas en los tramos libres de DIASHORAST, sin que un profesor, "
        "un grupo o un aula esté en dos sitios a la vez, y con algunas actividades \"#\".\n"
        "No forma parte del conversor ni es el programa de horarios real (Horavent): no busca un buen horario.\n"
        "Cada cifra d de SESIONES es una sesión de d tramos seguidos en un mismo día; solo usa de lunes a viernes."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption ktemp(QStringLiteral("ktemp"),
        QStringLiteral("Carpeta de trabajo con las tablas de la exportación."), QStringLiteral("DIR"));
    const QCommandLineOption seed(
        QStringLiteral("seed"), QStringLiteral("Semilla (por defecto 1)."), QStringLiteral("N"), QStringLiteral("1"));
    parser.addOptions({ktemp, seed});
    // Help and errors in UTF-8, as the tool writes everything (Qt's own would use
    // the system's code page on Windows).
    if (!parser.parse(app.arguments()) || parser.isSet(help)) {
        const bool asked = parser.isSet(help);
        std::fprintf(asked ? stdout : stderr, "%s%s",
            asked ? "" : qUtf8Printable(parser.errorText() + QLatin1Char('\n')), qUtf8Printable(parser.helpText()));
        return asked ? 0 : 2;
    }
    bool seedOk = false;
    const uint seedValue = parser.value(seed).toUInt(&seedOk);
    if (!parser.isSet(ktemp) || !seedOk) {
        std::fprintf(stderr, "%s", qUtf8Printable(parser.helpText()));
        return 2;
    }
    try {
        StandinTimetabler timetabler(QDir::current().absoluteFilePath(parser.value(ktemp)), seedValue);
        timetabler.run();
        std::printf("%s: %d registros (%d de actividades no regulares añadidas); %d sesiones sin colocar\n",
            qUtf8Printable(QDir::toNativeSeparators(timetabler.solutionPath())), timetabler.placedPeriods(),
            timetabler.activityPeriods(), timetabler.skippedLessons());
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
