#pragma once
// Files the groups of a timetable document's BLOQUE_DATOS as the check reads
// them, for the reader of a file and for the import's writer alike: the block's
// groups are sections, theirs teacher groups, theirs record groups; a group
// inside a record is counted there, not kept.

#include "import/timetable_content.h"

#include <QString>

#include <vector>

class TimetableContentBuilder {
public:
    explicit TimetableContentBuilder(TimetableContent &content)
        : m_content(content)
    {
    }

    // A group of the block or of a group open; registros null when absent.
    void startGroup(const QString &seq, const QString &registros, int line);
    void endGroup() { m_levels.pop_back(); }
    // Where a dato of the innermost group open goes; nullptr when no group is open
    // or the group is inside a record.
    TimetableDatos *datos() const;

private:
    enum class Level { Section, Teacher, Record, Nested };
    TimetableContent &m_content;
    std::vector<Level> m_levels; // of the groups open
};
