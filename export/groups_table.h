#pragma once
// GRUPOST.DBF: the class groups, coded from level, course and a running letter (ESO1A).

#include "common/dbf_table.h"

namespace groups_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("GRUPOST.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("ABREV", 10),
        dbf::charField("TURNO", 1),
        dbf::charField("NIVEL", 5),
        dbf::charField("CURSO", 3),
        dbf::charField("GRUPO", 2),
        dbf::charField("CLAVE", 10),
        dbf::charField("CLAVECURSO", 10),
        dbf::charField("DESCRIP", 80),
        dbf::charField("MARCO", 1),
    };
    return fields;
}
} // namespace groups_table
