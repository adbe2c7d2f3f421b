#pragma once
// The export's staging folder: a private folder ".transhoravo-<random>" inside the
// working folder into which every step writes. The working folder's tables are
// replaced only once the last step has succeeded, each by a rename, so a run that
// stops for any reason leaves them byte for byte as they were.
//
// Replacing: every staged table is forced to disk, then a marker file written
// into the staging folder says the set is complete; only then are the tables
// renamed into the working folder and the index files the steps delete removed.
// A stop during the renames (a crash, a power cut) leaves the marker, and the
// next run of either direction finishes the replacement first (tidyUp). A
// staging folder without the marker is what a stopped run left: tidyUp removes it.
// tidyUp runs only under the folder's lock (FolderLock), so no live run's staging
// folder is ever touched.

#include "common/table_folder.h"

#include <QSet>
#include <QStringList>

#include <functional>

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
    // staging folders stopped runs left. Call it holding the folder's lock.
    static void tidyUp(const QString &workDir);

    // Throws UserError when a file of these tables in the working folder is held
    // by another program (the timetabler) or is a folder.
    static void checkReplaceable(const QString &workDir, const QStringList &tableFileNames);

    // Test seam: called after each table renamed into the working folder.
    static std::function<void(const QString &fileName)> afterRename;

    static QString folderPrefix() { return QStringLiteral(".transhoravo-"); }
    static QString markerName() { return QStringLiteral("COMPLETO"); }

private:
    struct Plan {
        QStringList replace; // staged file names, renamed into the working folder
        QStringList remove; // file names deleted from the working folder
    };
    Plan fullPlan() const;
    void replace(const Plan &plan);
    static void finish(const QString &stagingDir, const QString &workDir);

    QString m_workDir;
    QString m_path;
    QSet<QString> m_tablesRemoved; // with their index files
    QSet<QString> m_filesRemoved;
    QSet<QString> m_updated; // copied for an update: the index stays
    bool m_marked = false;
};

namespace staging_texts {
QString tableInUse(const QString &fileName, const QString &workDir);
QString unchanged();
} // namespace staging_texts
