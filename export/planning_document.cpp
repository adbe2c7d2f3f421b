#include "export/planning_document.h"

#include "common/user_error.h"

namespace planning_document {

int firstNonDigit(const QString &pattern)
{
    for (int i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return i;
    }
    return -1;
}

QString digitSum(const QString &pattern)
{
    if (const int bad = firstNonDigit(pattern); bad >= 0)
        throw UserError(notAnIntegerText(pattern.at(bad)));
    long long sum = 0;
    for (QChar c : pattern)
        sum += c.unicode() - '0';
    return QString::number(sum);
}

} // namespace planning_document
