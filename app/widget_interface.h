#pragma once
// How runs reach the person in the window: message boxes, file-open dialogs, the
// two export dialogs and the application-wide wait cursor.

#include "common/user_interface.h"

#include <QPointer>
#include <QWidget>

class MainWindow;

class QDialog;

class WidgetInterface : public UserInterface {
public:
    explicit WidgetInterface(MainWindow *window);

    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    Answer ask(const QString &caption, const QString &text, const QString &first, const QString &second) override;
    std::optional<QString> chooseXmlFile(XmlFile which) override;
    void runCourseDialog(CourseDialog &dialog) override;
    void runFrameDialog(FrameDialog &dialog) override;
    void setBusy(bool busy) override;
    void closeMainWindow() override;
    void note(const QString &text) override;
    void showSummary(const RunSummary &summary) override;
    // A plain message box; with a report, an "Abrir informe" button beside Aceptar.
    void showFinished(const QString &details, const QString &reportPath) override;

    static QString openReportButton() { return QStringLiteral("Abrir informe"); }

    static QString applicationTitle() { return QStringLiteral("TransHoravoPlanif"); }
    // Where the file dialogs start: the working folder's seneca folder when it
    // exists, else the working folder, else the home folder.
    static QString startFolder(const QString &workDir);

private:
    QWidget *parentWidget() const;
    MainWindow *m_window;
    // Shows a modal dialog; the run's wait cursor gives way to the normal one while
    // the person answers.
    void execWaitingForThePerson(QDialog &dialog);

    bool m_busy = false;
};
