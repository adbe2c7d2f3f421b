#include "import/import_summary.h"

#include "import/import_run.h"

#include <QDir>

RunSummary importSummary(const ImportRun &run)
{
    RunSummary summary;
    summary.heading = QStringLiteral("Importación terminada: el documento de horarios para Séneca está escrito.");
    summary.documentPath = run.outputPath();
    summary.reportPath = run.reportPath();
    summary.add(QStringLiteral("Documento para Séneca"), {QDir::toNativeSeparators(run.outputPath())});
    summary.add(QStringLiteral("Contenido"),
        {QStringLiteral("Profesores: %1").arg(run.teacherCount), QStringLiteral("Lecciones: %1").arg(run.lessonCount),
            QStringLiteral("Lecciones descartadas: %1").arg(run.droppedCount)});
    QStringList next;
    if (!run.reportPath().isEmpty()) {
        next << QStringLiteral("Lea el informe de comprobación (%1) antes de subir el documento a Séneca.")
                    .arg(QDir::toNativeSeparators(run.reportPath()));
    } else {
        // The earlier report, about the earlier document, is gone: none is shown as this one's.
        next << QStringLiteral("No hay informe de comprobación de este documento (el aviso dice por qué). "
                               "Resuelva lo que dice el aviso e importe de nuevo antes de subirlo a Séneca.");
    }
    next << QStringLiteral("Entre en Séneca y suba este documento en la importación de horarios.");
    if (run.droppedCount > 0) {
        next << QStringLiteral("Las lecciones descartadas no están en el documento: revise en Horavent las "
                               "actividades y los profesores que se indican en los avisos.");
    }
    summary.add(summary_texts::nextTitle(), next);
    if (!run.reportPath().isEmpty()) {
        summary.finishedDetails << import_texts::checkCounts(run.checkErrors, run.checkWarnings, run.checkInformation);
        if (run.checkErrors > 0)
            summary.finishedDetails << import_texts::readReportFirst();
    }
    return summary;
}
