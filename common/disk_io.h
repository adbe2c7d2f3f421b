#pragma once
// The file system calls whose failures the person must be able to read: writing
// at an offset, forcing files and folders to disk, and files written whole or not
// at all. Every failure is told in Spanish (system_reason.h), never in the
// system's English. A test seam makes writes fail as a full disk would.

#include <QByteArray>
#include <QString>

namespace disk {

// Writes the bytes, and then the tail when there is one, at an offset of an open
// file. Returns 0, or the error number (ENOSPC when the disk takes no more).
int writeAt(int fd, qint64 offset, const char *bytes, qint64 size, const char *tail = nullptr, qint64 tailSize = 0);

// Forces a file's bytes, or a folder's entries, to disk. Return 0 or the error number.
int syncFile(const QString &path);
int syncFolder(const QString &path);

// A file's path as libxml2 takes it to open the file: UTF-8 on Windows, where
// libxml2 turns it into a wide-character path (the system's ANSI code page could
// not name every file), and the file system's encoding elsewhere.
QByteArray pathForLibxml2(const QString &path);

// How this system compares file names: regardless of case on Windows (ASIGT.dbf
// and ASIGT.DBF are one file there), exactly elsewhere.
Qt::CaseSensitivity fileNameCase();

// Deletes a file. Returns 0 or the error number (a missing file is no error).
int removeFile(const QString &path);

// Renames a file over another in the same folder. Returns 0 or the error number.
int replaceByRename(const QString &from, const QString &to);

// What stands at a path, symbolic links followed. A person may give a pipe or a
// device where a file is asked for; reading one would wait or never end.
enum class FileKind { Missing, Regular, Folder, Fifo, Device, Other };
FileKind kindOf(const QString &path);
// "una carpeta", "una tubería (FIFO)", "un dispositivo" ... for the person.
QString kindText(FileKind kind);

// Whether two paths name one existing file: the same path, a symbolic link to
// it, or another hard link of it. (Windows: the volume and file index of both.)
bool sameFile(const QString &a, const QString &b);

// A fresh name beside path of the form WholeFile gives its temporary files
// ("<name>.<8 hex digits>.tmp"), which removeLeftoverTemporaries() recognises.
QString temporaryNameFor(const QString &path);
// Deletes what a killed process left beside path: the temporary files of the
// form above. Returns how many it removed; one that cannot go stays.
int removeLeftoverTemporaries(const QString &path);

// A file written whole or not at all: the bytes go to a temporary file in the
// target's folder, which takes the target's name only on commit(). A new file gets
// the permissions the umask allows; a replaced one keeps its own.
class WholeFile {
public:
    explicit WholeFile(QString path);
    ~WholeFile(); // an uncommitted temporary file is removed
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    bool open();
    bool write(const char *bytes, qint64 size);
    bool write(const QByteArray &bytes) { return write(bytes.constData(), bytes.size()); }
    // Puts the file in place; with forceToDisk its bytes and the folder's entry
    // are on disk when it returns.
    bool commit(bool forceToDisk = true);

    const QString &fileName() const { return m_path; }
    // Whether commit() has put the file in place (a later step may still have failed).
    bool inPlace() const { return m_inPlace; }
    // Why the last call failed, in Spanish.
    QString errorString() const;
    // "No se pudo escribir el archivo X: <reason>."
    QString failureText() const;

private:
    QString m_path;
    QString m_temporary;
    int m_fd = -1;
    qint64 m_written = 0;
    int m_error = 0;
    bool m_inPlace = false;
};

// Writes a whole file at once (see WholeFile). Throws UserError naming the file.
void writeWholeFile(const QString &path, const QByteArray &bytes, bool forceToDisk);

// Test seam: from now on writes through this unit fail with `error` once
// `bytesAllowed` more bytes have been written, as a full disk does.
void failWritesAfter(qint64 bytesAllowed, int error);
void stopFailingWrites();

} // namespace disk
