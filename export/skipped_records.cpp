#include "export/skipped_records.h"

#include <algorithm>

namespace {

// Beyond this many, the note gives the first ones and how many more there are.
constexpr qsizetype kNumbersNamed = 20;

QString numbersText(const QList<int> &records)
{
    QStringList numbers;
    for (qsizetype i = 0; i < records.size() && i < kNumbersNamed; ++i)
        numbers << QString::number(records.at(i));
    if (records.size() > kNumbersNamed)
        return numbers.join(QStringLiteral(", ")) + QStringLiteral(" y %1 más").arg(records.size() - kNumbersNamed);
    if (numbers.size() == 1)
        return numbers.front();
    const QString last = numbers.takeLast();
    return numbers.join(QStringLiteral(", ")) + QStringLiteral(" y ") + last;
}

} // namespace

void SkippedRecords::add(const QString &group, int recordNumber, int needed)
{
    auto found = std::find_if(m_groups.begin(), m_groups.end(), [&](const Group &g) { return g.name == group; });
    if (found == m_groups.end()) {
        m_groups.push_back({group, needed, {}});
        found = m_groups.end() - 1;
    }
    QList<int> &records = found->records;
    const auto at = std::lower_bound(records.begin(), records.end(), recordNumber);
    if (at == records.end() || *at != recordNumber)
        records.insert(at, recordNumber);
}

QStringList SkippedRecords::notes() const
{
    QStringList notes;
    for (const Group &group : m_groups) {
        const qsizetype count = group.records.size();
        const QString what = count == 1
            ? QStringLiteral("El registro %1 del grupo %2 no se ha exportado porque no tiene")
            : QStringLiteral("Los registros %1 del grupo %2 no se han exportado porque no tienen");
        const QString why = group.needed == 1 ? QStringLiteral(" ningún valor.")
                                              : QStringLiteral(" al menos %1 valores.").arg(group.needed);
        notes << what.arg(numbersText(group.records), group.name) + why;
    }
    return notes;
}
