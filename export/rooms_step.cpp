// Step 6: writes AULAT.DBF from the Séneca group DEPENDENCIAS. The room identifier
// is both the timetabler's room code and the link back to Séneca.
#include "export/rooms_table.h"

#include "export/export_run.h"

void ExportRun::buildRoomsTable()
{
    const QString path = workPath(rooms_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, rooms_table::layout());
    noteTableWritten(rooms_table::fileName());

    dbf::Table rooms(path);
    rooms.open();
    rooms.batchPosts();
    const int code = rooms.fieldIndex(QStringLiteral("ABREV"));
    const int name = rooms.fieldIndex(QStringLiteral("NOMBRE"));
    const int senecaKey = rooms.fieldIndex(QStringLiteral("DEPCENTRO"));

    int recordNumber = 0;
    for (const ExchangeRecord &room : seneca().records(QStringLiteral("DEPENDENCIAS"))) {
        ++recordNumber;
        if (room.count() < 2) {
            skippedRecords.add(QStringLiteral("DEPENDENCIAS"), recordNumber, 2);
            continue;
        }
        const QString identifier = room.value(0);
        const int row = rooms.appendBlank();
        // Both fields keep the identifier's first 10 characters, their width.
        rooms.setText(row, code, identifier);
        rooms.setText(row, name, room.value(1));
        rooms.setText(row, senecaKey, identifier);
        rooms.post(row);
    }
    rooms.close();
}
