// What a leftover file, a link, a wrong path or another school's tables can do to
// a folder that holds an earlier export and import: each case prepares the fault
// in a copy of that folder, runs the command line once, and checks its exit
// status, its words, and every file byte for byte: as it was, or (where the run
// completes) the new document and its report beside everything else as it was.
#include "common/file_checksum.h"
#include "common/folder_lock.h"
#include "common/staging_area.h"
#include "import/import_run.h"
#include "import/solution_table.h"
#include "round_trip_support.h"
#include "support/posix_holders.h"
#include "support/table_rows.h"

#include <QElapsedTimer>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

using round_trip::School;
using round_trip::ToolRun;
using working_folder::Files;

namespace {

// A copy of the reference: the school's XML files in seneca/, the working folder
// KTEMP/, and what lies around them.
struct Place {
    QString root;
    QString ktemp;
    School school;
    QString document; // the earlier import's document beside the Séneca file
    QString report;
    std::unique_ptr<working_folder::LockHolder> liveRun;

    QString work(const QString &name) const { return QDir(ktemp).filePath(name); }
    QString at(const QString &name) const { return QDir(root).filePath(name); }
};

// Every file of the three folders, named by folder.
Files everything(const Place &place)
{
    Files all;
    for (const QString &folder : {QStringLiteral("KTEMP"), QStringLiteral("seneca"), QString()}) {
        const Files files = working_folder::files(QDir(place.root).filePath(folder));
        for (auto it = files.begin(); it != files.end(); ++it)
            all.insert(folder + QLatin1Char('/') + it.key(), it.value());
    }
    return all;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate)) << qPrintable(path);
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// SOLUC.DBF rewritten with another layout, its records' texts kept; change may
// alter them first.
void rewriteSolution(const Place &place, const dbf::Layout &layout, const std::function<void(TableRows &)> &change = {})
{
    TableRows rows = readTableRows(place.work(solution_table::fileName()));
    if (change)
        change(rows);
    writeTableRows(place.work(solution_table::fileName()), layout, rows);
}

dbf::Layout solutionLayoutWith(QLatin1StringView field, const dbf::FieldDef &replacement)
{
    dbf::Layout layout = solution_table::layout();
    for (dbf::FieldDef &def : layout) {
        if (def.name == field)
            def = replacement;
    }
    return layout;
}

void setField(const QString &path, const QString &field, const std::function<QString(const QString &)> &value)
{
    dbf::Table table(path);
    table.open();
    const int index = table.fieldIndex(field);
    for (int row : table.liveRows()) {
        table.setText(row, index, value(table.text(row, index)));
        table.post(row);
    }
    table.close();
}

// A staging folder a stopped export seems to have left, with its marker.
void leaveStaging(const Place &place, const QByteArray &marker, const QString &folder = QStringLiteral("x1"))
{
    const QString dir = place.work(StagingArea::folderPrefix() + folder);
    QDir().mkpath(dir);
    writeFile(QDir(dir).filePath(StagingArea::markerName()), marker);
}

QByteArray utf8Resaved(const QByteArray &latin1)
{
    return QString::fromLatin1(latin1).toUtf8();
}

enum class After {
    Unchanged, // every file byte for byte as it was
    NewPair, // the new document and its new report; every other file as it was
    NewDocumentOnly, // the new document, no report file; every other file as it was
};

struct SafetyCase {
    const char *name;
    std::function<void(Place &)> fault;
    std::function<QStringList(const Place &)> arguments;
    int status;
    std::function<QStringList(const Place &)> said; // fragments of what the run says
    After after;
    std::function<void(const Place &)> also = {};
};

QStringList importing(const Place &place, const QStringList &more = {})
{
    return QStringList{QStringLiteral("import"), QStringLiteral("--seneca"), place.school.seneca,
               QStringLiteral("--ktemp"), place.ktemp}
    + more;
}

QStringList exporting(const Place &place, const QString &seneca)
{
    return {QStringLiteral("export"), QStringLiteral("--seneca"), seneca, QStringLiteral("--planning"),
        place.school.planning, QStringLiteral("--ktemp"), place.ktemp, QStringLiteral("--levels"), place.school.levels,
        QStringLiteral("--frames"), round_trip::frameCodes(place.school)};
}

auto words(std::initializer_list<const char *> fragments)
{
    QStringList list;
    for (const char *fragment : fragments)
        list << QString::fromUtf8(fragment);
    return [list](const Place &) { return list; };
}

// The set-aside marker: the run stops, tells why, and the next import works.
SafetyCase markerCase(const char *name, std::function<void(Place &)> fault)
{
    return {name, std::move(fault), [](const Place &p) { return importing(p); }, 1,
        words({"sustitución de tablas interrumpida", "haga una nueva exportación", "no se ha borrado nada"}),
        After::Unchanged,
        [](const Place &p) {
            EXPECT_EQ(working_folder::stagingFolders(p.ktemp), QStringList());
            EXPECT_EQ(QDir(p.ktemp)
                          .entryList({StagingArea::setAsidePrefix() + QLatin1Char('*')},
                              QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot)
                          .size(),
                1);
            const ToolRun next = round_trip::importSchool(p.school, p.ktemp);
            EXPECT_EQ(next.status, 0) << "a set-aside marker is never obeyed again\n" << qPrintable(next.describe());
        }};
}

const SafetyCase kCases[] = {
    // Outputs never land on inputs.
    {"the document on SOLUC", {},
        [](const Place &p) {
            return importing(p, {QStringLiteral("--output"), p.work(QStringLiteral("SOLUC.DBF"))});
        },
        1, words({"el documento de horarios", "la tabla SOLUC.DBF", "No se ha cambiado nada"}), After::Unchanged},
    {"the document on the Séneca file", {},
        [](const Place &p) {
            return importing(p, {QStringLiteral("--output"), p.school.seneca});
        },
        1, words({"el documento de horarios", "el archivo de Séneca"}), After::Unchanged},
    {"the document through a link to PROFT",
        [](Place &p) { QFile::link(p.work(QStringLiteral("PROFT.DBF")), p.at(QStringLiteral("enlace.xml"))); },
        [](const Place &p) {
            return importing(p, {QStringLiteral("--output"), p.at(QStringLiteral("enlace.xml"))});
        },
        1, words({"la tabla PROFT.DBF"}), After::Unchanged},
    {"the report on the Séneca file",
        [](Place &p) {
            QFile::copy(p.school.seneca, p.at(QStringLiteral("seneca/S.html")));
            p.school.seneca = p.at(QStringLiteral("seneca/S.html"));
        },
        [](const Place &p) {
            return importing(p, {QStringLiteral("--output"), p.at(QStringLiteral("seneca/S.xml"))});
        },
        1, words({"el informe de comprobación", "el archivo de Séneca"}), After::Unchanged},
    {"the export's Séneca file standing as a table",
        [](Place &p) {
            QFile::remove(p.work(QStringLiteral("NIVELES_C.DBF")));
            QFile::copy(p.school.seneca, p.work(QStringLiteral("NIVELES_C.DBF")));
        },
        [](const Place &p) { return exporting(p, p.work(QStringLiteral("NIVELES_C.DBF"))); }, 1,
        words({"El archivo de Séneca", "la tabla NIVELES_C.DBF", "No se ha cambiado nada"}), After::Unchanged},

    // A leftover marker is checked before it is obeyed.
    markerCase("a marker deleting a file outside the folder",
        [](Place &p) {
            writeFile(p.at(QStringLiteral("victima.txt")), "no se toca");
            leaveStaging(p, "D ../victima.txt\n");
        }),
    markerCase(
        "a marker deleting the planning file", [](Place &p) { leaveStaging(p, "D ../seneca/planificacion.xml\n"); }),
    markerCase("a marker deleting by an absolute path",
        [](Place &p) { leaveStaging(p, "D " + p.school.planning.toUtf8() + "\n"); }),
    markerCase("a marker moving a file outside the folder",
        [](Place &p) {
            leaveStaging(p, "R ../../fuera.DBF 3 1\n");
            writeFile(p.work(StagingArea::folderPrefix() + QStringLiteral("x1/../../fuera.DBF")), "uno");
        }),
    markerCase("a marker deleting a folder",
        [](Place &p) {
            QDir().mkpath(p.work(QStringLiteral("seneca")));
            writeFile(p.work(QStringLiteral("seneca/dentro.xml")), "no se toca");
            leaveStaging(p, "D seneca\n");
        }),
    markerCase("a marker installing a damaged table",
        [](Place &p) {
            const QByteArray table = readFile(p.work(QStringLiteral("ASIGT.DBF")));
            const QByteArray staged = "otro" + table.mid(4); // the same size, other bytes
            leaveStaging(p,
                "R ASIGT.DBF " + QByteArray::number(table.size()) + ' '
                    + QByteArray::number(checksumOf(table.constData(), table.size()), 16) + "\n");
            writeFile(p.work(StagingArea::folderPrefix() + QStringLiteral("x1/ASIGT.DBF")), staged);
        }),
    markerCase("a marker of an earlier form, without sizes",
        [](Place &p) {
            leaveStaging(p, "R ASIGT.DBF\n");
            QFile::copy(p.work(QStringLiteral("ASIGT.DBF")),
                p.work(StagingArea::folderPrefix() + QStringLiteral("x1/ASIGT.DBF")));
        }),

    // The lock holds.
    {"a folder in place of the lock file",
        [](Place &p) {
            QFile::remove(p.work(FolderLock::fileName()));
            QDir().mkpath(p.work(FolderLock::fileName()));
        },
        [](const Place &p) { return importing(p); }, 1, words({".transhoravo.lock", "una carpeta", "Bórrelo"}),
        After::Unchanged},
    {"a link in place of the lock file",
        [](Place &p) {
            QFile::remove(p.work(FolderLock::fileName()));
            QFile::link(p.at(QStringLiteral("fuera.lock")), p.work(FolderLock::fileName()));
        },
        [](const Place &p) { return exporting(p, p.school.seneca); }, 1, words({".transhoravo.lock", "enlace"}),
        After::Unchanged, [](const Place &p) { EXPECT_FALSE(QFileInfo::exists(p.at(QStringLiteral("fuera.lock")))); }},
    {"a live run's staging folder",
        [](Place &p) {
            QDir().mkpath(p.work(StagingArea::folderPrefix() + QStringLiteral("viva")));
            p.liveRun = std::make_unique<working_folder::LockHolder>(
                p.work(StagingArea::folderPrefix() + QStringLiteral("viva/") + StagingArea::ownerName()), true);
        },
        [](const Place &p) { return importing(p); }, 0, words({"Proceso finalizado"}), After::NewPair,
        [](const Place &p) {
            EXPECT_EQ(working_folder::stagingFolders(p.ktemp), QStringList{StagingArea::folderPrefix() + "viva"});
        }},

    // The document and its report are one pair.
    {"a read-only earlier report",
        [](Place &p) { QFile::setPermissions(p.report, QFileDevice::ReadOwner | QFileDevice::ReadGroup); },
        [](const Place &p) { return importing(p); }, 0, words({"Proceso finalizado"}), After::NewPair},
    {"a report that cannot be written",
        [](Place &p) {
            QFile::remove(p.report);
            QDir().mkpath(p.report); // a folder where the report goes
        },
        [](const Place &p) { return importing(p); }, 0,
        words({"no se ha podido comprobar", "No hay informe de comprobación de este documento"}),
        After::NewDocumentOnly},

    // No lesson lost in silence; tables of another school refused.
    {"lessons of a teacher not in PROFT",
        [](Place &p) {
            rewriteSolution(p, solution_table::layout(), [](TableRows &rows) {
                for (int i = 0; i < 3; ++i) {
                    QStringList lesson = rows.at(std::size_t(i));
                    lesson[0] = QStringLiteral("ZZZ");
                    rows.push_back(lesson);
                }
            });
        },
        [](const Place &p) { return importing(p); }, 0,
        words({"Profesor ZZZ: 3 lecciones de SOLUC.DBF no están en el documento"}), After::NewPair,
        [](const Place &p) {
            // The earlier import's count, three more.
            const ToolRun again = round_trip::importSchool(p.school, p.ktemp);
            EXPECT_TRUE(again.out.contains(QStringLiteral("Lecciones descartadas: ")));
        }},
    {"a PROF field of numbers",
        [](Place &p) {
            rewriteSolution(
                p, solutionLayoutWith(solution_table::prof, dbf::intField(solution_table::prof)), [](TableRows &rows) {
                    for (QStringList &row : rows)
                        row[0] = QStringLiteral("7");
                });
        },
        [](const Place &p) { return importing(p); }, 1, words({"SOLUC.DBF", "su campo PROF es de tipo entero"}),
        After::Unchanged},
    {"the tables of another year",
        [](Place &p) {
            setField(p.work(QStringLiteral("PERIODOS.DBF")), QStringLiteral("CURSOANNO"),
                [](const QString &) { return QStringLiteral("1999"); });
        },
        [](const Place &p) { return importing(p); }, 1,
        words({"no son de este archivo de Séneca", "del curso 1999", "Haga de nuevo la exportación"}),
        After::Unchanged},
    {"the teachers of another school",
        [](Place &p) {
            setField(p.work(QStringLiteral("PROFT.DBF")), QStringLiteral("X_EMPLEADO"),
                [](const QString &employee) { return employee.isEmpty() ? employee : QStringLiteral("9") + employee; });
        },
        [](const Place &p) { return importing(p); }, 1,
        words({"no son de este archivo de Séneca", "profesores de PROFT.DBF", "Haga de nuevo la exportación"}),
        After::Unchanged},

    // Encoding that contradicts its declaration.
    {"a Séneca file re-saved as UTF-8",
        [](Place &p) { writeFile(p.school.seneca, utf8Resaved(readFile(p.school.seneca))); },
        [](const Place &p) { return importing(p); }, 1, words({"ISO-8859-1", "parece escrito en UTF-8"}),
        After::Unchanged},
    {"the export of a Séneca file re-saved as UTF-8",
        [](Place &p) { writeFile(p.school.seneca, utf8Resaved(readFile(p.school.seneca))); },
        [](const Place &p) { return exporting(p, p.school.seneca); }, 1, words({"parece escrito en UTF-8"}),
        After::Unchanged},
    {"a UTF-8 byte order mark before a Latin-1 declaration",
        [](Place &p) { writeFile(p.school.seneca, "\xEF\xBB\xBF" + readFile(p.school.seneca)); },
        [](const Place &p) { return importing(p); }, 1, words({"marca de UTF-8 (BOM)"}), After::Unchanged},

    // Spanish, with the file named.
    {"a day that is not a whole number",
        [](Place &p) {
            rewriteSolution(p, solutionLayoutWith(solution_table::dia, dbf::charField(solution_table::dia, 4)),
                [](TableRows &rows) { rows.front()[1] = QStringLiteral("1e"); });
        },
        [](const Place &p) { return importing(p); }, 1,
        words({"«1e» no es un número entero", "SOLUC.DBF, registro 1, campo DIA"}), After::Unchanged},
    {"a missing Séneca file", {},
        [](const Place &p) {
            return QStringList{QStringLiteral("import"), QStringLiteral("--seneca"), p.at(QStringLiteral("no.xml")),
                QStringLiteral("--ktemp"), p.ktemp};
        },
        1, [](const Place &p) { return QStringList{QStringLiteral("No existe archivo: ") + p.at("no.xml")}; },
        After::Unchanged},
    {"a FIFO as the Séneca file",
        [](Place &p) { ::mkfifo(QFile::encodeName(p.at(QStringLiteral("tuberia.xml"))).constData(), 0600); },
        [](const Place &p) {
            return QStringList{QStringLiteral("import"), QStringLiteral("--seneca"),
                p.at(QStringLiteral("tuberia.xml")), QStringLiteral("--ktemp"), p.ktemp};
        },
        1, words({"tuberia.xml es una tubería (FIFO)"}), After::Unchanged},
    {"a device as the Séneca file", {},
        [](const Place &p) {
            return QStringList{QStringLiteral("import"), QStringLiteral("--seneca"), QStringLiteral("/dev/zero"),
                QStringLiteral("--ktemp"), p.ktemp};
        },
        1, words({"/dev/zero es un dispositivo"}), After::Unchanged},
    {"a FIFO as SOLUC",
        [](Place &p) {
            QFile::remove(p.work(QStringLiteral("SOLUC.DBF")));
            ::mkfifo(QFile::encodeName(p.work(QStringLiteral("SOLUC.DBF"))).constData(), 0600);
        },
        [](const Place &p) { return importing(p); }, 1, words({"SOLUC.DBF es una tubería (FIFO)"}), After::Unchanged},
};

// The reference folder: the example school exported, its timetable placed and imported.
struct Reference {
    QTemporaryDir dir;
    Place place;
    Files files;
};
Reference *g_reference = nullptr;

Place placeIn(const QString &root)
{
    const QDir examples(QStringLiteral(HORAVO_SOURCE_DIR "/examples"));
    Place place;
    place.root = root;
    place.ktemp = QDir(root).filePath(QStringLiteral("KTEMP"));
    place.school = {QDir(root).filePath(QStringLiteral("seneca/seneca.xml")),
        QDir(root).filePath(QStringLiteral("seneca/planificacion.xml")),
        examples.filePath(QStringLiteral("niveles.csv")), examples.filePath(QStringLiteral("marcos.txt"))};
    place.document = ImportRun::defaultOutputPath(place.school.seneca);
    place.report = QDir(root).filePath(QStringLiteral("seneca/ResultadoHoravoseneca.html"));
    return place;
}

} // namespace

class SchoolDataSafety : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_reference = new Reference;
        Reference &r = *g_reference;
        round_trip::exampleSchool(r.dir.path());
        r.place = placeIn(r.dir.path());
        const ToolRun exported = round_trip::exportSchool(r.place.school, r.place.ktemp);
        ASSERT_EQ(exported.status, 0) << qPrintable(exported.describe());
        ASSERT_EQ(round_trip::placeLessons(r.place.ktemp).status, 0);
        const ToolRun imported = round_trip::importSchool(r.place.school, r.place.ktemp);
        ASSERT_EQ(imported.status, 0) << qPrintable(imported.describe());
        ASSERT_TRUE(QFile::exists(r.place.report));
        // The earlier document is marked, so that a new one differs from it even when
        // it is written within the same second (its fecha is the clock's).
        QFile earlier(r.place.document);
        ASSERT_TRUE(earlier.open(QIODevice::Append));
        earlier.write("<!-- documento anterior -->\n");
        earlier.close();
        r.files = everything(r.place);
    }
    static void TearDownTestSuite()
    {
        delete g_reference;
        g_reference = nullptr;
    }

    // A fresh copy of the reference.
    Place freshPlace(const QTemporaryDir &dir)
    {
        Place place = placeIn(dir.path());
        const QString from = g_reference->place.root;
        for (const QString &folder : {QStringLiteral("KTEMP"), QStringLiteral("seneca")})
            EXPECT_TRUE(working_folder::copyFolder(QDir(from).filePath(folder), QDir(dir.path()).filePath(folder)));
        return place;
    }
};

TEST_F(SchoolDataSafety, EveryFaultIsRefusedInSpanishOrCompletesLeavingEveryOtherFileAsItWas)
{
    ASSERT_TRUE(g_reference) << "the reference folder could not be prepared";
    const QString documentName = QStringLiteral("seneca/") + QFileInfo(g_reference->place.document).fileName();
    const QString reportName = QStringLiteral("seneca/") + QFileInfo(g_reference->place.report).fileName();
    for (const SafetyCase &c : kCases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        Place place = freshPlace(dir);
        if (c.fault)
            c.fault(place);
        const Files before = everything(place);
        const ToolRun run = round_trip::runTool("transhoravo", c.arguments(place));
        EXPECT_EQ(run.status, c.status) << qPrintable(run.describe());
        for (const QString &fragment : c.said(place))
            EXPECT_TRUE((run.out + run.err).contains(fragment)) << qPrintable(fragment) << "\n"
                                                                << qPrintable(run.describe());
        EXPECT_FALSE((run.out + run.err).contains(QStringLiteral("is not a valid"))) << qPrintable(run.describe());

        const Files after = everything(place);
        QStringList changed = working_folder::differences(before, after);
        switch (c.after) {
        case After::Unchanged:
            EXPECT_EQ(changed, QStringList());
            break;
        case After::NewPair:
            changed.sort();
            EXPECT_EQ(changed, (QStringList{reportName, documentName}));
            EXPECT_TRUE(after.value(documentName).endsWith("</SERVICIO>\n"));
            EXPECT_TRUE(after.value(reportName).contains("</html>"));
            break;
        case After::NewDocumentOnly:
            EXPECT_EQ(changed, QStringList{documentName});
            EXPECT_FALSE(after.contains(reportName));
            break;
        }
        for (const QString &name : after.keys())
            EXPECT_FALSE(name.endsWith(QLatin1String(".tmp"))) << qPrintable(name);
        if (c.also)
            c.also(place);
    }
}

// The import killed at any moment leaves the earlier document with its report,
// the earlier document alone, or the new document with or without its new
// report: never the new document beside the earlier report. The next run removes
// what the killed one left half written.
TEST_F(SchoolDataSafety, KillingTheImportAtAnyMomentNeverLeavesTheNewDocumentBesideTheEarlierReport)
{
    QTemporaryDir dir;
    const School large = round_trip::generatedSchool(dir.filePath(QStringLiteral("large")), 8, 3);
    const QString ktemp = dir.filePath(QStringLiteral("KTEMP"));
    ASSERT_EQ(round_trip::exportSchool(large, ktemp).status, 0);
    ASSERT_EQ(round_trip::placeLessons(ktemp).status, 0);
    const QString document = ImportRun::defaultOutputPath(large.seneca);
    const QString report = QFileInfo(document).dir().filePath(QFileInfo(document).completeBaseName() + ".html");
    const QByteArray earlierDocument = "<documento anterior/>\n";
    const QByteArray earlierReport = "<informe anterior/>\n";

    QElapsedTimer clock;
    clock.start();
    const ToolRun completed = round_trip::importSchool(large, ktemp);
    const qint64 duration = clock.elapsed();
    ASSERT_EQ(completed.status, 0) << qPrintable(completed.describe());

    const QList<double> moments{0.02, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.85, 0.9, 0.95, 1.0, 1.1};
    int earlierPairs = 0, earlierAlone = 0, newPairs = 0, newAlone = 0;
    for (const double moment : moments) {
        const qint64 delay = qint64(moment * double(duration));
        SCOPED_TRACE(delay);
        writeFile(document, earlierDocument);
        writeFile(report, earlierReport);
        QProcess process;
        process.start(round_trip::binary("transhoravo"),
            {QStringLiteral("import"), QStringLiteral("--seneca"), large.seneca, QStringLiteral("--ktemp"), ktemp});
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(std::uint64_t(delay));
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();

        const QByteArray doc = readFile(document);
        const bool reportThere = QFile::exists(report);
        const QByteArray rep = readFile(report);
        if (doc == earlierDocument) {
            EXPECT_TRUE(!reportThere || rep == earlierReport);
            (reportThere ? earlierPairs : earlierAlone) += 1;
        } else {
            EXPECT_TRUE(doc.endsWith("</SERVICIO>\n")) << "the document is whole";
            EXPECT_NE(rep, earlierReport) << "the new document beside the earlier report";
            EXPECT_TRUE(!reportThere || rep.contains("</html>")) << "a report is whole";
            (reportThere ? newPairs : newAlone) += 1;
        }
    }
    std::printf("kill -9 of a %lld ms import at %lld moments: earlier pair %d, earlier document alone %d, new pair "
                "%d, new document alone %d\n",
        static_cast<long long>(duration), static_cast<long long>(moments.size()), earlierPairs, earlierAlone, newPairs,
        newAlone);

    // What the killed runs left half written goes with the next run.
    ASSERT_EQ(round_trip::importSchool(large, ktemp).status, 0);
    const QStringList left = QFileInfo(document).dir().entryList({QStringLiteral("*.tmp")}, QDir::Files | QDir::Hidden);
    EXPECT_EQ(left, QStringList());
}
