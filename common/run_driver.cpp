#include "common/run_driver.h"

#include "common/disk_io.h"
#include "common/run_summary.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Horavent reads -1 when the run ended at the choice of a file.
void endInBatchMode(Session &session, UserInterface &ui)
{
    if (session.inBatchMode()) {
        session.transformado = -1;
        ui.closeMainWindow();
    }
}

} // namespace

FileChoice chooseExistingXmlFile(Session &session, UserInterface &ui, UserInterface::XmlFile which, QString &chosen)
{
    const auto path = ui.chooseXmlFile(which);
    if (!path) {
        ui.showMessage(run_texts::choiceCancelled());
        endInBatchMode(session, ui);
        return FileChoice::Cancelled;
    }
    chosen = *path;
    const disk::FileKind kind = chosen.isEmpty() ? disk::FileKind::Missing : disk::kindOf(chosen);
    if (kind == disk::FileKind::Regular)
        return FileChoice::Chosen;
    ui.showMessage(run_texts::noFile(chosen, kind));
    endInBatchMode(session, ui);
    return FileChoice::Missing;
}

void endCompletedRun(Session &session, UserInterface &ui, const RunSummary &summary)
{
    session.transformado = 1;
    session.completed = true;
    ui.setBusy(false);
    ui.showSummary(summary);
    ui.showFinished(summary.finishedDetails.join(QLatin1Char('\n')), summary.reportPath);
    if (session.inBatchMode())
        ui.closeMainWindow();
}

namespace run_texts {
QString noFile(const QString &path, disk::FileKind kind)
{
    if (path.isEmpty())
        return noFile();
    if (kind == disk::FileKind::Missing)
        return noFile() + QStringLiteral(": ") + QDir::toNativeSeparators(path);
    return QStringLiteral("%1 es %2. Elija un archivo XML.").arg(QDir::toNativeSeparators(path), disk::kindText(kind));
}
} // namespace run_texts
