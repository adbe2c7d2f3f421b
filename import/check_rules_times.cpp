// The time rules: a weekday that exists, start and end those of the record's
// slot, and minutes for every non-regular activity.
#include "export/time_frames.h"
#include "import/check_rules.h"

namespace {

using F = TimetableField;
using K = CheckKind;

QString span(int start, int end)
{
    return time_frames::timeText(start) + QChar(0x2013) + time_frames::timeText(end);
}

void regularTimes(CheckFindings &findings, const CheckedRecord &record)
{
    if (!record.dayRead)
        findings.lesson(K::BadWeekday, record, QStringLiteral("lecciones en un día de la semana que no existe"));
    else if (record.day >= 6)
        findings.lesson(K::Weekend, record, QStringLiteral("lecciones en fin de semana"));
    if (!record.startRead || !record.endRead) {
        findings.lesson(K::BadTimes, record, QStringLiteral("lecciones con una hora que no se puede leer"), {},
            QStringLiteral("empieza %1, termina %2")
                .arg(check_rules::quoted(record.code(F::N_HORINI)), check_rules::quoted(record.code(F::N_HORFIN))));
    } else if (record.start >= record.end) {
        findings.lesson(K::BadTimes, record, QStringLiteral("lecciones que no terminan después de empezar"), {},
            QStringLiteral("de %1 a %2").arg(time_frames::timeText(record.start), time_frames::timeText(record.end)));
    }
    const SenecaSlot *slot = record.slot;
    if (!slot || !slot->timesValid)
        return;
    if ((record.startRead && record.start != slot->start) || (record.endRead && record.end != slot->end)) {
        findings.lesson(K::TimesNotSlot, record, QStringLiteral("lecciones a una hora que no es la de su tramo"),
            codesText({{"tramo", slot->code}}),
            QStringLiteral("el tramo %1 es de %2").arg(slot->label, span(slot->start, slot->end)));
    }
}

void nonRegularMinutes(const CheckContext &context, CheckFindings &findings, const CheckedRecord &record)
{
    if (record.minutesRead && record.minutes > 0)
        return;
    const QString &code = record.code(F::X_ACTIVIDAD);
    findings.lesson(K::NoMinutes, record,
        QStringLiteral("%1 sin minutos a la semana").arg(context.names.activity(code)),
        codesText({{"actividad", code}}),
        QStringLiteral("minutos %1").arg(check_rules::quoted(record.code(F::N_MINSEN))));
}

} // namespace

void checkTimes(const CheckContext &context, CheckFindings &findings)
{
    for (const CheckedRecord &record : context.records) {
        if (record.regular)
            regularTimes(findings, record);
        else
            nonRegularMinutes(context, findings, record);
    }
}
