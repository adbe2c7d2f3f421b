#pragma once
// What the safety tests need around a working folder: its files byte for byte.
// The child process holding a lock and the small disk are POSIX's own
// (support/posix_holders.h).

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QProcess>

namespace working_folder {

// Every file of the folder (not the lock file, not the staging folders) with its bytes.
using Files = QMap<QString, QByteArray>;
inline Files files(const QString &dir)
{
    Files result;
    for (const QString &name : QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name)) {
        if (name == QLatin1String(".transhoravo.lock"))
            continue;
        QFile file(QDir(dir).filePath(name));
        if (file.open(QIODevice::ReadOnly))
            result.insert(name, file.readAll());
    }
    return result;
}

inline QStringList stagingFolders(const QString &dir)
{
    return QDir(dir).entryList({QStringLiteral(".transhoravo-*")}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
}

inline qint64 totalSize(const Files &files)
{
    qint64 total = 0;
    for (const QByteArray &bytes : files)
        total += bytes.size();
    return total;
}

// The names of the files whose bytes differ, or that only one side has.
inline QStringList differences(const Files &a, const Files &b)
{
    QStringList names;
    for (auto it = a.begin(); it != a.end(); ++it) {
        if (!b.contains(it.key()) || b.value(it.key()) != it.value())
            names << it.key();
    }
    for (auto it = b.begin(); it != b.end(); ++it) {
        if (!a.contains(it.key()))
            names << it.key();
    }
    return names;
}

inline bool copyFolder(const QString &from, const QString &to)
{
    QDir().mkpath(to);
    for (const QString &name : QDir(from).entryList(QDir::Files | QDir::Hidden)) {
        QFile::remove(QDir(to).filePath(name));
        if (!QFile::copy(QDir(from).filePath(name), QDir(to).filePath(name)))
            return false;
    }
    return true;
}

} // namespace working_folder
