// Step 10: the reference catalogues of the Séneca document ("ORIGENES", "NIVELES",
// "CURSOS_NIVELES", "AUTORIZACIONES") copied into ORIGENES_C.DBF, NIVELES_C.DBF,
// CUR_NIV_C.DBF and AUTORIZA_C.DBF for the import. Without "ORIGENES" records no
// catalogue is written, and the import reads the missing ORIGENES_C.DBF as "none".
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/catalogues.h"
#include "export/export_run.h"
#include "export/integer_fields.h"

#include <variant>

namespace {

using FieldValue = std::variant<QString, int>;

// Every value of one entry, read and converted before the record is appended, so
// a bad value never leaves a half-filled record. A missing position reads as the
// empty text, which an integer field refuses.
std::vector<FieldValue> entryValues(const Catalogue &catalogue, const ExchangeRecord &record, int recordNumber)
{
    std::vector<FieldValue> values;
    for (int position = 0; position < int(catalogue.layout.size()); ++position) {
        const dbf::FieldDef &field = catalogue.layout[size_t(position)];
        const QString text = record.value(position);
        if (field.type != dbf::FieldType::Integer) {
            values.emplace_back(text);
            continue;
        }
        int number = 0;
        if (const IntegerFieldText read = readIntegerField(text, number); read != IntegerFieldText::Valid) {
            throw UserError(QStringLiteral("%1, registro %2, campo %3: %4")
                                .arg(catalogue.group)
                                .arg(recordNumber)
                                .arg(field.name, integerFieldProblem(text, read)));
        }
        values.emplace_back(number);
    }
    return values;
}

void buildCatalogueTable(ExportRun &run, const Catalogue &catalogue, const std::vector<ExchangeRecord> &records)
{
    const QString path = run.workPath(catalogue.fileName);
    dbf::removeTableFiles(path);
    dbf::createTable(path, catalogue.layout);
    run.noteTableWritten(catalogue.fileName);
    dbf::Table table(path);
    table.open();
    table.batchPosts();
    int recordNumber = 0;
    for (const ExchangeRecord &record : records) {
        ++recordNumber;
        if (record.count() < kCatalogueMinimumValues) {
            run.skippedRecords.add(catalogue.group, recordNumber, kCatalogueMinimumValues);
            continue;
        }
        const std::vector<FieldValue> values = entryValues(catalogue, record, recordNumber);
        const int row = table.appendBlank();
        for (int field = 0; field < int(values.size()); ++field) {
            if (const int *number = std::get_if<int>(&values[size_t(field)]))
                table.setInteger(row, field, *number);
            else
                table.setText(row, field, std::get<QString>(values[size_t(field)]));
        }
        table.post(row);
    }
    table.close();
}

} // namespace

void ExportRun::buildCatalogueTables()
{
    const std::vector<Catalogue> &list = catalogues();
    removeTable(list.front().fileName);
    if (seneca().records(list.front().group).empty())
        return;
    for (const Catalogue &catalogue : list)
        buildCatalogueTable(*this, catalogue, seneca().records(catalogue.group));
}
