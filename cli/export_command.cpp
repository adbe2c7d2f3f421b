// transhoravo export: the export with the dialogs answered from options.
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/dialog_answers.h"
#include "cli/run_reporting.h"
#include "export/export_run.h"

#include <QCoreApplication>
#include <QDir>

int exportCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Pasa los datos de un archivo XML de Séneca y otro de Planificación a las tablas dBase de Horavent."));
    const QCommandLineOption seneca(
        QStringLiteral("seneca"), QStringLiteral("Archivo XML obtenido de Séneca."), QStringLiteral("ARCHIVO"));
    const QCommandLineOption planning(QStringLiteral("planning"),
        QStringLiteral("Archivo XML obtenido de Planificación."), QStringLiteral("ARCHIVO"));
    const QCommandLineOption ktemp = workFolderOption();
    const QCommandLineOption materias(QStringLiteral("materias"),
        QStringLiteral("Tabla de referencia de materias (por defecto SENEMATERIAS.DBF de la carpeta del programa;"
                       " instalado, la de ~/.local/share/transhoravo o la vacía del paquete)."),
        QStringLiteral("ARCHIVO"));
    const QCommandLineOption levels(QStringLiteral("levels"),
        QStringLiteral("CSV con las columnas CLAVE, NIVEL y CURSO de cada curso."), QStringLiteral("ARCHIVO"));
    const QCommandLineOption noTakeOver(QStringLiteral("no-take-over"),
        QStringLiteral("No recuperar los niveles y cursos de una exportación anterior (borra CURSOST2.DBF)."));
    const QCommandLineOption frames(QStringLiteral("frames"),
        QStringLiteral("Código del marco horario, o los dos códigos separados por una coma."),
        QStringLiteral("CÓDIGO[,CÓDIGO]"));
    parser.addOptions({seneca, planning, ktemp, materias, levels, noTakeOver, frames});
    if (const int status = parseCommand(parser, arguments); status >= 0)
        return status;
    const QString bothFiles = QStringLiteral("Indique los dos archivos XML con --seneca y --planning.");
    if (const int status = checkOptionsOnly(parser, {{seneca, bothFiles}, {planning, bothFiles}}); status >= 0)
        return status;

    CliAnswers answers;
    answers.senecaFile = QDir::current().absoluteFilePath(parser.value(seneca));
    answers.planningFile = QDir::current().absoluteFilePath(parser.value(planning));
    answers.takeOver = !parser.isSet(noTakeOver);
    answers.levelsFile = parser.value(levels);
    answers.framesGiven = parser.isSet(frames);
    if (answers.framesGiven)
        answers.frames = parser.value(frames).split(QLatin1Char(','));

    Session session = sessionOf(parser, ktemp);
    if (parser.isSet(materias))
        session.materiasPath = QDir::current().absoluteFilePath(parser.value(materias));

    return runReportingErrors([&] {
        CliInterface ui(answers);
        ExportRun run(session, ui);
        installCliDecisions(run, ui);
        const ExportRun::Outcome outcome = run.run();
        if (outcome != ExportRun::Outcome::Completed)
            return exit_status::error;
        standardOutput() << ui.summaryText() << Qt::flush;
        // Every table is closed and the summary written: the documents need not be freed.
        endIfAllowed(exit_status::completed);
        return exit_status::completed;
    });
}
