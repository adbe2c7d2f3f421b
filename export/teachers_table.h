#pragma once
// PROFT.DBF: the teachers, with a unique code built from their initials.

#include "common/dbf_table.h"

namespace teachers_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("PROFT.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("ABREV", 10),
        dbf::charField("NOMBRE", 80),
        dbf::charField("DEPART", 40),
        dbf::intField("DNI"),
        dbf::charField("X_EMPLEADO", 10),
        dbf::charField("F_TOMAPOS", 10),
        dbf::charField("EMAIL", 100),
    };
    return fields;
}
} // namespace teachers_table
