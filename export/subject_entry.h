#pragma once
// A MATERIAS entry as steps 3 and 8 read it: the course key at position 0, and the
// subject name and Séneca identifier at positions 1 and 2 in either order, told
// apart by the nombre_dato each carries in its serialised markup.

#include "common/exchange_document.h"

#include <QString>

#include <vector>

struct SubjectEntry {
    QString courseKey; // position 0: the key CURSOST.CLAVE holds (OFERTAMATRI)
    QString name; // D_MATERIAC
    QString identifier; // X_MATERIAOMG
};

// Position 2 is the identifier when it is serialised as X_MATERIAOMG and the name
// otherwise; then position 1 is the name when serialised as D_MATERIAC and the
// identifier otherwise (so two datos naming neither give the text at 2 as the
// name and the text at 1 as the identifier). A missing position reads as empty.
SubjectEntry readSubjectEntry(const ExchangeRecord &record);

// An entry of MATERIAS and its record number from 1.
struct NumberedSubjectEntry {
    int recordNumber = 0;
    SubjectEntry entry; // empty when the record has too few values
    bool tooFewValues = false; // fewer than two: no step reads it, step 3 notes it
};

// The entries of MATERIAS in document order: what steps 3 and 8 read. A record
// with fewer than two values is there, marked, with an empty entry (no name, so
// step 8 passes over it as it does over every nameless entry).
std::vector<NumberedSubjectEntry> readSubjectEntries(const ExchangeDocument &seneca);
