#pragma once
// A small school and its timetable document, built in memory for the check's
// rules: three teachers, three slots, three rooms, three units of two courses, a
// few subjects and activities, the catalogues. A good document has no finding;
// a test adds or changes the lessons that show its case.
//
//   SmallTimetable t;
//   t.lesson("1001", {.unit = "501", .subject = "201"});
//   t.lesson("1002", {.unit = "501", .subject = "202", .room = "902"});
//   const CheckResult result = t.check();

#include "import/seneca_export.h"
#include "import/timetable_check.h"
#include "import/timetable_content.h"

#include <QString>

#include <optional>
#include <vector>

struct SmallLesson {
    QString day = QStringLiteral("1");
    QString slot = QStringLiteral("101"); // 1ª hora, 08:15–09:15
    QString room = QStringLiteral("901");
    QString unit = QStringLiteral("501");
    QString course = QStringLiteral("11");
    QString subject = QStringLiteral("201");
    QString activity = QStringLiteral("1");
    std::optional<QString> authorisation = std::nullopt; // absent unless given
    QString start = {}; // the slot's minutes unless given
    QString end = {};
    QString firstDay = QStringLiteral("15/09/2025");
    QString lastDay = QStringLiteral("22/06/2026");
};

class SmallTimetable {
public:
    SmallTimetable();

    SenecaExport seneca;
    bool withNonRegularSection = true;

    // A regular lesson of the teacher; its index among the teacher's lessons.
    SmallTimetable &lesson(const QString &employee, const SmallLesson &lesson);
    // The teacher's taking of post, in the export and the document alike.
    SmallTimetable &takesPost(const QString &employee, const QString &date);
    // A non-regular activity of the teacher, with its minutes a week.
    SmallTimetable &nonRegular(const QString &employee, const QString &activity, const QString &minutes);

    // The document as a reader would file it: both sections with every teacher.
    TimetableContent content() const;
    CheckResult check() const;

private:
    struct Teacher {
        QString employee, takingPost;
        std::vector<SmallLesson> lessons;
        std::vector<std::pair<QString, QString>> activities; // code, minutes
    };
    Teacher &teacher(const QString &employee);
    std::vector<Teacher> m_teachers;
};
