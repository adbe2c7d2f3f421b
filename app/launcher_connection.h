#pragma once
// Started by the Wine launcher TransHoravoPlanif.exe, this program's standard output
// and error are a socket whose other end the launcher reads until every process
// holding it has ended; only then does Horavent read Horavent.ini. A browser opened
// for the help would inherit the socket and keep the timetabler waiting until the
// browser closes. This keeps the socket open on a descriptor that child processes
// do not inherit, and gives standard output and error /dev/null instead. Does
// nothing unless the launcher's variable TRANSHORAVO_CARPETA is set and standard
// output is a socket.
void holdLauncherConnectionForThisProcessOnly();
