// The rules of the timetable check, record by record and teacher by teacher. The
// rules about lessons at the same time are in timetable_overlaps.cpp.
#include "import/timetable_check.h"

#include "common/clipper.h"
#include "common/spanish_count.h"
#include "common/text_hash.h"
#include "export/time_frames.h"
#include "import/check_findings.h"
#include "import/timetable_names.h"

#include <QDate>
#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <map>
#include <unordered_map>

namespace {

using S = CheckSeverity;

constexpr int kWeeklyRegularLimit = 25 * 60; // minutes
constexpr int kNonRegularExpected = 300; // minutes a week
constexpr int kNonRegularTolerance = 60; // "far from" 300: more than an hour away

using F = TimetableField;
const F kRegularOrder[] = {F::N_DIASEMANA, F::X_TRAMO, F::X_DEPENDENCIA, F::X_UNIDAD, F::X_OFERTAMATRIG,
    F::X_MATERIAOMG, F::F_INICIO, F::F_FIN, F::N_HORINI, F::N_HORFIN, F::X_ACTIVIDAD, F::X_ORIHORACTETP};
const F kNonRegularOrder[] = {F::X_ACTIVIDAD, F::N_MINSEN};
const F kTeacherOrder[] = {F::X_EMPLEADO, F::F_TOMAPOS};

// A date written dd/mm/yyyy that exists; null otherwise.
QDate dateOf(const QString &text)
{
    // Nearly every date is plain dd/mm/yyyy in ASCII digits: read without the
    // expression, which costs more than the rest of a record's rules.
    const auto digit = [&](int at) { return text[at] >= u'0' && text[at] <= u'9' ? text[at].unicode() - u'0' : -1; };
    if (text.size() == 10 && text[2] == u'/' && text[5] == u'/') {
        int number[8];
        const int at[8] = {0, 1, 3, 4, 6, 7, 8, 9};
        bool plain = true;
        for (int i = 0; i < 8 && plain; ++i)
            plain = (number[i] = digit(at[i])) >= 0;
        if (plain) {
            return QDate(number[4] * 1000 + number[5] * 100 + number[6] * 10 + number[7], number[2] * 10 + number[3],
                number[0] * 10 + number[1]);
        }
    }
    static const QRegularExpression pattern(QStringLiteral("^(\\d{2})/(\\d{2})/(\\d{4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    return QDate(match.captured(3).toInt(), match.captured(2).toInt(), match.captured(1).toInt());
}

bool wholeNumber(const QString &text, int &value)
{
    return !text.isEmpty() && clipper::parseWholeNumber(text, value);
}

QString quoted(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("(vacío)") : QStringLiteral("«%1»").arg(text);
}

// The datos' names against the fixed order; the optional last names may be absent.
bool inFixedOrder(const TimetableDatos &datos, const F *order, int count, int required)
{
    const int n = int(datos.datos.size());
    if (n < required || n > count)
        return false;
    for (int i = 0; i < n; ++i) {
        if (datos.datos[size_t(i)].field != order[i])
            return false;
    }
    return true;
}

QString namesOf(const TimetableDatos &datos)
{
    QStringList names;
    for (const TimetableDato &dato : datos.datos)
        names << (dato.name.isEmpty() ? QStringLiteral("(sin nombre)") : dato.name);
    return names.join(QStringLiteral(", "));
}

class Rules {
public:
    Rules(const SenecaExport &seneca, CheckFindings &findings)
        : m_seneca(seneca)
        , m_findings(findings)
        , m_content(findings.content())
        , m_yearStart(dateOf(seneca.yearStart))
        , m_yearEnd(dateOf(seneca.yearEnd))
    {
    }

    void run()
    {
        if (!form())
            return;
        sections();
        TextHash<bool> withTimetable;
        for (const TimetableTeacher &teacher : m_content.teachers) {
            teacherGroup(teacher);
            if (teacher.recordCount > 0)
                withTimetable.insert(teacher.employee(), true);
        }
        twiceInSection();
        for (const TimetableRecord &record : m_content.records) {
            if (m_content.teachers[size_t(record.teacher)].regular)
                regularRecord(record);
            else
                nonRegularRecord(record);
        }
        duplicates();
        load();
        for (const SenecaTeacher &teacher : m_seneca.teachers) {
            if (!withTimetable.contains(teacher.employee)) {
                m_findings.employee(S::Information, teacher.employee,
                    QStringLiteral("El profesor %1 (%2) figura en la exportación de Séneca y no tiene horario en el "
                                   "documento")
                        .arg(teacher.employee, teacher.name));
            }
        }
    }

private:
    // What the reader saw of the file itself. False when nothing more can be read.
    bool form()
    {
        if (m_content.controlBytes > 0) {
            m_findings.addAt(S::Error,
                QStringLiteral(
                    "El documento se declara en ISO-8859-1 y contiene %1 bytes entre 0x80 y 0x9F, que en esa "
                    "codificación son caracteres de control y no letras (el primero en la línea %2); "
                    "probablemente se escribió en Windows-1252")
                    .arg(m_content.controlBytes)
                    .arg(m_content.firstControlByteLine),
                m_content.firstControlByteLine);
        }
        if (!m_content.parseError.isEmpty()) {
            m_findings.addAt(S::Error,
                QStringLiteral("El documento no es XML válido en la codificación que declara (%1)%2: %3")
                    .arg(m_content.declaredEncoding.isEmpty() ? QStringLiteral("UTF-8") : m_content.declaredEncoding,
                        m_content.parseErrorLine > 0 ? QStringLiteral(", línea %1").arg(m_content.parseErrorLine)
                                                     : QString(),
                        m_content.parseError),
                m_content.parseErrorLine);
            return false;
        }
        if (!m_content.hasRoot) {
            m_findings.add(
                S::Error, QStringLiteral("El documento no tiene el elemento BLOQUE_DATOS dentro de SERVICIO"));
            return false;
        }
        return true;
    }

    void sections()
    {
        bool year = false, nonRegular = false, regular = false;
        for (const TimetableSection &section : m_content.sections) {
            if (section.seq == QLatin1String(timetable_names::yearGroup)) {
                year = true;
                const QString &value = section.own.value(TimetableField::C_ANNO);
                if (value != m_seneca.year) {
                    m_findings.addAt(S::Error,
                        QStringLiteral("C_ANNO vale %1 y el curso de la exportación de Séneca es %2")
                            .arg(quoted(value), m_seneca.year),
                        section.line);
                }
                continue;
            }
            const bool isNonRegular = section.seq == QLatin1String(timetable_names::nonRegularSection);
            const bool isRegular = section.seq == QLatin1String(timetable_names::regularSection);
            if (!isNonRegular && !isRegular) {
                m_findings.addAt(S::Warning,
                    QStringLiteral("El grupo %1 no es ninguna de las secciones de un documento de horarios")
                        .arg(quoted(section.seq)),
                    section.line);
                continue;
            }
            (isRegular ? regular : nonRegular) = true;
            if (section.registros != QString::number(section.teacherCount)) {
                m_findings.addAt(S::Error,
                    QStringLiteral("La sección %1 declara registros=%2 y contiene %3 profesores")
                        .arg(section.seq, quoted(section.registros))
                        .arg(section.teacherCount),
                    section.line);
            }
        }
        const auto missing = [&](bool present, const char *seq) {
            if (!present)
                m_findings.add(S::Error, QStringLiteral("Falta la sección %1").arg(QLatin1String(seq)));
        };
        missing(year, timetable_names::yearGroup);
        missing(nonRegular, timetable_names::nonRegularSection);
        missing(regular, timetable_names::regularSection);
    }

    void teacherGroup(const TimetableTeacher &teacher)
    {
        if (!inFixedOrder(teacher, kTeacherOrder, 2, 2)) {
            m_findings.teacher(S::Error, teacher,
                QStringLiteral(
                    "Los datos del profesor deben ser X_EMPLEADO y F_TOMAPOS, en ese orden; el grupo tiene: %1")
                    .arg(namesOf(teacher)));
        }
        if (teacher.registros != QString::number(teacher.recordCount)) {
            m_findings.teacher(S::Error, teacher,
                QStringLiteral("El grupo declara registros=%1 y contiene %2 registros")
                    .arg(quoted(teacher.registros))
                    .arg(teacher.recordCount));
        }
        const QString employee = teacher.employee();
        const SenecaTeacher *known = m_seneca.teacher(employee);
        if (!known) {
            m_findings.teacher(S::Error, teacher,
                QStringLiteral("X_EMPLEADO %1 no es ningún empleado de la exportación de Séneca")
                    .arg(quoted(employee)));
            return;
        }
        const QString &takingPost = teacher.value(TimetableField::F_TOMAPOS);
        if (takingPost != known->takingPost) {
            m_findings.teacher(S::Warning, teacher,
                QStringLiteral("F_TOMAPOS vale %1 y en la exportación de Séneca %2")
                    .arg(quoted(takingPost), quoted(known->takingPost)));
        }
        if (!teacher.regular)
            return;
        // Lessons that start before the teacher takes post: one warning per teacher.
        const QDate post = dateOf(takingPost.isEmpty() ? known->takingPost : takingPost);
        if (!post.isValid())
            return;
        int early = 0;
        for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
            const QDate start = dateOf(m_content.records[size_t(i)].value(TimetableField::F_INICIO));
            if (start.isValid() && start < post)
                ++early;
        }
        if (early > 0) {
            m_findings.teacher(S::Warning, teacher,
                QStringLiteral("%1 de sus lecciones empiezan (F_INICIO) antes de su toma de posesión (%2)")
                    .arg(early)
                    .arg(post.toString(QStringLiteral("dd/MM/yyyy"))));
        }
    }

    void twiceInSection()
    {
        TextHash<const TimetableTeacher *> seen[2];
        for (const TimetableTeacher &teacher : m_content.teachers) {
            auto &section = seen[teacher.regular ? 1 : 0];
            const QString employee = teacher.employee();
            if (employee.isEmpty())
                continue;
            const TimetableTeacher *first = section.emplace(employee, &teacher);
            if (first != &teacher) {
                m_findings.teacher(S::Error, teacher,
                    QStringLiteral("El empleado %1 ya tiene otro grupo en la misma sección (%2)")
                        .arg(employee, first->seq));
            }
        }
    }

    void dates(const TimetableRecord &record)
    {
        const QString &startText = record.value(TimetableField::F_INICIO);
        const QString &endText = record.value(TimetableField::F_FIN);
        const QDate start = dateOf(startText);
        const QDate end = dateOf(endText);
        if (!start.isValid())
            m_findings.record(
                S::Error, record, QStringLiteral("F_INICIO %1 no es una fecha dd/mm/aaaa").arg(quoted(startText)));
        if (!end.isValid())
            m_findings.record(
                S::Error, record, QStringLiteral("F_FIN %1 no es una fecha dd/mm/aaaa").arg(quoted(endText)));
        if (start.isValid() && end.isValid() && start > end) {
            m_findings.record(
                S::Error, record, QStringLiteral("F_INICIO %1 es posterior a F_FIN %2").arg(startText, endText));
        }
        if (!m_yearStart.isValid() || !m_yearEnd.isValid())
            return;
        const auto outside
            = [&](const QDate &date) { return date.isValid() && (date < m_yearStart || date > m_yearEnd); };
        if (outside(start) || outside(end)) {
            m_findings.record(S::Error, record,
                QStringLiteral("Las fechas %1–%2 no están dentro del curso de la exportación de Séneca (%3–%4)")
                    .arg(startText, endText, m_seneca.yearStart, m_seneca.yearEnd));
        }
    }

    void regularRecord(const TimetableRecord &record)
    {
        if (!inFixedOrder(record, kRegularOrder, 12, 11) || record.nestedGroups > 0) {
            m_findings.record(S::Error, record,
                QStringLiteral("Los datos no están en el orden fijo de un registro regular (N_DIASEMANA … X_ACTIVIDAD"
                               "[, X_ORIHORACTETP]); el registro tiene: %1")
                    .arg(namesOf(record)));
        }
        // Codes.
        const QString &slotCode = record.value(TimetableField::X_TRAMO);
        const SenecaSlot *slot = m_seneca.slot(slotCode);
        if (!slot) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_TRAMO %1 no es ningún tramo horario de la exportación de Séneca")
                    .arg(quoted(slotCode)));
        }
        const QString &room = record.value(TimetableField::X_DEPENDENCIA);
        if (!room.isEmpty() && !m_seneca.rooms.contains(room)) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_DEPENDENCIA %1 no es ninguna dependencia de la exportación de Séneca")
                    .arg(quoted(room)));
        }
        const QString &unit = record.value(TimetableField::X_UNIDAD);
        const SenecaUnit *knownUnit = m_seneca.units.find(unit);
        if (!unit.isEmpty() && !knownUnit) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_UNIDAD %1 no es ninguna unidad de la exportación de Séneca").arg(quoted(unit)));
        }
        const QString &course = record.value(TimetableField::X_OFERTAMATRIG);
        const bool courseKnown = m_seneca.courses.contains(course);
        if (!course.isEmpty() && !courseKnown) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_OFERTAMATRIG %1 no es ningún curso de la exportación de Séneca").arg(quoted(course)));
        }
        const QString &subject = record.value(TimetableField::X_MATERIAOMG);
        if (!subject.isEmpty() && !m_seneca.subjects.contains(SenecaExport::subjectKey(subject, course))) {
            m_findings.record(S::Error, record,
                QStringLiteral("La materia X_MATERIAOMG %1 no se imparte en el curso X_OFERTAMATRIG %2 según la "
                               "exportación de Séneca")
                    .arg(quoted(subject), quoted(course)));
        }
        if (!unit.isEmpty() && knownUnit && !course.isEmpty() && knownUnit->course != course) {
            m_findings.record(S::Warning, record,
                QStringLiteral("La unidad %1 (%2) es del curso %3 y el registro indica el curso %4")
                    .arg(unit, knownUnit->name, quoted(knownUnit->course), course));
        }
        const QString &activityCode = record.value(TimetableField::X_ACTIVIDAD);
        const SenecaActivity *activity = m_seneca.activities.find(activityCode);
        if (!activity) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_ACTIVIDAD %1 no es ninguna actividad de la exportación de Séneca")
                    .arg(quoted(activityCode)));
        } else {
            if (!activity->regular) {
                m_findings.record(S::Error, record,
                    QStringLiteral("La actividad %1 (%2) es no regular y está en el horario regular")
                        .arg(activityCode, activity->name));
            }
            if (activity->needsUnit && unit.isEmpty()) {
                m_findings.record(S::Error, record,
                    QStringLiteral("La actividad %1 (%2) exige una unidad y el registro no la tiene")
                        .arg(activityCode, activity->name));
            }
            if (activity->needsSubject && (subject.isEmpty() || course.isEmpty())) {
                m_findings.record(S::Error, record,
                    QStringLiteral("La actividad %1 (%2) exige materia y curso y el registro no los tiene")
                        .arg(activityCode, activity->name));
            }
        }
        times(record, slot);
        dates(record);
        authorisation(record, activityCode, course);
    }

    void times(const TimetableRecord &record, const SenecaSlot *slot)
    {
        const QString &dayText = record.value(TimetableField::N_DIASEMANA);
        int day = 0;
        if (!wholeNumber(dayText, day) || day < 1 || day > 7) {
            m_findings.record(S::Error, record,
                QStringLiteral("N_DIASEMANA %1 no es un día de la semana (1 a 7)").arg(quoted(dayText)));
        } else if (day >= 6) {
            m_findings.record(S::Warning, record,
                QStringLiteral("La lección es en %1 (N_DIASEMANA %2)").arg(check_texts::dayName(day)).arg(day));
        }
        int start = 0, end = 0;
        const bool startRead = wholeNumber(record.value(TimetableField::N_HORINI), start);
        const bool endRead = wholeNumber(record.value(TimetableField::N_HORFIN), end);
        if (!startRead)
            m_findings.record(S::Error, record,
                QStringLiteral("N_HORINI %1 no es un número de minutos")
                    .arg(quoted(record.value(TimetableField::N_HORINI))));
        if (!endRead)
            m_findings.record(S::Error, record,
                QStringLiteral("N_HORFIN %1 no es un número de minutos")
                    .arg(quoted(record.value(TimetableField::N_HORFIN))));
        if (startRead && endRead && start >= end) {
            m_findings.record(S::Error, record,
                QStringLiteral("N_HORINI %1 (%2) no es anterior a N_HORFIN %3 (%4)")
                    .arg(start)
                    .arg(time_frames::timeText(start))
                    .arg(end)
                    .arg(time_frames::timeText(end)));
        }
        if (!slot || !slot->timesValid)
            return;
        if (startRead && start != slot->start) {
            m_findings.record(S::Error, record,
                QStringLiteral("N_HORINI %1 (%2) no es el inicio del tramo %3 (%4, %5)")
                    .arg(start)
                    .arg(time_frames::timeText(start), slot->code, slot->label, time_frames::timeText(slot->start)));
        }
        if (endRead && end != slot->end) {
            m_findings.record(S::Error, record,
                QStringLiteral("N_HORFIN %1 (%2) no es el final del tramo %3 (%4, %5)")
                    .arg(end)
                    .arg(time_frames::timeText(end), slot->code, slot->label, time_frames::timeText(slot->end)));
        }
    }

    void authorisation(const TimetableRecord &record, const QString &activity, const QString &course)
    {
        const TimetableDato *dato = record.find(TimetableField::X_ORIHORACTETP);
        if (!m_seneca.hasCatalogues) {
            if (dato) {
                m_findings.record(S::Error, record,
                    QStringLiteral("El registro lleva X_ORIHORACTETP y la exportación de Séneca no tiene catálogos de "
                                   "autorizaciones"));
            }
            return;
        }
        const QString code = dato ? dato->value : QString();
        if (code.isEmpty()) {
            const QString level = m_seneca.courseLevel.value(course);
            const QStringList categories = authorisedCategories().value(activity + QLatin1Char('\x1f') + level);
            const SenecaActivity *known = m_seneca.activities.find(activity);
            const QString activityText = known && !known->name.isEmpty()
                ? QStringLiteral("%1 (%2)").arg(activity, known->name)
                : quoted(activity);
            const QString levelText = !level.isEmpty()
                ? QStringLiteral("nivel %1 (%2)").arg(level, m_seneca.levels.value(level))
                : course.isEmpty() ? QStringLiteral("sin nivel (el registro no tiene curso)")
                                   : QStringLiteral("sin nivel (el curso %1 no tiene nivel)").arg(course);
            m_findings.record(S::Error, record,
                QStringLiteral(
                    "Falta la autorización X_ORIHORACTETP (%1) para la combinación actividad %2, categoría de "
                    "origen sin autorizar, %3: %4")
                    .arg(dato ? QStringLiteral("en blanco") : QStringLiteral("no está"), activityText, levelText,
                        categories.isEmpty() ? QStringLiteral(
                            "la exportación no autoriza esa actividad en ese nivel con ninguna categoría")
                                             : QStringLiteral("la exportación la autoriza con las categorías %1")
                                                   .arg(categories.join(QStringLiteral(", ")))));
            return;
        }
        const SenecaAuthorisation *known = m_seneca.authorisations.find(code);
        if (!known) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_ORIHORACTETP %1 no es ninguna autorización de la exportación de Séneca")
                    .arg(quoted(code)));
        } else if (known->activity != activity) {
            m_findings.record(S::Error, record,
                QStringLiteral("La autorización %1 es de la actividad %2 y el registro es de la actividad %3")
                    .arg(code, known->activity, quoted(activity)));
        }
    }

    // The categories the export authorises, by activity and level: built once.
    const QHash<QString, QStringList> &authorisedCategories()
    {
        if (!m_categoriesBuilt) {
            m_categoriesBuilt = true;
            for (const auto &[code, authorisation] : m_seneca.authorisations) {
                m_categories[authorisation.activity + QLatin1Char('\x1f') + authorisation.level]
                    << QStringLiteral("%1 (%2)").arg(
                           authorisation.category, m_seneca.categories.value(authorisation.category));
            }
            for (QStringList &list : m_categories)
                list.sort();
        }
        return m_categories;
    }

    void nonRegularRecord(const TimetableRecord &record)
    {
        if (!inFixedOrder(record, kNonRegularOrder, 2, 2) || record.nestedGroups > 0) {
            m_findings.record(S::Error, record,
                QStringLiteral("Los datos de un registro no regular deben ser X_ACTIVIDAD y N_MINSEN, en ese orden; el "
                               "registro tiene: %1")
                    .arg(namesOf(record)));
        }
        const QString &code = record.value(TimetableField::X_ACTIVIDAD);
        const SenecaActivity *activity = m_seneca.activities.find(code);
        if (!activity) {
            m_findings.record(S::Error, record,
                QStringLiteral("X_ACTIVIDAD %1 no es ninguna actividad de la exportación de Séneca").arg(quoted(code)));
        } else if (activity->regular) {
            m_findings.record(S::Error, record,
                QStringLiteral("La actividad %1 (%2) es regular y está en el horario no regular")
                    .arg(code, activity->name));
        }
        int minutes = 0;
        if (!wholeNumber(record.value(TimetableField::N_MINSEN), minutes) || minutes <= 0) {
            m_findings.record(S::Error, record,
                QStringLiteral("N_MINSEN %1 no es un número positivo de minutos")
                    .arg(quoted(record.value(TimetableField::N_MINSEN))));
        }
    }

    // Exact copies within a teacher group: found by a hash of the datos, and
    // confirmed by comparing them.
    void duplicates()
    {
        std::unordered_multimap<size_t, int> seen;
        const text_hash::Hash hashOf;
        for (const TimetableTeacher &teacher : m_content.teachers) {
            seen.clear();
            for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
                const TimetableRecord &record = m_content.records[size_t(i)];
                size_t hash = record.datos.size();
                for (const TimetableDato &dato : record.datos)
                    hash = (hash * 31 + hashOf(dato.name)) * 31 + hashOf(dato.value);
                const TimetableRecord *first = nullptr;
                for (auto [it, end] = seen.equal_range(hash); it != end && !first; ++it) {
                    if (m_content.records[size_t(it->second)].datos == record.datos)
                        first = &m_content.records[size_t(it->second)];
                }
                if (first) {
                    m_findings.record(S::Warning, record,
                        QStringLiteral("El registro repite exactamente el registro %1").arg(first->seq));
                } else {
                    seen.emplace(hash, i);
                }
            }
        }
    }

    // A teacher's weekly load: the regular time counted once however many units
    // share it, and the non-regular minutes.
    void load()
    {
        for (const TimetableTeacher &teacher : m_content.teachers) {
            if (!teacher.regular) {
                int minutes = 0;
                for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
                    int value = 0;
                    if (wholeNumber(m_content.records[size_t(i)].value(TimetableField::N_MINSEN), value) && value > 0)
                        minutes += value;
                }
                if (teacher.recordCount > 0 && std::abs(minutes - kNonRegularExpected) > kNonRegularTolerance) {
                    m_findings.teacher(S::Warning, teacher,
                        QStringLiteral("El horario no regular suma %1 minutos a la semana, lejos de los %2 habituales")
                            .arg(minutes)
                            .arg(kNonRegularExpected));
                }
                continue;
            }
            std::vector<std::array<int, 3>> spans; // day, start, end
            for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
                const TimetableRecord &record = m_content.records[size_t(i)];
                int day = 0, start = 0, end = 0;
                if (wholeNumber(record.value(TimetableField::N_DIASEMANA), day)
                    && wholeNumber(record.value(TimetableField::N_HORINI), start)
                    && wholeNumber(record.value(TimetableField::N_HORFIN), end) && start < end)
                    spans.push_back({day, start, end});
            }
            std::sort(spans.begin(), spans.end());
            long long minutes = 0;
            int day = 0, coveredUntil = 0;
            for (const auto &span : spans) {
                if (span[0] != day) {
                    day = span[0];
                    coveredUntil = span[1];
                }
                const int from = std::max(span[1], coveredUntil);
                if (span[2] > from)
                    minutes += span[2] - from;
                coveredUntil = std::max(coveredUntil, span[2]);
            }
            if (minutes > kWeeklyRegularLimit) {
                m_findings.teacher(S::Warning, teacher,
                    QStringLiteral("El horario regular suma %1 h %2 min a la semana, más de 25 horas")
                        .arg(minutes / 60)
                        .arg(minutes % 60));
            }
        }
    }

    const SenecaExport &m_seneca;
    CheckFindings &m_findings;
    const TimetableContent &m_content;
    const QDate m_yearStart;
    const QDate m_yearEnd;
    QHash<QString, QStringList> m_categories;
    bool m_categoriesBuilt = false;
};

} // namespace

CheckResult checkTimetable(const SenecaExport &seneca, const TimetableContent &content)
{
    CheckFindings findings(content);
    Rules(seneca, findings).run();
    if (content.parseError.isEmpty() && content.hasRoot)
        checkOverlaps(seneca, findings);
    CheckResult result;
    result.findings = findings.take();
    std::stable_sort(result.findings.begin(), result.findings.end(),
        [](const CheckFinding &a, const CheckFinding &b) { return int(a.severity) < int(b.severity); });
    for (const CheckFinding &finding : result.findings) {
        switch (finding.severity) {
        case S::Error:
            ++result.errors;
            break;
        case S::Warning:
            ++result.warnings;
            break;
        case S::Information:
            ++result.information;
            break;
        }
    }
    return result;
}

namespace check_texts {

QString severityName(CheckSeverity severity)
{
    switch (severity) {
    case S::Error:
        return QStringLiteral("ERROR");
    case S::Warning:
        return QStringLiteral("AVISO");
    case S::Information:
        break;
    }
    return QStringLiteral("INFORMACIÓN");
}

QString findingLine(const CheckFinding &finding)
{
    QStringList where;
    if (!finding.employee.isEmpty())
        where << QStringLiteral("empleado %1").arg(finding.employee);
    if (!finding.group.isEmpty())
        where << (finding.record.isEmpty() ? finding.group : finding.group + QLatin1Char('/') + finding.record);
    if (where.isEmpty() && finding.line > 0)
        where << QStringLiteral("línea %1").arg(finding.line);
    QString line = severityName(finding.severity) + QStringLiteral(": ") + finding.text + QLatin1Char('.');
    if (!where.isEmpty())
        line += QStringLiteral(" [") + where.join(QStringLiteral(", ")) + QLatin1Char(']');
    return line;
}

QString countsSentence(const CheckResult &result)
{
    return QStringLiteral("Comprobación del documento: %1, %2, %3.")
        .arg(countOf(result.errors, QStringLiteral("error"), QStringLiteral("errores")),
            countOf(result.warnings, QStringLiteral("aviso"), QStringLiteral("avisos")),
            countOf(result.information, QStringLiteral("nota informativa"), QStringLiteral("notas informativas")));
}

QString dayName(int day)
{
    static const char *const names[] = {"lunes", "martes", "miércoles", "jueves", "viernes", "sábado", "domingo"};
    if (day >= 1 && day <= 7)
        return QString::fromUtf8(names[day - 1]);
    return QString::number(day);
}

} // namespace check_texts
