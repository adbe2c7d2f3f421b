// Step 8: writes ASIGT.DBF from the Séneca group MATERIAS: every group of a
// subject's course (GRUPOST.DBF) gets the subject (by its code in ASIGNOMT.DBF),
// with the default weekly load and no teacher or room yet.
#include "export/assignments_table.h"
#include "export/groups_table.h"
#include "export/subjects_table.h"

#include "common/clipper.h"
#include "common/stored_text.h"
#include "common/text_hash.h"
#include "export/export_run.h"
#include "export/subject_entry.h"
#include "export/weekly_load.h"

#include <vector>

namespace {

// The name as the subject search compares it: a-z in capitals, no surrounding spaces.
QString comparableName(const QString &name)
{
    return clipper::AllTrim(clipper::UpperAscii(name));
}

// Subject codes by name. Stands for the walk of ASIGNOMT.DBF from its first record
// that compares each NOMBRE with the first 80 characters of the name, both in
// comparable form, and takes the first match: subjects come before activities, so
// a name that also names an activity gets the subject's code.
class SubjectCodesByName {
public:
    explicit SubjectCodesByName(const QString &path)
    {
        dbf::Table subjects(path);
        subjects.open(dbf::Table::Access::ReadExclusive);
        const int cod = subjects.fieldIndex(subjects_table::cod);
        const int nombre = subjects.fieldIndex(subjects_table::nombre);
        m_nombreField = subjects.field(nombre);
        for (int row : subjects.liveRows()) {
            const QString key = comparableName(subjects.text(row, nombre));
            m_codes.emplace(key, subjects.text(row, cod));
        }
    }

    std::optional<QString> codeOf(const QString &name) const
    {
        const QString *found = m_codes.find(comparableName(storedText(name, m_nombreField)));
        if (!found)
            return std::nullopt;
        return *found;
    }

private:
    dbf::FieldDef m_nombreField;
    TextHash<QString> m_codes; // the first COD of each name
};

// What an assignment takes from its group.
struct Group {
    QString abrev;
    QString nivel;
    QString curso;
    QString grupo;
    QString clave;
};

// The groups of each course key, in stored order. Stands for the walk of
// GRUPOST.DBF that visits every record whose CLAVECURSO holds the key.
class GroupsByCourse {
public:
    explicit GroupsByCourse(const QString &path)
    {
        dbf::Table groups(path);
        groups.open(dbf::Table::Access::ReadExclusive);
        const int claveCurso = groups.fieldIndex(groups_table::claveCurso);
        const int abrev = groups.fieldIndex(groups_table::abrev);
        const int nivel = groups.fieldIndex(groups_table::nivel);
        const int curso = groups.fieldIndex(groups_table::curso);
        const int grupo = groups.fieldIndex(groups_table::grupo);
        const int clave = groups.fieldIndex(groups_table::clave);
        m_claveCursoField = groups.field(claveCurso);
        for (int row : groups.liveRows()) {
            m_groups[groups.text(row, claveCurso)].push_back({groups.text(row, abrev), groups.text(row, nivel),
                groups.text(row, curso), groups.text(row, grupo), groups.text(row, clave)});
        }
    }

    const std::vector<Group> &of(const QString &courseKey) const
    {
        static const std::vector<Group> none;
        const std::vector<Group> *found = m_groups.find(storedText(courseKey, m_claveCursoField));
        return found ? *found : none;
    }

private:
    dbf::FieldDef m_claveCursoField;
    TextHash<std::vector<Group>> m_groups;
};

} // namespace

void ExportRun::buildAssignmentsTable()
{
    const QString path = workPath(assignments_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, assignments_table::layout());
    noteTableWritten(assignments_table::fileName());

    dbf::Table assignments(path);
    assignments.open();
    assignments.batchPosts();
    const int casig = assignments.fieldIndex(assignments_table::casig);
    const int cgrup = assignments.fieldIndex(assignments_table::cgrup);
    const int nivel = assignments.fieldIndex(assignments_table::nivel);
    const int curso = assignments.fieldIndex(assignments_table::curso);
    const int grupo = assignments.fieldIndex(assignments_table::grupo);
    const int horas = assignments.fieldIndex(assignments_table::horas);
    const int sesiones = assignments.fieldIndex(assignments_table::sesiones);
    const int clave = assignments.fieldIndex(assignments_table::clave);
    const int claveCurso = assignments.fieldIndex(assignments_table::claveCurso);
    const int claveGrupo = assignments.fieldIndex(assignments_table::claveGrupo);
    const int ctarea = assignments.fieldIndex(assignments_table::ctarea);

    const GroupsByCourse groups(workPath(groups_table::fileName()));
    const SubjectCodesByName subjects(workPath(subjects_table::fileName()));
    const WeeklyLoad load = weeklyLoadFromMinutes(kDefaultWeeklyMinutes);

    for (const NumberedSubjectEntry &numbered : subjectEntries()) {
        const SubjectEntry &entry = numbered.entry;
        // Step 3 gave a nameless entry no subject (and said so); an activity or a
        // stray record without a name must not lend it a code.
        if (entry.name.isEmpty())
            continue;
        const std::optional<QString> code = subjects.codeOf(entry.name);
        if (!code)
            continue;
        for (const Group &group : groups.of(entry.courseKey)) {
            const int row = assignments.appendBlank();
            assignments.setText(row, casig, *code);
            assignments.setText(row, cgrup, group.abrev);
            assignments.setText(row, nivel, group.nivel);
            assignments.setText(row, curso, group.curso);
            assignments.setText(row, grupo, group.grupo);
            assignments.setDouble(row, horas, load.hours);
            assignments.setText(row, sesiones, load.lessons);
            assignments.setText(row, clave, entry.identifier);
            assignments.setText(row, claveCurso, entry.courseKey);
            assignments.setText(row, claveGrupo, group.clave);
            assignments.setText(row, ctarea, QStringLiteral("1"));
            assignments.post(row);
        }
    }
    assignments.close();
}
