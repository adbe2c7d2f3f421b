#include "import/check_records.h"

#include "common/clipper.h"
#include "export/time_frames.h"
#include "import/timetable_check.h"

namespace {

bool wholeNumber(const QString &text, int &value)
{
    return !text.isEmpty() && clipper::parseWholeNumber(text, value);
}

} // namespace

QString CheckedRecord::when() const
{
    QString text
        = dayRead ? check_texts::dayName(day) : QStringLiteral("día «%1»").arg(code(TimetableField::N_DIASEMANA));
    if (startRead && endRead && start < end)
        return text + QLatin1Char(' ') + time_frames::timeText(start) + QChar(0x2013) + time_frames::timeText(end);
    if (slot && slot->timesValid) {
        return text + QLatin1Char(' ') + time_frames::timeText(slot->start) + QChar(0x2013)
            + time_frames::timeText(slot->end);
    }
    return text;
}

std::vector<CheckedRecord> checkedRecords(const SenecaExport &seneca, const TimetableContent &content)
{
    std::vector<CheckedRecord> out(content.records.size());
    for (size_t i = 0; i < content.records.size(); ++i) {
        const TimetableRecord &record = content.records[i];
        CheckedRecord &checked = out[i];
        checked.record = &record;
        checked.teacher = &content.teachers[size_t(record.teacher)];
        checked.index = int(i);
        checked.regular = checked.teacher->regular;
        if (!checked.regular) {
            checked.minutesRead = wholeNumber(record.value(TimetableField::N_MINSEN), checked.minutes);
            continue;
        }
        checked.dayRead = wholeNumber(record.value(TimetableField::N_DIASEMANA), checked.day) && checked.day >= 1
            && checked.day <= 7;
        checked.startRead = wholeNumber(record.value(TimetableField::N_HORINI), checked.start);
        checked.endRead = wholeNumber(record.value(TimetableField::N_HORFIN), checked.end);
        checked.slot = seneca.slot(record.value(TimetableField::X_TRAMO));
    }
    return out;
}
