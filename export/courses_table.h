#pragma once
// CURSOST.DBF: the school's courses, with the level and course the person gives each one. CURSOST2.DBF, the memory of
// earlier codings, has the same layout and so the same field names.

#include "common/dbf_table.h"

namespace courses_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("CURSOST.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView abrev("ABREV"); // left blank
constexpr QLatin1StringView turno("TURNO"); // left blank
constexpr QLatin1StringView nivel("NIVEL"); // the level the person gives the course
constexpr QLatin1StringView curso("CURSO"); // the course within the level
constexpr QLatin1StringView clave("CLAVE"); // the course's Séneca key
constexpr QLatin1StringView estud("ESTUD"); // the course's description

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(abrev, 3),
        dbf::charField(turno, 1),
        dbf::charField(nivel, 5),
        dbf::charField(curso, 3),
        dbf::charField(clave, 10),
        dbf::charField(estud, 80),
    };
    return fields;
}
} // namespace courses_table

namespace course_memory_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("CURSOST2.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    return courses_table::layout();
}
} // namespace course_memory_table
