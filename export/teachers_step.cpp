// Step 5: writes PROFT.DBF from the Séneca group EMPLEADOS. Each teacher gets a
// code of the initials of the three name parts, made unique with a number.
#include "export/teachers_table.h"

#include "common/stored_text.h"
#include "export/export_run.h"
#include "export/seneca_groups.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {

// The teacher codes issued in this step. Codes that differ only in letter case
// (Unicode case folding: "Á" and "á" are one letter) count as the same code.
class TeacherCodes {
public:
    // The base code when it is free, else the base followed by 1, 2, 3 ... in turn.
    QString issue(const QString &base)
    {
        const QString foldedBase = base.toCaseFolded();
        QString code = base;
        if (m_issued.contains(foldedBase)) {
            // Every number below the hint is taken for this base, and codes are
            // never withdrawn, so the search may start there.
            int &number = m_firstUntried[foldedBase];
            number = std::max(number, 1);
            while (m_issued.contains(foldedBase + QString::number(number)))
                ++number;
            code = base + QString::number(number);
            ++number;
        }
        m_issued.insert(code.toCaseFolded());
        return code;
    }

private:
    QSet<QString> m_issued; // case-folded
    QHash<QString, int> m_firstUntried;
};

} // namespace

void ExportRun::buildTeachersTable()
{
    const QString path = workPath(teachers_table::fileName());
    dbf::removeTableFiles(path);
    dbf::createTable(path, teachers_table::layout());
    noteTableWritten(teachers_table::fileName());

    dbf::Table teachers(path);
    teachers.open();
    teachers.batchPosts();
    const int abrev = teachers.fieldIndex(teachers_table::abrev);
    const int nombre = teachers.fieldIndex(teachers_table::nombre);
    const int depart = teachers.fieldIndex(teachers_table::depart);
    const int xEmpleado = teachers.fieldIndex(teachers_table::xEmpleado);
    const int fTomapos = teachers.fieldIndex(teachers_table::fTomapos);

    TeacherCodes codes;
    int recordNumber = 0;
    for (const ExchangeRecord &teacher : seneca().records(seneca_groups::teachersGroup())) {
        ++recordNumber;
        if (teacher.count() < 2) {
            skippedRecords.add(seneca_groups::teachersGroup(), recordNumber, 2);
            continue;
        }
        const QString part1 = teacher.value(seneca_groups::teacherNamePart1);
        const QString part2 = teacher.value(seneca_groups::teacherNamePart2);
        const QString part3 = teacher.value(seneca_groups::teacherNamePart3);
        // An empty part adds no initial; the letters keep their case. Codes are told
        // apart as the field stores them, so that Ł and L, or two initials the code
        // page has no letter for, never give two teachers one code on disk.
        const QString teacherCode
            = codes.issue(storedText(part1.left(1) + part2.left(1) + part3.left(1), teachers.field(abrev)));
        const int row = teachers.appendBlank();
        teachers.setText(row, abrev, teacherCode);
        teachers.setText(row, nombre, part1 + QLatin1Char(' ') + part2 + QLatin1Char(' ') + part3);
        teachers.setText(row, xEmpleado, teacher.value(seneca_groups::teacherEmployee));
        teachers.setText(row, fTomapos, teacher.value(seneca_groups::teacherTakingPost));
        teachers.setText(row, depart, teacher.value(seneca_groups::teacherPost));
        teachers.post(row);
    }
    teachers.close();
}
