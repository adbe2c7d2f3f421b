#pragma once
// The reason a file could not be read or written, in the person's words. Qt's and
// the system's own texts are English; these say the same in Spanish, for the
// failures a school meets (a missing file or folder, no permission, a full or
// read-only disk, a file held by another program).

#include <QFileDevice>
#include <QString>

// The system's error number (errno) in Spanish: the same words as disk::reason.
QString systemReason(int errorNumber);

// Why an operation on the file failed: read from the system's error number at the
// time of the call when it names a cause, else from what the file and its folder
// look like now. Call it right after the failing operation; writing says whether
// it wrote (or created, renamed or deleted) the file.
QString fileReason(const QFileDevice &file, bool writing);
