#pragma once
// ORIGENES_C.DBF: origin categories of teaching hours; its presence with records tells the import that the catalogues
// are there.

#include "common/dbf_table.h"

namespace origins_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ORIGENES_C.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField("X_CATORIHOR"),
        dbf::charField("C_ORIHOR", 20),
        dbf::charField("D_ORIHOR", 50),
    };
    return fields;
}
} // namespace origins_table
