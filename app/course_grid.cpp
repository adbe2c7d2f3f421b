#include "app/course_grid.h"

#include <QColor>
#include <QFocusEvent>
#include <QFont>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

#include <algorithm>

CoursesModel::CoursesModel(CourseDialog &logic, std::function<void(std::exception_ptr)> failed, QObject *parent)
    : QAbstractTableModel(parent)
    , m_logic(logic)
    , m_failed(std::move(failed))
{
}

int CoursesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_logic.rowCount();
}

int CoursesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CoursesModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row();
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (index.column()) {
        case Clave:
            return m_logic.clave(row);
        case Estud:
            return m_logic.estud(row);
        case Nivel:
            return m_logic.nivel(row);
        case Curso:
            return m_logic.curso(row);
        default:
            return {};
        }
    }
    // The description column is narrower than its longest texts.
    if (role == Qt::ToolTipRole && index.column() == Estud)
        return m_logic.estud(row);
    // After a failed OK the cells still missing stand out until they are filled.
    if (role == Qt::BackgroundRole && isMarkedMissing(index))
        return QColor(255, 205, 205);
    if (role == Qt::ToolTipRole && isMarkedMissing(index))
        return QStringLiteral("Falta este dato");
    return {};
}

QVariant CoursesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole) {
        static const QString titles[ColumnCount] = {
            QStringLiteral("CÓD.SÉNECA"), QStringLiteral("ESTUDIOS"), QStringLiteral("NIVEL"), QStringLiteral("CURSO")};
        return section >= 0 && section < ColumnCount ? titles[section] : QString();
    }
    if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

Qt::ItemFlags CoursesModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    const Qt::ItemFlags base = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    return takesInput(index.column()) ? base | Qt::ItemIsEditable : base;
}

bool CoursesModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !takesInput(index.column()))
        return false;
    try {
        if (index.column() == Nivel)
            m_logic.setNivel(index.row(), value.toString());
        else
            m_logic.setCurso(index.row(), value.toString());
    } catch (...) {
        m_failed(std::current_exception());
        return false;
    }
    Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

bool CoursesModel::isMarkedMissing(const QModelIndex &index) const
{
    if (!m_logic.marksMissing() || !takesInput(index.column()))
        return false;
    return isMissingCoding(index.column() == Nivel ? m_logic.nivel(index.row()) : m_logic.curso(index.row()));
}

void CoursesModel::reload()
{
    beginResetModel();
    endResetModel();
}

CoursesGrid::CoursesGrid(QWidget *parent)
    : QTableView(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
        | QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setItemDelegate(new CoursesDelegate(this));
}

void CoursesGrid::commitOpenEditor()
{
    if (QWidget *editor = indexWidget(currentIndex())) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
}

void CoursesGrid::discardOpenEditor()
{
    if (QWidget *editor = indexWidget(currentIndex()))
        closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
}

void CoursesGrid::moveToNextCell()
{
    if (!model())
        return;
    const QModelIndex current = currentIndex();
    const int rows = model()->rowCount();
    int row = current.isValid() ? current.row() : 0;
    int column = current.isValid() ? current.column() + 1 : 0;
    for (; row < rows; ++row, column = 0) {
        for (; column < CoursesModel::ColumnCount; ++column) {
            if (CoursesModel::takesInput(column)) {
                setCurrentIndex(model()->index(row, column));
                return;
            }
        }
    }
}

void CoursesGrid::moveToRow(int row)
{
    if (!model() || model()->rowCount() == 0)
        return;
    row = std::clamp(row, 0, model()->rowCount() - 1);
    const int column = currentIndex().isValid() ? currentIndex().column() : int(CoursesModel::Nivel);
    setCurrentIndex(model()->index(row, column));
}

void CoursesGrid::keyPressEvent(QKeyEvent *event)
{
    // Enter moves on instead of pressing the dialog's default button.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        moveToNextCell();
        event->accept();
        return;
    }
    // Delete and Backspace empty the cell, as in a spreadsheet.
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace) && state() != EditingState
        && currentIndex().isValid() && CoursesModel::takesInput(currentIndex().column())) {
        model()->setData(currentIndex(), QString());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CoursesGrid::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    // Focus given by the program (the dialog opening, an editor closing) is not the
    // person entering a column; a click is seen by mousePressEvent.
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
        Q_EMIT columnEntered();
}

void CoursesGrid::mousePressEvent(QMouseEvent *event)
{
    QTableView::mousePressEvent(event);
    if (indexAt(event->position().toPoint()).isValid())
        Q_EMIT columnEntered();
}

void CoursesGrid::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTableView::currentChanged(current, previous);
    if (hasFocus() && current.isValid() && current.column() != previous.column())
        Q_EMIT columnEntered();
}

CoursesDelegate::CoursesDelegate(QObject *parent)
    : QStyledItemDelegate(parent)
{
}

QWidget *CoursesDelegate::createEditor(
    QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (auto *line = qobject_cast<QLineEdit *>(editor))
        line->setMaxLength(
            index.column() == CoursesModel::Nivel ? CourseDialog::nivelWidth() : CourseDialog::cursoWidth());
    return editor;
}
