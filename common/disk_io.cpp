#include "common/disk_io.h"

#include "common/system_reason.h"
#include "common/user_error.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

#if defined(Q_OS_WIN)
#include "common/windows_calls.h"
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace disk {

namespace {

// The test seam: bytes still allowed before writes fail, or -1 when they never do.
std::atomic<qint64> g_bytesAllowed{-1};
std::atomic<int> g_injectedError{0};

// Takes up to `size` bytes from the allowance and says how many it took.
qint64 allowedPart(qint64 size)
{
    qint64 allowed = g_bytesAllowed.load();
    if (allowed < 0)
        return size;
    const qint64 part = std::min(allowed, size);
    g_bytesAllowed.store(allowed - part);
    return part;
}

#if !defined(Q_OS_WIN)
QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

int syncPath(const QString &path, int flags)
{
    const int fd = ::open(native(path).constData(), flags | O_CLOEXEC);
    if (fd < 0)
        return errno;
    int error = 0;
    while (::fsync(fd) != 0) {
        if (errno == EINTR)
            continue;
        // Some file systems cannot force a folder; its entries are then as safe as they get.
        if (!(flags & O_DIRECTORY) || (errno != EINVAL && errno != EBADF))
            error = errno;
        break;
    }
    ::close(fd);
    return error;
}
#endif

} // namespace

namespace {

int writeAllAt(int fd, qint64 offset, const char *bytes, qint64 size, const char *tail, qint64 tailSize)
{
#if defined(Q_OS_WIN)
    if (_lseeki64(fd, offset, SEEK_SET) < 0)
        return errno;
    for (auto [data, length] : {std::pair{bytes, size}, std::pair{tail, tailSize}}) {
        while (length > 0) {
            const int done = _write(fd, data, unsigned(std::min<qint64>(length, 1 << 30)));
            if (done <= 0)
                return done < 0 ? errno : ENOSPC;
            data += done;
            length -= done;
        }
    }
    return 0;
#else
    iovec pieces[2]
        = {{const_cast<char *>(bytes), std::size_t(size)}, {const_cast<char *>(tail), std::size_t(tailSize)}};
    iovec *piece = pieces;
    int count = tailSize > 0 ? 2 : 1;
    while (count > 0) {
        const ssize_t done = ::pwritev(fd, piece, count, offset);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            return done < 0 ? errno : ENOSPC;
        offset += done;
        std::size_t left = std::size_t(done);
        while (count > 0 && left >= piece->iov_len) {
            left -= piece->iov_len;
            ++piece;
            --count;
        }
        if (count > 0) {
            piece->iov_base = static_cast<char *>(piece->iov_base) + left;
            piece->iov_len -= left;
        }
    }
    return 0;
#endif
}

} // namespace

int writeAt(int fd, qint64 offset, const char *bytes, qint64 size, const char *tail, qint64 tailSize)
{
    const qint64 total = size + (tailSize > 0 ? tailSize : 0);
    if (total == 0)
        return 0;
    const qint64 allowed = allowedPart(total);
    if (allowed < total) {
        // The part the full disk still takes is written, as a real one would.
        const qint64 first = std::min(allowed, size);
        if (first > 0)
            writeAllAt(fd, offset, bytes, first, nullptr, 0);
        if (allowed > size)
            writeAllAt(fd, offset + size, tail, allowed - size, nullptr, 0);
        return g_injectedError.load();
    }
    return writeAllAt(fd, offset, bytes, size, tail, tailSize);
}

int syncFile(const QString &path)
{
#if defined(Q_OS_WIN)
    const HANDLE handle = CreateFileW(windows_calls::widePath(path).c_str(), GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return windows_calls::lastErrorNumber();
    const bool flushed = FlushFileBuffers(handle);
    const int error = flushed ? 0 : windows_calls::lastErrorNumber();
    CloseHandle(handle);
    return error;
#else
    return syncPath(path, O_RDONLY);
#endif
}

int syncFolder(const QString &path)
{
#if defined(Q_OS_WIN)
    Q_UNUSED(path);
    return 0; // Windows writes a folder's entries with the rename (MOVEFILE_WRITE_THROUGH)
#else
    return syncPath(path, O_RDONLY | O_DIRECTORY);
#endif
}

QByteArray pathForLibxml2(const QString &path)
{
#if defined(Q_OS_WIN)
    return QDir::toNativeSeparators(path).toUtf8();
#else
    return QFile::encodeName(path);
#endif
}

Qt::CaseSensitivity fileNameCase()
{
#if defined(Q_OS_WIN)
    return Qt::CaseInsensitive;
#else
    return Qt::CaseSensitive;
#endif
}

int removeFile(const QString &path)
{
#if defined(Q_OS_WIN)
    if (DeleteFileW(windows_calls::widePath(path).c_str()))
        return 0;
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND)
        return 0;
    return error == ERROR_ACCESS_DENIED && QFileInfo(path).isDir() ? EISDIR : windows_calls::errorNumber(error);
#else
    if (::unlink(native(path).constData()) == 0 || errno == ENOENT)
        return 0;
    return errno == EPERM && QFileInfo(path).isDir() ? EISDIR : errno;
#endif
}

int replaceByRename(const QString &from, const QString &to)
{
#if defined(Q_OS_WIN)
    // A file the timetabler holds open cannot be replaced (access denied, or a
    // sharing violation): told as a file in use.
    if (MoveFileExW(windows_calls::widePath(from).c_str(), windows_calls::widePath(to).c_str(),
            MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return 0;
    const DWORD error = GetLastError();
    if (error == ERROR_ACCESS_DENIED && QFileInfo(to).isFile())
        return EBUSY;
    return windows_calls::errorNumber(error);
#else
    return ::rename(native(from).constData(), native(to).constData()) == 0 ? 0 : errno;
#endif
}

FileKind kindOf(const QString &path)
{
#if defined(Q_OS_WIN)
    const QFileInfo info(path);
    if (!info.exists())
        return FileKind::Missing;
    if (info.isDir())
        return FileKind::Folder;
    return info.isFile() ? FileKind::Regular : FileKind::Other;
#else
    struct stat info { };
    if (::stat(native(path).constData(), &info) != 0)
        return FileKind::Missing;
    if (S_ISREG(info.st_mode))
        return FileKind::Regular;
    if (S_ISDIR(info.st_mode))
        return FileKind::Folder;
    if (S_ISFIFO(info.st_mode))
        return FileKind::Fifo;
    if (S_ISCHR(info.st_mode) || S_ISBLK(info.st_mode))
        return FileKind::Device;
    return FileKind::Other;
#endif
}

QString kindText(FileKind kind)
{
    switch (kind) {
    case FileKind::Missing:
        return QStringLiteral("un archivo que no existe");
    case FileKind::Regular:
        return QStringLiteral("un archivo");
    case FileKind::Folder:
        return QStringLiteral("una carpeta");
    case FileKind::Fifo:
        return QStringLiteral("una tubería (FIFO), no un archivo");
    case FileKind::Device:
        return QStringLiteral("un dispositivo, no un archivo");
    case FileKind::Other:
        break;
    }
    return QStringLiteral("algo que no es un archivo (un enlace roto o un socket)");
}

bool sameFile(const QString &a, const QString &b)
{
#if defined(Q_OS_WIN)
    // The volume and file index name a file whatever link or path leads to it.
    const auto identity = [](const QString &path, BY_HANDLE_FILE_INFORMATION &info) {
        const HANDLE handle = CreateFileW(windows_calls::widePath(path).c_str(), 0,
            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
            nullptr);
        if (handle == INVALID_HANDLE_VALUE)
            return false;
        const bool read = GetFileInformationByHandle(handle, &info);
        CloseHandle(handle);
        return read;
    };
    BY_HANDLE_FILE_INFORMATION first{}, second{};
    return identity(a, first) && identity(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber
        && first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
#else
    struct stat first {
    }, second{};
    return ::stat(native(a).constData(), &first) == 0 && ::stat(native(b).constData(), &second) == 0
        && first.st_dev == second.st_dev && first.st_ino == second.st_ino;
#endif
}

QString temporaryNameFor(const QString &path)
{
    return path + QStringLiteral(".%1.tmp").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
}

int removeLeftoverTemporaries(const QString &path)
{
    const QFileInfo target(path);
    const QDir folder = target.dir();
    static const QRegularExpression form(QStringLiteral("^\\.[0-9a-f]{8}\\.tmp$"));
    int removed = 0;
    const QString prefix = target.fileName();
    for (const QString &name : folder.entryList({prefix + QStringLiteral(".*.tmp")}, QDir::Files | QDir::Hidden)) {
        if (!name.startsWith(prefix) || !form.match(QStringView(name).mid(prefix.size())).hasMatch())
            continue;
        if (removeFile(folder.filePath(name)) == 0)
            ++removed;
    }
    return removed;
}

WholeFile::WholeFile(QString path)
    : m_path(std::move(path))
{
}

WholeFile::~WholeFile()
{
    if (m_fd >= 0) {
#if defined(Q_OS_WIN)
        _close(m_fd);
#else
        ::close(m_fd);
#endif
    }
    if (!m_temporary.isEmpty())
        QFile::remove(m_temporary);
}

bool WholeFile::open()
{
    const QFileInfo target(m_path);
    if (target.isDir()) {
        m_error = EISDIR;
        return false;
    }
    [[maybe_unused]] int mode = 0666; // narrowed by the umask
#if !defined(Q_OS_WIN)
    struct stat existing { };
    if (::stat(native(m_path).constData(), &existing) == 0)
        mode = int(existing.st_mode & 07777);
#endif
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = temporaryNameFor(m_path);
#if defined(Q_OS_WIN)
        m_fd = _wopen(windows_calls::widePath(candidate).c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
            _S_IREAD | _S_IWRITE);
#else
        m_fd = ::open(native(candidate).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, mode);
        // A replaced file keeps its permissions exactly, whatever the umask.
        if (m_fd >= 0 && target.exists())
            ::fchmod(m_fd, mode_t(mode));
#endif
        if (m_fd >= 0) {
            m_temporary = candidate;
            m_written = 0;
            return true;
        }
        if (errno != EEXIST) {
            m_error = errno;
            return false;
        }
    }
    m_error = EEXIST;
    return false;
}

bool WholeFile::write(const char *bytes, qint64 size)
{
    if (m_fd < 0) {
        m_error = m_error ? m_error : EBADF;
        return false;
    }
    if (const int error = writeAt(m_fd, m_written, bytes, size)) {
        m_error = error;
        return false;
    }
    m_written += size;
    return true;
}

bool WholeFile::commit(bool forceToDisk)
{
    if (m_fd < 0) {
        m_error = m_error ? m_error : EBADF;
        return false;
    }
#if defined(Q_OS_WIN)
    const bool synced = !forceToDisk || _commit(m_fd) == 0;
    const int syncError = synced ? 0 : errno;
    const int closed = _close(m_fd);
#else
    bool synced = true;
    if (forceToDisk) {
        while (::fsync(m_fd) != 0) {
            if (errno == EINTR)
                continue;
            synced = false;
            break;
        }
    }
    const int syncError = synced ? 0 : errno;
    const int closed = ::close(m_fd);
#endif
    m_fd = -1;
    if (!synced || closed != 0) {
        m_error = syncError ? syncError : errno;
        return false;
    }
    if (const int error = replaceByRename(m_temporary, m_path)) {
        m_error = error;
        return false;
    }
    m_temporary.clear();
    m_inPlace = true;
    if (forceToDisk) {
        if (const int error = syncFolder(QFileInfo(m_path).absolutePath())) {
            m_error = error;
            return false;
        }
    }
    return true;
}

QString WholeFile::errorString() const
{
    return reason(m_error);
}

QString WholeFile::failureText() const
{
    return disk::failureText(QStringLiteral("escribir el archivo"), m_path, m_error);
}

void writeWholeFile(const QString &path, const QByteArray &bytes, bool forceToDisk)
{
    WholeFile file(path);
    if (!file.open() || !file.write(bytes) || !file.commit(forceToDisk))
        throw UserError(file.failureText());
}

void failWritesAfter(qint64 bytesAllowed, int error)
{
    g_injectedError.store(error);
    g_bytesAllowed.store(bytesAllowed);
}

void stopFailingWrites()
{
    g_bytesAllowed.store(-1);
}

} // namespace disk
