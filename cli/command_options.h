#pragma once
// What the commands share in reading their options: the help and version options,
// the usage errors, the options every command that takes no positional argument
// checks, and the working folder of the export and the import.

#include "cli/cli_interface.h"
#include "cli/commands.h"
#include "common/platform.h"
#include "common/program_folders.h"
#include "common/session.h"

#include <QCommandLineParser>
#include <QDir>

#include <initializer_list>

inline int usageError(const QCommandLineParser &parser, const QString &error)
{
    if (!error.isEmpty())
        standardError() << error << Qt::endl << Qt::endl;
    standardError() << parser.helpText() << Qt::flush;
    return exit_status::usage;
}

// Parses a command's options; returns -1 to go on, or the exit status to stop with.
inline int parseCommand(QCommandLineParser &parser, const QStringList &arguments)
{
    // Our own help and version options: Qt's Spanish catalogue lacks the text of
    // Qt's help option.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Muestra esta ayuda."));
    const QCommandLineOption version(
        {QStringLiteral("v"), QStringLiteral("version")}, QStringLiteral("Muestra la versión del programa."));
    parser.addOption(help);
    parser.addOption(version);
    if (!parser.parse(arguments))
        return usageError(parser, parser.errorText());
    if (parser.isSet(help)) {
        standardOutput() << parser.helpText() << Qt::flush;
        return exit_status::completed;
    }
    if (parser.isSet(version)) {
        standardOutput() << "transhoravo " << HORAVO_VERSION << Qt::endl;
        return exit_status::completed;
    }
    return -1;
}

// An option the command cannot do without, and the usage error that asks for it.
struct RequiredOption {
    const QCommandLineOption &option;
    QString missing;
};

// For a command that takes options only: refuses a positional argument, then asks
// for the first required option not given. Returns -1 to go on, or the usage status.
inline int checkOptionsOnly(const QCommandLineParser &parser, std::initializer_list<RequiredOption> required)
{
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            parser, QStringLiteral("Argumento no esperado: %1").arg(parser.positionalArguments().constFirst()));
    for (const RequiredOption &option : required) {
        if (!parser.isSet(option.option))
            return usageError(parser, option.missing);
    }
    return -1;
}

inline QString senecaOptionMissing()
{
    return QStringLiteral("Indique el archivo XML de Séneca con --seneca.");
}

// --ktemp, the timetabler's working folder.
inline QCommandLineOption workFolderOption()
{
    return QCommandLineOption(QStringLiteral("ktemp"),
        QStringLiteral("Carpeta de trabajo de Horavent (por defecto %1).")
            .arg(QDir::toNativeSeparators(platform::defaultWorkDir())),
        QStringLiteral("CARPETA"));
}

// The folders of a run: the working folder of --ktemp or the default one, and the
// program's own.
inline Session sessionOf(const QCommandLineParser &parser, const QCommandLineOption &workFolder)
{
    Session session;
    session.workDir = parser.isSet(workFolder) ? QDir::current().absoluteFilePath(parser.value(workFolder))
                                               : platform::defaultWorkDir();
    const ProgramFolders folders = programFoldersOfThisProgram();
    session.programDir = folders.programDir;
    session.materiasPath = folders.materiasPath;
    return session;
}
