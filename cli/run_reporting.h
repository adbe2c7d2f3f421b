#pragma once
// Turns the errors of a command body into the message and exit status the person sees.

#include "cli/cli_interface.h"
#include "cli/commands.h"

#include <QCommandLineParser>

template <typename Body> int runReportingErrors(Body body)
{
    try {
        return body();
    } catch (const DecisionMissing &decision) {
        standardError() << decision.message() << Qt::endl;
        return exit_status::decisionMissing;
    } catch (const UserError &error) {
        standardError() << error.message() << Qt::endl;
        return exit_status::error;
    } catch (const std::bad_alloc &) {
        standardError() << "No hay memoria suficiente para terminar el proceso." << Qt::endl;
        return exit_status::error;
    }
}

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
