#include "common/program_folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString kMaterias = QStringLiteral("SENEMATERIAS.DBF");

bool holdsMaterias(const QString &folder)
{
    return QFileInfo(QDir(folder).filePath(kMaterias)).isFile();
}

} // namespace

QString installedDataDir(const QString &executableDir)
{
    return QDir::cleanPath(QDir(executableDir).filePath(QStringLiteral("../share/transhoravo")));
}

ProgramFolders chooseProgramFolders(const ProgramPlace &place)
{
    const QString shared = installedDataDir(place.executableDir);
    const bool installed = holdsMaterias(shared);

    ProgramFolders folders;
    if (!place.launcherFolder.isEmpty())
        folders.programDir = QFileInfo(place.launcherFolder).absoluteFilePath();
    else if (installed)
        folders.programDir = place.userDataDir;
    else
        folders.programDir = place.executableDir;

    // The school's table where the school keeps its files; else the one that came
    // with the program.
    for (const QString &folder : {folders.programDir, place.executableDir, shared}) {
        if (holdsMaterias(folder)) {
            folders.materiasPath = QDir(folder).filePath(kMaterias);
            return folders;
        }
    }
    // None at all: name the school's place, so the message says where it belongs.
    folders.materiasPath = QDir(folders.programDir).filePath(kMaterias);
    return folders;
}

ProgramFolders programFoldersOfThisProgram()
{
    ProgramPlace place;
    place.launcherFolder = qEnvironmentVariable(launcherFolderVariable());
    place.executableDir = QCoreApplication::applicationDirPath();
    place.userDataDir = QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                            .filePath(QStringLiteral("transhoravo"));
    return chooseProgramFolders(place);
}
