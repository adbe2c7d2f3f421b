// Linux and the other POSIX systems (see platform.h).
#include "common/platform.h"

#include "common/program_folders.h"

#include <QDir>
#include <QProcess>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

QString defaultWorkDir()
{
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::home().filePath(QStringLiteral(".wine"));
    return QDir(prefix).filePath(QStringLiteral("drive_c/KTEMP"));
}

void prepareProcess() { }

void holdLauncherConnectionForThisProcessOnly()
{
    // The launcher names Horavent's folder; without it standard output may be any
    // socket (a desktop session's log) and stays as it is.
    if (!qEnvironmentVariableIsSet(launcherFolderVariable()))
        return;
    struct stat output { };
    if (fstat(STDOUT_FILENO, &output) != 0 || !S_ISSOCK(output.st_mode))
        return;
    // Kept open, on purpose, until the process ends: then the launcher sees the end.
    if (fcntl(STDOUT_FILENO, F_DUPFD_CLOEXEC, 3) < 0)
        return;
    const int nothing = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (nothing < 0)
        return;
    dup2(nothing, STDOUT_FILENO);
    dup2(nothing, STDERR_FILENO);
    close(nothing);
}

CompiledHelpViewer compiledHelpViewer()
{
    // The desktop opens any file with some program, so ask it whether one is set
    // for compiled HTML help.
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
            return {QString(), true};
    }
    return {};
}

bool isConsole(int)
{
    return false; // a terminal here reads UTF-8
}

void writeToConsole(int, QStringView) { }

} // namespace platform
