#include "support/small_timetable.h"

#include "import/timetable_content_builder.h"
#include "import/timetable_names.h"

#include <tuple>

namespace {

void dato(TimetableContentBuilder &builder, const char *name, const QString &value)
{
    const QString text = QString::fromLatin1(name);
    builder.datos()->add({text, value.trimmed(), TimetableField::Count}, timetableFieldOf(text));
}

} // namespace

SmallTimetable::SmallTimetable()
{
    seneca.path = QStringLiteral("seneca.xml");
    seneca.year = QStringLiteral("2025");
    seneca.yearStart = QStringLiteral("15/09/2025");
    seneca.yearEnd = QStringLiteral("22/06/2026");
    for (const auto &[employee, name] :
        {std::pair{"1001", "Ana López Ruiz"}, {"1002", "Luis García Pérez"}, {"1003", "Marta Díaz Gil"}}) {
        seneca.teacherIndex.insert(QString::fromLatin1(employee), int(seneca.teachers.size()));
        seneca.teachers.push_back(
            {QString::fromLatin1(employee), QStringLiteral("01/09/2025"), QString::fromUtf8(name)});
        m_teachers.push_back({QString::fromLatin1(employee), QStringLiteral("01/09/2025"), {}, {}});
    }
    for (const auto &[code, label, start, end] :
        {std::tuple{"101", "1ª hora", 495, 555}, {"102", "2ª hora", 555, 615}, {"103", "Tarde", 900, 1230}}) {
        seneca.slotIndex.insert(QString::fromLatin1(code), int(seneca.slots.size()));
        seneca.slots.push_back({QString::fromLatin1(code), QString::fromUtf8(label), start, end, true, "2432"});
    }
    seneca.rooms.insert(QStringLiteral("901"), QStringLiteral("Aula 1"));
    seneca.rooms.insert(QStringLiteral("902"), QStringLiteral("Aula 2"));
    seneca.rooms.insert(QStringLiteral("903"), QStringLiteral("Laboratorio de Física"));
    seneca.courses.insert(QStringLiteral("11"), QStringLiteral("1º ESO"));
    seneca.courses.insert(QStringLiteral("21"), QStringLiteral("1º Bachillerato"));
    seneca.units.insert(QStringLiteral("501"), {QStringLiteral("1º ESO A"), QStringLiteral("11")});
    seneca.units.insert(QStringLiteral("502"), {QStringLiteral("1º ESO B"), QStringLiteral("11")});
    seneca.units.insert(QStringLiteral("601"), {QStringLiteral("1º Bachillerato A"), QStringLiteral("21")});
    for (const auto &[subject, course, name] : {std::tuple{"201", "11", "Matemáticas"}, {"202", "11", "Francés"},
             {"203", "11", "Tecnología"}, {"204", "21", "Matemáticas"}, {"205", "21", "Física"}}) {
        seneca.subjects.insert(SenecaExport::subjectKey(QString::fromLatin1(subject), QString::fromLatin1(course)),
            QString::fromUtf8(name));
    }
    seneca.activities.insert(QStringLiteral("1"), {QStringLiteral("Docencia"), true, true, true});
    seneca.activities.insert(QStringLiteral("34"), {QStringLiteral("Guardia"), true, false, false});
    seneca.activities.insert(QStringLiteral("85"), {QStringLiteral("Reunión de departamento"), false, false, false});
    seneca.hasCatalogues = true;
    seneca.categories.insert(QStringLiteral("1"), QStringLiteral("PLANTILLA"));
    seneca.categories.insert(QStringLiteral("2"), QStringLiteral("REFUERZO"));
    seneca.levels.insert(QStringLiteral("11"), QStringLiteral("ESO"));
    seneca.levels.insert(QStringLiteral("12"), QStringLiteral("Bachillerato"));
    seneca.courseLevel.insert(QStringLiteral("11"), QStringLiteral("11"));
    seneca.courseLevel.insert(QStringLiteral("21"), QStringLiteral("12"));
    seneca.authorisations.insert(
        QStringLiteral("7001"), {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("11")});
    seneca.authorisations.insert(
        QStringLiteral("7002"), {QStringLiteral("1"), QStringLiteral("1"), QStringLiteral("12")});
    seneca.authorisations.insert(
        QStringLiteral("7003"), {QStringLiteral("34"), QStringLiteral("2"), QStringLiteral("11")});
}

SmallTimetable::Teacher &SmallTimetable::teacher(const QString &employee)
{
    for (Teacher &teacher : m_teachers) {
        if (teacher.employee == employee)
            return teacher;
    }
    m_teachers.push_back({employee, QStringLiteral("01/09/2025"), {}, {}});
    return m_teachers.back();
}

SmallTimetable &SmallTimetable::lesson(const QString &employee, const SmallLesson &lesson)
{
    teacher(employee).lessons.push_back(lesson);
    return *this;
}

SmallTimetable &SmallTimetable::takesPost(const QString &employee, const QString &date)
{
    teacher(employee).takingPost = date;
    if (const int *at = seneca.teacherIndex.find(employee))
        seneca.teachers[size_t(*at)].takingPost = date;
    return *this;
}

SmallTimetable &SmallTimetable::nonRegular(const QString &employee, const QString &activity, const QString &minutes)
{
    teacher(employee).activities.emplace_back(activity, minutes);
    return *this;
}

TimetableContent SmallTimetable::content() const
{
    namespace names = timetable_names;
    TimetableContent content;
    content.path = QStringLiteral("ResultadoHoravoseneca.xml");
    content.hasRoot = true;
    TimetableContentBuilder builder(content);
    const QString teachers = QString::number(m_teachers.size());
    builder.startGroup(QString::fromLatin1(names::yearGroup), QString(), 1);
    dato(builder, names::year, seneca.year);
    builder.endGroup();
    const auto numbered = [](const char *prefix, size_t n) { return QString::fromLatin1(prefix) + QString::number(n); };
    if (withNonRegularSection) {
        builder.startGroup(QString::fromLatin1(names::nonRegularSection), teachers, 1);
        for (size_t t = 0; t < m_teachers.size(); ++t) {
            const Teacher &teacher = m_teachers[t];
            builder.startGroup(
                numbered(names::nonRegularTeacherPrefix, t + 1), QString::number(teacher.activities.size()), 1);
            dato(builder, names::employee, teacher.employee);
            dato(builder, names::takingPost, teacher.takingPost);
            for (size_t a = 0; a < teacher.activities.size(); ++a) {
                builder.startGroup(numbered(names::recordPrefix, a + 1), QString(), 1);
                dato(builder, names::activity, teacher.activities[a].first);
                dato(builder, names::weeklyMinutes, teacher.activities[a].second);
                builder.endGroup();
            }
            builder.endGroup();
        }
        builder.endGroup();
    }
    builder.startGroup(QString::fromLatin1(names::regularSection), teachers, 1);
    for (size_t t = 0; t < m_teachers.size(); ++t) {
        const Teacher &teacher = m_teachers[t];
        builder.startGroup(numbered(names::regularTeacherPrefix, t + 1), QString::number(teacher.lessons.size()), 1);
        dato(builder, names::employee, teacher.employee);
        dato(builder, names::takingPost, teacher.takingPost);
        for (size_t l = 0; l < teacher.lessons.size(); ++l) {
            const SmallLesson &lesson = teacher.lessons[l];
            const SenecaSlot *slot = seneca.slot(lesson.slot);
            builder.startGroup(numbered(names::recordPrefix, l + 1), QString(), 1);
            dato(builder, names::weekday, lesson.day);
            dato(builder, names::slot, lesson.slot);
            dato(builder, names::room, lesson.room);
            dato(builder, names::unit, lesson.unit);
            dato(builder, names::course, lesson.course);
            dato(builder, names::subject, lesson.subject);
            dato(builder, names::startDate, lesson.firstDay);
            dato(builder, names::endDate, lesson.lastDay);
            dato(builder, names::startMinutes,
                !lesson.start.isEmpty() ? lesson.start
                    : slot              ? QString::number(slot->start)
                                        : QString());
            dato(builder, names::endMinutes,
                !lesson.end.isEmpty() ? lesson.end
                    : slot            ? QString::number(slot->end)
                                      : QString());
            dato(builder, names::activity, lesson.activity);
            if (lesson.authorisation)
                dato(builder, names::authorisation, *lesson.authorisation);
            builder.endGroup();
        }
        builder.endGroup();
    }
    builder.endGroup();
    return content;
}

CheckResult SmallTimetable::check() const
{
    const TimetableContent built = content();
    return checkTimetable(seneca, built);
}
