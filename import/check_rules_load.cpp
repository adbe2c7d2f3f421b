// The load rules: each teacher's weekly time, the taking of post against the
// export and the lessons, records repeated exactly, and the export's teachers the
// document gives no timetable.
#include "common/text_hash.h"
#include "import/check_rules.h"

#include <algorithm>
#include <array>
#include <unordered_map>

namespace {

using F = TimetableField;
using K = CheckKind;

constexpr int kWeeklyRegularLimit = 25 * 60; // minutes
constexpr int kNonRegularLimit = 360; // minutes a week: an hour past the usual 300

// The regular time of a teacher, counted once however many units share it.
long long regularMinutes(const CheckContext &context, const TimetableTeacher &teacher)
{
    std::vector<std::array<int, 3>> spans; // day, start, end
    for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
        const CheckedRecord &record = context.records[size_t(i)];
        if (record.placed())
            spans.push_back({record.day, record.start, record.end});
    }
    std::sort(spans.begin(), spans.end());
    long long minutes = 0;
    int day = 0, coveredUntil = 0;
    for (const auto &span : spans) {
        if (span[0] != day) {
            day = span[0];
            coveredUntil = span[1];
        }
        const int from = std::max(span[1], coveredUntil);
        if (span[2] > from)
            minutes += span[2] - from;
        coveredUntil = std::max(coveredUntil, span[2]);
    }
    return minutes;
}

void load(const CheckContext &context, CheckFindings &findings, const TimetableTeacher &teacher)
{
    if (!teacher.regular) {
        int minutes = 0;
        for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
            const CheckedRecord &record = context.records[size_t(i)];
            if (record.minutesRead && record.minutes > 0)
                minutes += record.minutes;
        }
        if (minutes > kNonRegularLimit) {
            findings.teacher(K::NonRegularLoad, teacher,
                QStringLiteral("su horario no regular suma %1 h %2 min a la semana, más de 6 horas")
                    .arg(minutes / 60)
                    .arg(minutes % 60));
        }
        return;
    }
    const long long minutes = regularMinutes(context, teacher);
    if (minutes > kWeeklyRegularLimit) {
        findings.teacher(K::RegularLoad, teacher,
            QStringLiteral("su horario regular suma %1 h %2 min a la semana, más de 25 horas")
                .arg(minutes / 60)
                .arg(minutes % 60));
    }
}

void takingPost(const CheckContext &context, CheckFindings &findings, const TimetableTeacher &teacher)
{
    const SenecaTeacher *known = context.seneca.teacher(teacher.employee());
    if (!known)
        return;
    const QString &takingPost = teacher.value(F::F_TOMAPOS);
    if (takingPost != known->takingPost) {
        findings.teacher(K::TakingPostDiffers, teacher,
            QStringLiteral("su toma de posesión es %1 en el documento y %2 en Séneca")
                .arg(check_rules::quoted(takingPost), check_rules::quoted(known->takingPost)));
    }
    if (!teacher.regular)
        return;
    const QDate post = check_rules::dateOf(takingPost.isEmpty() ? known->takingPost : takingPost);
    if (!post.isValid())
        return;
    int early = 0;
    for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
        const QDate start = check_rules::dateOf(context.records[size_t(i)].code(F::F_INICIO));
        if (start.isValid() && start < post)
            ++early;
    }
    if (early > 0) {
        findings.teacher(K::BeforeTakingPost, teacher,
            QStringLiteral("%1 lecciones empiezan antes de su toma de posesión (%2)")
                .arg(early)
                .arg(post.toString(QStringLiteral("dd/MM/yyyy"))));
    }
}

// Exact copies among a teacher's regular lessons: found by a hash of the datos,
// and confirmed by comparing them. Two lessons of one non-regular activity are
// two identical records by rule, and no finding.
void repeated(const CheckContext &context, CheckFindings &findings, const TimetableTeacher &teacher,
    std::unordered_multimap<size_t, int> &seen)
{
    seen.clear();
    const text_hash::Hash hashOf;
    for (int i = teacher.firstRecord; i < teacher.firstRecord + teacher.recordCount; ++i) {
        const TimetableRecord &record = context.content.records[size_t(i)];
        size_t hash = record.datos.size();
        for (const TimetableDato &dato : record.datos)
            hash = (hash * 31 + hashOf(dato.name)) * 31 + hashOf(dato.value);
        bool copy = false;
        for (auto [it, end] = seen.equal_range(hash); it != end && !copy; ++it)
            copy = context.content.records[size_t(it->second)].datos == record.datos;
        if (copy) {
            const CheckedRecord &checked = context.records[size_t(i)];
            findings.lesson(K::RepeatedLesson, checked, QStringLiteral("lecciones repetidas exactamente"));
        } else {
            seen.emplace(hash, i);
        }
    }
}

} // namespace

void checkLoad(const CheckContext &context, CheckFindings &findings)
{
    TextHash<bool> withTimetable;
    std::unordered_multimap<size_t, int> seen;
    for (const TimetableTeacher &teacher : context.content.teachers) {
        load(context, findings, teacher);
        takingPost(context, findings, teacher);
        if (teacher.regular)
            repeated(context, findings, teacher, seen);
        if (teacher.recordCount > 0)
            withTimetable.insert(teacher.employee(), true);
    }
    QStringList names, codes;
    for (const SenecaTeacher &teacher : context.seneca.teachers) {
        if (!withTimetable.contains(teacher.employee)) {
            names << context.names.teacher(teacher.employee);
            codes << teacher.employee;
        }
    }
    if (names.isEmpty())
        return;
    constexpr int shown = 20;
    const auto some = [&](const QStringList &list) {
        return list.size() <= shown
            ? list.join(QStringLiteral(", "))
            : list.mid(0, shown).join(QStringLiteral(", ")) + QStringLiteral(" y %1 más").arg(list.size() - shown);
    };
    findings.document(K::WithoutTimetable,
        names.size() == 1
            ? QStringLiteral("1 profesor de Séneca no tiene horario en el documento: %1").arg(names.front())
            : QStringLiteral("%1 profesores de Séneca no tienen horario en el documento: %2")
                  .arg(names.size())
                  .arg(some(names)),
        (names.size() == 1 ? QStringLiteral("empleado ") : QStringLiteral("empleados ")) + some(codes));
}
