#include "export/export_run.h"

#include "common/dbf_table.h"
#include "common/disk_io.h"
#include "common/error_report.h"
#include "common/folder_lock.h"
#include "common/output_guard.h"
#include "common/run_driver.h"
#include "common/staging_area.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/catalogues.h"
#include "export/course_dialog.h"
#include "export/courses_table.h"
#include "export/days_hours_table.h"
#include "export/export_summary.h"
#include "export/groups_table.h"
#include "export/input_documents.h"
#include "export/periods_table.h"
#include "export/rooms_table.h"
#include "export/subject_codes.h"
#include "export/subject_entry.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"

#include <QDir>
#include <QFileInfo>

ExportRun::ExportRun(Session &session, UserInterface &ui)
    : m_session(session)
    , m_ui(ui)
    , m_workFolder(session.workDir)
{
}

QStringList ExportRun::tablesReplaced()
{
    QStringList names{periods_table::fileName(), courses_table::fileName(), course_memory_table::fileName(),
        subjects_table::fileName(), subject_offers_table::fileName(), teachers_table::fileName(),
        rooms_table::fileName(), groups_table::fileName(), assignments_table::fileName(), days_hours_table::fileName()};
    for (const Catalogue &catalogue : catalogues())
        names << catalogue.fileName;
    return names;
}

ExportRun::~ExportRun() = default;

void ExportRun::setDocuments(ExchangeDocument seneca, ExchangeDocument planning)
{
    setDocuments(std::move(seneca), ExchangeValues::fromDocument(planning));
}

void ExportRun::setDocuments(ExchangeDocument seneca, ExchangeValues planning)
{
    m_seneca.emplace(std::move(seneca));
    m_planning.emplace(std::move(planning));
    m_subjectEntries.reset();
}

const std::vector<NumberedSubjectEntry> &ExportRun::subjectEntries()
{
    if (!m_subjectEntries)
        m_subjectEntries = readSubjectEntries(seneca());
    return *m_subjectEntries;
}

void ExportRun::checkBeforeWriting()
{
    checkSubjectReferenceTable();
    checkCourseMemoryTable();
    checkWholeNumbers();
}

void ExportRun::checkCourseMemoryTable()
{
    // The level and course dialog reads the earlier codings only after steps 1 and 2
    // have written; a damaged memory table is reported before that.
    const QString path = m_session.workPath(course_memory_table::fileName());
    if (!QFileInfo::exists(path))
        return;
    try {
        dbf::Table table(path);
        table.open(dbf::Table::Access::ReadShared);
        for (QLatin1StringView name : {courses_table::nivel, courses_table::curso, courses_table::clave})
            table.fieldIndex(name);
    } catch (const UserError &error) {
        throw UserError(QStringLiteral("No se pueden recuperar los niveles y cursos de una exportación anterior. "
                                       "No se ha escrito ninguna tabla.\n%1")
                            .arg(error.message()));
    }
}

// The export replaces the tables by name: an input file standing in the working
// folder under a table's name, or linked to a table, would be destroyed.
void ExportRun::refuseInputsInPlaceOfTables() const
{
    std::vector<ReadFile> tables;
    for (const QString &name : tablesReplaced()) {
        const QString path = m_session.workPath(name);
        tables.push_back({path, QStringLiteral("la tabla %1").arg(name)});
        for (const QString &file : dbf::tableFiles(path))
            tables.push_back({file, QStringLiteral("el índice %1").arg(QFileInfo(file).fileName())});
    }
    const struct {
        const QString &path;
        QString what;
    } inputs[] = {{m_session.filenameXML, QStringLiteral("El archivo de Séneca")},
        {m_session.filenameXML2, QStringLiteral("El archivo de Planificación")}};
    for (const auto &input : inputs) {
        if (const ReadFile *table = inputAt(input.path, tables)) {
            throw UserError(QStringLiteral("%1 %2 es %3 de la carpeta de trabajo, que la exportación sustituye. Copie "
                                           "el archivo fuera de la carpeta de trabajo y elíjalo allí. No se ha "
                                           "cambiado nada.")
                                .arg(input.what, QDir::toNativeSeparators(input.path), table->what));
        }
    }
}

ExportRun::Outcome ExportRun::run()
{
    m_ui.showMessage(export_texts::twoFiles());
    m_ui.showMessage(export_texts::chooseSeneca());
    if (const FileChoice choice
        = chooseExistingXmlFile(m_session, m_ui, UserInterface::XmlFile::Seneca, m_session.filenameXML);
        choice != FileChoice::Chosen)
        return choice == FileChoice::Cancelled ? Outcome::Cancelled : Outcome::MissingFile;
    m_ui.showMessage(export_texts::choosePlanning());
    if (const FileChoice choice
        = chooseExistingXmlFile(m_session, m_ui, UserInterface::XmlFile::Planning, m_session.filenameXML2);
        choice != FileChoice::Chosen)
        return choice == FileChoice::Cancelled ? Outcome::Cancelled : Outcome::MissingFile;

    BusyCursor busy(m_ui);
    if (!QDir().mkpath(m_session.workDir)) {
        throw UserError(QStringLiteral("No se pudo crear la carpeta de trabajo %1.")
                            .arg(QDir::toNativeSeparators(m_session.workDir)));
    }
    const FolderLock lock(m_session.workDir, FolderLock::Need::Writing);
    // A replacement that could not be finished was set aside: this export sets the tables right.
    const QString setAside = StagingArea::tidyUp(m_session.workDir, tablesReplaced());
    if (!setAside.isEmpty())
        m_ui.note(setAside);
    refuseInputsInPlaceOfTables();

    // Both documents are read and checked before any table is deleted or written,
    // so a damaged file leaves the working folder as it was.
    // The MATERIAS entries are read while the planning file, the larger, still is.
    std::vector<NumberedSubjectEntry> entries;
    InputDocuments documents = readInputDocuments(m_session.filenameXML, m_session.filenameXML2,
        [&entries](const ExchangeDocument &seneca) { entries = readSubjectEntries(seneca); });
    setDocuments(std::move(documents.seneca), std::move(documents.planning));
    m_subjectEntries = std::move(entries);
    checkBeforeWriting();
    if (beforeWriting)
        beforeWriting(*this);
    StagingArea::checkReplaceable(m_session.workDir, tablesReplaced());

    // The steps write into the staging folder; it goes with the run unless replaced.
    m_staging = std::make_unique<StagingArea>(m_session.workDir);
    m_folder = m_staging.get();
    struct BackToWorkFolder {
        ExportRun &run;
        ~BackToWorkFolder()
        {
            run.m_folder = &run.m_workFolder;
            run.m_staging.reset();
        }
    } backToWorkFolder{*this};

    const Outcome outcome = runSteps();
    if (outcome == Outcome::ForcedExit || outcome == Outcome::LeftUnfinished) {
        keepTypedCodings();
        if (!lock.stillHeld())
            throw UserError(folder_lock_texts::lockLost(m_session.workDir));
        m_staging->commitOnly({course_memory_table::fileName()});
        if (outcome == Outcome::ForcedExit) {
            m_ui.closeMainWindow();
        } else {
            m_ui.setBusy(false);
            m_ui.showMessage(export_texts::leftUnfinished(QDir::toNativeSeparators(m_session.workDir)));
        }
        return outcome;
    }
    // The summary counts the staged tables: they are the ones the commit puts in place.
    const RunSummary summary = exportSummary(*this);
    // Another run may have taken the folder if the lock file went meanwhile.
    if (!lock.stillHeld())
        throw UserError(folder_lock_texts::lockLost(m_session.workDir));
    m_staging->commit();
    for (const QString &note : skippedRecords.notes())
        m_ui.note(note);

    endCompletedRun(m_session, m_ui, summary);
    return Outcome::Completed;
}

ExportRun::Outcome ExportRun::runSteps()
{
    try {
        codeLists = std::make_unique<SubjectCodeLists>();
        buildPeriodsTable();
        if (const Outcome courses = buildCoursesTable(); courses != Outcome::Completed)
            return courses;
        buildSubjectsTables();
        appendActivityTasks();
        buildTeachersTable();
        buildRoomsTable();
        buildGroupsTable();
        buildAssignmentsTable();
        if (const Outcome frames = buildDaysHoursTable(); frames != Outcome::Completed)
            return frames;
        buildCatalogueTables();
        applyPlanningAssignments();
        return Outcome::Completed;
    } catch (const UserError &error) {
        // The person knows the tables by their place in the working folder, which
        // the stop has left as it was.
        QString message = error.message();
        message.replace(m_staging->path(), m_session.workDir);
        message.replace(QDir::toNativeSeparators(m_staging->path()), QDir::toNativeSeparators(m_session.workDir));
        throw UserError(message + QLatin1Char('\n') + staging_texts::unchanged());
    } catch (const std::exception &error) {
        // No memory left, a thread refused: the working folder is as it was too.
        throw UserError(errorMessage(error) + QLatin1Char('\n') + staging_texts::unchanged());
    }
}

// After the forced exit the working folder keeps its tables; only the memory of
// codings changes: the earlier codings stay (also when the person declined to
// take them over) and the courses given both a level and a course are added, so
// nothing typed is lost for the next export.
void ExportRun::keepTypedCodings()
{
    dbf::Table courses(m_staging->writePath(courses_table::fileName()));
    courses.open(dbf::Table::Access::ReadShared);
    const int nivel = courses.fieldIndex(courses_table::nivel);
    const int curso = courses.fieldIndex(courses_table::curso);
    std::vector<int> complete;
    for (int row : courses.liveRows()) {
        if (!isMissingCoding(courses.text(row, nivel)) && !isMissingCoding(courses.text(row, curso)))
            complete.push_back(row);
    }
    if (complete.empty())
        return;
    const QString staged = m_staging->writePath(course_memory_table::fileName());
    dbf::removeTableFiles(staged);
    const QString earlier = m_session.workPath(course_memory_table::fileName());
    if (dbf::tableExists(earlier)) {
        QFile in(earlier);
        if (!in.open(QIODevice::ReadOnly))
            throw UserError(QStringLiteral("No se pudo leer %1.").arg(QDir::toNativeSeparators(earlier)));
        disk::writeWholeFile(staged, in.readAll(), false);
    }
    storeCourseCodings(courses, complete, staged);
}
