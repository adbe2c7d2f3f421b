#include "common/run_driver.h"

#include <QFileInfo>

bool chooseExistingXmlFile(Session &session, UserInterface &ui, UserInterface::XmlFile which, QString &chosen)
{
    if (const auto path = ui.chooseXmlFile(which))
        chosen = *path;
    if (!chosen.isEmpty() && QFileInfo(chosen).isFile())
        return true;
    ui.showMessage(run_texts::noFile());
    if (session.inBatchMode()) {
        session.transformado = -1;
        ui.closeMainWindow();
    }
    return false;
}

void endCompletedRun(Session &session, UserInterface &ui, const RunSummary &summary)
{
    session.transformado = 1;
    session.completed = true;
    ui.setBusy(false);
    ui.showSummary(summary);
    ui.showMessage(run_texts::finished());
    if (session.inBatchMode())
        ui.closeMainWindow();
}
