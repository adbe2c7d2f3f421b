#pragma once
// The check's report as one self-contained Spanish HTML page: a header with the
// school year and the export's date; the summary and the problems grouped by kind
// (check_report_model.h), each line linking to its teacher; then a weekly grid for
// each teacher, each unit and each room (days across, the export's slots down),
// drawn only as they scroll into view, an index to reach any of them, and a print
// layout with one grid per page. Inline style, no script and nothing from the
// network: it reads the same in any browser and on paper. Its size grows with the
// lessons and the grids, nothing more.

#include "import/seneca_export.h"
#include "import/timetable_check.h"
#include "import/timetable_content.h"

#include <QByteArray>
#include <QString>

#include <memory>

QByteArray checkReportHtml(const SenecaExport &seneca, const TimetableContent &content, const CheckResult &result);

// Writes the page whole or not at all; throws UserError naming the file when it
// cannot be written.
void writeCheckReport(
    const QString &path, const SenecaExport &seneca, const TimetableContent &content, const CheckResult &result);

class CheckReportPage;

// The same page in two steps: what does not depend on the findings (most of it)
// is made on construction, from a thread of its own while the rules run.
class PreparedCheckReport {
public:
    PreparedCheckReport(const SenecaExport &seneca, const TimetableContent &content);
    ~PreparedCheckReport();
    // As writeCheckReport.
    void write(const QString &path, const CheckResult &result);

private:
    std::unique_ptr<CheckReportPage> m_page;
};

// The report beside a document: its name with ".html" in place of ".xml" (or
// ".html" added when it has no ".xml").
QString checkReportPathFor(const QString &documentPath);
