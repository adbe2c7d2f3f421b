// Lessons at the same time: the regular records sorted by who or where and when,
// and walked once, so that the work grows with the records and not their pairs.
//
// What schools do every day raises nothing: a unit with several lessons at once
// (optional subjects, split groups, co-teaching), two teachers with one unit and
// subject in one room, one teacher's lesson for several units (one record per
// unit, the subject's code differing from course to course). A teacher in another
// room or at another activity at the same time is an error; a room holding two
// units with different subjects and different teachers at once is a warning.
#include "common/text_hash.h"
#include "import/check_rules.h"

#include <algorithm>
#include <numeric>

namespace {

using F = TimetableField;

struct Placed {
    int rank = 0; // the key's place among the keys sorted by: employee or room
    int day = 0;
    int start = 0;
    int end = 0;
    int record = 0; // index in CheckContext::records
};

// Each key gets its rank in the keys' order, so the sort compares ranks and the
// codes once per distinct code.
template <typename Key> std::vector<Placed> placedBy(const CheckContext &context, Key key)
{
    TextHash<int> idOf;
    std::vector<QString> keys;
    std::vector<Placed> placed;
    for (const CheckedRecord &record : context.records) {
        if (!record.regular || !record.placed())
            continue;
        const QString &who = key(record);
        if (who.isEmpty())
            continue;
        const int id = idOf.emplace(who, int(keys.size()));
        if (id == int(keys.size()))
            keys.push_back(who);
        placed.push_back({id, record.day, record.start, record.end, record.index});
    }
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    std::vector<int> rankOf(keys.size());
    for (size_t r = 0; r < order.size(); ++r)
        rankOf[size_t(order[r])] = int(r);
    for (Placed &p : placed)
        p.rank = rankOf[size_t(p.rank)];
    std::sort(placed.begin(), placed.end(), [](const Placed &a, const Placed &b) {
        return std::tie(a.rank, a.day, a.start, a.end, a.record) < std::tie(b.rank, b.day, b.start, b.end, b.record);
    });
    return placed;
}

// Each run of records of one key and day whose times overlap one after another.
template <typename Visit> void forEachCluster(const std::vector<Placed> &placed, Visit visit)
{
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

QString whereText(const CheckContext &context, const CheckedRecord &record)
{
    const QString &room = record.code(F::X_DEPENDENCIA);
    const QString &unit = record.code(F::X_UNIDAD);
    QString text = context.names.taught(*record.record);
    if (!unit.isEmpty())
        text += QStringLiteral(" con ") + context.names.unit(unit);
    return text + QStringLiteral(" en ")
        + (room.isEmpty() ? QStringLiteral("ninguna dependencia") : context.names.room(room));
}

} // namespace

void checkOverlaps(const CheckContext &context, CheckFindings &findings)
{
    const auto &records = context.records;
    // A teacher in two places, or at two activities: each record that differs from one it overlaps, once.
    const std::vector<Placed> byTeacher
        = placedBy(context, [](const CheckedRecord &r) -> const QString & { return r.employee(); });
    forEachCluster(byTeacher, [&](const Placed *begin, const Placed *end) {
        for (const Placed *a = begin + 1; a != end; ++a) {
            const CheckedRecord &ra = records[size_t(a->record)];
            for (const Placed *b = begin; b != a; ++b) {
                const CheckedRecord &rb = records[size_t(b->record)];
                if (b->end <= a->start
                    || (ra.code(F::X_DEPENDENCIA) == rb.code(F::X_DEPENDENCIA)
                        && ra.code(F::X_ACTIVIDAD) == rb.code(F::X_ACTIVIDAD)))
                    continue;
                findings.lesson(CheckKind::TeacherInTwoPlaces, ra,
                    QStringLiteral("está en dos lecciones distintas a la vez"), {},
                    whereText(context, rb) + QStringLiteral(" y ") + whereText(context, ra));
                break;
            }
        }
    });

    // A room holding two units with different subjects and different teachers at once: once per run.
    const std::vector<Placed> byRoom
        = placedBy(context, [](const CheckedRecord &r) -> const QString & { return r.code(F::X_DEPENDENCIA); });
    forEachCluster(byRoom, [&](const Placed *begin, const Placed *end) {
        for (const Placed *a = begin + 1; a != end; ++a) {
            const CheckedRecord &ra = records[size_t(a->record)];
            for (const Placed *b = begin; b != a; ++b) {
                const CheckedRecord &rb = records[size_t(b->record)];
                const QString &unitA = ra.code(F::X_UNIDAD);
                const QString &unitB = rb.code(F::X_UNIDAD);
                if (b->end <= a->start || unitA.isEmpty() || unitB.isEmpty() || unitA == unitB
                    || ra.employee() == rb.employee()
                    || context.names.taught(*ra.record) == context.names.taught(*rb.record))
                    continue;
                const auto who = [&](const CheckedRecord &r) {
                    return QStringLiteral("%1 (%2, %3)")
                        .arg(context.names.unit(r.code(F::X_UNIDAD)), context.names.taught(*r.record),
                            context.names.teacher(r.employee()));
                };
                findings.room(CheckKind::RoomTwiceBooked, ra.code(F::X_DEPENDENCIA), ra,
                    QStringLiteral("la ocupan a la vez dos unidades con materias y profesores distintos"),
                    who(rb) + QStringLiteral(" y ") + who(ra));
                return;
            }
        }
    });
}
