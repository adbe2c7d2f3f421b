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
#include <sys/stat.h>
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

// Opens (creating when asked) the file at path for reading and writing, never
// through a symbolic link: a link there gives ELOOP. (Windows: CreateFileW with
// FILE_FLAG_OPEN_REPARSE_POINT, refusing a reparse point, then _open_osfhandle.)
int openNoLink(const QString &path, bool create)
{
#if defined(Q_OS_WIN)
    // Without FILE_SHARE_DELETE: while a run holds it, nobody can delete or replace it.
    const HANDLE handle = CreateFileW(windows_calls::widePath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesW(windows_calls::widePath(path).c_str());
        errno = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
            ? EISDIR
            : windows_calls::errorNumber(error);
        return -1;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileInformationByHandle(handle, &info) && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        CloseHandle(handle);
        errno = ELOOP;
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDWR | _O_BINARY);
    if (fd < 0)
        CloseHandle(handle);
    return fd;
#else
    return ::open(QFile::encodeName(path).constData(), (create ? O_CREAT : 0) | O_RDWR | O_CLOEXEC | O_NOFOLLOW, 0666);
#endif
}

// Whether the path names the very file open as fd, and it is a plain file.
bool pathNamesOpenFile(const QString &path, int fd)
{
#if defined(Q_OS_WIN)
    BY_HANDLE_FILE_INFORMATION open{}, named{};
    if (!GetFileInformationByHandle(reinterpret_cast<HANDLE>(_get_osfhandle(fd)), &open))
        return false;
    const HANDLE again
        = CreateFileW(windows_calls::widePath(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (again == INVALID_HANDLE_VALUE)
        return false;
    const bool read = GetFileInformationByHandle(again, &named);
    CloseHandle(again);
    return read && !(named.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        && open.dwVolumeSerialNumber == named.dwVolumeSerialNumber && open.nFileIndexHigh == named.nFileIndexHigh
        && open.nFileIndexLow == named.nFileIndexLow;
#else
    struct stat open {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(QFile::encodeName(path).constData(), &named) == 0
        && S_ISREG(named.st_mode) && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
#endif
}

QString lockFileText(const QString &workDir)
{
    return QDir::toNativeSeparators(QDir(workDir).filePath(FolderLock::fileName()));
}

} // namespace

namespace folder_lock_texts {
QString anotherRun(const QString &workDir)
{
    return QStringLiteral("Otra exportación o importación de TransHoravo está usando la carpeta de trabajo %1 (tiene "
                          "tomado su archivo de bloqueo %2). Espere a que termine y vuelva a intentarlo. No se ha "
                          "cambiado nada.")
        .arg(QDir::toNativeSeparators(workDir), FolderLock::fileName());
}

QString lockLost(const QString &workDir)
{
    return QStringLiteral("El archivo de bloqueo %1 se ha borrado o cambiado mientras esta ejecución usaba la carpeta "
                          "de trabajo, así que otra ejecución puede estar usándola a la vez. No se ha cambiado ninguna "
                          "tabla. Espere a que termine cualquier otra exportación o importación y vuelva a intentarlo; "
                          "no borre ese archivo.")
        .arg(lockFileText(workDir));
}
} // namespace folder_lock_texts

FolderLock::FolderLock(const QString &workDir, Need need)
    : m_path(QDir(workDir).filePath(fileName()))
{
    // A lock file deleted or replaced between the open and the lock is taken again.
    for (int attempt = 0; attempt < 10; ++attempt) {
        const int fd = openNoLink(m_path, true);
        if (fd < 0) {
            const int error = errno;
            if (need == Need::ReadingOnly && (error == EACCES || error == EROFS || error == EPERM))
                return; // nobody can write there: nothing to keep apart
            if (error == ELOOP || error == EISDIR || error == ENXIO || error == EMLINK) {
                throw UserError(
                    QStringLiteral("El archivo de bloqueo %1 no es un archivo sino %2. Bórrelo (TransHoravo "
                                   "lo creará de nuevo) y vuelva a intentarlo. No se ha cambiado nada.")
                        .arg(lockFileText(workDir),
                            error == EISDIR ? QStringLiteral("una carpeta") : QStringLiteral("un enlace u otra cosa")));
            }
            throw UserError(QStringLiteral("No se puede usar el archivo de bloqueo %1 de la carpeta de trabajo: %2. "
                                           "Compruebe que puede escribir en la carpeta y vuelva a intentarlo.")
                                .arg(lockFileText(workDir), disk::reason(error)));
        }
        switch (lockWhole(fd)) {
        case Taken::Yes:
            if (!pathNamesOpenFile(m_path, fd)) {
                closeFd(fd);
                continue;
            }
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
    throw UserError(QStringLiteral("El archivo de bloqueo %1 cambia sin parar: otro programa lo está borrando o "
                                   "sustituyendo. Ciérrelo y vuelva a intentarlo. No se ha cambiado nada.")
                        .arg(lockFileText(workDir)));
}

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        closeFd(m_fd); // releases the lock
}

bool FolderLock::stillHeld() const
{
    return m_fd < 0 || pathNamesOpenFile(m_path, m_fd);
}

OwnerMark::~OwnerMark()
{
    if (m_fd >= 0)
        closeFd(m_fd);
}

bool OwnerMark::take(const QString &path)
{
    const int fd = openNoLink(path, true);
    if (fd < 0)
        return false;
    if (lockWhole(fd) != Taken::Yes) {
        closeFd(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

bool OwnerMark::heldByLiveRun(const QString &path)
{
    const int fd = openNoLink(path, false);
    if (fd < 0)
        return false;
    const bool busy = lockWhole(fd) == Taken::Busy;
    closeFd(fd); // a lock taken here goes with the descriptor
    return busy;
}
