#pragma once
// CUR_NIV_C.DBF: links between course offers and levels.

#include "common/dbf_table.h"

namespace course_levels_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("CUR_NIV_C.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField("X_OFERTAMATRIG"),
        dbf::intField("X_NIVCONPAGLEG"),
    };
    return fields;
}
} // namespace course_levels_table
