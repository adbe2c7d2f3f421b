#pragma once
// SOLUC.DBF: the timetabler's solution, one record per placed lesson. The import reads it whatever its level and field
// types (DIA and HORA may be numeric or character fields); this layout is the one our tools write.

#include "common/dbf_table.h"

namespace solution_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("SOLUC.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView prof("PROF"); // the teacher's code (PROFT.ABREV)
constexpr QLatin1StringView dia("DIA"); // the day number; 0 leaves the lesson out
constexpr QLatin1StringView hora("HORA"); // the period number within the day
constexpr QLatin1StringView marco("MARCO"); // the frame (DIASHORAST.MARCO)
constexpr QLatin1StringView asig("ASIG"); // the subject's code (ASIGNOMT.COD); "#" in front for a non-regular activity
constexpr QLatin1StringView tarea("TAREA"); // the task (ASIGNOMT.CODTAREA)
constexpr QLatin1StringView codGrupo("CODGRUPO"); // the group's code (GRUPOST.ABREV)
constexpr QLatin1StringView aula("AULA"); // the room's code (AULAT.ABREV)
constexpr QLatin1StringView cconcierto("CCONCIERTO"); // the origin's code (ORIGENES_C.C_ORIHOR)

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(prof, 10),
        dbf::intField(dia),
        dbf::intField(hora),
        dbf::charField(marco, 1),
        dbf::charField(asig, 10),
        dbf::charField(tarea, 10),
        dbf::charField(codGrupo, 10),
        dbf::charField(aula, 10),
        dbf::charField(cconcierto, 20),
    };
    return fields;
}
} // namespace solution_table
