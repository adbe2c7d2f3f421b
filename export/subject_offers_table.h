#pragma once
// ASIGNOMT2.DBF: every (Séneca subject identifier, course key) pair with the code its subject received.

#include "common/dbf_table.h"

namespace subject_offers_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ASIGNOMT2.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("COD", 10),
        dbf::charField("CODLARGO", 10),
        dbf::charField("NOMBRE", 80),
        dbf::charField("MATERIA", 20),
        dbf::charField("OFERTAMATRI", 20),
        dbf::charField("CODTAREA", 10),
        dbf::logicalField("ESTAREA"),
    };
    return fields;
}
} // namespace subject_offers_table
