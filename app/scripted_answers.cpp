#include "app/scripted_answers.h"

#include <QApplication>
#include <QEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QThread>
#include <QTimer>

void ScriptedAnswers::installIfAsked()
{
    if (!qEnvironmentVariableIsSet("TRANSHORAVO_TEST_ANSWERS"))
        return;
    // Qt's own dialogs, so that the answers reach them (a desktop's dialog would not).
    QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
    const QStringList files = qEnvironmentVariable("TRANSHORAVO_TEST_ANSWERS").split(QLatin1Char('|'));
    qApp->installEventFilter(new ScriptedAnswers(files, qApp));
}

ScriptedAnswers::ScriptedAnswers(const QStringList &files, QObject *parent)
    : QObject(parent)
    , m_files(files)
{
    auto *watch = new QTimer(this);
    connect(watch, &QTimer::timeout, this, &ScriptedAnswers::closeWindowWhenDone);
    watch->start(250);
}

bool ScriptedAnswers::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::Show)
        return false;
    if (auto *dialog = qobject_cast<QFileDialog *>(watched)) {
        const QString file = m_files.isEmpty() ? QString() : m_files.takeFirst();
        QPointer<QFileDialog> guard(dialog);
        QTimer::singleShot(0, this, [guard, file] {
            if (!guard)
                return;
            if (file.isEmpty() || file == QLatin1String("-")) {
                guard->reject();
                return;
            }
            guard->selectFile(file);
            static_cast<QDialog *>(guard.data())->accept(); // QFileDialog's checks the file, as OK does
        });
    } else if (auto *box = qobject_cast<QMessageBox *>(watched)) {
        QPointer<QMessageBox> guard(box);
        QTimer::singleShot(0, this, [guard] {
            if (!guard)
                return;
            if (QPushButton *button = guard->defaultButton())
                button->click();
            else
                guard->accept();
        });
    }
    return false;
}

void ScriptedAnswers::closeWindowWhenDone()
{
    // Only from the main event loop: a deeper one belongs to a dialog of a run that
    // is still going (also in the moment after a dialog was answered).
    if (m_files.isEmpty() && QThread::currentThread()->loopLevel() == 1)
        QApplication::closeAllWindows();
}
