#pragma once
// Everything a run says to or asks of the person goes through this interface:
// messages, file choice, the two export dialogs, the wait cursor and closing the
// main window. The window, the command line and the tests each implement it.

#include <QString>

#include <optional>

class CourseDialog;
class FrameDialog;
struct RunSummary;

class UserInterface {
public:
    enum class XmlFile { Seneca, Planning };

    virtual ~UserInterface() = default;

    // A plain message box: no icon, one OK button, the application title as caption.
    virtual void showMessage(const QString &text) = 0;
    // The general error display: the message of an error that ended the run.
    virtual void showError(const QString &text) = 0;
    // A question with a warning icon and two buttons named for what they do. Escape
    // and the close box answer Dismissed, which callers take as the harmless choice.
    enum class Answer { First, Second, Dismissed };
    virtual Answer ask(const QString &caption, const QString &text, const QString &first, const QString &second) = 0;
    // Shows the file-open dialog of the Séneca or the planning file. Empty when cancelled.
    virtual std::optional<QString> chooseXmlFile(XmlFile which) = 0;
    // Shows the level and course dialog modally; returns when it has closed.
    virtual void runCourseDialog(CourseDialog &dialog) = 0;
    // Shows the time frame dialog modally; returns when it has closed.
    virtual void runFrameDialog(FrameDialog &dialog) = 0;
    // The application-wide wait cursor.
    virtual void setBusy(bool busy) = 0;
    // Closes the main window (batch mode, forced exit).
    virtual void closeMainWindow() = 0;
    // A note the person should read that is not a question (lessons dropped, tables
    // written): the window's status area, the command line's standard error.
    virtual void note(const QString &text) = 0;
    // What a completed run did, given just before "Proceso finalizado", so the window
    // shows it behind that message (in batch mode the window closes after it). The
    // interface adds the notes it received (RunSummary::addNotes).
    virtual void showSummary(const RunSummary &summary) = 0;
    // "Proceso finalizado", the last word of a completed run, with below it what the
    // person must know before the window closes (details: the check's counts), and,
    // when reportPath is given, a way to open that report from the box itself:
    // in batch mode the window closes right after it.
    virtual void showFinished(const QString &details, const QString &reportPath) = 0;
};

// Keeps the wait cursor on while a run works and restores it however the run ends.
class BusyCursor {
public:
    explicit BusyCursor(UserInterface &ui)
        : m_ui(ui)
    {
        m_ui.setBusy(true);
    }
    ~BusyCursor() { m_ui.setBusy(false); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;

private:
    UserInterface &m_ui;
};

// Fixed texts of the file dialogs.
namespace dialog_texts {
inline QString senecaTitle()
{
    return QStringLiteral("Seleccione Archivo XML obtenido de SÉNECA");
}
inline QString planningTitle()
{
    return QStringLiteral("Seleccione Archivo XML obtenido de PLANIFICACIÓN");
}
inline QString filter()
{
    return QStringLiteral("*.xml");
}
inline QString defaultSuffix()
{
    return QStringLiteral("xml");
}
} // namespace dialog_texts
