#include "export/subject_codes.h"

#include "common/clipper.h"
#include "export/subject_code_derivation.h"

namespace {

// The suffix by which the 8 + 2 cut has given every code it can give from a stem.
// With a stem of 8 characters or more a cut code is the stem's first 8 and the
// suffix's last 2 digits, all reached below 1000; a shorter stem of length L adds
// the suffix's first 8 - L digits, all reached with 11 - L digits. Beyond 99999 a
// stem would need a hundred thousand subjects of one code.
int lastCutSuffix(qsizetype stemLength)
{
    int last = 999;
    for (qsizetype length = stemLength; length < 8 && last < 99999; ++length)
        last = last * 10 + 9;
    return last;
}

} // namespace

bool SubjectCodeLists::knows(const QString &name, const QString &longCode) const
{
    return namesSeen.contains(clipper::UpperAscii(name)) && longCodesSeen.contains(longCode)
        && pairsSeen.contains({longCode, name});
}

void SubjectCodeLists::remember(const QString &name, const QString &longCode)
{
    namesSeen.insert(clipper::UpperAscii(name));
    longCodesSeen.insert(longCode);
    pairsSeen.insert({longCode, name});
}

std::optional<QString> SubjectCodeLists::issue(const QString &code)
{
    if (!codesIssued.contains(code)) {
        codesIssued.insert(code);
        return code;
    }
    const QString stem = code.left(code.size() - 1);
    StemSearch &search = m_searches[stem];
    std::optional<QString> found = firstFreeCutForm(stem, search.cutSuffix);
    if (!found)
        found = firstFreeWholeForm(stem, search.wholeSuffix);
    if (found)
        codesIssued.insert(*found);
    return found;
}

std::optional<QString> SubjectCodeLists::firstFreeCutForm(const QString &stem, int &suffix) const
{
    const int width = subjectCodeWidth();
    const int last = lastCutSuffix(stem.size());
    for (; suffix <= last; ++suffix) {
        QString candidate = stem + QString::number(suffix);
        if (candidate.size() > width)
            candidate = candidate.left(width - 2) + candidate.right(2);
        if (!codesIssued.contains(candidate))
            return candidate;
    }
    return std::nullopt;
}

// The 8 + 2 cut only ever gives a hundred endings; when all are taken, the whole
// suffix is kept and the stem shortened to make room. Past the suffixes the cut
// search tried, each suffix gives a code of its own, so more of them than codes
// issued always hold a free one.
std::optional<QString> SubjectCodeLists::firstFreeWholeForm(const QString &stem, int &suffix) const
{
    const int width = subjectCodeWidth();
    const qsizetype lastSuffix = lastCutSuffix(stem.size()) + 1 + 2 * codesIssued.size();
    for (; suffix <= lastSuffix; ++suffix) {
        const QString digits = QString::number(suffix);
        if (digits.size() >= width)
            break;
        const QString candidate = stem.left(width - digits.size()) + digits;
        if (!codesIssued.contains(candidate))
            return candidate;
    }
    return std::nullopt;
}
