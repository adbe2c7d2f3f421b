// The timetable check: the document's records read once into typed records, then
// each family of rules in turn (check_rules.h), and their findings made into one
// line per fault.
#include "import/timetable_check.h"

#include "common/spanish_count.h"
#include "import/check_findings.h"
#include "import/check_rules.h"

CheckResult checkTimetable(const SenecaExport &seneca, const TimetableContent &content)
{
    const CheckNames names(seneca);
    const std::vector<CheckedRecord> records = checkedRecords(seneca, content);
    const CheckContext context{seneca, content, names, records};
    CheckFindings findings(names);
    if (checkForm(context, findings)) {
        checkCodes(context, findings);
        checkTimes(context, findings);
        checkDates(context, findings);
        checkAuthorisations(context, findings);
        checkOverlaps(context, findings);
        checkLoad(context, findings);
    }
    return findings.result();
}

namespace check_texts {

QString severityName(CheckSeverity severity)
{
    switch (severity) {
    case CheckSeverity::Error:
        return QStringLiteral("ERROR");
    case CheckSeverity::Warning:
        return QStringLiteral("AVISO");
    case CheckSeverity::Information:
        break;
    }
    return QStringLiteral("INFORMACIÓN");
}

QString findingLine(const CheckFinding &finding)
{
    QString line = severityName(finding.severity) + QStringLiteral(": ") + finding.text;
    if (!finding.codes.isEmpty())
        line += QStringLiteral(" (") + finding.codes + QLatin1Char(')');
    line += QStringLiteral(". ") + QString::fromUtf8(checkKindInfo(finding.kind).advice);
    if (!finding.records.isEmpty()) {
        constexpr int shown = 5;
        QStringList where = finding.records.mid(0, shown);
        if (finding.records.size() > shown)
            where << QStringLiteral("y %1 más").arg(finding.records.size() - shown);
        line += QStringLiteral(" [") + where.join(QStringLiteral(", ")) + QLatin1Char(']');
    } else if (finding.line > 0) {
        line += QStringLiteral(" [línea %1]").arg(finding.line);
    }
    return line;
}

QString countsSentence(const CheckResult &result)
{
    return QStringLiteral("Comprobación del documento: %1, %2, %3.")
        .arg(countOf(result.errors, QStringLiteral("error"), QStringLiteral("errores")),
            countOf(result.warnings, QStringLiteral("aviso"), QStringLiteral("avisos")),
            countOf(result.information, QStringLiteral("nota informativa"), QStringLiteral("notas informativas")));
}

QString dayName(int day)
{
    static const char *const names[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};
    if (day >= 1 && day <= 7)
        return QString::fromUtf8(names[day - 1]);
    return QString::number(day);
}

} // namespace check_texts
