// Step 8: writes ASIGT.DBF from the Séneca group MATERIAS: every group of a
// subject's course (GRUPOST.DBF) gets the subject (by its code in ASIGNOMT.DBF),
// with the default weekly load and no teacher or room yet.
#include "export/assignments_table.h"
#include "export/groups_table.h"
#include "export/subjects_table.h"

#include "common/clipper.h"
#include "common/stored_text.h"
#include "export/export_run.h"
#include "export/subject_entry.h"
#include "export/weekly_load.h"

#include <QHash>

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
        const int code = subjects.fieldIndex(QStringLiteral("COD"));
        const int name = subjects.fieldIndex(QStringLiteral("NOMBRE"));
        m_nameField = subjects.field(name);
        for (int row : subjects.liveRows()) {
            const QString key = comparableName(subjects.text(row, name));
            if (!m_codes.contains(key))
                m_codes.insert(key, subjects.text(row, code));
        }
    }

    std::optional<QString> codeOf(const QString &name) const
    {
        const auto found = m_codes.constFind(comparableName(storedText(name, m_nameField)));
        if (found == m_codes.constEnd())
            return std::nullopt;
        return found.value();
    }

private:
    dbf::FieldDef m_nameField;
    QHash<QString, QString> m_codes;
};

struct Group {
    QString code; // ABREV
    QString level; // NIVEL
    QString course; // CURSO
    QString letter; // GRUPO
    QString key; // CLAVE
};

// The groups of each course key, in stored order. Stands for the walk of
// GRUPOST.DBF that visits every record whose CLAVECURSO holds the key.
class GroupsByCourse {
public:
    explicit GroupsByCourse(const QString &path)
    {
        dbf::Table groups(path);
        groups.open(dbf::Table::Access::ReadExclusive);
        const int courseKey = groups.fieldIndex(QStringLiteral("CLAVECURSO"));
        const int code = groups.fieldIndex(QStringLiteral("ABREV"));
        const int level = groups.fieldIndex(QStringLiteral("NIVEL"));
        const int course = groups.fieldIndex(QStringLiteral("CURSO"));
        const int letter = groups.fieldIndex(QStringLiteral("GRUPO"));
        const int key = groups.fieldIndex(QStringLiteral("CLAVE"));
        m_courseKeyField = groups.field(courseKey);
        for (int row : groups.liveRows()) {
            m_groups[groups.text(row, courseKey)].push_back({groups.text(row, code), groups.text(row, level),
                groups.text(row, course), groups.text(row, letter), groups.text(row, key)});
        }
    }

    const std::vector<Group> &of(const QString &courseKey) const
    {
        static const std::vector<Group> none;
        const auto found = m_groups.constFind(storedText(courseKey, m_courseKeyField));
        return found == m_groups.constEnd() ? none : found.value();
    }

private:
    dbf::FieldDef m_courseKeyField;
    QHash<QString, std::vector<Group>> m_groups;
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
    const int subjectCode = assignments.fieldIndex(QStringLiteral("CASIG"));
    const int groupCode = assignments.fieldIndex(QStringLiteral("CGRUP"));
    const int level = assignments.fieldIndex(QStringLiteral("NIVEL"));
    const int course = assignments.fieldIndex(QStringLiteral("CURSO"));
    const int letter = assignments.fieldIndex(QStringLiteral("GRUPO"));
    const int hours = assignments.fieldIndex(QStringLiteral("HORAS"));
    const int lessons = assignments.fieldIndex(QStringLiteral("SESIONES"));
    const int subjectKey = assignments.fieldIndex(QStringLiteral("CLAVE"));
    const int courseKey = assignments.fieldIndex(QStringLiteral("CLAVECURSO"));
    const int groupKey = assignments.fieldIndex(QStringLiteral("CLAVEGRUPO"));
    const int task = assignments.fieldIndex(QStringLiteral("CTAREA"));

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
            assignments.setText(row, subjectCode, *code);
            assignments.setText(row, groupCode, group.code);
            assignments.setText(row, level, group.level);
            assignments.setText(row, course, group.course);
            assignments.setText(row, letter, group.letter);
            assignments.setDouble(row, hours, load.hours);
            assignments.setText(row, lessons, load.lessons);
            assignments.setText(row, subjectKey, entry.identifier);
            assignments.setText(row, courseKey, entry.courseKey);
            assignments.setText(row, groupKey, group.key);
            assignments.setText(row, task, QStringLiteral("1"));
            assignments.post(row);
        }
    }
    assignments.close();
}
