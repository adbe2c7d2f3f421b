#pragma once
// ASIGT.DBF: which subject is taught to which group, by whom and for how many hours a week.

#include "common/dbf_table.h"

namespace assignments_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ASIGT.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView casig("CASIG"); // the subject's code (ASIGNOMT.COD), or an activity's
constexpr QLatin1StringView cprof("CPROF"); // the teacher's code (PROFT.ABREV); step 11
constexpr QLatin1StringView cgrup("CGRUP"); // the group's code (GRUPOST.ABREV)
constexpr QLatin1StringView caula("CAULA"); // left blank
constexpr QLatin1StringView turno("TURNO"); // the group's shift
constexpr QLatin1StringView nivel("NIVEL"); // the group's level
constexpr QLatin1StringView curso("CURSO"); // the group's course code
constexpr QLatin1StringView grupo("GRUPO"); // the group's letter
constexpr QLatin1StringView horas("HORAS"); // weekly hours
constexpr QLatin1StringView sesiones("SESIONES"); // the weekly lessons, one digit each giving its hours
constexpr QLatin1StringView nconex("NCONEX"); // not written
constexpr QLatin1StringView clave("CLAVE"); // the Séneca subject identifier
constexpr QLatin1StringView claveCurso("CLAVECURSO"); // the course key
constexpr QLatin1StringView claveGrupo("CLAVEGRUPO"); // the group's Séneca key (GRUPOST.CLAVE)
constexpr QLatin1StringView ctarea("CTAREA"); // the task: "1", or an activity's code
constexpr QLatin1StringView corigen("CORIGEN"); // the origin of the hours (step 11)
constexpr QLatin1StringView xNivconpagleg("X_NIVCONPAGLEG"); // the level for the authorisation (step 11)

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(casig, 10),
        dbf::charField(cprof, 10),
        dbf::charField(cgrup, 10),
        dbf::charField(caula, 10),
        dbf::charField(turno, 1),
        dbf::charField(nivel, 5),
        dbf::charField(curso, 3),
        dbf::charField(grupo, 2),
        dbf::doubleField(horas),
        dbf::charField(sesiones, 20),
        dbf::charField(nconex, 4),
        dbf::charField(clave, 10),
        dbf::charField(claveCurso, 10),
        dbf::charField(claveGrupo, 10),
        dbf::charField(ctarea, 10),
        dbf::charField(corigen, 20),
        dbf::intField(xNivconpagleg),
    };
    return fields;
}
} // namespace assignments_table
