// Step 1: writes PERIODOS.DBF from the own values of the Séneca document's first
// two top-level groups, with the first time frame's dates as a fallback.
#include "export/periods_table.h"

#include "common/clipper.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/seneca_groups.h"
#include "export/time_frames.h"

#include <QDir>

void ExportRun::buildPeriodsTable()
{
    const QString path = workPath(periods_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, periods_table::layout());
    dbf::Table table(path);
    table.open();
    const int cursoAnno = table.fieldIndex(periods_table::cursoAnno);
    const int fInicio = table.fieldIndex(periods_table::fInicio);
    const int fFin = table.fieldIndex(periods_table::fFin);

    QString start;
    QString end;
    int lastRow = -1;
    const std::vector<ExchangeRecord> groups = seneca().topLevelRecords();
    for (size_t i = 0; i < 2 && i < groups.size(); ++i) {
        const ExchangeRecord &group = groups[i];
        if (group.count() <= 1)
            continue;
        // Appending the second group's record saves the first one with its own values.
        if (lastRow >= 0)
            table.post(lastRow);
        start = group.value(seneca_groups::yearStart);
        end = group.value(seneca_groups::yearEnd);
        lastRow = table.appendBlank();
        table.setText(lastRow, cursoAnno, group.value(seneca_groups::yearCode));
        table.setText(lastRow, fInicio, start);
        table.setText(lastRow, fFin, end);
    }

    if (clipper::AllTrim(start).isEmpty() || clipper::AllTrim(end).isEmpty()) {
        const std::vector<ExchangeRecord> frames = seneca().records(time_frames::framesGroup());
        if (!frames.empty()) {
            const ExchangeRecord &firstFrame = frames.front();
            if (firstFrame.count() > 1) {
                start = firstFrame.value(time_frames::frameFirstDate);
                end = firstFrame.value(time_frames::frameSecondDate);
            }
        }
    }

    if (lastRow < 0) {
        throw UserError(QStringLiteral("El archivo de Séneca %1 no indica el curso académico: ninguno de sus dos "
                                       "primeros grupos de datos tiene valores propios. %2 ha quedado vacía.")
                            .arg(QDir::toNativeSeparators(seneca().path()), periods_table::fileName()));
    }
    table.setText(lastRow, fInicio, start);
    table.setText(lastRow, fFin, end);
    table.post(lastRow);
    table.close();
    noteTableWritten(periods_table::fileName());
}
