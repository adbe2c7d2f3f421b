// Step 6: writes AULAT.DBF from the Séneca group DEPENDENCIAS. The room identifier
// is both the timetabler's room code and the link back to Séneca.
#include "export/rooms_table.h"

#include "export/export_run.h"
#include "export/seneca_groups.h"

void ExportRun::buildRoomsTable()
{
    const QString path = workPath(rooms_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, rooms_table::layout());
    noteTableWritten(rooms_table::fileName());

    dbf::Table rooms(path);
    rooms.open();
    rooms.batchPosts();
    const int abrev = rooms.fieldIndex(rooms_table::abrev);
    const int nombre = rooms.fieldIndex(rooms_table::nombre);
    const int depCentro = rooms.fieldIndex(rooms_table::depCentro);

    int recordNumber = 0;
    for (const ExchangeRecord &room : seneca().records(seneca_groups::roomsGroup())) {
        ++recordNumber;
        if (room.count() < 2) {
            skippedRecords.add(seneca_groups::roomsGroup(), recordNumber, 2);
            continue;
        }
        const QString identifier = room.value(seneca_groups::roomIdentifier);
        const int row = rooms.appendBlank();
        // Both fields keep the identifier's first 10 characters, their width.
        rooms.setText(row, abrev, identifier);
        rooms.setText(row, nombre, room.value(seneca_groups::roomName));
        rooms.setText(row, depCentro, identifier);
        rooms.post(row);
    }
    rooms.close();
}
