// Step 11: the teaching loads of the planning document. Each teacher's e-mail goes
// into PROFT.DBF; each assignment completes a subject-group row of ASIGT.DBF that
// has no teacher yet, or appends a row of its own (a subject for a group, or a
// "#"-marked activity as a task). Reads ASIGNOMT.DBF, ASIGNOMT2.DBF and GRUPOST.DBF.
#include "common/clipper.h"
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/export_run.h"
#include "export/groups_table.h"
#include "export/integer_fields.h"
#include "export/planning_document.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"

#include <QHash>

#include <algorithm>
#include <optional>

namespace {

namespace pd = planning_document;

// The values of one assignment record, as they stand in the document.
struct Assignment {
    QString subjectKey;
    QString courseKey;
    QString groupKey;
    QString levelKey;
    QString pattern;
    QString origin;
    QString task;

    explicit Assignment(const ExchangeValuesRecord &record)
        : subjectKey(record.rawValue(pd::subjectKey))
        , courseKey(record.rawValue(pd::courseKey))
        , groupKey(record.rawValue(pd::groupKey))
        , levelKey(record.rawValue(pd::levelKey))
        , pattern(record.rawValue(pd::lessonPattern))
        , origin(record.rawValue(pd::hoursOrigin))
        , task(record.rawValue(pd::taskCode))
    {
    }
};

// The group values an appended subject row takes from GRUPOST.DBF: ABREV, TURNO,
// NIVEL, CURSO, GRUPO; all empty when the group is not found.
struct GroupValues {
    QString abrev, turno, nivel, curso, grupo;
};

dbf::Table openTable(const ExportRun &run, const QString &fileName, dbf::Table::Access access)
{
    dbf::Table table(run.workPath(fileName));
    table.open(access);
    return table;
}

using Records = std::vector<const ExchangeValuesRecord *>;

// The records of every top-level group, by seq, in document order: what selecting
// the records of one named group gives, gathered in one pass over the document.
QHash<QString, Records> recordsBySeq(const ExchangeValues &document)
{
    QHash<QString, Records> bySeq;
    for (const ExchangeValuesGroup &group : document.groups()) {
        Records &records = bySeq[group.seq];
        for (const ExchangeValuesRecord &record : group.records)
            records.push_back(&record);
    }
    return bySeq;
}

class PlanningStep {
public:
    explicit PlanningStep(ExportRun &run)
        : m_teachers(openTable(run, teachers_table::fileName(), dbf::Table::Access::Exclusive))
        , m_rows(openTable(run, assignments_table::fileName(), dbf::Table::Access::Exclusive))
        , m_offers(openTable(run, subject_offers_table::fileName(), dbf::Table::Access::ReadExclusive))
        , m_subjects(openTable(run, subjects_table::fileName(), dbf::Table::Access::ReadExclusive))
        , m_groups(openTable(run, groups_table::fileName(), dbf::Table::Access::ReadExclusive))
        , m_teacherAbrev(m_teachers.fieldIndex(teachers_table::abrev))
        , m_teacherEmail(m_teachers.fieldIndex(teachers_table::email))
        , m_offerCod(m_offers.fieldIndex(subject_offers_table::cod))
        , m_groupAbrev(m_groups.fieldIndex(groups_table::abrev))
        , m_groupTurno(m_groups.fieldIndex(groups_table::turno))
        , m_groupNivel(m_groups.fieldIndex(groups_table::nivel))
        , m_groupCurso(m_groups.fieldIndex(groups_table::curso))
        , m_groupGrupo(m_groups.fieldIndex(groups_table::grupo))
        , m_casig(m_rows.fieldIndex(assignments_table::casig))
        , m_cprof(m_rows.fieldIndex(assignments_table::cprof))
        , m_cgrup(m_rows.fieldIndex(assignments_table::cgrup))
        , m_turno(m_rows.fieldIndex(assignments_table::turno))
        , m_nivel(m_rows.fieldIndex(assignments_table::nivel))
        , m_curso(m_rows.fieldIndex(assignments_table::curso))
        , m_grupo(m_rows.fieldIndex(assignments_table::grupo))
        , m_horas(m_rows.fieldIndex(assignments_table::horas))
        , m_sesiones(m_rows.fieldIndex(assignments_table::sesiones))
        , m_clave(m_rows.fieldIndex(assignments_table::clave))
        , m_claveCurso(m_rows.fieldIndex(assignments_table::claveCurso))
        , m_claveGrupo(m_rows.fieldIndex(assignments_table::claveGrupo))
        , m_ctarea(m_rows.fieldIndex(assignments_table::ctarea))
        , m_corigen(m_rows.fieldIndex(assignments_table::corigen))
        , m_xNivconpagleg(m_rows.fieldIndex(assignments_table::xNivconpagleg))
        , m_teacherByXEmpleado(m_teachers, {m_teachers.fieldIndex(teachers_table::xEmpleado)})
        , m_offerByMateriaAndOfertaMatri(m_offers,
              {m_offers.fieldIndex(subject_offers_table::materia),
                  m_offers.fieldIndex(subject_offers_table::ofertaMatri)})
        , m_subjectByCod(m_subjects, {m_subjects.fieldIndex(subjects_table::cod)})
        , m_groupByClave(m_groups, {m_groups.fieldIndex(groups_table::clave)})
        , m_openRows(m_rows, {m_casig, m_cprof, m_clave, m_claveCurso, m_claveGrupo})
    {
        m_teachers.batchPosts();
        m_rows.batchPosts();
    }

    // One teacher record and the assignments of the group "PROFESOR_" n.
    void applyTeacher(const ExchangeValuesRecord &teacher, const Records &assignments)
    {
        if (teacher.count() == 0)
            return;
        QString abbreviation;
        if (const int row = m_teacherByXEmpleado.first({teacher.value(pd::teacherId)}); row >= 0) {
            abbreviation = m_teachers.text(row, m_teacherAbrev);
            m_teachers.setText(row, m_teacherEmail, teacher.value(pd::teacherEmail));
            m_teachers.post(row);
        }
        for (const ExchangeValuesRecord *record : assignments) {
            if (record->count() > 0)
                applyAssignment(Assignment(*record), abbreviation);
        }
    }

    void close()
    {
        m_teachers.close();
        m_rows.close();
        m_offers.close();
        m_subjects.close();
        m_groups.close();
    }

private:
    void applyAssignment(const Assignment &assignment, const QString &abbreviation)
    {
        const QString task = taskCode(assignment.task);
        const int offer = m_offerByMateriaAndOfertaMatri.first({assignment.subjectKey, assignment.courseKey});
        if (offer >= 0) {
            const QString subject = m_offers.text(offer, m_offerCod);
            const QStringList key = openRowKey(subject, assignment);
            if (const int row = m_openRows.first(key); row >= 0)
                completeRow(row, key, assignment, abbreviation, task);
            else
                appendSubjectRow(subject, assignment, abbreviation, task);
            return;
        }
        // The task rule: an activity of the subjects table, never the plain task "1".
        if (task != QLatin1String("1") && m_subjectByCod.first({task}) >= 0)
            appendTaskRow(assignment, abbreviation, task);
    }

    // The task code: "#" and the document's code when ASIGNOMT.DBF holds that
    // activity code, else the document's code.
    QString taskCode(const QString &code) const
    {
        const QString marked = QLatin1Char('#') + code;
        return m_subjectByCod.first({marked}) >= 0 ? marked : code;
    }

    // The first row in stored order with this subject code, a blank CPROF and the
    // assignment's subject, course and group keys: what a walk of ASIGT.DBF from its
    // first record would find. The index is kept to the rows whose CPROF is blank:
    // a row whose CPROF is filled in this run leaves it, a row appended with a blank
    // CPROF (a teacher not in PROFT.DBF) joins it, as the walk would see them.
    static QStringList openRowKey(const QString &subject, const Assignment &assignment)
    {
        return {subject, QString(), assignment.subjectKey, assignment.courseKey, assignment.groupKey};
    }

    bool hasBlankTeacher(int row) const { return m_rows.text(row, m_cprof).isEmpty(); }

    // The completion rule: the row gets the teacher and the common fields only.
    void completeRow(int row, const QStringList &filedUnder, const Assignment &assignment, const QString &abbreviation,
        const QString &task)
    {
        writeCommonFields(row, assignment, abbreviation, task);
        if (!hasBlankTeacher(row))
            m_openRows.remove(row, filedUnder);
    }

    void noteAppended(int row)
    {
        if (hasBlankTeacher(row))
            m_openRows.add(row);
    }

    // The new row rule: the subject for the assignment's group, with the group's
    // values when GRUPOST.DBF holds the group key.
    void appendSubjectRow(
        const QString &subject, const Assignment &assignment, const QString &abbreviation, const QString &task)
    {
        const GroupValues group = groupValues(assignment.groupKey);
        const Converted converted = convert(assignment);
        const int row = m_rows.appendBlank();
        m_rows.setText(row, m_casig, subject);
        m_rows.setText(row, m_cgrup, group.abrev);
        m_rows.setText(row, m_turno, group.turno);
        m_rows.setText(row, m_nivel, group.nivel);
        m_rows.setText(row, m_curso, group.curso);
        m_rows.setText(row, m_grupo, group.grupo);
        m_rows.setText(row, m_clave, assignment.subjectKey);
        m_rows.setText(row, m_claveCurso, assignment.courseKey);
        m_rows.setText(row, m_claveGrupo, assignment.groupKey);
        writeCommonFields(row, assignment, abbreviation, task, converted);
        noteAppended(row);
    }

    // The task rule: the activity itself is the subject; no group values.
    void appendTaskRow(const Assignment &assignment, const QString &abbreviation, const QString &task)
    {
        const Converted converted = convert(assignment);
        const int row = m_rows.appendBlank();
        m_rows.setText(row, m_casig, task);
        m_rows.setText(row, m_clave, task);
        m_rows.setText(row, m_claveCurso, assignment.courseKey);
        m_rows.setText(row, m_claveGrupo, assignment.groupKey);
        writeCommonFields(row, assignment, abbreviation, task, converted);
        noteAppended(row);
    }

    GroupValues groupValues(const QString &groupKey) const
    {
        if (groupKey.isEmpty())
            return {};
        const int row = m_groupByClave.first({groupKey});
        if (row < 0)
            return {};
        return {m_groups.text(row, m_groupAbrev), m_groups.text(row, m_groupTurno), m_groups.text(row, m_groupNivel),
            m_groups.text(row, m_groupCurso), m_groups.text(row, m_groupGrupo)};
    }

    // The numbers of the common fields, converted before a row is touched, so that a
    // bad value never leaves a half-written row.
    struct Converted {
        double hours = 1.0;
        std::optional<int> level; // none: the field is left empty (null)
    };

    static Converted convert(const Assignment &assignment)
    {
        Converted converted;
        // At least one hour a week, also for an empty pattern or a pattern of zeros.
        converted.hours = std::max(1, pd::digitSum(assignment.pattern).toInt());
        if (!clipper::AllTrim(assignment.levelKey).isEmpty()) {
            int level = 0;
            if (const IntegerFieldText read = readIntegerField(assignment.levelKey, level);
                read != IntegerFieldText::Valid) {
                throw UserError(QStringLiteral("ASIGT.DBF, campo X_NIVCONPAGLEG: %1")
                                    .arg(integerFieldProblem(assignment.levelKey, read)));
            }
            converted.level = level;
        }
        return converted;
    }

    void writeCommonFields(int row, const Assignment &assignment, const QString &abbreviation, const QString &task)
    {
        writeCommonFields(row, assignment, abbreviation, task, convert(assignment));
    }

    void writeCommonFields(int row, const Assignment &assignment, const QString &abbreviation, const QString &task,
        const Converted &converted)
    {
        m_rows.setText(row, m_cprof, abbreviation);
        m_rows.setDouble(row, m_horas, converted.hours);
        m_rows.setText(row, m_sesiones, assignment.pattern);
        if (m_rows.text(row, m_sesiones).isEmpty())
            m_rows.setText(row, m_sesiones, QStringLiteral("1"));
        m_rows.setText(row, m_corigen, assignment.origin);
        m_rows.setText(row, m_ctarea, task);
        // The level belongs to the assignment as much as the teacher does: an empty
        // level key empties it, also on a row an earlier assignment had completed.
        if (converted.level)
            m_rows.setInteger(row, m_xNivconpagleg, *converted.level);
        else
            m_rows.setText(row, m_xNivconpagleg, QString());
        m_rows.post(row);
    }

    dbf::Table m_teachers;
    dbf::Table m_rows;
    dbf::Table m_offers;
    dbf::Table m_subjects;
    dbf::Table m_groups;
    int m_teacherAbrev, m_teacherEmail, m_offerCod;
    int m_groupAbrev, m_groupTurno, m_groupNivel, m_groupCurso, m_groupGrupo;
    // ASIGT's fields
    int m_casig, m_cprof, m_cgrup, m_turno, m_nivel, m_curso, m_grupo, m_horas, m_sesiones, m_clave, m_claveCurso,
        m_claveGrupo, m_ctarea, m_corigen, m_xNivconpagleg;
    dbf::Index m_teacherByXEmpleado; // PROFT
    dbf::Index m_offerByMateriaAndOfertaMatri; // ASIGNOMT2
    dbf::Index m_subjectByCod; // ASIGNOMT
    dbf::Index m_groupByClave; // GRUPOST
    dbf::Index m_openRows; // ASIGT: CASIG, CPROF, CLAVE, CLAVECURSO, CLAVEGRUPO
};

} // namespace

void ExportRun::applyPlanningAssignments()
{
    PlanningStep step(*this);
    const QHash<QString, Records> assignments = recordsBySeq(planning());
    const std::vector<ExchangeValuesGroup> &teachers = planning().groups();
    const Records none;
    for (int n = 1; n <= int(teachers.size()); ++n) {
        const QString group = pd::teacherGroup(n);
        const auto found = assignments.constFind(group);
        const ExchangeValuesRecord &teacher = teachers[size_t(n - 1)].own;
        if (found != assignments.cend() && teacher.count() > 0) {
            for (size_t i = 0; i < found->size(); ++i) {
                if ((*found)[i]->count() == 0)
                    skippedRecords.add(group, int(i) + 1, 1);
            }
        }
        step.applyTeacher(teacher, found == assignments.cend() ? none : *found);
    }
    step.close();
    noteTableWritten(teachers_table::fileName());
    noteTableWritten(assignments_table::fileName());
}
