#pragma once
// The names in the Séneca timetable document (module HORARIOS) that the import
// writes and the check reads back: the seq of its groups and the nombre_dato of
// its datos, each group's datos in the order the group holds them. Séneca reads
// the datos by name but takes them in this fixed order.

namespace timetable_names {

// The root's modulo: what tells a timetable document from the files the export reads.
inline constexpr char module[] = "HORARIOS";

// The top-level groups, in document order.
inline constexpr char yearGroup[] = "ANNO_ACADEMICO";
inline constexpr char nonRegularSection[] = "HORARIOS_NO_REGULARES";
inline constexpr char regularSection[] = "HORARIOS_REGULARES";

// The teacher groups of each section and the record groups of a teacher, each
// numbered from 1 after its prefix (HORARIO_REGULAR_PROFESOR_3, ACTIVIDAD_12).
inline constexpr char nonRegularTeacherPrefix[] = "HORARIO_NO_REGULAR_PROFESOR_";
inline constexpr char regularTeacherPrefix[] = "HORARIO_REGULAR_PROFESOR_";
inline constexpr char recordPrefix[] = "ACTIVIDAD_";

// The year group's own dato.
inline constexpr char year[] = "C_ANNO";

// A teacher group's own datos.
inline constexpr char employee[] = "X_EMPLEADO";
inline constexpr char takingPost[] = "F_TOMAPOS";

// A regular record's datos; the authorisation is there only under its conditions.
inline constexpr char weekday[] = "N_DIASEMANA";
inline constexpr char slot[] = "X_TRAMO";
inline constexpr char room[] = "X_DEPENDENCIA";
inline constexpr char unit[] = "X_UNIDAD";
inline constexpr char course[] = "X_OFERTAMATRIG";
inline constexpr char subject[] = "X_MATERIAOMG";
inline constexpr char startDate[] = "F_INICIO";
inline constexpr char endDate[] = "F_FIN";
inline constexpr char startMinutes[] = "N_HORINI";
inline constexpr char endMinutes[] = "N_HORFIN";
inline constexpr char activity[] = "X_ACTIVIDAD";
inline constexpr char authorisation[] = "X_ORIHORACTETP";

// A non-regular record's datos: the activity (X_ACTIVIDAD, as above), then its
// weekly minutes.
inline constexpr char weeklyMinutes[] = "N_MINSEN";

} // namespace timetable_names
