// The command line's answers to the level and course dialog: the take-over question
// from --no-take-over (OK by default), the grid from --levels, then the OK check.
//
// Before step 1 the whole dialog is rehearsed in a scratch folder: CURSOST.DBF as
// step 2 will write it, a copy of CURSOST2.DBF, the same answers, the same check.
// What the rehearsal finds is what the run will find, so a run whose answers leave
// a course incomplete writes nothing and prints the courses to complete instead.
#include "cli/cli_interface.h"
#include "cli/levels_csv.h"
#include "export/course_dialog.h"
#include "export/courses_step.h"
#include "export/courses_table.h"
#include "export/export_run.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTemporaryDir>

#include <optional>

namespace {

std::optional<LevelsCsv> levelsAnswers(const CliAnswers &answers)
{
    if (answers.levelsFile.isEmpty())
        return std::nullopt;
    return readLevelsCsv(answers.levelsFile);
}

// The one place where --levels reaches the courses, for the rehearsal and the run
// alike, as if the values were typed in the grid: each row sets its non-empty
// values on every course whose stored CLAVE equals the row's. Returns the rows
// that name no course.
std::vector<LevelsRow> applyLevels(const LevelsCsv &csv, CourseDialog &dialog)
{
    QHash<QString, std::vector<int>> coursesByClave;
    for (int row = 0; row < dialog.rowCount(); ++row)
        coursesByClave[dialog.clave(row)].push_back(row);
    std::vector<LevelsRow> unknown;
    for (const LevelsRow &answer : csv.rows) {
        const auto courses = coursesByClave.constFind(answer.clave);
        if (courses == coursesByClave.constEnd()) {
            unknown.push_back(answer);
            continue;
        }
        for (int row : *courses) {
            if (!answer.nivel.isEmpty())
                dialog.setNivel(row, answer.nivel);
            if (!answer.curso.isEmpty())
                dialog.setCurso(row, answer.curso);
        }
    }
    return unknown;
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

// Every course with what is known of it, ready to be completed and given to --levels.
QString codingsCsv(const CourseDialog &dialog)
{
    QString text = levelsCsvLine({QStringLiteral("CLAVE"), QStringLiteral("NIVEL"), QStringLiteral("CURSO"),
                       QStringLiteral("ESTUD")})
        + QLatin1Char('\n');
    for (int row = 0; row < dialog.rowCount(); ++row)
        text += levelsCsvLine({dialog.clave(row), dialog.nivel(row), dialog.curso(row), dialog.estud(row)})
            + QLatin1Char('\n');
    return text;
}

[[noreturn]] void refuseIncomplete(const CourseDialog &dialog)
{
    standardOutput() << codingsCsv(dialog) << Qt::flush;
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
        reportUnknown(*this, *csv, applyLevels(*csv, dialog));
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
        throw UserError(QStringLiteral("No se pudo crear una carpeta temporal para comprobar los niveles y cursos: %1")
                            .arg(scratch.errorString()));
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
    const std::vector<LevelsRow> unknown = csv ? applyLevels(*csv, dialog) : std::vector<LevelsRow>();
    if (dialog.firstIncomplete() < 0)
        return; // the run reports the unknown rows when it applies them
    if (csv)
        reportUnknown(ui, *csv, unknown);
    refuseIncomplete(dialog);
}
