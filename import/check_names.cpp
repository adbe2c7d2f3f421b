#include "import/check_names.h"

namespace {

QString orWord(const QString *name, const char *word, const QString &code)
{
    if (name && !name->isEmpty())
        return *name;
    return code.isEmpty() ? QStringLiteral("sin %1").arg(QLatin1String(word))
                          : QStringLiteral("%1 %2").arg(QString::fromUtf8(word), code);
}

} // namespace

QString CheckNames::teacher(const QString &employee) const
{
    const SenecaTeacher *known = m_seneca.teacher(employee);
    if (known && !known->name.isEmpty())
        return known->name;
    return employee.isEmpty() ? QStringLiteral("Profesor sin código de empleado")
                              : QStringLiteral("Empleado %1").arg(employee);
}

QString CheckNames::unit(const QString &code) const
{
    const SenecaUnit *known = m_seneca.units.find(code);
    return orWord(known ? &known->name : nullptr, "unidad", code);
}

QString CheckNames::room(const QString &code) const
{
    return orWord(m_seneca.rooms.find(code), "dependencia", code);
}

QString CheckNames::course(const QString &code) const
{
    return orWord(m_seneca.courses.find(code), "curso", code);
}

QString CheckNames::subject(const QString &subject, const QString &course) const
{
    return orWord(m_seneca.subjects.find(SenecaExport::subjectKey(subject, course)), "materia", subject);
}

QString CheckNames::activity(const QString &code) const
{
    const SenecaActivity *known = m_seneca.activities.find(code);
    return orWord(known ? &known->name : nullptr, "actividad", code);
}

QString CheckNames::level(const QString &code) const
{
    return orWord(m_seneca.levels.find(code), "nivel", code);
}

QString CheckNames::taught(const TimetableRecord &record) const
{
    const QString &subjectCode = record.value(TimetableField::X_MATERIAOMG);
    if (!subjectCode.isEmpty())
        return subject(subjectCode, record.value(TimetableField::X_OFERTAMATRIG));
    return activity(record.value(TimetableField::X_ACTIVIDAD));
}
