// Placeholder: the Qt view of the level and course dialog.
#include "app/widget_interface.h"
#include "export/course_dialog.h"

void WidgetInterface::runCourseDialog(CourseDialog &)
{
}
