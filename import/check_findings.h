#pragma once
// Where the rules of the timetable check put what they find, and how it becomes
// one line per fault: the same kind of fault of the same teacher (or room, or the
// document), with the same words and codes, is one line that counts its lessons
// and lists their days and times.

#include "import/check_names.h"
#include "import/check_records.h"
#include "import/timetable_check.h"

#include <QHash>

#include <vector>

class CheckFindings {
public:
    explicit CheckFindings(const CheckNames &names)
        : m_names(names)
    {
    }

    // A fault of the document as a whole; line 0 when unknown.
    void document(CheckKind kind, const QString &what, const QString &codes = {}, int line = 0);
    // A fault of a teacher group: "<teacher>: <what>".
    void teacher(CheckKind kind, const TimetableTeacher &teacher, const QString &what, const QString &codes = {});
    // A fault of one record, gathered with the same fault of the same teacher;
    // detail, when given, follows the record's day and times in the list.
    void lesson(CheckKind kind, const CheckedRecord &record, const QString &what, const QString &codes = {},
        const QString &detail = {});
    // A fault of a room at the time of a record, gathered by room.
    void room(
        CheckKind kind, const QString &room, const CheckedRecord &record, const QString &what, const QString &detail);

    // The lines, by severity and kind, each kind's lines in the order first found.
    CheckResult result();

private:
    struct Line {
        CheckKind kind;
        QString owner; // who or what the line is about, by name; empty for the document
        QString what;
        QString codes;
        QString employee;
        int line = 0;
        QStringList items; // each occurrence's day, times and detail, once each
        QStringList records;
    };
    Line &lineFor(CheckKind kind, const QString &owner, const QString &what, const QString &codes);
    void occurrence(Line &line, const CheckedRecord &record, const QString &detail);

    const CheckNames &m_names;
    std::vector<Line> m_lines;
    QHash<QString, int> m_index; // kind, owner, what and codes -> line
};

// Codes joined for the parentheses at the end of a line: ("empleado", "48213")...
QString codesText(std::initializer_list<std::pair<const char *, QString>> codes);
