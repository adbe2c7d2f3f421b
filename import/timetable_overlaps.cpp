// Lessons at the same time: the regular records sorted by who or where and when,
// and walked once, so that the work grows with the records and not their pairs.
//
// A teacher may hold several records at once when they are one lesson: one per
// unit taught together in one room, and the same subject even where its code
// differs from course to course. A different room, activity or subject name at
// the same time is a teacher in two places.
#include "common/clipper.h"
#include "common/text_hash.h"
#include "export/time_frames.h"
#include "import/check_findings.h"

#include <QStringList>

#include <algorithm>
#include <numeric>

namespace {

struct Placed {
    QString who; // the key sorted by: employee, room or unit
    int rank = 0; // who's place among the keys, in their order
    int day = 0;
    int start = 0;
    int end = 0;
    int record = 0; // index in TimetableContent::records
};

struct Lesson {
    QString employee, room, activity, subjectName, unit;
};

QString whenText(const Placed &placed)
{
    return QStringLiteral("el %1 de %2 a %3")
        .arg(check_texts::dayName(placed.day), time_frames::timeText(placed.start), time_frames::timeText(placed.end));
}

// Each run of records of one key and day whose times overlap one after another.
// The keys are compared once per distinct key, not once per comparison of the
// sort: each gets its rank in the keys' order, and the sort compares ranks.
void rankKeys(std::vector<Placed> &placed)
{
    TextHash<int> idOf;
    std::vector<QString> keys;
    for (Placed &p : placed) {
        const int id = idOf.emplace(p.who, int(keys.size()));
        if (id == int(keys.size()))
            keys.push_back(p.who);
        p.rank = id;
    }
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    std::vector<int> rankOf(keys.size());
    for (size_t r = 0; r < order.size(); ++r)
        rankOf[size_t(order[r])] = int(r);
    for (Placed &p : placed)
        p.rank = rankOf[size_t(p.rank)];
}

template <typename Visit> void forEachCluster(std::vector<Placed> &placed, Visit visit)
{
    rankKeys(placed);
    std::sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) {
        return std::tie(a.rank, a.day, a.start, a.end, a.record) < std::tie(b.rank, b.day, b.start, b.end, b.record);
    });
    size_t begin = 0;
    while (begin < placed.size()) {
        size_t end = begin + 1;
        int until = placed[begin].end;
        while (end < placed.size() && placed[end].rank == placed[begin].rank && placed[end].day == placed[begin].day
            && placed[end].start < until) {
            until = std::max(until, placed[end].end);
            ++end;
        }
        if (end - begin > 1)
            visit(&placed[begin], &placed[end]);
        begin = end;
    }
}

} // namespace

void checkOverlaps(const SenecaExport &seneca, CheckFindings &findings)
{
    const TimetableContent &content = findings.content();
    std::vector<Lesson> lessons(content.records.size());
    std::vector<Placed> byTeacher, byRoom, byUnit;
    for (size_t i = 0; i < content.records.size(); ++i) {
        const TimetableRecord &record = content.records[i];
        const TimetableTeacher &teacher = content.teachers[size_t(record.teacher)];
        if (!teacher.regular)
            continue;
        Placed placed;
        placed.record = int(i);
        if (!clipper::parseWholeNumber(record.value(TimetableField::N_DIASEMANA), placed.day)
            || !clipper::parseWholeNumber(record.value(TimetableField::N_HORINI), placed.start)
            || !clipper::parseWholeNumber(record.value(TimetableField::N_HORFIN), placed.end)
            || placed.start >= placed.end)
            continue;
        Lesson &lesson = lessons[i];
        lesson.employee = teacher.employee();
        lesson.room = record.value(TimetableField::X_DEPENDENCIA);
        lesson.activity = record.value(TimetableField::X_ACTIVIDAD);
        lesson.unit = record.value(TimetableField::X_UNIDAD);
        const QString &subject = record.value(TimetableField::X_MATERIAOMG);
        lesson.subjectName = seneca.subjects.value(
            SenecaExport::subjectKey(subject, record.value(TimetableField::X_OFERTAMATRIG)), subject);
        placed.who = lesson.employee;
        byTeacher.push_back(placed);
        if (!lesson.room.isEmpty()) {
            placed.who = lesson.room;
            byRoom.push_back(placed);
        }
        if (!lesson.unit.isEmpty()) {
            placed.who = lesson.unit;
            byUnit.push_back(placed);
        }
    }

    // A teacher in two places: each record that differs from one it overlaps, once.
    forEachCluster(byTeacher, [&](const Placed *begin, const Placed *end) {
        for (const Placed *a = begin + 1; a != end; ++a) {
            const Lesson &la = lessons[size_t(a->record)];
            for (const Placed *b = begin; b != a; ++b) {
                if (b->end <= a->start)
                    continue;
                const Lesson &lb = lessons[size_t(b->record)];
                QString what;
                if (la.room != lb.room)
                    what = QStringLiteral("en otra dependencia (%1 y %2)").arg(lb.room, la.room);
                else if (la.activity != lb.activity)
                    what = QStringLiteral("con otra actividad (%1 y %2)").arg(lb.activity, la.activity);
                else if (la.subjectName != lb.subjectName)
                    what = QStringLiteral("con otra materia (%1 y %2)").arg(lb.subjectName, la.subjectName);
                if (what.isEmpty())
                    continue;
                findings.record(CheckSeverity::Error, content.records[size_t(a->record)],
                    QStringLiteral("El profesor está a la vez en %1, %2 %3")
                        .arg(content.records[size_t(b->record)].seq, whenText(*a), what));
                break;
            }
        }
    });

    // A room or a unit shared at once by several teachers: one warning per run.
    const auto shared = [&](std::vector<Placed> &placed, const QString &what) {
        forEachCluster(placed, [&](const Placed *begin, const Placed *end) {
            QStringList employees;
            const Placed *second = nullptr;
            for (const Placed *p = begin; p != end; ++p) {
                const QString &employee = lessons[size_t(p->record)].employee;
                if (!employees.contains(employee)) {
                    employees << employee;
                    if (!second && employees.size() == 2)
                        second = p;
                }
            }
            if (!second)
                return;
            findings.record(CheckSeverity::Warning, content.records[size_t(second->record)],
                what.arg(begin->who, whenText(*begin), employees.join(QStringLiteral(", "))));
        });
    };
    shared(byRoom, QStringLiteral("La dependencia %1 la usan a la vez varios profesores %2 (empleados %3)"));
    // A unit with two lessons at once: different teachers, or one teacher's two subjects (an error above already).
    shared(byUnit, QStringLiteral("La unidad %1 tiene varias lecciones a la vez %2 (empleados %3)"));
}
