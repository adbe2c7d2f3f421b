// Export step 2: CURSOST.DBF from the Séneca group CURSOS_DEL_CENTRO, completed by
// the person in the level and course dialog, which is shown again until every
// course has its level and course or the person forces the exit.
#include "export/courses_step.h"

#include "export/course_dialog.h"
#include "export/courses_table.h"
#include "export/export_run.h"

void courses_step::writeCoursesTable(const ExchangeDocument &seneca, const QString &dbfPath, SkippedRecords *skipped)
{
    dbf::removeTableFiles(dbfPath);
    dbf::createTable(dbfPath, courses_table::layout());
    dbf::Table table(dbfPath);
    table.open();
    table.batchPosts();
    const int clave = table.fieldIndex(courses_table::clave);
    const int estud = table.fieldIndex(courses_table::estud);
    int recordNumber = 0;
    for (const ExchangeRecord &course : seneca.records(seneca_groups::coursesGroup())) {
        ++recordNumber;
        if (course.count() <= 1) {
            if (skipped)
                skipped->add(seneca_groups::coursesGroup(), recordNumber, 2);
            continue;
        }
        const int row = table.appendBlank();
        table.setText(row, clave, course.value(seneca_groups::courseKey));
        table.setText(row, estud, course.value(seneca_groups::courseName));
        table.post(row);
    }
    table.close();
}

ExportRun::Outcome ExportRun::buildCoursesTable()
{
    courses_step::writeCoursesTable(seneca(), workPath(courses_table::fileName()), &skippedRecords);
    noteTableWritten(courses_table::fileName());

    // A dialog whose OK found a course without level or course is followed by a
    // new one, which offers the forced exit from the start, keeps what was typed
    // and marks what is still missing.
    bool failedOk = false;
    for (;;) {
        CourseDialog dialog(tableFolder(), session().result, ui());
        if (failedOk)
            dialog.followFailedOk();
        ui().runCourseDialog(dialog);
        if (dialog.codingsStored())
            noteTableWritten(course_memory_table::fileName());
        if (dialog.result) {
            session().result = true;
            failedOk = true;
            continue;
        }
        if (dialog.result2 == course_dialog_texts::forcedExitMark())
            return Outcome::ForcedExit;
        // The close box ends the export too: going on would write the groups of
        // courses without level or course (A, B, C…) as if nothing were wrong.
        if (dialog.closed() == CourseDialog::Closed::FromTitleBar)
            return Outcome::LeftUnfinished;
        return Outcome::Completed;
    }
}
