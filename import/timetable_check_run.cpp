#include "import/timetable_check_run.h"

#include "import/check_report_html.h"
#include "import/timetable_reader.h"

#include <future>
#include <optional>

TimetableCheckInput readTimetableCheckInput(const QString &senecaPath, const QString &timetablePath)
{
    std::future<SenecaExport> seneca
        = std::async(std::launch::async, [&senecaPath] { return SenecaExport::read(senecaPath); });
    TimetableContent content = TimetableReader::read(timetablePath);
    return {seneca.get(), std::move(content)};
}

CheckResult runTimetableCheck(const QString &senecaPath, const QString &timetablePath, const QString &reportPath)
{
    const TimetableCheckInput input = readTimetableCheckInput(senecaPath, timetablePath);
    return runTimetableCheck(input.seneca, input.content, reportPath);
}

CheckResult runTimetableCheck(const SenecaExport &seneca, const TimetableContent &content, const QString &reportPath)
{
    // The rules run beside the preparation of the report's grids.
    std::future<CheckResult> rules
        = std::async(std::launch::async, [&seneca, &content] { return checkTimetable(seneca, content); });
    std::optional<PreparedCheckReport> report;
    if (!reportPath.isEmpty())
        report.emplace(seneca, content);
    CheckResult result = rules.get();
    if (report)
        report->write(reportPath, result);
    return result;
}
