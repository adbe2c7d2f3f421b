#pragma once
// ASIGNOMT2.DBF: every (Séneca subject identifier, course key) pair with the code its subject received.

#include "common/dbf_table.h"

namespace subject_offers_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("ASIGNOMT2.DBF");
    return name;
}

// The field names, in the layout's order. Steps and lookups spell a field through these.
constexpr QLatin1StringView cod("COD"); // the code of the subject in ASIGNOMT.DBF
constexpr QLatin1StringView codLargo("CODLARGO"); // the subject's long code
constexpr QLatin1StringView nombre("NOMBRE"); // the subject name
constexpr QLatin1StringView materia("MATERIA"); // the Séneca subject identifier
constexpr QLatin1StringView ofertaMatri("OFERTAMATRI"); // the course key (CURSOST.CLAVE)
constexpr QLatin1StringView codTarea("CODTAREA"); // never written
constexpr QLatin1StringView esTarea("ESTAREA"); // false

inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField(cod, 10),
        dbf::charField(codLargo, 10),
        dbf::charField(nombre, 80),
        dbf::charField(materia, 20),
        dbf::charField(ofertaMatri, 20),
        dbf::charField(codTarea, 10),
        dbf::logicalField(esTarea),
    };
    return fields;
}
} // namespace subject_offers_table
