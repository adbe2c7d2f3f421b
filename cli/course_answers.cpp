// Placeholder: the command line's answers to the level and course dialog.
#include "cli/cli_interface.h"
#include "export/course_dialog.h"

void CliInterface::runCourseDialog(CourseDialog &)
{
}

void checkCourseAnswers(ExportRun &, CliInterface &)
{
}
