#include "import/timetable_content_builder.h"

#include "import/timetable_names.h"

void TimetableContentBuilder::startGroup(const QString &seq, const QString &registros, int line)
{
    if (m_levels.empty()) {
        TimetableSection &section = m_content.sections.emplace_back();
        section.seq = seq;
        section.registros = registros;
        section.line = line;
        m_levels.push_back(Level::Section);
        return;
    }
    switch (m_levels.back()) {
    case Level::Section: {
        TimetableSection &section = m_content.sections.back();
        ++section.teacherCount;
        TimetableTeacher &teacher = m_content.teachers.emplace_back();
        teacher.regular = section.seq != QLatin1String(timetable_names::nonRegularSection);
        teacher.seq = seq;
        teacher.registros = registros;
        teacher.line = line;
        teacher.firstRecord = int(m_content.records.size());
        m_levels.push_back(Level::Teacher);
        return;
    }
    case Level::Teacher: {
        ++m_content.teachers.back().recordCount;
        TimetableRecord &record = m_content.records.emplace_back();
        record.teacher = int(m_content.teachers.size()) - 1;
        record.seq = seq;
        record.line = line;
        record.datos.reserve(12);
        m_levels.push_back(Level::Record);
        return;
    }
    case Level::Record:
        ++m_content.records.back().nestedGroups;
        break;
    case Level::Nested:
        break;
    }
    m_levels.push_back(Level::Nested);
}

TimetableDatos *TimetableContentBuilder::datos() const
{
    if (m_levels.empty())
        return nullptr;
    switch (m_levels.back()) {
    case Level::Section:
        return &m_content.sections.back().own;
    case Level::Teacher:
        return &m_content.teachers.back();
    case Level::Record:
        return &m_content.records.back();
    case Level::Nested:
        break;
    }
    return nullptr;
}
