// transhoravo: the converter without a window, for scripts, servers and tests.
#include "cli/cli_interface.h"
#include "cli/commands.h"
#include "common/platform.h"
#include "common/spanish_qt_texts.h"

#include <QCommandLineParser>
#include <QCoreApplication>

namespace {

const char *const kUsage = "Uso: transhoravo <orden> [opciones]\n"
                           "\n"
                           "Órdenes:\n"
                           "  export   Pasa los datos de Séneca y Planificación a las tablas de Horavent.\n"
                           "  import   Pasa el horario de Horavent (SOLUC) a un documento para Séneca.\n"
                           "  show     Muestra los campos y registros de una tabla dBase.\n"
                           "  check    Comprueba un documento de horarios contra la exportación de Séneca.\n"
                           "\n"
                           "Use 'transhoravo <orden> --help' para ver las opciones de cada orden.\n";

} // namespace

int main(int argc, char *argv[])
{
    platform::prepareProcess();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("transhoravo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HORAVO_VERSION));
    installSpanishQtTexts(app);

    const QStringList arguments = app.arguments();
    const QString command = arguments.size() > 1 ? arguments.at(1) : QString();
    QStringList rest = arguments.mid(2);
    rest.prepend(arguments.at(0) + QLatin1Char(' ') + command);

    if (command == QLatin1String("export")) {
        allowEndingWithoutCleanup();
        return exportCommand(rest);
    }
    if (command == QLatin1String("import")) {
        allowEndingWithoutCleanup();
        return importCommand(rest);
    }
    if (command == QLatin1String("show"))
        return showCommand(rest);
    if (command == QLatin1String("check")) {
        allowEndingWithoutCleanup();
        return checkCommand(rest);
    }
    if (command == QLatin1String("--help") || command == QLatin1String("-h")) {
        standardOutput() << kUsage << Qt::flush;
        return exit_status::completed;
    }
    if (command == QLatin1String("--version") || command == QLatin1String("-v")) {
        standardOutput() << "transhoravo " << HORAVO_VERSION << Qt::endl;
        return exit_status::completed;
    }
    if (command.isEmpty())
        standardError() << "Falta la orden." << Qt::endl;
    else
        standardError() << "Orden desconocida: " << command << Qt::endl;
    standardError() << kUsage << Qt::flush;
    return exit_status::usage;
}
