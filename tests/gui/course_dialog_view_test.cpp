// The level and course dialog on screen: typing in the grid, Enter, the buttons,
// the forced exit after a failed OK, and errors that must not cross Qt's event loop.
#include "app/course_dialog_view.h"
#include "app/course_grid.h"
#include "app/help_opener.h"
#include "app/text_fit.h"
#include "common/user_error.h"
#include "export/courses_table.h"
#include "export/export_run.h"
#include "support/scripted_interface.h"
#include "support/table_rows.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

// Field order: ABREV, TURNO, NIVEL, CURSO, CLAVE, ESTUD.
QStringList course(const QString &clave, const QString &estud, const QString &nivel = {}, const QString &curso = {})
{
    return {QString(), QString(), nivel, curso, clave, estud};
}

} // namespace

class CourseDialogViewTest : public QObject {
    Q_OBJECT

private:
    QString coursesPath() const { return QDir(m_dir->path()).filePath(courses_table::fileName()); }
    QString memoryPath() const { return QDir(m_dir->path()).filePath(course_memory_table::fileName()); }

    static QTableView *grid(QWidget &view) { return view.findChild<QTableView *>(QStringLiteral("CursosTDBGrid")); }
    static QPushButton *button(QWidget &view, const char *name)
    {
        return view.findChild<QPushButton *>(QLatin1String(name));
    }
    static QLabel *labelNamed(QWidget &view, const char *name) { return view.findChild<QLabel *>(QLatin1String(name)); }

    // Opens the editor of a cell and returns it.
    static QLineEdit *editCell(QTableView *table, int row, int column)
    {
        const QModelIndex index = table->model()->index(row, column);
        table->setCurrentIndex(index);
        table->edit(index);
        return qobject_cast<QLineEdit *>(table->indexWidget(index));
    }

    static void clickCell(QTableView *table, int row, int column)
    {
        const QRect cell = table->visualRect(table->model()->index(row, column));
        QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
    }

    // Shows the view as the window does and waits until its FormShow is done.
    static void showAndWait(CourseDialogView &view)
    {
        QSignalSpy ready(&view, &CourseDialogView::ready);
        view.show();
        QVERIFY(ready.wait(5000));
    }

    // Step 2 over a document of the given courses, its dialogs shown modally and
    // driven by the given actions in turn once each is ready.
    bool runStep(
        const QList<QStringList> &courses, QList<std::function<void(CourseDialogView &, CourseDialog &)>> turns)
    {
        QString xml = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?><SERVICIO><BLOQUE_DATOS>"
                                     "<grupo_datos seq=\"CURSOS_DEL_CENTRO\">");
        for (const QStringList &values : courses) {
            xml += QStringLiteral("<grupo_datos>");
            for (const QString &value : values)
                xml += QStringLiteral("<dato nombre_dato=\"X\">%1</dato>").arg(value);
            xml += QStringLiteral("</grupo_datos>");
        }
        xml += QStringLiteral("</grupo_datos></BLOQUE_DATOS></SERVICIO>");
        const QByteArray empty("<SERVICIO><BLOQUE_DATOS/></SERVICIO>");

        m_ui.courseDialog = [&](CourseDialog &logic) {
            CourseDialogView view(logic);
            const int turn = m_ui.courseDialogsShown - 1;
            connect(&view, &CourseDialogView::ready, &view, [&, turn] {
                QVERIFY2(turn < turns.size(), "more dialogs than expected");
                turns[turn](view, logic);
            });
            view.exec();
            view.rethrowError();
        };
        // The documents are read whole, as the course dialog has them, from a folder of their own.
        QTemporaryDir inputs;
        const auto loaded = [&inputs](const QString &name, const QByteArray &bytes) {
            QFile file(inputs.filePath(name));
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                throw UserError(QStringLiteral("No se pudo escribir %1").arg(file.fileName()));
            file.close();
            return ExchangeDocument::load(file.fileName());
        };
        ExportRun run(m_session, m_ui);
        run.setDocuments(loaded(QStringLiteral("s.xml"), xml.toUtf8()), loaded(QStringLiteral("p.xml"), empty));
        return run.buildCoursesTable() == ExportRun::Outcome::Completed;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    Session m_session;
    ScriptedInterface m_ui;

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_session = Session();
        m_session.workDir = m_dir->path();
        m_ui = ScriptedInterface();
        writeTableRows(coursesPath(), courses_table::layout(),
            {course(QStringLiteral("1001"), QStringLiteral("1º ESO")),
                course(QStringLiteral("1002"), QStringLiteral("2º Bachillerato"))});
    }

    void showsTheFixedTextsOfTheWindow()
    {
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        showAndWait(view);
        QCOMPARE(view.windowTitle(), QStringLiteral("Asignación de Niveles y Cursos"));
        // The size laid out, or more where this desktop's font needs room for every text.
        QVERIFY(view.width() >= 686 && view.height() >= 499);
        QCOMPARE(text_fit::cutTexts(&view), QStringList());
        QTableView *table = grid(view);
        QVERIFY(table);
        QStringList titles;
        for (int column = 0; column < table->model()->columnCount(); ++column)
            titles << table->model()->headerData(column, Qt::Horizontal).toString();
        QCOMPARE(titles,
            (QStringList{QStringLiteral("CÓD.SÉNECA"), QStringLiteral("ESTUDIOS"), QStringLiteral("NIVEL"),
                QStringLiteral("CURSO")}));
        const Qt::ItemFlags editable = Qt::ItemIsEditable;
        QCOMPARE(table->model()->flags(table->model()->index(0, 0)) & editable, Qt::ItemFlags());
        QCOMPARE(table->model()->flags(table->model()->index(0, 1)) & editable, Qt::ItemFlags());
        QCOMPARE(table->model()->flags(table->model()->index(0, 2)) & editable, editable);
        QCOMPARE(table->model()->flags(table->model()->index(0, 3)) & editable, editable);
        QCOMPARE(table->model()->index(1, 1).data().toString(), QStringLiteral("2º Bachillerato"));

        QStringList hints;
        for (QToolButton *navigatorButton :
            view.findChild<QWidget *>(QStringLiteral("wwDBNavigator1"))->findChildren<QToolButton *>())
            hints << navigatorButton->toolTip();
        QCOMPARE(hints,
            (QStringList{QStringLiteral("Move to first record"), QStringLiteral("Move backward 10 records"),
                QStringLiteral("Move to prior record"), QStringLiteral("Move to next record"),
                QStringLiteral("Move forward 10 records"), QStringLiteral("Move to last record"),
                QStringLiteral("Edit current record"), QStringLiteral("Post changes of current record"),
                QStringLiteral("Cancel changes made to current record"),
                QStringLiteral("Refresh the contents of the dataset")}));
        QCOMPARE(button(view, "BitBtn2")->text(), QStringLiteral("Forzar Salida Sin Terminar Proceso "));
        QVERIFY(button(view, "BitBtn1")->isDefault());
        for (const char *hidden : {"Label2", "Label3", "Label8"})
            QVERIFY2(!labelNamed(view, hidden)->isVisible(), hidden);
        QVERIFY(!button(view, "BitBtn2")->isVisible());
        view.close();
    }

    // As in a spreadsheet, Delete and Backspace empty the cell; the fields that take
    // no input keep their text. Every button shows the keyboard's focus.
    void deleteAndBackspaceEmptyACellAndEveryButtonShowsTheFocus()
    {
        writeTableRows(coursesPath(), courses_table::layout(),
            {course(QStringLiteral("1001"), QStringLiteral("Uno"), QStringLiteral("ESO"), QStringLiteral("1"))});
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        showAndWait(view);
        QTableView *table = grid(view);
        table->setCurrentIndex(table->model()->index(0, 2));
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(logic.nivel(0), QString());
        table->setCurrentIndex(table->model()->index(0, 3));
        QTest::keyClick(table, Qt::Key_Backspace);
        QCOMPARE(logic.curso(0), QString());
        table->setCurrentIndex(table->model()->index(0, 0));
        QTest::keyClick(table, Qt::Key_Delete);
        QCOMPARE(logic.clave(0), QStringLiteral("1001"));

        QApplication::setActiveWindow(&view);
        view.setAttribute(Qt::WA_KeyboardFocusChange);
        button(view, "BitBtn2")->show();
        for (QPushButton *each : view.findChildren<QPushButton *>()) {
            table->setFocus(Qt::TabFocusReason);
            QTest::qWait(10);
            const QImage without = each->grab().toImage();
            each->setFocus(Qt::TabFocusReason);
            QTest::qWait(10);
            QVERIFY(each->hasFocus());
            QVERIFY2(each->grab().toImage() != without, qPrintable(each->objectName()));
        }
        view.close();
    }

    void typingInTheGridReachesTheCourseAndEnterMovesToTheNextCell()
    {
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        showAndWait(view);
        QTableView *table = grid(view);

        QLineEdit *editor = editCell(table, 0, 2);
        QVERIFY(editor);
        QCOMPARE(editor->maxLength(), 5); // no more than the field holds
        QTest::keyClicks(editor, QStringLiteral("ESO"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(logic.nivel(0), QStringLiteral("ESO"));
        QCOMPARE(table->currentIndex(), table->model()->index(0, 3));

        editor = editCell(table, 0, 3);
        QCOMPARE(editor->maxLength(), 3);
        QTest::keyClicks(editor, QStringLiteral("1"));
        QTest::keyClick(editor, Qt::Key_Enter);
        QCOMPARE(logic.curso(0), QStringLiteral("1"));
        QCOMPARE(table->currentIndex(), table->model()->index(1, 2)); // on to the next row's level

        // Typing on a cell opens its editor with the key typed.
        table->setFocus();
        QTest::keyClick(table, 'B');
        editor = qobject_cast<QLineEdit *>(table->indexWidget(table->currentIndex()));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("CT"));
        QTest::keyClick(editor, Qt::Key_Return);
        QCOMPARE(logic.nivel(1), QStringLiteral("BCT"));

        // Enter on a cell that is not being edited moves on too, and does not press OK.
        QTest::keyClick(table, Qt::Key_Return);
        QVERIFY(view.isVisible());
        QCOMPARE(logic.closed(), CourseDialog::Closed::No);

        editor = editCell(table, 1, 3);
        QTest::keyClicks(editor, QStringLiteral("2"));
        // OK saves what is being typed before its check.
        QTest::mouseClick(button(view, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(logic.closed(), CourseDialog::Closed::WithOk);
        QVERIFY(!logic.result);
        QVERIFY(!view.isVisible());
        QCOMPARE(view.result(), int(QDialog::Accepted));
        QCOMPARE(readTableRows(memoryPath()),
            (TableRows{
                course(QStringLiteral("1001"), QStringLiteral("1º ESO"), QStringLiteral("ESO"), QStringLiteral("1")),
                course(QStringLiteral("1002"), QStringLiteral("2º Bachillerato"), QStringLiteral("BCT"),
                    QStringLiteral("2"))}));
    }

    void theNavigatorMovesBetweenCoursesAndEditsPostsOrCancelsTheLevel()
    {
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        showAndWait(view);
        QTableView *table = grid(view);
        const auto press = [&view](const char *name) {
            QTest::mouseClick(view.findChild<QToolButton *>(QLatin1String(name)), Qt::LeftButton);
        };
        QCOMPARE(table->currentIndex(), table->model()->index(0, 2));
        press("nbNext");
        QCOMPARE(table->currentIndex().row(), 1);
        press("nbFirst");
        QCOMPARE(table->currentIndex().row(), 0);
        press("nbNextPage");
        QCOMPARE(table->currentIndex().row(), 1);
        press("nbPriorPage");
        QCOMPARE(table->currentIndex().row(), 0);
        press("nbLast");
        QCOMPARE(table->currentIndex().row(), 1);
        press("nbPrior");
        QCOMPARE(table->currentIndex(), table->model()->index(0, 2));

        press("nbEdit");
        auto *editor = qobject_cast<QLineEdit *>(table->indexWidget(table->currentIndex()));
        QVERIFY(editor);
        QTest::keyClicks(editor, QStringLiteral("ESO"));
        press("nbPost");
        QCOMPARE(logic.nivel(0), QStringLiteral("ESO"));

        press("nbEdit");
        editor = qobject_cast<QLineEdit *>(table->indexWidget(table->currentIndex()));
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("LS"));
        press("nbCancel");
        QVERIFY(!table->indexWidget(table->currentIndex()));
        QCOMPARE(logic.nivel(0), QStringLiteral("ESO"));
        view.close();
    }

    void afterAFailedOkTheNewDialogOffersTheForcedExitUntilAColumnIsEntered()
    {
        bool firstHadForcedExit = true;
        bool secondHadForcedExit = false;
        bool secondHadIncident = true;
        bool hiddenAfterClick = false;
        const bool completed = runStep({{QStringLiteral("1001"), QStringLiteral("Uno")}},
            {[&](CourseDialogView &view, CourseDialog &) {
                 firstHadForcedExit = button(view, "BitBtn2")->isVisible();
                 QTest::mouseClick(button(view, "BitBtn1"), Qt::LeftButton);
             },
                [&](CourseDialogView &view, CourseDialog &logic) {
                    secondHadForcedExit
                        = button(view, "BitBtn2")->isVisible() && labelNamed(view, "Label8")->isVisible();
                    secondHadIncident
                        = labelNamed(view, "Label2")->isVisible() || labelNamed(view, "Label3")->isVisible();
                    clickCell(grid(view), 0, 2); // the cell it is on already
                    hiddenAfterClick
                        = !button(view, "BitBtn2")->isVisible() && !labelNamed(view, "Label8")->isVisible();
                    logic.setNivel(0, QStringLiteral("ESO"));
                    logic.setCurso(0, QStringLiteral("1"));
                    QTest::mouseClick(button(view, "BitBtn1"), Qt::LeftButton);
                }});
        QVERIFY(completed);
        QCOMPARE(m_ui.courseDialogsShown, 2);
        QCOMPARE(m_ui.messages, QStringList{QStringLiteral("¡Atención! Falta algún Dato")});
        QVERIFY(!firstHadForcedExit);
        QVERIFY(secondHadForcedExit);
        QVERIFY(!secondHadIncident);
        QVERIFY(hiddenAfterClick);
        QVERIFY(m_session.result);
    }

    // Shown again after a failed OK, the dialog selects the first cell still
    // missing and marks every missing cell until it is filled; it can be resized
    // and maximised, and its grid takes the room.
    void afterAFailedOkTheMissingCellsAreMarkedAndTheFirstIsSelected()
    {
        const auto typeInto = [](CourseDialogView &view, int row, int column, const QString &text) {
            QLineEdit *editor = editCell(grid(view), row, column);
            QVERIFY(editor);
            editor->selectAll();
            QTest::keyClicks(editor, text);
            grid(view)->setCurrentIndex(grid(view)->model()->index(row, 0)); // leaves the cell
        };
        QModelIndex selectedOnShow;
        QList<bool> marksAfterTyping;
        const bool completed
            = runStep({{QStringLiteral("1001"), QStringLiteral("Uno")}, {QStringLiteral("1002"), QStringLiteral("Dos")},
                          {QStringLiteral("1003"), QStringLiteral("Tres")}},
                {[&](CourseDialogView &view, CourseDialog &) {
                     QVERIFY(!grid(view)->model()->index(0, 2).data(Qt::BackgroundRole).isValid());
                     typeInto(view, 0, 2, QStringLiteral("ESO"));
                     typeInto(view, 0, 3, QStringLiteral("1"));
                     typeInto(view, 1, 2, QStringLiteral("ESO"));
                     QTest::mouseClick(button(view, "BitBtn1"), Qt::LeftButton);
                 },
                    [&](CourseDialogView &view, CourseDialog &logic) {
                        QVERIFY(view.windowFlags() & Qt::WindowMaximizeButtonHint);
                        QAbstractItemModel *model = grid(view)->model();
                        selectedOnShow = grid(view)->currentIndex();
                        const auto marked = [model](int row, int column) {
                            return model->index(row, column).data(Qt::BackgroundRole).isValid();
                        };
                        QVERIFY(!marked(0, 2) && !marked(0, 3) && !marked(1, 2));
                        QVERIFY(marked(1, 3) && marked(2, 2) && marked(2, 3));
                        const QSize gridBefore = grid(view)->size();
                        view.resize(view.width() + 200, view.height() + 150);
                        QCOMPARE(grid(view)->size(), gridBefore + QSize(200, 150));
                        QVERIFY(button(view, "BitBtn1")->geometry().left() > grid(view)->geometry().right());
                        typeInto(view, 1, 3, QStringLiteral("2"));
                        marksAfterTyping << marked(1, 3) << marked(2, 2);
                        logic.setNivel(2, QStringLiteral("BCT"));
                        logic.setCurso(2, QStringLiteral("1"));
                        QTest::mouseClick(button(view, "BitBtn1"), Qt::LeftButton);
                    }});
        QVERIFY(completed);
        QCOMPARE(selectedOnShow.row(), 1);
        QCOMPARE(selectedOnShow.column(), int(CoursesModel::Curso));
        QCOMPARE(marksAfterTyping, (QList<bool>{false, true}));
        QCOMPARE(readTableRows(coursesPath()).at(1).at(3), QStringLiteral("2"));
    }

    void theForcedExitButtonEndsTheStep()
    {
        const bool completed = runStep({{QStringLiteral("1001"), QStringLiteral("Uno")}},
            {[](CourseDialogView &view, CourseDialog &) { QTest::mouseClick(button(view, "BitBtn1"), Qt::LeftButton); },
                [](CourseDialogView &view, CourseDialog &) {
                    QTest::mouseClick(button(view, "BitBtn2"), Qt::LeftButton);
                }});
        QVERIFY(!completed);
        QVERIFY(!QFile::exists(memoryPath()));
    }

    void theCloseBoxKeepsTheValueBeingTypedAndEscapeDoesNotClose()
    {
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        showAndWait(view);
        QLineEdit *editor = editCell(grid(view), 0, 2);
        QTest::keyClicks(editor, QStringLiteral("EDSO"));
        QTest::keyClick(editor, Qt::Key_Escape); // drops the cell's edit, not the dialog
        QVERIFY(view.isVisible());
        QTest::keyClick(grid(view), Qt::Key_Escape);
        QVERIFY(view.isVisible());

        editor = editCell(grid(view), 0, 2);
        QTest::keyClicks(editor, QStringLiteral("LS"));
        view.close();
        QCOMPARE(logic.closed(), CourseDialog::Closed::FromTitleBar);
        QVERIFY(!logic.result);
        QVERIFY(logic.result2.isEmpty());
        QCOMPARE(readTableRows(coursesPath()).at(0).at(2), QStringLiteral("LS"));
        QVERIFY(!QFile::exists(memoryPath()));
    }

    void anErrorOfTheLogicClosesTheDialogAndIsRethrownAfterwards()
    {
        QFile::remove(coursesPath());
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        QTimer::singleShot(5000, &view, [&view] { view.done(QDialog::Accepted); }); // never hang the test
        QCOMPARE(view.exec(), int(QDialog::Rejected));
        bool thrown = false;
        try {
            view.rethrowError();
        } catch (const UserError &error) {
            thrown = error.message().contains(QStringLiteral("CURSOST.DBF"));
        }
        QVERIFY(thrown);
    }

    // The view only forwards: Ctrl+V hands the clipboard and the current cell to
    // the logic, F1 asks for the dialog's part of the help.
    void ctrlVPastesTheClipboardAtTheCurrentCellAndF1AsksForItsHelp()
    {
        CourseDialog logic(m_dir->path(), false, m_ui);
        CourseDialogView view(logic);
        showAndWait(view);
        QTableView *table = grid(view);
        table->setCurrentIndex(table->model()->index(0, CoursesModel::Nivel));
        table->setFocus();
        QApplication::clipboard()->setText(QStringLiteral("ESO\t1\nBCT\t2\n"));
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(logic.nivel(0), QStringLiteral("ESO"));
        QCOMPARE(logic.curso(1), QStringLiteral("2"));
        QCOMPARE(table->model()->index(1, CoursesModel::Nivel).data().toString(), QStringLiteral("BCT"));

        table->setCurrentIndex(table->model()->index(1, CoursesModel::Curso));
        QApplication::clipboard()->setText(QStringLiteral("3"));
        QTest::keyClick(table, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(logic.nivel(1), QStringLiteral("BCT"));
        QCOMPARE(logic.curso(1), QStringLiteral("3"));

        QSignalSpy help(&view, &CourseDialogView::helpRequested);
        QTest::keyClick(table, Qt::Key_F1);
        QCOMPARE(help.size(), 1);
        QCOMPARE(help.first().first().toString(), help_sections::courseDialog());
        view.reject();
    }
};

QTEST_MAIN(CourseDialogViewTest)
#include "course_dialog_view_test.moc"
