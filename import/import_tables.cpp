// Opens the tables of an import in the timetabler's order, after making sure they
// are all there: a run that would stop half-way for a missing table never starts.
#include "import/import_tables.h"

#include "common/disk_io.h"
#include "common/user_error.h"
#include "export/assignments_table.h"
#include "export/authorisations_table.h"
#include "export/course_levels_table.h"
#include "export/courses_table.h"
#include "export/days_hours_table.h"
#include "export/groups_table.h"
#include "export/levels_table.h"
#include "export/origins_table.h"
#include "export/periods_table.h"
#include "export/rooms_table.h"
#include "export/subject_offers_table.h"
#include "export/subjects_table.h"
#include "export/teachers_table.h"
#include "import/import_run.h"
#include "import/solution_table.h"

#include <QDir>
#include <QFileInfo>

namespace {

// The tables the export writes and the import reads, in the order they are opened.
QStringList exportTableNames()
{
    return {groups_table::fileName(), courses_table::fileName(), teachers_table::fileName(), rooms_table::fileName(),
        subjects_table::fileName(), subject_offers_table::fileName(), days_hours_table::fileName(),
        assignments_table::fileName()};
}

QString typeWords(dbf::FieldType type)
{
    switch (type) {
    case dbf::FieldType::Character:
        return QStringLiteral("carácter");
    case dbf::FieldType::Integer:
        return QStringLiteral("entero");
    case dbf::FieldType::Double:
    case dbf::FieldType::Numeric:
    case dbf::FieldType::Float:
        return QStringLiteral("número");
    case dbf::FieldType::Logical:
        return QStringLiteral("lógico");
    case dbf::FieldType::Date:
        return QStringLiteral("fecha");
    }
    return QStringLiteral("desconocido");
}

bool isNumberType(dbf::FieldType type)
{
    return type != dbf::FieldType::Logical && type != dbf::FieldType::Date;
}

// A SOLUC of another layout would be read without a word: a PROF of numbers
// matches no teacher and every lesson would vanish. The codes are text; DIA and
// HORA are whole numbers, stored as numbers or as text.
void checkSolutionLayout(const dbf::Table &solution, const SolutionFields &field, const QString &folder)
{
    const auto refuse = [&](int index, const QString &wanted) {
        throw UserError(
            QStringLiteral("La tabla %1 de la carpeta de trabajo %2 no tiene la forma en que Horavent guarda "
                           "el horario: su campo %3 es de tipo %4 y debe ser %5. Guarde de nuevo el horario "
                           "en Horavent y vuelva a importar. No se ha escrito nada.")
                .arg(solution_table::fileName(), folder, solution.field(index).name,
                    typeWords(solution.field(index).type), wanted));
    };
    for (const int index :
        {field.prof, field.marco, field.asig, field.tarea, field.codGrupo, field.aula, field.cconcierto}) {
        if (index >= 0 && solution.field(index).type != dbf::FieldType::Character)
            refuse(index, QStringLiteral("de tipo carácter"));
    }
    for (const int index : {field.dia, field.hora}) {
        if (!isNumberType(solution.field(index).type))
            refuse(index, QStringLiteral("un número entero (de tipo entero, número o carácter)"));
    }
}

} // namespace

QStringList ImportTables::workingTableNames()
{
    return exportTableNames()
        + QStringList{solution_table::fileName(), periods_table::fileName(), course_memory_table::fileName(),
            origins_table::fileName(), levels_table::fileName(), course_levels_table::fileName(),
            authorisations_table::fileName()};
}

ImportTables::ImportTables(const Session &session)
    : m_session(session)
{
}

void ImportTables::checkPresent() const
{
    for (const QString &name : exportTableNames() + QStringList{solution_table::fileName()}) {
        const disk::FileKind kind = disk::kindOf(m_session.workPath(name));
        if (kind == disk::FileKind::Folder)
            throw UserError(import_texts::folderInPlaceOfTable(name, QDir::toNativeSeparators(m_session.workDir)));
        // A pipe or a device would be waited on, or read without end.
        if (kind != disk::FileKind::Regular && kind != disk::FileKind::Missing)
            throw UserError(import_texts::notAFileInPlaceOfTable(
                name, QDir::toNativeSeparators(m_session.workDir), disk::kindText(kind)));
    }
    QStringList missing;
    for (const QString &name : exportTableNames()) {
        if (!dbf::tableExists(m_session.workPath(name)))
            missing << name;
    }
    const QString folder = QDir::toNativeSeparators(m_session.workDir);
    if (!missing.isEmpty())
        throw UserError(import_texts::missingExportTables(missing, folder));
    if (!dbf::tableExists(m_session.workPath(solution_table::fileName())))
        throw UserError(import_texts::missingSolution(folder));
}

void ImportTables::open()
{
    checkPresent();
    // The timetabler must have let go of the nine tables; the import only reads them.
    const auto access = dbf::Table::Access::ReadExclusive;
    const auto openTable = [&](dbf::Table &table, const QString &fileName) {
        table = dbf::Table(m_session.workPath(fileName));
        table.open(access);
    };
    openTable(solution, solution_table::fileName());
    openTable(groups, groups_table::fileName());
    openTable(courses, courses_table::fileName());
    openTable(teachers, teachers_table::fileName());
    openTable(rooms, rooms_table::fileName());
    openTable(subjects, subjects_table::fileName());
    openTable(subjectOffers, subject_offers_table::fileName());
    openTable(daysHours, days_hours_table::fileName());
    openTable(assignments, assignments_table::fileName());
    openCatalogues();

    solutionField.prof = solution.fieldIndex(solution_table::prof);
    solutionField.dia = solution.fieldIndex(solution_table::dia);
    solutionField.hora = solution.fieldIndex(solution_table::hora);
    solutionField.marco = solution.fieldIndex(solution_table::marco);
    solutionField.asig = solution.fieldIndex(solution_table::asig);
    solutionField.tarea = solution.fieldIndex(solution_table::tarea);
    solutionField.codGrupo = solution.fieldIndex(solution_table::codGrupo);
    solutionField.aula = solution.fieldIndex(solution_table::aula);
    // CCONCIERTO only matters for the authorisation code, so a SOLUC without it
    // still imports when there are no catalogues.
    solutionField.cconcierto = m_catalogues ? solution.fieldIndex(solution_table::cconcierto) : -1;
    checkSolutionLayout(solution, solutionField, QDir::toNativeSeparators(m_session.workDir));

    teacherField.abrev = teachers.fieldIndex(teachers_table::abrev);
    teacherField.xEmpleado = teachers.fieldIndex(teachers_table::xEmpleado);
    teacherField.fTomapos = teachers.fieldIndex(teachers_table::fTomapos);
}

void ImportTables::openCatalogues()
{
    m_catalogues = false;
    const QString originsPath = m_session.workPath(origins_table::fileName());
    if (!dbf::tableExists(originsPath))
        return;
    origins = dbf::Table(originsPath);
    origins.open(dbf::Table::Access::ReadShared);
    if (origins.recordCount() < 1)
        return;
    m_catalogues = true;
    QStringList missing;
    for (const QString &name : {course_levels_table::fileName(), authorisations_table::fileName()}) {
        if (!dbf::tableExists(m_session.workPath(name)))
            missing << name;
    }
    if (!missing.isEmpty())
        throw UserError(import_texts::missingExportTables(missing, QDir::toNativeSeparators(m_session.workDir)));
    courseLevels = dbf::Table(m_session.workPath(course_levels_table::fileName()));
    courseLevels.open(dbf::Table::Access::ReadShared);
    authorisations = dbf::Table(m_session.workPath(authorisations_table::fileName()));
    authorisations.open(dbf::Table::Access::ReadShared);
}
