// Where the program writes Horavent.ini and which SENEMATERIAS.DBF it reads: from
// the build folder, installed by the package, and started by the Wine launcher.
#include "common/program_folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct FolderCase {
    const char *name;
    QStringList tables; // folders (below the temporary root) that hold SENEMATERIAS.DBF
    QString executableDir;
    QString launcherFolder; // empty: not started by the launcher
    QString expectedProgramDir;
    QString expectedMaterias; // folder of the table read
};

const QString kBin = QStringLiteral("usr/bin");
const QString kShared = QStringLiteral("usr/share/transhoravo");
const QString kUser = QStringLiteral("home/.local/share/transhoravo");
const QString kHoravent = QStringLiteral("wine/Horavent 18");
const QString kBuild = QStringLiteral("build/bin");

} // namespace

TEST(ProgramFolders, TheSchoolsFilesLiveWhereTheSchoolCanReachThem)
{
    const FolderCase cases[] = {
        {"build folder: beside the program", {kBuild}, kBuild, {}, kBuild, kBuild},
        {"build folder without a table: the message names the program's folder", {}, kBuild, {}, kBuild, kBuild},
        {"installed: the person's folder, the packaged empty table", {kShared}, kBin, {}, kUser, kShared},
        {"installed: the school's own table in the person's folder", {kShared, kUser}, kBin, {}, kUser, kUser},
        {"launcher: Horavent's folder and the school's table there", {kShared, kHoravent}, kBin, kHoravent, kHoravent,
            kHoravent},
        {"launcher, installed: the packaged table when Horavent's folder has none", {kShared, kUser}, kBin, kHoravent,
            kHoravent, kShared},
        {"launcher, build folder: the table beside the program", {kBuild}, kBuild, kHoravent, kHoravent, kBuild},
    };
    for (const FolderCase &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir root;
        const QDir dir(root.path());
        for (const QString &folder : {kBin, kBuild, kUser, kHoravent})
            ASSERT_TRUE(dir.mkpath(folder));
        for (const QString &folder : c.tables) {
            ASSERT_TRUE(dir.mkpath(folder));
            QFile table(dir.filePath(folder + QStringLiteral("/SENEMATERIAS.DBF")));
            ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        }

        ProgramPlace place;
        place.executableDir = dir.filePath(c.executableDir);
        place.launcherFolder = c.launcherFolder.isEmpty() ? QString() : dir.filePath(c.launcherFolder);
        place.userDataDir = dir.filePath(kUser);
        const ProgramFolders folders = chooseProgramFolders(place);

        EXPECT_EQ(folders.programDir, dir.filePath(c.expectedProgramDir));
        EXPECT_EQ(folders.materiasPath, dir.filePath(c.expectedMaterias + QStringLiteral("/SENEMATERIAS.DBF")));
    }
}
