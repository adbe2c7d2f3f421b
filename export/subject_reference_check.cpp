// Before anything is written: the school's subject reference table SENEMATERIAS.DBF,
// which step 3 reads, must be where the program looks for it and readable, with
// the fields NOMBRE, COD and CODLARGO.
#include "common/dbf_table.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "export/subjects_table.h"

#include <QDir>
#include <QFileInfo>

void ExportRun::checkSubjectReferenceTable()
{
    const QString path = session().materiasTablePath();
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        throw UserError(QStringLiteral("No se encuentra la tabla de materias de referencia SENEMATERIAS.DBF: se buscó "
                                       "en %1. Debe estar junto al programa (puede estar vacía). No se ha escrito "
                                       "ninguna tabla.")
                            .arg(shown));
    }
    QStringList missing;
    try {
        dbf::Table table(path);
        table.open(dbf::Table::Access::ReadShared);
        // The reference table names its fields as ASIGNOMT.DBF does.
        for (QLatin1StringView name : {subjects_table::nombre, subjects_table::cod, subjects_table::codLargo}) {
            if (!table.hasField(name))
                missing << name;
        }
    } catch (const UserError &error) {
        throw UserError(QStringLiteral("No se puede leer la tabla de materias de referencia %1. No se ha escrito "
                                       "ninguna tabla.\n%2")
                            .arg(shown, error.message()));
    }
    if (!missing.isEmpty()) {
        throw UserError(QStringLiteral("La tabla de materias de referencia %1 no tiene los campos NOMBRE, COD y "
                                       "CODLARGO (le falta %2). No se ha escrito ninguna tabla.")
                            .arg(shown, missing.join(QStringLiteral(", "))));
    }
}
