// Started by the Wine launcher, the program's standard output is a socket the
// launcher reads until every holder has closed it. A process the program starts
// (the browser with the help) must not hold it, or Horavent waits for the browser.
#include "common/platform.h"

#include <QtTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

class LauncherConnectionTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theLauncherSeesTheEndWhileAProcessTheProgramStartedRuns_data()
    {
        QTest::addColumn<bool>("launched"); // TRANSHORAVO_CARPETA set, as the launcher does
        QTest::addColumn<bool>("hold");
        QTest::addColumn<bool>("endSeen");
        QTest::newRow("started by the launcher: held for the program only") << true << true << true;
        QTest::newRow("without holding, the helper keeps it (the fault)") << true << false << false;
        QTest::newRow("not started by the launcher: output left as it is") << false << true << false;
    }

    void theLauncherSeesTheEndWhileAProcessTheProgramStartedRuns()
    {
        QFETCH(bool, launched);
        QFETCH(bool, hold);
        QFETCH(bool, endSeen);

        int connection[2]; // [0] the launcher's end, [1] the program's
        QCOMPARE(socketpair(AF_UNIX, SOCK_STREAM, 0, connection), 0);
        int report[2]; // the program tells the helper's id once the helper runs
        QCOMPARE(pipe(report), 0);

        // As the launcher starts the program: it names Horavent's folder.
        if (launched)
            qputenv("TRANSHORAVO_CARPETA", "/tmp");
        const pid_t program = fork();
        QVERIFY(program >= 0);
        if (program == 0) {
            close(connection[0]);
            close(report[0]);
            dup2(connection[1], STDOUT_FILENO);
            dup2(connection[1], STDERR_FILENO);
            close(connection[1]);
            if (hold)
                platform::holdLauncherConnectionForThisProcessOnly();
            int started[2];
            if (pipe2(started, O_CLOEXEC) != 0)
                _exit(2);
            const pid_t helper = fork();
            if (helper == 0) {
                execl("/bin/sleep", "sleep", "60", static_cast<char *>(nullptr));
                _exit(127);
            }
            close(started[1]);
            char ignored;
            while (read(started[0], &ignored, 1) > 0) { } // returns at the helper's exec
            if (write(report[1], &helper, sizeof helper) != sizeof helper)
                _exit(2);
            _exit(0);
        }

        qunsetenv("TRANSHORAVO_CARPETA");
        close(connection[1]);
        close(report[1]);
        pid_t helper = -1;
        QCOMPARE(read(report[0], &helper, sizeof helper), ssize_t(sizeof helper));
        close(report[0]);
        int status = 0;
        QCOMPARE(waitpid(program, &status, 0), program);
        QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);

        // The program has ended and the helper still runs: has the launcher's end
        // seen the end of the connection?
        QCOMPARE(kill(helper, 0), 0);
        fcntl(connection[0], F_SETFL, O_NONBLOCK);
        char byte;
        const ssize_t got = read(connection[0], &byte, 1);
        kill(helper, SIGKILL);
        close(connection[0]);
        QCOMPARE(got == 0, endSeen);
    }
};

QTEST_GUILESS_MAIN(LauncherConnectionTest)
#include "launcher_connection_test.moc"
