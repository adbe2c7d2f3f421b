#pragma once
// CUR_NIV_C.DBF: links between course offers and levels.

#include "common/dbf_table.h"

namespace course_levels_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("CUR_NIV_C.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView xOfertamatrig("X_OFERTAMATRIG"); // a course key
constexpr QLatin1StringView xNivconpagleg("X_NIVCONPAGLEG"); // a level key

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField(xOfertamatrig),
        dbf::intField(xNivconpagleg),
    };
    return fields;
}
} // namespace course_levels_table
