#pragma once
// Why a system call failed, in the person's words. The system's and Qt's own texts
// are English; these say the same in Spanish, for the failures a school meets (a
// missing file or folder, no permission, a full or read-only disk, a file held by
// another program). Every Spanish reason the program gives for a failed file
// operation comes from here; disk_io.h makes the calls.

#include <QFileDevice>
#include <QString>

namespace disk {

// Spanish words for a system error number (errno): "el disco está lleno".
QString reason(int error);
// The Spanish reason for the last failed system call (errno).
QString lastReason();

// "No se pudo <action> <file>: <reason>." with the file in the system's notation.
QString failureText(const QString &action, const QString &path, int error);

// Why an operation on the file failed: read from the system's error number at the
// time of the call when it names a cause, else from what the file and its folder
// look like now. Call it right after the failing operation; writing says whether
// it wrote (or created, renamed or deleted) the file.
QString fileReason(const QFileDevice &file, bool writing);

} // namespace disk
