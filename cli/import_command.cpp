// transhoravo import: the timetable of SOLUC back into a document for Séneca.
#include "cli/cli_interface.h"
#include "cli/commands.h"
#include "cli/run_reporting.h"
#include "common/default_folders.h"
#include "common/program_folders.h"
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
    const QCommandLineOption ktemp(QStringLiteral("ktemp"),
        QStringLiteral("Carpeta de trabajo de Horavent (por defecto %1).")
            .arg(QDir::toNativeSeparators(defaultWorkDir())),
        QStringLiteral("CARPETA"));
    const QCommandLineOption output(QStringLiteral("output"),
        QStringLiteral("Documento de salida (por defecto ResultadoHoravo<nombre> junto al archivo de Séneca)."),
        QStringLiteral("ARCHIVO"));
    parser.addOptions({seneca, ktemp, output});
    if (const int status = parseCommand(parser, arguments); status >= 0)
        return status;
    if (!parser.positionalArguments().isEmpty())
        return usageError(
            parser, QStringLiteral("Argumento no esperado: %1").arg(parser.positionalArguments().constFirst()));
    if (!parser.isSet(seneca))
        return usageError(parser, QStringLiteral("Indique el archivo XML de Séneca con --seneca."));

    CliAnswers answers;
    answers.senecaFile = QDir::current().absoluteFilePath(parser.value(seneca));

    Session session;
    session.workDir = parser.isSet(ktemp) ? QDir::current().absoluteFilePath(parser.value(ktemp)) : defaultWorkDir();
    const ProgramFolders folders = programFoldersOfThisProgram();
    session.programDir = folders.programDir;
    session.materiasPath = folders.materiasPath;

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
