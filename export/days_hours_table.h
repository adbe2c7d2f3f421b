#pragma once
// DIASHORAST.DBF: the teaching periods, one record per day and slot of the chosen frames.

#include "common/dbf_table.h"

namespace days_hours_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("DIASHORAST.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView diho("DIHO"); // day and period number joined ("11", "110")
constexpr QLatin1StringView codDiho("CODDIHO"); // the Séneca slot code
constexpr QLatin1StringView dia("DIA"); // the day, "1" to "7"
constexpr QLatin1StringView textoDia("TEXTODIA"); // left blank
constexpr QLatin1StringView hora("HORA"); // the period number within its frame and day
constexpr QLatin1StringView textoHor("TEXTOHOR"); // the slot's label
constexpr QLatin1StringView horaDesde("HORADESDE"); // start time, HH:MM
constexpr QLatin1StringView horaHasta("HORAHASTA"); // end time, HH:MM
constexpr QLatin1StringView minutos("MINUTOS"); // length in minutes
constexpr QLatin1StringView marco("MARCO"); // the timetabler's frame number, "0" or "1"
constexpr QLatin1StringView marcoXml("MARCOXML"); // the slot's Séneca frame code

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(diho, 10),
        dbf::charField(codDiho, 10),
        dbf::charField(dia, 20),
        dbf::charField(textoDia, 20),
        dbf::charField(hora, 8),
        dbf::charField(textoHor, 15),
        dbf::charField(horaDesde, 8),
        dbf::charField(horaHasta, 8),
        dbf::charField(minutos, 8),
        dbf::charField(marco, 1),
        dbf::charField(marcoXml, 10),
    };
    return fields;
}
} // namespace days_hours_table
