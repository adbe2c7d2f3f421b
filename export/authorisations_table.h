#pragma once
// AUTORIZA_C.DBF: combinations of activity, origin category and level, each with its code.

#include "common/dbf_table.h"

namespace authorisations_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("AUTORIZA_C.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView xOrihoractetp("X_ORIHORACTETP"); // the authorisation's code
constexpr QLatin1StringView xActividad("X_ACTIVIDAD"); // the activity
constexpr QLatin1StringView xCatorihor("X_CATORIHOR"); // the origin category (ORIGENES_C.X_CATORIHOR)
constexpr QLatin1StringView xNivconpagleg("X_NIVCONPAGLEG"); // the level

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField(xOrihoractetp),
        dbf::intField(xActividad),
        dbf::intField(xCatorihor),
        dbf::intField(xNivconpagleg),
    };
    return fields;
}
} // namespace authorisations_table
