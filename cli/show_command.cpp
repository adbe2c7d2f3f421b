// transhoravo show: a table's field list and records, as text, CSV or JSON.
#include "cli/cli_interface.h"
#include "cli/command_options.h"
#include "cli/commands.h"
#include "cli/run_reporting.h"
#include "common/dbf_table.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString csvCell(const QString &value)
{
    if (!value.contains(QLatin1Char(',')) && !value.contains(QLatin1Char('"')) && !value.contains(QLatin1Char('\n'))
        && !value.contains(QLatin1Char('\r'))) {
        return value;
    }
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString fieldDescription(const dbf::FieldDef &field)
{
    QString text = QStringLiteral("%1 %2 %3").arg(field.name, QString(QChar(char(field.type)))).arg(field.width);
    if (field.decimals > 0)
        text += QStringLiteral(".%1").arg(field.decimals);
    return text;
}

void printText(const dbf::Table &table)
{
    QTextStream &out = standardOutput();
    out << QDir::toNativeSeparators(table.path()) << ": " << table.recordCount() << " registros" << Qt::endl;
    for (int f = 0; f < table.fieldCount(); ++f)
        out << "  " << fieldDescription(table.field(f)) << Qt::endl;
    for (int row : table.liveRows()) {
        QStringList values;
        for (int f = 0; f < table.fieldCount(); ++f)
            values << table.text(row, f);
        out << values.join(QLatin1Char('\t')) << Qt::endl;
    }
}

void printCsv(const dbf::Table &table)
{
    QTextStream &out = standardOutput();
    QStringList names;
    for (int f = 0; f < table.fieldCount(); ++f)
        names << csvCell(table.field(f).name);
    out << names.join(QLatin1Char(',')) << Qt::endl;
    for (int row : table.liveRows()) {
        QStringList values;
        for (int f = 0; f < table.fieldCount(); ++f)
            values << csvCell(table.text(row, f));
        out << values.join(QLatin1Char(',')) << Qt::endl;
    }
}

void printJson(const dbf::Table &table)
{
    QJsonArray fields;
    for (int f = 0; f < table.fieldCount(); ++f) {
        const dbf::FieldDef &field = table.field(f);
        fields.append(QJsonObject{{QStringLiteral("name"), field.name},
            {QStringLiteral("type"), QString(QChar(char(field.type)))}, {QStringLiteral("width"), field.width},
            {QStringLiteral("decimals"), field.decimals}});
    }
    QJsonArray records;
    for (int row : table.liveRows()) {
        QJsonObject record;
        for (int f = 0; f < table.fieldCount(); ++f)
            record.insert(table.field(f).name, table.text(row, f));
        records.append(record);
    }
    const QJsonObject document{{QStringLiteral("table"), table.fileName()}, {QStringLiteral("fields"), fields},
        {QStringLiteral("records"), records}};
    standardOutput() << QJsonDocument(document).toJson(QJsonDocument::Indented) << Qt::flush;
}

} // namespace

int showCommand(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Muestra los campos y los registros de una tabla dBase (niveles III, IV y 7)."));
    parser.addPositionalArgument(QStringLiteral("TABLA.DBF"), QStringLiteral("La tabla que se quiere ver."));
    const QCommandLineOption csv(
        QStringLiteral("csv"), QStringLiteral("Registros en CSV, con los nombres de campo en la primera línea."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("Campos y registros en JSON."));
    parser.addOptions({csv, json});
    if (const int status = parseCommand(parser, arguments); status >= 0)
        return status;
    if (parser.positionalArguments().size() != 1)
        return usageError(parser, QStringLiteral("Indique una tabla."));
    if (parser.isSet(csv) && parser.isSet(json))
        return usageError(parser, QStringLiteral("Elija --csv o --json, no los dos."));

    return runReportingErrors([&] {
        dbf::Table table(QDir::current().absoluteFilePath(parser.positionalArguments().constFirst()));
        table.open(dbf::Table::Access::ReadShared);
        if (parser.isSet(csv))
            printCsv(table);
        else if (parser.isSet(json))
            printJson(table);
        else
            printText(table);
        return exit_status::completed;
    });
}
