#include "import/solution_lessons.h"

#include "import/solution_table.h"

#include "common/user_error.h"

#include <QHash>

#include <algorithm>

SolutionLessons::SolutionLessons(dbf::Table &solution, const SolutionFields &fields)
    : m_table(solution)
    , m_fields(fields)
    , m_visited(std::size_t(std::max(solution.size(), 0)), false)
{
}

const LessonList &SolutionLessons::ofTeacher(const QString &code)
{
    return lessonsOf(code, std::nullopt);
}

const LessonList &SolutionLessons::ofTeacher(const QString &code, Section section)
{
    return lessonsOf(code, section);
}

const LessonList &SolutionLessons::lessonsOf(const QString &code, std::optional<Section> only)
{
    QString quoted = code;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    m_table.setFilter(QString(solution_table::prof) + QLatin1String("= '") + quoted + QLatin1Char('\''));
    const std::vector<int> rows = m_table.filteredRows();
    m_lessons.clear();
    for (int row : rows) {
        m_visited[std::size_t(row)] = true;
        Lesson lesson = readPlace(row);
        if (only && !(*only == Section::Regular ? lesson.isRegular() : lesson.isNonRegular()))
            continue;
        readRest(lesson);
        m_lessons.push_back(std::move(lesson));
    }
    return m_lessons;
}

Lesson SolutionLessons::readPlace(int row) const
{
    Lesson lesson;
    lesson.row = row;
    lesson.day = m_table.integer(row, m_fields.dia);
    // Only a lesson with a day looks for its period, so only then is HORA read.
    if (lesson.day != 0)
        lesson.period = m_table.integer(row, m_fields.hora);
    lesson.subject = m_table.text(row, m_fields.asig);
    return lesson;
}

void SolutionLessons::readRest(Lesson &lesson) const
{
    const int row = lesson.row;
    lesson.frame = m_table.text(row, m_fields.marco).left(1);
    lesson.task = m_table.text(row, m_fields.tarea);
    lesson.group = m_table.text(row, m_fields.codGrupo);
    lesson.room = m_table.text(row, m_fields.aula);
    if (m_fields.cconcierto >= 0)
        lesson.origin = m_table.text(row, m_fields.cconcierto);
}

std::vector<SolutionLessons::Unclaimed> SolutionLessons::unclaimed() const
{
    std::vector<Unclaimed> found;
    QHash<QString, std::size_t> byCode;
    for (int row : m_table.liveRows()) {
        if (m_visited[std::size_t(row)])
            continue;
        bool lesson = true;
        try {
            lesson = m_table.integer(row, m_fields.dia) != 0;
        } catch (const UserError &) {
            // A day that cannot be read is a lesson lost all the same.
        }
        if (!lesson)
            continue;
        const QString code = m_table.text(row, m_fields.prof);
        const auto known = byCode.constFind(code);
        if (known == byCode.constEnd()) {
            byCode.insert(code, found.size());
            found.push_back({code, 1});
        } else {
            ++found[known.value()].count;
        }
    }
    return found;
}
