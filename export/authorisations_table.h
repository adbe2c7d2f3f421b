#pragma once
// AUTORIZA_C.DBF: combinations of activity, origin category and level, each with its code.

#include "common/dbf_table.h"

namespace authorisations_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("AUTORIZA_C.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField("X_ORIHORACTETP"),
        dbf::intField("X_ACTIVIDAD"),
        dbf::intField("X_CATORIHOR"),
        dbf::intField("X_NIVCONPAGLEG"),
    };
    return fields;
}
} // namespace authorisations_table
