// Reads the Séneca export for the check of a timetable document: each group's
// values by the positions the export steps read them at.
#include "import/seneca_export.h"

#include "common/clipper.h"
#include "common/exchange_values.h"
#include "common/xml_head.h"
#include "export/seneca_groups.h"
#include "export/time_frames.h"

#include <QFile>

namespace {

const std::vector<ExchangeValuesRecord> &recordsOf(
    const ExchangeValues &values, const QString &seq, std::vector<ExchangeValuesRecord> &joined)
{
    // Several groups of one name follow each other, as the export steps read them.
    static const std::vector<ExchangeValuesRecord> none;
    const ExchangeValuesGroup *only = nullptr;
    int found = 0;
    for (const ExchangeValuesGroup &group : values.groups()) {
        if (group.seq != seq)
            continue;
        ++found;
        only = &group;
        joined.insert(joined.end(), group.records.begin(), group.records.end());
    }
    if (found == 1)
        return only->records;
    return found == 0 ? none : joined;
}

// The fecha of the root element, from the file's first bytes: the streaming pass
// keeps no attribute of SERVICIO.
QString exportDateOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return xml::attributeInHead(file.read(4096), "SERVICIO", "fecha");
}

QString personName(const ExchangeValuesRecord &teacher)
{
    QStringList parts;
    using namespace seneca_groups;
    for (int position : {teacherNamePart3, teacherNamePart1, teacherNamePart2}) {
        const QString part = teacher.value(position);
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

SenecaExport SenecaExport::read(const QString &path)
{
    using namespace seneca_groups;
    const ExchangeValues values = ExchangeValues::read(path);
    SenecaExport out;
    out.path = path;
    out.exportDate = exportDateOf(path);

    // The academic year and its dates: the own values of the first two groups, as
    // PERIODOS.DBF takes them, with the first time frame's dates as a fallback.
    for (size_t i = 0; i < 2 && i < values.groups().size(); ++i) {
        const ExchangeValuesRecord &own = values.groups()[i].own;
        if (own.count() <= 1)
            continue;
        if (out.year.isEmpty())
            out.year = own.value(yearCode).left(4);
        out.yearStart = own.value(seneca_groups::yearStart);
        out.yearEnd = own.value(seneca_groups::yearEnd);
    }
    std::vector<ExchangeValuesRecord> joined;
    if (out.yearStart.isEmpty() || out.yearEnd.isEmpty()) {
        const auto &frames = recordsOf(values, time_frames::framesGroup(), joined);
        if (!frames.empty() && frames.front().count() > 1) {
            out.yearStart = frames.front().value(time_frames::frameFirstDate);
            out.yearEnd = frames.front().value(time_frames::frameSecondDate);
        }
    }

    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, teachersGroup(), joined)) {
        const QString employee = record.value(teacherEmployee);
        if (employee.isEmpty() || out.teacherIndex.contains(employee))
            continue;
        out.teacherIndex.insert(employee, int(out.teachers.size()));
        out.teachers.push_back({employee, record.value(teacherTakingPost), personName(record)});
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, time_frames::slotsGroup(), joined)) {
        SenecaSlot slot;
        slot.code = record.value(time_frames::slotCode);
        if (slot.code.isEmpty() || out.slotIndex.contains(slot.code))
            continue;
        slot.label = record.value(time_frames::slotLabel);
        slot.frame = record.value(time_frames::slotFrameCode);
        slot.timesValid = time_frames::slotMinutes(record.value(time_frames::slotStart), slot.start)
            && time_frames::slotMinutes(record.value(time_frames::slotEnd), slot.end);
        out.slotIndex.insert(slot.code, int(out.slots.size()));
        out.slots.push_back(slot);
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, roomsGroup(), joined))
        out.rooms.insert(record.value(roomIdentifier), record.value(roomName));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, unitsGroup(), joined))
        out.units.insert(record.value(unitKey), {record.value(unitName), record.value(unitCourseKey)});
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, coursesGroup(), joined))
        out.courses.insert(record.value(courseKey), record.value(courseName));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, subjectsGroup(), joined))
        out.subjects.insert(
            subjectKey(record.value(subjectIdentifier), record.value(subjectCourseKey)), record.value(subjectName));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, activitiesGroup(), joined)) {
        SenecaActivity activity;
        activity.regular = record.value(activityMarker) != QLatin1String("N");
        activity.name = record.value(activityName);
        activity.needsUnit = record.value(activityNeedsUnit) == QLatin1String("S");
        activity.needsSubject = record.value(activityNeedsSubject) == QLatin1String("S");
        out.activities.insert(record.value(activityCode), activity);
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, originsGroup(), joined)) {
        out.hasCatalogues = true;
        out.categories.insert(record.value(originCategory), record.value(originCode));
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, levelsGroup(), joined))
        out.levels.insert(record.value(levelKey),
            record.value(levelName).isEmpty() ? record.value(levelCode) : record.value(levelName));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, courseLevelsGroup(), joined))
        out.courseLevel.insert(record.value(courseLevelCourseKey), record.value(courseLevelLevelKey));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, authorisationsGroup(), joined))
        out.authorisations.insert(record.value(authorisationCode),
            {record.value(authorisationActivity), record.value(authorisationCategory),
                record.value(authorisationLevel)});
    return out;
}
