// school_generator: writes a synthetic school of any size for tests and benchmarks.
//   school_generator --seed N --scale X --out DIR
// The same seed and scale give the same files, byte for byte, on every machine.
#include "common/platform.h"
#include "common/user_error.h"
#include "tools/school_files.h"
#include "tools/school_model.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    platform::prepareProcess();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("school_generator"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Escribe un centro sintético (seneca.xml, planificacion.xml, niveles.csv y marcos.txt) para pruebas y "
        "mediciones. Escala 1 es un centro grande: unos 150 profesores, 60 unidades, 40 cursos, 1.200 materias."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption seed(
        QStringLiteral("seed"), QStringLiteral("Semilla (por defecto 1)."), QStringLiteral("N"), QStringLiteral("1"));
    const QCommandLineOption scale(
        QStringLiteral("scale"), QStringLiteral("Tamaño (por defecto 1)."), QStringLiteral("X"), QStringLiteral("1"));
    const QCommandLineOption out(
        QStringLiteral("out"), QStringLiteral("Carpeta donde escribir los archivos."), QStringLiteral("DIR"));
    parser.addOptions({seed, scale, out});
    // Help and errors in UTF-8, as the tool writes everything (Qt's own would use
    // the system's code page on Windows).
    if (!parser.parse(app.arguments()) || parser.isSet(help)) {
        const bool asked = parser.isSet(help);
        std::fprintf(asked ? stdout : stderr, "%s%s",
            asked ? "" : qUtf8Printable(parser.errorText() + QLatin1Char('\n')), qUtf8Printable(parser.helpText()));
        return asked ? 0 : 2;
    }

    bool seedOk = false, scaleOk = false;
    const uint seedValue = parser.value(seed).toUInt(&seedOk);
    const double scaleValue = parser.value(scale).toDouble(&scaleOk);
    if (!seedOk || !scaleOk || scaleValue <= 0 || scaleValue > 1000 || !parser.isSet(out)) {
        std::fprintf(stderr, "%s", qUtf8Printable(parser.helpText()));
        return 2;
    }
    const QDir dir(QDir::current().absoluteFilePath(parser.value(out)));
    try {
        if (!QDir().mkpath(dir.path()))
            throw UserError(
                QStringLiteral("No se pudo crear la carpeta %1.").arg(QDir::toNativeSeparators(dir.path())));
        const school::School school = school::generateSchool(seedValue, scaleValue);
        school::writeSeneca(school, dir.filePath(QStringLiteral("seneca.xml")));
        school::writePlanning(school, dir.filePath(QStringLiteral("planificacion.xml")));
        school::writeLevels(school, dir.filePath(QStringLiteral("niveles.csv")));
        school::writeFrameCodes(school, dir.filePath(QStringLiteral("marcos.txt")));
        std::size_t assignments = 0;
        for (const auto &teacher : school.planning)
            assignments += teacher.assignments.size();
        std::printf("%s: %zu profesores, %zu unidades, %zu cursos, %zu materias, %zu actividades, %zu dependencias, "
                    "%zu tramos; planificación: %zu profesores, %zu asignaciones\n",
            qUtf8Printable(QDir::toNativeSeparators(dir.path())), school.teachers.size(), school.units.size(),
            school.courses.size(), school.subjects.size(), school.activities.size(), school.rooms.size(),
            school.slots.size(), school.planning.size(), assignments);
    } catch (const UserError &error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
