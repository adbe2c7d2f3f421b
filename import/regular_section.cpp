#include "import/regular_section.h"

#include "common/clipper.h"
#include "import/timetable_document.h"

namespace {

bool isBlank(const QString &value)
{
    return clipper::AllTrim(value).isEmpty();
}

QChar letterAt(const QString &flags, int index)
{
    return index < flags.size() ? flags.at(index) : QChar();
}

} // namespace

RegularSection::RegularSection(const ImportTables &tables, const LessonLookups &lookups, const PeriodLookup &periods,
    QString startDate, QString endDate)
    : m_tables(tables)
    , m_lookups(lookups)
    , m_periods(periods)
    , m_startDate(std::move(startDate))
    , m_endDate(std::move(endDate))
{
}

int RegularSection::provisionalCount(const LessonList &lessons) const
{
    int count = 0;
    for (const Lesson &lesson : lessons) {
        if (!lesson.isRegular())
            continue;
        const int task = m_lookups.subjectByTask.first(lesson.task);
        if (task < 0)
            continue;
        // The whole flag value decides, and only these values count at all.
        const QString flags = m_tables.subjects.text(task, m_lookups.requirementField);
        bool counted = false;
        if (flags == QLatin1String("SS"))
            counted = !lesson.subject.isEmpty() && !lesson.group.isEmpty();
        else if (flags == QLatin1String("SN"))
            counted = !lesson.group.isEmpty();
        else if (flags == QLatin1String("NS"))
            counted = !lesson.subject.isEmpty();
        else if (flags == QLatin1String("NN") || flags.isEmpty())
            counted = true;
        if (counted)
            ++count;
    }
    return count;
}

std::optional<RegularRecord> RegularSection::translate(const Lesson &lesson) const
{
    RegularRecord record;
    QString levelCode;
    QString task = lesson.task;

    // The teaching assignment gives the subject key, the course key and the level.
    const dbf::Table &assignments = m_tables.assignments;
    const AssignmentIndex &assignmentIndex = m_lookups.assignments;
    if (const int row = assignmentIndex.firstWithLevelElseLast(lesson.subject, lesson.group); row >= 0) {
        record.subjectKey = assignments.text(row, assignmentIndex.subjectKeyField);
        record.courseKey = assignments.text(row, assignmentIndex.courseKeyField);
        levelCode = assignments.text(row, assignmentIndex.levelField);
    }

    // A lesson without a task takes the task of its subject.
    if (isBlank(task)) {
        if (const int row = m_lookups.subjectByCode.first(lesson.subject); row >= 0)
            task = m_tables.subjects.text(row, m_lookups.taskOfSubjectField);
    }

    const int period = m_periods.firstPeriod(lesson.day, lesson.period, lesson.frame);
    if (period >= 0) {
        record.weekday = m_periods.weekday(period);
        record.slotCode = m_periods.slotCode(period);
    }

    if (!isBlank(lesson.room))
        record.room = lesson.room;

    // The class group gives the unit, and the course when the assignment had none.
    if (const int row = m_lookups.groupByCode.first(lesson.group); row >= 0) {
        record.unitKey = m_tables.groups.text(row, m_lookups.groupKeyField);
        if (isBlank(record.courseKey))
            record.courseKey = m_tables.groups.text(row, m_lookups.groupCourseKeyField);
    }

    // Without an assignment, the course offer gives the subject.
    if (isBlank(record.subjectKey)) {
        if (const int row = m_lookups.offerBySubject.first(lesson.subject, record.courseKey); row >= 0)
            record.subjectKey = m_tables.subjectOffers.text(row, m_lookups.offerSubjectKeyField);
    }

    // The flags of the activity as SOLUC names it, not of the task found above.
    if (const int row = m_lookups.subjectByTask.first(lesson.task); row >= 0) {
        const QString flags = m_tables.subjects.text(row, m_lookups.requirementField);
        const QChar needsUnit = letterAt(flags, 0);
        const QChar needsSubject = letterAt(flags, 1);
        if (needsUnit == QLatin1Char('S') && isBlank(record.unitKey))
            return std::nullopt;
        if (needsSubject == QLatin1Char('S') && isBlank(record.subjectKey))
            return std::nullopt;
        if (needsSubject == QLatin1Char('N') && !isBlank(record.subjectKey))
            record.subjectKey.clear();
    }

    record.startDate = m_startDate;
    record.endDate = m_endDate;
    record.startMinutes = m_periods.startMinutesText(period);
    record.endMinutes = m_periods.endMinutesText(period);
    record.activity = isBlank(task) ? QStringLiteral("1") : task;

    if (!m_tables.catalogues() || isBlank(lesson.origin))
        return record;
    QString category;
    if (const int row = m_lookups.originByCode->first(lesson.origin); row >= 0)
        category = m_tables.origins.text(row, m_lookups.originCategoryField);
    if (isBlank(category) || isBlank(levelCode))
        return record;
    // No authorisation for the combination still writes the dato, as one space. A
    // task code that is no whole number cannot name an activity of AUTORIZA_C (an
    // integer field), so it finds none either: the lesson is valid and is written,
    // where a conversion error would have stopped the whole import.
    record.authorisation
        = m_lookups.authorisations.codeFor(record.activity, category, levelCode).value_or(QStringLiteral(" "));
    return record;
}

RegularSection::Written RegularSection::appendRecords(xml::Node teacherGroup, const LessonList &lessons) const
{
    Written written;
    for (const Lesson &lesson : lessons) {
        if (!lesson.isRegular())
            continue;
        const std::optional<RegularRecord> record = translate(lesson);
        if (!record) {
            ++written.dropped;
            continue;
        }
        xml::Node group
            = timetable::appendGroup(teacherGroup, QLatin1String("ACTIVIDAD_") + QString::number(++written.records));
        timetable::appendDato(group, "N_DIASEMANA", record->weekday);
        timetable::appendDato(group, "X_TRAMO", record->slotCode);
        timetable::appendDato(group, "X_DEPENDENCIA", record->room);
        timetable::appendDato(group, "X_UNIDAD", record->unitKey);
        timetable::appendDato(group, "X_OFERTAMATRIG", record->courseKey);
        timetable::appendDato(group, "X_MATERIAOMG", record->subjectKey);
        timetable::appendDato(group, "F_INICIO", record->startDate);
        timetable::appendDato(group, "F_FIN", record->endDate);
        timetable::appendDato(group, "N_HORINI", record->startMinutes);
        timetable::appendDato(group, "N_HORFIN", record->endMinutes);
        timetable::appendDato(group, "X_ACTIVIDAD", record->activity);
        if (record->authorisation)
            timetable::appendDato(group, "X_ORIHORACTETP", *record->authorisation);
    }
    return written;
}
