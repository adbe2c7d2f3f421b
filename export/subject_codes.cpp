#include "export/subject_codes.h"

#include "common/clipper.h"
#include "export/subject_code_derivation.h"

namespace {
// Beyond this every cut form of a long stem has come round more than once, while a
// short stem would need a hundred thousand subjects of one code to get here.
constexpr int kLastSuffix = 99999;
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
    const int width = subjectCodeWidth();
    const QString stem = code.left(code.size() - 1);
    int &suffix = m_firstUntriedSuffix[stem];
    if (suffix < 1)
        suffix = 1;
    for (; suffix <= kLastSuffix; ++suffix) {
        QString candidate = stem + QString::number(suffix);
        if (candidate.size() > width)
            candidate = candidate.left(width - 2) + candidate.right(2);
        if (!codesIssued.contains(candidate)) {
            codesIssued.insert(candidate);
            ++suffix;
            return candidate;
        }
    }
    return std::nullopt;
}
