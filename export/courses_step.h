#pragma once
// CURSOST.DBF from the Séneca courses: written by export step 2, and by the command
// line when it rehearses the level and course dialog in a scratch folder.

#include "common/exchange_document.h"
#include "export/seneca_groups.h"
#include "export/skipped_records.h"

#include <QString>

namespace courses_step {

// Deletes the table's files, creates it and appends one record per course record
// with more than one value: CLAVE from the course key, ESTUD from its name.
// Records with fewer than two values are passed over, and named in `skipped` when given.
void writeCoursesTable(const ExchangeDocument &seneca, const QString &dbfPath, SkippedRecords *skipped = nullptr);

} // namespace courses_step
