#pragma once
// The planning document as step 11 and the up-front check read it: the teacher
// records are the top-level groups, in document order; the assignments of the n-th
// teacher (counting from 1) are the records of the group "PROFESOR_" n, whatever
// the n-th group's own seq. Assignment values are used as they stand (untrimmed).

#include <QString>

namespace planning_document {

inline QString teacherGroupPrefix()
{
    return QStringLiteral("PROFESOR_");
}
inline QString teacherGroup(int n)
{
    return teacherGroupPrefix() + QString::number(n);
}

// Positions in a teacher record (trimmed).
constexpr int teacherId = 0; // X_EMPLEADO
constexpr int teacherEmail = 3; // T_CORREO

// Positions in an assignment record (untrimmed).
constexpr int subjectKey = 1; // X_MATERIAOMG
constexpr int courseKey = 2; // X_OFERTAMATRIG
constexpr int groupKey = 4; // X_UNIDAD
constexpr int levelKey = 5; // X_NIVCONPAGLEG
constexpr int lessonPattern = 7; // T_SESIONES
constexpr int hoursOrigin = 10; // C_ORIHOR
constexpr int taskCode = 12; // X_ACTIVIDAD

// The weekly hours of a lesson pattern, one decimal digit per weekly lesson giving
// its length in hours: the sum of the digits, written in decimal; "0" for the empty
// pattern. Throws UserError with "«%s» no es un número entero" for the first
// character that is not a decimal digit.
QString digitSum(const QString &pattern);
// The first character of the pattern that is not a decimal digit, or -1.
int firstNonDigit(const QString &pattern);

} // namespace planning_document
