#include "export/export_run.h"

#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/courses_table.h"
#include "export/export_summary.h"
#include "export/input_documents.h"
#include "export/subject_codes.h"
#include "export/subject_entry.h"

#include <QDir>
#include <QFileInfo>

ExportRun::ExportRun(Session &session, UserInterface &ui)
    : m_session(session)
    , m_ui(ui)
{
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

bool ExportRun::chooseExistingFile(UserInterface::XmlFile which, QString &chosen)
{
    if (const auto path = m_ui.chooseXmlFile(which))
        chosen = *path;
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile())
        return true;
    m_ui.showMessage(export_texts::noFile());
    if (m_session.batchMode == 2) {
        m_session.transformado = -1;
        m_ui.closeMainWindow();
    }
    return false;
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
    const QString path = workPath(course_memory_table::fileName());
    if (!QFileInfo::exists(path))
        return;
    try {
        dbf::Table table(path);
        table.open(dbf::Table::Access::ReadShared);
        for (const char *name : {"NIVEL", "CURSO", "CLAVE"})
            table.fieldIndex(QLatin1String(name));
    } catch (const UserError &error) {
        throw UserError(QStringLiteral("No se pueden recuperar los niveles y cursos de una exportación anterior. "
                                       "No se ha escrito ninguna tabla.\n%1")
                            .arg(error.message()));
    }
}

ExportRun::Outcome ExportRun::run()
{
    m_ui.showMessage(export_texts::twoFiles());
    m_ui.showMessage(export_texts::chooseSeneca());
    if (!chooseExistingFile(UserInterface::XmlFile::Seneca, m_session.filenameXML))
        return Outcome::MissingFile;
    m_ui.showMessage(export_texts::choosePlanning());
    if (!chooseExistingFile(UserInterface::XmlFile::Planning, m_session.filenameXML2))
        return Outcome::MissingFile;

    BusyCursor busy(m_ui);
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

    if (!QDir().mkpath(m_session.workDir)) {
        throw UserError(QStringLiteral("No se pudo crear la carpeta de trabajo %1.")
                            .arg(QDir::toNativeSeparators(m_session.workDir)));
    }

    codeLists = std::make_unique<SubjectCodeLists>();
    buildPeriodsTable();
    if (!buildCoursesTable()) {
        m_ui.closeMainWindow();
        return Outcome::ForcedExit;
    }
    buildSubjectsTables();
    appendActivityTasks();
    buildTeachersTable();
    buildRoomsTable();
    buildGroupsTable();
    buildAssignmentsTable();
    buildDaysHoursTable();
    buildCatalogueTables();
    applyPlanningAssignments();

    m_session.transformado = 1;
    m_session.completed = true;
    m_ui.setBusy(false);
    m_ui.showSummary(exportSummary(*this));
    m_ui.showMessage(export_texts::finished());
    if (m_session.batchMode == 2)
        m_ui.closeMainWindow();
    return Outcome::Completed;
}
