#pragma once
// ASIGNOMT.DBF: one record per distinct subject (step 3), then one per activity as a task (step 4).

#include "common/dbf_table.h"

namespace subjects_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ASIGNOMT.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView cod(
    "COD"); // the subject's unique short code (an activity's code, "#" in front for a non-regular one)
constexpr QLatin1StringView codLargo("CODLARGO"); // the subject's long code
constexpr QLatin1StringView nombre("NOMBRE"); // the name
constexpr QLatin1StringView codTarea("CODTAREA"); // an activity's code; empty for a subject
constexpr QLatin1StringView esTarea("ESTAREA"); // true for an activity
constexpr QLatin1StringView rUniMat("R_UNI_MAT"); // an activity's two flags: needs a unit, needs a subject ("S" or "N")

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(cod, 10),
        dbf::charField(codLargo, 10),
        dbf::charField(nombre, 80),
        dbf::charField(codTarea, 10),
        dbf::logicalField(esTarea),
        dbf::charField(rUniMat, 4),
    };
    return fields;
}
} // namespace subjects_table
