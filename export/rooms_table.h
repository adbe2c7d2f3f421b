#pragma once
// AULAT.DBF: the rooms; the Séneca identifier is also the timetabler's room code.

#include "common/dbf_table.h"

namespace rooms_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("AULAT.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView abrev("ABREV"); // the room's code: its Séneca identifier
constexpr QLatin1StringView nombre("NOMBRE"); // the room's name
constexpr QLatin1StringView edificio("EDIFICIO"); // not written
constexpr QLatin1StringView maxAlum("MAXALUM"); // not written
constexpr QLatin1StringView depCentro("DEPCENTRO"); // the Séneca identifier again

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(abrev, 10),
        dbf::charField(nombre, 80),
        dbf::charField(edificio, 1),
        dbf::intField(maxAlum),
        dbf::charField(depCentro, 10),
    };
    return fields;
}
} // namespace rooms_table
