#include "tools/lesson_placement.h"

#include <algorithm>

namespace standin {

namespace {
QString periodKey(const QString &frame, int day, int hour)
{
    return QStringLiteral("%1/%2/%3").arg(frame).arg(day).arg(hour);
}
const std::vector<int> kNoDays;
} // namespace

void WeekGrid::addPeriod(const Period &period)
{
    const QString key = periodKey(period.frame, period.day, period.hour);
    if (m_index.contains(key))
        return;
    m_index.insert(key, int(m_periods.size()));
    m_periods.push_back(period);
}

void WeekGrid::finish()
{
    QHash<QString, std::vector<int>> all;
    for (const Period &p : m_periods) {
        std::vector<int> &days = all[p.frame];
        if (std::find(days.begin(), days.end(), p.day) == days.end())
            days.push_back(p.day);
    }
    m_days.clear();
    for (auto it = all.begin(); it != all.end(); ++it) {
        std::vector<int> days = it.value();
        std::sort(days.begin(), days.end());
        std::vector<int> week;
        std::copy_if(days.begin(), days.end(), std::back_inserter(week), [](int d) { return d >= 1 && d <= 5; });
        m_days.insert(it.key(), week.empty() ? days : week);
    }
    m_overlaps.assign(m_periods.size(), {});
    for (std::size_t a = 0; a < m_periods.size(); ++a) {
        for (std::size_t b = 0; b < m_periods.size(); ++b) {
            const Period &p = m_periods[a], &q = m_periods[b];
            const bool timed = p.start >= 0 && p.end > p.start && q.start >= 0 && q.end > q.start;
            if (a == b || (timed && p.day == q.day && p.start < q.end && q.start < p.end))
                m_overlaps[a].push_back(int(b));
        }
    }
}

QStringList WeekGrid::frames() const
{
    QStringList list = m_days.keys();
    list.sort();
    return list;
}

const std::vector<int> &WeekGrid::days(const QString &frame) const
{
    const auto it = m_days.constFind(frame);
    return it == m_days.constEnd() ? kNoDays : it.value();
}

int WeekGrid::periodAt(const QString &frame, int day, int hour) const
{
    return m_index.value(periodKey(frame, day, hour), -1);
}

bool Occupancy::isFree(int who, int period) const
{
    const auto it = m_busy.constFind(who);
    if (it == m_busy.constEnd())
        return true;
    for (int other : m_grid.overlapping(period)) {
        if (it.value()[std::size_t(other)])
            return false;
    }
    return true;
}

void Occupancy::take(int who, int period)
{
    std::vector<bool> &busy = m_busy[who];
    if (busy.empty())
        busy.assign(m_grid.periods().size(), false);
    busy[std::size_t(period)] = true;
}

bool LessonPlacer::fits(
    const QString &frame, int day, int hour, int length, int teacher, int group, std::vector<int> &periods) const
{
    periods.clear();
    for (int h = hour; h < hour + length; ++h) {
        const int p = m_grid.periodAt(frame, day, h);
        if (p < 0 || !m_teachers.isFree(teacher, p) || (group >= 0 && !m_groups.isFree(group, p)))
            return false;
        periods.push_back(p);
    }
    return true;
}

std::vector<int> LessonPlacer::place(
    const QString &frame, int length, int teacher, int group, std::vector<int> &daysUsed)
{
    const std::vector<int> &days = m_grid.days(frame);
    if (days.empty() || length <= 0)
        return {};
    const int first = m_random.below(int(days.size()));
    std::vector<int> periods;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < days.size(); ++i) {
            const int day = days[(std::size_t(first) + i) % days.size()];
            const bool used = std::find(daysUsed.begin(), daysUsed.end(), day) != daysUsed.end();
            if (used != (pass == 1))
                continue;
            for (int hour = 1; m_grid.periodAt(frame, day, hour) >= 0; ++hour) {
                if (!fits(frame, day, hour, length, teacher, group, periods))
                    continue;
                for (int taken : periods) {
                    m_teachers.take(teacher, taken);
                    if (group >= 0)
                        m_groups.take(group, taken);
                }
                daysUsed.push_back(day);
                return periods;
            }
        }
    }
    return {};
}

} // namespace standin
