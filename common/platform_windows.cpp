// Windows, and Windows programs under Wine (see platform.h).
#include "common/platform.h"

#include <QDir>
#include <QFileInfo>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <fcntl.h>
#include <io.h>

namespace platform {

QString defaultWorkDir()
{
    return QStringLiteral("C:/KTEMP");
}

void prepareProcess()
{
    qputenv("QT_ENABLE_REGEXP_JIT", "0");
    // What goes into a file or a pipe is the bytes written, line ends included, as
    // elsewhere: a CSV from "show" or a summary read by a script is the same file.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

void holdLauncherConnectionForThisProcessOnly()
{
    // Horavent starts this program itself and waits on its process.
}

CompiledHelpViewer compiledHelpViewer()
{
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return {};
    const QString viewer = QDir(QString::fromWCharArray(windows, int(length))).filePath(QStringLiteral("hh.exe"));
    if (!QFileInfo(viewer).isFile())
        return {};
    return {viewer, false};
}

namespace {
HANDLE standardHandle(int stream)
{
    return GetStdHandle(stream == 2 ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
}
} // namespace

bool isConsole(int stream)
{
    DWORD mode = 0;
    const HANDLE handle = standardHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

void writeToConsole(int stream, QStringView text)
{
    const HANDLE handle = standardHandle(stream);
    while (!text.isEmpty()) {
        const DWORD part = DWORD(std::min<qsizetype>(text.size(), 8192));
        DWORD written = 0;
        if (!WriteConsoleW(handle, text.utf16(), part, &written, nullptr) || written == 0)
            return;
        text = text.mid(written);
    }
}

} // namespace platform
