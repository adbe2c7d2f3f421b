#pragma once
// Where the timetabler keeps its working folder on this machine: C:\KTEMP on
// Windows; elsewhere drive_c/KTEMP inside the Wine prefix ($WINEPREFIX, by default
// ~/.wine), because the timetabler is a Windows program. Only the window and the
// command line call this; runs get their folders passed in.

#include <QDir>
#include <QString>

inline QString defaultWorkDir()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/KTEMP");
#else
    QString prefix = qEnvironmentVariable("WINEPREFIX");
    if (prefix.isEmpty())
        prefix = QDir::home().filePath(QStringLiteral(".wine"));
    return QDir(prefix).filePath(QStringLiteral("drive_c/KTEMP"));
#endif
}
