#pragma once
// Where the program keeps the school's own files: the folder where Horavent.ini is
// written (and ZUZADEVERODOZ.chm looked for), and the subject reference table
// SENEMATERIAS.DBF it reads. Only the window and the command line call this; runs
// get the folders passed in (Session).
//
//  1. Started by the Wine launcher TransHoravoPlanif.exe: the launcher's folder,
//     which it names in TRANSHORAVO_CARPETA. That is Horavent's own folder, where
//     the timetabler reads Horavent.ini.
//  2. Installed (the executable's folder has ../share/transhoravo beside it, as the
//     package and `cmake --install` lay it out): a folder of the person's own,
//     ~/.local/share/transhoravo, never /usr/bin, so the result does not depend
//     on whether the program runs as root.
//  3. Otherwise (the build folder, or a copy in a folder of its own): the
//     executable's folder.
// The table is SENEMATERIAS.DBF in that folder. When it is not there and the folder
// is not the executable's own, the table beside the executable is read, else the
// empty one installed in share/transhoravo, so a fresh installation works and every
// subject code is derived from the subject's name.

#include <QString>

struct ProgramFolders {
    QString programDir; // Horavent.ini, the help file, the school's SENEMATERIAS.DBF
    QString materiasPath; // the subject reference table to read
};

// What the choice depends on, gathered by programFoldersOfThisProgram().
struct ProgramPlace {
    QString launcherFolder; // TRANSHORAVO_CARPETA, empty when not started by the launcher
    QString executableDir; // the folder of the running executable
    QString userDataDir; // ~/.local/share/transhoravo (XDG_DATA_HOME respected)
};

inline const char *launcherFolderVariable()
{
    return "TRANSHORAVO_CARPETA";
}

// The installed data folder: ../share/transhoravo from the executable's folder.
QString installedDataDir(const QString &executableDir);

// The choice itself (pure: it only looks at which files exist).
ProgramFolders chooseProgramFolders(const ProgramPlace &place);

// The choice for the running program: reads the environment and the executable's
// location. Call after the Q(Core)Application exists.
ProgramFolders programFoldersOfThisProgram();
