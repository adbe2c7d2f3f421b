#pragma once
// What the POSIX safety tests hold a working folder with: a child process holding a
// lock as the timetabler or another run would, and a small file system of its own
// (tmpfs, when the tests run as root and may mount one). The Windows side of the
// same (a table held with no sharing) runs in scripts/test-windows.sh.

#include "support/working_folder.h"

#include <csignal>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

namespace working_folder {

// A child process that holds a lock on a file until the holder goes: as the
// timetabler holds a table it has open (shared) or another run holds the folder.
class LockHolder {
public:
    LockHolder(const QString &path, bool exclusive)
    {
        const QByteArray name = QFile::encodeName(path);
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            // Only async-signal-safe calls in the child.
            const int fd = ::open(name.constData(), O_RDWR | O_CREAT, 0666);
            const char ok = fd >= 0 && ::flock(fd, exclusive ? LOCK_EX : LOCK_SH) == 0 ? 1 : 0;
            (void)!::write(ready[1], &ok, 1);
            for (;;)
                ::pause();
        }
        char ok = 0;
        m_held = m_pid > 0 && ::read(ready[0], &ok, 1) == 1 && ok == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() { release(); }
    LockHolder(const LockHolder &) = delete;
    LockHolder &operator=(const LockHolder &) = delete;

    bool held() const { return m_held; }
    void release()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_held = false;
};

// A tmpfs of a given size mounted on a folder, when the tests may mount one.
class SmallDisk {
public:
    SmallDisk(const QString &dir, qint64 bytes)
        : m_dir(dir)
    {
        QDir().mkpath(dir);
        if (::geteuid() != 0)
            return;
        const QByteArray options = "size=" + QByteArray::number(bytes);
        m_mounted = ::mount("tmpfs", QFile::encodeName(dir).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir).constData(), MNT_DETACH);
    }
    SmallDisk(const SmallDisk &) = delete;
    SmallDisk &operator=(const SmallDisk &) = delete;

    bool mounted() const { return m_mounted; }
    bool makeReadOnly()
    {
        return m_mounted
            && ::mount("tmpfs", QFile::encodeName(m_dir).constData(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0;
    }

private:
    QString m_dir;
    bool m_mounted = false;
};

} // namespace working_folder
