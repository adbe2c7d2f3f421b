#pragma once
// One export run: from the Séneca document and the planning document to the
// timetabler's tables in the working folder. The driver (BExportarClick) asks for
// the two files, checks everything that can be checked before writing, and runs
// the eleven steps in their fixed order. Each step lives in a file of its own.
//
// The run holds the working folder's lock (FolderLock) from the files' choice to
// its end, and its steps write into a staging folder (StagingArea): the working
// folder's tables change only when the last step has succeeded, all together.

#include "common/exchange_document.h"
#include "common/exchange_values.h"
#include "common/session.h"
#include "common/table_folder.h"
#include "common/user_interface.h"
#include "export/skipped_records.h"

#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct NumberedSubjectEntry;
struct SubjectCodeLists;
class StagingArea;

class ExportRun {
public:
    enum class Outcome {
        Completed, // every step ran: "Proceso finalizado"
        MissingFile, // a chosen input file did not exist: "No existe archivo"
        Cancelled, // the person cancelled the choice of a file
        ForcedExit, // the person left the level and course dialog by its forced exit: of
                    // the working folder only CURSOST2.DBF changes, keeping the earlier
                    // codings and gaining those typed complete in the dialog
        LeftUnfinished, // the person closed the level and course dialog by its close box, or
                        // left the time frame dialog: the working folder changes as after
                        // the forced exit, a message says so, and the window stays open
    };

    ExportRun(Session &session, UserInterface &ui);
    ~ExportRun();

    // The driver. Errors (bad input, tables, conversions) leave as UserError; the
    // window and the command line show them.
    Outcome run();

    // Called once both documents are loaded and checked, before the first table
    // is touched. The command line uses it to refuse a run whose dialog answers
    // are missing, without writing anything.
    std::function<void(ExportRun &)> beforeWriting;

    // The steps, in their fixed order.
    void buildPeriodsTable(); // 1  PERIODOS.DBF
    Outcome buildCoursesTable(); // 2  CURSOST.DBF, CURSOST2.DBF; Completed, or how the person left
    void buildSubjectsTables(); // 3  ASIGNOMT.DBF, ASIGNOMT2.DBF
    void appendActivityTasks(); // 4  appends to ASIGNOMT.DBF
    void buildTeachersTable(); // 5  PROFT.DBF
    void buildRoomsTable(); // 6  AULAT.DBF
    void buildGroupsTable(); // 7  GRUPOST.DBF
    void buildAssignmentsTable(); // 8  ASIGT.DBF
    Outcome buildDaysHoursTable(); // 9  DIASHORAST.DBF; LeftUnfinished when the person left the dialog
    void buildCatalogueTables(); // 10 ORIGENES_C, NIVELES_C, CUR_NIV_C, AUTORIZA_C
    void applyPlanningAssignments(); // 11 completes PROFT.DBF and ASIGT.DBF

    // Checks made before step 1 writes anything (the subject reference table, the
    // whole numbers of both documents). Throw UserError with everything found.
    void checkBeforeWriting();
    void checkSubjectReferenceTable(); // SENEMATERIAS.DBF is there and readable
    void checkCourseMemoryTable(); // an earlier CURSOST2.DBF can be read
    void checkWholeNumbers(); // every value that must be a whole number is one
    // Throws UserError when the Séneca or planning file is, or links to, a table
    // or index file the export replaces or deletes.
    void refuseInputsInPlaceOfTables() const;

    Session &session() { return m_session; }
    UserInterface &ui() { return m_ui; }
    const ExchangeDocument &seneca() const { return *m_seneca; }
    // The planning document is read without its tree: its values are all step 11
    // and the up-front check use, and its tree would be the largest of the run.
    const ExchangeValues &planning() const { return *m_planning; }
    bool hasDocuments() const { return m_seneca.has_value() && m_planning.has_value(); }
    // Loads the documents without asking (tests, tools).
    void setDocuments(ExchangeDocument seneca, ExchangeDocument planning);
    void setDocuments(ExchangeDocument seneca, ExchangeValues planning);
    // Where the steps write and read their tables: during run() the staging
    // folder, otherwise (steps run one by one) the working folder itself.
    QString workPath(const QString &fileName) const { return m_folder->writePath(fileName); }
    TableFolder &tableFolder() { return *m_folder; }
    // A step's table that this run deletes without writing it anew.
    void removeTable(const QString &fileName) { m_folder->removeTable(fileName); }
    // Every table an export replaces or deletes in the working folder.
    static QStringList tablesReplaced();

    // Each step names the tables it wrote, in order, for the closing summary.
    void noteTableWritten(const QString &fileName)
    {
        if (!tablesWritten.contains(fileName))
            tablesWritten.append(fileName);
    }
    QStringList tablesWritten;
    // Records the steps passed over for holding too few values, noted at the end.
    SkippedRecords skippedRecords;

    // The subject code lists of step 3, released by step 4. Each run starts afresh.
    std::unique_ptr<SubjectCodeLists> codeLists;

    // The MATERIAS entries steps 3 and 8 both read, read once from the document.
    const std::vector<NumberedSubjectEntry> &subjectEntries();

private:
    Outcome runSteps();
    void keepTypedCodings();

    Session &m_session;
    UserInterface &m_ui;
    std::optional<ExchangeDocument> m_seneca;
    std::optional<ExchangeValues> m_planning;
    std::optional<std::vector<NumberedSubjectEntry>> m_subjectEntries;
    PlainFolder m_workFolder;
    std::unique_ptr<StagingArea> m_staging;
    TableFolder *m_folder = &m_workFolder;
};

// Fixed messages of the export driver (those the import shows too are run_texts).
namespace export_texts {
inline QString twoFiles()
{
    return QStringLiteral("Debe disponer de 2 ficheros XML. Uno procedente de SÉNECA, y otro de PLANIFICACIÓN.\r\n"
                          "Ambos ficheros deberán estar ubicados en una misma carpeta.");
}
inline QString chooseSeneca()
{
    return QStringLiteral("Seleccione ahora el fichero XML procedente de SÉNECA");
}
inline QString choosePlanning()
{
    return QStringLiteral("Seleccione ahora el fichero XML procedente de PLANIFICACIÓN");
}
// The person left a dialog of the export without finishing it.
inline QString leftUnfinished(const QString &workDir)
{
    return QStringLiteral("La exportación ha quedado sin terminar. Las tablas de la carpeta de trabajo %1 están "
                          "como estaban. Los niveles y cursos que completó se guardan para la próxima "
                          "exportación. Pulse de nuevo OK para repetirla.")
        .arg(workDir);
}
} // namespace export_texts
