#pragma once
// TMForm: the main window with its two actions, batch dispatch when started with
// exactly two arguments, help, and the outcome record written on closing in batch mode.

#include "common/session.h"
#include "common/user_interface.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

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
    QLabel *statusLabel() const { return m_status; }
    QPushButton *reportButton() const { return m_openReport; }
    Session &session() { return m_session; }
    UserInterface &ui() { return *m_ui; }

    static QString windowCaption()
    {
        return QStringLiteral("Exportar e importar datos entre Horavent y Planificación (LUMA)");
    }

public Q_SLOTS:
    void BExportarClick();
    void BImportarClick();
    void Button1Click(); // help contents
    void showStatus(const QString &text);
    void openReport(); // the last import's check report, in the desktop's browser

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void batchDispatch();
    void afterRun();
    void showError(const QString &message);
    void openHelp(int topic);

    Session &m_session;
    QStringList m_arguments;
    std::unique_ptr<UserInterface> m_ui;
    QPushButton *m_export = nullptr;
    QPushButton *m_import = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_openReport = nullptr;
    QString m_reportPath;
    QStringList m_notes;
    bool m_shown = false;
};
