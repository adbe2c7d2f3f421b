#pragma once
// One run per working folder: an export or an import holds an exclusive lock on
// the lock file ".transhoravo.lock" in the working folder for its whole run. The
// system lock goes with the process, so a run that crashed or was killed leaves
// no lock behind; the empty file itself stays, and the timetabler never reads it.
//
// The lock file is opened without following a link (a link there could make the
// run create a file anywhere), and once locked, the run checks that the path
// still names the file it locked: a lock file deleted or replaced meanwhile is
// taken again. A run that writes checks the same before it replaces anything
// (stillHeld), so a lock file deleted while it works never lets two runs write.

#include <QString>

class FolderLock {
public:
    enum class Need {
        Writing, // the export: a folder that takes no lock file cannot take tables either
        ReadingOnly, // the import: a read-only folder is read without the lock
    };

    // Takes the lock. Throws UserError when another run holds it, or (Writing)
    // when the lock file cannot be created; every message names the lock file.
    FolderLock(const QString &workDir, Need need);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    bool held() const { return m_fd >= 0; }
    // Whether the lock file at its path is still the one this run locked (true
    // when no lock was taken). Throws nothing.
    bool stillHeld() const;

    static QString fileName() { return QStringLiteral(".transhoravo.lock"); }

private:
    QString m_path;
    int m_fd = -1;
};

// A file a live run holds locked for as long as the object lives: it tells a
// staging folder that a running export owns from one a stopped run left, even
// when the folder's lock file was lost. The lock goes with the process.
class OwnerMark {
public:
    OwnerMark() = default;
    ~OwnerMark();
    OwnerMark(const OwnerMark &) = delete;
    OwnerMark &operator=(const OwnerMark &) = delete;

    // Creates the file at path and locks it. False when it cannot (a file
    // system without locks among the causes); the caller goes on without it.
    bool take(const QString &path);
    // Whether a live process holds the file at path locked. A missing file, or
    // one nobody holds, is no live run's.
    static bool heldByLiveRun(const QString &path);

private:
    int m_fd = -1;
};

namespace folder_lock_texts {
QString anotherRun(const QString &workDir);
// The lock file was deleted or replaced while the run worked.
QString lockLost(const QString &workDir);
} // namespace folder_lock_texts
