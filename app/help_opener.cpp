#include "app/help_opener.h"

#include "app/help_redirect.h"
#include "common/user_interface.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

namespace {

const char *const kChmFile = "ZUZADEVERODOZ.chm";

// Windows opens .chm files with its own viewer. Elsewhere the desktop opens any
// file with some program, so ask it whether one is set for compiled HTML help.
bool desktopHasChmViewer()
{
#ifdef Q_OS_WIN
    return true;
#else
    for (const char *type : {"application/vnd.ms-htmlhelp", "application/x-chm"}) {
        QProcess query;
        query.start(QStringLiteral("xdg-mime"),
            {QStringLiteral("query"), QStringLiteral("default"), QString::fromLatin1(type)});
        if (!query.waitForFinished(3000)) {
            query.kill();
            query.waitForFinished(1000);
            continue;
        }
        if (query.exitCode() == 0 && !query.readAllStandardOutput().trimmed().isEmpty())
            return true;
    }
    return false;
#endif
}

} // namespace

HelpOpener::HelpOpener(QString programDir)
    : openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
    , chmViewerExists(desktopHasChmViewer)
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
    if (QFileInfo(chmPath()).isFile() && chmViewerExists() && openUrl(QUrl::fromLocalFile(chmPath())))
        return;
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
