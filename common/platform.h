#pragma once
// What differs between Windows and the other systems, apart from files and locks
// (disk_io.h, folder_lock.h and the table engine's files hold those): where the
// timetabler keeps its working folder, the console, the viewer of compiled help,
// and the Wine launcher's connection. One implementation per system:
// platform_posix.cpp and platform_windows.cpp; the build compiles the one that fits.

#include <QString>
#include <QStringView>

namespace platform {

// The timetabler's working folder on this machine: C:\KTEMP on Windows; elsewhere
// drive_c/KTEMP inside the Wine prefix ($WINEPREFIX, by default ~/.wine), because
// the timetabler is a Windows program. Only the window and the command line call
// this; runs get their folders passed in.
QString defaultWorkDir();

// What the process sets before anything else, on its first line. On Windows:
// standard output and error written as bytes, without turning "\n" into "\r\n";
// and the regular expressions' JIT off, because its thread-local stack crashes
// threads that Qt did not start when they end, with this toolchain.
void prepareProcess();

// Started by the Wine launcher, the Linux program's standard output and error are a
// socket whose other end the launcher reads until every process holding it has
// ended; only then does Horavent read Horavent.ini. A browser opened for the help
// would inherit the socket and keep the timetabler waiting. This keeps the socket
// open on a descriptor that child processes do not inherit, and gives standard
// output and error /dev/null instead. Does nothing unless the launcher's variable
// TRANSHORAVO_CARPETA is set and standard output is a socket, and nothing on
// Windows, where Horavent waits on the process itself.
void holdLauncherConnectionForThisProcessOnly();

// How compiled HTML help (.chm) opens here: a viewer program to start with the
// file (Windows' hh.exe), or the desktop's own opener when it names a viewer for
// the type (elsewhere). Neither: no viewer.
struct CompiledHelpViewer {
    QString program; // started with the file as its one argument
    bool desktopOpens = false;
};
CompiledHelpViewer compiledHelpViewer();

// The program's standard output (1) or error (2) as text: a Windows console is
// written in its own characters whatever its code page; anything else (a file, a
// pipe, a terminal elsewhere) gets UTF-8.
bool isConsole(int stream);
void writeToConsole(int stream, QStringView text);

} // namespace platform
