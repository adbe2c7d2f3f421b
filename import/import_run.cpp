// The import driver (BImportarClick): asks for the Séneca file, opens the tables,
// and writes the timetable document with its non-regular and regular sections
// beside the Séneca file.
#include "import/import_run.h"
#include "import/import_summary.h"

#include "common/clipper.h"
#include "common/dbf_table.h"
#include "common/folder_lock.h"
#include "common/run_driver.h"
#include "common/staging_area.h"
#include "common/user_error.h"
#include "export/periods_table.h"
#include "import/check_report_html.h"
#include "import/import_tables.h"
#include "import/lesson_lookups.h"
#include "import/non_regular_section.h"
#include "import/period_lookup.h"
#include "import/regular_section.h"
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
    QString start;
    QString end;
};

// F_INICIO and F_FIN of the first record of PERIODOS.DBF. An empty table gives
// empty dates, as the record groups then show.
Dates periodDates(const QString &path)
{
    dbf::Table periods(path);
    periods.open(dbf::Table::Access::ReadShared);
    const int startField = periods.fieldIndex(periods_table::fInicio);
    const int endField = periods.fieldIndex(periods_table::fFin);
    const std::vector<int> rows = periods.liveRows();
    if (rows.empty())
        return {};
    return {periods.text(rows.front(), startField), periods.text(rows.front(), endField)};
}

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
    if (const Outcome choice = chooseExistingSenecaFile(); choice != Outcome::Completed)
        return choice;

    BusyCursor busy(m_ui);
    // One run per working folder; an export stopped while replacing the tables
    // is finished first, so the import reads one complete export.
    std::optional<FolderLock> lock;
    if (QFileInfo(m_session.workDir).isDir()) {
        lock.emplace(m_session.workDir, FolderLock::Need::ReadingOnly);
        if (lock->held())
            StagingArea::tidyUp(m_session.workDir);
    }
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

    const std::vector<Teacher> teachers = teachersOf(tables);
    teacherCount = int(teachers.size());
    SolutionLessons solution(tables.solution, tables.solutionField);
    const NonRegularSection nonRegular(periods);
    const RegularSection regular(tables, lookups, periods, dates.start, dates.end);

    if (!m_outputChosen)
        m_outputPath = defaultOutputPath(m_session.filenameXML);
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
    document.finish();

    for (const QString &note : droppedNotes)
        m_ui.note(note);
    checkDocument(senecaForCheck, *m_written);
    endCompletedRun(m_session, m_ui, importSummary(*this));
    return Outcome::Completed;
}

// The document is checked as Séneca will get it: its writer kept what a reader
// of the file finds there, so it is not read back.
void ImportRun::checkDocument(std::future<SenecaExport> &seneca, const TimetableContent &content)
{
    const QString report = checkReportPathFor(m_outputPath);
    try {
        m_senecaExport = std::make_unique<SenecaExport>(seneca.get());
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
