#include "app/help_opener.h"

#include "app/help_redirect.h"
#include "common/platform.h"
#include "common/user_interface.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

const char *const kChmFile = "ZUZADEVERODOZ.chm";

} // namespace

HelpOpener::HelpOpener(QString programDir)
    : openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
    , chmViewer(platform::compiledHelpViewer)
    , startProgram([](const QString &program, const QStringList &arguments) {
        return QProcess::startDetached(program, arguments);
    })
    , redirectFolder(help_redirect::defaultFolder())
    , m_programDir(std::move(programDir))
{
}

QString HelpOpener::chmPath() const
{
    return QDir(m_programDir).filePath(QString::fromLatin1(kChmFile));
}

QString HelpOpener::htmlIndex() const
{
    const QDir program(m_programDir);
    for (const QString &candidate :
        {QStringLiteral("help/index.html"), QStringLiteral("../share/transhoravo/help/index.html")}) {
        const QString path = QDir::cleanPath(program.filePath(candidate));
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

void HelpOpener::open(const QString &section, UserInterface &ui) const
{
    if (QFileInfo(chmPath()).isFile()) {
        const platform::CompiledHelpViewer viewer = chmViewer();
        if (!viewer.program.isEmpty() && startProgram(viewer.program, {QDir::toNativeSeparators(chmPath())}))
            return;
        if (viewer.desktopOpens && openUrl(QUrl::fromLocalFile(chmPath())))
            return;
    }
    const QString index = htmlIndex();
    if (index.isEmpty()) {
        ui.showMessage(QStringLiteral("No se encuentra la ayuda: ni %1 ni la carpeta help junto al programa.")
                           .arg(QDir::toNativeSeparators(chmPath())));
        return;
    }
    QUrl url = QUrl::fromLocalFile(index);
    if (!section.isEmpty()) {
        url.setFragment(section);
        // Through a page that redirects to the section, when it can be written.
        if (const QUrl page = help_redirect::write(url, redirectFolder); !page.isEmpty())
            url = page;
    }
    if (!openUrl(url)) {
        ui.showMessage(
            QStringLiteral("No hay ningún navegador para abrir la ayuda %1.").arg(QDir::toNativeSeparators(index)));
    }
}
