#include "import/check_report_model.h"

CheckReportModel checkReportModel(const TimetableContent &content, const CheckResult &result)
{
    CheckReportModel model;
    ReportSummary &summary = model.summary;
    summary.errors = result.errors;
    summary.warnings = result.warnings;
    summary.information = result.information;
    for (const TimetableRecord &record : content.records)
        ++(content.teachers[size_t(record.teacher)].regular ? summary.regularLessons : summary.nonRegularActivities);
    for (const TimetableTeacher &teacher : content.teachers)
        summary.teachers += teacher.regular ? 1 : 0;
    // The findings come by severity and kind: each run of one kind is a group.
    for (const CheckFinding &finding : result.findings) {
        if (model.groups.empty() || model.groups.back().kind != finding.kind)
            model.groups.push_back({finding.severity, finding.kind, {}});
        model.groups.back().lines.push_back(&finding);
    }
    return model;
}

std::vector<const ReportProblemGroup *> CheckReportModel::groupsOf(CheckSeverity severity) const
{
    std::vector<const ReportProblemGroup *> out;
    for (const ReportProblemGroup &group : groups) {
        if (group.severity == severity)
            out.push_back(&group);
    }
    return out;
}
