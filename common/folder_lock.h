#pragma once
// One run per working folder: an export or an import holds an exclusive lock on
// the lock file ".transhoravo.lock" in the working folder for its whole run. The
// system lock goes with the process, so a run that crashed or was killed leaves
// no lock behind; the empty file itself stays, and the timetabler never reads it.

#include <QString>

class FolderLock {
public:
    enum class Need {
        Writing, // the export: a folder that takes no lock file cannot take tables either
        ReadingOnly, // the import: a read-only folder is read without the lock
    };

    // Takes the lock. Throws UserError when another run holds it, or (Writing)
    // when the lock file cannot be created.
    FolderLock(const QString &workDir, Need need);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

    bool held() const { return m_fd >= 0; }

    static QString fileName() { return QStringLiteral(".transhoravo.lock"); }

private:
    int m_fd = -1;
};

namespace folder_lock_texts {
QString anotherRun(const QString &workDir);
}
