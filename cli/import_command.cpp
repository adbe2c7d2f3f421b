// transhoravo import: the timetable of SOLUC back into a document for Séneca.
#include "cli/cli_interface.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/run_reporting.h"
#include "import/import_run.h"

#include <QCoreApplication>
#include <QDir>

int importCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Pasa el horario que Horavent dejó en SOLUC.DBF a un documento XML de horarios para Séneca."));
    const QCommandLineOption seneca(QStringLiteral("seneca"),
        QStringLiteral("Archivo XML de Séneca que se usó en la exportación."), QStringLiteral("ARCHIVO"));
    const QCommandLineOption ktemp = workFolderOption();
    const QCommandLineOption output(QStringLiteral("output"),
        QStringLiteral("Documento de salida (por defecto ResultadoHoravo<nombre> junto al archivo de Séneca)."),
        QStringLiteral("ARCHIVO"));
    parser.addOptions({seneca, ktemp, output});
    if (const int status = parseCommand(parser, arguments); status >= 0)
        return status;
    if (const int status = checkOptionsOnly(parser, {{seneca, senecaOptionMissing()}}); status >= 0)
        return status;

    CliAnswers answers;
    answers.senecaFile = QDir::current().absoluteFilePath(parser.value(seneca));

    Session session = sessionOf(parser, ktemp);

    return runReportingErrors([&] {
        CliInterface ui(answers);
        ImportRun run(session, ui);
        if (parser.isSet(output))
            run.setOutputPath(QDir::current().absoluteFilePath(parser.value(output)));
        if (run.run() != ImportRun::Outcome::Completed)
            return exit_status::error;
        standardOutput() << ui.summaryText() << Qt::flush;
        // The document and its report are written, the summary too: what the run
        // read need not be freed.
        endIfAllowed(exit_status::completed);
        return exit_status::completed;
    });
}
