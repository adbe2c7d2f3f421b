// Step 4: appends the Séneca activities (group ACTIVIDADES) to ASIGNOMT.DBF as
// tasks, after the subjects of step 3, and releases the subject code lists.
#include "export/subjects_table.h"

#include "export/export_run.h"
#include "export/subject_codes.h"

namespace {
// The marker that puts "#" in front of an activity's code.
const QString hashMarker = QStringLiteral("N");
} // namespace

void ExportRun::appendActivityTasks()
{
    const QString path = workPath(subjects_table::fileName());
    dbf::Table subjects(path);
    subjects.open();
    subjects.batchPosts();
    const int code = subjects.fieldIndex(QStringLiteral("COD"));
    const int longCode = subjects.fieldIndex(QStringLiteral("CODLARGO"));
    const int name = subjects.fieldIndex(QStringLiteral("NOMBRE"));
    const int taskCode = subjects.fieldIndex(QStringLiteral("CODTAREA"));
    const int isTask = subjects.fieldIndex(QStringLiteral("ESTAREA"));
    const int flags = subjects.fieldIndex(QStringLiteral("R_UNI_MAT"));

    int recordNumber = 0;
    for (const ExchangeRecord &activity : seneca().records(QStringLiteral("ACTIVIDADES"))) {
        ++recordNumber;
        if (activity.count() < 2) {
            skippedRecords.add(QStringLiteral("ACTIVIDADES"), recordNumber, 2);
            continue;
        }
        QString activityCode = activity.value(1);
        if (activity.value(0) == hashMarker)
            activityCode.prepend(QLatin1Char('#'));
        // CODLARGO keeps the first 10 characters of the name, the field's width.
        const QString activityName = activity.value(2);
        const int row = subjects.appendBlank();
        subjects.setText(row, code, activityCode);
        subjects.setText(row, longCode, activityName);
        subjects.setText(row, name, activityName);
        subjects.setText(row, taskCode, activityCode);
        subjects.setLogical(row, isTask, true);
        subjects.setText(row, flags, activity.value(3) + activity.value(4));
        subjects.post(row);
    }
    subjects.close();
    noteTableWritten(subjects_table::fileName());
    codeLists.reset();
}
