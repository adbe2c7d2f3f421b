#pragma once
// TMForm: the main window with its two actions, batch dispatch when started with
// exactly two arguments, help, the outcome record written on closing in batch mode,
// and below the panels, once a run has ended, what it did.

#include "app/help_opener.h"
#include "common/run_summary.h"
#include "common/session.h"
#include "common/user_interface.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

class QFrame;
class QTextBrowser;

#include <functional>
#include <memory>

class MainWindow : public QWidget {
    Q_OBJECT
public:
    // arguments: the command line, the program's own path first. ui: how runs reach
    // the person; the window's own message boxes and dialogs when empty.
    MainWindow(Session &session, const QStringList &arguments, std::unique_ptr<UserInterface> ui = nullptr);
    ~MainWindow() override;

    QPushButton *exportButton() const { return m_export; }
    QPushButton *importButton() const { return m_import; }
    // The summary area below the panels, shown after a run.
    QTextBrowser *summaryView() const { return m_summaryView; }
    QPushButton *openFolderButton() const { return m_openFolder; }
    HelpOpener &help() { return m_help; }
    QPushButton *reportButton() const { return m_openReport; }
    Session &session() { return m_session; }
    UserInterface &ui() { return *m_ui; }

    // Where a window whose frame is `frame` goes so that it lies within `available`
    // (the screen without its taskbar): moved up or left as far as needed, and no
    // taller or wider than the area.
    static QRect keptWithin(const QRect &frame, const QRect &available);

    static QString windowCaption()
    {
        return QStringLiteral("Exportar e importar datos entre Horavent y Planificación (LUMA)");
    }

public Q_SLOTS:
    void BExportarClick();
    void BImportarClick();
    void Button1Click(); // help contents
    // A note of the running run: it goes into the run's summary.
    void addNote(const QString &text);
    // The notes given since the run started, taken out for its summary.
    QStringList takeNotes();
    // Shows what the run did below the panels; the window grows to hold it.
    void showRunSummary(const RunSummary &summary);
    // Opens the help at a section (empty: its contents).
    void openHelp(const QString &section);
    // The folder of the document the last import wrote, in the desktop's file manager.
    void openDocumentFolder();
    void openReport(); // the last import's check report, in the desktop's browser

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void batchDispatch();
    // Runs one export or import; whatever it throws is shown, and the window goes on.
    void runShowingErrors(const std::function<void()> &run);
    void beforeRun();
    void afterRun();
    void showError(const QString &message);
    void runWhenOnScreen(int attemptsLeft);
    void keepOnScreen();

    Session &m_session;
    QStringList m_arguments;
    std::unique_ptr<UserInterface> m_ui;
    QPushButton *m_export = nullptr;
    QPushButton *m_import = nullptr;
    QFrame *m_summaryPanel = nullptr;
    QTextBrowser *m_summaryView = nullptr;
    QPushButton *m_openFolder = nullptr;
    QString m_documentPath;
    QPushButton *m_openReport = nullptr;
    QString m_reportPath;
    QStringList m_notes;
    bool m_summaryShown = false;
    HelpOpener m_help;
    bool m_shown = false;
};
