#pragma once
// The four code lists of the subjects step: filled by step 3, released by step 4.
// Each is a set of distinct, case-sensitive texts with a fast membership test.

#include <QSet>
#include <QString>

struct SubjectCodeLists {
    QSet<QString> codesIssued;    // every COD written to ASIGNOMT.DBF
    QSet<QString> namesSeen;      // subject names with a-z in capitals
    QSet<QString> longCodesSeen;  // long codes met so far
    QSet<QString> pairsSeen;      // long code followed by the subject name
};
