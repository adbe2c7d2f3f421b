#include "tools/lesson_placement.h"

#include <algorithm>

namespace standin {

namespace {
bool contains(const std::vector<int> &items, int item)
{
    return std::find(items.begin(), items.end(), item) != items.end();
}
} // namespace

void WeekGrid::addPeriod(const Period &period)
{
    m_periods.push_back(period);
}

void WeekGrid::finish()
{
    // A period listed twice (same frame, day and hour) counts once.
    std::vector<Period> unique;
    for (const Period &p : m_periods) {
        const bool seen = std::any_of(unique.begin(), unique.end(),
            [&](const Period &q) { return q.frame == p.frame && q.day == p.day && q.hour == p.hour; });
        if (!seen)
            unique.push_back(p);
    }
    m_periods = std::move(unique);
    m_frames.clear();
    for (const Period &p : m_periods) {
        if (!m_frames.contains(p.frame))
            m_frames.append(p.frame);
    }
    m_frames.sort();
    m_days.assign(std::size_t(m_frames.size()), {});
    m_lookup.assign(std::size_t(m_frames.size()), {});
    for (std::size_t i = 0; i < m_periods.size(); ++i) {
        const Period &p = m_periods[i];
        const auto f = std::size_t(frameIndex(p.frame));
        if (!contains(m_days[f], p.day))
            m_days[f].push_back(p.day);
        auto &days = m_lookup[f];
        if (days.size() <= std::size_t(p.day))
            days.resize(std::size_t(p.day) + 1);
        auto &hours = days[std::size_t(p.day)];
        if (hours.size() <= std::size_t(p.hour))
            hours.resize(std::size_t(p.hour) + 1, -1);
        hours[std::size_t(p.hour)] = int(i);
    }
    for (std::vector<int> &days : m_days) {
        std::sort(days.begin(), days.end());
        std::vector<int> week;
        std::copy_if(days.begin(), days.end(), std::back_inserter(week), [](int d) { return d >= 1 && d <= 5; });
        if (!week.empty())
            days = week;
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

int WeekGrid::periodAt(int frame, int day, int hour) const
{
    if (frame < 0 || std::size_t(frame) >= m_lookup.size() || day < 0 || hour < 0)
        return -1;
    const auto &days = m_lookup[std::size_t(frame)];
    if (std::size_t(day) >= days.size() || std::size_t(hour) >= days[std::size_t(day)].size())
        return -1;
    return days[std::size_t(day)][std::size_t(hour)];
}

int Occupancy::holder(int who, int period) const
{
    const auto it = m_holder.constFind(who);
    if (it == m_holder.constEnd())
        return -1;
    for (int other : m_grid.overlapping(period)) {
        if (it.value()[std::size_t(other)] >= 0)
            return it.value()[std::size_t(other)];
    }
    return -1;
}

void Occupancy::take(int who, int period, int block)
{
    std::vector<int> &holders = m_holder[who];
    if (holders.empty())
        holders.assign(m_grid.periods().size(), -1);
    holders[std::size_t(period)] = block;
}

void Occupancy::release(int who, int period)
{
    const auto it = m_holder.find(who);
    if (it != m_holder.end())
        it.value()[std::size_t(period)] = -1;
}

bool LessonPlacer::consecutive(int frame, int day, int hour, int length, std::vector<int> &periods) const
{
    periods.clear();
    for (int h = hour; h < hour + length; ++h) {
        const int p = m_grid.periodAt(frame, day, h);
        if (p < 0)
            return false;
        periods.push_back(p);
    }
    return true;
}

bool LessonPlacer::isFree(const Block &b, const std::vector<int> &periods) const
{
    return std::all_of(periods.begin(), periods.end(),
        [&](int p) { return m_teachers.isFree(b.teacher, p) && (b.group < 0 || m_groups.isFree(b.group, p)); });
}

int LessonPlacer::singleBlocker(const Block &b, const std::vector<int> &periods) const
{
    int blocker = -1;
    for (int p : periods) {
        for (int holder : {m_teachers.holder(b.teacher, p), b.group < 0 ? -1 : m_groups.holder(b.group, p)}) {
            if (holder < 0 || holder == blocker)
                continue;
            if (blocker >= 0)
                return -2;
            blocker = holder;
        }
    }
    return blocker;
}

// Tries the days from a turning start, days not used by the row first, and the
// hours of each day from the first; periods in `avoid` are not taken.
bool LessonPlacer::findPlace(Block &b, std::vector<int> &daysUsed, const std::vector<int> &avoid)
{
    if (b.frame < 0 || b.frame >= int(m_grid.frames().size()))
        return false;
    const std::vector<int> &days = m_grid.days(b.frame);
    const int length = int(b.periods.size());
    if (days.empty() || length <= 0)
        return false;
    const int first = m_random.below(int(days.size()));
    std::vector<int> periods;
    for (int pass = 0; pass < 2; ++pass) {
        for (std::size_t i = 0; i < days.size(); ++i) {
            const int day = days[(std::size_t(first) + i) % days.size()];
            if (contains(daysUsed, day) != (pass == 1))
                continue;
            for (int hour = 1; m_grid.periodAt(b.frame, day, hour) >= 0; ++hour) {
                if (!consecutive(b.frame, day, hour, length, periods) || !isFree(b, periods))
                    continue;
                if (std::any_of(periods.begin(), periods.end(), [&](int p) { return contains(avoid, p); }))
                    continue;
                b.periods = periods;
                daysUsed.push_back(day);
                return true;
            }
        }
    }
    return false;
}

void LessonPlacer::occupy(int id)
{
    const Block &b = m_blocks[std::size_t(id)];
    for (int p : b.periods) {
        m_teachers.take(b.teacher, p, id);
        if (b.group >= 0)
            m_groups.take(b.group, p, id);
    }
}

void LessonPlacer::vacate(int id)
{
    const Block &b = m_blocks[std::size_t(id)];
    for (int p : b.periods) {
        m_teachers.release(b.teacher, p);
        if (b.group >= 0)
            m_groups.release(b.group, p);
    }
}

// Some position would be free but for one other lesson: that lesson moves to
// another free place that leaves the position alone, and the new lesson takes it.
bool LessonPlacer::repair(Block &b, std::vector<int> &daysUsed)
{
    if (b.frame < 0 || b.frame >= int(m_grid.frames().size()))
        return false;
    const std::vector<int> &days = m_grid.days(b.frame);
    const int length = int(b.periods.size());
    std::vector<int> periods;
    for (int day : days) {
        for (int hour = 1; m_grid.periodAt(b.frame, day, hour) >= 0; ++hour) {
            if (!consecutive(b.frame, day, hour, length, periods))
                continue;
            const int blocker = singleBlocker(b, periods);
            if (blocker < 0)
                continue;
            Block moved = m_blocks[std::size_t(blocker)];
            vacate(blocker);
            std::vector<int> noDays;
            const Block original = m_blocks[std::size_t(blocker)];
            if (findPlace(moved, noDays, periods)) {
                m_blocks[std::size_t(blocker)] = moved;
                occupy(blocker);
                // Frames that overlap in time could still put the two together.
                if (isFree(b, periods)) {
                    b.periods = periods;
                    daysUsed.push_back(day);
                    return true;
                }
                vacate(blocker);
                m_blocks[std::size_t(blocker)] = original;
            }
            occupy(blocker);
        }
    }
    return false;
}

int LessonPlacer::place(int frame, int length, int teacher, int group, std::vector<int> &daysUsed)
{
    Block b{teacher, group, frame, std::vector<int>(std::size_t(std::max(length, 0)), -1)};
    if (!findPlace(b, daysUsed, {}) && !repair(b, daysUsed))
        return -1;
    m_blocks.push_back(b);
    occupy(int(m_blocks.size()) - 1);
    return int(m_blocks.size()) - 1;
}

} // namespace standin
