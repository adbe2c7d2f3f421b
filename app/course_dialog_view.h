#pragma once
// TControlCursos, the level and course dialog on screen. It shows the state of its
// logic (CourseDialog) and forwards what the person does; the rules are the logic's.
// Widgets carry the names of the dialog's controls (CursosTDBGrid, wwDBNavigator1,
// BitBtn1, BitBtn2, Label2, Label3, Label8).

#include "export/course_dialog.h"

#include <QDialog>

#include <exception>
#include <utility>
#include <vector>

class CoursesGrid;
class CoursesModel;
class QLabel;
class QPushButton;

class CourseDialogView : public QDialog {
    Q_OBJECT
public:
    explicit CourseDialogView(CourseDialog &logic, QWidget *parent = nullptr);
    ~CourseDialogView() override;

    static QString caption() { return QStringLiteral("Asignación de Niveles y Cursos"); }
    static QString forcedExitCaption() { return QStringLiteral("Forzar Salida Sin Terminar Proceso "); }

    // An error of the logic ends the dialog (rejected); the caller rethrows it once
    // the dialog has closed, so that it never travels through Qt's event handling.
    void rethrowError() const;

public Q_SLOTS:
    void BitBtn1Click(); // OK
    void BitBtn2Click(); // forced exit
    // Ctrl+V in the grid: the clipboard's spreadsheet cells from the current cell down.
    void pasteClipboard();
    // Codings from a CSV file the person picks; the template saved to one.
    void loadCsv();
    void saveTemplate();
    // The close box (and nothing else: Escape does not close the dialog).
    void reject() override;

Q_SIGNALS:
    // The dialog has opened its courses and asked its question (FormShow is done).
    void ready();
    // F1: this dialog's part of the help.
    void helpRequested(const QString &section);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void formShow();
    void refresh();
    void paintBackground();
    void fail(std::exception_ptr error);
    template <typename Action> bool guarded(Action action);
    QWidget *buildNavigator();

    CourseDialog &m_logic;
    CoursesModel *m_model = nullptr;
    CoursesGrid *m_grid = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_forcedExit = nullptr;
    QPushButton *m_loadCsv = nullptr;
    QPushButton *m_saveTemplate = nullptr;
    QLabel *m_forcedExitWarning = nullptr; // Label8
    QLabel *m_incidentTitle = nullptr; // Label3
    QLabel *m_incidentText = nullptr; // Label2
    std::exception_ptr m_error;
    bool m_shown = false;
    // The smallest layout, from which a larger window grows the grid.
    QSize m_laidOut;
    QSize m_gridLaidOut;
    int m_estudLaidOut = 0;
    std::vector<std::pair<QWidget *, QPoint>> m_rightOfGrid;
};
