#pragma once
// The four code lists of the subjects step: filled by step 3, released by step 4.
// Each is a set of distinct, case-sensitive texts with a fast membership test.

#include "common/text_hash.h"

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>
#include <utility>

struct SubjectCodeLists {
    TextSet codesIssued; // every COD written to ASIGNOMT.DBF
    TextSet namesSeen; // subject names with a-z in capitals
    TextSet longCodesSeen; // long codes met so far
    // Long code and subject name of every subject met so far. Kept as pairs, not
    // joined into one text, so that "AB" + "Cde" and "ABC" + "de" stay two subjects.
    QSet<std::pair<QString, QString>> pairsSeen; // looked up only when both parts were met

    // A subject is known when its capitalised name, its long code and the pair of
    // both have been met.
    bool knows(const QString &name, const QString &longCode) const;
    void remember(const QString &name, const QString &longCode);

    // Issues the code when it is free. Otherwise drops its last character and
    // tries the suffixes 1, 2, 3 ... in turn; a candidate longer than 10 characters
    // is cut to its first 8 and last 2 and must be free too. Should every such form
    // be taken, the stem gives way to the whole suffix from 100 on (first 7
    // characters and 3 digits, then 6 and 4, ...). The code issued is added to
    // codesIssued. Empty only if no form at all is left.
    std::optional<QString> issue(const QString &code);

private:
    // Where the search of a stem goes on: every smaller suffix is issued already,
    // and codes are never withdrawn.
    struct StemSearch {
        int cutSuffix = 1;
        int wholeSuffix = 100;
    };
    std::optional<QString> firstFreeCutForm(const QString &stem, int &suffix) const;
    std::optional<QString> firstFreeWholeForm(const QString &stem, int &suffix) const;
    TextHash<StemSearch> m_searches;
};
