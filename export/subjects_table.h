#pragma once
// ASIGNOMT.DBF: one record per distinct subject (step 3), then one per activity as a task (step 4).

#include "common/dbf_table.h"

namespace subjects_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ASIGNOMT.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("COD", 10),
        dbf::charField("CODLARGO", 10),
        dbf::charField("NOMBRE", 80),
        dbf::charField("CODTAREA", 10),
        dbf::logicalField("ESTAREA"),
        dbf::charField("R_UNI_MAT", 4),
    };
    return fields;
}
} // namespace subjects_table
