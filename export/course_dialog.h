#pragma once
// TControlCursos without its widgets: the level and course dialog of export step 2.
// It holds CURSOST.DBF open while it is shown, offers to take over the codings kept
// in CURSOST2.DBF from an earlier export, checks at OK that every course has its
// level and course, stores the codings in CURSOST2.DBF for the next export, and
// offers a forced exit once an attempt has failed. The window (or the command line)
// shows its state and forwards what the person does.

#include "common/dbf_table.h"
#include "common/table_folder.h"
#include "common/user_interface.h"
#include "export/levels_csv.h"

#include <QString>

#include <functional>
#include <memory>
#include <vector>

class CourseDialog {
public:
    enum class Closed {
        No, // still open
        WithOk, // BitBtn1: the check ran (result says how it went)
        WithCancel, // BitBtn2: the forced exit
        FromTitleBar // the close box: no check, no memory update
    };

    // workDir holds CURSOST.DBF and CURSOST2.DBF. earlierAttemptFailed is the main
    // window's result flag: the forced exit is offered from the start.
    CourseDialog(QString workDir, bool earlierAttemptFailed, UserInterface &ui);
    // The tables as an export run sees them: CURSOST.DBF where the run writes,
    // CURSOST2.DBF read from the working folder until the run stores its own.
    CourseDialog(TableFolder &folder, bool earlierAttemptFailed, UserInterface &ui);
    ~CourseDialog();
    CourseDialog(const CourseDialog &) = delete;
    CourseDialog &operator=(const CourseDialog &) = delete;

    // What step 2 reads once the dialog has closed.
    bool result = false; // the OK check found a course without level or course
    QString result2; // "fuera" after the forced exit

    // FormShow: opens CURSOST.DBF, asks whether to take over the earlier codings
    // when CURSOST2.DBF exists (not when this dialog follows a failed OK), and shows
    // the forced exit when an earlier attempt failed. "No recuperar" (the question's
    // Cancel) deletes CURSOST2.DBF; a question closed without an answer (Escape, the
    // close box) takes the codings over, as "Recuperar" does: a year's codings are
    // never lost to one key.
    void onShow();

    // This dialog is shown again because the OK of the one before found data
    // missing: the take-over question was answered then, and asking again would
    // put the earlier codings over what the person has typed since. The cells
    // still lacking a value are marked (marksMissing) until they get one.
    void followFailedOk() { m_followsFailedOk = true; }
    bool marksMissing() const { return m_followsFailedOk; }

    // The grid's rows: the courses in stored order (none before onShow).
    int rowCount() const;
    QString clave(int row) const;
    QString estud(int row) const;
    QString nivel(int row) const;
    QString curso(int row) const;
    // What the person types in the grid; each value is posted at once and stored
    // cut to its field's width.
    void setNivel(int row, const QString &value);
    void setCurso(int row, const QString &value);
    // For answers given all at once (the command line), after onShow: the values
    // posted from now on reach CURSOST.DBF together when the dialog closes
    // (dbf::Table::batchPosts). The window keeps writing each one through.
    void batchChanges();
    // Width of NIVEL and CURSO, for the grid's editors.
    static int nivelWidth();
    static int cursoWidth();

    // Codings taken from a spreadsheet. Each sets values as typing them in the grid
    // would (cut to the field's width), and tells the person, in one message, what
    // it could not place.
    //
    // A block of cells copied from a spreadsheet (rows of tab-separated cells) laid
    // over the grid from a row down: its first column goes to NIVEL, its second to
    // CURSO, or, from CURSO, its first column to CURSO. An empty cell empties its
    // value, as in a spreadsheet. Returns the number of rows it filled.
    enum class PasteColumn { Nivel, Curso };
    int paste(int row, PasteColumn column, const QString &cells);
    // A CSV as `--levels` reads it: each row's non-empty NIVEL and CURSO go to every
    // course with its CLAVE. Returns the rows that name no course.
    std::vector<LevelsRow> applyLevels(const LevelsCsv &csv);
    // Reads the file and applies it, telling the person of rows that name no
    // course. A file that cannot be read is said in a message and leaves the grid
    // as it was (false).
    bool loadLevels(const QString &path);
    // Every course with what is known of it (CLAVE;NIVEL;CURSO;ESTUD), to be
    // completed in a spreadsheet and loaded back.
    QString codingsCsv() const;
    // Writes codingsCsv() whole to the file, in UTF-8 with a BOM so that
    // spreadsheets read its accents; a message says so when it cannot (false).
    bool saveTemplate(const QString &path) const;
    // The folder of CURSOST.DBF and CURSOST2.DBF.
    const QString &workDir() const { return m_folder.workDir(); }

    // The OK check's walk: a course whose NIVEL or CURSO is empty once trimmed of
    // spaces and control characters, or -1.
    int firstIncomplete() const;

    // The focus entered a grid column: hides the forced exit and its warning.
    void focusEnteredColumn();
    // BitBtn1: the check, then either the incident labels, the message and the
    // forced exit, or the codings stored in CURSOST2.DBF. Closes the dialog.
    void ok();
    // BitBtn2: result2 becomes "fuera". Closes the dialog.
    void forceExit();
    // The close box: result stays false and result2 empty.
    void closeFromTitleBar();

    Closed closed() const { return m_closed; }
    // BitBtn2 and Label8.
    bool forcedExitVisible() const { return m_forcedExitVisible; }
    // Label3 and Label2.
    bool incidentVisible() const { return m_incidentVisible; }
    // Whether this dialog's OK wrote CURSOST2.DBF.
    bool codingsStored() const { return m_codingsStored; }

    // Called whenever a visibility above changes, so a window can follow at once
    // (the incident labels are seen while the message is on screen).
    std::function<void()> changed;

private:
    void openCourses();
    void takeOverEarlierCodings();
    void forgetEarlierCodings();
    void storeCodings();
    void setText(int row, int field, const QString &value);
    QString text(int row, int field) const;
    void setForcedExitVisible(bool visible);
    void setIncidentVisible(bool visible);
    QString memoryPath() const;

    std::unique_ptr<PlainFolder> m_ownFolder;
    TableFolder &m_folder;
    bool m_earlierAttemptFailed;
    bool m_followsFailedOk = false;
    UserInterface &m_ui;
    dbf::Table m_courses; // CURSOST.DBF, open from onShow until the dialog closes
    std::vector<int> m_rows; // the grid's rows: live records in stored order
    int m_abrev = -1;
    int m_turno = -1;
    int m_nivel = -1;
    int m_curso = -1;
    int m_clave = -1;
    int m_estud = -1;
    Closed m_closed = Closed::No;
    bool m_forcedExitVisible = false;
    bool m_incidentVisible = false;
    bool m_codingsStored = false;
};

// The dialog's fixed words.
namespace course_dialog_texts {
inline QString takeOverCaption()
{
    return QStringLiteral("Recuperación de Niveles y Cursos de una exportación anterior");
}
// The codings are kept by the export (CURSOST2.DBF), so the question names it.
inline QString takeOverQuestion()
{
    return QStringLiteral("Existen Niveles y Cursos ya definidos en una Exportación anterior.\n\r"
                          "¿Quiere recuperar las codificaciones introducidas anteriormente?");
}
inline QString takeOverButton()
{
    return QStringLiteral("Recuperar");
}
inline QString startAfreshButton()
{
    return QStringLiteral("No recuperar, empezar de nuevo");
}
inline QString missingData()
{
    return QStringLiteral("¡Atención! Falta algún Dato");
}
inline QString forcedExitMark()
{
    return QStringLiteral("fuera");
}
} // namespace course_dialog_texts

// Stores the codings of these CURSOST.DBF rows in the memory table at memoryPath
// (created when missing): a known CLAVE gets its NIVEL and CURSO updated, a new one
// is appended whole.
void storeCourseCodings(const dbf::Table &courses, const std::vector<int> &rows, const QString &memoryPath);

// Whether a level or course counts as missing at OK: nothing left once spaces
// and control characters are trimmed.
bool isMissingCoding(const QString &text);
