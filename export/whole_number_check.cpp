// Placeholder until this check lands.
#include "export/export_run.h"

void ExportRun::checkWholeNumbers()
{
}
