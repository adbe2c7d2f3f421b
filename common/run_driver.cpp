#include "common/run_driver.h"

#include "common/run_summary.h"

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
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile())
        return FileChoice::Chosen;
    ui.showMessage(run_texts::noFile());
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
