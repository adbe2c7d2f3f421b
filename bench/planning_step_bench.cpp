// Step 11 on a large school: 2,000 teachers with 30 assignments each, over the
// tables the earlier steps leave (subjects, offers, groups and the subject-group
// rows of step 8). Prints how long the step takes and what it wrote.
#include "common/dbf_table.h"
#include "common/exchange_document.h"
#include "common/user_error.h"
#include "common/user_interface.h"
#include "export/assignments_table.h"
#include "export/export_run.h"
#include "export/groups_table.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// The document in a file of the bench's folder, read whole as the dialogs read it.
ExchangeDocument loadDocument(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw UserError(QStringLiteral("No se pudo escribir %1").arg(path));
    file.close();
    return ExchangeDocument::load(path);
}

constexpr int kTeachers = 2000;
constexpr int kAssignmentsPerTeacher = 30;
constexpr int kCourses = 12;
constexpr int kSubjectsPerCourse = 25;
constexpr int kGroupsPerCourse = 8;
constexpr int kActivities = 20;

class SilentInterface : public UserInterface {
public:
    void showMessage(const QString &) override { }
    void showError(const QString &) override { }
    Answer ask(const QString &, const QString &, const QString &, const QString &) override { return Answer::First; }
    std::optional<QString> chooseXmlFile(XmlFile) override { return std::nullopt; }
    void runCourseDialog(CourseDialog &) override { }
    void runFrameDialog(FrameDialog &) override { }
    void setBusy(bool) override { }
    void closeMainWindow() override { }
    void note(const QString &) override { }
    void showSummary(const RunSummary &) override { }
    void showFinished(const QString &, const QString &) override { }
};

QString course(int c)
{
    return QStringLiteral("C%1").arg(c, 2, 10, QLatin1Char('0'));
}
QString subjectCode(int c, int s)
{
    return QStringLiteral("S%1%2").arg(c, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}
QString subjectKey(int c, int s)
{
    return QStringLiteral("M%1%2").arg(c, 2, 10, QLatin1Char('0')).arg(s, 2, 10, QLatin1Char('0'));
}
QString groupKey(int c, int g)
{
    return QStringLiteral("G%1%2").arg(c, 2, 10, QLatin1Char('0')).arg(g);
}

void fillTable(const QString &path, const dbf::Layout &layout, int count, const std::function<QStringList(int)> &row)
{
    dbf::removeTableFiles(path);
    dbf::createTable(path, layout);
    dbf::Table table(path);
    table.open();
    for (int i = 0; i < count; ++i) {
        const QStringList texts = row(i);
        const int r = table.appendBlank();
        for (int field = 0; field < texts.size(); ++field) {
            if (!texts.at(field).isEmpty())
                table.setText(r, field, texts.at(field));
        }
        table.post(r);
    }
}

void writeEarlierTables(const Session &session)
{
    fillTable(session.workPath(teachers_table::fileName()), teachers_table::layout(), kTeachers, [](int t) {
        return QStringList{QStringLiteral("P%1").arg(t), QStringLiteral("Profesor %1").arg(t), QString(), QString(),
            QStringLiteral("E%1").arg(t)};
    });
    const int subjects = kCourses * kSubjectsPerCourse;
    fillTable(
        session.workPath(subjects_table::fileName()), subjects_table::layout(), subjects + kActivities, [](int i) {
            if (i >= kCourses * kSubjectsPerCourse)
                return QStringList{QStringLiteral("#%1").arg(i), QString(), QStringLiteral("Actividad %1").arg(i)};
            return QStringList{subjectCode(i / kSubjectsPerCourse, i % kSubjectsPerCourse), QString(),
                QStringLiteral("Materia %1").arg(i)};
        });
    fillTable(session.workPath(subject_offers_table::fileName()), subject_offers_table::layout(), subjects, [](int i) {
        const int c = i / kSubjectsPerCourse;
        const int s = i % kSubjectsPerCourse;
        return QStringList{
            subjectCode(c, s), QString(), QStringLiteral("Materia %1").arg(i), subjectKey(c, s), course(c)};
    });
    fillTable(
        session.workPath(groups_table::fileName()), groups_table::layout(), kCourses * kGroupsPerCourse, [](int i) {
            const int c = i / kGroupsPerCourse;
            const int g = i % kGroupsPerCourse;
            return QStringList{QStringLiteral("ESO%1%2").arg(c).arg(QChar(u'A' + g)), QStringLiteral("M"),
                QStringLiteral("ESO"), QString::number(c), QString(QChar(u'A' + g)), groupKey(c, g), course(c)};
        });
    // Step 8: every subject of a course for every group of that course.
    fillTable(session.workPath(assignments_table::fileName()), assignments_table::layout(), subjects * kGroupsPerCourse,
        [](int i) {
            const int offer = i / kGroupsPerCourse;
            const int c = offer / kSubjectsPerCourse;
            const int s = offer % kSubjectsPerCourse;
            const int g = i % kGroupsPerCourse;
            return QStringList{subjectCode(c, s), QString(), QStringLiteral("ESO%1%2").arg(c).arg(QChar(u'A' + g)),
                QString(), QString(), QStringLiteral("ESO"), QString::number(c), QString(QChar(u'A' + g)),
                QStringLiteral("4"), QStringLiteral("1111"), QString(), subjectKey(c, s), course(c), groupKey(c, g),
                QStringLiteral("1")};
        });
}

QByteArray planningDocument()
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>\n";
    const auto dato = [&xml](const QString &value) { xml += "<dato>" + value.toUtf8() + "</dato>"; };
    unsigned seed = 12345;
    const auto next = [&seed](int bound) {
        seed = seed * 1103515245u + 12345u;
        return int((seed >> 8) % unsigned(bound));
    };
    for (int t = 0; t < kTeachers; ++t) {
        xml += "<grupo_datos seq=\"PROFESOR_" + QByteArray::number(t + 1) + "\">";
        dato(QStringLiteral("E%1").arg(t));
        dato(QStringLiteral("Nombre"));
        dato(QStringLiteral("Apellidos"));
        dato(QStringLiteral("profesor%1@centro.es").arg(t));
        for (int a = 0; a < kAssignmentsPerTeacher; ++a) {
            const int c = next(kCourses);
            const int s = next(kSubjectsPerCourse);
            const int g = next(kGroupsPerCourse);
            const bool task = next(10) == 0;
            xml += "<grupo_datos>";
            dato(QStringLiteral("A"));
            dato(task ? QStringLiteral("TAREA") : subjectKey(c, s));
            dato(course(c));
            dato(QStringLiteral("-"));
            dato(groupKey(c, g));
            dato(QStringLiteral("%1").arg(100 + c));
            dato(QStringLiteral("-"));
            dato(QStringLiteral("2211").left(1 + next(4)));
            dato(QStringLiteral("-"));
            dato(QStringLiteral("-"));
            dato(QStringLiteral("LECTIVA"));
            dato(QStringLiteral("-"));
            dato(QString::number(kCourses * kSubjectsPerCourse + next(kActivities)));
            xml += "</grupo_datos>";
        }
        xml += "</grupo_datos>\n";
    }
    xml += "</BLOQUE_DATOS></SERVICIO>\n";
    return xml;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    try {
        QTemporaryDir dir;
        Session session;
        session.workDir = dir.path();
        session.programDir = dir.path();
        writeEarlierTables(session);
        const QByteArray xml = planningDocument();
        const QString empty = QStringLiteral("<SERVICIO><BLOQUE_DATOS/></SERVICIO>");
        SilentInterface ui;
        ExportRun run(session, ui);
        run.setDocuments(loadDocument(QDir(dir.path()).filePath(QStringLiteral("s.xml")), empty.toUtf8()),
            loadDocument(QDir(dir.path()).filePath(QStringLiteral("planificacion.xml")), xml));

        dbf::Table before(session.workPath(assignments_table::fileName()));
        before.open(dbf::Table::Access::ReadShared);
        const int rowsBefore = before.recordCount();
        before.close();

        QElapsedTimer timer;
        timer.start();
        const std::clock_t cpuStart = std::clock();
        run.applyPlanningAssignments();
        const qint64 elapsed = timer.elapsed();
        const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;

        dbf::Table after(session.workPath(assignments_table::fileName()));
        after.open(dbf::Table::Access::ReadShared);
        const int cprof = after.fieldIndex(QStringLiteral("CPROF"));
        int completed = 0;
        for (int row = 0; row < rowsBefore; ++row) {
            if (!after.text(row, cprof).isEmpty())
                ++completed;
        }
        out << "applyPlanningAssignments: " << kTeachers << " teachers x " << kAssignmentsPerTeacher
            << " assignments, planning document " << xml.size() / 1024 << " KiB" << Qt::endl;
        out << "  ASIGT.DBF rows before " << rowsBefore << ", completed " << completed << ", appended "
            << after.recordCount() - rowsBefore << Qt::endl;
        // On a busy machine the processor time tells more than the wall clock.
        out << "  time " << elapsed << " ms (processor time " << qRound(cpuMs) << " ms)" << Qt::endl;
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
