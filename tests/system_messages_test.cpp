// What the system refuses reaches the person in plain Spanish, naming the file:
// a full disk, a read-only folder, a folder where a file should be. And what the
// import writes gets the permissions the umask allows, like any program's files.
#include "common/disk_io.h"
#include "common/outcome_record.h"
#include "common/system_reason.h"
#include "common/user_error.h"
#include "import/import_run.h"
#include "round_trip_support.h"
#include "support/posix_holders.h"
#include "support/scripted_interface.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

QString messageOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const UserError &error) {
        return error.message();
    }
    return QStringLiteral("(no error)");
}

} // namespace

class SystemMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        school = round_trip::exampleSchool(dir.path());
        ktemp = dir.filePath(QStringLiteral("KTEMP"));
        const round_trip::ToolRun exported = round_trip::exportSchool(school, ktemp);
        ASSERT_EQ(exported.status, 0) << qPrintable(exported.describe());
        const round_trip::ToolRun placed = round_trip::placeLessons(ktemp);
        ASSERT_EQ(placed.status, 0) << qPrintable(placed.describe());
        session.workDir = ktemp;
        session.programDir = dir.path();
    }
    void TearDown() override { disk::stopFailingWrites(); }

    ImportRun::Outcome importTo(const QString &output)
    {
        ScriptedInterface ui;
        ui.fileChoices = {school.seneca};
        ImportRun run(session, ui);
        run.setOutputPath(output);
        return run.run();
    }

    QTemporaryDir dir;
    round_trip::School school;
    QString ktemp;
    Session session;
};

TEST_F(SystemMessages, AnImportThatCannotWriteItsDocumentSaysWhyAndKeepsTheEarlierOne)
{
    const QString output = dir.filePath(QStringLiteral("salida/Resultado.xml"));
    QDir().mkpath(QFileInfo(output).path());
    ASSERT_EQ(importTo(output), ImportRun::Outcome::Completed);
    QFile earlierFile(output);
    ASSERT_TRUE(earlierFile.open(QIODevice::ReadOnly));
    const QByteArray earlier = earlierFile.readAll();
    earlierFile.close();

    disk::failWritesAfter(1000, ENOSPC);
    const QString full = messageOf([&] { importTo(output); });
    disk::stopFailingWrites();
    EXPECT_EQ(full, disk::failureText(QStringLiteral("escribir el archivo"), output, ENOSPC));
    ASSERT_TRUE(earlierFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlierFile.readAll(), earlier) << "the earlier document is kept whole";
    // The earlier run's check report stays beside its document.
    EXPECT_EQ(QDir(QFileInfo(output).path()).entryList(QDir::Files),
        (QStringList{QStringLiteral("Resultado.html"), QStringLiteral("Resultado.xml")}))
        << "no temporary file is left";

    const QString folder = dir.filePath(QStringLiteral("salida/Carpeta.xml"));
    QDir().mkpath(folder);
    EXPECT_EQ(
        messageOf([&] { importTo(folder); }), disk::failureText(QStringLiteral("escribir el archivo"), folder, EISDIR));
}

TEST_F(SystemMessages, AnImportIntoAReadOnlyFolderSaysSoInSpanish)
{
    const QString readOnly = dir.filePath(QStringLiteral("solo-lectura"));
    working_folder::SmallDisk disk(readOnly, 1 << 20);
    if (disk.mounted()) {
        ASSERT_TRUE(disk.makeReadOnly());
    } else {
        QDir().mkpath(readOnly);
        QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
        if (::geteuid() == 0)
            GTEST_SKIP() << "as root without tmpfs no folder is read-only";
    }
    const QString output = QDir(readOnly).filePath(QStringLiteral("Resultado.xml"));
    const QString message = messageOf([&] { importTo(output); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("No se pudo escribir el archivo %1: ").arg(output)))
        << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("solo lectura")) || message.contains(QStringLiteral("permiso")))
        << qPrintable(message);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(SystemMessages, AFolderWhereSolucShouldBeIsReportedAsAFolder)
{
    ASSERT_TRUE(QFile::remove(QDir(ktemp).filePath(QStringLiteral("SOLUC.DBF"))));
    ASSERT_TRUE(QDir(ktemp).mkdir(QStringLiteral("SOLUC.DBF")));
    EXPECT_EQ(messageOf([&] { importTo(dir.filePath(QStringLiteral("Resultado.xml"))); }),
        import_texts::folderInPlaceOfTable(QStringLiteral("SOLUC.DBF"), QDir::toNativeSeparators(ktemp)));
}

TEST_F(SystemMessages, TheDocumentAndTheOutcomeRecordGetThePermissionsTheUmaskAllows)
{
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    const QString output = dir.filePath(QStringLiteral("Resultado.xml"));
    const QString ini = dir.filePath(QStringLiteral("Horavent.ini"));
    ASSERT_EQ(importTo(output), ImportRun::Outcome::Completed);
    writeOutcomeRecord(ini, 1);
    for (const QString &path : {output, ini}) {
        struct stat info { };
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~umaskNow) << qPrintable(path);
    }
}

TEST_F(SystemMessages, AnOutcomeRecordThatIsAFolderSaysSo)
{
    const QString ini = dir.filePath(QStringLiteral("Horavent.ini"));
    QDir().mkpath(ini);
    const QString message = messageOf([&] { writeOutcomeRecord(ini, 1); });
    EXPECT_TRUE(message.contains(QDir::toNativeSeparators(ini))) << qPrintable(message);
    EXPECT_TRUE(message.contains(disk::reason(EISDIR))) << qPrintable(message);
}
