#include "export/export_summary.h"

#include "common/dbf_table.h"
#include "common/spanish_count.h"
#include "export/export_run.h"

#include <QDir>

RunSummary exportSummary(ExportRun &run)
{
    RunSummary summary;
    summary.heading = QStringLiteral("Exportación terminada: las tablas para Horavent están en la carpeta %1.")
                          .arg(QDir::toNativeSeparators(run.session().workDir));
    QStringList tables;
    for (const QString &name : run.tablesWritten) {
        dbf::Table table(run.workPath(name));
        table.open(dbf::Table::Access::ReadShared);
        tables << QStringLiteral("%1: %2").arg(
            name, countOf(table.recordCount(), QStringLiteral("registro"), QStringLiteral("registros")));
    }
    summary.add(QStringLiteral("Tablas escritas"), tables);
    // The action buttons stay disabled until the program starts again, so the
    // import is done by a new start of the converter.
    summary.add(summary_texts::nextTitle(),
        {QStringLiteral("Abra Horavent y cargue las tablas de la carpeta %1.")
                .arg(QDir::toNativeSeparators(run.session().workDir)),
            QStringLiteral("Cuando Horavent haya hecho el horario, haga la importación: deje que Horavent abra este "
                           "programa, o cierre este programa, vuelva a abrirlo y pulse OK en \"Transformar datos "
                           "desde Horavent hacia (Séneca) Planificación\". Hasta que lo cierre, los dos botones OK "
                           "quedan desactivados.")});
    return summary;
}
