#include "import/timetable_check_run.h"

#include "import/check_report_html.h"
#include "import/timetable_reader.h"

#include <future>
#include <optional>

CheckResult runTimetableCheck(const QString &senecaPath, const QString &timetablePath, const QString &reportPath)
{
    // The export and the document are read at once, one on each core.
    std::future<SenecaExport> seneca
        = std::async(std::launch::async, [&senecaPath] { return SenecaExport::read(senecaPath); });
    const TimetableContent content = TimetableReader::read(timetablePath);
    return runTimetableCheck(seneca.get(), content, reportPath);
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
