#pragma once
// A UserInterface with scripted answers, for tests: it records every message and
// answers questions, file choices and dialogs from what the test set up.

#include "common/run_driver.h"
#include "common/run_summary.h"
#include "common/user_interface.h"

#include <QStringList>
#include <deque>
#include <functional>

class ScriptedInterface : public UserInterface {
public:
    QStringList messages; // showMessage, in order
    QStringList errors; // showError, in order
    QStringList notes; // note, in order
    QStringList questions; // ask: caption + "|" + text
    std::deque<Answer> askAnswers; // answered in order; the first button when empty
    QStringList askButtons; // ask: first + "|" + second
    std::vector<RunSummary> summaries; // showSummary, in order
    std::deque<std::optional<QString>> fileChoices; // answered in order; cancel when empty
    std::function<void(CourseDialog &)> courseDialog; // nothing happens when unset
    std::function<void(FrameDialog &)> frameDialog;
    int courseDialogsShown = 0;
    int frameDialogsShown = 0;
    bool busy = false;
    bool closed = false;

    void showMessage(const QString &text) override { messages << text; }
    void showError(const QString &text) override { errors << text; }
    Answer ask(const QString &caption, const QString &text, const QString &first, const QString &second) override
    {
        askButtons << first + QLatin1Char('|') + second;
        questions << caption + QLatin1Char('|') + text;
        if (askAnswers.empty())
            return Answer::First;
        const Answer answer = askAnswers.front();
        askAnswers.pop_front();
        return answer;
    }
    void showSummary(const RunSummary &summary) override { summaries.push_back(summary); }
    // "Proceso finalizado" joins the messages; what the box adds is kept apart.
    QStringList finishedDetails; // showFinished, in order
    QStringList finishedReports;
    void showFinished(const QString &details, const QString &reportPath) override
    {
        messages << run_texts::finished();
        finishedDetails << details;
        finishedReports << reportPath;
    }
    std::optional<QString> chooseXmlFile(XmlFile) override
    {
        if (fileChoices.empty())
            return std::nullopt;
        const bool chosen = fileChoices.front().has_value();
        const QString path = chosen ? *fileChoices.front() : QString();
        fileChoices.pop_front();
        if (!chosen)
            return std::nullopt;
        return path;
    }
    void runCourseDialog(CourseDialog &dialog) override
    {
        ++courseDialogsShown;
        if (courseDialog)
            courseDialog(dialog);
    }
    void runFrameDialog(FrameDialog &dialog) override
    {
        ++frameDialogsShown;
        if (frameDialog)
            frameDialog(dialog);
    }
    void setBusy(bool value) override { busy = value; }
    void closeMainWindow() override { closed = true; }
    void note(const QString &text) override { notes << text; }
};
