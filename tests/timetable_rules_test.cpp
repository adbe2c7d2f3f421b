// The rules of the timetable check, family by family, on a small school built in
// memory: each fault planted in a good document gives exactly one line, in the
// names a head of studies knows, with its codes in parentheses; each case of
// ordinary school practice gives none.
#include "support/small_timetable.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using K = CheckKind;

// The good school: each teacher teaches one lesson.
SmallTimetable goodSchool()
{
    SmallTimetable t;
    t.lesson(QStringLiteral("1001"), {});
    t.lesson(QStringLiteral("1002"),
        {.room = QStringLiteral("902"), .unit = QStringLiteral("502"), .subject = QStringLiteral("202")});
    t.lesson(QStringLiteral("1003"),
        {.slot = QStringLiteral("102"),
            .room = QStringLiteral("903"),
            .unit = QStringLiteral("601"),
            .course = QStringLiteral("21"),
            .subject = QStringLiteral("205")});
    return t;
}

TimetableRecord &record(TimetableContent &content, int index)
{
    return content.records[size_t(index)];
}

void setDato(TimetableDatos &datos, TimetableField field, const QString &value)
{
    datos.datos[size_t(datos.positions[size_t(field)])].value = value;
}

struct Fault {
    const char *name;
    CheckKind kind;
    std::function<void(SmallTimetable &)> plant;
    std::vector<const char *> names; // each in the line's text
    const char *codes = ""; // in the line's codes
    std::function<void(TimetableContent &)> spoil = {};
};

std::string describe(const CheckResult &result)
{
    std::string out;
    for (const CheckFinding &finding : result.findings)
        out += check_texts::findingLine(finding).toStdString() + "\n";
    return out;
}

void expectOneLine(const Fault &fault)
{
    SCOPED_TRACE(fault.name);
    SmallTimetable t = goodSchool();
    fault.plant(t);
    TimetableContent content = t.content();
    if (fault.spoil)
        fault.spoil(content);
    const CheckResult result = checkTimetable(t.seneca, content);
    const CheckSeverity severity = checkKindInfo(fault.kind).severity;
    std::vector<const CheckFinding *> lines;
    for (const CheckFinding &finding : result.findings) {
        if (finding.severity == severity || finding.severity != CheckSeverity::Information)
            lines.push_back(&finding);
    }
    ASSERT_EQ(lines.size(), 1u) << describe(result);
    const CheckFinding &line = *lines.front();
    EXPECT_EQ(line.kind, fault.kind) << describe(result);
    for (const char *name : fault.names)
        EXPECT_TRUE(line.text.contains(QString::fromUtf8(name))) << name << "\n" << describe(result);
    EXPECT_TRUE(line.codes.contains(QString::fromUtf8(fault.codes))) << fault.codes << "\n" << describe(result);
    // No field name of the document in the words, only in the references.
    for (const char *field : {"X_", "N_", "F_", "C_ANNO", "registros"})
        EXPECT_FALSE(line.text.contains(QLatin1String(field))) << field << "\n" << describe(result);
}

void expectNothing(const char *name, const SmallTimetable &t)
{
    SCOPED_TRACE(name);
    const CheckResult result = t.check();
    EXPECT_TRUE(result.findings.empty()) << describe(result);
}

TEST(TimetableRules, aGoodDocumentHasNoFinding)
{
    expectNothing("the good school", goodSchool());
}

TEST(TimetableRules, formFaultsAreOneLineEach)
{
    const auto none = [](SmallTimetable &) {};
    const Fault faults[] = {
        {"a document cut short", K::NotWellFormed, none, {"no es XML válido"}, "",
            [](TimetableContent &c) { c.parseError = QStringLiteral("etiqueta sin cerrar"), c.parseErrorLine = 3; }},
        {"letters of Windows-1252 under ISO-8859-1", K::Misencoded, none, {"bytes entre 0x80 y 0x9F"}, "",
            [](TimetableContent &c) { c.controlBytes = 2, c.firstControlByteLine = 4; }},
        {"another school year", K::WrongYear, none, {"«2024»", "2025"}, "",
            [](TimetableContent &c) { setDato(c.sections[0].own, TimetableField::C_ANNO, QStringLiteral("2024")); }},
        {"a section that miscounts its teachers", K::SectionCount, none, {"horario regular", "«9» profesores"}, "",
            [](TimetableContent &c) { c.sections.back().registros = QStringLiteral("9"); }},
        {"a teacher group that miscounts its lessons", K::LessonCount, none, {"Ana López Ruiz", "7"}, "empleado 1001",
            [](TimetableContent &c) { c.teachers[3].registros = QStringLiteral("7"); }},
        {"a teacher Séneca does not know", K::UnknownTeacher,
            [](SmallTimetable &t) { t.lesson(QStringLiteral("9999"), {.slot = QStringLiteral("103")}); },
            {"Empleado 9999"}, "empleado 9999"},
        {"a teacher twice in the regular section", K::TeacherTwice, none, {"Ana López Ruiz", "regular"},
            "empleado 1001",
            [](TimetableContent &c) { setDato(c.teachers[5], TimetableField::X_EMPLEADO, QStringLiteral("1001")); }},
        {"a lesson's datos out of order", K::DatosOutOfOrder, none, {"Ana López Ruiz", "lunes 08:15–09:15"},
            "empleado 1001",
            [](TimetableContent &c) {
                TimetableRecord &r = record(c, 0);
                std::swap(r.datos[0], r.datos[1]);
                for (size_t i = 0; i < r.datos.size(); ++i)
                    r.positions[size_t(r.datos[i].field)] = std::int16_t(i);
            }},
    };
    for (const Fault &fault : faults)
        expectOneLine(fault);
}

TEST(TimetableRules, codeFaultsAreOneLineEach)
{
    const QString ana = QStringLiteral("1001");
    const Fault faults[] = {
        {"a slot Séneca does not know", K::UnknownSlot,
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.day = QStringLiteral("2"),
                        .slot = QStringLiteral("199"),
                        .start = QStringLiteral("495"),
                        .end = QStringLiteral("555")});
            },
            {"Ana López Ruiz", "martes 08:15–09:15"}, "tramo 199"},
        {"a room Séneca does not know", K::UnknownRoom,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .room = QStringLiteral("999")}); },
            {"Ana López Ruiz", "dependencia que Séneca no tiene", "martes"}, "dependencia 999"},
        {"a unit Séneca does not know", K::UnknownUnit,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .unit = QStringLiteral("599")}); },
            {"Ana López Ruiz", "unidad que Séneca no tiene"}, "unidad 599"},
        {"a course Séneca does not know", K::UnknownCourse,
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.day = QStringLiteral("2"),
                        .unit = {},
                        .course = QStringLiteral("99"),
                        .subject = {},
                        .activity = QStringLiteral("34")});
            },
            {"Ana López Ruiz", "curso que Séneca no tiene"}, "curso 99"},
        {"a subject of another course", K::SubjectNotInCourse,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .subject = QStringLiteral("205")}); },
            {"Ana López Ruiz", "1º ESO"}, "materia 205, curso 11"},
        {"a unit of another course", K::UnitOfOtherCourse,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .unit = QStringLiteral("601")}); },
            {"Ana López Ruiz", "1º Bachillerato A", "1º Bachillerato", "Matemáticas", "1º ESO"}, "unidad 601"},
        {"an activity Séneca does not know", K::UnknownActivity,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .activity = QStringLiteral("77")}); },
            {"Ana López Ruiz", "actividad que Séneca no tiene"}, "actividad 77"},
        {"a non-regular activity among the regular lessons", K::WrongSection,
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.day = QStringLiteral("2"),
                        .room = {},
                        .unit = {},
                        .course = {},
                        .subject = {},
                        .activity = QStringLiteral("85")});
            },
            {"Ana López Ruiz", "Reunión de departamento", "horario regular"}, "actividad 85"},
        {"a regular activity among the non-regular ones", K::WrongSection,
            [&](SmallTimetable &t) { t.nonRegular(ana, QStringLiteral("34"), QStringLiteral("300")); },
            {"Ana López Ruiz", "Guardia", "horario no regular"}, "actividad 34"},
        {"teaching without its unit", K::ActivityWithoutUnit,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .unit = {}}); },
            {"Ana López Ruiz", "Docencia sin la unidad"}, "actividad 1"},
        {"teaching without its subject", K::ActivityWithoutSubject,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .subject = {}}); },
            {"Ana López Ruiz", "Docencia sin la materia"}, "actividad 1"},
    };
    for (const Fault &fault : faults)
        expectOneLine(fault);
}

TEST(TimetableRules, timeAndDateFaultsAreOneLineEach)
{
    const QString ana = QStringLiteral("1001");
    const Fault faults[] = {
        {"a weekday beyond Sunday", K::BadWeekday,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("8")}); }, {"Ana López Ruiz", "día «8»"},
            "empleado 1001"},
        {"a Saturday lesson", K::Weekend, [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("6")}); },
            {"Ana López Ruiz", "sábado 08:15–09:15"}, "empleado 1001"},
        {"a time that does not read", K::BadTimes,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .start = QStringLiteral("8h")}); },
            {"Ana López Ruiz", "«8h»"}, "empleado 1001"},
        {"a start other than the slot's", K::TimesNotSlot,
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2"), .start = QStringLiteral("500")}); },
            {"Ana López Ruiz", "martes 08:20–09:15", "1ª hora es de 08:15–09:15"}, "tramo 101"},
        {"a non-regular activity without minutes", K::NoMinutes,
            [&](SmallTimetable &t) {
                t.nonRegular(ana, QStringLiteral("85"), QStringLiteral("0"))
                    .nonRegular(ana, QStringLiteral("85"), QStringLiteral("300"));
            },
            {"Ana López Ruiz", "Reunión de departamento sin minutos"}, "actividad 85"},
        {"a date that does not exist", K::BadDate,
            [&](SmallTimetable &t) {
                t.lesson(ana, {.day = QStringLiteral("2"), .firstDay = QStringLiteral("31/02/2026")});
            },
            {"Ana López Ruiz", "«31/02/2026»"}, "empleado 1001"},
        {"a start after the end", K::DatesReversed,
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.day = QStringLiteral("2"),
                        .firstDay = QStringLiteral("20/06/2026"),
                        .lastDay = QStringLiteral("19/06/2026")});
            },
            {"Ana López Ruiz", "20/06/2026", "19/06/2026"}, "empleado 1001"},
        {"a date after the year", K::OutsideYear,
            [&](SmallTimetable &t) {
                t.lesson(ana, {.day = QStringLiteral("2"), .lastDay = QStringLiteral("30/06/2026")});
            },
            {"Ana López Ruiz", "30/06/2026", "22/06/2026"}, "empleado 1001"},
    };
    for (const Fault &fault : faults)
        expectOneLine(fault);
}

TEST(TimetableRules, authorisationFaultsAreOneLineEach)
{
    const QString ana = QStringLiteral("1001");
    const Fault faults[] = {
        {"no authorisation found by the import", K::NoAuthorisation,
            [&](SmallTimetable &t) {
                t.lesson(ana, {.day = QStringLiteral("2"), .authorisation = QString()})
                    .lesson(ana, {.day = QStringLiteral("3"), .authorisation = QStringLiteral(" ")});
            },
            {"Ana López Ruiz", "Docencia sin autorización en ESO", "2 lecciones", "martes 08:15–09:15",
                "miércoles 08:15–09:15", "PLANTILLA"},
            "empleado 1001, actividad 1, nivel 11"},
        {"an authorisation Séneca does not know", K::UnknownAuthorisation,
            [&](SmallTimetable &t) {
                t.lesson(ana, {.day = QStringLiteral("2"), .authorisation = QStringLiteral("99")});
            },
            {"Ana López Ruiz", "Docencia"}, "autorización 99"},
        {"the authorisation of another activity", K::AuthorisationOfOtherActivity,
            [&](SmallTimetable &t) {
                t.lesson(ana, {.day = QStringLiteral("2"), .authorisation = QStringLiteral("7003")});
            },
            {"Ana López Ruiz", "Docencia con la autorización de Guardia"}, "autorización 7003"},
        {"an authorisation without the catalogues", K::AuthorisationWithoutCatalogues,
            [&](SmallTimetable &t) {
                t.seneca.hasCatalogues = false;
                t.lesson(ana, {.day = QStringLiteral("2"), .authorisation = QStringLiteral("7001")});
            },
            {"Ana López Ruiz"}, "autorización 7001"},
    };
    for (const Fault &fault : faults)
        expectOneLine(fault);
}

TEST(TimetableRules, overlapAndLoadFaultsAreOneLineEach)
{
    const QString ana = QStringLiteral("1001"), marta = QStringLiteral("1003");
    const Fault faults[] = {
        {"a teacher in two rooms at once", K::TeacherInTwoPlaces,
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.room = QStringLiteral("903"), .unit = QStringLiteral("502"), .subject = QStringLiteral("203")});
            },
            {"Ana López Ruiz", "lunes 08:15–09:15", "Matemáticas con 1º ESO A en Aula 1",
                "Tecnología con 1º ESO B en Laboratorio de Física"},
            "empleado 1001"},
        {"a teacher at a guard duty and a lesson at once", K::TeacherInTwoPlaces,
            [&](SmallTimetable &t) {
                t.lesson(ana, {.unit = {}, .course = {}, .subject = {}, .activity = QStringLiteral("34")});
            },
            {"Ana López Ruiz", "Guardia"}, "empleado 1001"},
        {"a room with two classes at once", K::RoomTwiceBooked,
            [&](SmallTimetable &t) {
                t.lesson(marta, {.unit = QStringLiteral("502"), .subject = QStringLiteral("203")});
            },
            {"Aula 1", "1º ESO A (Matemáticas, Ana López Ruiz)", "1º ESO B (Tecnología, Marta Díaz Gil)", "lunes"},
            "dependencia 901"},
        {"more than 25 hours", K::RegularLoad,
            [&](SmallTimetable &t) {
                for (const char *day : {"1", "2", "3", "4", "5"})
                    t.lesson(ana, {.day = QString::fromLatin1(day), .slot = QStringLiteral("103")});
            },
            {"Ana López Ruiz", "28 h 30 min"}, "empleado 1001"},
        {"more than 6 non-regular hours", K::NonRegularLoad,
            [&](SmallTimetable &t) {
                t.nonRegular(ana, QStringLiteral("85"), QStringLiteral("300"))
                    .nonRegular(ana, QStringLiteral("85"), QStringLiteral("120"));
            },
            {"Ana López Ruiz", "7 h 0 min"}, "empleado 1001"},
        {"a taking of post after the lessons start", K::BeforeTakingPost,
            [&](SmallTimetable &t) { t.takesPost(ana, QStringLiteral("01/10/2025")); },
            {"Ana López Ruiz", "01/10/2025"}, "empleado 1001"},
        {"a taking of post other than Séneca's", K::TakingPostDiffers, [](SmallTimetable &) {},
            {"Ana López Ruiz", "«02/09/2025»", "«01/09/2025»"}, "empleado 1001",
            [](TimetableContent &c) {
                for (TimetableTeacher &teacher : c.teachers) {
                    if (teacher.employee() == QLatin1String("1001"))
                        setDato(teacher, TimetableField::F_TOMAPOS, QStringLiteral("02/09/2025"));
                }
            }},
        {"a lesson written twice", K::RepeatedLesson, [&](SmallTimetable &t) { t.lesson(ana, {}); },
            {"Ana López Ruiz", "lunes 08:15–09:15"}, "empleado 1001"},
    };
    for (const Fault &fault : faults)
        expectOneLine(fault);
}

TEST(TimetableRules, theSameFaultOfOneTeacherIsOneLineWithItsLessons)
{
    SmallTimetable t = goodSchool();
    for (const char *day : {"2", "3", "4"})
        t.lesson(QStringLiteral("1001"), {.day = QString::fromLatin1(day), .room = QStringLiteral("999")});
    const CheckResult result = t.check();
    ASSERT_EQ(result.findings.size(), 1u) << describe(result);
    EXPECT_EQ(result.errors, 1);
    const CheckFinding &line = result.findings.front();
    EXPECT_EQ(line.text,
        QStringLiteral("Ana López Ruiz: lecciones en una dependencia que Séneca no tiene: 3 lecciones (martes "
                       "08:15–09:15; miércoles 08:15–09:15; jueves 08:15–09:15)"));
    EXPECT_EQ(line.codes, QStringLiteral("empleado 1001, dependencia 999"));
    EXPECT_EQ(line.records.size(), 3);
    EXPECT_EQ(check_texts::findingLine(line),
        QStringLiteral("ERROR: ") + line.text + QStringLiteral(" (empleado 1001, dependencia 999). ")
            + QString::fromUtf8(checkKindInfo(K::UnknownRoom).advice)
            + QStringLiteral(" [HORARIO_REGULAR_PROFESOR_1/ACTIVIDAD_2, HORARIO_REGULAR_PROFESOR_1/ACTIVIDAD_3, "
                             "HORARIO_REGULAR_PROFESOR_1/ACTIVIDAD_4]"));
}

// What schools do every day, and what the import leaves out on purpose.
TEST(TimetableRules, ordinaryPracticeRaisesNothing)
{
    const QString ana = QStringLiteral("1001"), marta = QStringLiteral("1003");
    const struct {
        const char *practice;
        std::function<void(SmallTimetable &)> add;
    } cases[] = {
        {"optional subjects at once: the unit splits",
            [&](SmallTimetable &t) {
                t.lesson(marta, {.room = QStringLiteral("903"), .subject = QStringLiteral("202")});
            }},
        {"co-teaching: two teachers, one unit and subject, one room", [&](SmallTimetable &t) { t.lesson(marta, {}); }},
        {"support in another room: two teachers with one unit and subject",
            [&](SmallTimetable &t) { t.lesson(marta, {.room = QStringLiteral("903")}); }},
        {"one lesson for several units of two courses, the subject's code differing",
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.unit = QStringLiteral("601"), .course = QStringLiteral("21"), .subject = QStringLiteral("204")});
            }},
        {"one lesson for two units with subjects of different names in one room",
            [&](SmallTimetable &t) {
                t.lesson(ana, {.unit = QStringLiteral("502"), .subject = QStringLiteral("203")});
            }},
        {"a guard duty without a level, without an authorisation",
            [&](SmallTimetable &t) {
                t.lesson(ana,
                    {.day = QStringLiteral("2"),
                        .room = {},
                        .unit = {},
                        .course = {},
                        .subject = {},
                        .activity = QStringLiteral("34")});
            }},
        {"a lesson without an origin category, without an authorisation",
            [&](SmallTimetable &t) { t.lesson(ana, {.day = QStringLiteral("2")}); }},
        {"a lesson with its authorisation",
            [&](SmallTimetable &t) {
                t.lesson(ana, {.day = QStringLiteral("2"), .authorisation = QStringLiteral("7001")});
            }},
        {"two teachers in one room with two units of one subject",
            [&](SmallTimetable &t) { t.lesson(marta, {.unit = QStringLiteral("502")}); }},
    };
    for (const auto &c : cases) {
        SmallTimetable t = goodSchool();
        c.add(t);
        expectNothing(c.practice, t);
    }
}

TEST(TimetableRules, aDocumentWithoutTheNonRegularSectionIsOneInformationLine)
{
    SmallTimetable t = goodSchool();
    t.withNonRegularSection = false;
    const CheckResult result = t.check();
    ASSERT_EQ(result.findings.size(), 1u) << describe(result);
    EXPECT_EQ(result.errors, 0);
    EXPECT_EQ(result.information, 1);
    EXPECT_EQ(result.findings.front().kind, K::NoNonRegularSection);
}

TEST(TimetableRules, teachersWithoutATimetableAreOneInformationLine)
{
    SmallTimetable t;
    t.lesson(QStringLiteral("1001"), {});
    const CheckResult result = t.check();
    ASSERT_EQ(result.findings.size(), 1u) << describe(result);
    EXPECT_EQ(result.findings.front().text,
        QStringLiteral("2 profesores de Séneca no tienen horario en el documento: Luis García Pérez, Marta Díaz Gil"));
    EXPECT_EQ(result.findings.front().codes, QStringLiteral("empleados 1002, 1003"));
}

TEST(TimetableRules, everyKindSaysWhatToDo)
{
    for (int kind = 0; kind < int(K::Count); ++kind) {
        const CheckKindInfo &info = checkKindInfo(CheckKind(kind));
        const QString advice = QString::fromUtf8(info.advice);
        EXPECT_TRUE(advice.endsWith(QLatin1Char('.'))) << kind;
        EXPECT_TRUE(advice.contains(QStringLiteral("Horavent")) || advice.contains(QStringLiteral("Séneca"))
            || advice.contains(QStringLiteral("planificación")) || advice.startsWith(QStringLiteral("Nada que hacer")))
            << kind << " " << advice.toStdString();
    }
}

} // namespace
