#pragma once
// The export's staging folder: a private folder ".transhoravo-<random>" inside the
// working folder into which every step writes. The working folder's tables are
// replaced only once the last step has succeeded, each by a rename, so a run that
// stops for any reason leaves them byte for byte as they were.
//
// Replacing: every staged table is forced to disk, then a marker file written
// into the staging folder says the set is complete, with each table's size and
// checksum; only then are the tables renamed into the working folder and the
// index files the steps delete removed. A stop during the renames (a crash, a
// power cut) leaves the marker, and the next run of either direction finishes
// the replacement first (tidyUp). A staging folder without the marker is what a
// stopped run left: tidyUp removes it.
//
// A marker is obeyed only when it names working tables of the known set by
// plain names, and every staged table it names is whole (its size and checksum
// as recorded). Any other marker is set aside with its folder, renamed so that
// no run obeys it again, and nothing is deleted.
//
// tidyUp runs under the folder's lock (FolderLock), and a live run also holds
// its own staging folder's owner file locked (OwnerMark): a staging folder a
// live run owns is never touched, even when the lock file was lost.

#include "common/file_checksum.h"
#include "common/folder_lock.h"
#include "common/table_folder.h"

#include <QSet>
#include <QStringList>

#include <functional>
#include <vector>

class StagingArea : public TableFolder {
public:
    // Creates the staging folder. Throws UserError naming the working folder.
    explicit StagingArea(QString workDir);
    // A staging folder not marked complete goes with the run.
    ~StagingArea() override;
    StagingArea(const StagingArea &) = delete;
    StagingArea &operator=(const StagingArea &) = delete;

    const QString &path() const { return m_path; }
    const QString &workDir() const override { return m_workDir; }

    QString writePath(const QString &fileName) const override;
    QString readPath(const QString &fileName) const override;
    void removeTable(const QString &fileName) override;
    void removeFile(const QString &fileName) override;
    QString copyForUpdate(const QString &fileName) override;

    // Replaces the working folder's tables with the staged ones and removes what
    // the run removed: a table the run rebuilt takes the place of the .DBF and
    // its .MDX; a table it updated (copyForUpdate) replaces the .DBF only.
    // Throws UserError when a table is in use (nothing changed then) or when a
    // rename fails (the next run finishes the replacement).
    void commit();
    // Replaces only these staged tables, and removes nothing.
    void commitOnly(const QStringList &fileNames);

    // Finishes a replacement a stopped run left marked complete, and removes the
    // staging folders stopped runs left. Call it holding the folder's lock;
    // tableNames are the working tables an export may replace. Returns, in
    // Spanish, what the person must know when a marker could not be obeyed and
    // was set aside (empty otherwise). Throws UserError when a rename fails.
    static QString tidyUp(const QString &workDir, const QStringList &tableNames);

    // Throws UserError when a file of these tables in the working folder is held
    // by another program (the timetabler) or is a folder.
    static void checkReplaceable(const QString &workDir, const QStringList &tableFileNames);

    // Test seam: called after each table renamed into the working folder.
    static std::function<void(const QString &fileName)> afterRename;

    static QString folderPrefix() { return QStringLiteral(".transhoravo-"); }
    static QString markerName() { return QStringLiteral("COMPLETO"); }
    // The file a live run holds locked in its staging folder.
    static QString ownerName() { return QStringLiteral("PROPIETARIO"); }
    // What a staging folder whose marker could not be obeyed is renamed to.
    static QString setAsidePrefix() { return QStringLiteral(".transhoravo_apartada-"); }

    struct Plan {
        QStringList replace; // staged file names, renamed into the working folder
        std::vector<FileChecksum> sums; // of each staged file, in replace's order
        QStringList remove; // file names deleted from the working folder
    };

private:
    Plan fullPlan() const;
    void replace(Plan plan);
    static void finish(const QString &stagingDir, const QString &workDir, const Plan &plan);

    QString m_workDir;
    QString m_path;
    OwnerMark m_owner;
    QSet<QString> m_tablesRemoved; // with their index files
    QSet<QString> m_filesRemoved;
    QSet<QString> m_updated; // copied for an update: the index stays
    bool m_marked = false;
};

namespace staging_texts {
QString tableInUse(const QString &fileName, const QString &workDir);
QString unchanged();
} // namespace staging_texts
