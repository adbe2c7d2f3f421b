#pragma once
// The non-regular timetable (HORARIOS_NO_REGULARES): one record group per lesson of
// an activity the export marked with "#", holding the Séneca activity code and the
// length of the lesson's period in minutes. Nothing is dropped, merged or summed.

#include "import/period_lookup.h"
#include "import/solution_lessons.h"
#include "import/timetable_document.h"

class NonRegularSection {
public:
    explicit NonRegularSection(const PeriodLookup &periods);

    // The teacher group's registros: the number of non-regular lessons, which is
    // always the number of record groups write gives.
    int count(const LessonList &lessons) const;
    // Writes ACTIVIDAD_1, ACTIVIDAD_2, ... with X_ACTIVIDAD and N_MINSEN into the
    // open teacher group; returns how many.
    int write(TimetableDocument &document, const LessonList &lessons) const;

private:
    const PeriodLookup &m_periods;
};
