#pragma once
// The two input files of an export, read at the same time: the Séneca document on
// the calling thread, the planning document's values on another. Each takes about
// as long as the other, and the machine has a second core for it.

#include "common/exchange_document.h"
#include "common/exchange_values.h"

#include <functional>

struct InputDocuments {
    ExchangeDocument seneca;
    ExchangeValues planning;
};

// Throws the UserError of the Séneca file when it cannot be read, else that of the
// planning file: the same error a reading of one after the other would give.
// Then checks that the two are what they were chosen as (checkFilesTellApart).
// whileReadingPlanning, when given, works on the Séneca document once it is read,
// while the planning file may still be in reading.
InputDocuments readInputDocuments(const QString &senecaPath, const QString &planningPath,
    const std::function<void(const ExchangeDocument &)> &whileReadingPlanning = {});

// Throws a UserError that names the file that looks wrong, and says the two may
// have been swapped, when one path or the same bytes were chosen for both.
void checkNotTheSameFile(const QString &senecaPath, const QString &planningPath);
// Throws likewise when either file is a timetable document (module HORARIOS, as
// the import writes), when the Séneca file has none of the groups the export
// reads, or has the planning file's PROFESOR_ groups, or when the planning file
// holds a group of the Séneca file or has groups but no PROFESOR_ group. A
// planning file without any group is a planning file without teachers.
void checkFilesTellApart(const ExchangeDocument &seneca, const ExchangeValues &planning);
