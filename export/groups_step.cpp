// Step 7: writes GRUPOST.DBF from the Séneca group UNIDADES. Each unit takes the
// level, course code and description of its course in CURSOST.DBF, and a code of
// the level, the course code's first character and a running letter (ESO1A).
#include "export/courses_table.h"
#include "export/groups_table.h"

#include "common/cp1252.h"
#include "common/stored_text.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/seneca_groups.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// Whether a byte may be a group letter: printable, not a space (the field would
// drop it) and defined by the code page.
constexpr bool isLetterByte(unsigned char byte)
{
    return byte > 0x20 && byte != 0x7F && byte != 0x81 && byte != 0x8D && byte != 0x8F && byte != 0x90 && byte != 0x9D
        && byte != 0xA0 && byte != 0xAD;
}

// The group codes issued in this step, as GRUPOST.DBF stores them. Codes that
// differ only in letter case (Unicode case folding: "Á" and "á" are one letter)
// count as the same code.
class GroupCodes {
public:
    // prefix + "A" when it is free; otherwise the prefix followed by the first free
    // letter counting up the code page from "A" (after "Z" come "[", "\" and so on,
    // then the letters past 0x7F), skipping the bytes isLetterByte() refuses. The
    // prefix comes in its stored form, so codes are told apart as the field holds them.
    std::optional<QString> issue(const QString &prefix)
    {
        const QString foldedPrefix = prefix.toCaseFolded();
        QString code = prefix + QLatin1Char('A');
        if (m_issued.contains(code.toCaseFolded())) {
            // Every letter below the hint is taken for this prefix, and codes are
            // never withdrawn, so the search may start there.
            int &byte = m_firstUntried[foldedPrefix];
            byte = std::max(byte, int('A'));
            while (byte <= 0xFF
                && (!isLetterByte(static_cast<unsigned char>(byte))
                    || m_issued.contains(foldedPrefix + letterOf(byte).toCaseFolded())))
                ++byte;
            if (byte > 0xFF)
                return std::nullopt;
            code = prefix + letterOf(byte);
            ++byte;
        }
        m_issued.insert(code.toCaseFolded());
        return code;
    }

private:
    static QString letterOf(int byte) { return QChar(cp1252::toUnicode(static_cast<unsigned char>(byte))); }

    QSet<QString> m_issued; // case-folded
    QHash<QString, int> m_firstUntried;
};

// What a group takes from its course.
struct Course {
    QString nivel;
    QString curso;
    QString estud;
};

// The courses of CURSOST.DBF by key: the first record whose CLAVE holds the key,
// as a walk from the first record would find it.
class CoursesByKey {
public:
    explicit CoursesByKey(const QString &path)
        : m_table(path)
    {
        m_table.open(dbf::Table::Access::ReadExclusive);
        m_clave = m_table.fieldIndex(courses_table::clave);
        m_nivel = m_table.fieldIndex(courses_table::nivel);
        m_curso = m_table.fieldIndex(courses_table::curso);
        m_estud = m_table.fieldIndex(courses_table::estud);
        m_byClave.emplace(m_table, std::vector<int>{m_clave});
    }
    // The index points into the table.
    CoursesByKey(const CoursesByKey &) = delete;
    CoursesByKey &operator=(const CoursesByKey &) = delete;

    // Empty texts for a key no course holds.
    Course find(const QString &key) const
    {
        const int row = m_byClave->first({storedText(key, m_table.field(m_clave))});
        if (row < 0)
            return {};
        return {m_table.text(row, m_nivel), m_table.text(row, m_curso), m_table.text(row, m_estud)};
    }

private:
    dbf::Table m_table;
    int m_clave = -1;
    int m_nivel = -1;
    int m_curso = -1;
    int m_estud = -1;
    std::optional<dbf::Index> m_byClave;
};

} // namespace

void ExportRun::buildGroupsTable()
{
    const QString path = workPath(groups_table::fileName());
    dbf::removeTableFiles(path);
    const CoursesByKey courses(workPath(courses_table::fileName()));
    dbf::createTable(path, groups_table::layout());
    noteTableWritten(groups_table::fileName());

    dbf::Table groups(path);
    groups.open();
    groups.batchPosts();
    const int abrev = groups.fieldIndex(groups_table::abrev);
    const int nivel = groups.fieldIndex(groups_table::nivel);
    const int curso = groups.fieldIndex(groups_table::curso);
    const int grupo = groups.fieldIndex(groups_table::grupo);
    const int clave = groups.fieldIndex(groups_table::clave);
    const int claveCurso = groups.fieldIndex(groups_table::claveCurso);
    const int descrip = groups.fieldIndex(groups_table::descrip);
    const int marco = groups.fieldIndex(groups_table::marco);
    // The level is cut to its width before the course code's first character follows it.
    const int levelWidth = groups.field(nivel).width;

    GroupCodes codes;
    int recordNumber = 0;
    for (const ExchangeRecord &unit : seneca().records(seneca_groups::unitsGroup())) {
        ++recordNumber;
        if (unit.count() < 2) {
            skippedRecords.add(seneca_groups::unitsGroup(), recordNumber, 2);
            continue;
        }
        const QString unitKey = unit.value(seneca_groups::unitKey);
        const QString unitCourseKey = unit.value(seneca_groups::unitCourseKey);
        const Course course = courses.find(unitCourseKey);
        const std::optional<QString> groupCode
            = codes.issue(storedText(course.nivel.left(levelWidth) + course.curso.left(1), groups.field(abrev)));
        if (!groupCode) {
            throw UserError(QStringLiteral("No queda ninguna letra de grupo para la unidad %1 del curso %2: hay "
                                           "demasiadas unidades con el mismo nivel y curso.")
                                .arg(unitKey, unitCourseKey));
        }
        const int row = groups.appendBlank();
        groups.setText(row, abrev, *groupCode);
        // A unit whose course has no level gets "NIV", after its code was built.
        groups.setText(row, nivel, course.nivel.isEmpty() ? QStringLiteral("NIV") : course.nivel);
        groups.setText(row, curso, course.curso);
        groups.setText(row, grupo, groupCode->right(1));
        groups.setText(row, clave, unitKey);
        groups.setText(row, claveCurso, unitCourseKey);
        groups.setText(row, descrip, course.estud);
        groups.setText(row, marco, QStringLiteral("0"));
        groups.post(row);
    }
    groups.close();
}
