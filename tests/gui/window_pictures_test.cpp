// Every window and dialog as the person sees it, on the example school: each is
// rendered to a PNG in the build folder (pictures/, for the help) and checked for
// texts its boxes cut. Qt's own texts come from its Spanish catalogue, as in the
// programs.
#include "app/course_dialog_view.h"
#include "app/frame_dialog_view.h"
#include "app/main_window.h"
#include "app/text_fit.h"
#include "common/exchange_document.h"
#include "common/run_driver.h"
#include "common/spanish_qt_texts.h"
#include "export/course_dialog.h"
#include "export/courses_step.h"
#include "export/courses_table.h"
#include "export/export_run.h"
#include "export/frame_dialog.h"
#include "import/import_run.h"
#include "support/scripted_interface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

QString picturesDir()
{
    return QStringLiteral(HORAVO_BINARY_DIR "/pictures");
}

QString example(const char *name)
{
    return QDir(QStringLiteral(HORAVO_SOURCE_DIR "/examples")).filePath(QLatin1String(name));
}

// Renders the widget (a window with everything in it) to pictures/<name>.png.
QPixmap picture(QWidget *widget, const QString &name)
{
    const QPixmap pixmap = widget->grab();
    pixmap.save(QDir(picturesDir()).filePath(name + QStringLiteral(".png")));
    return pixmap;
}

// Runs the action once the next modal window (other than the one open now) is on
// screen: the way to act on a dialog whose exec() the test is waiting in.
void whenModal(std::function<void(QWidget *)> action, QWidget *notThis = QApplication::activeModalWidget())
{
    QTimer::singleShot(20, [action = std::move(action), notThis] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal == notThis || !modal->isVisible()) {
            whenModal(action, notThis);
            return;
        }
        action(modal);
    });
}

QAbstractButton *buttonTitled(QWidget *box, const QString &text)
{
    for (QAbstractButton *button : box->findChildren<QAbstractButton *>()) {
        if (button->isVisible() && button->text().remove(QLatin1Char('&')) == text)
            return button;
    }
    return nullptr;
}

} // namespace

class WindowPicturesTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    Session m_session;
    std::unique_ptr<MainWindow> m_window;
    QStringList m_cut; // texts cut, window by window

    QString ktemp() const { return m_dir.filePath(QStringLiteral("KTEMP")); }
    QString seneca() const { return QDir(ktemp()).filePath(QStringLiteral("seneca/seneca.xml")); }

    // Records, for the end, every label or button of the window whose text is cut.
    void checkTexts(QWidget *window, const QString &name)
    {
        for (const QString &cut : text_fit::cutTexts(window))
            m_cut << name + QStringLiteral(": ") + cut;
    }

    QPixmap shoot(QWidget *window, const QString &name)
    {
        checkTexts(window, name);
        return picture(window, name);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(installSpanishQtTexts(*qApp));
        // Qt's own file dialog, as on a desktop without a native one, so that it renders.
        QApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
        QVERIFY(QDir().mkpath(picturesDir()));
        QVERIFY(QDir().mkpath(QDir(ktemp()).filePath(QStringLiteral("seneca"))));
        QVERIFY(QFile::copy(example("seneca.xml"), seneca()));
        QVERIFY(QFile::copy(
            example("planificacion.xml"), QDir(ktemp()).filePath(QStringLiteral("seneca/planificacion.xml"))));
        m_session.workDir = ktemp();
        m_session.programDir = m_dir.path();
        m_window = std::make_unique<MainWindow>(m_session, QStringList{QStringLiteral("TransHoravoPlanif")});
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    void mainWindowBeforeARun()
    {
        QCOMPARE(m_window->screen()->geometry().size(), QSize(1366, 768));
        shoot(m_window.get(), QStringLiteral("ventana-principal"));
    }

    void fileDialogStartsInTheSenecaFolderWithAnEmptyName()
    {
        QString shownFolder;
        whenModal([&](QWidget *modal) {
            auto *dialog = qobject_cast<QFileDialog *>(modal);
            QVERIFY(dialog);
            shownFolder = dialog->directory().absolutePath();
            QTest::qWait(100); // the folder's files are listed in the background
            shoot(dialog, QStringLiteral("dialogo-archivo"));
            dialog->reject();
        });
        QVERIFY(!m_window->ui().chooseXmlFile(UserInterface::XmlFile::Seneca).has_value());
        QCOMPARE(shownFolder, QFileInfo(seneca()).absolutePath());
    }

    void courseDialogBeforeAndAfterAFailedOk()
    {
        courses_step::writeCoursesTable(
            ExchangeDocument::load(seneca()), QDir(ktemp()).filePath(courses_table::fileName()));
        CourseDialog logic(ktemp(), false, m_window->ui());
        QString missingMessage;
        whenModal([&](QWidget *modal) {
            auto *view = qobject_cast<CourseDialogView *>(modal);
            QVERIFY(view);
            QTest::qWait(50);
            shoot(view, QStringLiteral("dialogo-niveles-cursos"));
            // OK with the grid empty: the message comes up over the dialog, which
            // shows its incident and its forced exit meanwhile.
            whenModal(
                [&, view](QWidget *box) {
                    missingMessage = qobject_cast<QMessageBox *>(box)->text();
                    shoot(view, QStringLiteral("dialogo-niveles-cursos-incompleto"));
                    shoot(box, QStringLiteral("mensaje-falta-dato"));
                    QTest::keyClick(box, Qt::Key_Return);
                },
                view);
            view->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
        });
        m_window->ui().runCourseDialog(logic);
        QCOMPARE(missingMessage, course_dialog_texts::missingData());
        QVERIFY(logic.result);
    }

    void takeOverQuestionAfterAnEarlierExport()
    {
        // The codings of an earlier export, as --levels gives them.
        {
            ScriptedInterface quiet;
            CourseDialog earlier(ktemp(), false, quiet);
            earlier.onShow();
            earlier.applyLevels(readLevelsCsv(example("niveles.csv")));
            earlier.ok();
            QVERIFY(earlier.codingsStored());
        }
        CourseDialog logic(ktemp(), true, m_window->ui());
        whenModal([&](QWidget *question) {
            QCOMPARE(question->windowTitle(), course_dialog_texts::takeOverCaption());
            shoot(question, QStringLiteral("pregunta-recuperar"));
            QAbstractButton *takeOver = buttonTitled(question, course_dialog_texts::takeOverButton());
            QVERIFY(takeOver);
            QVERIFY(buttonTitled(question, course_dialog_texts::startAfreshButton()));
            whenModal(
                [&](QWidget *modal) {
                    auto *view = qobject_cast<CourseDialogView *>(modal);
                    QVERIFY(view);
                    QTest::qWait(50);
                    shoot(view, QStringLiteral("dialogo-niveles-cursos-recuperado"));
                    view->findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
                },
                question);
            takeOver->click();
        });
        m_window->ui().runCourseDialog(logic);
        QVERIFY(!logic.result);
    }

    void frameDialog()
    {
        FrameDialog logic(seneca(), m_window->ui());
        whenModal([&](QWidget *modal) {
            QTest::qWait(50);
            shoot(modal, QStringLiteral("dialogo-marcos"));
            // "Continuar" with no frame selected: the message comes up over the dialog.
            whenModal(
                [&](QWidget *box) {
                    shoot(box, QStringLiteral("mensaje-ningun-marco"));
                    QTest::keyClick(box, Qt::Key_Return);
                },
                modal);
            modal->findChild<QPushButton *>(QStringLiteral("BitBtnContinuar"))->click();
        });
        m_window->ui().runFrameDialog(logic);
        QVERIFY(!logic.resultMH);
    }

    // The export and the import of the example school, with their summaries in the
    // window and "Proceso finalizado" over it.
    void mainWindowAfterAnExportAndAnImport()
    {
        ScriptedInterface scripted;
        scripted.fileChoices = {seneca(), QDir(ktemp()).filePath(QStringLiteral("seneca/planificacion.xml")), seneca()};
        scripted.courseDialog = [](CourseDialog &dialog) {
            dialog.onShow();
            dialog.applyLevels(readLevelsCsv(example("niveles.csv")));
            dialog.ok();
        };
        scripted.frameDialog = [](FrameDialog &dialog) {
            dialog.activate();
            dialog.setSelection({0, 1});
            dialog.close();
        };
        Session session = m_session;
        session.materiasPath = QStringLiteral(HORAVO_BINARY_DIR "/bin/SENEMATERIAS.DBF");
        ExportRun exportRun(session, scripted);
        QCOMPARE(int(exportRun.run()), int(ExportRun::Outcome::Completed));
        QCOMPARE(scripted.summaries.size(), size_t(1));

        QProcess timetabler;
        timetabler.start(QStringLiteral(HORAVO_BINARY_DIR "/bin/standin_timetabler"),
            {QStringLiteral("--ktemp"), ktemp(), QStringLiteral("--seed"), QStringLiteral("1")});
        QVERIFY(timetabler.waitForFinished(60000));
        QCOMPARE(timetabler.exitCode(), 0);
        ImportRun importRun(session, scripted);
        QCOMPARE(int(importRun.run()), int(ImportRun::Outcome::Completed));
        QCOMPARE(scripted.summaries.size(), size_t(2));

        const struct {
            const char *name;
            const RunSummary &summary;
            QStringList notes;
        } runs[] = {{"ventana-tras-exportar", scripted.summaries.at(0), {}},
            {"ventana-tras-importar", scripted.summaries.at(1), scripted.notes}};
        // As after a completed run: both actions disabled.
        m_window->exportButton()->setEnabled(false);
        m_window->importButton()->setEnabled(false);
        for (const auto &run : runs) {
            RunSummary shown = run.summary;
            shown.addNotes(run.notes);
            m_window->showRunSummary(shown);
            QTest::qWait(50);
            // The grown window stays above the screen's edge (1366×768 here).
            const QRect screen = m_window->screen()->availableGeometry();
            QVERIFY2(screen.contains(m_window->frameGeometry()), run.name);
            QPixmap composed;
            const bool withReport = !run.summary.reportPath.isEmpty();
            whenModal([&](QWidget *box) {
                // The message as it stands over the window: centred on it.
                composed = shoot(m_window.get(), QString::fromLatin1(run.name));
                const QPixmap message = shoot(box,
                    withReport ? QStringLiteral("mensaje-proceso-finalizado-informe")
                               : QStringLiteral("mensaje-proceso-finalizado"));
                if (withReport)
                    QVERIFY(buttonTitled(box, QStringLiteral("Abrir informe")));
                QPainter painter(&composed);
                painter.drawPixmap(
                    (composed.width() - message.width()) / 2, (composed.height() - message.height()) / 2, message);
                QTest::keyClick(box, Qt::Key_Return);
            });
            m_window->ui().showFinished(run.summary.finishedDetails.join(QLatin1Char('\n')), run.summary.reportPath);
            composed.save(
                QDir(picturesDir()).filePath(QString::fromLatin1(run.name) + QStringLiteral("-finalizado.png")));
        }
        QVERIFY(m_window->openFolderButton()->isVisible());
    }

    void noTextIsCut() { QVERIFY2(m_cut.isEmpty(), qPrintable(m_cut.join(QLatin1Char('\n')))); }

    void cleanupTestCase() { m_window.reset(); }
};

// The pictures are taken on a screen of 1366×768, the smallest the program is
// used on: the offscreen platform is given one of that size.
int main(int argc, char *argv[])
{
    if (qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        const QString config = QDir(picturesDir()).filePath(QStringLiteral("pantalla-1366x768.json"));
        QDir().mkpath(picturesDir());
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)
            || file.write(R"({"screens": [{"name": "pantalla", "x": 0, "y": 0, "width": 1366, "height": 768,
                              "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                < 0)
            return 1;
        file.close();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.toLocal8Bit());
    }
    QApplication app(argc, argv);
    WindowPicturesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_pictures_test.moc"
