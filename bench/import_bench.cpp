// Times an import of a large school: 60,000 placed lessons in SOLUC against 30,000
// teaching assignments, with the catalogues present so that every lesson makes all
// of its lookups. The tables are built in a temporary folder first (not timed).
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/courses_table.h"
#include "export/days_hours_table.h"
#include "export/groups_table.h"
#include "export/origins_table.h"
#include "export/periods_table.h"
#include "export/rooms_table.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"
#include "import/import_run.h"
#include "import/solution_table.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <vector>

namespace {

constexpr int kTeachers = 400;
constexpr int kGroups = 600;
constexpr int kSubjects = 50; // 50 subjects x 600 groups = 30,000 assignments
constexpr int kActivities = 40;
constexpr int kLessons = 60000;
constexpr int kDays = 5;
constexpr int kPeriods = 8;

// Answers the file dialog with the Séneca file and keeps quiet otherwise.
class QuietInterface : public UserInterface {
public:
    explicit QuietInterface(QString seneca)
        : m_seneca(std::move(seneca))
    {
    }
    void showMessage(const QString &) override { }
    void showError(const QString &) override { }
    Answer ask(const QString &, const QString &, const QString &, const QString &) override { return Answer::First; }
    std::optional<QString> chooseXmlFile(XmlFile) override { return m_seneca; }
    void runCourseDialog(CourseDialog &) override { }
    void runFrameDialog(FrameDialog &) override { }
    void setBusy(bool) override { }
    void closeMainWindow() override { }
    void note(const QString &) override { ++notes; }
    void showSummary(const RunSummary &) override { }
    void showFinished(const QString &, const QString &) override { }
    int notes = 0;

private:
    QString m_seneca;
};

using Fill = std::function<void(dbf::Table &, int row, int index)>;

void writeTable(const QString &path, const dbf::Layout &layout, int rows, const Fill &fill)
{
    dbf::removeTableFiles(path);
    dbf::createTable(path, layout);
    dbf::Table table(path);
    table.open();
    for (int i = 0; i < rows; ++i) {
        const int row = table.appendBlank();
        fill(table, row, i);
        table.post(row);
    }
    table.close();
}

QString n(int value)
{
    return QString::number(value);
}

QString teacherCode(int i)
{
    return QStringLiteral("P%1").arg(i, 4, 10, QLatin1Char('0'));
}
QString groupCode(int i)
{
    return QStringLiteral("G%1").arg(i, 4, 10, QLatin1Char('0'));
}
QString subjectCode(int i)
{
    return QStringLiteral("S%1").arg(i, 3, 10, QLatin1Char('0'));
}

void buildSchool(const Session &session)
{
    const auto path = [&](const QString &name) { return session.workPath(name); };
    writeTable(path(periods_table::fileName()), periods_table::layout(), 1, [](dbf::Table &t, int row, int) {
        t.setText(row, QStringLiteral("CURSOANNO"), QStringLiteral("2024"));
        t.setText(row, QStringLiteral("F_INICIO"), QStringLiteral("15/09/2024"));
        t.setText(row, QStringLiteral("F_FIN"), QStringLiteral("22/06/2025"));
    });
    writeTable(
        path(teachers_table::fileName()), teachers_table::layout(), kTeachers, [](dbf::Table &t, int row, int i) {
            t.setText(row, QStringLiteral("ABREV"), teacherCode(i));
            t.setText(row, QStringLiteral("X_EMPLEADO"), n(100000 + i));
            t.setText(row, QStringLiteral("F_TOMAPOS"), QStringLiteral("01/09/2010"));
        });
    writeTable(path(groups_table::fileName()), groups_table::layout(), kGroups, [](dbf::Table &t, int row, int i) {
        t.setText(row, QStringLiteral("ABREV"), groupCode(i));
        t.setText(row, QStringLiteral("CLAVE"), n(500000 + i));
        t.setText(row, QStringLiteral("CLAVECURSO"), n(6000 + i / 30));
    });
    writeTable(path(courses_table::fileName()), courses_table::layout(), 0, {});
    writeTable(path(rooms_table::fileName()), rooms_table::layout(), 0, {});
    writeTable(path(subjects_table::fileName()), subjects_table::layout(), kSubjects + kActivities,
        [](dbf::Table &t, int row, int i) {
            if (i < kSubjects) {
                t.setText(row, QStringLiteral("COD"), subjectCode(i));
            } else {
                const QString code = (i % 2 ? QStringLiteral("#") : QString()) + n(700 + i);
                t.setText(row, QStringLiteral("COD"), code);
                t.setText(row, QStringLiteral("CODTAREA"), code);
                t.setText(row, QStringLiteral("R_UNI_MAT"), i % 3 ? QStringLiteral("NN") : QStringLiteral("SS"));
            }
        });
    writeTable(path(subject_offers_table::fileName()), subject_offers_table::layout(), kSubjects * 20,
        [](dbf::Table &t, int row, int i) {
            t.setText(row, QStringLiteral("COD"), subjectCode(i % kSubjects));
            t.setText(row, QStringLiteral("OFERTAMATRI"), n(6000 + i / kSubjects));
            t.setText(row, QStringLiteral("MATERIA"), n(800000 + i));
        });
    writeTable(path(days_hours_table::fileName()), days_hours_table::layout(), 2 * kDays * kPeriods,
        [](dbf::Table &t, int row, int i) {
            const int frame = i / (kDays * kPeriods);
            const int day = (i / kPeriods) % kDays + 1;
            const int period = i % kPeriods + 1;
            const int start = 480 + frame * 420 + (period - 1) * 60;
            const auto time = [](int minutes) {
                return QStringLiteral("%1:%2")
                    .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                    .arg(minutes % 60, 2, 10, QLatin1Char('0'));
            };
            t.setText(row, QStringLiteral("DIHO"), n(day) + n(period));
            t.setText(row, QStringLiteral("CODDIHO"), n(900 + frame * 100 + period));
            t.setText(row, QStringLiteral("DIA"), n(day));
            t.setText(row, QStringLiteral("HORA"), n(period));
            t.setText(row, QStringLiteral("HORADESDE"), time(start));
            t.setText(row, QStringLiteral("HORAHASTA"), time(start + 55));
            t.setText(row, QStringLiteral("MINUTOS"), QStringLiteral("55"));
            t.setText(row, QStringLiteral("MARCO"), n(frame));
        });
    writeTable(path(assignments_table::fileName()), assignments_table::layout(), kSubjects * kGroups,
        [](dbf::Table &t, int row, int i) {
            t.setText(row, QStringLiteral("CASIG"), subjectCode(i % kSubjects));
            t.setText(row, QStringLiteral("CGRUP"), groupCode(i / kSubjects));
            t.setText(row, QStringLiteral("CLAVE"), n(800000 + i % 1000));
            t.setText(row, QStringLiteral("CLAVECURSO"), i % 7 ? n(6000 + i / kSubjects / 30) : QString());
            if (i % 5)
                t.setText(row, QStringLiteral("X_NIVCONPAGLEG"), n(1 + i % 4));
        });
    writeTable(path(origins_table::fileName()), origins_table::layout(), 3, [](dbf::Table &t, int row, int i) {
        t.setText(row, QStringLiteral("X_CATORIHOR"), n(i + 1));
        t.setText(row, QStringLiteral("C_ORIHOR"), QStringLiteral("ORIG%1").arg(i));
    });
    writeTable(path(course_levels_table::fileName()), course_levels_table::layout(), 0, {});
    writeTable(
        path(authorisations_table::fileName()), authorisations_table::layout(), 200, [](dbf::Table &t, int row, int i) {
            t.setText(row, QStringLiteral("X_ORIHORACTETP"), n(10000 + i));
            t.setText(row, QStringLiteral("X_ACTIVIDAD"), n(i % 2 ? 1 : 700 + kSubjects + i % kActivities));
            t.setText(row, QStringLiteral("X_CATORIHOR"), n(1 + i % 3));
            t.setText(row, QStringLiteral("X_NIVCONPAGLEG"), n(1 + i % 4));
        });
    writeTable(path(solution_table::fileName()), solution_table::layout(), kLessons, [](dbf::Table &t, int row, int i) {
        const int slot = i % (kDays * kPeriods);
        t.setText(row, QStringLiteral("PROF"), teacherCode(i % kTeachers));
        t.setInteger(row, t.fieldIndex(QStringLiteral("DIA")), i % 97 == 0 ? 0 : slot / kPeriods + 1);
        t.setInteger(row, t.fieldIndex(QStringLiteral("HORA")), slot % kPeriods + 1);
        t.setText(row, QStringLiteral("MARCO"), n(i % 2));
        if (i % 10 == 0) { // an activity, marked or not
            const int activity = kSubjects + i / 10 % kActivities;
            const QString code = (activity % 2 ? QStringLiteral("#") : QString()) + n(700 + activity);
            t.setText(row, QStringLiteral("ASIG"), code);
            t.setText(row, QStringLiteral("TAREA"), code);
        } else {
            t.setText(row, QStringLiteral("ASIG"), subjectCode(i % kSubjects));
        }
        t.setText(row, QStringLiteral("CODGRUPO"), i % 13 ? groupCode(i % kGroups) : QStringLiteral("NOESTA"));
        t.setText(row, QStringLiteral("AULA"), i % 4 ? n(300 + i % 80) : QString());
        t.setText(row, QStringLiteral("CCONCIERTO"), i % 3 ? QStringLiteral("ORIG%1").arg(i % 4) : QString());
    });
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "No se pudo crear la carpeta temporal.\n");
        return 1;
    }
    Session session;
    session.workDir = dir.filePath(QStringLiteral("ktemp"));
    session.programDir = dir.path();
    QDir().mkpath(session.workDir);
    const QString seneca = dir.filePath(QStringLiteral("Exportacion.xml"));
    {
        QFile file(seneca);
        if (!file.open(QIODevice::WriteOnly))
            return 1;
        file.write("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO><BLOQUE_DATOS>"
                   "<grupo_datos seq=\"ANNO\"><dato nombre_dato=\"C_ANNO\">2024/2025</dato></grupo_datos>"
                   "</BLOQUE_DATOS></SERVICIO>\n");
    }

    QElapsedTimer build;
    build.start();
    try {
        buildSchool(session);
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf(
        "tables built in %lld ms: SOLUC %d lessons, ASIGT %d assignments, PROFT %d teachers, GRUPOST %d groups\n",
        static_cast<long long>(build.elapsed()), kLessons, kSubjects * kGroups, kTeachers, kGroups);

    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int attempt = 0; attempt < 5; ++attempt) {
        QuietInterface ui(seneca);
        ImportRun run(session, ui);
        run.fechaText = [] { return QStringLiteral("01/02/2025 10:30:00"); };
        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        try {
            if (run.run() != ImportRun::Outcome::Completed) {
                std::fprintf(stderr, "the import did not complete\n");
                return 1;
            }
        } catch (const UserError &error) {
            std::fprintf(stderr, "%s\n", error.what());
            return 1;
        }
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
        cpuTimes.push_back(double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC);
        if (attempt == 0) {
            std::printf("teachers %d, record groups %d, lessons dropped %d (%d notes), output %.1f MB\n",
                run.teacherCount, run.lessonCount, run.droppedCount, ui.notes,
                double(QFileInfo(run.outputPath()).size()) / (1024.0 * 1024.0));
        }
    }
    // The processor time is what the import costs; the elapsed time also holds
    // whatever else the machine is doing, and the disk.
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf("import of %d lessons (%zu runs): elapsed best %.0f ms, median %.0f ms, worst %.0f ms\n", kLessons,
        times.size(), times.front(), times[times.size() / 2], times.back());
    std::printf("import of %d lessons (%zu runs): processor best %.0f ms, median %.0f ms, worst %.0f ms\n", kLessons,
        cpuTimes.size(), cpuTimes.front(), cpuTimes[cpuTimes.size() / 2], cpuTimes.back());
    return 0;
}
