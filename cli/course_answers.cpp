// The command line's answers to the level and course dialog: the take-over question
// from --no-take-over (OK by default), the grid from --levels, then the OK check.
//
// Before step 1 the whole dialog is rehearsed in a scratch folder: CURSOST.DBF as
// step 2 will write it, a copy of CURSOST2.DBF, the same answers, the same check.
// What the rehearsal finds is what the run will find, so a run whose answers leave
// a course incomplete writes nothing and prints the courses to complete instead.
#include "cli/dialog_answers.h"
#include "common/system_reason.h"
#include "export/course_dialog.h"
#include "export/courses_step.h"
#include "export/courses_table.h"
#include "export/export_run.h"
#include "export/levels_csv.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <optional>

namespace {

std::optional<LevelsCsv> levelsAnswers(const CliAnswers &answers)
{
    if (answers.levelsFile.isEmpty())
        return std::nullopt;
    return readLevelsCsv(answers.levelsFile);
}

void reportUnknown(UserInterface &ui, const LevelsCsv &csv, const std::vector<LevelsRow> &unknown)
{
    for (const LevelsRow &row : unknown) {
        ui.note(QStringLiteral("%1, línea %2: ningún curso del documento de Séneca tiene la CLAVE \"%3\"; "
                               "la fila no se tiene en cuenta.")
                    .arg(QDir::toNativeSeparators(csv.path))
                    .arg(row.line)
                    .arg(row.clave));
    }
}

[[noreturn]] void refuseIncomplete(const CourseDialog &dialog)
{
    standardOutput() << dialog.codingsCsv() << Qt::flush;
    throw DecisionMissing(course_dialog_texts::missingData());
}

// The earlier codings are read before anything is written, so that a damaged or
// locked CURSOST2.DBF stops the run with its own name rather than the scratch copy's.
void checkEarlierCodingsReadable(const QString &path)
{
    dbf::Table memory(path);
    memory.open(dbf::Table::Access::ReadShared);
    for (const dbf::FieldDef &field : course_memory_table::layout())
        memory.fieldIndex(field.name);
}

} // namespace

void CliInterface::runCourseDialog(CourseDialog &dialog)
{
    const std::optional<LevelsCsv> csv = levelsAnswers(m_answers);
    dialog.onShow();
    dialog.batchChanges(); // every answer at once: written together at the close
    if (csv)
        reportUnknown(*this, *csv, dialog.applyLevels(*csv));
    // checkCourseAnswers has ruled this out; without it a failed OK would only
    // bring the same answers back in a new dialog, for ever.
    if (dialog.firstIncomplete() >= 0)
        refuseIncomplete(dialog);
    dialog.ok();
}

void checkCourseAnswers(ExportRun &run, CliInterface &ui)
{
    const std::optional<LevelsCsv> csv = levelsAnswers(ui.answers());
    const QString memoryPath = run.session().workPath(course_memory_table::fileName());
    const bool memoryExists = dbf::tableExists(memoryPath);
    if (memoryExists && ui.answers().takeOver)
        checkEarlierCodingsReadable(memoryPath);

    QTemporaryDir scratch;
    if (!scratch.isValid()) {
        const QString reason = disk::reason(errno);
        throw UserError(QStringLiteral("No se pudo crear una carpeta temporal en %1 para comprobar los niveles y "
                                       "cursos: %2.")
                            .arg(QDir::toNativeSeparators(QDir::tempPath()), reason));
    }
    courses_step::writeCoursesTable(run.seneca(), scratch.filePath(courses_table::fileName()));
    if (memoryExists) {
        const QString copy = scratch.filePath(course_memory_table::fileName());
        if (!QFile::copy(memoryPath, copy))
            throw UserError(QStringLiteral("No se pudo leer %1.").arg(QDir::toNativeSeparators(memoryPath)));
        // A read-only original must not make the rehearsal's copy undeletable.
        QFile::setPermissions(copy, QFile::ReadOwner | QFile::WriteOwner);
    }

    // The rehearsal asks the take-over question of the same interface, so it gets
    // the same answer; it never reaches OK, so nothing is shown.
    CourseDialog dialog(scratch.path(), false, ui);
    dialog.onShow();
    dialog.batchChanges();
    const std::vector<LevelsRow> unknown = csv ? dialog.applyLevels(*csv) : std::vector<LevelsRow>();
    if (dialog.firstIncomplete() < 0)
        return; // the run reports the unknown rows when it applies them
    if (csv)
        reportUnknown(ui, *csv, unknown);
    refuseIncomplete(dialog);
}
