// The main window: batch mode from the number of arguments, batch dispatch when
// first shown, and the outcome record written on closing in batch mode.
#include "app/main_window.h"
#include "app/widget_interface.h"
#include "common/error_report.h"
#include "common/run_driver.h"
#include "common/system_reason.h"
#include "support/scripted_interface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QtTest>

#include <cerrno>
#include <new>
#include <system_error>

namespace {

// Closing the main window really closes it, as the window's own interface does.
class ClosingInterface : public ScriptedInterface {
public:
    QWidget *window = nullptr;
    // Runs inside the run, before the file is chosen: a test throws from it.
    std::function<void()> beforeFileChoice;
    std::optional<QString> chooseXmlFile(XmlFile which) override
    {
        if (beforeFileChoice)
            beforeFileChoice();
        return ScriptedInterface::chooseXmlFile(which);
    }
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

    void mixedCaseExportarRunsTheExportAndACancelledChoiceWritesMinusOne()
    {
        Fixture f({QStringLiteral("prog"), QStringLiteral("ExPortar"), QStringLiteral("ignorado")});
        f.window->show();
        QTRY_VERIFY(f.ui->closed);
        QCOMPARE(f.ui->messages.last(), run_texts::choiceCancelled());
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

    void whatTheLibraryOrTheSystemThrowsInARunIsShownInSpanishAndTheWindowGoesOn()
    {
        Fixture f({QStringLiteral("prog")});
        f.ui->beforeFileChoice = [] { throw std::bad_alloc(); };
        f.window->BExportarClick();
        f.ui->beforeFileChoice = [] { throw std::system_error(EAGAIN, std::generic_category()); };
        f.window->BImportarClick();
        QCOMPARE(
            f.ui->errors, (QStringList{error_texts::noMemory(), error_texts::systemRefused(disk::reason(EAGAIN))}));
        QVERIFY(!f.ui->busy);
        QVERIFY(f.window->exportButton()->isEnabled());
        QVERIFY(f.window->importButton()->isEnabled());
        // The next run starts as any other.
        f.ui->beforeFileChoice = nullptr;
        f.window->BImportarClick();
        QCOMPARE(f.ui->messages.last(), run_texts::choiceCancelled());
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

    void aRunsSummaryAndItsNotesShowBelowThePanelsAndTheFolderButtonOpensTheDocumentsFolder()
    {
        Fixture f({QStringLiteral("prog")});
        QVERIFY(!f.window->summaryView()->isVisibleTo(f.window.get()));
        const QSize before = f.window->size();
        f.window->addNote(QStringLiteral("Profesor A: 1 lección descartada"));
        f.window->addNote(QStringLiteral("Profesor B: 2 lecciones descartadas"));
        RunSummary summary;
        summary.heading = QStringLiteral("Importación terminada");
        summary.documentPath = f.dir.filePath(QStringLiteral("seneca/ResultadoHoravoX.xml"));
        summary.reportPath = f.dir.filePath(QStringLiteral("seneca/ResultadoHoravoX.html"));
        summary.add(summary_texts::nextTitle(), {QStringLiteral("Suba el documento")});
        summary.addNotes(f.window->takeNotes());
        f.window->showRunSummary(summary);
        f.window->show();
        QVERIFY(f.window->summaryView()->isVisible());
        QCOMPARE(f.window->size().width(), before.width());
        QVERIFY(f.window->size().height() > before.height());
        const QString shown = f.window->summaryView()->toPlainText();
        for (const char *text : {"Importación terminada", "Profesor A", "Profesor B", "Suba el documento"})
            QVERIFY2(shown.contains(QString::fromUtf8(text)), text);
        QVERIFY(shown.indexOf(QStringLiteral("Profesor B")) < shown.indexOf(QStringLiteral("Suba el documento")));
        QVERIFY(f.window->takeNotes().isEmpty());

        QList<QUrl> opened;
        f.window->help().openUrl = [&opened](const QUrl &url) {
            opened << url;
            return true;
        };
        QVERIFY(f.window->openFolderButton()->isVisible());
        QVERIFY(f.window->reportButton()->isVisible() && f.window->reportButton()->isEnabled());
        f.window->openFolderButton()->click();
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(f.dir.filePath(QStringLiteral("seneca")))});

        RunSummary exported;
        exported.heading = QStringLiteral("Exportación terminada");
        f.window->showRunSummary(exported);
        QVERIFY(!f.window->openFolderButton()->isVisible());
        QVERIFY2(!f.window->reportButton()->isVisible(), "an export has no report to open");
    }

    // F1 AYUDA opens the timetabler's help file when it and a viewer are there
    // (Windows' hh.exe, or the desktop's viewer for the type), and otherwise our
    // own help, beside the program or where the package puts it; F1 opens the
    // window's own section.
    void helpOpensTheChmWhenItCanElseOurOwnHelp_data()
    {
        QTest::addColumn<bool>("chm");
        QTest::addColumn<QString>("viewer"); // "hh.exe", "desktop" or none
        QTest::addColumn<QString>("ownHelp");
        QTest::addColumn<QString>("opened");
        QTest::newRow("chm and the desktop's viewer")
            << true << QStringLiteral("desktop") << QStringLiteral("bin/help") << QStringLiteral("chm");
        QTest::newRow("chm and hh.exe") << true << QStringLiteral("hh.exe") << QStringLiteral("bin/help")
                                        << QStringLiteral("hh.exe");
        QTest::newRow("chm, no viewer") << true << QString() << QStringLiteral("bin/help")
                                        << QStringLiteral("bin/help/index.html");
        QTest::newRow("no chm, installed")
            << false << QStringLiteral("desktop") << QStringLiteral("share/transhoravo/help")
            << QStringLiteral("share/transhoravo/help/index.html");
        QTest::newRow("nothing") << false << QString() << QString() << QString();
    }

    void helpOpensTheChmWhenItCanElseOurOwnHelp()
    {
        QFETCH(bool, chm);
        QFETCH(QString, viewer);
        QFETCH(QString, ownHelp);
        QFETCH(QString, opened);
        QTemporaryDir root;
        const QString bin = root.filePath(QStringLiteral("bin"));
        QDir().mkpath(bin);
        const auto touch = [](const QString &path) {
            QDir().mkpath(QFileInfo(path).absolutePath());
            QFile file(path);
            return file.open(QIODevice::WriteOnly);
        };
        if (chm)
            QVERIFY(touch(QDir(bin).filePath(QStringLiteral("ZUZADEVERODOZ.chm"))));
        if (!ownHelp.isEmpty())
            QVERIFY(touch(root.filePath(ownHelp + QStringLiteral("/index.html"))));

        Fixture f({QStringLiteral("prog")});
        f.session.programDir = bin;
        HelpOpener help(bin);
        help.redirectFolder = root.filePath(QStringLiteral("cache"));
        QList<QUrl> urls;
        help.openUrl = [&urls](const QUrl &url) {
            urls << url;
            return true;
        };
        QStringList started;
        help.chmViewer = [viewer] {
            platform::CompiledHelpViewer found;
            if (viewer == QLatin1String("hh.exe"))
                found.program = QStringLiteral("C:/windows/hh.exe");
            found.desktopOpens = viewer == QLatin1String("desktop");
            return found;
        };
        help.startProgram = [&started](const QString &program, const QStringList &arguments) {
            started << program + QLatin1Char(' ') + arguments.join(QLatin1Char(' '));
            return true;
        };
        help.open(QString(), *f.ui);
        help.open(help_sections::courseDialog(), *f.ui);
        if (opened == QLatin1String("hh.exe")) {
            QVERIFY(urls.isEmpty());
            const QString expected = QStringLiteral("C:/windows/hh.exe ")
                + QDir::toNativeSeparators(QDir(bin).filePath(QStringLiteral("ZUZADEVERODOZ.chm")));
            QCOMPARE(started, QStringList({expected, expected}));
            return;
        }
        QVERIFY(started.isEmpty());
        if (opened.isEmpty()) {
            QVERIFY(urls.isEmpty());
            QCOMPARE(f.ui->messages.size(), 2);
            QVERIFY(f.ui->messages.first().contains(QStringLiteral("ZUZADEVERODOZ.chm")));
            return;
        }
        QCOMPARE(urls.size(), 2);
        QVERIFY(f.ui->messages.isEmpty());
        if (opened == QLatin1String("chm")) {
            QCOMPARE(urls.first(), QUrl::fromLocalFile(QDir(bin).filePath(QStringLiteral("ZUZADEVERODOZ.chm"))));
            return;
        }
        QCOMPARE(urls.first(), QUrl::fromLocalFile(root.filePath(opened)));
        // A section travels through a local page that redirects to it: openers
        // drop the anchor of the file they open, the page keeps it.
        QCOMPARE(urls.last().fragment(), help_sections::courseDialog());
        QVERIFY(urls.last().isLocalFile());
        QFile page(urls.last().toLocalFile());
        QVERIFY(page.open(QIODevice::ReadOnly));
        QUrl target = QUrl::fromLocalFile(root.filePath(opened));
        target.setFragment(help_sections::courseDialog());
        const QByteArray bytes = page.readAll();
        QVERIFY2(
            bytes.contains("http-equiv=\"refresh\" content=\"0; url=" + target.toEncoded() + "\""), bytes.constData());
    }

    // At 1366×768 with a taskbar the grown window must not reach under it.
    void theGrownWindowStaysWithinTheAvailableScreenArea()
    {
        const QRect available(0, 0, 1366, 728); // a 40-pixel taskbar below
        const QRect grown(366, 217, 634, 548); // centred before it grew by its summary
        const QRect kept = MainWindow::keptWithin(grown, available);
        QVERIFY(available.contains(kept));
        QCOMPARE(kept, QRect(366, 180, 634, 548));
        QCOMPARE(MainWindow::keptWithin(QRect(0, 100, 634, 548), QRect(0, 0, 800, 500)), QRect(0, 0, 634, 500));
        QCOMPARE(MainWindow::keptWithin(QRect(10, 10, 100, 100), available), QRect(10, 10, 100, 100));

        Fixture f({QStringLiteral("prog")});
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        RunSummary summary;
        summary.heading = QStringLiteral("Importación terminada");
        summary.reportPath = f.dir.filePath(QStringLiteral("informe.html"));
        f.window->showRunSummary(summary);
        QTest::qWait(50);
        const QRect screen = f.window->screen()->availableGeometry();
        QVERIFY2(screen.contains(f.window->frameGeometry()),
            qPrintable(QStringLiteral("%1,%2 %3x%4")
                           .arg(f.window->frameGeometry().x())
                           .arg(f.window->frameGeometry().y())
                           .arg(f.window->frameGeometry().width())
                           .arg(f.window->frameGeometry().height())));
        QVERIFY(f.window->reportButton()->isVisible());
    }

    // Each button of the window looks different when it has the keyboard's focus.
    void everyButtonShowsTheFocus()
    {
        Fixture f({QStringLiteral("prog")});
        RunSummary summary;
        summary.documentPath = f.dir.filePath(QStringLiteral("d.xml"));
        summary.reportPath = f.dir.filePath(QStringLiteral("d.html"));
        f.window->showRunSummary(summary);
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QApplication::setActiveWindow(f.window.get());
        f.window->setAttribute(Qt::WA_KeyboardFocusChange); // as after Tab
        for (QPushButton *button : f.window->findChildren<QPushButton *>()) {
            if (!button->isVisible())
                continue;
            button->setEnabled(true);
            f.window->summaryView()->setFocus(Qt::TabFocusReason);
            QTest::qWait(10);
            const QImage without = button->grab().toImage();
            button->setFocus(Qt::TabFocusReason);
            QTest::qWait(10);
            QVERIFY(button->hasFocus());
            const QImage with = button->grab().toImage();
            QVERIFY2(with != without, qPrintable(button->objectName()));
        }
    }

    // "Proceso finalizado" after an import carries the check's counts and opens the
    // report from its own button: in batch mode the window closes right after it.
    void theFinishedBoxOpensTheReport()
    {
        Session session;
        QTemporaryDir dir;
        session.programDir = dir.path();
        MainWindow window(session, {QStringLiteral("prog")});
        QList<QUrl> opened;
        window.help().openUrl = [&opened](const QUrl &url) {
            opened << url;
            return true;
        };
        RunSummary summary;
        summary.reportPath = dir.filePath(QStringLiteral("ResultadoHoravoX.html"));
        window.showRunSummary(summary);
        window.show();
        QString shownText;
        QTimer::singleShot(0, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            shownText = box->text();
            QAbstractButton *report = nullptr;
            QStringList visible;
            for (QAbstractButton *button : box->buttons()) {
                visible << button->text();
                if (button->text() == QStringLiteral("Abrir informe"))
                    report = button;
            }
            QCOMPARE(visible.size(), 2);
            QVERIFY(report);
            report->click();
        });
        window.ui().showFinished(
            QStringLiteral("Comprobación del documento: 2 errores, 0 avisos, 1 nota informativa."), summary.reportPath);
        QVERIFY(shownText.startsWith(run_texts::finished()));
        QVERIFY(shownText.contains(QStringLiteral("2 errores")));
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(summary.reportPath)});
    }

    void fileDialogsStartInSenecaElseTheWorkingFolderElseHome()
    {
        QTemporaryDir dir;
        const QString ktemp = dir.filePath(QStringLiteral("KTEMP"));
        QCOMPARE(WidgetInterface::startFolder(ktemp), QDir::homePath());
        QDir().mkpath(ktemp);
        QCOMPARE(WidgetInterface::startFolder(ktemp), ktemp);
        QDir().mkpath(ktemp + QStringLiteral("/seneca"));
        QCOMPARE(WidgetInterface::startFolder(ktemp), ktemp + QStringLiteral("/seneca"));
    }

    // The take-over question: each button says what it does, and Escape or the
    // close box is no answer (the codings are kept).
    void theTwoWayQuestionTellsEscapeAndTheCloseBoxFromItsButtons_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("answer");
        QTest::newRow("first") << QStringLiteral("Recuperar") << int(UserInterface::Answer::First);
        QTest::newRow("second") << QStringLiteral("No recuperar") << int(UserInterface::Answer::Second);
        QTest::newRow("escape") << QStringLiteral("escape") << int(UserInterface::Answer::Dismissed);
        QTest::newRow("close box") << QStringLiteral("close") << int(UserInterface::Answer::Dismissed);
    }

    void theTwoWayQuestionTellsEscapeAndTheCloseBoxFromItsButtons()
    {
        QFETCH(QString, action);
        QFETCH(int, answer);
        Session session;
        MainWindow window(session, {QStringLiteral("prog")});
        window.show();
        QTimer::singleShot(0, [action] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            QStringList visible;
            for (QAbstractButton *button : box->buttons()) {
                if (button->isVisible())
                    visible << button->text();
            }
            QCOMPARE(visible.size(), 2);
            if (action == QLatin1String("escape")) {
                QTest::keyClick(box, Qt::Key_Escape);
            } else if (action == QLatin1String("close")) {
                box->close();
            } else {
                for (QAbstractButton *button : box->buttons()) {
                    if (button->text().startsWith(action))
                        button->click();
                }
            }
        });
        QCOMPARE(int(window.ui().ask(QStringLiteral("Recuperación"), QStringLiteral("¿Quiere recuperar?"),
                     QStringLiteral("Recuperar"), QStringLiteral("No recuperar, empezar de nuevo"))),
            answer);
    }
};

QTEST_MAIN(MainWindowTest)
#include "main_window_test.moc"
