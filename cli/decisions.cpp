#include "cli/cli_interface.h"
#include "export/export_run.h"

void installCliDecisions(ExportRun &run, CliInterface &ui)
{
    run.beforeWriting = [&ui](ExportRun &current) {
        checkFrameAnswers(current, ui);
        checkCourseAnswers(current, ui);
    };
}
