#include "app/launcher_connection.h"
#include "common/program_folders.h"

#include <QtGlobal>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

void holdLauncherConnectionForThisProcessOnly()
{
#ifdef Q_OS_UNIX
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
#endif
}
