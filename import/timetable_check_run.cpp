#include "import/timetable_check_run.h"

#include "import/check_report_html.h"
#include "import/timetable_reader.h"

#include <future>
#include <optional>

CheckResult runTimetableCheck(const QString &senecaPath, const QString &timetablePath, const QString &reportPath)
{
    // The export and the document are read one after the other: read at once they
    // would raise the peak memory by a tenth for a tenth of the time.
    const SenecaExport seneca = SenecaExport::read(senecaPath);
    const TimetableContent content = TimetableReader::read(timetablePath);
    return runTimetableCheck(seneca, content, reportPath);
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
