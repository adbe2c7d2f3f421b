#include "app/widget_interface.h"

#include "app/course_dialog_view.h"
#include "app/frame_dialog_view.h"
#include "app/main_window.h"
#include "common/run_driver.h"
#include "common/run_summary.h"
#include "export/frame_dialog.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>

WidgetInterface::WidgetInterface(MainWindow *window)
    : m_window(window)
{
}

QWidget *WidgetInterface::parentWidget() const
{
    QWidget *active = QApplication::activeModalWidget();
    return active ? active : m_window;
}

void WidgetInterface::showMessage(const QString &text)
{
    // A plain message box: no icon, one OK button, the application title as caption.
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parentWidget());
    execWaitingForThePerson(box);
}

void WidgetInterface::showError(const QString &text)
{
    setBusy(false);
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parentWidget());
    box.exec();
}

UserInterface::Answer WidgetInterface::ask(
    const QString &caption, const QString &text, const QString &first, const QString &second)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::NoButton, parentWidget());
    QPushButton *firstButton = box.addButton(first, QMessageBox::AcceptRole);
    QPushButton *secondButton = box.addButton(second, QMessageBox::DestructiveRole);
    // Escape and the close box press a button nobody sees, which stands for no answer.
    QPushButton *dismiss = box.addButton(QMessageBox::Cancel);
    dismiss->hide();
    box.setEscapeButton(dismiss);
    box.setDefaultButton(firstButton);
    execWaitingForThePerson(box);
    if (box.clickedButton() == firstButton)
        return Answer::First;
    if (box.clickedButton() == secondButton)
        return Answer::Second;
    return Answer::Dismissed;
}

QString WidgetInterface::startFolder(const QString &workDir)
{
    const QString seneca = QDir(workDir).filePath(QStringLiteral("seneca"));
    if (QFileInfo(seneca).isDir())
        return seneca;
    if (QFileInfo(workDir).isDir())
        return workDir;
    return QDir::homePath();
}

std::optional<QString> WidgetInterface::chooseXmlFile(XmlFile which)
{
    const QString title = which == XmlFile::Seneca ? dialog_texts::senecaTitle() : dialog_texts::planningTitle();
    QFileDialog dialog(parentWidget(), title, startFolder(m_window->session().workDir), dialog_texts::filter());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(dialog_texts::defaultSuffix());
    dialog.resize(760, 460); // room for the files' names, sizes and dates
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

void WidgetInterface::runCourseDialog(CourseDialog &dialog)
{
    CourseDialogView view(dialog, parentWidget());
    QObject::connect(&view, &CourseDialogView::helpRequested, m_window, &MainWindow::openHelp);
    execWaitingForThePerson(view);
    view.rethrowError();
}

void WidgetInterface::runFrameDialog(FrameDialog &dialog)
{
    if (!dialog.isActivated())
        dialog.activate();
    FrameDialogView view(dialog, parentWidget());
    QObject::connect(&view, &FrameDialogView::helpRequested, m_window, &MainWindow::openHelp);
    execWaitingForThePerson(view);
}

void WidgetInterface::execWaitingForThePerson(QDialog &dialog)
{
    const bool wasBusy = m_busy;
    if (wasBusy)
        QApplication::restoreOverrideCursor();
    dialog.exec();
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetInterface::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WidgetInterface::closeMainWindow()
{
    m_window->close();
}

void WidgetInterface::note(const QString &text)
{
    m_window->addNote(text);
}

void WidgetInterface::showSummary(const RunSummary &summary)
{
    RunSummary withNotes = summary;
    withNotes.addNotes(m_window->takeNotes());
    m_window->showRunSummary(withNotes);
}

void WidgetInterface::showFinished(const QString &details, const QString &reportPath)
{
    const QString text
        = details.isEmpty() ? run_texts::finished() : run_texts::finished() + QStringLiteral("\n\n") + details;
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parentWidget());
    box.setObjectName(QStringLiteral("finished"));
    QPushButton *report = nullptr;
    if (!reportPath.isEmpty()) {
        // In batch mode the window closes after this box: the report is opened from here.
        report = box.addButton(openReportButton(), QMessageBox::ActionRole);
        report->setObjectName(QStringLiteral("BInformeFinalizado"));
    }
    box.setDefaultButton(QMessageBox::Ok);
    execWaitingForThePerson(box);
    if (report && box.clickedButton() == report)
        m_window->openReport();
}
