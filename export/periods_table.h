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

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView cursoAnno("CURSOANNO"); // the academic year
constexpr QLatin1StringView fInicio("F_INICIO"); // the year's first day, as the document writes it
constexpr QLatin1StringView fFin("F_FIN"); // the year's last day, as the document writes it

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(cursoAnno, 4),
        dbf::charField(fInicio, 10),
        dbf::charField(fFin, 10),
    };
    return fields;
}
} // namespace periods_table
