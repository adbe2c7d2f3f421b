#include "export/export_summary.h"

#include "common/dbf_table.h"
#include "export/export_run.h"

#include <QDir>

namespace {

QString records(int count)
{
    return count == 1 ? QStringLiteral("1 registro") : QStringLiteral("%1 registros").arg(count);
}

} // namespace

RunSummary exportSummary(ExportRun &run)
{
    RunSummary summary;
    summary.heading = QStringLiteral("Exportación terminada: las tablas para Horavent están en la carpeta %1.")
                          .arg(QDir::toNativeSeparators(run.session().workDir));
    QStringList tables;
    for (const QString &name : run.tablesWritten) {
        dbf::Table table(run.workPath(name));
        table.open(dbf::Table::Access::ReadShared);
        tables << QStringLiteral("%1: %2").arg(name, records(table.recordCount()));
    }
    summary.add(QStringLiteral("Tablas escritas"), tables);
    summary.add(summary_texts::nextTitle(),
        {QStringLiteral("Abra Horavent y cargue las tablas de la carpeta %1.")
                .arg(QDir::toNativeSeparators(run.session().workDir)),
            QStringLiteral("Cuando Horavent haya hecho el horario, vuelva a este programa y pulse OK en "
                           "\"Transformar datos desde Horavent hacia (Séneca) Planificación\".")});
    return summary;
}
