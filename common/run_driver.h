#pragma once
// What the export and the import drivers share: the choice of an input file that
// must exist, the way a completed run ends, and the texts both directions show.

#include "common/disk_io.h"
#include "common/session.h"
#include "common/user_interface.h"

#include <QString>

struct RunSummary;

// Shows the file-open dialog of the file and keeps the choice in `chosen`.
// Missing, after "No existe archivo" and the path (or after saying what stands
// there instead: a folder, a pipe, a device), when no chosen file exists;
// Cancelled, after a message that says so, when the person cancelled the dialog
// (the file chosen before is not taken in its place). In batch mode the outcome
// of either is -1 and the main window closes.
enum class FileChoice { Chosen, Missing, Cancelled };
FileChoice chooseExistingXmlFile(Session &session, UserInterface &ui, UserInterface::XmlFile which, QString &chosen);

// The end of a completed run: the outcome 1, the action buttons left disabled, the
// summary, then "Proceso finalizado"; in batch mode the main window closes.
void endCompletedRun(Session &session, UserInterface &ui, const RunSummary &summary);

// Fixed messages of both drivers.
namespace run_texts {
inline QString noFile()
{
    return QStringLiteral("No existe archivo");
}
inline QString choiceCancelled()
{
    return QStringLiteral("Se ha cancelado la elección del archivo. El proceso no ha empezado: no se ha cambiado "
                          "nada.");
}

// "No existe archivo" followed by the path, or what the path is instead of a file.
QString noFile(const QString &path, disk::FileKind kind);
inline QString finished()
{
    return QStringLiteral("Proceso finalizado");
}
} // namespace run_texts
