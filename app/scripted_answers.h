#pragma once
// For the end-to-end tests only (the Wine test sets it; nobody else does): when the
// environment variable TRANSHORAVO_TEST_ANSWERS is set, the real file dialogs and
// message boxes are answered as they open, as a person would answer them. Each file
// dialog takes the next entry of the variable's '|'-separated list of files, and an
// entry "-" (or an empty one) cancels it; every message box is answered with its default button.
// When the list is used up and no run is going on, the window is closed as a
// person would close it.

#include <QObject>
#include <QStringList>

class ScriptedAnswers : public QObject {
    Q_OBJECT
public:
    // Installs the answers on the application when the variable is set.
    static void installIfAsked();

    explicit ScriptedAnswers(const QStringList &files, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void closeWindowWhenDone();

    QStringList m_files;
};
