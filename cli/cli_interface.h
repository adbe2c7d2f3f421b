#pragma once
// The command line's way of talking to the person: messages go to standard error,
// questions and dialogs are answered from the options. The two dialog methods are
// defined with the rest of each dialog's answers (cli/dialog_answers.h).

#include "common/user_error.h"
#include "common/user_interface.h"

#include <QStringList>
#include <QTextStream>

// A decision the dialogs would ask for is missing or invalid: exit status 3.
class DecisionMissing : public UserError {
public:
    using UserError::UserError;
};

struct CliAnswers {
    QString senecaFile;
    QString planningFile;
    bool takeOver = true; // answer to the take-over question of the course dialog
    QString levelsFile; // CSV with CLAVE, NIVEL and CURSO
    QStringList frames; // frame codes chosen with --frames
    bool framesGiven = false;
};

class CliInterface : public UserInterface {
public:
    explicit CliInterface(CliAnswers answers);

    void showMessage(const QString &text) override;
    void showError(const QString &text) override;
    // The take-over question: --no-take-over answers "No recuperar".
    Answer ask(const QString &caption, const QString &text, const QString &first, const QString &second) override;
    std::optional<QString> chooseXmlFile(XmlFile which) override;
    void runCourseDialog(CourseDialog &dialog) override;
    void runFrameDialog(FrameDialog &dialog) override;
    void setBusy(bool) override { }
    void closeMainWindow() override { m_closed = true; }
    // Notes wait for the run's summary, which prints them; a run that ends without
    // one prints them on standard error when the interface goes.
    void note(const QString &text) override;
    void showSummary(const RunSummary &summary) override;
    // "Proceso finalizado" alone: the counts are in the summary it prints.
    void showFinished(const QString &details, const QString &reportPath) override;
    ~CliInterface() override;

    const CliAnswers &answers() const { return m_answers; }
    bool closed() const { return m_closed; }
    // The summary of the completed run with the notes, empty before one completed.
    const QString &summaryText() const { return m_summaryText; }

    // Messages that only ask the person to pick a file are not shown here.
    static bool isFilePrompt(const QString &text);

private:
    CliAnswers m_answers;
    bool m_closed = false;
    QStringList m_notes;
    QString m_summaryText;
};

QTextStream &standardError();
QTextStream &standardOutput();
