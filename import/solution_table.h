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
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("PROF", 10),
        dbf::intField("DIA"),
        dbf::intField("HORA"),
        dbf::charField("MARCO", 1),
        dbf::charField("ASIG", 10),
        dbf::charField("TAREA", 10),
        dbf::charField("CODGRUPO", 10),
        dbf::charField("AULA", 10),
        dbf::charField("CCONCIERTO", 20),
    };
    return fields;
}
} // namespace solution_table
