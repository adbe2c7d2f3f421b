#pragma once
// CURSOST.DBF: the school's courses, with the level and course the person gives each one. CURSOST2.DBF, the memory of
// earlier codings, has the same layout.

#include "common/dbf_table.h"

namespace courses_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("CURSOST.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    static const dbf::Layout fields = {
        dbf::charField("ABREV", 3),
        dbf::charField("TURNO", 1),
        dbf::charField("NIVEL", 5),
        dbf::charField("CURSO", 3),
        dbf::charField("CLAVE", 10),
        dbf::charField("ESTUD", 80),
    };
    return fields;
}
} // namespace courses_table

namespace course_memory_table {
inline const QString &fileName()
{
    static const QString name = QStringLiteral("CURSOST2.DBF");
    return name;
}
inline const dbf::Layout &layout()
{
    return courses_table::layout();
}
} // namespace course_memory_table
