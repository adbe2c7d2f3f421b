// The date rules: each regular record's first and last day exist, come in their
// order and lie inside the school year of the export.
#include "import/check_rules.h"

#include <QDate>

namespace {

using F = TimetableField;
using K = CheckKind;

} // namespace

namespace check_rules {

QDate dateOf(const QString &text)
{
    // dd/mm/yyyy in ASCII digits, read by hand: the check runs on a thread of its
    // own, where regular expressions are not used (common/xml_head.h says why).
    const auto digit = [&](int at) { return text[at] >= u'0' && text[at] <= u'9' ? text[at].unicode() - u'0' : -1; };
    if (text.size() == 10 && text[2] == u'/' && text[5] == u'/') {
        int number[8];
        const int at[8] = {0, 1, 3, 4, 6, 7, 8, 9};
        bool plain = true;
        for (int i = 0; i < 8 && plain; ++i)
            plain = (number[i] = digit(at[i])) >= 0;
        if (plain) {
            return QDate(number[4] * 1000 + number[5] * 100 + number[6] * 10 + number[7], number[2] * 10 + number[3],
                number[0] * 10 + number[1]);
        }
    }
    // Anything else is no dd/mm/yyyy date (digits are ASCII ones, as Séneca writes them).
    return {};
}

QString quoted(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("(vacío)") : QStringLiteral("«%1»").arg(text);
}

} // namespace check_rules

void checkDates(const CheckContext &context, CheckFindings &findings)
{
    using check_rules::dateOf;
    const QDate yearStart = dateOf(context.seneca.yearStart);
    const QDate yearEnd = dateOf(context.seneca.yearEnd);
    for (const CheckedRecord &record : context.records) {
        if (!record.regular)
            continue;
        const QString &startText = record.code(F::F_INICIO);
        const QString &endText = record.code(F::F_FIN);
        const QDate start = dateOf(startText);
        const QDate end = dateOf(endText);
        if (!start.isValid()) {
            findings.lesson(K::BadDate, record,
                QStringLiteral("lecciones con una fecha de inicio que no es una fecha dd/mm/aaaa: %1")
                    .arg(check_rules::quoted(startText)));
        }
        if (!end.isValid()) {
            findings.lesson(K::BadDate, record,
                QStringLiteral("lecciones con una fecha de fin que no es una fecha dd/mm/aaaa: %1")
                    .arg(check_rules::quoted(endText)));
        }
        if (start.isValid() && end.isValid() && start > end) {
            findings.lesson(K::DatesReversed, record,
                QStringLiteral("lecciones que empiezan el %1 y terminan antes, el %2").arg(startText, endText));
        }
        if (!yearStart.isValid() || !yearEnd.isValid())
            continue;
        const auto outside = [&](const QDate &date) { return date.isValid() && (date < yearStart || date > yearEnd); };
        if (outside(start) || outside(end)) {
            findings.lesson(K::OutsideYear, record,
                QStringLiteral("lecciones del %1 al %2, fuera del curso (del %3 al %4)")
                    .arg(startText, endText, context.seneca.yearStart, context.seneca.yearEnd));
        }
    }
}
