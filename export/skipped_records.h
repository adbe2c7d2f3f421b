#pragma once
// The records the steps pass over because they hold fewer values than the step
// reads. Nothing is dropped without a word: each group's records are named, by
// their number in the group (counting from 1), in one note at the end of the run.

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

class SkippedRecords {
public:
    // A record of the group passed over for holding fewer than `needed` values.
    // A record a later step passes over again is counted once.
    void add(const QString &group, int recordNumber, int needed);
    // One note per group, in the order the groups were first met.
    QStringList notes() const;
    bool empty() const { return m_groups.empty(); }

private:
    struct Group {
        QString name;
        int needed = 0;
        QList<int> records; // ascending within a step
    };
    std::vector<Group> m_groups;
};
