#pragma once
// The groups of the Séneca document and where each value stands in their records,
// as the export steps and the up-front checks read them. Values are read by
// position, never by name; the nombre_dato that Séneca writes at each position is
// given beside it. The time frames and time slots are in time_frames.h.

#include "export/time_frames.h"

#include <QString>
#include <QStringList>

namespace seneca_groups {

// The first two top-level groups, whatever their seq (ANNO_ACADEMICO in Séneca's
// files): their own values give the academic year.
constexpr int yearCode = 0; // C_ANNO
constexpr int yearStart = 1; // F_INICIO
constexpr int yearEnd = 2; // F_FIN

// A course taught at the school.
inline QString coursesGroup()
{
    return QStringLiteral("CURSOS_DEL_CENTRO");
}
constexpr int courseKey = 0; // X_OFERTAMATRIG
constexpr int courseName = 1; // D_OFERTAMATRIG

// A subject offered in a course. Positions 1 and 2 hold the name and the subject
// identifier in either order (subject_entry.h tells them apart).
inline QString subjectsGroup()
{
    return QStringLiteral("MATERIAS");
}
constexpr int subjectCourseKey = 0; // X_OFERTAMATRIG
constexpr int subjectName = 1; // D_MATERIAC
constexpr int subjectIdentifier = 2; // X_MATERIAOMG
// The nombre_dato of each, by which they are told apart.
inline QString subjectNameDato()
{
    return QStringLiteral("D_MATERIAC");
}
inline QString subjectIdentifierDato()
{
    return QStringLiteral("X_MATERIAOMG");
}

// An activity, carried over as a task.
inline QString activitiesGroup()
{
    return QStringLiteral("ACTIVIDADES");
}
constexpr int activityMarker = 0; // L_REGULAR: "N" for a non-regular activity
constexpr int activityCode = 1; // X_ACTIVIDAD
constexpr int activityName = 2; // D_ACTIVIDAD
constexpr int activityNeedsUnit = 3; // L_REQUNIDAD: "S" or "N"
constexpr int activityNeedsSubject = 4; // L_REQMATERIA: "S" or "N"

// A teacher. The three name parts make the name and the teacher's code.
inline QString teachersGroup()
{
    return QStringLiteral("EMPLEADOS");
}
constexpr int teacherEmployee = 0; // X_EMPLEADO
constexpr int teacherTakingPost = 1; // F_TOMAPOS
constexpr int teacherPost = 2; // D_PUESTO
constexpr int teacherNamePart1 = 3; // T_APELLIDO1
constexpr int teacherNamePart2 = 4; // T_APELLIDO2
constexpr int teacherNamePart3 = 5; // T_NOMBRE

// A room.
inline QString roomsGroup()
{
    return QStringLiteral("DEPENDENCIAS");
}
constexpr int roomIdentifier = 0; // X_DEPENDENCIA
constexpr int roomName = 1; // D_DEPENDENCIA

// A class group (unit) of a course.
inline QString unitsGroup()
{
    return QStringLiteral("UNIDADES");
}
constexpr int unitKey = 0; // X_UNIDAD
constexpr int unitName = 1; // T_NOMBRE
constexpr int unitCourseKey = 2; // X_OFERTAMATRIG

// The reference catalogues. Position i of an entry goes to field i of its table
// (catalogues.h), so the positions are those of the fields.
inline QString originsGroup()
{
    return QStringLiteral("ORIGENES");
}
constexpr int originCategory = 0; // X_CATORIHOR
constexpr int originCode = 1; // C_ORIHOR
constexpr int originName = 2; // D_ORIHOR

inline QString levelsGroup()
{
    return QStringLiteral("NIVELES");
}
constexpr int levelKey = 0; // X_NIVCONPAGLEG
constexpr int levelCode = 1; // C_NIVCON
constexpr int levelName = 2; // D_NIVCON

inline QString courseLevelsGroup()
{
    return QStringLiteral("CURSOS_NIVELES");
}
constexpr int courseLevelCourseKey = 0; // X_OFERTAMATRIG
constexpr int courseLevelLevelKey = 1; // X_NIVCONPAGLEG

inline QString authorisationsGroup()
{
    return QStringLiteral("AUTORIZACIONES");
}
constexpr int authorisationCode = 0; // X_ORIHORACTETP
constexpr int authorisationActivity = 1; // X_ACTIVIDAD
constexpr int authorisationCategory = 2; // X_CATORIHOR
constexpr int authorisationLevel = 3; // X_NIVCONPAGLEG

// Every group the export reads, the time frames and slots among them, in the
// order a message lists them; the planning document holds none of them.
inline const QStringList &readGroups()
{
    static const QStringList groups = {coursesGroup(), subjectsGroup(), activitiesGroup(), teachersGroup(),
        roomsGroup(), unitsGroup(), time_frames::framesGroup(), time_frames::slotsGroup(), originsGroup(),
        levelsGroup(), courseLevelsGroup(), authorisationsGroup()};
    return groups;
}

} // namespace seneca_groups
