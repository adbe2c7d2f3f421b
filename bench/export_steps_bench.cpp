// Times export steps 3 to 8 on a large school generated in memory: by default
// 20,000 MATERIAS entries (250 courses of 80 subjects from a pool of 2,000 names)
// and 1,000 units (4 per course), so step 8 writes 80,000 assignments. Every
// posted record is written through to disk, in a temporary folder.
//
//   export_steps_bench [courses] [subjects per course] [units per course]
#include "common/dbf_table.h"
#include "common/exchange_document.h"
#include "common/user_error.h"
#include "common/user_interface.h"
#include "export/courses_table.h"
#include "export/export_run.h"
#include "export/subject_codes.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <ctime>
#include <functional>

namespace {

// Answers nothing and says nothing: the steps timed here ask no questions.
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

struct Shape {
    int courses = 250;
    int subjectsPerCourse = 80;
    int unitsPerCourse = 4;
    int subjectPool = 2000;
    int activities = 60;
    int teachers = 1500;
    int rooms = 300;
};

QString dato(const char *name, const QString &value)
{
    return QStringLiteral("<dato nombre_dato=\"%1\">%2</dato>").arg(QLatin1String(name), value);
}

// Subject names in a few families whose derived codes collide a lot (MC, Lc, ...),
// so the suffix search of step 3 is exercised as in a real catalogue.
QString subjectName(int index)
{
    static const char *const families[] = {"Matemáticas %1", "Lengua Castellana y Literatura %1", "TECNOLOGÍA %1",
        "educación física %1", "Biología y Geología %1", "Proyecto integrado de %1"};
    return QString::fromUtf8(families[index % 6]).arg(index / 6 + 1);
}

// The document in a file of the bench's folder, read whole as the dialogs read it.
ExchangeDocument loadDocument(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw UserError(QStringLiteral("No se pudo escribir %1").arg(path));
    file.close();
    return ExchangeDocument::load(path);
}

QByteArray senecaDocument(const Shape &shape)
{
    static const char *const surnames[] = {"García", "Pérez", "López", "Martín", "Gómez", "Ruiz", "Álvarez", "Díaz"};
    static const char *const given[] = {"Luis", "Ana", "María", "José", "Lucía", "Pedro", "Ángela"};
    QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>\n");

    xml += QStringLiteral("<grupo_datos seq=\"MATERIAS\">\n");
    for (int course = 0; course < shape.courses; ++course) {
        for (int k = 0; k < shape.subjectsPerCourse; ++k) {
            const int subject = (course * 7 + k * 13) % shape.subjectPool;
            xml += QStringLiteral("<grupo_datos>") + dato("X_OFERTAMATRIG", QStringLiteral("C%1").arg(course))
                + dato("D_MATERIAC", subjectName(subject)) + dato("X_MATERIAOMG", QString::number(100000 + subject))
                + QStringLiteral("</grupo_datos>\n");
        }
    }
    xml += QStringLiteral("</grupo_datos>\n<grupo_datos seq=\"ACTIVIDADES\">\n");
    for (int i = 0; i < shape.activities; ++i) {
        xml += QStringLiteral("<grupo_datos>") + dato("V0", i % 2 ? QStringLiteral("N") : QStringLiteral("S"))
            + dato("V1", QString::number(i)) + dato("V2", QStringLiteral("Actividad %1").arg(i))
            + dato("V3", QStringLiteral("S")) + dato("V4", QStringLiteral("N")) + QStringLiteral("</grupo_datos>\n");
    }
    xml += QStringLiteral("</grupo_datos>\n<grupo_datos seq=\"EMPLEADOS\">\n");
    for (int i = 0; i < shape.teachers; ++i) {
        xml += QStringLiteral("<grupo_datos>") + dato("V0", QStringLiteral("E%1").arg(i))
            + dato("V1", QStringLiteral("01/09/2020")) + dato("V2", QStringLiteral("Departamento %1").arg(i % 20))
            + dato("V3", QString::fromUtf8(surnames[i % 8])) + dato("V4", QString::fromUtf8(surnames[(i / 8) % 8]))
            + dato("V5", QString::fromUtf8(given[i % 7])) + QStringLiteral("</grupo_datos>\n");
    }
    xml += QStringLiteral("</grupo_datos>\n<grupo_datos seq=\"DEPENDENCIAS\">\n");
    for (int i = 0; i < shape.rooms; ++i) {
        xml += QStringLiteral("<grupo_datos>") + dato("V0", QString::number(5000 + i))
            + dato("V1", QStringLiteral("Aula %1").arg(i)) + QStringLiteral("</grupo_datos>\n");
    }
    xml += QStringLiteral("</grupo_datos>\n<grupo_datos seq=\"UNIDADES\">\n");
    for (int course = 0; course < shape.courses; ++course) {
        for (int u = 0; u < shape.unitsPerCourse; ++u) {
            xml += QStringLiteral("<grupo_datos>") + dato("V0", QStringLiteral("U%1_%2").arg(course).arg(u))
                + dato("V1", QStringLiteral("Unidad %1").arg(u)) + dato("V2", QStringLiteral("C%1").arg(course))
                + QStringLiteral("</grupo_datos>\n");
        }
    }
    xml += QStringLiteral("</grupo_datos>\n</BLOQUE_DATOS></SERVICIO>\n");
    return xml.toUtf8();
}

// CURSOST.DBF as step 2 and the course dialog leave it: levels spread over a few
// codes, so several courses share a base code and their letters run on.
void writeCourses(const QString &path, const Shape &shape)
{
    static const char *const levels[] = {"ESO", "BCT", "BHCS", "FPB", "CFGM"};
    dbf::removeTableFiles(path);
    dbf::createTable(path, courses_table::layout());
    dbf::Table courses(path);
    courses.open();
    const int level = courses.fieldIndex(QStringLiteral("NIVEL"));
    const int course = courses.fieldIndex(QStringLiteral("CURSO"));
    const int key = courses.fieldIndex(QStringLiteral("CLAVE"));
    const int description = courses.fieldIndex(QStringLiteral("ESTUD"));
    for (int i = 0; i < shape.courses; ++i) {
        const int row = courses.appendBlank();
        courses.setText(row, level, QLatin1String(levels[i % 5]));
        courses.setText(row, course, QString::number(i / 5 % 40 + 1));
        courses.setText(row, key, QStringLiteral("C%1").arg(i));
        courses.setText(row, description, QStringLiteral("Curso %1").arg(i));
        courses.post(row);
    }
    courses.close();
}

// A reference table that knows every tenth subject of the pool.
void writeReference(const QString &path, const Shape &shape)
{
    dbf::removeTableFiles(path);
    dbf::createTable(path, {dbf::charField("NOMBRE", 80), dbf::charField("COD", 10), dbf::charField("CODLARGO", 10)});
    dbf::Table reference(path);
    reference.open();
    for (int subject = 0; subject < shape.subjectPool; subject += 10) {
        const int row = reference.appendBlank();
        reference.setText(row, 0, subjectName(subject));
        reference.setText(row, 1, QStringLiteral("REF%1").arg(subject));
        reference.setText(row, 2, QStringLiteral("REFLARGO%1").arg(subject));
        reference.post(row);
    }
    reference.close();
}

int recordCount(const QString &path)
{
    dbf::Table table(path);
    table.open(dbf::Table::Access::ReadShared);
    return table.recordCount();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    Shape shape;
    const QStringList arguments = app.arguments();
    if (arguments.size() > 1)
        shape.courses = arguments.at(1).toInt();
    if (arguments.size() > 2)
        shape.subjectsPerCourse = arguments.at(2).toInt();
    if (arguments.size() > 3)
        shape.unitsPerCourse = arguments.at(3).toInt();

    try {
        QTemporaryDir dir;
        Session session;
        session.workDir = dir.filePath(QStringLiteral("ktemp"));
        session.programDir = dir.filePath(QStringLiteral("programa"));
        QDir().mkpath(session.workDir);
        QDir().mkpath(session.programDir);
        writeReference(session.materiasTablePath(), shape);
        writeCourses(session.workPath(courses_table::fileName()), shape);

        QElapsedTimer timer;
        timer.start();
        ExchangeDocument seneca = loadDocument(dir.filePath(QStringLiteral("bench.xml")), senecaDocument(shape));
        const qint64 documentMs = timer.elapsed();

        SilentInterface ui;
        ExportRun run(session, ui);
        run.setDocuments(std::move(seneca),
            loadDocument(dir.filePath(QStringLiteral("planificacion.xml")),
                QByteArrayLiteral("<SERVICIO><BLOQUE_DATOS/></SERVICIO>")));
        run.codeLists = std::make_unique<SubjectCodeLists>();

        std::printf("MATERIAS entries: %d, units: %d, courses: %d\n", shape.courses * shape.subjectsPerCourse,
            shape.courses * shape.unitsPerCourse, shape.courses);
        std::printf("%-28s %8lld ms\n", "document built, written and read", static_cast<long long>(documentMs));

        struct Step {
            const char *name;
            std::function<void()> run;
            const char *table;
        };
        const Step steps[] = {
            {"3 buildSubjectsTables", [&] { run.buildSubjectsTables(); }, "ASIGNOMT2.DBF"},
            {"4 appendActivityTasks", [&] { run.appendActivityTasks(); }, "ASIGNOMT.DBF"},
            {"5 buildTeachersTable", [&] { run.buildTeachersTable(); }, "PROFT.DBF"},
            {"6 buildRoomsTable", [&] { run.buildRoomsTable(); }, "AULAT.DBF"},
            {"7 buildGroupsTable", [&] { run.buildGroupsTable(); }, "GRUPOST.DBF"},
            {"8 buildAssignmentsTable", [&] { run.buildAssignmentsTable(); }, "ASIGT.DBF"},
        };
        // Wall time, and processor time, which other work on the machine does not inflate.
        std::printf("%-28s %8s %10s   %-14s %7s\n", "", "wall", "processor", "table", "records");
        qint64 total = 0;
        double totalCpu = 0;
        for (const Step &step : steps) {
            const std::clock_t cpuStart = std::clock();
            timer.restart();
            step.run();
            const qint64 ms = timer.elapsed();
            const double cpuMs = 1000.0 * double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
            total += ms;
            totalCpu += cpuMs;
            std::printf("%-28s %5lld ms %7.0f ms   %-14s %7d\n", step.name, static_cast<long long>(ms), cpuMs,
                step.table, recordCount(session.workPath(QLatin1String(step.table))));
        }
        std::printf("%-28s %5lld ms %7.0f ms\n", "steps 3 to 8", static_cast<long long>(total), totalCpu);
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
