#pragma once
// The timetable check from files to findings and report, as the command line and
// the import run it.

#include "import/seneca_export.h"
#include "import/timetable_check.h"
#include "import/timetable_content.h"

#include <QString>

// Reads the Séneca export and the timetable document, checks the one against the
// other and, when reportPath is not empty, writes the HTML report there. Throws
// UserError (naming the file) when the check cannot run: a file missing or
// unreadable, an export that is not an exchange document, a report that cannot be
// written. A timetable document that is not well-formed is a finding.
CheckResult runTimetableCheck(const QString &senecaPath, const QString &timetablePath, const QString &reportPath);

// What the check reads: the Séneca export and the timetable document, read at
// once, one on each core. Throws as runTimetableCheck.
struct TimetableCheckInput {
    SenecaExport seneca;
    TimetableContent content;
};
TimetableCheckInput readTimetableCheckInput(const QString &senecaPath, const QString &timetablePath);

// The same from what is already read: the import's own document, kept as it was
// written.
CheckResult runTimetableCheck(const SenecaExport &seneca, const TimetableContent &content, const QString &reportPath);
