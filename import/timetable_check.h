#pragma once
// The check of a timetable document against the Séneca export it is meant for:
// every code resolves, times match their slots, activities sit where their flags
// say, no teacher is in two places at once, dates lie in the school year, the
// authorisations are there, and the document's form is what Séneca reads. Each
// problem found is one finding, in the person's words.

#include "import/seneca_export.h"
#include "import/timetable_content.h"

#include <QString>

#include <vector>

enum class CheckSeverity { Error, Warning, Information };

struct CheckFinding {
    CheckSeverity severity = CheckSeverity::Error;
    QString text; // what is wrong, in Spanish, without a final full stop
    QString employee; // the teacher's employee code; empty when none applies
    QString group; // the teacher group's seq (HORARIO_REGULAR_PROFESOR_n); empty when none
    QString record; // the record group's seq (ACTIVIDAD_n); empty when none
    int line = 0; // where the group or record starts in the document; 0 when unknown
};

struct CheckResult {
    std::vector<CheckFinding> findings; // errors first, then warnings, then information
    int errors = 0;
    int warnings = 0;
    int information = 0;
};

// The findings of one document. Linear in the document's records (the overlaps
// are found by sorting, not by comparing every pair).
CheckResult checkTimetable(const SenecaExport &seneca, const TimetableContent &content);

namespace check_texts {
// "ERROR", "AVISO" or "INFORMACIÓN".
QString severityName(CheckSeverity severity);
// The one line the command prints for a finding: severity, what is wrong, the
// teacher's employee code and the record.
QString findingLine(const CheckFinding &finding);
// The counts in one sentence, for the import's summary.
QString countsSentence(const CheckResult &result);
// The weekday's Spanish name (1 lunes ... 7 domingo); the number itself otherwise.
QString dayName(int day);
} // namespace check_texts
