#pragma once
// The check of a timetable document against the Séneca export it is meant for:
// every code resolves, times match their slots, activities sit where their flags
// say, no teacher is in two places at once, dates lie in the school year, the
// authorisations are there, and the document's form is what Séneca reads.
//
// A fault is one line however many records share it: the same kind of fault of
// one teacher (or room, or the document) is counted, with its days and times,
// in names the person knows; the codes follow in parentheses and the records'
// references stay with the line for whoever needs them.

#include "import/check_kinds.h"
#include "import/seneca_export.h"
#include "import/timetable_content.h"

#include <QString>
#include <QStringList>

#include <vector>

struct CheckFinding {
    CheckSeverity severity = CheckSeverity::Error;
    CheckKind kind = CheckKind::NotWellFormed;
    QString text; // what is wrong, in names, with its count, days and times; no final full stop
    QString codes; // the codes it names ("empleado 48213, actividad 34"); empty when none
    QString employee; // the teacher's employee code; empty when no teacher is meant
    QStringList records; // where: "HORARIO_REGULAR_PROFESOR_1/ACTIVIDAD_3", or a teacher group's seq
    int line = 0; // where the first of them starts in the document; 0 when unknown
};

struct CheckResult {
    std::vector<CheckFinding> findings; // errors first, then warnings, then information; by kind within each
    int errors = 0; // lines, not records
    int warnings = 0;
    int information = 0;
};

// The findings of one document. Linear in the document's records (the overlaps
// are found by sorting, not by comparing every pair).
CheckResult checkTimetable(const SenecaExport &seneca, const TimetableContent &content);

namespace check_texts {
// "ERROR", "AVISO" or "INFORMACIÓN".
QString severityName(CheckSeverity severity);
// The one line the command prints for a finding: severity, what is wrong with its
// codes, what to do, and the records it is about.
QString findingLine(const CheckFinding &finding);
// The counts in one sentence, for the import's summary.
QString countsSentence(const CheckResult &result);
// The weekday's Spanish name (1 lunes ... 7 domingo); the number itself otherwise.
QString dayName(int day);
} // namespace check_texts
