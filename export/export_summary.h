#pragma once
// The summary of a completed export: each table written with its record count,
// and what to do next.

#include "common/run_summary.h"

class ExportRun;

RunSummary exportSummary(ExportRun &run);
