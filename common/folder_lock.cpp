#include "common/folder_lock.h"

#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>

#if defined(Q_OS_WIN)
#include "common/windows_calls.h"
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/file.h>
#include <unistd.h>
#endif

namespace {

enum class Taken { Yes, Busy, Unsupported };

Taken lockWhole(int fd)
{
#if defined(Q_OS_WIN)
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED overlapped{};
    if (LockFileEx(handle, LOCKFILE_FAIL_IMMEDIATELY | LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &overlapped))
        return Taken::Yes;
    return GetLastError() == ERROR_LOCK_VIOLATION ? Taken::Busy : Taken::Unsupported;
#else
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return Taken::Yes;
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? Taken::Busy : Taken::Unsupported;
    }
#endif
}

void closeFd(int fd)
{
#if defined(Q_OS_WIN)
    _close(fd);
#else
    ::close(fd);
#endif
}

} // namespace

namespace folder_lock_texts {
QString anotherRun(const QString &workDir)
{
    return QStringLiteral("Otra exportación o importación de TransHoravo está usando la carpeta de trabajo %1. "
                          "Espere a que termine y vuelva a intentarlo. No se ha cambiado nada.")
        .arg(QDir::toNativeSeparators(workDir));
}
} // namespace folder_lock_texts

FolderLock::FolderLock(const QString &workDir, Need need)
{
    const QString path = QDir(workDir).filePath(fileName());
#if defined(Q_OS_WIN)
    const int fd = _wopen(windows_calls::widePath(path).c_str(), _O_CREAT | _O_RDWR | _O_BINARY, _S_IREAD | _S_IWRITE);
#else
    const int fd = ::open(QFile::encodeName(path).constData(), O_CREAT | O_RDWR | O_CLOEXEC, 0666);
#endif
    if (fd < 0) {
        const int error = errno;
        if (need == Need::ReadingOnly && (error == EACCES || error == EROFS || error == EPERM))
            return; // nobody can write there: nothing to keep apart
        throw UserError(QStringLiteral("No se puede usar la carpeta de trabajo %1: %2.")
                            .arg(QDir::toNativeSeparators(workDir), disk::reason(error)));
    }
    switch (lockWhole(fd)) {
    case Taken::Yes:
        m_fd = fd;
        return;
    case Taken::Busy:
        closeFd(fd);
        throw UserError(folder_lock_texts::anotherRun(workDir));
    case Taken::Unsupported:
        // A file system without locks: the run goes on unlocked, as tables do there.
        closeFd(fd);
        return;
    }
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        closeFd(m_fd); // releases the lock
}
