// The code rules: every code a record carries is one the Séneca export holds, the
// subject is taught in the record's course, and each activity sits in its section
// with the unit and subject its flags ask for.
#include "import/check_rules.h"

namespace {

using F = TimetableField;
using K = CheckKind;

void regularCodes(const CheckContext &context, CheckFindings &findings, const CheckedRecord &record)
{
    const SenecaExport &seneca = context.seneca;
    const CheckNames &names = context.names;
    const QString &slot = record.code(F::X_TRAMO);
    if (!record.slot) {
        findings.lesson(K::UnknownSlot, record, QStringLiteral("lecciones en un tramo horario que Séneca no tiene"),
            codesText({{"tramo", slot.isEmpty() ? QStringLiteral("vacío") : slot}}));
    }
    const QString &room = record.code(F::X_DEPENDENCIA);
    if (!room.isEmpty() && !seneca.rooms.contains(room)) {
        findings.lesson(K::UnknownRoom, record, QStringLiteral("lecciones en una dependencia que Séneca no tiene"),
            codesText({{"dependencia", room}}));
    }
    const QString &unit = record.code(F::X_UNIDAD);
    const SenecaUnit *knownUnit = seneca.units.find(unit);
    if (!unit.isEmpty() && !knownUnit) {
        findings.lesson(K::UnknownUnit, record, QStringLiteral("lecciones de una unidad que Séneca no tiene"),
            codesText({{"unidad", unit}}));
    }
    const QString &course = record.code(F::X_OFERTAMATRIG);
    if (!course.isEmpty() && !seneca.courses.contains(course)) {
        findings.lesson(K::UnknownCourse, record, QStringLiteral("lecciones de un curso que Séneca no tiene"),
            codesText({{"curso", course}}));
    }
    const QString &subject = record.code(F::X_MATERIAOMG);
    if (!subject.isEmpty() && !seneca.subjects.contains(SenecaExport::subjectKey(subject, course))) {
        findings.lesson(K::SubjectNotInCourse, record,
            course.isEmpty()
                ? QStringLiteral("lecciones de una materia sin curso")
                : QStringLiteral("lecciones de una materia que Séneca no tiene en %1").arg(names.course(course)),
            codesText({{"materia", subject}, {"curso", course}}));
    }
    if (knownUnit && !course.isEmpty() && knownUnit->course != course) {
        findings.lesson(K::UnitOfOtherCourse, record,
            QStringLiteral("%1 es de %2 y sus lecciones de %3 son de %4")
                .arg(knownUnit->name.isEmpty() ? names.unit(unit) : knownUnit->name, names.course(knownUnit->course),
                    names.taught(*record.record), names.course(course)),
            codesText({{"unidad", unit}, {"curso", course}}));
    }
    const QString &code = record.code(F::X_ACTIVIDAD);
    const SenecaActivity *activity = seneca.activities.find(code);
    if (!activity) {
        findings.lesson(K::UnknownActivity, record, QStringLiteral("lecciones de una actividad que Séneca no tiene"),
            codesText({{"actividad", code.isEmpty() ? QStringLiteral("vacía") : code}}));
        return;
    }
    const QString name = names.activity(code);
    if (!activity->regular) {
        findings.lesson(K::WrongSection, record,
            QStringLiteral("%1 es una actividad no regular y está en el horario regular").arg(name),
            codesText({{"actividad", code}}));
    }
    if (activity->needsUnit && unit.isEmpty()) {
        findings.lesson(K::ActivityWithoutUnit, record, QStringLiteral("%1 sin la unidad que exige").arg(name),
            codesText({{"actividad", code}}));
    }
    if (activity->needsSubject && (subject.isEmpty() || course.isEmpty())) {
        findings.lesson(K::ActivityWithoutSubject, record,
            QStringLiteral("%1 sin la materia y el curso que exige").arg(name), codesText({{"actividad", code}}));
    }
}

void nonRegularCodes(const CheckContext &context, CheckFindings &findings, const CheckedRecord &record)
{
    const QString &code = record.code(F::X_ACTIVIDAD);
    const SenecaActivity *activity = context.seneca.activities.find(code);
    if (!activity) {
        findings.lesson(K::UnknownActivity, record, QStringLiteral("actividades no regulares que Séneca no tiene"),
            codesText({{"actividad", code.isEmpty() ? QStringLiteral("vacía") : code}}));
    } else if (activity->regular) {
        findings.lesson(K::WrongSection, record,
            QStringLiteral("%1 es una actividad regular y está en el horario no regular")
                .arg(context.names.activity(code)),
            codesText({{"actividad", code}}));
    }
}

} // namespace

void checkCodes(const CheckContext &context, CheckFindings &findings)
{
    for (const CheckedRecord &record : context.records) {
        if (record.regular)
            regularCodes(context, findings, record);
        else
            nonRegularCodes(context, findings, record);
    }
}
