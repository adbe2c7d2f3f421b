#pragma once
// The grid of the level and course dialog, CursosTDBGrid: the courses of the
// dialog's logic in four columns, of which only NIVEL and CURSO take input. What
// the person types reaches the logic when the cell is left; Enter moves on to the
// next cell that takes input.

#include "export/course_dialog.h"

#include <QAbstractTableModel>
#include <QStyledItemDelegate>
#include <QTableView>

#include <exception>
#include <functional>

class CoursesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Clave, Estud, Nivel, Curso, ColumnCount };

    // failed receives an error of the logic (a table that cannot be written), which
    // must not travel through Qt's event handling.
    CoursesModel(CourseDialog &logic, std::function<void(std::exception_ptr)> failed, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    static bool takesInput(int column) { return column == Nivel || column == Curso; }
    // A NIVEL or CURSO cell still empty in a dialog shown again after a failed OK.
    bool isMarkedMissing(const QModelIndex &index) const;
    // Reads the rows afresh (after the logic opened or took over its table).
    void reload();

private:
    CourseDialog &m_logic;
    std::function<void(std::exception_ptr)> m_failed;
};

class CoursesGrid : public QTableView {
    Q_OBJECT
public:
    explicit CoursesGrid(QWidget *parent = nullptr);

    // Saves what is being typed in a cell, as leaving the grid does.
    void commitOpenEditor();
    // Drops what is being typed in a cell.
    void discardOpenEditor();
    // Enter: the next cell that takes input, on the next row after the last column.
    void moveToNextCell();
    // Moves to a row, keeping the column.
    void moveToRow(int row);

Q_SIGNALS:
    // The focus entered a column: the person clicked into a column, tabbed into the
    // grid, or moved to another column in it.
    void columnEntered();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
};

// Editors that take no more characters than their fields hold. Enter in an editor
// is left to reach the grid, which saves the cell as it moves on.
class CoursesDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit CoursesDelegate(QObject *parent);
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
};
