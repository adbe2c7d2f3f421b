#pragma once
// One import run: from the timetabler's solution table SOLUC and the tables the
// export left behind to the Séneca timetable document, written beside the Séneca
// file as "ResultadoHoravo" followed by that file's name.

#include "common/session.h"
#include "common/user_interface.h"

#include <QString>
#include <QStringList>

class ImportRun {
public:
    enum class Outcome {
        Completed,
        MissingFile,     // "No existe archivo"
        MissingPeriods,  // PERIODOS.DBF is missing: the export must run first
    };

    ImportRun(Session &session, UserInterface &ui);

    // The driver (BImportarClick). Errors leave as UserError.
    Outcome run();

    // After a completed run: the document written, and what it holds.
    QString outputPath() const { return m_outputPath; }
    // Writes the document elsewhere than beside the Séneca file (command line --output).
    void setOutputPath(const QString &path) { m_outputPath = path; }
    int teacherCount = 0;
    int lessonCount = 0;   // record groups written, both sections
    int droppedCount = 0;  // lessons dropped by the requirement flags

private:
    Session &m_session;
    UserInterface &m_ui;
    QString m_outputPath;
};

namespace import_texts {
inline QString chooseSeneca()
{
    return QStringLiteral("Seleccione ahora el fichero XML procedente de SÉNECA\r\nque utilizó en su momento para la recogida de datos. ");
}
inline QString missingPeriods()
{
    return QStringLiteral("ATENCIÓN - PERIODOS.DBF No encontrado - Importe de nuevo XML de SÉNECA.");
}
} // namespace import_texts
