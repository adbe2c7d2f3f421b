// The import driver (BImportarClick): asks for the Séneca file, opens the tables,
// and writes the timetable document with its non-regular and regular sections
// beside the Séneca file.
#include "import/import_run.h"
#include "import/import_summary.h"

#include "common/clipper.h"
#include "common/dbf_table.h"
#include "common/disk_io.h"
#include "common/folder_lock.h"
#include "common/output_guard.h"
#include "common/run_driver.h"
#include "common/staging_area.h"
#include "common/system_reason.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/periods_table.h"
#include "import/check_report_html.h"
#include "import/import_tables.h"
#include "import/lesson_lookups.h"
#include "import/non_regular_section.h"
#include "import/period_lookup.h"
#include "import/regular_section.h"
#include "import/seneca_export.h"
#include "import/seneca_frame.h"
#include "import/solution_lessons.h"
#include "import/timetable_check.h"
#include "import/timetable_check_run.h"
#include "import/timetable_document.h"
#include "import/timetable_names.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <optional>

namespace {

// A teacher's fields in PROFT, as stored.
struct Teacher {
    QString abrev;
    QString xEmpleado;
    QString fTomapos;
};

// The teacher iteration: PROFT in stored order, without the records whose
// X_EMPLEADO is blank. A teacher's number is its position here, from 1.
std::vector<Teacher> teachersOf(const ImportTables &tables)
{
    std::vector<Teacher> teachers;
    const dbf::Table &table = tables.teachers;
    const TeacherFields &field = tables.teacherField;
    for (int row : table.liveRows()) {
        Teacher teacher{
            table.text(row, field.abrev), table.text(row, field.xEmpleado), table.text(row, field.fTomapos)};
        if (!clipper::AllTrim(teacher.xEmpleado).isEmpty())
            teachers.push_back(std::move(teacher));
    }
    return teachers;
}

struct Dates {
    QString year;
    QString start;
    QString end;
};

// CURSOANNO, F_INICIO and F_FIN of the first record of PERIODOS.DBF. An empty
// table gives empty dates, as the record groups then show.
Dates periodDates(const QString &path)
{
    dbf::Table periods(path);
    periods.open(dbf::Table::Access::ReadShared);
    const int startField = periods.fieldIndex(periods_table::fInicio);
    const int endField = periods.fieldIndex(periods_table::fFin);
    const std::vector<int> rows = periods.liveRows();
    if (rows.empty())
        return {};
    const QString year
        = periods.hasField(periods_table::cursoAnno) ? periods.text(rows.front(), periods_table::cursoAnno) : QString();
    return {year, periods.text(rows.front(), startField), periods.text(rows.front(), endField)};
}

// Tables another school's export left in the folder would be read as this
// school's: the year the export wrote must be the Séneca file's.
void refuseAnotherYear(const Dates &dates, const SenecaFrame &seneca, const Session &session)
{
    const QString tables = clipper::AllTrim(dates.year);
    const QString file = clipper::AllTrim(seneca.yearText());
    if (tables.isEmpty() || file.isEmpty() || tables == file)
        return;
    throw UserError(import_texts::anotherSchoolsTables(session.workDir,
        QStringLiteral("la exportación que dejó sus tablas es del curso %1 (PERIODOS.DBF) y el archivo de Séneca %2 "
                       "es del curso %3")
            .arg(tables, QDir::toNativeSeparators(session.filenameXML), file)));
}

// The same for the teachers: at least half of PROFT's must be employees of the
// Séneca file (when it lists any). Teachers who joined or left since the export
// are no reason to refuse.
void refuseAnotherSchoolsTeachers(
    const std::vector<Teacher> &teachers, const SenecaExport &seneca, const Session &session)
{
    std::size_t known = 0;
    for (const Teacher &teacher : teachers)
        known += seneca.teacherIndex.contains(clipper::AllTrim(teacher.xEmpleado)) ? 1 : 0;
    // A Séneca file without employees (a test's, a trimmed one) gives nothing to compare.
    if (teachers.empty() || seneca.teachers.empty() || known * 2 >= teachers.size())
        return;
    throw UserError(import_texts::anotherSchoolsTables(session.workDir,
        QStringLiteral("solo %1 de los %2 profesores de PROFT.DBF son empleados del archivo de Séneca %3")
            .arg(known)
            .arg(teachers.size())
            .arg(QDir::toNativeSeparators(session.filenameXML))));
}

// The previous report is about the previous document: it leaves before the new
// document takes its place, and comes back only when the new one never does.
class EarlierReport {
public:
    explicit EarlierReport(QString path)
        : m_path(std::move(path))
    {
    }
    ~EarlierReport()
    {
        if (!m_aside.isEmpty())
            disk::removeFile(m_aside);
    }
    EarlierReport(const EarlierReport &) = delete;
    EarlierReport &operator=(const EarlierReport &) = delete;

    // Renames it aside (a name the next run removes) and forces that to disk.
    void setAside()
    {
        if (disk::kindOf(m_path) != disk::FileKind::Regular)
            return; // nothing there, or a folder the report cannot replace anyway
        const QString aside = disk::temporaryNameFor(m_path);
        if (const int error = disk::replaceByRename(m_path, aside)) {
            throw UserError(QStringLiteral("No se pudo quitar el informe de comprobación anterior %1: %2. El documento "
                                           "nuevo no se ha puesto en su lugar, para que ese informe no quede al lado "
                                           "de un documento que no describe. No se ha cambiado nada.")
                                .arg(QDir::toNativeSeparators(m_path), disk::reason(error)));
        }
        m_aside = aside;
        disk::syncFolder(QFileInfo(m_path).absolutePath());
    }
    // The new document did not take its place: the report is the earlier one's again.
    void restore()
    {
        if (!m_aside.isEmpty() && disk::replaceByRename(m_aside, m_path) == 0)
            m_aside.clear();
    }

private:
    QString m_path;
    QString m_aside;
};

void writeTeacherDatos(TimetableDocument &document, const Teacher &teacher)
{
    document.dato(timetable_names::employee, teacher.xEmpleado);
    document.dato(timetable_names::takingPost, teacher.fTomapos);
}

} // namespace

ImportRun::ImportRun(Session &session, UserInterface &ui)
    : m_session(session)
    , m_ui(ui)
{
}

ImportRun::~ImportRun() = default;

QString ImportRun::defaultOutputPath(const QString &senecaPath)
{
    const QFileInfo seneca(senecaPath);
    return seneca.dir().filePath(QStringLiteral("ResultadoHoravo") + seneca.fileName());
}

QString ImportRun::regionalNow()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale = QLocale::system();
    return locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(now.time(), QLocale::LongFormat);
}

ImportRun::Outcome ImportRun::chooseExistingSenecaFile()
{
    m_ui.showMessage(import_texts::chooseSeneca());
    switch (chooseExistingXmlFile(m_session, m_ui, UserInterface::XmlFile::Seneca, m_session.filenameXML)) {
    case FileChoice::Chosen:
        return Outcome::Completed;
    case FileChoice::Cancelled:
        return Outcome::Cancelled;
    case FileChoice::Missing:
        break;
    }
    return Outcome::MissingFile;
}

ImportRun::Outcome ImportRun::run()
{
    teacherCount = 0;
    lessonCount = 0;
    droppedCount = 0;
    checkErrors = checkWarnings = checkInformation = 0;
    m_reportPath.clear();
    m_senecaExport.reset();
    m_senecaError.clear();
    if (const Outcome choice = chooseExistingSenecaFile(); choice != Outcome::Completed)
        return choice;

    BusyCursor busy(m_ui);
    // One run per working folder; an export stopped while replacing the tables
    // is finished first, so the import reads one complete export.
    std::optional<FolderLock> lock;
    if (QFileInfo(m_session.workDir).isDir()) {
        lock.emplace(m_session.workDir, FolderLock::Need::ReadingOnly);
        if (lock->held()) {
            const QString setAside = StagingArea::tidyUp(m_session.workDir, ExportRun::tablesReplaced());
            if (!setAside.isEmpty())
                throw UserError(setAside); // the tables may be mixed: nothing to import from
        }
    }
    if (!m_outputChosen)
        m_outputPath = defaultOutputPath(m_session.filenameXML);
    const QString report = checkReportPathFor(m_outputPath);
    refuseOutputsOnInputs(report);
    // What a killed run left half written beside the document and its report.
    disk::removeLeftoverTemporaries(m_outputPath);
    disk::removeLeftoverTemporaries(report);

    // What the check needs of the Séneca file is read on a thread of its own while
    // the import reads its tables; the import itself reads only the file's frame.
    const QString senecaPath = m_session.filenameXML;
    std::future<SenecaExport> senecaForCheck
        = std::async(std::launch::async, [senecaPath] { return SenecaExport::read(senecaPath); });
    ImportTables tables(m_session);
    tables.open();
    const LessonLookups lookups(tables);
    const PeriodLookup periods(tables.daysHours);

    const SenecaFrame seneca = SenecaFrame::read(m_session.filenameXML);

    const QString periodsPath = m_session.workPath(periods_table::fileName());
    if (!dbf::tableExists(periodsPath)) {
        m_ui.showMessage(import_texts::missingPeriods());
        return Outcome::MissingPeriods;
    }
    const Dates dates = periodDates(periodsPath);
    refuseAnotherYear(dates, seneca, m_session);

    const std::vector<Teacher> teachers = teachersOf(tables);
    teacherCount = int(teachers.size());
    SolutionLessons solution(tables.solution, tables.solutionField);
    const NonRegularSection nonRegular(periods);
    const RegularSection regular(tables, lookups, periods, dates.start, dates.end);

    TimetableDocument document(m_outputPath, seneca, fechaText ? fechaText() : regionalNow());
    m_written = std::make_unique<TimetableContent>();
    document.keepContentIn(*m_written);
    document.startGroup(timetable_names::yearGroup);
    document.dato(timetable_names::year, seneca.yearText());
    document.endGroup();

    document.startGroup(timetable_names::nonRegularSection, teacherCount);
    for (std::size_t i = 0; i < teachers.size(); ++i) {
        const LessonList &lessons = solution.ofTeacher(teachers[i].abrev, SolutionLessons::Section::NonRegular);
        document.startGroup(TimetableDocument::numbered(timetable_names::nonRegularTeacherPrefix, int(i + 1)),
            nonRegular.count(lessons));
        writeTeacherDatos(document, teachers[i]);
        lessonCount += nonRegular.write(document, lessons);
        document.endGroup();
    }
    document.endGroup();

    QStringList droppedNotes;
    RegularSection::Translated translated;
    document.startGroup(timetable_names::regularSection, teacherCount);
    for (std::size_t i = 0; i < teachers.size(); ++i) {
        regular.recordsOf(solution.ofTeacher(teachers[i].abrev, SolutionLessons::Section::Regular), translated);
        const int records = int(translated.records.size());
        // registros is the number of record groups the teacher group holds.
        document.startGroup(TimetableDocument::numbered(timetable_names::regularTeacherPrefix, int(i + 1)), records);
        writeTeacherDatos(document, teachers[i]);
        RegularSection::write(document, translated.records);
        document.endGroup();
        lessonCount += records;
        droppedCount += translated.dropped;
        if (translated.dropped > 0)
            droppedNotes << import_texts::droppedLessons(teachers[i].abrev, teachers[i].xEmpleado, translated.dropped);
    }
    document.endGroup();
    for (const SolutionLessons::Unclaimed &lost : solution.unclaimed()) {
        droppedNotes << import_texts::lessonsWithoutTeacher(lost.code, lost.count);
        droppedCount += lost.count;
    }

    // The document and its report are one pair: the earlier report goes before
    // the new document takes its place, and the new report follows it.
    EarlierReport earlierReport(report);
    try {
        document.finish([&] {
            takeSenecaExport(senecaForCheck);
            if (m_senecaExport)
                refuseAnotherSchoolsTeachers(teachers, *m_senecaExport, m_session);
            earlierReport.setAside();
        });
    } catch (...) {
        if (!document.inPlace())
            earlierReport.restore();
        throw;
    }

    for (const QString &note : droppedNotes)
        m_ui.note(note);
    checkDocument(report, *m_written);
    endCompletedRun(m_session, m_ui, importSummary(*this));
    return Outcome::Completed;
}

void ImportRun::refuseOutputsOnInputs(const QString &report) const
{
    std::vector<ReadFile> inputs{{m_session.filenameXML, QStringLiteral("el archivo de Séneca")}};
    for (const QString &name : ImportTables::workingTableNames())
        inputs.push_back({m_session.workPath(name), QStringLiteral("la tabla %1 de la carpeta de trabajo").arg(name)});
    inputs.push_back({m_session.workPath(FolderLock::fileName()),
        QStringLiteral("el archivo de bloqueo %1 de la carpeta de trabajo").arg(FolderLock::fileName())});
    const QString whatToDo = QStringLiteral("Elija para el documento otro nombre, fuera de la carpeta de trabajo.");
    refuseOutputOnInputs(m_outputPath, QStringLiteral("el documento de horarios"), inputs, whatToDo);
    refuseOutputOnInputs(report, QStringLiteral("el informe de comprobación"), inputs, whatToDo);
}

void ImportRun::takeSenecaExport(std::future<SenecaExport> &seneca)
{
    if (m_senecaExport || !seneca.valid())
        return;
    try {
        m_senecaExport = std::make_unique<SenecaExport>(seneca.get());
    } catch (const UserError &error) {
        m_senecaError = error.message(); // the check says it could not run
    }
}

// The document is checked as Séneca will get it: its writer kept what a reader
// of the file finds there, so it is not read back.
void ImportRun::checkDocument(const QString &report, const TimetableContent &content)
{
    try {
        if (!m_senecaExport)
            throw UserError(m_senecaError);
        const CheckResult result = runTimetableCheck(*m_senecaExport, content, report);
        checkErrors = result.errors;
        checkWarnings = result.warnings;
        checkInformation = result.information;
        m_reportPath = report;
        m_ui.note(import_texts::checkSummary(checkErrors, checkWarnings, checkInformation, report));
    } catch (const UserError &error) {
        m_ui.note(import_texts::checkNotRun(error.message()));
    }
}

namespace import_texts {

QString checkCounts(int errors, int warnings, int information)
{
    CheckResult counts;
    counts.errors = errors;
    counts.warnings = warnings;
    counts.information = information;
    return check_texts::countsSentence(counts);
}

QString checkSummary(int errors, int warnings, int information, const QString &reportPath)
{
    return checkCounts(errors, warnings, information)
        + QStringLiteral(" Lea el informe %1 antes de subir el documento a Séneca.")
              .arg(QDir::toNativeSeparators(reportPath));
}

QString checkNotRun(const QString &reason)
{
    return QStringLiteral("El documento está escrito, pero no se ha podido comprobar: %1").arg(reason);
}

QString missingExportTables(const QStringList &fileNames, const QString &folder)
{
    if (fileNames.size() == 1) {
        return QStringLiteral("Falta la tabla %1 en la carpeta de trabajo %2. Haga primero la exportación desde "
                              "Séneca y Planificación, y después el horario en Horavent.")
            .arg(fileNames.front(), folder);
    }
    const QString list
        = fileNames.mid(0, fileNames.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" y ") + fileNames.back();
    return QStringLiteral("Faltan las tablas %1 en la carpeta de trabajo %2. Haga primero la exportación desde "
                          "Séneca y Planificación, y después el horario en Horavent.")
        .arg(list, folder);
}

QString folderInPlaceOfTable(const QString &fileName, const QString &folder)
{
    return QStringLiteral("En la carpeta de trabajo %1 hay una carpeta llamada %2 donde debe ir la tabla. "
                          "Cámbiela de nombre o quítela y vuelva a intentarlo.")
        .arg(folder, fileName);
}

QString notAFileInPlaceOfTable(const QString &fileName, const QString &folder, const QString &kindText)
{
    return QStringLiteral(
        "En la carpeta de trabajo %1, %2 es %3. Quítelo y guarde de nuevo las tablas (la exportación, "
        "o el horario en Horavent) antes de importar.")
        .arg(folder, fileName, kindText);
}

QString anotherSchoolsTables(const QString &workDir, const QString &why)
{
    return QStringLiteral("Las tablas de la carpeta de trabajo %1 no son de este archivo de Séneca: %2. Puede que sean "
                          "de otro centro o de otro curso. Haga de nuevo la exportación con este archivo de Séneca y "
                          "el horario en Horavent, y después importe. No se ha escrito nada.")
        .arg(QDir::toNativeSeparators(workDir), why);
}

QString lessonsWithoutTeacher(const QString &teacherCode, int count)
{
    const QString lessons = count == 1 ? QStringLiteral("1 lección") : QStringLiteral("%1 lecciones").arg(count);
    return QStringLiteral(
        "Profesor %1: %2 de SOLUC.DBF no están en el documento porque el profesor no está en PROFT.DBF "
        "o no tiene código de empleado allí. Revise en Horavent el código del profesor, o haga de "
        "nuevo la exportación si es un profesor nuevo.")
        .arg(teacherCode.isEmpty() ? QStringLiteral("(sin código)") : teacherCode, lessons);
}

QString missingSolution(const QString &folder)
{
    return QStringLiteral("Falta la tabla SOLUC.DBF en la carpeta de trabajo %1: Horavent todavía no ha guardado "
                          "ningún horario. Genere el horario con Horavent antes de importarlo.")
        .arg(folder);
}

QString droppedLessons(const QString &teacherCode, const QString &employee, int count)
{
    if (count == 1) {
        return QStringLiteral("Profesor %1 (empleado %2): se ha descartado 1 lección porque su actividad exige una "
                              "unidad o una materia que la lección no tiene.")
            .arg(teacherCode, employee);
    }
    return QStringLiteral("Profesor %1 (empleado %2): se han descartado %3 lecciones porque su actividad exige una "
                          "unidad o una materia que las lecciones no tienen.")
        .arg(teacherCode, employee)
        .arg(count);
}

} // namespace import_texts
