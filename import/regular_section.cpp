#include "import/regular_section.h"

#include "import/timetable_datos.h"
#include "import/timetable_names.h"

#include <algorithm>

namespace {

// AllTrim leaves nothing: the value is empty or spaces alone.
bool isEmptyOrSpaces(const QString &value)
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
        record.subjectKey = assignments.text(row, assignmentIndex.clave);
        record.courseKey = assignments.text(row, assignmentIndex.claveCurso);
        levelCode = assignments.text(row, assignmentIndex.xNivconpagleg);
    }

    // A lesson without a task takes the task of its subject.
    if (isEmptyOrSpaces(task)) {
        if (const int row = m_lookups.subjectByCod.first(lesson.subject); row >= 0)
            task = m_lookups.subjectCodTarea.at(row);
    }

    const int period = m_periods.firstPeriod(lesson.day, lesson.period, lesson.frame);
    if (period >= 0) {
        record.weekday = m_periods.weekday(period);
        record.slotCode = m_periods.slotCode(period);
    }

    if (!isEmptyOrSpaces(lesson.room))
        record.room = lesson.room;

    // The class group gives the unit, and the course when the assignment had none.
    if (const int row = m_lookups.groupByAbrev.first(lesson.group); row >= 0) {
        record.unitKey = m_lookups.groupClave.at(row);
        if (isEmptyOrSpaces(record.courseKey))
            record.courseKey = m_lookups.groupClaveCurso.at(row);
    }

    // Without an assignment, the course offer gives the subject.
    if (isEmptyOrSpaces(record.subjectKey)) {
        if (const int row = m_lookups.offerByCodAndOfertaMatri.first(lesson.subject, record.courseKey); row >= 0)
            record.subjectKey = m_lookups.offerMateria.at(row);
    }

    // The flags of the activity as SOLUC names it, not of the task found above.
    if (const int row = m_lookups.subjectByCodTarea.first(lesson.task); row >= 0) {
        const QString flags = m_lookups.subjectRUniMat.at(row);
        const QChar needsUnit = letterAt(flags, 0);
        const QChar needsSubject = letterAt(flags, 1);
        if (needsUnit == QLatin1Char('S') && isEmptyOrSpaces(record.unitKey))
            return std::nullopt;
        if (needsSubject == QLatin1Char('S') && isEmptyOrSpaces(record.subjectKey))
            return std::nullopt;
        if (needsSubject == QLatin1Char('N') && !isEmptyOrSpaces(record.subjectKey))
            record.subjectKey.clear();
    }

    record.startDate = m_startDate;
    record.endDate = m_endDate;
    record.startMinutes = m_periods.startMinutesText(period);
    record.endMinutes = m_periods.endMinutesText(period);
    record.activity = isEmptyOrSpaces(task) ? QStringLiteral("1") : task;

    if (!m_tables.catalogues() || isEmptyOrSpaces(lesson.origin))
        return record;
    QString category;
    if (const int row = m_lookups.originByCOrihor->first(lesson.origin); row >= 0)
        category = m_lookups.originXCatorihor->at(row);
    if (isEmptyOrSpaces(category) || isEmptyOrSpaces(levelCode))
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

const QString *RegularRecord::valueOf(TimetableField field) const
{
    using F = TimetableField;
    switch (field) {
    case F::N_DIASEMANA:
        return &weekday;
    case F::X_TRAMO:
        return &slotCode;
    case F::X_DEPENDENCIA:
        return &room;
    case F::X_UNIDAD:
        return &unitKey;
    case F::X_OFERTAMATRIG:
        return &courseKey;
    case F::X_MATERIAOMG:
        return &subjectKey;
    case F::F_INICIO:
        return &startDate;
    case F::F_FIN:
        return &endDate;
    case F::N_HORINI:
        return &startMinutes;
    case F::N_HORFIN:
        return &endMinutes;
    case F::X_ACTIVIDAD:
        return &activity;
    case F::X_ORIHORACTETP:
        return authorisation ? &*authorisation : nullptr;
    default:
        return nullptr;
    }
}

void RegularSection::write(TimetableDocument &document, const std::vector<RegularRecord> &records)
{
    int number = 0;
    for (const RegularRecord &record : records) {
        document.startGroup(TimetableDocument::numbered(timetable_names::recordPrefix, ++number));
        for (const TimetableDatoSpec &spec : timetable_datos::of(TimetableGroup::Regular)) {
            if (const QString *value = record.valueOf(spec.field))
                document.dato(spec.name, *value);
        }
        document.endGroup();
    }
}
