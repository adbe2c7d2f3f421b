#include "import/timetable_datos.h"

#include <QString>

namespace timetable_datos {

bool inOrder(const TimetableDatos &datos, TimetableGroup group)
{
    const std::span<const TimetableDatoSpec> specs = of(group);
    if (datos.datos.size() > specs.size())
        return false;
    for (size_t i = 0; i < specs.size(); ++i) {
        if (i >= datos.datos.size())
            return !specs[i].required;
        if (datos.datos[i].field != specs[i].field)
            return false;
    }
    return true;
}

} // namespace timetable_datos

TimetableField timetableFieldOf(const QString &name)
{
    for (const TimetableDatoSpec &spec : timetable_datos::all) {
        if (name == QLatin1String(spec.name))
            return spec.field;
    }
    return TimetableField::Count;
}
