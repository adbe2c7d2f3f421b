#include "import/check_findings.h"

#include <algorithm>

namespace {

constexpr int kItemsShown = 8; // days and times listed on a line; the rest are counted

QString recordReference(const CheckedRecord &record)
{
    return record.teacher->seq + QLatin1Char('/') + record.record->seq;
}

// The teacher's employee code first, then the codes of the fault.
QString withEmployee(const QString &employee, const QString &codes)
{
    const QString own = codesText({{"empleado", employee}});
    return own.isEmpty() || codes.isEmpty() ? own + codes : own + QStringLiteral(", ") + codes;
}

} // namespace

QString codesText(std::initializer_list<std::pair<const char *, QString>> codes)
{
    QStringList parts;
    for (const auto &[word, code] : codes) {
        if (!code.isEmpty())
            parts << QString::fromUtf8(word) + QLatin1Char(' ') + code;
    }
    return parts.join(QStringLiteral(", "));
}

CheckFindings::Line &CheckFindings::lineFor(
    CheckKind kind, const QString &owner, const QString &what, const QString &codes)
{
    const QString key = QString::number(int(kind)) + QLatin1Char('\x1f') + owner + QLatin1Char('\x1f') + what
        + QLatin1Char('\x1f') + codes;
    const auto found = m_index.constFind(key);
    if (found != m_index.constEnd())
        return m_lines[size_t(*found)];
    m_index.insert(key, int(m_lines.size()));
    m_lines.push_back({kind, owner, what, codes, {}, 0, {}, {}});
    return m_lines.back();
}

void CheckFindings::document(CheckKind kind, const QString &what, const QString &codes, int line)
{
    Line &added = lineFor(kind, QString(), what, codes);
    added.line = line;
}

void CheckFindings::teacher(CheckKind kind, const TimetableTeacher &teacher, const QString &what, const QString &codes)
{
    const QString employee = teacher.employee();
    Line &line = lineFor(kind, m_names.teacher(employee), what, withEmployee(employee, codes));
    line.employee = employee;
    if (line.line == 0)
        line.line = teacher.line;
    if (!line.records.contains(teacher.seq))
        line.records << teacher.seq;
}

void CheckFindings::occurrence(Line &line, const CheckedRecord &record, const QString &detail)
{
    if (line.line == 0)
        line.line = record.record->line;
    line.records << recordReference(record);
    QString item = record.regular ? record.when() : QString();
    if (!detail.isEmpty())
        item = item.isEmpty() ? detail : item + QStringLiteral(": ") + detail;
    if (!item.isEmpty() && !line.items.contains(item))
        line.items << item;
}

void CheckFindings::lesson(
    CheckKind kind, const CheckedRecord &record, const QString &what, const QString &codes, const QString &detail)
{
    const QString &employee = record.employee();
    Line &line = lineFor(kind, m_names.teacher(employee), what, withEmployee(employee, codes));
    line.employee = employee;
    occurrence(line, record, detail);
}

void CheckFindings::room(
    CheckKind kind, const QString &room, const CheckedRecord &record, const QString &what, const QString &detail)
{
    Line &line = lineFor(kind, m_names.room(room), what, codesText({{"dependencia", room}}));
    occurrence(line, record, detail);
}

CheckResult CheckFindings::result()
{
    std::stable_sort(m_lines.begin(), m_lines.end(), [](const Line &a, const Line &b) {
        const auto rank = [](const Line &l) { return std::pair(int(checkKindInfo(l.kind).severity), int(l.kind)); };
        return rank(a) < rank(b);
    });
    CheckResult out;
    out.findings.reserve(m_lines.size());
    for (Line &line : m_lines) {
        const CheckKindInfo &info = checkKindInfo(line.kind);
        CheckFinding finding;
        finding.severity = info.severity;
        finding.kind = line.kind;
        QString text = line.owner.isEmpty() ? line.what : line.owner + QStringLiteral(": ") + line.what;
        if (line.items.size() == 1) {
            text += QStringLiteral(" (") + line.items.front() + QLatin1Char(')');
        } else if (line.items.size() > 1) {
            QStringList shown = line.items.mid(0, kItemsShown);
            if (line.items.size() > kItemsShown)
                shown << QStringLiteral("y %1 más").arg(line.items.size() - kItemsShown);
            text += QStringLiteral(": %1 %2 (%3)")
                        .arg(line.items.size())
                        .arg(QString::fromUtf8(info.countWord), shown.join(QStringLiteral("; ")));
        }
        finding.text = text;
        finding.codes = line.codes;
        finding.employee = line.employee;
        finding.records = std::move(line.records);
        finding.line = line.line;
        switch (info.severity) {
        case CheckSeverity::Error:
            ++out.errors;
            break;
        case CheckSeverity::Warning:
            ++out.warnings;
            break;
        case CheckSeverity::Information:
            ++out.information;
            break;
        }
        out.findings.push_back(std::move(finding));
    }
    return out;
}
