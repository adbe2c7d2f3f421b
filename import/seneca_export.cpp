// Reads the Séneca export for the check of a timetable document: each group's
// values by the positions the export steps read them at.
#include "import/seneca_export.h"

#include "common/clipper.h"
#include "common/exchange_values.h"
#include "export/time_frames.h"

#include <QFile>
#include <QRegularExpression>

namespace {

const std::vector<ExchangeValuesRecord> &recordsOf(
    const ExchangeValues &values, const char *seq, std::vector<ExchangeValuesRecord> &joined)
{
    // Several groups of one name follow each other, as the export steps read them.
    static const std::vector<ExchangeValuesRecord> none;
    const ExchangeValuesGroup *only = nullptr;
    int found = 0;
    for (const ExchangeValuesGroup &group : values.groups()) {
        if (group.seq != QLatin1String(seq))
            continue;
        ++found;
        only = &group;
        joined.insert(joined.end(), group.records.begin(), group.records.end());
    }
    if (found == 1)
        return only->records;
    return found == 0 ? none : joined;
}

// The fecha of the root element, from the file's first bytes: the streaming pass
// keeps no attribute of SERVICIO.
QString exportDateOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QString head = QString::fromLatin1(file.read(4096));
    static const QRegularExpression fecha(QStringLiteral("<SERVICIO[^>]*\\sfecha\\s*=\\s*\"([^\"]*)\""));
    const QRegularExpressionMatch match = fecha.match(head);
    return match.hasMatch() ? match.captured(1) : QString();
}

QString personName(const ExchangeValuesRecord &teacher)
{
    QStringList parts;
    for (int position : {5, 3, 4}) {
        const QString part = teacher.value(position);
        if (!part.isEmpty())
            parts << part;
    }
    return parts.join(QLatin1Char(' '));
}

} // namespace

SenecaExport SenecaExport::read(const QString &path)
{
    const ExchangeValues values = ExchangeValues::read(path);
    SenecaExport out;
    out.path = path;
    out.exportDate = exportDateOf(path);

    // The academic year and its dates: the own values of the first two groups, as
    // PERIODOS.DBF takes them, with the first time frame's dates as a fallback.
    for (size_t i = 0; i < 2 && i < values.groups().size(); ++i) {
        const ExchangeValuesRecord &own = values.groups()[i].own;
        if (own.count() <= 1)
            continue;
        if (out.year.isEmpty())
            out.year = own.value(0).left(4);
        out.yearStart = own.value(1);
        out.yearEnd = own.value(2);
    }
    std::vector<ExchangeValuesRecord> joined;
    if (out.yearStart.isEmpty() || out.yearEnd.isEmpty()) {
        const auto &frames = recordsOf(values, "JORNADAS_ESCOLARES", joined);
        if (!frames.empty() && frames.front().count() > 1) {
            out.yearStart = frames.front().value(time_frames::frameFirstDate);
            out.yearEnd = frames.front().value(time_frames::frameSecondDate);
        }
    }

    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "EMPLEADOS", joined)) {
        const QString employee = record.value(0);
        if (employee.isEmpty() || out.teacherIndex.contains(employee))
            continue;
        out.teacherIndex.insert(employee, int(out.teachers.size()));
        out.teachers.push_back({employee, record.value(1), personName(record)});
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "TRAMOS_HORARIOS", joined)) {
        SenecaSlot slot;
        slot.code = record.value(time_frames::slotCode);
        if (slot.code.isEmpty() || out.slotIndex.contains(slot.code))
            continue;
        slot.label = record.value(time_frames::slotLabel);
        slot.frame = record.value(time_frames::slotFrameCode);
        slot.timesValid = time_frames::slotMinutes(record.value(time_frames::slotStart), slot.start)
            && time_frames::slotMinutes(record.value(time_frames::slotEnd), slot.end);
        out.slotIndex.insert(slot.code, int(out.slots.size()));
        out.slots.push_back(slot);
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "DEPENDENCIAS", joined))
        out.rooms.insert(record.value(0), record.value(1));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "UNIDADES", joined))
        out.units.insert(record.value(0), {record.value(1), record.value(2)});
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "CURSOS_DEL_CENTRO", joined))
        out.courses.insert(record.value(0), record.value(1));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "MATERIAS", joined))
        out.subjects.insert(subjectKey(record.value(2), record.value(0)), record.value(1));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "ACTIVIDADES", joined)) {
        SenecaActivity activity;
        activity.regular = record.value(0) != QLatin1String("N");
        activity.name = record.value(2);
        activity.needsUnit = record.value(3) == QLatin1String("S");
        activity.needsSubject = record.value(4) == QLatin1String("S");
        out.activities.insert(record.value(1), activity);
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "ORIGENES", joined)) {
        out.hasCatalogues = true;
        out.categories.insert(record.value(0), record.value(1));
    }
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "NIVELES", joined))
        out.levels.insert(record.value(0), record.value(2).isEmpty() ? record.value(1) : record.value(2));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "CURSOS_NIVELES", joined))
        out.courseLevel.insert(record.value(0), record.value(1));
    joined.clear();
    for (const ExchangeValuesRecord &record : recordsOf(values, "AUTORIZACIONES", joined))
        out.authorisations.insert(record.value(0), {record.value(1), record.value(2), record.value(3)});
    return out;
}
