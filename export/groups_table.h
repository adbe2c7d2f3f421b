#pragma once
// GRUPOST.DBF: the class groups, coded from level, course and a running letter (ESO1A).

#include "common/dbf_table.h"

namespace groups_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("GRUPOST.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView abrev("ABREV"); // the group's unique code (ESO1A)
constexpr QLatin1StringView turno("TURNO"); // left blank
constexpr QLatin1StringView nivel("NIVEL"); // the course's level, "NIV" when it has none
constexpr QLatin1StringView curso("CURSO"); // the course's course code
constexpr QLatin1StringView grupo("GRUPO"); // the group letter
constexpr QLatin1StringView clave("CLAVE"); // the unit's Séneca key
constexpr QLatin1StringView claveCurso("CLAVECURSO"); // the unit's course key
constexpr QLatin1StringView descrip("DESCRIP"); // the course's description
constexpr QLatin1StringView marco("MARCO"); // "0"

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(abrev, 10),
        dbf::charField(turno, 1),
        dbf::charField(nivel, 5),
        dbf::charField(curso, 3),
        dbf::charField(grupo, 2),
        dbf::charField(clave, 10),
        dbf::charField(claveCurso, 10),
        dbf::charField(descrip, 80),
        dbf::charField(marco, 1),
    };
    return fields;
}
} // namespace groups_table
