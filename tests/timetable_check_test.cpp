// The check of a timetable document, as the person runs it: `transhoravo check`
// on a good document (the example school's round trip) and on copies of it with
// one fault planted each. Every planted fault must be found, named with its
// teacher and record, and make the command end with status 4.
#include "check_fixture.h"

#include "import/check_report_html.h"
#include "import/seneca_export.h"
#include "import/timetable_check.h"
#include "import/timetable_check_run.h"
#include "import/timetable_reader.h"

#include "common/user_error.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace check_fixture;

round_trip::ToolRun runCheck(const QString &seneca, const QString &document, const QStringList &more = {})
{
    return round_trip::runTool("transhoravo",
        QStringList{
            QStringLiteral("check"), QStringLiteral("--seneca"), seneca, QStringLiteral("--timetable"), document}
            + more);
}

// The lines of the command's output that carry a severity and point at a record
// (or teacher group) among the references that end them.
QStringList linesAbout(const QString &out, const QString &severity, const QString &where)
{
    QStringList found;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        const qsizetype references = line.lastIndexOf(QStringLiteral(" ["));
        if (!line.startsWith(severity + QStringLiteral(": ")) || references < 0 || !line.endsWith(QLatin1Char(']')))
            continue;
        const QStringList refs = line.mid(references + 2).chopped(1).split(QStringLiteral(", "));
        if (refs.contains(where))
            found << line;
    }
    return found;
}

QStringList linesOf(const QString &out, const QString &severity)
{
    QStringList found;
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(severity + QStringLiteral(": ")))
            found << line;
    }
    return found;
}

class TimetableCheck : public ::testing::Test {
protected:
    void SetUp() override
    {
        const GoodSchool &school = goodSchool();
        ASSERT_TRUE(school.failure.isEmpty()) << school.failure.toStdString();
        good = readAll(school.document);
        ASSERT_FALSE(good.isEmpty());
    }

    QString writeCopy(const QByteArray &doc)
    {
        const QString path = dir.filePath(QStringLiteral("ResultadoHoravoseneca.xml"));
        EXPECT_TRUE(writeAll(path, doc));
        return path;
    }

    QTemporaryDir dir;
    QByteArray good;
};

TEST_F(TimetableCheck, theExampleSchoolsDocumentHasNoError)
{
    const GoodSchool &school = goodSchool();
    const round_trip::ToolRun run = runCheck(school.senecaWithoutCatalogues, school.document);
    EXPECT_EQ(run.status, 0) << run.describe().toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("ERROR:"))) << run.out.toStdString();
    // The teacher on leave has no timetable: listed, not an error.
    const QStringList information = linesOf(run.out, QStringLiteral("INFORMACIÓN"));
    EXPECT_TRUE(information.join(QLatin1Char('\n')).contains(QStringLiteral("48486"))) << run.out.toStdString();
}

struct PlantedFault {
    const char *fault;
    bool fullExport; // checked against the export with its reference catalogues
    std::function<bool(QByteArray &)> plant;
    QString where; // "GROUP/RECORD" or "GROUP" among the references that end the line
    QString expected; // part of the finding's text
};

TEST_F(TimetableCheck, eachPlantedFaultIsFoundNamedAndEndsWithStatus4)
{
    const QString p1 = QStringLiteral("HORARIO_REGULAR_PROFESOR_1");
    const QString a1 = QStringLiteral("ACTIVIDAD_1");
    const QString employee1 = datoOf(good, p1, QString(), "X_EMPLEADO");
    const QString at1 = p1 + QLatin1Char('/') + a1;
    const SenecaExport names = SenecaExport::read(goodSchool().senecaWithoutCatalogues);
    const QString teacher1 = names.teacher(employee1)->name;
    const int start = datoOf(good, p1, a1, "N_HORINI").toInt();
    const QString room = datoOf(good, p1, a1, "X_DEPENDENCIA");
    const SenecaExport seneca = SenecaExport::read(goodSchool().senecaWithoutCatalogues);
    QString otherRoom;
    for (const auto &[code, name] : seneca.rooms) {
        if (code != room) {
            otherRoom = code;
            break;
        }
    }
    ASSERT_GT(start, 0);
    ASSERT_FALSE(room.isEmpty());

    const PlantedFault faults[] = {
        {"an unknown teacher", false,
            [](QByteArray &d) {
                return setDato(
                    d, QStringLiteral("HORARIO_REGULAR_PROFESOR_2"), QString(), "X_EMPLEADO", QStringLiteral("99999"));
            },
            QStringLiteral("HORARIO_REGULAR_PROFESOR_2"),
            QStringLiteral("Empleado 99999: Séneca no tiene ningún profesor con este código de empleado")},
        {"an unknown slot", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "X_TRAMO", QStringLiteral("99999")); }, at1,
            QStringLiteral("tramo horario que Séneca no tiene")},
        {"an unknown unit", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "X_UNIDAD", QStringLiteral("99998")); }, at1,
            QStringLiteral("unidad que Séneca no tiene")},
        {"an unknown subject", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "X_MATERIAOMG", QStringLiteral("999999")); }, at1,
            QStringLiteral("materia que Séneca no tiene en")},
        {"a wrong start time", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "N_HORINI", QString::number(start + 5)); }, at1,
            QStringLiteral("hora que no es la de su tramo")},
        {"a teacher in two rooms at once", false,
            [&](QByteArray &d) {
                return addCopy(d, p1, a1, QStringLiteral("ACTIVIDAD_99"), [&](QByteArray &copy) {
                    copy.replace("\"X_DEPENDENCIA\">" + room.toLatin1() + "<",
                        "\"X_DEPENDENCIA\">" + otherRoom.toLatin1() + "<");
                });
            },
            p1 + QStringLiteral("/ACTIVIDAD_99"), QStringLiteral("está en dos lecciones distintas a la vez")},
        {"a blank authorisation", true,
            [&](QByteArray &d) {
                const Span span = groupSpan(d, p1, a1);
                d.insert(span.end - qsizetype(sizeof("</grupo_datos>")) + 1,
                    "<dato nombre_dato=\"X_ORIHORACTETP\"> </dato>");
                return span.begin >= 0;
            },
            at1, QStringLiteral("sin autorización en")},
        {"a date outside the year", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "F_INICIO", QStringLiteral("01/09/2024")); }, at1,
            QStringLiteral("fuera del curso")},
        {"a date that does not exist", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "F_FIN", QStringLiteral("31/02/2026")); }, at1,
            QStringLiteral("fecha de fin que no es una fecha dd/mm/aaaa: «31/02/2026»")},
        {"a date without its leading zeros", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "F_INICIO", QStringLiteral("1/9/2025")); }, at1,
            QStringLiteral("fecha de inicio que no es una fecha dd/mm/aaaa: «1/9/2025»")},
        {"a date with a letter among its digits", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "F_INICIO", QStringLiteral("15/O9/2025")); }, at1,
            QStringLiteral("fecha de inicio que no es una fecha dd/mm/aaaa: «15/O9/2025»")},
        {"a start after the end", false,
            [&](QByteArray &d) {
                return setDato(d, p1, a1, "F_INICIO", QStringLiteral("20/06/2026"))
                    && setDato(d, p1, a1, "F_FIN", QStringLiteral("19/06/2026"));
            },
            at1, QStringLiteral("lecciones que empiezan el 20/06/2026 y terminan antes, el 19/06/2026")},
        {"a non-regular activity in the regular section", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "X_ACTIVIDAD", QStringLiteral("85")); }, at1,
            QStringLiteral("es una actividad no regular y está en el horario regular")},
        {"a weekday beyond Sunday", false,
            [&](QByteArray &d) { return setDato(d, p1, a1, "N_DIASEMANA", QStringLiteral("8")); }, at1,
            QStringLiteral("día de la semana que no existe")},
        {"a teacher group that miscounts its records", false,
            [&](QByteArray &d) {
                const qsizetype at = d.indexOf("<grupo_datos seq=\"" + p1.toLatin1() + "\" registros=\"");
                if (at < 0)
                    return false;
                d.insert(d.indexOf("\"", d.indexOf("registros=\"", at) + 11), "0");
                return true;
            },
            p1, QStringLiteral("su horario regular dice tener")},
    };

    for (const PlantedFault &fault : faults) {
        SCOPED_TRACE(fault.fault);
        QByteArray doc = good;
        ASSERT_TRUE(fault.plant(doc));
        const GoodSchool &school = goodSchool();
        const round_trip::ToolRun run
            = runCheck(fault.fullExport ? school.senecaWithCatalogues : school.senecaWithoutCatalogues, writeCopy(doc));
        EXPECT_EQ(run.status, 4) << run.describe().toStdString();
        // Exactly one line, about the record, naming the teacher.
        EXPECT_EQ(linesOf(run.out, QStringLiteral("ERROR")).size(), 1) << run.out.toStdString();
        const QStringList lines = linesAbout(run.out, QStringLiteral("ERROR"), fault.where);
        ASSERT_EQ(lines.size(), 1) << fault.where.toStdString() << "\n" << run.out.toStdString();
        EXPECT_TRUE(lines.front().contains(fault.expected)) << "expected: " << fault.expected.toStdString() << "\n"
                                                            << run.out.toStdString();
        if (fault.where.startsWith(p1)) {
            EXPECT_TRUE(lines.front().contains(QStringLiteral("ERROR: ") + teacher1 + QStringLiteral(": ")))
                << lines.front().toStdString();
        }
    }
}

TEST_F(TimetableCheck, plantedDoubtsAreWarningsAndLeaveStatus0)
{
    const QString p1 = QStringLiteral("HORARIO_REGULAR_PROFESOR_1");
    const QString a1 = QStringLiteral("ACTIVIDAD_1");
    const QString employee1 = datoOf(good, p1, QString(), "X_EMPLEADO");
    const struct {
        const char *doubt;
        std::function<bool(QByteArray &)> plant;
        QString where;
        QString expected;
    } doubts[] = {
        {"a lesson on Saturday", [&](QByteArray &d) { return setDato(d, p1, a1, "N_DIASEMANA", QStringLiteral("6")); },
            p1 + QLatin1Char('/') + a1, QStringLiteral("lecciones en fin de semana (sábado")},
        {"a taking of post other than the export's, after the lessons start",
            [&](QByteArray &d) { return setDato(d, p1, QString(), "F_TOMAPOS", QStringLiteral("01/10/2025")); }, p1,
            QStringLiteral("lecciones empiezan antes de su toma de posesión (01/10/2025)")},
        {"an exact copy of a record",
            [&](QByteArray &d) { return addCopy(d, p1, a1, QStringLiteral("ACTIVIDAD_99"), [](QByteArray &) {}); },
            p1 + QStringLiteral("/ACTIVIDAD_99"), QStringLiteral("lecciones repetidas exactamente")},
    };
    for (const auto &doubt : doubts) {
        SCOPED_TRACE(doubt.doubt);
        QByteArray doc = good;
        ASSERT_TRUE(doubt.plant(doc));
        const round_trip::ToolRun run = runCheck(goodSchool().senecaWithoutCatalogues, writeCopy(doc));
        EXPECT_EQ(run.status, 0) << run.describe().toStdString();
        EXPECT_TRUE(
            linesAbout(run.out, QStringLiteral("AVISO"), doubt.where).join(QLatin1Char('\n')).contains(doubt.expected))
            << doubt.expected.toStdString() << "\n"
            << run.out.toStdString();
    }
}

TEST_F(TimetableCheck, oneLessonGivenToSeveralUnitsAtOnceIsNoError)
{
    // A copy of a lesson for a unit of another course, where the same subject has
    // another code: one lesson, one record per unit, as real schools have them.
    const SenecaExport seneca = SenecaExport::read(goodSchool().senecaWithoutCatalogues);
    const TimetableContent content = TimetableReader::read(goodSchool().document);
    QString group, record, course, unit, subject;
    for (const TimetableRecord &r : content.records) {
        const TimetableTeacher &teacher = content.teachers[size_t(r.teacher)];
        if (!teacher.regular || r.value(TimetableField::X_MATERIAOMG).isEmpty())
            continue;
        const QString name = seneca.subjects.value(
            SenecaExport::subjectKey(r.value(TimetableField::X_MATERIAOMG), r.value(TimetableField::X_OFERTAMATRIG)));
        for (const auto &[unitCode, known] : seneca.units) {
            if (!unit.isEmpty())
                break;
            if (known.course == r.value(TimetableField::X_OFERTAMATRIG))
                continue;
            for (const auto &[subjectKey, subjectName] : seneca.subjects) {
                const QStringList key = subjectKey.split(QLatin1Char('\x1f'));
                if (subjectName == name && key.value(1) == known.course
                    && key.value(0) != r.value(TimetableField::X_MATERIAOMG)) {
                    group = teacher.seq, record = r.seq, course = known.course, unit = unitCode, subject = key.value(0);
                    break;
                }
            }
        }
        if (!unit.isEmpty())
            break;
    }
    ASSERT_FALSE(unit.isEmpty()) << "the example school has no subject taught under two codes";

    QByteArray doc = good;
    ASSERT_TRUE(addCopy(doc, group, record, QStringLiteral("ACTIVIDAD_99"), [&](QByteArray &copy) {
        QString text = QString::fromLatin1(copy);
        for (const auto &[name, value] :
            {std::pair{"X_UNIDAD", unit}, {"X_OFERTAMATRIG", course}, {"X_MATERIAOMG", subject}})
            text.replace(
                QRegularExpression(QStringLiteral("(<dato nombre_dato=\"%1\">)[^<]*<").arg(QLatin1String(name))),
                QStringLiteral("\\1%1<").arg(value));
        copy = text.toLatin1();
    }));
    const round_trip::ToolRun run = runCheck(goodSchool().senecaWithoutCatalogues, writeCopy(doc));
    EXPECT_EQ(run.status, 0) << run.describe().toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("a la vez"))) << run.out.toStdString();
}

TEST_F(TimetableCheck, theExampleSchoolsOwnAuthorisationGapIsNamedWithItsCombination)
{
    // With its catalogues the example leaves one reinforcement lesson in
    // Bachillerato without authorisation (a single space): activity 376, level 12.
    const GoodSchool &school = goodSchool();
    QTemporaryDir work;
    const round_trip::School example = round_trip::exampleSchool(work.path());
    const QString ktemp = QDir(work.path()).filePath(QStringLiteral("KTEMP"));
    ASSERT_EQ(round_trip::exportSchool(example, ktemp).status, 0);
    ASSERT_EQ(round_trip::placeLessons(ktemp).status, 0);
    const round_trip::ToolRun imported = round_trip::importSchool(example, ktemp);
    ASSERT_EQ(imported.status, 0) << imported.describe().toStdString();
    const QString document = round_trip::importedDocument(example);
    const round_trip::ToolRun run = runCheck(school.senecaWithCatalogues, document);
    EXPECT_EQ(run.status, 4);
    EXPECT_TRUE(run.out.contains(QStringLiteral("Apoyo y refuerzo educativo sin autorización en Bachillerato")))
        << run.out.toStdString();
    // The import ends as before, and its summary points at the report beside the document.
    EXPECT_TRUE(imported.err.contains(QStringLiteral("Proceso finalizado")));
    EXPECT_TRUE(imported.out.contains(QStringLiteral("Lea el informe"))) << imported.out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(checkReportPathFor(document)));
}

TEST_F(TimetableCheck, documentsThatAreNotWellFormedOrMisencodedAreErrors)
{
    const struct {
        const char *what;
        std::function<void(QByteArray &)> spoil;
        QString expected;
    } cases[] = {
        {"cut short", [](QByteArray &d) { d.chop(40); },
            QStringLiteral("no es XML válido en la codificación que declara (ISO-8859-1), línea")},
        {"an entity declared: a few bytes that would take the whole memory",
            [](QByteArray &d) {
                d.insert(d.indexOf("<SERVICIO"),
                    "<!DOCTYPE SERVICIO [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\">]>\n");
                d.replace("<dato nombre_dato=\"F_TOMAPOS\">", "<dato nombre_dato=\"F_TOMAPOS\">&b;");
            },
            QStringLiteral("declara entidades XML")},
        {"a Windows-1252 quote under ISO-8859-1",
            [](QByteArray &d) {
                const qsizetype at = d.indexOf("<dato nombre_dato=\"F_TOMAPOS\">");
                d.insert(d.indexOf("</dato>", at), "\x93");
            },
            QStringLiteral("bytes entre 0x80 y 0x9F")},
        {"records in another order",
            [](QByteArray &d) {
                d.replace("<dato nombre_dato=\"X_TRAMO\">38101</dato><dato nombre_dato=\"X_DEPENDENCIA\">90101</dato>",
                    "<dato nombre_dato=\"X_DEPENDENCIA\">90101</dato><dato nombre_dato=\"X_TRAMO\">38101</dato>");
            },
            QStringLiteral("fuera del orden en que los lee Séneca")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        QByteArray doc = good;
        c.spoil(doc);
        const round_trip::ToolRun run = runCheck(goodSchool().senecaWithoutCatalogues, writeCopy(doc));
        EXPECT_EQ(run.status, 4) << run.describe().toStdString();
        EXPECT_TRUE(run.out.contains(c.expected)) << run.out.toStdString();
    }
}

TEST_F(TimetableCheck, aReportThatCannotBeWrittenIsNamedInSpanishAndTheCheckStops)
{
    const GoodSchool &school = goodSchool();
    const QString report = dir.filePath(QStringLiteral("no-existe/informe.html"));
    try {
        runTimetableCheck(school.senecaWithoutCatalogues, school.document, report);
        ADD_FAILURE() << "the check must stop";
    } catch (const UserError &error) {
        EXPECT_TRUE(error.message().startsWith(
            QStringLiteral("No se pudo escribir el informe %1: ").arg(QDir::toNativeSeparators(report))))
            << error.what();
        EXPECT_FALSE(error.message().contains(QStringLiteral("No such"))) << error.what();
    }
}

TEST_F(TimetableCheck, aCheckThatCannotRunEndsWithStatus1AndWrongUsageWith2)
{
    const GoodSchool &school = goodSchool();
    const round_trip::ToolRun missing
        = runCheck(school.senecaWithoutCatalogues, dir.filePath(QStringLiteral("no.xml")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("No existe el archivo"))) << missing.err.toStdString();
    const QString broken = dir.filePath(QStringLiteral("seneca-roto.xml"));
    ASSERT_TRUE(writeAll(broken, "<SERVICIO><BLOQUE_DATOS>"));
    const round_trip::ToolRun badExport = runCheck(broken, school.document);
    EXPECT_EQ(badExport.status, 1);
    EXPECT_TRUE(badExport.err.contains(QStringLiteral("seneca-roto.xml"))) << badExport.err.toStdString();
    const round_trip::ToolRun usage = round_trip::runTool(
        "transhoravo", {QStringLiteral("check"), QStringLiteral("--seneca"), school.senecaWithoutCatalogues});
    EXPECT_EQ(usage.status, 2);
}

// The import checks what it kept of its document while writing it, not the file:
// the check of the file it wrote must write the very same report.
TEST_F(TimetableCheck, theImportsReportIsTheReportOfItsDocumentReadBack)
{
    const GoodSchool &school = goodSchool();
    const QByteArray fromImport = readAll(checkReportPathFor(school.document));
    ASSERT_FALSE(fromImport.isEmpty());
    const QString again = dir.filePath(QStringLiteral("informe.html"));
    runTimetableCheck(school.senecaWithoutCatalogues, school.document, again);
    EXPECT_TRUE(fromImport == readAll(again)) << "the import's report differs from the report of its document";
}

TEST_F(TimetableCheck, theReportStandsAloneAndGridsEveryTeacherUnitAndRoom)
{
    const GoodSchool &school = goodSchool();
    const QString report = dir.filePath(QStringLiteral("informe.html"));
    const CheckResult result = runTimetableCheck(school.senecaWithCatalogues, school.document, report);
    const QString html = QString::fromUtf8(readAll(report));
    ASSERT_FALSE(html.isEmpty());
    // Nothing from the network, no script needed.
    for (const char *outside : {"http://", "https://", "<script", "<link", "@import", "src="})
        EXPECT_FALSE(html.contains(QLatin1String(outside))) << outside;
    EXPECT_TRUE(html.contains(QStringLiteral("<html lang=\"es\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("%1 errores").arg(result.errors)));
    EXPECT_TRUE(html.contains(QStringLiteral("@media print")));
    // One grid per teacher with a timetable, per unit and per room in use.
    const TimetableContent content = TimetableReader::read(school.document);
    QSet<QString> teachers, units, rooms;
    for (const TimetableRecord &record : content.records) {
        teachers.insert(content.teachers[size_t(record.teacher)].employee());
        if (content.teachers[size_t(record.teacher)].regular) {
            if (!record.value(TimetableField::X_UNIDAD).isEmpty())
                units.insert(record.value(TimetableField::X_UNIDAD));
            if (!record.value(TimetableField::X_DEPENDENCIA).isEmpty())
                rooms.insert(record.value(TimetableField::X_DEPENDENCIA));
        }
    }
    EXPECT_EQ(html.count(QStringLiteral("<section class=\"grid\" id=\"p")), teachers.size());
    EXPECT_EQ(html.count(QStringLiteral("<section class=\"grid\" id=\"u")), units.size());
    EXPECT_EQ(html.count(QStringLiteral("<section class=\"grid\" id=\"d")), rooms.size());
    // Every problem about a teacher links to that teacher's grid.
    const QRegularExpression link(QStringLiteral("<a href=\"#(p\\d+)\">Ver su horario</a>"));
    int links = 0;
    for (const QRegularExpressionMatch &match : link.globalMatch(html)) {
        ++links;
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\" data-employee=").arg(match.captured(1))));
    }
    int aboutTeachers = 0;
    for (const CheckFinding &finding : result.findings)
        aboutTeachers += finding.employee.isEmpty() ? 0 : 1;
    EXPECT_EQ(links, aboutTeachers);
    // No error: the summary says so first.
    EXPECT_EQ(result.errors, 0);
    EXPECT_TRUE(html.contains(QStringLiteral("Puede subir el documento.")));
    // The summary leads; the grids are drawn only as they come into view, and printed one a page.
    EXPECT_LT(html.indexOf(QStringLiteral("id=\"resumen\"")), html.indexOf(QStringLiteral("id=\"problemas\"")));
    EXPECT_LT(
        html.indexOf(QStringLiteral("id=\"problemas\"")), html.indexOf(QStringLiteral("<section class=\"grid\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("content-visibility:auto")));
}

} // namespace
