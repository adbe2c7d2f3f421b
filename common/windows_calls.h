#pragma once
// What the Windows side of the file and lock layer shares (included only there):
// paths as Windows' wide-character calls take them, and Windows' error codes as
// the error numbers whose Spanish words system_reason.h gives.

#include <QString>

#include <string>

namespace windows_calls {

// The path absolute, with backslashes, and with the \\?\ prefix when it is longer
// than the 260 characters those calls take without it, so that a deep folder works.
std::wstring widePath(const QString &path);

// ENOENT, EACCES, EBUSY (held by another program), ENOSPC, EROFS ... for a
// GetLastError() code.
int errorNumber(unsigned long windowsError);

// errorNumber(GetLastError()).
int lastErrorNumber();

} // namespace windows_calls
