#pragma once
// The summary of a completed import: the document written, what it holds, and
// what to do next. The lessons dropped per teacher come as the run's notes.

#include "common/run_summary.h"

class ImportRun;

RunSummary importSummary(const ImportRun &run);
