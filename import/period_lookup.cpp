#include "import/period_lookup.h"

#include "common/clipper.h"
#include "common/user_error.h"
#include "export/days_hours_table.h"

namespace {

const QString kNoMinutes = QStringLiteral("0");

} // namespace

std::optional<int> minutesOfTimeText(const QString &time, QString *badPart)
{
    const QString padded = time.size() < 5 ? QLatin1Char('0') + time : time;
    const QString hoursText = clipper::Left(padded, 2);
    const QString minutesText = clipper::Right(padded, 2);
    int hours = 0;
    int minutes = 0;
    if (!clipper::parseWholeNumber(hoursText, hours)) {
        if (badPart)
            *badPart = hoursText;
        return std::nullopt;
    }
    if (!clipper::parseWholeNumber(minutesText, minutes)) {
        if (badPart)
            *badPart = minutesText;
        return std::nullopt;
    }
    return hours * 60 + minutes;
}

PeriodLookup::PeriodLookup(const dbf::Table &daysHours)
    : m_table(daysHours)
    , m_byDihoAndMarco(daysHours, days_hours_table::diho, days_hours_table::marco)
    , m_dia(daysHours, days_hours_table::dia)
    , m_codDiho(daysHours, days_hours_table::codDiho)
    , m_horaDesde(daysHours.fieldIndex(days_hours_table::horaDesde))
    , m_horaHasta(daysHours.fieldIndex(days_hours_table::horaHasta))
    , m_minutos(daysHours.fieldIndex(days_hours_table::minutos))
    , m_start(std::size_t(daysHours.size()))
    , m_end(std::size_t(daysHours.size()))
    , m_length(std::size_t(daysHours.size()))
{
}

int PeriodLookup::firstPeriod(int day, int period, const QString &frame) const
{
    if (frame.size() > 1) // never from SOLUC, which gives one character at most
        return m_byDihoAndMarco.first(QString::number(day) + QString::number(period), frame);
    const Asked asked{day, period, frame.isEmpty() ? -1 : int(frame.front().unicode())};
    const auto known = m_answers.constFind(asked);
    if (known != m_answers.constEnd())
        return *known;
    const int row = m_byDihoAndMarco.first(QString::number(day) + QString::number(period), frame);
    m_answers.insert(asked, row);
    return row;
}

QString PeriodLookup::startMinutesText(int row) const
{
    return minutesText(row, m_horaDesde, m_start);
}

QString PeriodLookup::endMinutesText(int row) const
{
    return minutesText(row, m_horaHasta, m_end);
}

QString PeriodLookup::minutesText(int row, int field, std::vector<QString> &cache) const
{
    if (row < 0)
        return kNoMinutes;
    QString &known = cache[std::size_t(row)];
    if (known.isNull()) {
        QString badPart;
        const std::optional<int> minutes = minutesOfTimeText(m_table.text(row, field), &badPart);
        if (!minutes) {
            throw UserError(notAnIntegerText(badPart)
                + QStringLiteral(" (tabla %1, registro %2, campo %3)")
                      .arg(m_table.path())
                      .arg(row + 1)
                      .arg(m_table.field(field).name));
        }
        known = QString::number(*minutes);
    }
    return known;
}

QString PeriodLookup::lengthText(int row) const
{
    if (row < 0)
        return kNoMinutes;
    QString &known = m_length[std::size_t(row)];
    if (known.isNull())
        known = QString::number(m_table.integer(row, m_minutos));
    return known;
}
