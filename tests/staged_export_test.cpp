// The working folder changes all at once or not at all. Each test starts from a
// folder that holds an earlier export (a generated school, with index files beside
// two tables), stops a new export of another school in some way, and checks that
// the folder then holds the earlier tables byte for byte, or, once a next run has
// finished an interrupted replacement, the complete new set.
#include "cli/dialog_answers.h"
#include "common/disk_io.h"
#include "common/error_report.h"
#include "common/folder_lock.h"
#include "common/staging_area.h"
#include "common/system_reason.h"
#include "common/user_error.h"
#include "export/course_dialog.h"
#include "export/export_run.h"
#include "export/frame_dialog.h"
#include "round_trip_support.h"
#include "support/posix_holders.h"
#include "support/scripted_interface.h"

#include <QElapsedTimer>
#include <QThread>

#include <system_error>

#include <gtest/gtest.h>

#include <sys/stat.h>

using round_trip::School;
using round_trip::ToolRun;
using working_folder::Files;

namespace {

CliAnswers answersFor(const School &school)
{
    CliAnswers answers;
    answers.senecaFile = school.seneca;
    answers.planningFile = school.planning;
    answers.levelsFile = school.levels;
    answers.frames = round_trip::frameCodes(school).split(QLatin1Char(','));
    answers.framesGiven = true;
    return answers;
}

Session sessionFor(const QString &ktemp)
{
    Session session;
    session.workDir = ktemp;
    session.programDir = QStringLiteral(HORAVO_BIN_DIR);
    return session;
}

// An export in this process, answered as the command line answers it.
ExportRun::Outcome exportHere(const QString &ktemp, CliInterface &ui)
{
    Session session = sessionFor(ktemp);
    ExportRun run(session, ui);
    installCliDecisions(run, ui);
    return run.run();
}

QString stopMessage(const QString &ktemp, CliInterface &ui)
{
    try {
        exportHere(ktemp, ui);
    } catch (const UserError &error) {
        return error.message();
    }
    return QStringLiteral("(the run did not stop)");
}

// The frame dialog (step 9) runs something first: an error of a middle step, or
// the timetabler opening a table while the person chooses.
class InterruptedFrames : public CliInterface {
public:
    InterruptedFrames(CliAnswers answers, std::function<void()> first)
        : CliInterface(std::move(answers))
        , m_first(std::move(first))
    {
    }
    void runFrameDialog(FrameDialog &dialog) override
    {
        m_first();
        CliInterface::runFrameDialog(dialog);
    }

private:
    std::function<void()> m_first;
};

// Shared by every test: the earlier export, the new school, and what a
// completed export of the new school leaves in the folder of the earlier one.
struct Schools {
    QTemporaryDir dir;
    School earlierSchool;
    School school;
    QString earlierFolder; // the earlier export, with MDX files
    QString completedFolder; // the earlier export after a completed new one
    Files earlier;
    Files completed;
    qint64 stagedBytes = 0;
};

Schools *g_schools = nullptr;

} // namespace

class StagedExport : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        g_schools = new Schools;
        Schools &s = *g_schools;
        s.earlierSchool = round_trip::generatedSchool(s.dir.filePath(QStringLiteral("earlier")), 0.3, 5);
        s.school = round_trip::exampleSchool(s.dir.filePath(QStringLiteral("new")));
        s.earlierFolder = s.dir.filePath(QStringLiteral("earlier/KTEMP"));
        const ToolRun earlierRun = round_trip::exportSchool(s.earlierSchool, s.earlierFolder);
        ASSERT_EQ(earlierRun.status, 0) << qPrintable(earlierRun.describe());
        // Indexes an older timetabler left: the export deletes those of the tables it writes.
        for (const char *index : {"ASIGT.MDX", "PROFT.mdx"}) {
            QFile file(QDir(s.earlierFolder).filePath(QLatin1String(index)));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("indice");
        }
        s.earlier = working_folder::files(s.earlierFolder);

        s.completedFolder = s.dir.filePath(QStringLiteral("completed"));
        ASSERT_TRUE(working_folder::copyFolder(s.earlierFolder, s.completedFolder));
        const ToolRun completedRun = round_trip::exportSchool(s.school, s.completedFolder);
        ASSERT_EQ(completedRun.status, 0) << qPrintable(completedRun.describe());
        s.completed = working_folder::files(s.completedFolder);
        s.stagedBytes = working_folder::totalSize(s.completed);
    }
    static void TearDownTestSuite()
    {
        delete g_schools;
        g_schools = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(g_schools) << "the schools could not be prepared";
        ktemp = dir.filePath(QStringLiteral("KTEMP"));
        ASSERT_TRUE(working_folder::copyFolder(g_schools->earlierFolder, ktemp));
    }
    void TearDown() override
    {
        disk::stopFailingWrites();
        StagingArea::afterRename = nullptr;
    }

    // The folder holds the earlier export byte for byte, and no staging folder.
    void expectEarlierExport(const QString &context)
    {
        EXPECT_EQ(working_folder::differences(working_folder::files(ktemp), g_schools->earlier), QStringList())
            << qPrintable(context);
        EXPECT_EQ(working_folder::stagingFolders(ktemp), QStringList()) << qPrintable(context);
    }
    void expectCompletedExport(const QString &context)
    {
        EXPECT_EQ(working_folder::differences(working_folder::files(ktemp), g_schools->completed), QStringList())
            << qPrintable(context);
        EXPECT_EQ(working_folder::stagingFolders(ktemp), QStringList()) << qPrintable(context);
    }

    QTemporaryDir dir;
    QString ktemp;
};

TEST_F(StagedExport, ACompletedRunReplacesTheTablesAndTheirIndexesWithTheUmasksPermissions)
{
    const mode_t umaskNow = ::umask(0);
    ::umask(umaskNow);
    CliInterface ui(answersFor(g_schools->school));
    ASSERT_EQ(exportHere(ktemp, ui), ExportRun::Outcome::Completed);
    expectCompletedExport(QStringLiteral("in this process, as from the command line"));
    EXPECT_FALSE(QFile::exists(QDir(ktemp).filePath(QStringLiteral("ASIGT.MDX"))));
    for (const QString &name : ExportRun::tablesReplaced()) {
        struct stat info { };
        ASSERT_EQ(::stat(QFile::encodeName(QDir(ktemp).filePath(name)).constData(), &info), 0) << qPrintable(name);
        EXPECT_EQ(info.st_mode & 0777, 0666 & ~umaskNow) << qPrintable(name);
    }
}

TEST_F(StagedExport, AnErrorInAMiddleStepLeavesEveryEarlierTable)
{
    InterruptedFrames ui(answersFor(g_schools->school), [] { throw UserError(QStringLiteral("parada de prueba")); });
    const QString message = stopMessage(ktemp, ui);
    EXPECT_TRUE(message.startsWith(QStringLiteral("parada de prueba"))) << qPrintable(message);
    EXPECT_TRUE(message.contains(staging_texts::unchanged())) << qPrintable(message);
    expectEarlierExport(message);
}

TEST_F(StagedExport, NoMemoryOrAThreadRefusedInAMiddleStepIsToldInSpanishAndLeavesEveryEarlierTable)
{
    const struct {
        std::function<void()> fault;
        QString said;
    } cases[] = {
        {[] { throw std::bad_alloc(); }, error_texts::noMemory()},
        {[] { throw std::system_error(EAGAIN, std::generic_category(), "thread"); },
            error_texts::systemRefused(disk::reason(EAGAIN))},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.said.toStdString());
        ASSERT_TRUE(working_folder::copyFolder(g_schools->earlierFolder, ktemp));
        InterruptedFrames ui(answersFor(g_schools->school), c.fault);
        const QString message = stopMessage(ktemp, ui);
        EXPECT_EQ(message, c.said + QLatin1Char('\n') + staging_texts::unchanged());
        expectEarlierExport(message);
    }
}

TEST_F(StagedExport, AFullDiskAtAnyPointLeavesEveryEarlierTableAndSaysSoInSpanish)
{
    const qint64 total = g_schools->stagedBytes;
    for (const qint64 allowed : {qint64(0), total / 10, total / 2, total * 9 / 10}) {
        SCOPED_TRACE(allowed);
        ASSERT_TRUE(working_folder::copyFolder(g_schools->earlierFolder, ktemp));
        CliInterface ui(answersFor(g_schools->school));
        disk::failWritesAfter(allowed, ENOSPC);
        const QString message = stopMessage(ktemp, ui);
        disk::stopFailingWrites();
        EXPECT_TRUE(message.contains(QStringLiteral("el disco está lleno"))) << qPrintable(message);
        EXPECT_TRUE(message.contains(QStringLiteral(".DBF"))) << "names the file: " << qPrintable(message);
        EXPECT_FALSE(message.contains(QStringLiteral(".transhoravo-"))) << qPrintable(message);
        expectEarlierExport(message);
    }
}

TEST_F(StagedExport, ASmallFileSystemThatFillsUpLeavesEveryEarlierTable)
{
    const QString small = dir.filePath(QStringLiteral("small"));
    // Room for the earlier export and a little more, not for a second set of tables.
    working_folder::SmallDisk disk(small, working_folder::totalSize(g_schools->earlier) + 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "no tmpfs can be mounted here (the tests do not run as root)";
    ktemp = QDir(small).filePath(QStringLiteral("KTEMP"));
    ASSERT_TRUE(working_folder::copyFolder(g_schools->earlierFolder, ktemp));
    CliInterface ui(answersFor(g_schools->school));
    const QString message = stopMessage(ktemp, ui);
    EXPECT_TRUE(message.contains(QStringLiteral("el disco está lleno"))) << qPrintable(message);
    expectEarlierExport(message);
}

TEST_F(StagedExport, ATableTheTimetablerHoldsStopsTheRunBeforeAnythingIsWritten)
{
    // Held from the start, or taken while the person answers the time frame dialog.
    for (const bool fromTheStart : {true, false}) {
        SCOPED_TRACE(fromTheStart ? "held from the start" : "taken during the run");
        std::unique_ptr<working_folder::LockHolder> timetabler;
        const auto openInTimetabler = [&] {
            timetabler = std::make_unique<working_folder::LockHolder>(
                QDir(ktemp).filePath(QStringLiteral("ASIGT.DBF")), false);
        };
        if (fromTheStart)
            openInTimetabler();
        InterruptedFrames ui(answersFor(g_schools->school), [&] {
            if (!timetabler)
                openInTimetabler();
        });
        const QString message = stopMessage(ktemp, ui);
        ASSERT_TRUE(timetabler && timetabler->held());
        EXPECT_EQ(message, staging_texts::tableInUse(QStringLiteral("ASIGT.DBF"), ktemp));
        timetabler.reset();
        expectEarlierExport(message);
    }
}

TEST_F(StagedExport, AFolderWhereATableGoesStopsTheRunBeforeAnythingIsWritten)
{
    ASSERT_TRUE(QFile::remove(QDir(ktemp).filePath(QStringLiteral("GRUPOST.DBF"))));
    ASSERT_TRUE(QDir(ktemp).mkdir(QStringLiteral("GRUPOST.DBF")));
    Files before = working_folder::files(ktemp);
    CliInterface ui(answersFor(g_schools->school));
    const QString message = stopMessage(ktemp, ui);
    EXPECT_TRUE(message.contains(QStringLiteral("GRUPOST.DBF"))) << qPrintable(message);
    EXPECT_TRUE(message.contains(QStringLiteral("carpeta"))) << qPrintable(message);
    EXPECT_EQ(working_folder::differences(working_folder::files(ktemp), before), QStringList());
    EXPECT_TRUE(QFileInfo(QDir(ktemp).filePath(QStringLiteral("GRUPOST.DBF"))).isDir());
}

TEST_F(StagedExport, ASecondRunInEitherDirectionIsRefusedWhileAnotherHoldsTheFolder)
{
    working_folder::LockHolder otherRun(QDir(ktemp).filePath(FolderLock::fileName()), true);
    ASSERT_TRUE(otherRun.held());
    const ToolRun exported = round_trip::exportSchool(g_schools->school, ktemp);
    const ToolRun imported = round_trip::importSchool(g_schools->earlierSchool, ktemp);
    for (const ToolRun &run : {exported, imported}) {
        EXPECT_EQ(run.status, 1) << qPrintable(run.describe());
        EXPECT_TRUE(run.err.contains(folder_lock_texts::anotherRun(ktemp))) << qPrintable(run.describe());
    }
    expectEarlierExport(QStringLiteral("refused runs"));
}

TEST_F(StagedExport, ALockFileDeletedOrReplacedWhileTheExportWorksStopsItBeforeAnyTableIsReplaced)
{
    const QString lockFile = QDir(ktemp).filePath(FolderLock::fileName());
    const std::function<void()> faults[] = {
        [lockFile] { QFile::remove(lockFile); },
        [lockFile] {
            QFile::remove(lockFile);
            QFile other(lockFile);
            ASSERT_TRUE(other.open(QIODevice::WriteOnly)); // another run's, which would think it alone
        },
    };
    for (const std::function<void()> &fault : faults) {
        InterruptedFrames ui(answersFor(g_schools->school), fault);
        const QString message = stopMessage(ktemp, ui);
        EXPECT_EQ(message, folder_lock_texts::lockLost(ktemp));
        EXPECT_TRUE(message.contains(FolderLock::fileName()));
        expectEarlierExport(message);
    }
}

TEST_F(StagedExport, TwoExportsStartedTogetherNeverMixTheirTables)
{
    QProcess first, second;
    const QStringList arguments{QStringLiteral("export"), QStringLiteral("--seneca"), g_schools->school.seneca,
        QStringLiteral("--planning"), g_schools->school.planning, QStringLiteral("--ktemp"), ktemp,
        QStringLiteral("--levels"), g_schools->school.levels, QStringLiteral("--frames"),
        round_trip::frameCodes(g_schools->school)};
    first.start(round_trip::binary("transhoravo"), arguments);
    second.start(round_trip::binary("transhoravo"), arguments);
    ASSERT_TRUE(first.waitForFinished(120000));
    ASSERT_TRUE(second.waitForFinished(120000));
    int completed = 0;
    for (QProcess *run : {&first, &second}) {
        const QString err = QString::fromUtf8(run->readAllStandardError());
        if (run->exitCode() == 0)
            ++completed;
        else
            EXPECT_TRUE(err.contains(folder_lock_texts::anotherRun(ktemp))) << qPrintable(err);
    }
    EXPECT_GE(completed, 1);
    expectCompletedExport(QStringLiteral("after two exports at once"));
}

TEST_F(StagedExport, KillingALargeExportAtAnyMomentLeavesTheEarlierOrTheNewTables)
{
    const School large = round_trip::generatedSchool(dir.filePath(QStringLiteral("large")), 8, 11);
    const QString reference = dir.filePath(QStringLiteral("reference"));
    ASSERT_TRUE(working_folder::copyFolder(g_schools->earlierFolder, reference));
    QElapsedTimer clock;
    clock.start();
    const ToolRun completedRun = round_trip::exportSchool(large, reference);
    const qint64 duration = clock.elapsed();
    ASSERT_EQ(completedRun.status, 0) << qPrintable(completedRun.describe());
    const Files completed = working_folder::files(reference);

    int earlierSeen = 0, newSeen = 0;
    for (const double moment : {0.05, 0.2, 0.4, 0.6, 0.75, 0.85, 0.92, 0.97, 1.0}) {
        const qint64 delay = qint64(moment * double(duration));
        SCOPED_TRACE(delay);
        ASSERT_TRUE(working_folder::copyFolder(g_schools->earlierFolder, ktemp));
        for (const QString &name : working_folder::differences(working_folder::files(ktemp), g_schools->earlier))
            QFile::remove(QDir(ktemp).filePath(name)); // the new set's tables the earlier one lacks
        QProcess process;
        process.start(round_trip::binary("transhoravo"),
            {QStringLiteral("export"), QStringLiteral("--seneca"), large.seneca, QStringLiteral("--planning"),
                large.planning, QStringLiteral("--ktemp"), ktemp, QStringLiteral("--levels"), large.levels,
                QStringLiteral("--frames"), round_trip::frameCodes(large)});
        ASSERT_TRUE(process.waitForStarted());
        QThread::msleep(std::uint64_t(delay));
        ::kill(pid_t(process.processId()), SIGKILL);
        process.waitForFinished();

        // What the next run of either direction does first.
        StagingArea::tidyUp(ktemp, ExportRun::tablesReplaced());
        const Files after = working_folder::files(ktemp);
        const bool isEarlier = working_folder::differences(after, g_schools->earlier).isEmpty();
        const bool isNew = working_folder::differences(after, completed).isEmpty();
        EXPECT_TRUE(isEarlier || isNew) << "differs from the earlier set in "
                                        << qPrintable(working_folder::differences(after, g_schools->earlier).join(' '))
                                        << " and from the new set in "
                                        << qPrintable(working_folder::differences(after, completed).join(' '));
        EXPECT_EQ(working_folder::stagingFolders(ktemp), QStringList());
        earlierSeen += isEarlier;
        newSeen += isNew;
    }
    std::printf("kill -9 of a %lld ms export: %d times the earlier tables, %d times the new ones\n",
        static_cast<long long>(duration), earlierSeen, newSeen);
}

TEST_F(StagedExport, AStopDuringTheReplacementIsFinishedByTheNextRun)
{
    // The third table renamed into the working folder is the last for this run.
    int renamed = 0;
    StagingArea::afterRename = [&](const QString &) {
        if (++renamed == 3)
            throw UserError(QStringLiteral("corte de luz"));
    };
    CliInterface ui(answersFor(g_schools->school));
    EXPECT_EQ(stopMessage(ktemp, ui), QStringLiteral("corte de luz"));
    StagingArea::afterRename = nullptr;
    EXPECT_EQ(working_folder::stagingFolders(ktemp).size(), 1) << "kept for the next run";
    EXPECT_FALSE(working_folder::differences(working_folder::files(ktemp), g_schools->earlier).isEmpty());

    // A leftover of a run stopped before its tables were complete goes too.
    QDir(ktemp).mkpath(StagingArea::folderPrefix() + QStringLiteral("incompleta"));
    QFile leftover(QDir(ktemp).filePath(StagingArea::folderPrefix() + QStringLiteral("incompleta/PROFT.DBF")));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("a medias");
    leftover.close();

    // An import that then stops (no timetable saved yet) has finished the replacement first.
    const ToolRun imported = round_trip::importSchool(g_schools->school, ktemp);
    EXPECT_EQ(imported.status, 1) << qPrintable(imported.describe());
    EXPECT_TRUE(imported.err.contains(QStringLiteral("SOLUC.DBF"))) << qPrintable(imported.describe());
    expectCompletedExport(QStringLiteral("after the next run"));
}

TEST_F(StagedExport, TheForcedExitKeepsTheTablesAndAddsTheTypedCodingsToTheMemory)
{
    ScriptedInterface ui;
    ui.fileChoices = {g_schools->school.seneca, g_schools->school.planning};
    ui.askAnswers
        = {UserInterface::Answer::Second}; // the earlier codings are not taken over: they still must not be lost
    QString typedClave;
    ui.courseDialog = [&](CourseDialog &dialog) {
        dialog.onShow();
        if (ui.courseDialogsShown == 1) {
            typedClave = dialog.clave(0);
            dialog.setNivel(0, QStringLiteral("ESO"));
            dialog.setCurso(0, QStringLiteral("1"));
            dialog.setNivel(1, QStringLiteral("ESO")); // no course: the OK fails
            dialog.ok();
        } else {
            dialog.forceExit();
        }
    };
    Session session = sessionFor(ktemp);
    ExportRun run(session, ui);
    ASSERT_EQ(run.run(), ExportRun::Outcome::ForcedExit);
    EXPECT_TRUE(ui.closed);

    const Files after = working_folder::files(ktemp);
    EXPECT_EQ(working_folder::differences(after, g_schools->earlier), QStringList{QStringLiteral("CURSOST2.DBF")});
    const auto earlierMemory
        = round_trip::readTable(QDir(g_schools->earlierFolder).filePath(QStringLiteral("CURSOST2.DBF")));
    const auto memory = round_trip::readTable(QDir(ktemp).filePath(QStringLiteral("CURSOST2.DBF")));
    ASSERT_EQ(memory.size(), earlierMemory.size() + 1);
    for (std::size_t i = 0; i < earlierMemory.size(); ++i)
        EXPECT_EQ(memory[i], earlierMemory[i]) << "earlier coding " << i;
    EXPECT_EQ(memory.back().value(QStringLiteral("CLAVE")), typedClave);
    EXPECT_EQ(memory.back().value(QStringLiteral("NIVEL")), QStringLiteral("ESO"));
    EXPECT_EQ(memory.back().value(QStringLiteral("CURSO")), QStringLiteral("1"));
    EXPECT_EQ(working_folder::stagingFolders(ktemp), QStringList());
}

// The close box of the level and course dialog ends the export as the forced exit
// does, and says so: in a new folder with nothing typed nothing is written at all
// (going on would have coded the groups A, B, C… under empty levels); what was
// typed complete is kept in the memory of codings for the next export.
TEST_F(StagedExport, TheCloseBoxOfTheLevelDialogLeavesTheExportUnfinishedAndSaysSo)
{
    const struct {
        const char *name;
        bool newFolder;
        bool typeOne;
        QStringList changed;
    } cases[] = {
        {"new folder, nothing typed", true, false, {}},
        {"new folder, one course typed", true, true, {QStringLiteral("CURSOST2.DBF")}},
        {"earlier export, nothing typed", false, false, {}},
    };
    for (const auto &c : cases) {
        QTemporaryDir own;
        const QString folder = c.newFolder ? own.filePath(QStringLiteral("KTEMP")) : ktemp;
        const Files before = working_folder::files(folder);
        ScriptedInterface ui;
        ui.fileChoices = {g_schools->school.seneca, g_schools->school.planning};
        ui.courseDialog = [&](CourseDialog &dialog) {
            dialog.onShow();
            if (c.typeOne) {
                dialog.setNivel(0, QStringLiteral("ESO"));
                dialog.setCurso(0, QStringLiteral("1"));
            }
            dialog.closeFromTitleBar();
        };
        Session session = sessionFor(folder);
        ExportRun run(session, ui);
        ASSERT_EQ(run.run(), ExportRun::Outcome::LeftUnfinished) << c.name;
        EXPECT_FALSE(ui.closed) << c.name << ": the window stays open for another run";
        EXPECT_EQ(session.transformado, 0) << c.name;
        EXPECT_EQ(ui.courseDialogsShown, 1) << c.name;
        EXPECT_EQ(ui.frameDialogsShown, 0) << c.name;
        EXPECT_TRUE(ui.summaries.empty()) << c.name;
        ASSERT_FALSE(ui.messages.isEmpty()) << c.name;
        EXPECT_EQ(ui.messages.last(), export_texts::leftUnfinished(QDir::toNativeSeparators(folder))) << c.name;
        EXPECT_EQ(working_folder::differences(working_folder::files(folder), before), c.changed) << c.name;
        EXPECT_EQ(working_folder::stagingFolders(folder), QStringList()) << c.name;
        if (c.typeOne) {
            const auto memory = round_trip::readTable(QDir(folder).filePath(QStringLiteral("CURSOST2.DBF")));
            ASSERT_EQ(memory.size(), 1u) << c.name;
            EXPECT_EQ(memory.front().value(QStringLiteral("NIVEL")), QStringLiteral("ESO"));
        }
    }
}

// Leaving the time frame dialog (Escape or its close box, then yes to the question)
// ends the export as the forced exit does: the tables stay as they were and the
// codings just confirmed join the memory of codings.
TEST_F(StagedExport, LeavingTheFrameDialogEndsTheExportWithTheTablesAsTheyWere)
{
    ScriptedInterface ui;
    ui.fileChoices = {g_schools->school.seneca, g_schools->school.planning};
    ui.askAnswers = {UserInterface::Answer::Second}; // the earlier codings: not taken over
    ui.courseDialog = [&](CourseDialog &dialog) {
        dialog.onShow();
        dialog.applyLevels(readLevelsCsv(g_schools->school.levels));
        dialog.ok();
    };
    bool leftAtOnce = false;
    ui.frameDialog = [&](FrameDialog &dialog) {
        dialog.setSelection({0});
        leftAtOnce = dialog.askToLeave(); // answered with its first button, "Dejar sin terminar"
    };
    Session session = sessionFor(ktemp);
    ExportRun run(session, ui);
    ASSERT_EQ(run.run(), ExportRun::Outcome::LeftUnfinished);
    EXPECT_TRUE(leftAtOnce);
    EXPECT_EQ(ui.frameDialogsShown, 1) << "no new attempt after leaving";
    EXPECT_EQ(ui.messages.last(), export_texts::leftUnfinished(QDir::toNativeSeparators(ktemp)));
    EXPECT_FALSE(ui.closed);
    EXPECT_EQ(session.transformado, 0);
    EXPECT_EQ(working_folder::differences(working_folder::files(ktemp), g_schools->earlier),
        QStringList{QStringLiteral("CURSOST2.DBF")});
    const auto earlierMemory
        = round_trip::readTable(QDir(g_schools->earlierFolder).filePath(QStringLiteral("CURSOST2.DBF")));
    const auto memory = round_trip::readTable(QDir(ktemp).filePath(QStringLiteral("CURSOST2.DBF")));
    EXPECT_GT(memory.size(), earlierMemory.size()) << "the earlier codings stay, the new ones join them";
    EXPECT_EQ(working_folder::stagingFolders(ktemp), QStringList());
}
