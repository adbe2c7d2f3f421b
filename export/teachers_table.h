#pragma once
// PROFT.DBF: the teachers, with a unique code built from their initials.

#include "common/dbf_table.h"

namespace teachers_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("PROFT.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView abrev("ABREV"); // the teacher's unique code
constexpr QLatin1StringView nombre("NOMBRE"); // the three name parts
constexpr QLatin1StringView depart("DEPART"); // the post
constexpr QLatin1StringView dni("DNI"); // not written
constexpr QLatin1StringView xEmpleado("X_EMPLEADO"); // the Séneca employee identifier
constexpr QLatin1StringView fTomapos("F_TOMAPOS"); // the day the teacher took post
constexpr QLatin1StringView email("EMAIL"); // from the planning document (step 11)

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(abrev, 10),
        dbf::charField(nombre, 80),
        dbf::charField(depart, 40),
        dbf::intField(dni),
        dbf::charField(xEmpleado, 10),
        dbf::charField(fTomapos, 10),
        dbf::charField(email, 100),
    };
    return fields;
}
} // namespace teachers_table
