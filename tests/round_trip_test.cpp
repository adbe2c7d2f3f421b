// The whole round trip, as a school lives it: export the Séneca and planning
// files, let the stand-in timetabler place the lessons, import SOLUC. Every lesson
// placed in SOLUC must reach the timetable document with the Séneca keys of its
// teacher, slot, room, unit, course offer, subject and activity, unless the
// requirement flags of its activity drop it.
//
// The expected keys are worked out from the Séneca document itself (slots, times,
// activities and their flags, catalogues) and from the codes the export gave
// (teacher, group and subject codes), so the check does not lean on the import's
// own lookups; and each key is checked to exist in the Séneca document.
#include "round_trip_support.h"
#include "support/working_folder.h"

#include "common/clipper.h"
#include "common/xml_document.h"

#include <QSet>

#include <algorithm>

namespace {

using namespace round_trip;
using clipper::AllTrim;

// What the Séneca document says, read by position as the converter reads it.
struct SenecaFacts {
    QString firstDay, lastDay;
    QSet<QString> employees, rooms, units;
    QHash<QString, QString> courseOfUnit;
    QSet<QString> offers; // "course|subject"
    QHash<QString, std::pair<int, int>> slots; // code -> start, end (minutes)
    QHash<QString, QString> flagsOfTask; // task code as the timetabler knows it ("1", "#85") -> "SN"
    QHash<QString, QString> categoryOfOrigin; // C_ORIHOR -> X_CATORIHOR
    QHash<QString, QString> authorisations; // "activity|category|level" -> X_ORIHORACTETP
    bool catalogues = false;
};

SenecaFacts readSeneca(const QString &path)
{
    const ExchangeDocument doc = ExchangeDocument::load(path);
    SenecaFacts facts;
    const ExchangeRecord year(doc.topLevelGroups().front());
    facts.firstDay = year.value(1);
    facts.lastDay = year.value(2);
    for (const ExchangeRecord &r : doc.records(QStringLiteral("EMPLEADOS")))
        facts.employees.insert(r.value(0));
    for (const ExchangeRecord &r : doc.records(QStringLiteral("DEPENDENCIAS")))
        facts.rooms.insert(r.value(0));
    for (const ExchangeRecord &r : doc.records(QStringLiteral("UNIDADES"))) {
        facts.units.insert(r.value(0));
        facts.courseOfUnit.insert(r.value(0), r.value(2));
    }
    for (const ExchangeRecord &r : doc.records(QStringLiteral("MATERIAS"))) {
        const bool idSecond = serialisedNameIs(r.serialisedValue(2), QStringLiteral("X_MATERIAOMG"));
        facts.offers.insert(r.value(0) + QLatin1Char('|') + r.value(idSecond ? 2 : 1));
    }
    for (const ExchangeRecord &r : doc.records(QStringLiteral("TRAMOS_HORARIOS")))
        facts.slots.insert(r.value(0), {r.value(2).toInt(), r.value(3).toInt()});
    for (const ExchangeRecord &r : doc.records(QStringLiteral("ACTIVIDADES"))) {
        const QString code = (r.value(0) == QLatin1String("N") ? QStringLiteral("#") : QString()) + r.value(1);
        if (!facts.flagsOfTask.contains(code))
            facts.flagsOfTask.insert(code, r.value(3) + r.value(4));
    }
    for (const ExchangeRecord &r : doc.records(QStringLiteral("ORIGENES"))) {
        facts.catalogues = true;
        if (!facts.categoryOfOrigin.contains(r.value(1)))
            facts.categoryOfOrigin.insert(r.value(1), r.value(0));
    }
    for (const ExchangeRecord &r : doc.records(QStringLiteral("AUTORIZACIONES"))) {
        const QString key = QStringList{r.value(1), r.value(2), r.value(3)}.join(QLatin1Char('|'));
        if (!facts.authorisations.contains(key))
            facts.authorisations.insert(key, r.value(0));
    }
    return facts;
}

const Record *firstWhere(const std::vector<Record> &table, const QString &field, const QString &value)
{
    for (const Record &r : table) {
        if (r.value(field) == value)
            return &r;
    }
    return nullptr;
}

// One lesson as the document carries it, as one comparable text.
QString regularLesson(const QStringList &keys)
{
    return keys.join(QLatin1Char('|'));
}

struct Expected {
    std::vector<QString> regular, nonRegular;
    int dropped = 0;
    QSet<QString> flagPairs; // of the regular lessons placed
    QSet<QString> frames; // MARCO of the lessons placed
    int authorised = 0, unauthorised = 0, withoutAuthorisation = 0;
    QStringList problems; // keys that do not exist in the Séneca document
};

class RoundTrip {
public:
    explicit RoundTrip(const School &school, const QString &ktemp)
        : m_facts(readSeneca(school.seneca))
        , m_dir(ktemp)
    {
        for (const char *name : {"SOLUC", "PROFT", "GRUPOST", "DIASHORAST", "ASIGT", "ASIGNOMT", "ASIGNOMT2"})
            m_tables.insert(QString::fromLatin1(name),
                readTable(m_dir.filePath(QString::fromLatin1(name) + QStringLiteral(".DBF"))));
    }

    const SenecaFacts &facts() const { return m_facts; }
    const std::vector<Record> &table(const char *name) const { return *m_tables.constFind(QString::fromLatin1(name)); }

    int teacherCount() const
    {
        const auto &teachers = table("PROFT");
        return int(std::count_if(teachers.begin(), teachers.end(),
            [](const Record &r) { return !AllTrim(r.value(QStringLiteral("X_EMPLEADO"))).isEmpty(); }));
    }

    Expected expected() const
    {
        Expected e;
        for (const Record &lesson : table("SOLUC")) {
            if (lesson.value(QStringLiteral("DIA")).toInt() == 0)
                continue;
            const Record *teacher
                = firstWhere(table("PROFT"), QStringLiteral("ABREV"), lesson.value(QStringLiteral("PROF")));
            if (!teacher) {
                e.problems
                    << QStringLiteral("SOLUC: profesor %1 desconocido").arg(lesson.value(QStringLiteral("PROF")));
                continue;
            }
            const QString employee = teacher->value(QStringLiteral("X_EMPLEADO"));
            if (!m_facts.employees.contains(employee))
                e.problems << QStringLiteral("empleado %1 no está en EMPLEADOS").arg(employee);
            e.frames.insert(lesson.value(QStringLiteral("MARCO")));
            const Record *period = periodOf(lesson);
            const QString slot = period ? period->value(QStringLiteral("CODDIHO")) : QString();
            if (!m_facts.slots.contains(slot))
                e.problems << QStringLiteral("tramo %1 no está en TRAMOS_HORARIOS").arg(slot);
            const auto [start, end] = m_facts.slots.value(slot, {0, 0});
            const QString asig = lesson.value(QStringLiteral("ASIG"));
            const QString tarea = lesson.value(QStringLiteral("TAREA"));
            if (asig.startsWith(QLatin1Char('#'))) {
                e.nonRegular.push_back(QStringList{
                    employee, tarea.startsWith(QLatin1Char('#')) ? tarea.mid(1) : tarea, QString::number(end - start)}
                                           .join(QLatin1Char('|')));
                continue;
            }
            regular(lesson, employee, period, slot, start, end, e);
        }
        return e;
    }

private:
    const Record *periodOf(const Record &lesson) const
    {
        const QString key = lesson.value(QStringLiteral("DIA")) + lesson.value(QStringLiteral("HORA"));
        for (const Record &p : table("DIASHORAST")) {
            if (p.value(QStringLiteral("DIHO")) == key
                && p.value(QStringLiteral("MARCO")) == lesson.value(QStringLiteral("MARCO")).left(1))
                return &p;
        }
        return nullptr;
    }

    void regular(const Record &lesson, const QString &employee, const Record *period, const QString &slot, int start,
        int end, Expected &e) const
    {
        const QString asig = lesson.value(QStringLiteral("ASIG")), codGrupo = lesson.value(QStringLiteral("CODGRUPO"));
        const QString tarea = lesson.value(QStringLiteral("TAREA"));
        const Record *group = firstWhere(table("GRUPOST"), QStringLiteral("ABREV"), codGrupo);
        const QString unit = group ? group->value(QStringLiteral("CLAVE")) : QString();
        // The assignment the lesson came from: the first one with a level, else the last.
        QString subject, course, level;
        for (const Record &a : table("ASIGT")) {
            if (a.value(QStringLiteral("CASIG")) != asig || a.value(QStringLiteral("CGRUP")) != codGrupo)
                continue;
            subject = a.value(QStringLiteral("CLAVE"));
            course = a.value(QStringLiteral("CLAVECURSO"));
            level = a.value(QStringLiteral("X_NIVCONPAGLEG"));
            if (!AllTrim(level).isEmpty())
                break;
        }
        if (AllTrim(course).isEmpty() && group)
            course = group->value(QStringLiteral("CLAVECURSO"));
        if (AllTrim(subject).isEmpty()) {
            for (const Record &s : table("ASIGNOMT2")) {
                if (s.value(QStringLiteral("COD")) == asig && s.value(QStringLiteral("OFERTAMATRI")) == course) {
                    subject = s.value(QStringLiteral("MATERIA"));
                    break;
                }
            }
        }
        QString task = tarea;
        if (AllTrim(task).isEmpty()) {
            if (const Record *s = firstWhere(table("ASIGNOMT"), QStringLiteral("COD"), asig))
                task = s->value(QStringLiteral("CODTAREA"));
        }
        const QString flags = m_facts.flagsOfTask.value(tarea);
        e.flagPairs.insert(flags);
        if ((flags.startsWith(QLatin1Char('S')) && AllTrim(unit).isEmpty())
            || (flags.mid(1, 1) == QLatin1String("S") && AllTrim(subject).isEmpty())) {
            ++e.dropped;
            return;
        }
        if (flags.mid(1, 1) == QLatin1String("N"))
            subject.clear();
        if (AllTrim(task).isEmpty())
            task = QStringLiteral("1");
        const QString room = AllTrim(lesson.value(QStringLiteral("AULA"))).isEmpty()
            ? QString()
            : lesson.value(QStringLiteral("AULA"));

        if (!room.isEmpty() && !m_facts.rooms.contains(room))
            e.problems << QStringLiteral("dependencia %1 no está en DEPENDENCIAS").arg(room);
        if (!unit.isEmpty() && m_facts.courseOfUnit.value(unit) != course)
            e.problems << QStringLiteral("unidad %1 no es del curso %2").arg(unit, course);
        if (!subject.isEmpty() && !m_facts.offers.contains(course + QLatin1Char('|') + subject))
            e.problems << QStringLiteral("materia %1 no se oferta en el curso %2").arg(subject, course);
        if (task != QLatin1String("1") && !m_facts.flagsOfTask.contains(task))
            e.problems << QStringLiteral("actividad %1 no está en ACTIVIDADES").arg(task);

        QString authorisation = QStringLiteral("(ninguna)");
        const QString category = m_facts.categoryOfOrigin.value(lesson.value(QStringLiteral("CCONCIERTO")));
        if (m_facts.catalogues && !AllTrim(lesson.value(QStringLiteral("CCONCIERTO"))).isEmpty() && !category.isEmpty()
            && !AllTrim(level).isEmpty()) {
            // A single space when no entry authorises it; it may come back empty.
            authorisation = m_facts.authorisations.value(QStringList{task, category, level}.join(QLatin1Char('|')));
            ++(authorisation.isEmpty() ? e.unauthorised : e.authorised);
        } else {
            ++e.withoutAuthorisation;
        }
        e.regular.push_back(regularLesson(
            {employee, period ? period->value(QStringLiteral("DIA")) : QString(), slot, room, unit, course, subject,
                m_facts.firstDay, m_facts.lastDay, QString::number(start), QString::number(end), task, authorisation}));
    }

    SenecaFacts m_facts;
    QDir m_dir;
    QHash<QString, std::vector<Record>> m_tables;
};

// The timetable document, teacher group by teacher group.
struct Document {
    std::vector<QString> regular, nonRegular;
    int regularTeachers = -1, nonRegularTeachers = -1; // registros of the sections
    QSet<QString> regularEmployees, nonRegularEmployees;
    QStringList problems;
};

QHash<QString, QString> datosOf(xml::Node group)
{
    QHash<QString, QString> datos;
    for (xml::Node d : xml::childElements(group, "dato"))
        datos.insert(xml::attribute(d, "nombre_dato"), xml::text(d));
    return datos;
}

void readSection(const xml::Document &doc, const char *section, const char *prefix, Document &out, bool regular)
{
    const std::vector<xml::Node> sections
        = doc.select(QStringLiteral("/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"%1\"]").arg(QLatin1String(section)));
    if (sections.size() != 1) {
        out.problems << QStringLiteral("%1 aparece %2 veces").arg(QLatin1String(section)).arg(sections.size());
        return;
    }
    (regular ? out.regularTeachers : out.nonRegularTeachers) = xml::attribute(sections.front(), "registros").toInt();
    int n = 0;
    for (xml::Node teacher : xml::childElements(sections.front(), "grupo_datos")) {
        ++n;
        if (xml::attribute(teacher, "seq") != QLatin1String(prefix) + QString::number(n))
            out.problems << QStringLiteral("grupo %1 fuera de orden").arg(xml::attribute(teacher, "seq"));
        const QHash<QString, QString> own = datosOf(teacher);
        const QString employee = own.value(QStringLiteral("X_EMPLEADO"));
        (regular ? out.regularEmployees : out.nonRegularEmployees).insert(employee);
        const std::vector<xml::Node> lessons = xml::childElements(teacher, "grupo_datos");
        if (xml::attribute(teacher, "registros").toInt() != int(lessons.size()))
            out.problems << QStringLiteral("%1: registros %2 y %3 grupos")
                                .arg(xml::attribute(teacher, "seq"), xml::attribute(teacher, "registros"),
                                    QString::number(lessons.size()));
        int k = 0;
        for (xml::Node lesson : lessons) {
            if (xml::attribute(lesson, "seq") != QStringLiteral("ACTIVIDAD_%1").arg(++k))
                out.problems << QStringLiteral("%1 fuera de orden").arg(xml::attribute(lesson, "seq"));
            const QHash<QString, QString> d = datosOf(lesson);
            if (!regular) {
                out.nonRegular.push_back(
                    QStringList{employee, d.value(QStringLiteral("X_ACTIVIDAD")), d.value(QStringLiteral("N_MINSEN"))}
                        .join(QLatin1Char('|')));
                continue;
            }
            QString authorisation = QStringLiteral("(ninguna)");
            if (d.contains(QStringLiteral("X_ORIHORACTETP")))
                authorisation = AllTrim(d.value(QStringLiteral("X_ORIHORACTETP")));
            out.regular.push_back(regularLesson({employee, d.value(QStringLiteral("N_DIASEMANA")),
                d.value(QStringLiteral("X_TRAMO")), d.value(QStringLiteral("X_DEPENDENCIA")),
                d.value(QStringLiteral("X_UNIDAD")), d.value(QStringLiteral("X_OFERTAMATRIG")),
                d.value(QStringLiteral("X_MATERIAOMG")), d.value(QStringLiteral("F_INICIO")),
                d.value(QStringLiteral("F_FIN")), d.value(QStringLiteral("N_HORINI")),
                d.value(QStringLiteral("N_HORFIN")), d.value(QStringLiteral("X_ACTIVIDAD")), authorisation}));
        }
    }
}

Document readDocument(const QString &path)
{
    const xml::Document doc = xml::Document::load(path);
    Document out;
    readSection(doc, "HORARIOS_NO_REGULARES", "HORARIO_NO_REGULAR_PROFESOR_", out, false);
    readSection(doc, "HORARIOS_REGULARES", "HORARIO_REGULAR_PROFESOR_", out, true);
    return out;
}

// The lessons of one side that the other side lacks, for a readable failure.
QStringList missingFrom(std::vector<QString> expected, std::vector<QString> actual)
{
    std::sort(expected.begin(), expected.end());
    std::sort(actual.begin(), actual.end());
    std::vector<QString> missing;
    std::set_difference(expected.begin(), expected.end(), actual.begin(), actual.end(), std::back_inserter(missing));
    QStringList list;
    for (std::size_t i = 0; i < missing.size() && i < 10; ++i)
        list << missing[i];
    if (missing.size() > 10)
        list << QStringLiteral("... y %1 más").arg(missing.size() - 10);
    return list;
}

const QStringList kExportTables = {QStringLiteral("PERIODOS.DBF"), QStringLiteral("CURSOST.DBF"),
    QStringLiteral("CURSOST2.DBF"), QStringLiteral("ASIGNOMT.DBF"), QStringLiteral("ASIGNOMT2.DBF"),
    QStringLiteral("PROFT.DBF"), QStringLiteral("AULAT.DBF"), QStringLiteral("GRUPOST.DBF"),
    QStringLiteral("ASIGT.DBF"), QStringLiteral("DIASHORAST.DBF"), QStringLiteral("ORIGENES_C.DBF"),
    QStringLiteral("NIVELES_C.DBF"), QStringLiteral("CUR_NIV_C.DBF"), QStringLiteral("AUTORIZA_C.DBF")};

// Runs the three programs on a school and checks the document lesson by lesson.
// Also checks that the school exercised what a school should: every export step,
// both sections, both frames, all four flag pairs, drops, and the outcomes of the
// authorisation: found, and left out; not found (a single space) where the school
// plants such a lesson, as the example does.
void checkRoundTrip(const School &school, const QString &ktemp, bool plantsAnUnauthorisedLesson = false)
{
    const ToolRun exported = exportSchool(school, ktemp);
    ASSERT_EQ(exported.status, 0) << exported.describe().toStdString();
    for (const QString &name : kExportTables) {
        const std::vector<Record> records = readTable(QDir(ktemp).filePath(name));
        EXPECT_FALSE(records.empty()) << name.toStdString() << " quedó vacía: la escuela no ejercita su paso";
        // The summary names each table with the records it holds.
        const QString line = QStringLiteral("\n  %1: %2 registro").arg(name).arg(records.size());
        EXPECT_TRUE(exported.out.contains(line)) << line.toStdString() << " falta en\n" << exported.out.toStdString();
    }

    const ToolRun placed = placeLessons(ktemp);
    ASSERT_EQ(placed.status, 0) << placed.describe().toStdString();
    EXPECT_EQ(skippedLessons(placed), 0) << placed.out.toStdString();

    const ToolRun imported = importSchool(school, ktemp);
    ASSERT_EQ(imported.status, 0) << imported.describe().toStdString();
    const QString output = QFileInfo(school.seneca).dir().filePath(QStringLiteral("ResultadoHoravoseneca.xml"));
    ASSERT_TRUE(QFile::exists(output)) << imported.describe().toStdString();

    const RoundTrip trip(school, ktemp);
    const Expected expected = trip.expected();
    const Document document = readDocument(output);
    EXPECT_TRUE(expected.problems.isEmpty()) << expected.problems.mid(0, 10).join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(document.problems.isEmpty()) << document.problems.mid(0, 10).join(QLatin1Char('\n')).toStdString();

    EXPECT_EQ(document.regularTeachers, trip.teacherCount());
    EXPECT_EQ(document.nonRegularTeachers, trip.teacherCount());
    EXPECT_EQ(document.regularEmployees, document.nonRegularEmployees);

    EXPECT_EQ(document.regular.size(), expected.regular.size());
    EXPECT_EQ(missingFrom(expected.regular, document.regular), QStringList()) << "lecciones que faltan en el documento";
    EXPECT_EQ(missingFrom(document.regular, expected.regular), QStringList())
        << "lecciones que el documento no debería tener";
    EXPECT_EQ(document.nonRegular.size(), expected.nonRegular.size());
    EXPECT_EQ(missingFrom(expected.nonRegular, document.nonRegular), QStringList()) << "no regulares que faltan";
    EXPECT_EQ(missingFrom(document.nonRegular, expected.nonRegular), QStringList()) << "no regulares de más";

    const QRegularExpressionMatch dropped
        = QRegularExpression(QStringLiteral("descartadas: (\\d+)")).match(imported.err + imported.out);
    if (dropped.hasMatch()) {
        EXPECT_EQ(dropped.captured(1).toInt(), expected.dropped);
    }

    // What the school must exercise for this test to mean something.
    EXPECT_GT(expected.dropped, 0);
    EXPECT_FALSE(expected.nonRegular.empty());
    for (const char *pair : {"SS", "SN", "NS", "NN"})
        EXPECT_TRUE(expected.flagPairs.contains(QLatin1String(pair))) << pair;
    EXPECT_TRUE(expected.frames.contains(QStringLiteral("0")) && expected.frames.contains(QStringLiteral("1")));
    EXPECT_GT(expected.authorised, 0);
    if (plantsAnUnauthorisedLesson)
        EXPECT_GT(expected.unauthorised, 0);
    else
        EXPECT_EQ(expected.unauthorised, 0);
    EXPECT_GT(expected.withoutAuthorisation, 0);
}

} // namespace

TEST(RoundTrip, TheExampleSchoolReachesSenecaLessonByLesson)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const School school = exampleSchool(dir.path());
    checkRoundTrip(school, dir.filePath(QStringLiteral("KTEMP")), true);
}

// The import's own document lies beside the real files, in the same folder: chosen
// for either input of the next export it is refused before anything is written,
// with a message that names it and says what it looks like.
TEST(RoundTrip, TheImportsOwnDocumentIsRefusedAsEitherInputOfTheExport)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const School school = exampleSchool(dir.path());
    const QString ktemp = dir.filePath(QStringLiteral("KTEMP"));
    ASSERT_EQ(exportSchool(school, ktemp).status, 0);
    ASSERT_EQ(placeLessons(ktemp).status, 0);
    ASSERT_EQ(importSchool(school, ktemp).status, 0);
    const QString timetable = importedDocument(school);
    ASSERT_TRUE(QFile::exists(timetable));
    const working_folder::Files before = working_folder::files(ktemp);

    School asPlanning = school;
    asPlanning.planning = timetable;
    School asSeneca = school;
    asSeneca.seneca = timetable;
    for (const School &wrong : {asPlanning, asSeneca}) {
        const ToolRun run = exportSchool(wrong, ktemp);
        EXPECT_EQ(run.status, 1) << run.describe().toStdString();
        EXPECT_TRUE(run.err.contains(QDir::toNativeSeparators(timetable))) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QStringLiteral("parece un documento de horarios para subir a Séneca")))
            << run.err.toStdString();
        EXPECT_EQ(working_folder::differences(working_folder::files(ktemp), before), QStringList());
    }
}

TEST(RoundTrip, AGeneratedSchoolReachesSenecaLessonByLesson)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ToolRun generated;
    const School school = generatedSchool(dir.path(), 0.05, 3, &generated);
    ASSERT_EQ(generated.status, 0) << generated.describe().toStdString();
    checkRoundTrip(school, dir.filePath(QStringLiteral("KTEMP")));
}

// Two teachers whose initials lie outside Windows-1252 (Ł Ż Ś and Ć Ė Ū), and a
// course with 60 units, so that group letters run past "Z" and through the upper
// half of the code page. Every code must stay unique as stored, and each teacher
// must get their own lessons back.
TEST(RoundTrip, InitialsOutsideTheCodePageAndSixtyUnitsOfOneCourseKeepEveryLessonWithItsOwner)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const School school = exampleSchool(dir.path());
    QFile file(school.seneca);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray xml = file.readAll();
    file.close();
    const auto replaceOnce = [&xml](const QByteArray &from, const QByteArray &to) {
        const qsizetype at = xml.indexOf(from);
        ASSERT_GE(at, 0) << from.toStdString();
        xml.replace(at, from.size(), to);
    };
    // García Pérez Luis and Gómez Prieto Lucía: GPL and GPL1 before.
    replaceOnce("\"T_APELLIDO1\">Garc\xED"
                "a<",
        "\"T_APELLIDO1\">&#321;ukasik<");
    replaceOnce("\"T_APELLIDO2\">P\xE9rez<", "\"T_APELLIDO2\">&#379;ak<");
    replaceOnce("\"T_NOMBRE\">Luis<", "\"T_NOMBRE\">&#346;wiatos&#322;aw<");
    replaceOnce("\"T_APELLIDO1\">G\xF3mez<", "\"T_APELLIDO1\">&#262;wik<");
    replaceOnce("\"T_APELLIDO2\">Prieto<", "\"T_APELLIDO2\">&#278;glis<");
    replaceOnce("\"T_NOMBRE\">Luc\xED"
                "a<",
        "\"T_NOMBRE\">&#362;la<");
    QByteArray units;
    for (int i = 0; i < 57; ++i) {
        units += QStringLiteral("<grupo_datos seq=\"EXTRA_%1\"><dato nombre_dato=\"X_UNIDAD\">79%2</dato>"
                                "<dato nombre_dato=\"T_NOMBRE\">1 ESO extra %1</dato>"
                                "<dato nombre_dato=\"X_OFERTAMATRIG\">6021</dato></grupo_datos>\n")
                     .arg(i)
                     .arg(i, 3, 10, QLatin1Char('0'))
                     .toLatin1();
    }
    replaceOnce("<grupo_datos seq=\"UNIDADES\" registros=\"13\">\n",
        "<grupo_datos seq=\"UNIDADES\" registros=\"70\">\n" + units);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(xml);
    file.close();

    const QString ktemp = dir.filePath(QStringLiteral("KTEMP"));
    checkRoundTrip(school, ktemp, true);

    // Codes as stored: unique (letter case aside), and no DEL or undefined byte.
    const auto checkCodes = [&](const char *table, const char *field) {
        dbf::Table stored(QDir(ktemp).filePath(QString::fromLatin1(table)));
        stored.open(dbf::Table::Access::ReadShared);
        const int column = stored.fieldIndex(QString::fromLatin1(field));
        QSet<QString> seen;
        for (int row : stored.liveRows()) {
            const QString code = stored.text(row, column);
            EXPECT_FALSE(seen.contains(code.toCaseFolded())) << table << " " << code.toStdString();
            seen.insert(code.toCaseFolded());
            for (QChar c : code) {
                EXPECT_TRUE(c.isPrint() && c != QChar(0x7F) && c != QChar(0x81) && c != QChar(0x8D) && c != QChar(0x8F)
                    && c != QChar(0x90) && c != QChar(0x9D))
                    << table << " " << code.toStdString();
            }
        }
        return seen;
    };
    const QSet<QString> teachers = checkCodes("PROFT.DBF", "ABREV");
    EXPECT_TRUE(teachers.contains(QStringLiteral("lzs")) && teachers.contains(QStringLiteral("ceu")));
    EXPECT_EQ(checkCodes("GRUPOST.DBF", "ABREV").size(), 70);
}
