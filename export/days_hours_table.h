#pragma once
// DIASHORAST.DBF: the teaching periods, one record per day and slot of the chosen frames.

#include "common/dbf_table.h"

namespace days_hours_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("DIASHORAST.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("DIHO", 10),
        dbf::charField("CODDIHO", 10),
        dbf::charField("DIA", 20),
        dbf::charField("TEXTODIA", 20),
        dbf::charField("HORA", 8),
        dbf::charField("TEXTOHOR", 15),
        dbf::charField("HORADESDE", 8),
        dbf::charField("HORAHASTA", 8),
        dbf::charField("MINUTOS", 8),
        dbf::charField("MARCO", 1),
        dbf::charField("MARCOXML", 10),
    };
    return fields;
}
} // namespace days_hours_table
