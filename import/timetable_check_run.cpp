#include "import/timetable_check_run.h"

#include "import/check_report_html.h"
#include "import/seneca_export.h"
#include "import/timetable_reader.h"

CheckResult runTimetableCheck(const QString &senecaPath, const QString &timetablePath, const QString &reportPath)
{
    const SenecaExport seneca = SenecaExport::read(senecaPath);
    const TimetableContent content = TimetableReader::read(timetablePath);
    CheckResult result = checkTimetable(seneca, content);
    if (!reportPath.isEmpty())
        writeCheckReport(reportPath, seneca, content, result);
    return result;
}
