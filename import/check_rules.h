#pragma once
// The rules of the timetable check, by family, each family in a file of its own
// (check_rules_<family>.cpp, timetable_overlaps.cpp). Each is a function from the
// document's typed records to findings. What the import leaves out on purpose
// (an authorisation without an origin category or a level), and what schools do
// every day (optional subjects at once, co-teaching, one lesson for several
// units), raises nothing.

#include "import/check_findings.h"
#include "import/check_names.h"
#include "import/check_records.h"
#include "import/seneca_export.h"
#include "import/timetable_content.h"

#include <QDate>

#include <vector>

struct CheckContext {
    const SenecaExport &seneca;
    const TimetableContent &content;
    const CheckNames &names;
    const std::vector<CheckedRecord> &records; // one per content.records, in their order
};

// The file, its sections and teacher groups, and the datos' fixed order. False
// when the document cannot be read further (not XML, no BLOQUE_DATOS).
bool checkForm(const CheckContext &context, CheckFindings &findings);
// Every code a record carries is one the export holds, and activities sit where
// their flags say.
void checkCodes(const CheckContext &context, CheckFindings &findings);
// Weekdays, times against their slots, non-regular minutes.
void checkTimes(const CheckContext &context, CheckFindings &findings);
// Dates that exist, in their order, inside the school year.
void checkDates(const CheckContext &context, CheckFindings &findings);
// The authorisation each record carries, where the export has the catalogues.
void checkAuthorisations(const CheckContext &context, CheckFindings &findings);
// A teacher in two places at once; a room given to two classes at once.
void checkOverlaps(const CheckContext &context, CheckFindings &findings);
// Weekly load, the taking of post, repeated records, teachers without a timetable.
void checkLoad(const CheckContext &context, CheckFindings &findings);

namespace check_rules {
// A date written dd/mm/yyyy that exists; null otherwise.
QDate dateOf(const QString &text);
// A value shown in a line: «text», or "(vacío)".
QString quoted(const QString &text);
} // namespace check_rules
