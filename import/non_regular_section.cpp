#include "import/non_regular_section.h"

#include "import/timetable_names.h"

#include <algorithm>

NonRegularSection::NonRegularSection(const PeriodLookup &periods)
    : m_periods(periods)
{
}

int NonRegularSection::count(const LessonList &lessons) const
{
    return int(
        std::count_if(lessons.begin(), lessons.end(), [](const Lesson &lesson) { return lesson.isNonRegular(); }));
}

int NonRegularSection::write(TimetableDocument &document, const LessonList &lessons) const
{
    int number = 0;
    for (const Lesson &lesson : lessons) {
        if (!lesson.isNonRegular())
            continue;
        document.startGroup(TimetableDocument::numbered(timetable_names::recordPrefix, ++number));
        // Only the one "#" the export put in front of the code comes off.
        const QString activity = lesson.task.startsWith(QLatin1Char('#')) ? lesson.task.mid(1) : lesson.task;
        const int period = m_periods.firstPeriod(lesson.day, lesson.period, lesson.frame);
        document.dato(timetable_names::activity, activity);
        document.dato(timetable_names::weeklyMinutes, m_periods.lengthText(period));
        document.endGroup();
    }
    return number;
}
