#include "common/run_driver.h"

#include "common/disk_io.h"

#include <QDir>

bool chooseExistingXmlFile(Session &session, UserInterface &ui, UserInterface::XmlFile which, QString &chosen)
{
    if (const auto path = ui.chooseXmlFile(which))
        chosen = *path;
    const disk::FileKind kind = chosen.isEmpty() ? disk::FileKind::Missing : disk::kindOf(chosen);
    if (kind == disk::FileKind::Regular)
        return true;
    ui.showMessage(run_texts::noFile(chosen, kind));
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
