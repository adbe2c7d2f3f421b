// The form rules: what the reader saw of the file, the sections, each teacher
// group, and the datos' fixed order in which Séneca takes them.
#include "common/text_hash.h"
#include "import/check_rules.h"
#include "import/timetable_datos.h"
#include "import/timetable_names.h"

namespace {

using F = TimetableField;
using K = CheckKind;

QString namesOf(const TimetableDatos &datos)
{
    QStringList names;
    for (const TimetableDato &dato : datos.datos)
        names << (dato.name.isEmpty() ? QStringLiteral("(sin nombre)") : dato.name);
    return QStringLiteral("datos ") + names.join(QStringLiteral(", "));
}

QString sectionName(bool regular)
{
    return regular ? QStringLiteral("regular") : QStringLiteral("no regular");
}

void sections(const CheckContext &context, CheckFindings &findings)
{
    bool year = false, nonRegular = false, regular = false;
    for (const TimetableSection &section : context.content.sections) {
        if (section.seq == QLatin1String(timetable_names::yearGroup)) {
            year = true;
            const QString &value = section.own.value(F::C_ANNO);
            if (value != context.seneca.year) {
                findings.document(K::WrongYear,
                    QStringLiteral("El documento es del curso %1 y la exportación de Séneca del curso %2")
                        .arg(check_rules::quoted(value), context.seneca.year),
                    {}, section.line);
            }
            continue;
        }
        const bool isNonRegular = section.seq == QLatin1String(timetable_names::nonRegularSection);
        const bool isRegular = section.seq == QLatin1String(timetable_names::regularSection);
        if (!isNonRegular && !isRegular) {
            findings.document(K::ForeignGroup,
                QStringLiteral("El documento tiene un grupo %1 que no es de un documento de horarios")
                    .arg(check_rules::quoted(section.seq)),
                {}, section.line);
            continue;
        }
        (isRegular ? regular : nonRegular) = true;
        if (section.registros != QString::number(section.teacherCount)) {
            findings.document(K::SectionCount,
                QStringLiteral("La sección del horario %1 dice tener %2 profesores y tiene %3")
                    .arg(sectionName(isRegular), check_rules::quoted(section.registros))
                    .arg(section.teacherCount),
                {}, section.line);
        }
    }
    if (!year)
        findings.document(K::MissingSection, QStringLiteral("Falta el curso académico del documento"));
    if (!regular)
        findings.document(K::MissingSection, QStringLiteral("Falta la sección del horario regular"));
    if (!nonRegular)
        findings.document(
            K::NoNonRegularSection, QStringLiteral("El documento no tiene sección de horario no regular"));
}

void teacherGroups(const CheckContext &context, CheckFindings &findings)
{
    TextHash<const TimetableTeacher *> seen[2];
    for (const TimetableTeacher &teacher : context.content.teachers) {
        if (!timetable_datos::inOrder(teacher, TimetableGroup::Teacher)) {
            findings.teacher(K::DatosOutOfOrder, teacher,
                QStringLiteral("sus datos de profesor no están en el orden en que los lee Séneca"), namesOf(teacher));
        }
        if (teacher.registros != QString::number(teacher.recordCount)) {
            findings.teacher(K::LessonCount, teacher,
                QStringLiteral("su horario %1 dice tener %2 lecciones y tiene %3")
                    .arg(sectionName(teacher.regular), check_rules::quoted(teacher.registros))
                    .arg(teacher.recordCount));
        }
        const QString employee = teacher.employee();
        if (!context.seneca.teacher(employee)) {
            findings.teacher(K::UnknownTeacher, teacher,
                employee.isEmpty()
                    ? QStringLiteral("su horario %1 no dice de qué profesor es").arg(sectionName(teacher.regular))
                    : QStringLiteral("Séneca no tiene ningún profesor con este código de empleado"));
        }
        if (employee.isEmpty())
            continue;
        const TimetableTeacher *first = seen[teacher.regular ? 1 : 0].emplace(employee, &teacher);
        if (first != &teacher) {
            findings.teacher(K::TeacherTwice, teacher,
                QStringLiteral("tiene dos horarios %1 en el documento").arg(sectionName(teacher.regular)));
        }
    }
}

void recordForms(const CheckContext &context, CheckFindings &findings)
{
    for (const CheckedRecord &record : context.records) {
        const bool ordered = timetable_datos::inOrder(
            *record.record, record.regular ? TimetableGroup::Regular : TimetableGroup::NonRegular);
        if (!ordered || record.record->nestedGroups > 0) {
            findings.lesson(K::DatosOutOfOrder, record,
                record.regular ? QStringLiteral("lecciones con sus datos fuera del orden en que los lee Séneca")
                               : QStringLiteral("actividades no regulares con sus datos fuera del orden en que los "
                                                "lee Séneca"));
        }
    }
}

} // namespace

bool checkForm(const CheckContext &context, CheckFindings &findings)
{
    const TimetableContent &content = context.content;
    if (content.controlBytes > 0) {
        findings.document(K::Misencoded,
            QStringLiteral("El documento se declara en ISO-8859-1 y tiene %1 bytes entre 0x80 y 0x9F, que en esa "
                           "codificación son caracteres de control y no letras (el primero en la línea %2); "
                           "probablemente se escribió en Windows-1252")
                .arg(content.controlBytes)
                .arg(content.firstControlByteLine),
            {}, content.firstControlByteLine);
    }
    if (!content.parseError.isEmpty()) {
        findings.document(K::NotWellFormed,
            QStringLiteral("El documento no es XML válido en la codificación que declara (%1)%2: %3")
                .arg(content.declaredEncoding.isEmpty() ? QStringLiteral("UTF-8") : content.declaredEncoding,
                    content.parseErrorLine > 0 ? QStringLiteral(", línea %1").arg(content.parseErrorLine) : QString(),
                    content.parseError),
            {}, content.parseErrorLine);
        return false;
    }
    if (!content.hasRoot) {
        findings.document(
            K::NoRoot, QStringLiteral("El documento no tiene el bloque de datos de un documento de Séneca"));
        return false;
    }
    sections(context, findings);
    teacherGroups(context, findings);
    recordForms(context, findings);
    return true;
}
