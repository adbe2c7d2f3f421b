// Step 7: writes GRUPOST.DBF from the Séneca group UNIDADES. Each unit takes the
// level, course code and description of its course in CURSOST.DBF, and a code of
// the level, the course code's first character and a running letter (ESO1A).
#include "export/courses_table.h"
#include "export/groups_table.h"

#include "common/cp1252.h"
#include "common/stored_text.h"
#include "common/user_error.h"
#include "export/export_run.h"

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

struct Course {
    QString level;
    QString code;
    QString description;
};

// The courses of CURSOST.DBF by key: the first record whose CLAVE holds the key,
// as a walk from the first record would find it.
class CoursesByKey {
public:
    explicit CoursesByKey(const QString &path)
        : m_table(path)
    {
        m_table.open(dbf::Table::Access::ReadExclusive);
        m_key = m_table.fieldIndex(QStringLiteral("CLAVE"));
        m_level = m_table.fieldIndex(QStringLiteral("NIVEL"));
        m_code = m_table.fieldIndex(QStringLiteral("CURSO"));
        m_description = m_table.fieldIndex(QStringLiteral("ESTUD"));
        m_index.emplace(m_table, std::vector<int>{m_key});
    }
    // The index points into the table.
    CoursesByKey(const CoursesByKey &) = delete;
    CoursesByKey &operator=(const CoursesByKey &) = delete;

    // Empty texts for a key no course holds.
    Course find(const QString &key) const
    {
        const int row = m_index->first({storedText(key, m_table.field(m_key))});
        if (row < 0)
            return {};
        return {m_table.text(row, m_level), m_table.text(row, m_code), m_table.text(row, m_description)};
    }

private:
    dbf::Table m_table;
    int m_key = -1;
    int m_level = -1;
    int m_code = -1;
    int m_description = -1;
    std::optional<dbf::Index> m_index;
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
    const int code = groups.fieldIndex(QStringLiteral("ABREV"));
    const int level = groups.fieldIndex(QStringLiteral("NIVEL"));
    const int courseCode = groups.fieldIndex(QStringLiteral("CURSO"));
    const int letter = groups.fieldIndex(QStringLiteral("GRUPO"));
    const int unitKey = groups.fieldIndex(QStringLiteral("CLAVE"));
    const int courseKey = groups.fieldIndex(QStringLiteral("CLAVECURSO"));
    const int description = groups.fieldIndex(QStringLiteral("DESCRIP"));
    const int frame = groups.fieldIndex(QStringLiteral("MARCO"));
    // The level is cut to its width before the course code's first character follows it.
    const int levelWidth = groups.field(level).width;

    GroupCodes codes;
    int recordNumber = 0;
    for (const ExchangeRecord &unit : seneca().records(QStringLiteral("UNIDADES"))) {
        ++recordNumber;
        if (unit.count() < 2) {
            skippedRecords.add(QStringLiteral("UNIDADES"), recordNumber, 2);
            continue;
        }
        const QString unitCourseKey = unit.value(2);
        const Course course = courses.find(unitCourseKey);
        const std::optional<QString> groupCode
            = codes.issue(storedText(course.level.left(levelWidth) + course.code.left(1), groups.field(code)));
        if (!groupCode) {
            throw UserError(QStringLiteral("No queda ninguna letra de grupo para la unidad %1 del curso %2: hay "
                                           "demasiadas unidades con el mismo nivel y curso.")
                                .arg(unit.value(0), unitCourseKey));
        }
        const int row = groups.appendBlank();
        groups.setText(row, code, *groupCode);
        // A unit whose course has no level gets "NIV", after its code was built.
        groups.setText(row, level, course.level.isEmpty() ? QStringLiteral("NIV") : course.level);
        groups.setText(row, courseCode, course.code);
        groups.setText(row, letter, groupCode->right(1));
        groups.setText(row, unitKey, unit.value(0));
        groups.setText(row, courseKey, unitCourseKey);
        groups.setText(row, description, course.description);
        groups.setText(row, frame, QStringLiteral("0"));
        groups.post(row);
    }
    groups.close();
}
