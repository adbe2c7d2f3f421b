#pragma once
// The command line's answers to the export's two dialogs, checked before the export
// writes anything. Each dialog's answers are in a file of their own, together with
// the CliInterface method that plays the dialog: course_answers.cpp
// (checkCourseAnswers, CliInterface::runCourseDialog) and frame_answers.cpp
// (checkFrameAnswers, CliInterface::runFrameDialog).

#include "cli/cli_interface.h"
#include "export/export_run.h"

// Each throws DecisionMissing when the options leave the dialog unanswered.
void checkCourseAnswers(ExportRun &run, CliInterface &ui);
void checkFrameAnswers(ExportRun &run, CliInterface &ui);

// Before the export writes anything, checks that the options answer both dialogs.
inline void installCliDecisions(ExportRun &run, CliInterface &ui)
{
    run.beforeWriting = [&ui](ExportRun &current) {
        checkFrameAnswers(current, ui);
        checkCourseAnswers(current, ui);
    };
}
