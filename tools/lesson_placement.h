#pragma once
// The stand-in timetabler's week: the periods of DIASHORAST and who is busy when.
// Periods are compared by real time (day and minutes), so a teacher or a group is
// never in two places at once even if two frames overlapped.

#include "tools/random_source.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

namespace standin {

struct Period {
    int day = 0; // DIA
    int hour = 0; // HORA within its frame and day
    QString frame; // MARCO
    int start = -1, end = -1; // minutes after midnight; -1 when the times do not read
};

class WeekGrid {
public:
    void addPeriod(const Period &period);
    // Keeps Monday to Friday in every frame that has them (the table repeats the
    // slots for all seven days), and works out which periods overlap in time.
    void finish();

    const std::vector<Period> &periods() const { return m_periods; }
    bool hasFrame(const QString &frame) const { return m_days.contains(frame); }
    QStringList frames() const;
    const std::vector<int> &days(const QString &frame) const;
    // The period of that frame, day and hour, or -1.
    int periodAt(const QString &frame, int day, int hour) const;
    // The periods that share some minute with the period, itself included.
    const std::vector<int> &overlapping(int period) const { return m_overlaps[std::size_t(period)]; }

private:
    std::vector<Period> m_periods;
    QHash<QString, std::vector<int>> m_days; // frame -> school days, ascending
    QHash<QString, int> m_index; // "frame/day/hour" -> period
    std::vector<std::vector<int>> m_overlaps;
    std::vector<bool> m_schoolDay;
};

// Who holds each period: teachers, groups and rooms, by a number of their own.
class Occupancy {
public:
    explicit Occupancy(const WeekGrid &grid)
        : m_grid(grid)
    {
    }
    bool isFree(int who, int period) const;
    void take(int who, int period);

private:
    const WeekGrid &m_grid;
    QHash<int, std::vector<bool>> m_busy;
};

// Places one lesson of `length` consecutive periods for a teacher and (when not
// negative) a group, in one frame. Days the lesson's row already uses come last,
// so a subject's lessons spread over the week; the first day tried turns with the
// random source. Returns the periods taken, or nothing when no day has room.
class LessonPlacer {
public:
    LessonPlacer(const WeekGrid &grid, RandomSource &random)
        : m_grid(grid)
        , m_random(random)
        , m_teachers(grid)
        , m_groups(grid)
    {
    }

    std::vector<int> place(const QString &frame, int length, int teacher, int group, std::vector<int> &daysUsed);

private:
    bool fits(
        const QString &frame, int day, int hour, int length, int teacher, int group, std::vector<int> &periods) const;

    const WeekGrid &m_grid;
    RandomSource &m_random;
    Occupancy m_teachers;
    Occupancy m_groups;
};

} // namespace standin
