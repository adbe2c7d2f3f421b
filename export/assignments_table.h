#pragma once
// ASIGT.DBF: which subject is taught to which group, by whom and for how many hours a week.

#include "common/dbf_table.h"

namespace assignments_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ASIGT.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("CASIG", 10),
        dbf::charField("CPROF", 10),
        dbf::charField("CGRUP", 10),
        dbf::charField("CAULA", 10),
        dbf::charField("TURNO", 1),
        dbf::charField("NIVEL", 5),
        dbf::charField("CURSO", 3),
        dbf::charField("GRUPO", 2),
        dbf::doubleField("HORAS"),
        dbf::charField("SESIONES", 20),
        dbf::charField("NCONEX", 4),
        dbf::charField("CLAVE", 10),
        dbf::charField("CLAVECURSO", 10),
        dbf::charField("CLAVEGRUPO", 10),
        dbf::charField("CTAREA", 10),
        dbf::charField("CORIGEN", 20),
        dbf::intField("X_NIVCONPAGLEG"),
    };
    return fields;
}
} // namespace assignments_table
