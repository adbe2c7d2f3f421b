// Step 1: writes PERIODOS.DBF from the own values of the Séneca document's first
// two top-level groups, with the first time frame's dates as a fallback.
#include "export/periods_table.h"

#include "common/clipper.h"
#include "common/user_error.h"
#include "export/export_run.h"

#include <QDir>

void ExportRun::buildPeriodsTable()
{
    const QString path = workPath(periods_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, periods_table::layout());
    dbf::Table table(path);
    table.open();
    const int yearField = table.fieldIndex(QStringLiteral("CURSOANNO"));
    const int startField = table.fieldIndex(QStringLiteral("F_INICIO"));
    const int endField = table.fieldIndex(QStringLiteral("F_FIN"));

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
        start = group.value(1);
        end = group.value(2);
        lastRow = table.appendBlank();
        table.setText(lastRow, yearField, group.value(0));
        table.setText(lastRow, startField, start);
        table.setText(lastRow, endField, end);
    }

    if (clipper::AllTrim(start).isEmpty() || clipper::AllTrim(end).isEmpty()) {
        const std::vector<ExchangeRecord> frames = seneca().records(QStringLiteral("JORNADAS_ESCOLARES"));
        if (!frames.empty()) {
            const ExchangeRecord &firstFrame = frames.front();
            if (firstFrame.count() > 1) {
                start = firstFrame.value(2);
                end = firstFrame.value(3);
            }
        }
    }

    if (lastRow < 0) {
        throw UserError(QStringLiteral("El archivo de Séneca %1 no indica el curso académico: ninguno de sus dos "
                                       "primeros grupos de datos tiene valores propios. %2 ha quedado vacía.")
                            .arg(QDir::toNativeSeparators(seneca().path()), periods_table::fileName()));
    }
    table.setText(lastRow, startField, start);
    table.setText(lastRow, endField, end);
    table.post(lastRow);
    table.close();
    noteTableWritten(periods_table::fileName());
}
