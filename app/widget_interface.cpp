#include "app/widget_interface.h"

#include "app/main_window.h"
#include "common/default_folders.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

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
    const bool wasBusy = m_busy;
    if (wasBusy)
        QApplication::restoreOverrideCursor();
    box.exec();
    if (wasBusy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
}

void WidgetInterface::showError(const QString &text)
{
    setBusy(false);
    QMessageBox box(QMessageBox::Critical, applicationTitle(), text, QMessageBox::Ok, parentWidget());
    box.exec();
}

bool WidgetInterface::confirm(const QString &caption, const QString &text)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parentWidget());
    return box.exec() == QMessageBox::Ok;
}

std::optional<QString> WidgetInterface::chooseXmlFile(XmlFile which)
{
    const QString title = which == XmlFile::Seneca ? dialog_texts::senecaTitle() : dialog_texts::planningTitle();
    QFileDialog dialog(parentWidget(), title, defaultDialogDir(), dialog_texts::filter());
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(dialog_texts::defaultSuffix());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
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
    m_window->showStatus(text);
}
