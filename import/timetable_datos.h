#pragma once
// The datos of the Séneca timetable document, declared once: which group holds
// each, in which position, under which name, and whether it may be left out. The
// reader's mapping of names to fields, the writer's order and the check's order
// rules all come from this table.

#include "import/timetable_content.h"
#include "import/timetable_names.h"

#include <span>

enum class TimetableGroup { Year, Teacher, Regular, NonRegular };

struct TimetableDatoSpec {
    TimetableField field;
    const char *name; // nombre_dato
    TimetableGroup group;
    bool required; // false: written only under its conditions (always the group's last)
};

namespace timetable_datos {

namespace names = timetable_names;
using F = TimetableField;
using G = TimetableGroup;

// Each group's datos in the order the group holds them.
inline constexpr TimetableDatoSpec all[] = {
    {F::C_ANNO, names::year, G::Year, true},
    {F::X_EMPLEADO, names::employee, G::Teacher, true},
    {F::F_TOMAPOS, names::takingPost, G::Teacher, true},
    {F::N_DIASEMANA, names::weekday, G::Regular, true},
    {F::X_TRAMO, names::slot, G::Regular, true},
    {F::X_DEPENDENCIA, names::room, G::Regular, true},
    {F::X_UNIDAD, names::unit, G::Regular, true},
    {F::X_OFERTAMATRIG, names::course, G::Regular, true},
    {F::X_MATERIAOMG, names::subject, G::Regular, true},
    {F::F_INICIO, names::startDate, G::Regular, true},
    {F::F_FIN, names::endDate, G::Regular, true},
    {F::N_HORINI, names::startMinutes, G::Regular, true},
    {F::N_HORFIN, names::endMinutes, G::Regular, true},
    {F::X_ACTIVIDAD, names::activity, G::Regular, true},
    {F::X_ORIHORACTETP, names::authorisation, G::Regular, false},
    {F::X_ACTIVIDAD, names::activity, G::NonRegular, true},
    {F::N_MINSEN, names::weeklyMinutes, G::NonRegular, true},
};

// The datos of one group, in their order.
constexpr std::span<const TimetableDatoSpec> of(TimetableGroup group)
{
    size_t begin = 0;
    while (begin < std::size(all) && all[begin].group != group)
        ++begin;
    size_t end = begin;
    while (end < std::size(all) && all[end].group == group)
        ++end;
    return std::span<const TimetableDatoSpec>(all).subspan(begin, end - begin);
}

// Whether a group's datos are those of the table, in its order; the datos that
// may be left out may be missing from the end.
bool inOrder(const TimetableDatos &datos, TimetableGroup group);

} // namespace timetable_datos
