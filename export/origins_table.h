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

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView xCatorihor("X_CATORIHOR"); // the category's Séneca key
constexpr QLatin1StringView cOrihor("C_ORIHOR"); // the origin's code (ASIGT.CORIGEN, SOLUC.CCONCIERTO)
constexpr QLatin1StringView dOrihor("D_ORIHOR"); // its description

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::intField(xCatorihor),
        dbf::charField(cOrihor, 20),
        dbf::charField(dOrihor, 50),
    };
    return fields;
}
} // namespace origins_table
