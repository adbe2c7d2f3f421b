// transhoravo check: the timetable document against the Séneca export, before
// it is uploaded. One line per problem on standard output; the exit status says
// whether any of them is an error.
#include "cli/cli_interface.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/run_reporting.h"
#include "import/timetable_check_run.h"

#include <QDir>

int checkCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Comprueba un documento de horarios contra la exportación de Séneca antes de subirlo.\n"
                       "Estado de salida: 0 sin errores (puede haber avisos), 4 con errores, 1 si no se pudo "
                       "comprobar, 2 uso incorrecto."));
    const QCommandLineOption seneca(QStringLiteral("seneca"),
        QStringLiteral("Archivo XML exportado de Séneca del que salen los códigos."), QStringLiteral("ARCHIVO"));
    const QCommandLineOption timetable(QStringLiteral("timetable"),
        QStringLiteral("Documento XML de horarios que se va a comprobar."), QStringLiteral("ARCHIVO"));
    const QCommandLineOption html(QStringLiteral("html"),
        QStringLiteral("Escribe además el informe en HTML en este archivo."), QStringLiteral("ARCHIVO"));
    parser.addOptions({seneca, timetable, html});
    if (const int status = parseCommand(parser, arguments); status >= 0)
        return status;
    if (const int status = checkOptionsOnly(parser,
            {{seneca, senecaOptionMissing()},
                {timetable, QStringLiteral("Indique el documento de horarios con --timetable.")}});
        status >= 0)
        return status;

    const QString report = parser.isSet(html) ? QDir::current().absoluteFilePath(parser.value(html)) : QString();
    return runReportingErrors([&] {
        const TimetableCheckInput input
            = readTimetableCheckInput(QDir::current().absoluteFilePath(parser.value(seneca)),
                QDir::current().absoluteFilePath(parser.value(timetable)));
        const CheckResult result = runTimetableCheck(input.seneca, input.content, report);
        for (const CheckFinding &finding : result.findings)
            standardOutput() << check_texts::findingLine(finding) << '\n';
        standardOutput() << Qt::flush;
        standardError() << check_texts::countsSentence(result) << Qt::endl;
        if (!report.isEmpty())
            standardError() << QStringLiteral("Informe: %1").arg(QDir::toNativeSeparators(report)) << Qt::endl;
        const int status = result.errors > 0 ? exit_status::findingsWithErrors : exit_status::completed;
        // The findings and the report are written: what was read need not be freed.
        endIfAllowed(status);
        return status;
    });
}
