// Placeholder until this step lands.
#include "export/export_run.h"

void ExportRun::appendActivityTasks()
{

}
