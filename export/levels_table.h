#pragma once
// NIVELES_C.DBF: the levels catalogue.

#include "common/dbf_table.h"

namespace levels_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("NIVELES_C.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField("X_NIVCONPAGLEG"),
        dbf::charField("C_NIVCON", 30),
        dbf::charField("D_NIVCON", 55),
    };
    return fields;
}
} // namespace levels_table
