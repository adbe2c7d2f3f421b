#pragma once
// NIVELES_C.DBF: the levels catalogue.

#include "common/dbf_table.h"

namespace levels_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("NIVELES_C.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView xNivconpagleg("X_NIVCONPAGLEG"); // the level's Séneca key
constexpr QLatin1StringView cNivcon("C_NIVCON"); // its code
constexpr QLatin1StringView dNivcon("D_NIVCON"); // its description

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField(xNivconpagleg),
        dbf::charField(cNivcon, 30),
        dbf::charField(dNivcon, 55),
    };
    return fields;
}
} // namespace levels_table
