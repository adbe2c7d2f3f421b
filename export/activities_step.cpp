// Step 4: appends the Séneca activities (group ACTIVIDADES) to ASIGNOMT.DBF as
// tasks, after the subjects of step 3, and releases the subject code lists.
#include "export/subjects_table.h"

#include "export/export_run.h"
#include "export/seneca_groups.h"
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
    const int cod = subjects.fieldIndex(subjects_table::cod);
    const int codLargo = subjects.fieldIndex(subjects_table::codLargo);
    const int nombre = subjects.fieldIndex(subjects_table::nombre);
    const int codTarea = subjects.fieldIndex(subjects_table::codTarea);
    const int esTarea = subjects.fieldIndex(subjects_table::esTarea);
    const int rUniMat = subjects.fieldIndex(subjects_table::rUniMat);

    int recordNumber = 0;
    for (const ExchangeRecord &activity : seneca().records(seneca_groups::activitiesGroup())) {
        ++recordNumber;
        if (activity.count() < 2) {
            skippedRecords.add(seneca_groups::activitiesGroup(), recordNumber, 2);
            continue;
        }
        QString activityCode = activity.value(seneca_groups::activityCode);
        if (activity.value(seneca_groups::activityMarker) == hashMarker)
            activityCode.prepend(QLatin1Char('#'));
        // CODLARGO keeps the first 10 characters of the name, the field's width.
        const QString activityName = activity.value(seneca_groups::activityName);
        const int row = subjects.appendBlank();
        subjects.setText(row, cod, activityCode);
        subjects.setText(row, codLargo, activityName);
        subjects.setText(row, nombre, activityName);
        subjects.setText(row, codTarea, activityCode);
        subjects.setLogical(row, esTarea, true);
        subjects.setText(row, rUniMat,
            activity.value(seneca_groups::activityNeedsUnit) + activity.value(seneca_groups::activityNeedsSubject));
        subjects.post(row);
    }
    subjects.close();
    noteTableWritten(subjects_table::fileName());
    codeLists.reset();
}
