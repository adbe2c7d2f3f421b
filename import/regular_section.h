#pragma once
// The regular timetable (HORARIOS_REGULARES): one record group per placed lesson
// of a subject or of an activity without "#", translating the timetabler's codes
// back into Séneca keys. An activity's requirement flags (ASIGNOMT.R_UNI_MAT) drop
// a lesson that lacks the unit or the subject the activity needs.

#include "import/import_tables.h"
#include "import/lesson_lookups.h"
#include "import/period_lookup.h"
#include "import/solution_lessons.h"
#include "import/timetable_document.h"

#include <QString>

#include <optional>
#include <vector>

// What one regular lesson writes, dato by dato; timetable_datos.h gives their order.
struct RegularRecord {
    QString weekday; // N_DIASEMANA
    QString slotCode; // X_TRAMO
    QString room; // X_DEPENDENCIA
    QString unitKey; // X_UNIDAD
    QString courseKey; // X_OFERTAMATRIG
    QString subjectKey; // X_MATERIAOMG
    QString startDate; // F_INICIO
    QString endDate; // F_FIN
    QString startMinutes; // N_HORINI
    QString endMinutes; // N_HORFIN
    QString activity; // X_ACTIVIDAD
    std::optional<QString> authorisation; // X_ORIHORACTETP, only under its conditions

    // The value written under a dato of the document's table; nullptr when the
    // record leaves that dato out.
    const QString *valueOf(TimetableField field) const;
};

class RegularSection {
public:
    // startDate and endDate come from PERIODOS.DBF and are the same for every lesson.
    RegularSection(const ImportTables &tables, const LessonLookups &lookups, const PeriodLookup &periods,
        QString startDate, QString endDate);

    // The record group of one regular lesson; nothing when its flags drop it.
    std::optional<RegularRecord> translate(const Lesson &lesson) const;

    struct Translated {
        std::vector<RegularRecord> records; // in lesson order, one per record group
        int dropped = 0;
    };
    // The record groups of a teacher's regular lessons, in place of what the
    // translated held (its room is kept for the next teacher). They are known
    // before the teacher group is written, so its registros is their number.
    void recordsOf(const LessonList &lessons, Translated &translated) const;

    // Writes ACTIVIDAD_1, ACTIVIDAD_2, ... into the open teacher group; a dropped
    // lesson leaves no gap in the numbers.
    static void write(TimetableDocument &document, const std::vector<RegularRecord> &records);

private:
    const ImportTables &m_tables;
    const LessonLookups &m_lookups;
    const PeriodLookup &m_periods;
    QString m_startDate;
    QString m_endDate;
};
