// The example school and the school generator: the same variety in both (what a
// round trip must exercise), codes that agree across groups and documents, and a
// generator that is deterministic for a seed and grows linearly with the scale.
#include "round_trip_support.h"

#include <QRegularExpression>
#include <QSet>

#include <map>

namespace {

using namespace round_trip;

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool isWholeNumber(const QString &text)
{
    static const QRegularExpression digits(QStringLiteral("^-?\\d+$"));
    return digits.match(text).hasMatch();
}

QSet<QString> valuesAt(const ExchangeDocument &doc, const char *group, int position)
{
    QSet<QString> values;
    for (const ExchangeRecord &r : doc.records(QString::fromLatin1(group)))
        values.insert(r.value(position));
    return values;
}

// Everything a school must offer for the round trip to exercise every export step
// and both import sections. Returns what is missing or inconsistent.
QStringList varietyProblems(const School &school)
{
    QStringList problems;
    const auto require = [&](bool ok, const QString &what) {
        if (!ok)
            problems << what;
    };
    for (const QString &path : {school.seneca, school.planning}) {
        const QByteArray bytes = fileBytes(path);
        require(
            bytes.startsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), path + QStringLiteral(": ISO-8859-1"));
        require(std::any_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) >= 0xC0; }),
            path + QStringLiteral(": letras con tilde en Latin-1"));
    }
    const ExchangeDocument seneca = ExchangeDocument::load(school.seneca);
    const ExchangeDocument planning = ExchangeDocument::load(school.planning);

    // The academic year's own values come first; the second group has none.
    const std::vector<xml::Node> top = seneca.topLevelGroups();
    require(top.size() > 2, QStringLiteral("grupos de primer nivel"));
    if (top.size() > 2) {
        const ExchangeRecord year(top[0]);
        static const QRegularExpression date(QStringLiteral("^\\d\\d/\\d\\d/\\d\\d\\d\\d$"));
        require(year.value(0) == QLatin1String("2025") && date.match(year.value(1)).hasMatch()
                && date.match(year.value(2)).hasMatch(),
            QStringLiteral("año académico 2025 con fechas dd/mm/aaaa"));
        require(ExchangeRecord(top[1]).count() <= 1, QStringLiteral("un solo registro de PERIODOS"));
    }
    for (const char *group : {"JORNADAS_ESCOLARES", "TRAMOS_HORARIOS", "CURSOS_DEL_CENTRO", "UNIDADES", "MATERIAS",
             "ACTIVIDADES", "EMPLEADOS", "DEPENDENCIAS", "ORIGENES", "NIVELES", "CURSOS_NIVELES", "AUTORIZACIONES"})
        require(!seneca.records(QString::fromLatin1(group)).empty(), QString::fromLatin1(group));

    // Two frames whose first periods start at different times.
    const QSet<QString> frames = valuesAt(seneca, "JORNADAS_ESCOLARES", 0);
    require(frames.size() == 2, QStringLiteral("dos marcos"));
    std::map<QString, int> firstStart;
    for (const ExchangeRecord &slot : seneca.records(QStringLiteral("TRAMOS_HORARIOS"))) {
        require(frames.contains(slot.value(4)), QStringLiteral("tramo de un marco conocido"));
        const int start = slot.value(2).toInt();
        if (!firstStart.count(slot.value(4)) || start < firstStart[slot.value(4)])
            firstStart[slot.value(4)] = start;
    }
    require(firstStart.size() == 2 && firstStart.begin()->second != firstStart.rbegin()->second,
        QStringLiteral("marcos con distinto comienzo"));

    // Activities of both markers and all four pairs of requirement flags.
    QSet<QString> markers, flagPairs, activities;
    for (const ExchangeRecord &a : seneca.records(QStringLiteral("ACTIVIDADES"))) {
        markers.insert(a.value(0));
        flagPairs.insert(a.value(3) + a.value(4));
        activities.insert(a.value(1));
    }
    require(markers == QSet<QString>({QStringLiteral("N"), QStringLiteral("S")}), QStringLiteral("marcas N y S"));
    for (const char *pair : {"SS", "SN", "NS", "NN"})
        require(flagPairs.contains(QLatin1String(pair)), QStringLiteral("banderas %1").arg(QLatin1String(pair)));

    // Subjects repeat across courses; positions 1 and 2 carry the two names.
    const QSet<QString> courses = valuesAt(seneca, "CURSOS_DEL_CENTRO", 0);
    QHash<QString, QSet<QString>> coursesOfName;
    QSet<QString> offers;
    for (const ExchangeRecord &m : seneca.records(QStringLiteral("MATERIAS"))) {
        require(serialisedNameIs(m.serialisedValue(1), QStringLiteral("D_MATERIAC"))
                && serialisedNameIs(m.serialisedValue(2), QStringLiteral("X_MATERIAOMG")),
            QStringLiteral("MATERIAS con D_MATERIAC y X_MATERIAOMG"));
        require(courses.contains(m.value(0)), QStringLiteral("materia de un curso conocido"));
        coursesOfName[m.value(1)].insert(m.value(0));
        offers.insert(m.value(0) + QLatin1Char('|') + m.value(2));
    }
    require(
        std::any_of(coursesOfName.begin(), coursesOfName.end(), [](const QSet<QString> &c) { return c.size() > 1; }),
        QStringLiteral("materias repetidas en varios cursos"));
    QHash<QString, QString> courseOfUnit;
    for (const ExchangeRecord &u : seneca.records(QStringLiteral("UNIDADES"))) {
        require(courses.contains(u.value(2)), QStringLiteral("unidad de un curso conocido"));
        courseOfUnit.insert(u.value(0), u.value(2));
    }

    // The four catalogues, with whole-number codes that refer to each other.
    const QSet<QString> categories = valuesAt(seneca, "ORIGENES", 0), levels = valuesAt(seneca, "NIVELES", 0);
    const QSet<QString> originKeys = valuesAt(seneca, "ORIGENES", 1);
    for (const QString &code : categories + levels + courses)
        require(isWholeNumber(code), QStringLiteral("código entero %1").arg(code));
    for (const ExchangeRecord &c : seneca.records(QStringLiteral("CURSOS_NIVELES")))
        require(
            courses.contains(c.value(0)) && levels.contains(c.value(1)), QStringLiteral("CURSOS_NIVELES coherente"));
    for (const ExchangeRecord &a : seneca.records(QStringLiteral("AUTORIZACIONES"))) {
        require(isWholeNumber(a.value(0)) && activities.contains(a.value(1)) && categories.contains(a.value(2))
                && levels.contains(a.value(3)),
            QStringLiteral("AUTORIZACIONES coherente"));
    }

    // The levels CSV answers the course dialog for every course, ESO and Bachillerato.
    const QStringList lines = QString::fromUtf8(fileBytes(school.levels)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    require(
        !lines.isEmpty() && lines.front() == QLatin1String("CLAVE;NIVEL;CURSO;ESTUD"), QStringLiteral("cabecera CSV"));
    QSet<QString> csvCourses, csvLevels;
    for (const QString &line : lines.mid(1)) {
        csvCourses.insert(line.section(QLatin1Char(';'), 0, 0));
        csvLevels.insert(line.section(QLatin1Char(';'), 1, 1));
    }
    require(csvCourses == courses, QStringLiteral("el CSV cubre todos los cursos"));
    require(csvLevels.contains(QStringLiteral("ESO")) && csvLevels.contains(QStringLiteral("BCT")),
        QStringLiteral("niveles de ESO y Bachillerato"));

    // Planning: PROFESOR_n groups with the teacher's id and e-mail, assignments that
    // name Séneca's codes, teachers on both sides only, one without assignments,
    // and a unit Séneca does not know.
    const QSet<QString> employees = valuesAt(seneca, "EMPLEADOS", 0);
    QSet<QString> planned;
    bool withoutAssignments = false, unknownUnit = false;
    int n = 0;
    for (xml::Node group : planning.topLevelGroups()) {
        ++n;
        require(xml::attribute(group, "seq") == QStringLiteral("PROFESOR_%1").arg(n),
            QStringLiteral("PROFESOR_n en orden"));
        const ExchangeRecord teacher(group);
        planned.insert(teacher.value(0));
        require(teacher.value(3).contains(QLatin1Char('@')), QStringLiteral("correo en la posición 3"));
        const std::vector<ExchangeRecord> assignments = planning.records(QStringLiteral("PROFESOR_%1").arg(n));
        withoutAssignments |= assignments.empty();
        for (const ExchangeRecord &a : assignments) {
            require(a.count() == 13, QStringLiteral("asignación de 13 datos"));
            if (!a.rawValue(1).isEmpty())
                require(offers.contains(a.rawValue(2) + QLatin1Char('|') + a.rawValue(1)),
                    QStringLiteral("materia ofertada"));
            if (!a.rawValue(4).isEmpty()) {
                unknownUnit |= !courseOfUnit.contains(a.rawValue(4));
                require(!courseOfUnit.contains(a.rawValue(4)) || courseOfUnit.value(a.rawValue(4)) == a.rawValue(2),
                    QStringLiteral("unidad del curso de la asignación"));
            }
            require(a.rawValue(5).isEmpty() || levels.contains(a.rawValue(5)), QStringLiteral("nivel conocido"));
            require(QRegularExpression(QStringLiteral("^\\d+$")).match(a.rawValue(7)).hasMatch(),
                QStringLiteral("sesiones"));
            require(a.rawValue(10).isEmpty() || originKeys.contains(a.rawValue(10)), QStringLiteral("origen conocido"));
            require(activities.contains(a.rawValue(12)), QStringLiteral("actividad conocida"));
        }
    }
    require(!(employees - planned).isEmpty(), QStringLiteral("profesores sin grupo en la planificación"));
    require(!(planned - employees).isEmpty(), QStringLiteral("profesor de la planificación que no está en EMPLEADOS"));
    require(withoutAssignments, QStringLiteral("profesor sin asignaciones"));
    require(unknownUnit, QStringLiteral("unidad desconocida para Séneca"));
    return problems;
}

std::map<QString, int> groupSizes(const School &school)
{
    const ExchangeDocument seneca = ExchangeDocument::load(school.seneca);
    std::map<QString, int> sizes;
    for (const char *group : {"EMPLEADOS", "UNIDADES", "CURSOS_DEL_CENTRO", "MATERIAS", "ACTIVIDADES", "DEPENDENCIAS",
             "JORNADAS_ESCOLARES", "TRAMOS_HORARIOS"})
        sizes[QString::fromLatin1(group)] = int(seneca.records(QString::fromLatin1(group)).size());
    return sizes;
}

} // namespace

TEST(ExampleSchool, HasTensOfTeachersAndEverythingARoundTripExercises)
{
    QTemporaryDir dir;
    const School school = exampleSchool(dir.path());
    EXPECT_EQ(varietyProblems(school), QStringList());
    const int teachers = groupSizes(school)[QStringLiteral("EMPLEADOS")];
    EXPECT_GE(teachers, 20);
    EXPECT_LT(teachers, 100);
}

TEST(SchoolGenerator, WritesASchoolWithTheVarietyOfTheExample)
{
    for (const double scale : {0.05, 0.5}) {
        QTemporaryDir dir;
        ToolRun run;
        const School school = generatedSchool(dir.path(), scale, 4, &run);
        ASSERT_EQ(run.status, 0) << run.describe().toStdString();
        EXPECT_EQ(varietyProblems(school), QStringList()) << "scale " << scale;
    }
}

TEST(SchoolGenerator, TheSameSeedGivesTheSameFilesByteForByte)
{
    QTemporaryDir first, second, other;
    const School a = generatedSchool(first.path(), 0.2, 5);
    const School b = generatedSchool(second.path(), 0.2, 5);
    const School c = generatedSchool(other.path(), 0.2, 6);
    for (const auto &[x, y] :
        {std::pair{a.seneca, b.seneca}, {a.planning, b.planning}, {a.levels, b.levels}, {a.frames, b.frames}}) {
        EXPECT_FALSE(fileBytes(x).isEmpty()) << x.toStdString();
        EXPECT_EQ(fileBytes(x), fileBytes(y)) << x.toStdString();
    }
    EXPECT_NE(fileBytes(a.seneca), fileBytes(c.seneca)) << "another seed gives another school";
}

TEST(SchoolGenerator, ScaleOneIsALargeSchoolAndEveryCountGrowsLinearly)
{
    QTemporaryDir one, half;
    const std::map<QString, int> large = groupSizes(generatedSchool(one.path(), 1, 1));
    const std::map<QString, int> expected = {{QStringLiteral("EMPLEADOS"), 150}, {QStringLiteral("UNIDADES"), 60},
        {QStringLiteral("CURSOS_DEL_CENTRO"), 40}, {QStringLiteral("MATERIAS"), 1200},
        {QStringLiteral("ACTIVIDADES"), 120}, {QStringLiteral("DEPENDENCIAS"), 70},
        {QStringLiteral("JORNADAS_ESCOLARES"), 2}, {QStringLiteral("TRAMOS_HORARIOS"), 14}};
    EXPECT_EQ(large, expected);

    std::map<QString, int> halved = expected;
    for (auto &[group, count] : halved) {
        if (group != QLatin1String("JORNADAS_ESCOLARES") && group != QLatin1String("TRAMOS_HORARIOS"))
            count /= 2;
    }
    EXPECT_EQ(groupSizes(generatedSchool(half.path(), 0.5, 1)), halved);
}

TEST(SchoolGenerator, RefusesAMissingFolderOrAScaleThatIsNotPositive)
{
    QTemporaryDir dir;
    const QStringList cases[] = {
        {QStringLiteral("--scale"), QStringLiteral("1")},
        {QStringLiteral("--scale"), QStringLiteral("0"), QStringLiteral("--out"), dir.path()},
        {QStringLiteral("--scale"), QStringLiteral("mucho"), QStringLiteral("--out"), dir.path()},
        {QStringLiteral("--seed"), QStringLiteral("-3"), QStringLiteral("--out"), dir.path()},
    };
    for (const QStringList &arguments : cases) {
        const ToolRun run = runTool("school_generator", arguments);
        EXPECT_EQ(run.status, 2) << arguments.join(QLatin1Char(' ')).toStdString();
        EXPECT_FALSE(QFile::exists(QDir(dir.path()).filePath(QStringLiteral("seneca.xml"))));
    }
}
