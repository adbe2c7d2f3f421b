// The window of the time frame dialog: what it shows when it opens, the extended
// selection with Ctrl, and closing by "Continuar" or by the title bar.
#include "app/frame_dialog_view.h"
#include "app/help_opener.h"
#include "app/main_window.h"
#include "app/text_fit.h"
#include "app/widget_interface.h"
#include "export/frame_dialog.h"
#include "support/scripted_interface.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

namespace {

const char *const kSeneca = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERVICIO><BLOQUE_DATOS>
<grupo_datos seq="JORNADAS_ESCOLARES">
  <grupo_datos><dato nombre_dato="X_JORNADA">A</dato><dato nombre_dato="D_JORNADA">Mañana</dato><dato nombre_dato="F_INICIO">01/09/2024</dato><dato nombre_dato="F_FIN">30/06/2025</dato></grupo_datos>
  <grupo_datos><dato nombre_dato="X_JORNADA">B</dato><dato nombre_dato="D_JORNADA">Tarde</dato><dato nombre_dato="F_INICIO">15/09/2024</dato><dato nombre_dato="F_FIN">20/06/2025</dato></grupo_datos>
  <grupo_datos><dato nombre_dato="X_JORNADA">C</dato><dato nombre_dato="D_JORNADA">Noche</dato><dato nombre_dato="F_INICIO">01/10/2024</dato><dato nombre_dato="F_FIN">31/05/2025</dato></grupo_datos>
</grupo_datos>
<grupo_datos seq="TRAMOS_HORARIOS">
  <grupo_datos><dato>1</dato><dato>08:00 - 09:00</dato><dato>480</dato><dato>540</dato><dato>A</dato></grupo_datos>
  <grupo_datos><dato>2</dato><dato>16:00 - 17:00</dato><dato>960</dato><dato>1020</dato><dato>B</dato></grupo_datos>
  <grupo_datos><dato>3</dato><dato>09:00 - 10:00</dato><dato>540</dato><dato>600</dato><dato>A</dato></grupo_datos>
  <grupo_datos><dato>4</dato><dato>20:00 - 21:00</dato><dato>1200</dato><dato>1260</dato><dato>C</dato></grupo_datos>
</grupo_datos>
</BLOQUE_DATOS></SERVICIO>
)";

template <typename T> T *control(QWidget *view, const char *name)
{
    T *found = view->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("control %s not found", name);
    return found;
}

QStringList items(const QListWidget *list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out << list->item(row)->text();
    return out;
}

// A click on a frame of ListBox2, with Ctrl held or not.
void clickFrame(QWidget *view, int row, Qt::KeyboardModifiers modifiers = Qt::ControlModifier)
{
    auto *list = control<QListWidget>(view, "ListBox2");
    QListWidgetItem *item = list->item(row);
    list->scrollToItem(item);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualItemRect(item).center());
}

QString writeSeneca(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("seneca.xml"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the Séneca file");
    file.write(kSeneca);
    return path;
}

} // namespace

class FrameDialogViewTest : public QObject {
    Q_OBJECT

private:
    struct Fixture {
        QTemporaryDir dir;
        ScriptedInterface ui;
        std::unique_ptr<FrameDialog> logic;
        std::unique_ptr<FrameDialogView> view;

        Fixture()
        {
            logic = std::make_unique<FrameDialog>(writeSeneca(dir), ui);
            logic->activate();
            view = std::make_unique<FrameDialogView>(*logic);
            view->show();
            if (!QTest::qWaitForWindowExposed(view.get()))
                qFatal("the dialog was not shown");
        }
    };

private Q_SLOTS:
    void opensWithTheFirstFrameOnDisplayAndNothingSelected()
    {
        Fixture f;
        QWidget *view = f.view.get();
        QCOMPARE(view->windowTitle(), QStringLiteral("Planillas, Marcos o Jornadas Horarias"));
        auto *frames = control<QListWidget>(view, "ListBox2");
        // Each frame with its name and the times its slots span, before any click.
        QCOMPARE(items(frames),
            (QStringList{QStringLiteral("A · Mañana · 08:00–10:00"), QStringLiteral("B · Tarde · 16:00–17:00"),
                QStringLiteral("C · Noche · 20:00–21:00")}));
        for (int row = 0; row < frames->count(); ++row)
            QVERIFY(frames->visualItemRect(frames->item(row)).right() < frames->viewport()->width());
        QCOMPARE(frames->selectionMode(), QAbstractItemView::ExtendedSelection);
        QVERIFY(frames->selectedItems().isEmpty());
        QCOMPARE(control<QLabel>(view, "LabelNombre")->text(), QStringLiteral("Mañana"));
        QCOMPARE(control<QLabel>(view, "LabelPlanFec1")->text(), QStringLiteral("01/09/2024"));
        QCOMPARE(control<QLabel>(view, "LabelPlanFec2")->text(), QStringLiteral("30/06/2025"));
        QCOMPARE(items(control<QListWidget>(view, "ListBox1")),
            (QStringList{QStringLiteral("08:00 - 09:00"), QStringLiteral("09:00 - 10:00")}));
        auto *combo = control<QComboBox>(view, "ComboBoxPlantilla");
        QVERIFY(!combo->isVisible());
        QCOMPARE(combo->currentIndex(), 0);
        QCOMPARE(control<QPushButton>(view, "BitBtnContinuar")->text(), QStringLiteral("Continuar"));
        QCOMPARE(control<QLabel>(view, "LabelPlantillas")->text(),
            QStringLiteral("Seleccione 1, o los 2 Marcos Horarios que quiere aplicar a su Horario en Horavent."));
        // Every text whole in this desktop's font ("MARCOS" and "HORAS" above their lists too).
        // Not under Wine, which has none of Windows' fonts: a measure there says nothing
        // of what a school's Windows shows.
        if (QSysInfo::kernelType() != QLatin1String("winnt"))
            QCOMPARE(text_fit::cutTexts(view), QStringList());
        QVERIFY(
            control<QLabel>(view, "LabelMarcos")->geometry().bottom() < control<QListWidget>(view, "ListBox2")->y());
        QVERIFY(control<QLabel>(view, "Label1")->geometry().bottom() < control<QListWidget>(view, "ListBox1")->y());
        QVERIFY(control<QLabel>(view, "LabelSelec")->geometry().bottom() < control<QLabel>(view, "LabelMarcos")->y());

        QSignalSpy help(f.view.get(), &FrameDialogView::helpRequested);
        QTest::keyClick(view, Qt::Key_F1);
        QCOMPARE(help.size(), 1);
        QCOMPARE(help.first().first().toString(), help_sections::frameDialog());
    }

    void continuarShowsTheKeyboardsFocus()
    {
        Fixture f;
        QApplication::setActiveWindow(f.view.get());
        f.view->setAttribute(Qt::WA_KeyboardFocusChange);
        auto *continuar = control<QPushButton>(f.view.get(), "BitBtnContinuar");
        control<QListWidget>(f.view.get(), "ListBox2")->setFocus(Qt::TabFocusReason);
        QTest::qWait(10);
        const QImage without = continuar->grab().toImage();
        continuar->setFocus(Qt::TabFocusReason);
        QTest::qWait(10);
        QVERIFY(continuar->hasFocus());
        QVERIFY(continuar->grab().toImage() != without);
    }

    void ctrlSelectsTwoFramesHandedOverInListOrder_data()
    {
        QTest::addColumn<int>("firstClick");
        QTest::addColumn<int>("secondClick");
        QTest::addColumn<QString>("lastShown");
        QTest::newRow("upper first") << 0 << 2 << QStringLiteral("Noche");
        QTest::newRow("lower first") << 2 << 0 << QStringLiteral("Mañana");
    }

    void ctrlSelectsTwoFramesHandedOverInListOrder()
    {
        QFETCH(int, firstClick);
        QFETCH(int, secondClick);
        QFETCH(QString, lastShown);
        Fixture f;
        QWidget *view = f.view.get();
        clickFrame(view, firstClick, Qt::NoModifier);
        clickFrame(view, secondClick);
        QCOMPARE(control<QLabel>(view, "LabelNombre")->text(), lastShown);
        QCOMPARE(control<QComboBox>(view, "ComboBoxPlantilla")->currentIndex(), secondClick);
        QTest::mouseClick(control<QPushButton>(view, "BitBtnContinuar"), Qt::LeftButton);
        QVERIFY(!view->isVisible());
        QVERIFY(f.logic->resultMH);
        QCOMPARE(f.logic->resultado, QStringLiteral("A         C         "));
        QVERIFY(f.ui.messages.isEmpty());
    }

    void aPlainClickReplacesTheSelectionAndCtrlDeselectsButKeepsTheDisplay()
    {
        Fixture f;
        QWidget *view = f.view.get();
        clickFrame(view, 0, Qt::NoModifier);
        clickFrame(view, 1, Qt::NoModifier);
        QCOMPARE(f.logic->selectedIndexes(), std::vector<int>{1});
        clickFrame(view, 1);
        QVERIFY(f.logic->selectedIndexes().empty());
        QCOMPARE(control<QLabel>(view, "LabelNombre")->text(), QStringLiteral("Tarde"));
        QCOMPARE(items(control<QListWidget>(view, "ListBox1")), QStringList{QStringLiteral("16:00 - 17:00")});
    }

    void threeFramesGiveTheMessageOnce()
    {
        Fixture f;
        QWidget *view = f.view.get();
        for (int row : {0, 1, 2})
            clickFrame(view, row);
        QTest::mouseClick(control<QPushButton>(view, "BitBtnContinuar"), Qt::LeftButton);
        QVERIFY(!view->isVisible());
        QVERIFY(!f.logic->resultMH);
        QCOMPARE(f.ui.messages, QStringList{frame_dialog_texts::tooMany()});
    }

    // Escape and the close box are the way out of the export: after a question,
    // answered "stay" the dialog stays open with its selection, answered "leave"
    // it closes without a choice and without the no-frame message.
    void escapeAndTheCloseBoxAskWhetherToLeaveTheExportUnfinished_data()
    {
        QTest::addColumn<bool>("escape");
        QTest::newRow("escape") << true;
        QTest::newRow("close box") << false;
    }

    void escapeAndTheCloseBoxAskWhetherToLeaveTheExportUnfinished()
    {
        QFETCH(bool, escape);
        Fixture f;
        clickFrame(f.view.get(), 1, Qt::NoModifier);
        const auto leave = [&] {
            if (escape)
                QTest::keyClick(f.view.get(), Qt::Key_Escape);
            else
                f.view->close();
        };
        f.ui.askAnswers = {UserInterface::Answer::Second};
        leave();
        QVERIFY(f.view->isVisible());
        QVERIFY(!f.logic->isClosed());
        QCOMPARE(f.logic->selectedIndexes(), std::vector<int>{1});
        f.ui.askAnswers = {UserInterface::Answer::Dismissed};
        leave();
        QVERIFY(f.view->isVisible());

        f.ui.askAnswers = {UserInterface::Answer::First};
        leave();
        QVERIFY(!f.view->isVisible());
        QVERIFY(f.logic->left());
        QVERIFY(!f.logic->resultMH);
        QCOMPARE(f.ui.questions.size(), 3);
        QCOMPARE(f.ui.questions.first(),
            frame_dialog_texts::leaveCaption() + QLatin1Char('|') + frame_dialog_texts::leaveQuestion());
        QVERIFY(f.ui.messages.isEmpty());
    }

    void theWindowsInterfaceShowsTheDialogModally()
    {
        QTemporaryDir dir;
        Session session;
        session.workDir = dir.path();
        session.programDir = dir.path();
        MainWindow window(session, {QStringLiteral("prog")}, std::make_unique<ScriptedInterface>());
        WidgetInterface widgets(&window);
        ScriptedInterface messages;
        FrameDialog logic(writeSeneca(dir), messages);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget *modal = QApplication::activeModalWidget();
            auto *view = qobject_cast<FrameDialogView *>(modal);
            seen = view != nullptr;
            if (!view) {
                if (modal)
                    modal->close();
                return;
            }
            clickFrame(view, 1, Qt::NoModifier);
            QTest::mouseClick(control<QPushButton>(view, "BitBtnContinuar"), Qt::LeftButton);
        });
        widgets.runFrameDialog(logic);
        QVERIFY(seen);
        QVERIFY(logic.resultMH);
        QCOMPARE(logic.resultado, QStringLiteral("B         "));
    }
};

QTEST_MAIN(FrameDialogViewTest)
#include "frame_dialog_view_test.moc"
