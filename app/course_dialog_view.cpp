#include "app/course_dialog_view.h"

#include "app/course_grid.h"
#include "app/focus_marked_button.h"
#include "app/help_opener.h"
#include "app/text_fit.h"
#include "app/widget_interface.h"

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QToolButton>

namespace {

QLabel *label(QWidget *parent, const QRect &geometry, const QString &text, const QString &style,
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop)
{
    auto *widget = new QLabel(text, parent);
    widget->setGeometry(geometry);
    widget->setWordWrap(true);
    widget->setAlignment(alignment);
    widget->setStyleSheet(QStringLiteral("QLabel { %1 }").arg(style));
    return widget;
}

// A grid column as wide as the given number of characters like sample (and its title).
int columnWidth(const QFontMetrics &metrics, int characters, QChar sample, const QString &title, const QFont &titleFont)
{
    const int margin = 14;
    return std::max(metrics.horizontalAdvance(QString(characters, sample)),
               QFontMetrics(titleFont).horizontalAdvance(title + QLatin1Char(' ')))
        + margin;
}

// The right-hand column as laid out for small fonts, kept in its order: each box
// grows to hold its text, and pushes those below it down by as much.
void flowColumn(const std::vector<QWidget *> &column)
{
    int pushed = 0;
    for (QWidget *widget : column) {
        widget->move(widget->x(), widget->y() + pushed);
        if (auto *text = qobject_cast<QLabel *>(widget)) {
            pushed += text_fit::growToFit(text);
        } else {
            const QSize hint = widget->sizeHint();
            const int taller = std::max(0, hint.height() - widget->height());
            widget->resize(std::max(widget->width(), hint.width()), widget->height() + taller);
            pushed += taller;
        }
    }
}

} // namespace

CourseDialogView::CourseDialogView(CourseDialog &logic, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
            | Qt::WindowCloseButtonHint)
    , m_logic(logic)
{
    setWindowTitle(caption());

    QLabel *title = label(this, QRect(86, 5, 320, 20), QStringLiteral("ASIGNACIÓN DE NIVELES Y CURSOS"),
        QStringLiteral("color: white; font-size: 16px; font-weight: bold; text-decoration: underline;"));
    title->setWordWrap(false);
    text_fit::growToFit(title);

    QWidget *navigator = buildNavigator();
    // As wide as its buttons' glyphs need in this desktop's font.
    navigator->setGeometry(105, 29, std::max(275, navigator->sizeHint().width()), 24);

    m_model = new CoursesModel(
        m_logic, [this](std::exception_ptr error) { fail(error); }, this);
    m_grid = new CoursesGrid(this);
    m_grid->setObjectName(QStringLiteral("CursosTDBGrid"));
    m_grid->setGeometry(3, 56, 454, 433);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    // CLAVE, NIVEL and CURSO keep their widths and ESTUDIOS takes the rest, so the
    // grid never scrolls sideways and the first column always stays in view.
    // Each column as wide as its field's characters: ESTUDIOS shows 40 (its whole
    // text in a tooltip). Where this desktop's font needs more room than the 454
    // pixels laid out, the grid widens and everything to its right moves over.
    const QFontMetrics metrics(m_grid->font());
    QFont titleFont = m_grid->font();
    titleFont.setBold(true);
    QHeaderView *header = m_grid->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    const int widths[CoursesModel::ColumnCount]
        = {columnWidth(metrics, 10, QLatin1Char('0'), QStringLiteral("CÓD.SÉNECA"), titleFont),
            columnWidth(metrics, 40, QLatin1Char('n'), QStringLiteral("ESTUDIOS"), titleFont),
            columnWidth(metrics, 5, QLatin1Char('W'), QStringLiteral("NIVEL"), titleFont),
            columnWidth(metrics, 3, QLatin1Char('W'), QStringLiteral("CURSO"), titleFont)};
    int needed = 2 * m_grid->frameWidth() + m_grid->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column = 0; column < CoursesModel::ColumnCount; ++column) {
        header->resizeSection(column, widths[column]);
        needed += widths[column];
    }
    header->setStretchLastSection(true);
    header->setFixedHeight(2 * QFontMetrics(titleFont).lineSpacing() + 8); // titles take two lines
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->setToolTip(QStringLiteral("Pegue aquí con Ctrl+V los NIVEL y CURSO copiados de una hoja de cálculo."));
    const int wider = std::max(0, needed - m_grid->width());
    m_grid->resize(m_grid->width() + wider, m_grid->height());
    connect(m_grid, &CoursesGrid::columnEntered, this, [this] { m_logic.focusEnteredColumn(); });

    std::vector<QWidget *> column;
    m_incidentTitle = label(this, QRect(468, 56, 190, 13), QStringLiteral("INCIDENCIAS EN EL TRASPASO"),
        QStringLiteral("color: red; font-weight: bold; text-decoration: underline; "
                       "background-color: white;"),
        Qt::AlignHCenter | Qt::AlignTop);
    m_incidentTitle->setObjectName(QStringLiteral("Label3"));
    column.push_back(m_incidentTitle);
    m_incidentText = label(this, QRect(473, 72, 180, 65),
        QStringLiteral("Se ha detectado que falta por indicar algún NIVEL  o CURSO. Complete "
                       "el/los datos que falten, para poder concluir el proceso, antes de Salir."),
        QStringLiteral("color: red; font-weight: bold; background-color: yellow;"));
    m_incidentText->setObjectName(QStringLiteral("Label2"));
    column.push_back(m_incidentText);

    column.push_back(label(this, QRect(471, 140, 116, 16), QStringLiteral("¡ IMPORTANTE !"),
        QStringLiteral("color: red; font-size: 13px; font-weight: bold; text-decoration: underline;")));
    column.push_back(label(this, QRect(472, 156, 185, 52),
        QStringLiteral("Las Abreviaturas de sus Grupos (Unidades), se formarán, en función del NIVEL y CURSO, "
                       "del siguiente modo: "),
        QStringLiteral("color: maroon; font-weight: bold;")));
    column.push_back(
        label(this, QRect(472, 207, 140, 39), QStringLiteral("Por ejemplo, NIVEL=ESO y CURSO=1 daría como resultado"),
            QStringLiteral("color: blue; font-weight: bold;")));
    column.push_back(label(this, QRect(473, 244, 180, 13), QStringLiteral("Abreviatura del Grupo = ESO1A"),
        QStringLiteral("color: fuchsia; font-weight: bold; text-decoration: underline;")));
    column.push_back(label(this, QRect(472, 257, 200, 39),
        QStringLiteral("y así secuencialmente para el resto de Grupos del mismo NIVEL y CURSO, ESO1B, ESO1C."),
        QStringLiteral("color: purple; font-weight: bold;")));
    column.push_back(label(this, QRect(462, 300, 215, 52),
        QStringLiteral("Ejemplos de Niveles: BCT=Bach.C.T., BHC=Bach.Hum., BT=Bach.Tecnol., LS=Leng.Signos, "
                       "GAD=Gest.Admin., EDSO=ESO Diversificación, etc..."),
        QStringLiteral("color: maroon; font-weight: bold; background-color: white;")));
    column.push_back(label(this, QRect(462, 354, 217, 39),
        QStringLiteral("Luego es de vital IMPORTANCIA que para cada NIVEL sus 5 Primeros caracteres sean "
                       "DISTINTOS."),
        QStringLiteral("color: red; font-weight: bold; text-decoration: underline; background-color: #A6CAF0;")));

    m_ok = new FocusMarkedButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry(519, 397, 101, 25);
    // Font and palette rather than a style sheet, which would hide the focus frame.
    QFont bold = m_ok->font();
    bold.setBold(true);
    m_ok->setFont(bold);
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CourseDialogView::BitBtn1Click);
    column.push_back(m_ok);

    m_forcedExit = new QPushButton(forcedExitCaption(), this);
    m_forcedExit->setObjectName(QStringLiteral("BitBtn2"));
    m_forcedExit->setGeometry(463, 424, 218, 24);
    m_forcedExit->setFont(bold);
    QPalette red = m_forcedExit->palette();
    red.setColor(QPalette::ButtonText, Qt::red);
    m_forcedExit->setPalette(red);
    m_forcedExit->setAutoDefault(false);
    connect(m_forcedExit, &QPushButton::clicked, this, &CourseDialogView::BitBtn2Click);
    column.push_back(m_forcedExit);

    m_forcedExitWarning = label(this, QRect(479, 450, 182, 39),
        QStringLiteral("¡ Atención ! Si fuerza la Salida, los Datos recogidos serán INCOHERENTES."),
        QStringLiteral("color: red; font-weight: bold; background-color: yellow;"), Qt::AlignCenter);
    m_forcedExitWarning->setObjectName(QStringLiteral("Label8"));
    column.push_back(m_forcedExitWarning);

    // Codings from a spreadsheet, above the right-hand column.
    m_loadCsv = new QPushButton(QStringLiteral("Cargar niveles y cursos de un CSV…"), this);
    m_loadCsv->setObjectName(QStringLiteral("loadCsv"));
    m_loadCsv->setGeometry(430, 3, 250, 24);
    m_loadCsv->setAutoDefault(false);
    m_loadCsv->setToolTip(QStringLiteral("Un archivo con las columnas CLAVE, NIVEL y CURSO, como la plantilla."));
    connect(m_loadCsv, &QPushButton::clicked, this, &CourseDialogView::loadCsv);
    m_saveTemplate = new QPushButton(QStringLiteral("Guardar plantilla CSV…"), this);
    m_saveTemplate->setObjectName(QStringLiteral("saveTemplate"));
    m_saveTemplate->setGeometry(430, 29, 250, 24);
    m_saveTemplate->setAutoDefault(false);
    m_saveTemplate->setToolTip(
        QStringLiteral("Guarda los cursos (CLAVE;NIVEL;CURSO;ESTUD) para completarlos en una hoja de cálculo."));
    connect(m_saveTemplate, &QPushButton::clicked, this, &CourseDialogView::saveTemplate);
    for (QPushButton *button : {m_loadCsv, m_saveTemplate})
        button->resize(std::max(button->width(), button->sizeHint().width()), button->height());

    // Everything right of the grid moves over by what the grid grew, then the
    // column's boxes grow to their texts; the dialog grows to hold them all.
    for (QWidget *widget : column)
        widget->move(widget->x() + wider, widget->y());
    for (QPushButton *button : {m_loadCsv, m_saveTemplate})
        button->move(button->x() + wider, button->y());
    flowColumn(column);
    QSize size(686, 499);
    for (const QWidget *widget : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        size = size.expandedTo(QSize(widget->geometry().right() + 6, widget->geometry().bottom() + 10));
    m_grid->resize(m_grid->width(), std::max(m_grid->height(), size.height() - 10 - m_grid->y()));
    // The layout above is the smallest size; a larger window (or a maximised one)
    // gives the grid the room, and moves the right-hand column along with its edge.
    m_laidOut = size;
    m_gridLaidOut = m_grid->size();
    m_estudLaidOut = header->sectionSize(CoursesModel::Estud);
    for (QWidget *widget : findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        if (widget != m_grid && widget->x() >= m_grid->geometry().center().x())
            m_rightOfGrid.push_back({widget, widget->pos()});
    }
    setMinimumSize(size);
    resize(size);
    setAutoFillBackground(true);
    paintBackground();

    // Ctrl+V in the grid pastes a block copied from a spreadsheet; F1 opens this
    // dialog's part of the help.
    auto *paste = new QShortcut(QKeySequence::Paste, m_grid, nullptr, nullptr, Qt::WidgetShortcut);
    connect(paste, &QShortcut::activated, this, &CourseDialogView::pasteClipboard);
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { Q_EMIT helpRequested(help_sections::courseDialog()); });

    m_logic.changed = [this] { refresh(); };
    refresh();
}

CourseDialogView::~CourseDialogView()
{
    m_logic.changed = nullptr;
}

QWidget *CourseDialogView::buildNavigator()
{
    auto *navigator = new QWidget(this);
    navigator->setObjectName(QStringLiteral("wwDBNavigator1"));
    auto *row = new QHBoxLayout(navigator);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    const auto add = [&](const char *name, const QString &glyph, const QString &hint, auto action) {
        auto *button = new QToolButton(navigator);
        button->setObjectName(QLatin1String(name));
        button->setText(glyph);
        button->setToolTip(hint);
        button->setFocusPolicy(Qt::NoFocus); // the grid keeps the focus, as with a navigator
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        connect(button, &QToolButton::clicked, this, action);
        row->addWidget(button);
    };
    const auto current = [this] { return m_grid->currentIndex().isValid() ? m_grid->currentIndex().row() : 0; };
    add("nbFirst", QStringLiteral("|◀"), QStringLiteral("Move to first record"), [this] { m_grid->moveToRow(0); });
    add("nbPriorPage", QStringLiteral("◀◀"), QStringLiteral("Move backward 10 records"),
        [this, current] { m_grid->moveToRow(current() - 10); });
    add("nbPrior", QStringLiteral("◀"), QStringLiteral("Move to prior record"),
        [this, current] { m_grid->moveToRow(current() - 1); });
    add("nbNext", QStringLiteral("▶"), QStringLiteral("Move to next record"),
        [this, current] { m_grid->moveToRow(current() + 1); });
    add("nbNextPage", QStringLiteral("▶▶"), QStringLiteral("Move forward 10 records"),
        [this, current] { m_grid->moveToRow(current() + 10); });
    add("nbLast", QStringLiteral("▶|"), QStringLiteral("Move to last record"),
        [this] { m_grid->moveToRow(m_model->rowCount() - 1); });
    add("nbEdit", QStringLiteral("✎"), QStringLiteral("Edit current record"), [this, current] {
        if (m_model->rowCount() == 0)
            return;
        QModelIndex index = m_grid->currentIndex();
        if (!index.isValid() || !CoursesModel::takesInput(index.column()))
            index = m_model->index(current(), CoursesModel::Nivel);
        m_grid->setCurrentIndex(index);
        m_grid->setFocus(Qt::OtherFocusReason);
        m_grid->edit(index);
    });
    add("nbPost", QStringLiteral("✔"), QStringLiteral("Post changes of current record"),
        [this] { m_grid->commitOpenEditor(); });
    add("nbCancel", QStringLiteral("✘"), QStringLiteral("Cancel changes made to current record"),
        [this] { m_grid->discardOpenEditor(); });
    add("nbRefresh", QStringLiteral("↻"), QStringLiteral("Refresh the contents of the dataset"), [this] {
        m_grid->commitOpenEditor();
        const QModelIndex index = m_grid->currentIndex();
        m_model->reload();
        if (index.isValid())
            m_grid->setCurrentIndex(m_model->index(index.row(), index.column()));
    });
    return navigator;
}

void CourseDialogView::paintBackground()
{
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0, 128, 0));
    gradient.setColorAt(0.5, Qt::white);
    gradient.setColorAt(1, QColor(0, 128, 0));
    QPalette background = palette();
    background.setBrush(QPalette::Window, gradient);
    setPalette(background);
}

void CourseDialogView::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (m_laidOut.isEmpty())
        return;
    const int wider = std::max(0, width() - m_laidOut.width());
    const int taller = std::max(0, height() - m_laidOut.height());
    m_grid->resize(m_gridLaidOut.width() + wider, m_gridLaidOut.height() + taller);
    m_grid->horizontalHeader()->resizeSection(CoursesModel::Estud, m_estudLaidOut + wider);
    for (const auto &[widget, position] : m_rightOfGrid)
        widget->move(position.x() + wider, position.y());
    paintBackground();
}

void CourseDialogView::refresh()
{
    m_forcedExit->setVisible(m_logic.forcedExitVisible());
    m_forcedExitWarning->setVisible(m_logic.forcedExitVisible());
    m_incidentTitle->setVisible(m_logic.incidentVisible());
    m_incidentText->setVisible(m_logic.incidentVisible());
}

void CourseDialogView::fail(std::exception_ptr error)
{
    if (!m_error)
        m_error = error;
    QDialog::done(QDialog::Rejected);
}

template <typename Action> bool CourseDialogView::guarded(Action action)
{
    try {
        action();
        return true;
    } catch (...) {
        fail(std::current_exception());
        return false;
    }
}

void CourseDialogView::rethrowError() const
{
    if (m_error)
        std::rethrow_exception(m_error);
}

void CourseDialogView::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    // After the dialog is on screen and its modal loop runs: the question comes up
    // in front of it, and an error can still close it.
    QTimer::singleShot(0, this, &CourseDialogView::formShow);
}

void CourseDialogView::formShow()
{
    if (!guarded([this] { m_logic.onShow(); }))
        return;
    m_model->reload();
    refresh();
    // Shown again after a failed OK: the first cell still missing, where the
    // person goes on; otherwise the first course's level.
    const int missing = m_logic.marksMissing() ? m_logic.firstIncomplete() : -1;
    if (missing >= 0) {
        const int column = isMissingCoding(m_logic.nivel(missing)) ? CoursesModel::Nivel : CoursesModel::Curso;
        m_grid->setCurrentIndex(m_model->index(missing, column));
        m_grid->scrollTo(m_grid->currentIndex(), QAbstractItemView::PositionAtCenter);
    } else if (m_model->rowCount() > 0) {
        m_grid->setCurrentIndex(m_model->index(0, CoursesModel::Nivel));
    }
    m_grid->setFocus(Qt::OtherFocusReason);
    Q_EMIT ready();
}

void CourseDialogView::BitBtn1Click()
{
    // Leaving the grid for the button saves what was being typed.
    m_grid->commitOpenEditor();
    if (m_error || !guarded([this] { m_logic.ok(); }))
        return;
    QDialog::done(QDialog::Accepted);
}

void CourseDialogView::BitBtn2Click()
{
    m_grid->commitOpenEditor();
    if (m_error || !guarded([this] { m_logic.forceExit(); }))
        return;
    QDialog::done(QDialog::Rejected);
}

void CourseDialogView::reject()
{
    // A value still being typed when the close box is pressed is kept, as leaving
    // the cell would keep it: the person saw it in the grid.
    if (m_logic.closed() == CourseDialog::Closed::No && !m_error) {
        m_grid->commitOpenEditor();
        if (!m_error)
            guarded([this] { m_logic.closeFromTitleBar(); });
    }
    QDialog::done(QDialog::Rejected);
}

void CourseDialogView::pasteClipboard()
{
    if (m_error || m_model->rowCount() == 0)
        return;
    m_grid->commitOpenEditor();
    const QModelIndex current = m_grid->currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const CourseDialog::PasteColumn column = current.isValid() && current.column() == CoursesModel::Curso
        ? CourseDialog::PasteColumn::Curso
        : CourseDialog::PasteColumn::Nivel;
    const QString cells = QApplication::clipboard()->text();
    if (guarded([&] { m_logic.paste(row, column, cells); }))
        m_model->reload();
    m_grid->setCurrentIndex(m_model->index(row, current.isValid() ? current.column() : int(CoursesModel::Nivel)));
}

void CourseDialogView::loadCsv()
{
    m_grid->commitOpenEditor();
    QFileDialog dialog(this, QStringLiteral("Seleccione el archivo CSV con los niveles y cursos"),
        WidgetInterface::startFolder(m_logic.workDir()), QStringLiteral("CSV (*.csv *.txt);;Todos los archivos (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    if (guarded([&] { m_logic.loadLevels(path); }))
        m_model->reload();
}

void CourseDialogView::saveTemplate()
{
    m_grid->commitOpenEditor();
    QFileDialog dialog(this, QStringLiteral("Guardar la plantilla de niveles y cursos"),
        WidgetInterface::startFolder(m_logic.workDir()), QStringLiteral("CSV (*.csv)"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("csv"));
    dialog.selectFile(QStringLiteral("niveles.csv"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().constFirst();
    guarded([&] { m_logic.saveTemplate(path); });
}

void CourseDialogView::keyPressEvent(QKeyEvent *event)
{
    // There is no Cancel button: Escape leaves the dialog open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
