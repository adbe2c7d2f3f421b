#pragma once
// The tables a run sees. A plain folder is read and written in place (the steps'
// own tests, the command line's rehearsal of the course dialog). An export run
// sees the working folder through its staging folder (StagingArea): it writes
// there, and reads its own tables there and the others in the working folder.

#include <QString>

class TableFolder {
public:
    virtual ~TableFolder() = default;

    // Where the run writes a table.
    virtual QString writePath(const QString &fileName) const = 0;
    // Where the run reads a table: the one it wrote, else the working folder's.
    // Empty when the run has removed it. The file need not exist.
    virtual QString readPath(const QString &fileName) const = 0;
    // The table's .DBF and .MDX files are gone for the rest of the run.
    virtual void removeTable(const QString &fileName) = 0;
    // Only the file itself is gone for the rest of the run.
    virtual void removeFile(const QString &fileName) = 0;
    // A table the run changes in place: the path to write, holding the table as
    // the run sees it (nothing when there is none yet).
    virtual QString copyForUpdate(const QString &fileName) = 0;
    // The working folder as the person knows it (where file dialogs start).
    virtual const QString &workDir() const = 0;
};

class PlainFolder : public TableFolder {
public:
    explicit PlainFolder(QString dir)
        : m_dir(std::move(dir))
    {
    }
    QString writePath(const QString &fileName) const override;
    QString readPath(const QString &fileName) const override { return writePath(fileName); }
    void removeTable(const QString &fileName) override;
    void removeFile(const QString &fileName) override;
    QString copyForUpdate(const QString &fileName) override { return writePath(fileName); }
    const QString &workDir() const override { return m_dir; }

private:
    QString m_dir;
};
