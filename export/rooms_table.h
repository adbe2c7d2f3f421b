#pragma once
// AULAT.DBF: the rooms; the Séneca identifier is also the timetabler's room code.

#include "common/dbf_table.h"

namespace rooms_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("AULAT.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("ABREV", 10),
        dbf::charField("NOMBRE", 80),
        dbf::charField("EDIFICIO", 1),
        dbf::intField("MAXALUM"),
        dbf::charField("DEPCENTRO", 10),
    };
    return fields;
}
} // namespace rooms_table
