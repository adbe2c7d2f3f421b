// Before step 1 deletes or writes any table, every value of both documents that a
// step will read as a whole number is tried: the start and end of every time slot,
// the integer fields of every catalogue entry, the digits of every lesson pattern
// and every level key. A file with one bad value is damaged; the person hears of
// every bad value at once, and the working folder stays as the last export left it.
// The check covers records the run would not end up using (slots of frames not
// chosen, catalogues without "ORIGENES", teacher groups beyond the block's count).
#include "common/clipper.h"
#include "common/user_error.h"
#include "export/catalogues.h"
#include "export/export_run.h"
#include "export/integer_fields.h"
#include "export/planning_document.h"
#include "export/time_frames.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>

namespace {

// How the person finds the value in the file: its nombre_dato, or its position
// when the dato has no name or is missing.
QString fieldLabel(const QString &name, int position)
{
    if (!name.isEmpty())
        return QStringLiteral("campo %1").arg(name);
    return QStringLiteral("posición %1").arg(position);
}

// A record of either document: the nombre_dato at the position.
template <typename Record> QString fieldLabel(const Record &record, int position)
{
    return fieldLabel(record.name(position), position);
}

QString problemLine(const QString &group, int recordNumber, const QString &field, const QString &reason)
{
    return QStringLiteral("- %1, registro %2, %3: %4").arg(group).arg(recordNumber).arg(field, reason);
}

// Why a value cannot go into an integer field, or the empty text when it can.
template <typename Record> QString integerFieldReason(const Record &record, int position, const QString &text)
{
    int number = 0;
    const IntegerFieldText read = readIntegerField(text, number);
    if (read == IntegerFieldText::Valid)
        return QString();
    if (!record.has(position))
        return QStringLiteral("falta el valor, que debe ser un número entero");
    return integerFieldProblem(text, read);
}

void checkSlots(const ExchangeDocument &seneca, QStringList &problems)
{
    int recordNumber = 0;
    for (const ExchangeRecord &record : seneca.records(time_frames::slotsGroup())) {
        ++recordNumber;
        for (int position : {time_frames::slotStart, time_frames::slotEnd}) {
            const QString text = record.value(position);
            int minutes = 0;
            if (time_frames::slotMinutes(text, minutes))
                continue;
            // A short text is read with a "0" in front; say so, or "-5" would look fine.
            const QString read = text.size() < 4 ? QLatin1Char('0') + text : text;
            QString reason = notAnIntegerText(read);
            if (read != text)
                reason += QStringLiteral(" (el texto '%1' con un 0 delante)").arg(text);
            problems << problemLine(time_frames::slotsGroup(), recordNumber, fieldLabel(record, position), reason);
        }
    }
}

void checkCatalogues(const ExchangeDocument &seneca, QStringList &problems)
{
    for (const Catalogue &catalogue : catalogues()) {
        int recordNumber = 0;
        for (const ExchangeRecord &record : seneca.records(catalogue.group)) {
            ++recordNumber;
            if (record.count() < kCatalogueMinimumValues)
                continue;
            for (int position = 0; position < int(catalogue.layout.size()); ++position) {
                if (catalogue.layout[size_t(position)].type != dbf::FieldType::Integer)
                    continue;
                const QString reason = integerFieldReason(record, position, record.value(position));
                if (!reason.isEmpty())
                    problems << problemLine(catalogue.group, recordNumber, fieldLabel(record, position), reason);
            }
        }
    }
}

void checkAssignments(const ExchangeValues &planning, QStringList &problems)
{
    static const QRegularExpression teacherGroup(
        QStringLiteral("^%1[0-9]+$").arg(planning_document::teacherGroupPrefix()));
    QHash<QString, int> recordsSeen; // per group name: records of several groups of one name follow each other
    for (const ExchangeValuesGroup &group : planning.groups()) {
        const QString &seq = group.seq;
        if (!teacherGroup.match(seq).hasMatch())
            continue;
        int &recordNumber = recordsSeen[seq];
        for (const ExchangeValuesRecord &record : group.records) {
            ++recordNumber;
            if (record.count() == 0)
                continue;
            // A level key that is empty once spaces are trimmed leaves the field empty.
            const QString level = record.rawValue(planning_document::levelKey);
            if (!clipper::AllTrim(level).isEmpty()) {
                const QString reason = integerFieldReason(record, planning_document::levelKey, level);
                if (!reason.isEmpty())
                    problems << problemLine(seq, recordNumber, fieldLabel(record, planning_document::levelKey), reason);
            }
            const QString pattern = record.rawValue(planning_document::lessonPattern);
            if (const int bad = planning_document::firstNonDigit(pattern); bad >= 0) {
                problems << problemLine(seq, recordNumber, fieldLabel(record, planning_document::lessonPattern),
                    QStringLiteral("'%1' debe tener una cifra por clase semanal: %2")
                        .arg(pattern, notAnIntegerText(pattern.at(bad))));
            }
        }
    }
}

QString fileSection(const QString &title, const QString &path, const QStringList &problems)
{
    return QStringLiteral("\n\n%1 %2:\n%3")
        .arg(title, QDir::toNativeSeparators(path), problems.join(QLatin1Char('\n')));
}

} // namespace

void ExportRun::checkWholeNumbers()
{
    if (!hasDocuments())
        return;
    QStringList senecaProblems;
    checkSlots(seneca(), senecaProblems);
    checkCatalogues(seneca(), senecaProblems);
    QStringList planningProblems;
    checkAssignments(planning(), planningProblems);
    if (senecaProblems.isEmpty() && planningProblems.isEmpty())
        return;

    QString message = QStringLiteral("No se ha borrado ni escrito ninguna tabla: hay valores que deben ser números "
                                     "enteros y no lo son. Corrija los archivos y vuelva a exportar.");
    if (!senecaProblems.isEmpty())
        message += fileSection(QStringLiteral("Archivo de Séneca"), seneca().path(), senecaProblems);
    if (!planningProblems.isEmpty())
        message += fileSection(QStringLiteral("Archivo de Planificación"), planning().path(), planningProblems);
    throw UserError(message);
}
