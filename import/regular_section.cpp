#include "import/regular_section.h"

#include <algorithm>

namespace {

// AllTrim leaves nothing: the value is empty or spaces alone.
bool isBlank(const QString &value)
{
    return std::all_of(value.begin(), value.end(), [](QChar c) { return c == QLatin1Char(' '); });
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
            task = m_lookups.taskOfSubject.at(row);
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
        record.unitKey = m_lookups.groupKey.at(row);
        if (isBlank(record.courseKey))
            record.courseKey = m_lookups.groupCourseKey.at(row);
    }

    // Without an assignment, the course offer gives the subject.
    if (isBlank(record.subjectKey)) {
        if (const int row = m_lookups.offerBySubject.first(lesson.subject, record.courseKey); row >= 0)
            record.subjectKey = m_lookups.offerSubjectKey.at(row);
    }

    // The flags of the activity as SOLUC names it, not of the task found above.
    if (const int row = m_lookups.subjectByTask.first(lesson.task); row >= 0) {
        const QString flags = m_lookups.requirement.at(row);
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
        category = m_lookups.originCategory->at(row);
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

void RegularSection::recordsOf(const LessonList &lessons, Translated &translated) const
{
    translated.records.clear();
    translated.dropped = 0;
    for (const Lesson &lesson : lessons) {
        if (!lesson.isRegular())
            continue;
        if (std::optional<RegularRecord> record = translate(lesson))
            translated.records.push_back(std::move(*record));
        else
            ++translated.dropped;
    }
}

void RegularSection::write(TimetableDocument &document, const std::vector<RegularRecord> &records)
{
    int number = 0;
    for (const RegularRecord &record : records) {
        document.startGroup(TimetableDocument::numbered("ACTIVIDAD_", ++number));
        document.dato("N_DIASEMANA", record.weekday);
        document.dato("X_TRAMO", record.slotCode);
        document.dato("X_DEPENDENCIA", record.room);
        document.dato("X_UNIDAD", record.unitKey);
        document.dato("X_OFERTAMATRIG", record.courseKey);
        document.dato("X_MATERIAOMG", record.subjectKey);
        document.dato("F_INICIO", record.startDate);
        document.dato("F_FIN", record.endDate);
        document.dato("N_HORINI", record.startMinutes);
        document.dato("N_HORFIN", record.endMinutes);
        document.dato("X_ACTIVIDAD", record.activity);
        if (record.authorisation)
            document.dato("X_ORIHORACTETP", *record.authorisation);
        document.endGroup();
    }
}
