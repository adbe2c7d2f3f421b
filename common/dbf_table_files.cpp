// The table's files as a whole: creating, deleting, and the locks that keep
// the timetabler and the converter off each other's tables.
#include "common/dbf_table_impl.h"

#include "common/disk_io.h"
#include "common/system_reason.h"

#include <QFileInfo>

#if defined(Q_OS_WIN)
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include "common/windows_calls.h"
#include <io.h>
#include <windows.h>
#else
#include <sys/file.h>
#endif
#include <cerrno>

namespace dbf {

QString lockedText(const QString &path)
{
    return QStringLiteral("La tabla %1 está abierta en otro programa (por ejemplo Horavent). Ciérrela y vuelva "
                          "a intentarlo.")
        .arg(path);
}

LockResult lockFile(QFile &file, bool exclusive)
{
#if defined(Q_OS_WIN)
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(file.handle()));
    OVERLAPPED overlapped{};
    const DWORD flags = LOCKFILE_FAIL_IMMEDIATELY | (exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0);
    if (LockFileEx(handle, flags, 0, MAXDWORD, MAXDWORD, &overlapped))
        return LockResult::Locked;
    return GetLastError() == ERROR_LOCK_VIOLATION ? LockResult::Busy : LockResult::Unsupported;
#else
    for (;;) {
        if (::flock(file.handle(), (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0)
            return LockResult::Locked;
        if (errno == EINTR)
            continue;
        return errno == EWOULDBLOCK ? LockResult::Busy : LockResult::Unsupported;
    }
#endif
}

namespace {

// Whether another open file (in this or another program) holds a lock on the path.
// On Windows, also whether any program has the file open at all: the timetabler
// opens a table for exclusive use with no sharing, and Windows can neither replace
// nor delete a file another program holds open. Such a file cannot even be opened,
// which is the answer: in use.
bool isLockedElsewhere(const QString &path)
{
#if defined(Q_OS_WIN)
    const HANDLE alone = CreateFileW(
        windows_calls::widePath(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (alone != INVALID_HANDLE_VALUE) {
        CloseHandle(alone);
        return false;
    }
    const DWORD error = GetLastError();
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
#else
    QFile probe(path);
    if (!probe.open(QIODevice::ReadOnly))
        return false;
    return lockFile(probe, true) == LockResult::Busy;
#endif
}

} // namespace

QStringList tableFiles(const QString &dbfPath)
{
    QString base = dbfPath;
    if (base.endsWith(QLatin1String(".dbf"), Qt::CaseInsensitive))
        base.chop(4);
    // Where names differ by case only they are one file: it is named once.
    QStringList paths;
    for (const QString &path : {dbfPath, base + QLatin1String(".DBF"), base + QLatin1String(".dbf"),
             base + QLatin1String(".MDX"), base + QLatin1String(".mdx")}) {
        if (!paths.contains(path, disk::fileNameCase()))
            paths << path;
    }
    return paths;
}

void removeTableFiles(const QString &dbfPath)
{
    for (const QString &path : tableFiles(dbfPath)) {
        const QFileInfo info(path);
        if (!info.exists() && !info.isSymLink())
            continue;
        if (isLockedElsewhere(path))
            throw UserError(lockedText(path));
        if (const int error = disk::removeFile(path))
            throw UserError(disk::failureText(QStringLiteral("borrar el archivo"), path, error));
    }
}

void createTable(const QString &dbfPath, const Layout &layout)
{
    const Layout checked = format::checkedLayout(layout, dbfPath);
    if (QFileInfo::exists(dbfPath) && isLockedElsewhere(dbfPath))
        throw UserError(lockedText(dbfPath));
    QByteArray bytes = format::level7Header(checked, QDate::currentDate());
    bytes.append(format::kEndOfFile);
    // A new table appears whole under its name. It is not forced to disk here: the
    // records written next are not either, and a staged export forces each table
    // once, when all of them are complete.
    disk::writeWholeFile(dbfPath, bytes, false);
}

bool isInUse(const QString &path)
{
    return QFileInfo(path).isFile() && isLockedElsewhere(path);
}

bool tableExists(const QString &dbfPath)
{
    return QFileInfo(dbfPath).isFile();
}

} // namespace dbf
