#pragma once
// One import run: from the timetabler's solution table SOLUC and the tables the
// export left behind to the Séneca timetable document, written beside the Séneca
// file as "ResultadoHoravo" followed by that file's name.
//
// The document is written as it is made, into a temporary file that takes the
// output's place only once it is complete: the output file on disk is only ever
// a complete document, and a run that stops leaves an earlier one as it was.

#include "common/session.h"
#include "common/user_interface.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <future>
#include <memory>

class SenecaExport;
struct TimetableContent;

class ImportRun {
public:
    enum class Outcome {
        Completed,
        MissingFile, // "No existe archivo"
        Cancelled, // the person cancelled the choice of the Séneca file
        MissingPeriods, // PERIODOS.DBF is missing: the export must run first
    };

    ImportRun(Session &session, UserInterface &ui);
    ~ImportRun();

    // The driver (BImportarClick). Errors leave as UserError.
    Outcome run();

    // After a completed run: the document written, and what it holds.
    QString outputPath() const { return m_outputPath; }
    // Writes the document elsewhere than beside the Séneca file (command line --output).
    void setOutputPath(const QString &path)
    {
        m_outputPath = path;
        m_outputChosen = true;
    }
    int teacherCount = 0;
    int lessonCount = 0; // record groups written, both sections
    int droppedCount = 0; // lessons dropped: requirement flags, teachers not in PROFT

    // The check of the document just written, and its report beside it (the
    // document's name with ".html"). Its findings never change the run's outcome:
    // the document is written whatever they are. Empty when the check could not run.
    QString reportPath() const { return m_reportPath; }
    int checkErrors = 0;
    int checkWarnings = 0;
    int checkInformation = 0;

    // The text of the root's fecha: the host's regional short date, one space and
    // its long time. Tests set a fixed text.
    std::function<QString()> fechaText;

    // "ResultadoHoravo" followed by the Séneca file's name, in the Séneca file's folder.
    static QString defaultOutputPath(const QString &senecaPath);
    // The current local date and time in the host's regional formats.
    static QString regionalNow();

private:
    Outcome chooseExistingSenecaFile(); // Completed once the file is chosen
    // Throws UserError when the document or its report would land on a file the
    // import reads: the Séneca file, a working table, the lock file.
    void refuseOutputsOnInputs(const QString &report) const;
    void takeSenecaExport(std::future<SenecaExport> &seneca);
    void checkDocument(const QString &report, const TimetableContent &content);

    Session &m_session;
    UserInterface &m_ui;
    QString m_outputPath;
    bool m_outputChosen = false;
    QString m_reportPath;
    // What the check read: kept until the run object goes, so that the command
    // line can end its process without freeing it.
    std::unique_ptr<TimetableContent> m_written;
    std::unique_ptr<SenecaExport> m_senecaExport;
    QString m_senecaError; // why the check could not read the Séneca file
};

namespace import_texts {
inline QString chooseSeneca()
{
    return QStringLiteral("Seleccione ahora el fichero XML procedente de SÉNECA\r\nque utilizó en su momento para la "
                          "recogida de datos. ");
}
inline QString missingPeriods()
{
    return QStringLiteral("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA.");
}
// Tables of the export that are not in the working folder.
QString missingExportTables(const QStringList &fileNames, const QString &folder);
// A folder stands where a table should be.
QString folderInPlaceOfTable(const QString &fileName, const QString &folder);
// A pipe, a device or another thing that is no file stands where a table should be.
QString notAFileInPlaceOfTable(const QString &fileName, const QString &folder, const QString &kindText);
// The working tables are not the Séneca file's: why, and to export again.
QString anotherSchoolsTables(const QString &workDir, const QString &why);
// Lessons of SOLUC whose teacher is not among PROFT's teachers.
QString lessonsWithoutTeacher(const QString &teacherCode, int count);
// SOLUC.DBF is not in the working folder.
QString missingSolution(const QString &folder);
// What the check of the document found, and where its report is.
QString checkSummary(int errors, int warnings, int information, const QString &reportPath);
// The check's counts alone: "Comprobación del documento: 1 error, 2 avisos, 0 notas informativas."
QString checkCounts(int errors, int warnings, int information);
// With errors, under "Proceso finalizado".
inline QString readReportFirst()
{
    return QStringLiteral("El documento tiene errores: lea el informe antes de subirlo a Séneca.");
}
// The check could not run: the document is written all the same.
QString checkNotRun(const QString &reason);
// Lessons of one teacher that the requirement flags dropped.
QString droppedLessons(const QString &teacherCode, const QString &employee, int count);
} // namespace import_texts
