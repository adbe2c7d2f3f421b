// Placeholder: the command line's answers to the time frame dialog.
#include "cli/cli_interface.h"
#include "export/frame_dialog.h"

void CliInterface::runFrameDialog(FrameDialog &)
{
}

void checkFrameAnswers(ExportRun &, CliInterface &)
{
}
