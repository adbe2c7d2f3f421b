#pragma once
// The placed lessons of SOLUC.DBF, teacher by teacher, as both timetable sections
// read them. A teacher's lessons are read afresh for each section and let go of
// with the teacher: a large school has tens of thousands of them.

#include "common/dbf_table.h"
#include "import/import_tables.h"

#include <QString>

#include <optional>
#include <vector>

struct Lesson {
    int row = -1;
    int day = 0; // DIA as a whole number; 0 leaves the lesson out of both sections
    int period = 0; // HORA as a whole number; read only for a lesson with a day
    QString frame; // the first character of MARCO, or empty
    QString subject; // ASIG
    QString task; // TAREA
    QString group; // CODGRUPO
    QString room; // AULA
    QString origin; // CCONCIERTO (empty without the catalogues)

    // A subject code that starts with "#" is an activity of the non-regular timetable.
    bool isNonRegular() const { return day != 0 && subject.startsWith(QLatin1Char('#')); }
    bool isRegular() const { return day != 0 && !subject.startsWith(QLatin1Char('#')); }
};

using LessonList = std::vector<Lesson>;

class SolutionLessons {
public:
    SolutionLessons(dbf::Table &solution, const SolutionFields &fields);

    // The records the table engine's filter PROF= 'code' visits (a quote inside the
    // code doubled), in stored order. Throws UserError naming the record whose DIA
    // or HORA is not a whole number. The list is this object's own and holds until
    // the next call, which reuses its room: the import asks for thousands of them.
    const LessonList &ofTeacher(const QString &code);

    enum class Section { NonRegular, Regular };
    // The same records, but only the lessons of one section. DIA and HORA are read
    // for every record all the same, so a record that holds no whole number there
    // stops the run as soon as either section meets it; the fields that only the
    // section's lessons use are read for those alone.
    const LessonList &ofTeacher(const QString &code, Section section);

    // The lessons no teacher's filter has visited so far: after both sections,
    // those whose teacher is not among the teachers (not in PROFT, or without an
    // employee code there). Counted by PROF, in the order first met. A record
    // whose DIA is 0 is no lesson; one whose DIA is not a whole number is.
    struct Unclaimed {
        QString code;
        int count = 0;
    };
    std::vector<Unclaimed> unclaimed() const;

private:
    const LessonList &lessonsOf(const QString &code, std::optional<Section> only);
    // DIA, HORA (with a day) and ASIG: what tells a lesson's section.
    Lesson readPlace(int row) const;
    void readRest(Lesson &lesson) const;

    dbf::Table &m_table;
    SolutionFields m_fields;
    LessonList m_lessons;
    std::vector<bool> m_visited; // by row
};
