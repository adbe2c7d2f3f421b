// The main window: batch mode from the number of arguments, batch dispatch when
// first shown, and the outcome record written on closing in batch mode.
#include "app/main_window.h"
#include "support/scripted_interface.h"

#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Closing the main window really closes it, as the window's own interface does.
class ClosingInterface : public ScriptedInterface {
public:
    QWidget *window = nullptr;
    void closeMainWindow() override
    {
        ScriptedInterface::closeMainWindow();
        if (window)
            window->close();
    }
};

QByteArray iniContent(const QTemporaryDir &dir)
{
    QFile file(dir.filePath(QStringLiteral("Horavent.ini")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        QTemporaryDir dir;
        Session session;
        ClosingInterface *ui = nullptr;
        std::unique_ptr<MainWindow> window;

        explicit Fixture(const QStringList &arguments)
        {
            session.workDir = dir.filePath(QStringLiteral("KTEMP"));
            session.programDir = dir.path();
            auto scripted = std::make_unique<ClosingInterface>();
            ui = scripted.get();
            window = std::make_unique<MainWindow>(session, arguments, std::move(scripted));
            ui->window = window.get();
        }
    };

private Q_SLOTS:
    void batchModeNeedsExactlyTwoArguments_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("batchMode");
        QTest::newRow("none") << QStringList{QStringLiteral("prog")} << 0;
        QTest::newRow("one") << QStringList{QStringLiteral("prog"), QStringLiteral("exportar")} << 0;
        QTest::newRow("two") << QStringList{QStringLiteral("prog"), QStringLiteral("nada"), QStringLiteral("x")} << 2;
        QTest::newRow("three") << QStringList{QStringLiteral("prog"), QStringLiteral("exportar"), QStringLiteral("x"),
            QStringLiteral("y")}
                               << 0;
    }

    void batchModeNeedsExactlyTwoArguments()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, batchMode);
        Fixture f(arguments);
        QCOMPARE(f.session.batchMode, batchMode);
        f.window->show();
        QTest::qWait(20);
        QVERIFY(f.ui->messages.isEmpty());
        f.window->close();
        QCOMPARE(iniContent(f.dir).isEmpty(), batchMode == 0);
    }

    void mixedCaseExportarRunsTheExportAndAMissingFileWritesMinusOne()
    {
        Fixture f({QStringLiteral("prog"), QStringLiteral("ExPortar"), QStringLiteral("ignorado")});
        f.window->show();
        QTRY_VERIFY(f.ui->closed);
        QCOMPARE(f.ui->messages.last(), QStringLiteral("No existe archivo"));
        QCOMPARE(f.session.transformado, -1);
        QCOMPARE(iniContent(f.dir), QByteArray("[Transformadores]\r\nTransformado=-1\r\n"));
        QVERIFY(!f.window->isVisible());
    }

    void anUnknownDirectionLeavesTheWindowOpenAndSalirWritesZero()
    {
        Fixture f({QStringLiteral("prog"), QStringLiteral(" exportar"), QStringLiteral("x")});
        f.window->show();
        QTest::qWait(20);
        QVERIFY(f.window->isVisible());
        QVERIFY(f.ui->messages.isEmpty());
        auto *salir = f.window->findChild<QPushButton *>(QStringLiteral("BClose"));
        QVERIFY(salir);
        QCOMPARE(salir->text(), QStringLiteral("&Salir"));
        salir->click();
        QCOMPARE(iniContent(f.dir), QByteArray("[Transformadores]\r\nTransformado=0\r\n"));
    }

    void showsTheTextsOfTheWindow()
    {
        Fixture f({QStringLiteral("prog")});
        QCOMPARE(
            f.window->windowTitle(), QStringLiteral("Exportar e importar datos entre Horavent y Planificación (LUMA)"));
        QVERIFY(f.window->findChild<QPushButton *>(QStringLiteral("Button1")));
        QCOMPARE(f.window->findChild<QPushButton *>(QStringLiteral("Button1"))->text(), QStringLiteral("F1 AYUDA"));
        QVERIFY(f.window->exportButton()->isEnabled());
        QVERIFY(f.window->importButton()->isEnabled());
        // The check's report exists only after an import.
        QCOMPARE(f.window->reportButton()->text(), QStringLiteral("Abrir informe"));
        QVERIFY(!f.window->reportButton()->isEnabled());
    }

    void notesAddUpInTheStatusArea()
    {
        Fixture f({QStringLiteral("prog")});
        f.window->showStatus(QStringLiteral("Profesor A: 1 lección descartada"));
        f.window->showStatus(QStringLiteral("Profesor B: 2 lecciones descartadas"));
        QVERIFY(f.window->statusLabel()->text().contains(QStringLiteral("Profesor A")));
        QVERIFY(f.window->statusLabel()->text().contains(QStringLiteral("Profesor B")));
    }

    void helpSaysSoWhenTheHelpFileIsMissing()
    {
        Fixture f({QStringLiteral("prog")});
        f.window->Button1Click();
        QCOMPARE(f.ui->messages.size(), 1);
        QVERIFY(f.ui->messages.first().contains(QStringLiteral("ZUZADEVERODOZ.chm")));
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
