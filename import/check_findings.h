#pragma once
// Where the rules of the timetable check put what they find: each finding tied to
// its teacher group and record of the document.

#include "import/timetable_check.h"

class CheckFindings {
public:
    explicit CheckFindings(const TimetableContent &content)
        : m_content(content)
    {
    }

    void add(CheckSeverity severity, const QString &text) { m_findings.push_back({severity, text, {}, {}, {}, 0}); }
    void addAt(CheckSeverity severity, const QString &text, int line)
    {
        m_findings.push_back({severity, text, {}, {}, {}, line});
    }
    void teacher(CheckSeverity severity, const TimetableTeacher &teacher, const QString &text)
    {
        m_findings.push_back({severity, text, teacher.employee(), teacher.seq, {}, teacher.line});
    }
    void record(CheckSeverity severity, const TimetableRecord &record, const QString &text)
    {
        const TimetableTeacher &teacher = m_content.teachers[size_t(record.teacher)];
        m_findings.push_back({severity, text, teacher.employee(), teacher.seq, record.seq, record.line});
    }
    // An employee of the export, outside any teacher group.
    void employee(CheckSeverity severity, const QString &employee, const QString &text)
    {
        m_findings.push_back({severity, text, employee, {}, {}, 0});
    }

    const TimetableContent &content() const { return m_content; }
    std::vector<CheckFinding> take() { return std::move(m_findings); }

private:
    const TimetableContent &m_content;
    std::vector<CheckFinding> m_findings;
};

// The simultaneity rules: a teacher in two places at once (an error), a room used
// by two teachers at once and a unit with two lessons at once (warnings).
void checkOverlaps(const SenecaExport &seneca, CheckFindings &findings);
