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
    // The frames ("0", "1"), sorted; a frame is known below by its index here.
    const QStringList &frames() const { return m_frames; }
    int frameIndex(const QString &frame) const { return int(m_frames.indexOf(frame)); }
    const std::vector<int> &days(int frame) const { return m_days[std::size_t(frame)]; }
    // The period of that frame, day and hour, or -1.
    int periodAt(int frame, int day, int hour) const;
    // The periods that share some minute with the period, itself included.
    const std::vector<int> &overlapping(int period) const { return m_overlaps[std::size_t(period)]; }

private:
    std::vector<Period> m_periods;
    QStringList m_frames;
    std::vector<std::vector<int>> m_days; // per frame: school days, ascending
    std::vector<std::vector<std::vector<int>>> m_lookup; // [frame][day][hour] -> period or -1
    std::vector<std::vector<int>> m_overlaps;
};

// Which block holds each period, for teachers, groups or rooms, each known by a
// number of its own.
class Occupancy {
public:
    explicit Occupancy(const WeekGrid &grid)
        : m_grid(grid)
    {
    }
    // The block holding a period that overlaps the period, or -1.
    int holder(int who, int period) const;
    bool isFree(int who, int period) const { return holder(who, period) < 0; }
    void take(int who, int period, int block);
    void release(int who, int period);

private:
    const WeekGrid &m_grid;
    QHash<int, std::vector<int>> m_holder;
};

// A lesson placed: consecutive periods of one day, for a teacher and (when not
// negative) a group.
struct Block {
    int teacher = -1, group = -1;
    int frame = 0; // index in WeekGrid::frames()
    std::vector<int> periods;
};

// Places lessons one at a time. A lesson takes the first day, in a turning order,
// with consecutive periods free for its teacher and group; days its row already
// uses come last, so a subject's lessons spread over the week. When no day has
// room, one lesson in the way may move elsewhere to make room (a single repair,
// no search deeper than that).
class LessonPlacer {
public:
    LessonPlacer(const WeekGrid &grid, RandomSource &random)
        : m_grid(grid)
        , m_random(random)
        , m_teachers(grid)
        , m_groups(grid)
    {
    }

    // The block's number, or -1 when the lesson found no room.
    int place(int frame, int length, int teacher, int group, std::vector<int> &daysUsed);
    const Block &block(int id) const { return m_blocks[std::size_t(id)]; }

private:
    bool consecutive(int frame, int day, int hour, int length, std::vector<int> &periods) const;
    bool isFree(const Block &b, const std::vector<int> &periods) const;
    // The one block (other than none) in the way of those periods; -2 when two or more are.
    int singleBlocker(const Block &b, const std::vector<int> &periods) const;
    bool findPlace(Block &b, std::vector<int> &daysUsed, const std::vector<int> &avoid);
    void occupy(int id);
    void vacate(int id);
    bool repair(Block &b, std::vector<int> &daysUsed);

    const WeekGrid &m_grid;
    RandomSource &m_random;
    Occupancy m_teachers;
    Occupancy m_groups;
    std::vector<Block> m_blocks;
};

} // namespace standin
