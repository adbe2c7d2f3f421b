#pragma once
// PERIODOS.DBF: the academic year and its dates, one record (two when both first
// groups of the Séneca document give a year). The import reads the dates back.

#include "common/dbf_table.h"

namespace periods_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("PERIODOS.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("CURSOANNO", 4),
        dbf::charField("F_INICIO", 10),
        dbf::charField("F_FIN", 10),
    };
    return fields;
}
} // namespace periods_table
