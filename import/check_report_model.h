#pragma once
// What the check's report says before its grids, independent of how it is shown:
// the summary (the counts, whether the document may go to Séneca) and the
// problems grouped by kind, each group with what to do and its lines.

#include "import/timetable_check.h"
#include "import/timetable_content.h"

#include <vector>

struct ReportSummary {
    int errors = 0, warnings = 0, information = 0;
    int regularLessons = 0, nonRegularActivities = 0, teachers = 0;
    bool canUpload() const { return errors == 0; }
};

struct ReportProblemGroup {
    CheckSeverity severity;
    CheckKind kind;
    std::vector<const CheckFinding *> lines; // in the check's order
};

struct CheckReportModel {
    ReportSummary summary;
    std::vector<ReportProblemGroup> groups; // errors first, then warnings, then information
    // The groups of one severity.
    std::vector<const ReportProblemGroup *> groupsOf(CheckSeverity severity) const;
};

// The model refers to the result's findings: it must not outlive them.
CheckReportModel checkReportModel(const TimetableContent &content, const CheckResult &result);
