// The check's report in a real browser: the example school's report rendered by
// headless Chromium to a picture kept in the build folder, with no console
// error, and one teacher's grid in the rendered page holding exactly that
// teacher's lessons. Ends with status 77 (skipped) when Chromium is not installed.
#include "check_fixture.h"

#include "import/check_report_html.h"
#include "import/timetable_check_run.h"
#include "import/timetable_reader.h"

#include <QCoreApplication>
#include <QStandardPaths>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

QString chromium()
{
    for (const char *name : {"chromium", "chromium-browser"}) {
        const QString path = QStandardPaths::findExecutable(QLatin1String(name));
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

struct BrowserRun {
    int status = -1;
    QByteArray out, err;
};

BrowserRun runChromium(const QString &profile, const QStringList &arguments)
{
    QProcess process;
    process.start(chromium(),
        QStringList{QStringLiteral("--headless"), QStringLiteral("--disable-gpu"), QStringLiteral("--no-sandbox"),
            QStringLiteral("--user-data-dir=") + profile, QStringLiteral("--enable-logging=stderr"),
            QStringLiteral("--v=0")}
            + arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
        process.readAllStandardError()};
}

// Chromium logs every message of the page's console on standard error as
// ...:CONSOLE(line)] "text", source: ...; the errors among them are what we look for.
QStringList consoleLines(const QByteArray &log)
{
    QStringList lines;
    for (const QString &line : QString::fromUtf8(log).split(QLatin1Char('\n'))) {
        if (line.contains(QLatin1String(":CONSOLE(")) || line.contains(QLatin1String("Uncaught")))
            lines << line;
    }
    return lines;
}

class ReportInBrowser : public ::testing::Test {
protected:
    void SetUp() override
    {
        const check_fixture::GoodSchool &school = check_fixture::goodSchool();
        ASSERT_TRUE(school.failure.isEmpty()) << school.failure.toStdString();
        report = QStringLiteral(HORAVO_BUILD_DIR "/informe-ejemplo.html");
        // The example as it is, with its catalogues: the page shows real problems.
        runTimetableCheck(school.senecaWithCatalogues, school.document, report);
    }
    QTemporaryDir profile;
    QString report;
};

TEST_F(ReportInBrowser, rendersWithoutConsoleErrorsToAPicture)
{
    const QString picture = QStringLiteral(HORAVO_BUILD_DIR "/informe-ejemplo.png");
    QFile::remove(picture);
    const BrowserRun run = runChromium(profile.path(),
        {QStringLiteral("--window-size=1280,1600"), QStringLiteral("--screenshot=") + picture,
            QUrl::fromLocalFile(report).toString()});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_GT(QFileInfo(picture).size(), 10000) << "no picture at " << picture.toStdString();
    EXPECT_TRUE(consoleLines(run.err).isEmpty()) << consoleLines(run.err).join(QLatin1Char('\n')).toStdString();
}

TEST_F(ReportInBrowser, aTeachersGridShowsExactlyThatTeachersLessons)
{
    const BrowserRun run
        = runChromium(profile.path(), {QStringLiteral("--dump-dom"), QUrl::fromLocalFile(report).toString()});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_TRUE(consoleLines(run.err).isEmpty()) << consoleLines(run.err).join(QLatin1Char('\n')).toStdString();
    const QString dom = QString::fromUtf8(run.out);

    // The teacher: the regular group with the most lessons.
    const TimetableContent content = TimetableReader::read(check_fixture::goodSchool().document);
    const TimetableTeacher *chosen = nullptr;
    for (const TimetableTeacher &teacher : content.teachers) {
        if (teacher.regular && (!chosen || teacher.recordCount > chosen->recordCount))
            chosen = &teacher;
    }
    ASSERT_NE(chosen, nullptr);
    QStringList expected;
    for (int i = chosen->firstRecord; i < chosen->firstRecord + chosen->recordCount; ++i)
        expected << chosen->seq + QLatin1Char('/') + content.records[size_t(i)].seq;

    const QRegularExpression section(
        QStringLiteral("<section class=\"grid\" id=\"p\\d+\" data-employee=\"%1\">(.*?)</section>")
            .arg(QRegularExpression::escape(chosen->employee())),
        QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch grid = section.match(dom);
    ASSERT_TRUE(grid.hasMatch()) << "no grid for employee " << chosen->employee().toStdString();
    QStringList shown;
    for (const QRegularExpressionMatch &lesson :
        QRegularExpression(QStringLiteral("data-r=\"([^\"]*)\"")).globalMatch(grid.captured(1)))
        shown << lesson.captured(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    expected.sort();
    shown.sort();
    EXPECT_EQ(shown, expected);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (chromium().isEmpty()) {
        std::fprintf(stderr, "chromium no está instalado: prueba omitida\n");
        return 77;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
