#pragma once
// The four code lists of the subjects step: filled by step 3, released by step 4.
// Each is a set of distinct, case-sensitive texts with a fast membership test.

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>

struct SubjectCodeLists {
    QSet<QString> codesIssued; // every COD written to ASIGNOMT.DBF
    QSet<QString> namesSeen; // subject names with a-z in capitals
    QSet<QString> longCodesSeen; // long codes met so far
    // Long code and subject name of every subject met so far. Kept as pairs, not
    // joined into one text, so that "AB" + "Cde" and "ABC" + "de" stay two subjects.
    QSet<std::pair<QString, QString>> pairsSeen;

    // A subject is known when its capitalised name, its long code and the pair of
    // both have been met.
    bool knows(const QString &name, const QString &longCode) const;
    void remember(const QString &name, const QString &longCode);

    // Issues the code when it is free. Otherwise drops its last character and
    // tries the suffixes 1, 2, 3 ... in turn; a candidate longer than 10 characters
    // is cut to its first 8 and last 2 and must be free too. The code issued is
    // added to codesIssued. Empty when every cut form is taken.
    std::optional<QString> issue(const QString &code);

private:
    // Per stem, the first suffix not yet found taken: every smaller one is issued,
    // and codes are never withdrawn, so a later search may start there.
    QHash<QString, int> m_firstUntriedSuffix;
};
