#include "app/course_dialog_view.h"

#include "app/course_grid.h"
#include "app/widget_interface.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
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
    // The positions were laid out for small Windows fonts; where this desktop's font
    // would not fit a label's box, the label takes a smaller size so no text is cut.
    static const QRegularExpression statedSize(QStringLiteral("font-size:\\s*(\\d+)px"));
    const QRegularExpressionMatch match = statedSize.match(style);
    const int stated = match.hasMatch() ? match.captured(1).toInt() : 12;
    for (int size = stated; size >= 8; --size) {
        widget->setStyleSheet(QStringLiteral("QLabel { %1 font-size: %2px; }").arg(style).arg(size));
        widget->ensurePolished();
        const QFontMetrics metrics(widget->font());
        const QRect needed = metrics.boundingRect(QRect(0, 0, geometry.width(), 10000), Qt::TextWordWrap, text);
        if (needed.height() <= geometry.height() && needed.width() <= geometry.width())
            break;
    }
    return widget;
}

// A grid column as wide as the given number of characters (and its title).
int columnWidth(const QFontMetrics &metrics, int characters, const QString &title)
{
    const int margin = 12;
    return std::max(metrics.horizontalAdvance(QLatin1Char('W')) * characters,
               metrics.horizontalAdvance(title) + metrics.horizontalAdvance(QLatin1Char(' ')))
        + margin;
}

} // namespace

CourseDialogView::CourseDialogView(CourseDialog &logic, QWidget *parent)
    : QDialog(parent,
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
            | Qt::WindowCloseButtonHint)
    , m_logic(logic)
{
    setWindowTitle(caption());
    setFixedSize(686, 499);
    QLinearGradient gradient(0, 0, 0, height());
    gradient.setColorAt(0, QColor(0, 128, 0));
    gradient.setColorAt(0.5, Qt::white);
    gradient.setColorAt(1, QColor(0, 128, 0));
    QPalette background = palette();
    background.setBrush(QPalette::Window, gradient);
    setPalette(background);
    setAutoFillBackground(true);

    label(this, QRect(86, 5, 320, 20), QStringLiteral("ASIGNACIÓN DE NIVELES Y CURSOS"),
        QStringLiteral("color: white; font-size: 16px; font-weight: bold; text-decoration: underline;"));

    QWidget *navigator = buildNavigator();
    navigator->setGeometry(105, 29, 275, 24);

    m_model = new CoursesModel(
        m_logic, [this](std::exception_ptr error) { fail(error); }, this);
    m_grid = new CoursesGrid(this);
    m_grid->setObjectName(QStringLiteral("CursosTDBGrid"));
    m_grid->setGeometry(3, 56, 454, 433);
    m_grid->setModel(m_model);
    m_grid->verticalHeader()->hide();
    // CLAVE, NIVEL and CURSO keep their widths and ESTUDIOS takes the rest, so the
    // grid never scrolls sideways and the first column always stays in view.
    const QFontMetrics metrics(m_grid->font());
    QHeaderView *header = m_grid->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionResizeMode(CoursesModel::Estud, QHeaderView::Stretch);
    header->resizeSection(CoursesModel::Clave, columnWidth(metrics, 10, QStringLiteral("CÓD.SÉNECA")));
    header->resizeSection(CoursesModel::Nivel, columnWidth(metrics, 5, QStringLiteral("NIVEL")));
    header->resizeSection(CoursesModel::Curso, columnWidth(metrics, 3, QStringLiteral("CURSO")));
    header->setFixedHeight(2 * metrics.lineSpacing() + 8); // titles take two lines
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(m_grid, &CoursesGrid::columnEntered, this, [this] { m_logic.focusEnteredColumn(); });

    m_incidentTitle = label(this, QRect(468, 56, 190, 13), QStringLiteral("INCIDENCIAS EN EL TRASPASO"),
        QStringLiteral("color: red; font-weight: bold; text-decoration: underline; "
                       "background-color: white;"),
        Qt::AlignHCenter | Qt::AlignTop);
    m_incidentTitle->setObjectName(QStringLiteral("Label3"));
    m_incidentText = label(this, QRect(473, 72, 180, 65),
        QStringLiteral("Se ha detectado que falta por indicar algún NIVEL  o CURSO. Complete "
                       "el/los datos que falten, para poder concluir el proceso, antes de Salir."),
        QStringLiteral("color: red; font-weight: bold; background-color: yellow;"));
    m_incidentText->setObjectName(QStringLiteral("Label2"));

    label(this, QRect(471, 140, 116, 16), QStringLiteral("¡ IMPORTANTE !"),
        QStringLiteral("color: red; font-size: 13px; font-weight: bold; text-decoration: underline;"));
    label(this, QRect(472, 156, 185, 52),
        QStringLiteral("Las Abreviaturas de sus Grupos (Unidades), se formarán, en función del NIVEL y CURSO, "
                       "del siguiente modo: "),
        QStringLiteral("color: maroon; font-weight: bold;"));
    label(this, QRect(472, 207, 140, 39), QStringLiteral("Por ejemplo, NIVEL=ESO y CURSO=1 daría como resultado"),
        QStringLiteral("color: blue; font-weight: bold;"));
    label(this, QRect(473, 244, 180, 13), QStringLiteral("Abreviatura del Grupo = ESO1A"),
        QStringLiteral("color: fuchsia; font-weight: bold; text-decoration: underline;"));
    label(this, QRect(472, 257, 200, 39),
        QStringLiteral("y así secuencialmente para el resto de Grupos del mismo NIVEL y CURSO, ESO1B, ESO1C."),
        QStringLiteral("color: purple; font-weight: bold;"));
    label(this, QRect(462, 300, 215, 52),
        QStringLiteral("Ejemplos de Niveles: BCT=Bach.C.T., BHC=Bach.Hum., BT=Bach.Tecnol., LS=Leng.Signos, "
                       "GAD=Gest.Admin., EDSO=ESO Diversificación, etc..."),
        QStringLiteral("color: maroon; font-weight: bold; background-color: white;"));
    label(this, QRect(462, 354, 217, 39),
        QStringLiteral("Luego es de vital IMPORTANCIA que para cada NIVEL sus 5 Primeros caracteres sean "
                       "DISTINTOS."),
        QStringLiteral("color: red; font-weight: bold; text-decoration: underline; background-color: #A6CAF0;"));

    m_ok = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    m_ok->setObjectName(QStringLiteral("BitBtn1"));
    m_ok->setGeometry(519, 397, 101, 25);
    m_ok->setStyleSheet(QStringLiteral("font-weight: bold;"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CourseDialogView::BitBtn1Click);

    m_forcedExit = new QPushButton(forcedExitCaption(), this);
    m_forcedExit->setObjectName(QStringLiteral("BitBtn2"));
    m_forcedExit->setGeometry(463, 424, 218, 24);
    m_forcedExit->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    m_forcedExit->setAutoDefault(false);
    connect(m_forcedExit, &QPushButton::clicked, this, &CourseDialogView::BitBtn2Click);

    m_forcedExitWarning = label(this, QRect(479, 450, 182, 39),
        QStringLiteral("¡ Atención ! Si fuerza la Salida, los Datos recogidos serán INCOHERENTES."),
        QStringLiteral("color: red; font-weight: bold; background-color: yellow;"), Qt::AlignCenter);
    m_forcedExitWarning->setObjectName(QStringLiteral("Label8"));

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
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, CoursesModel::Nivel));
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

void CourseDialogView::keyPressEvent(QKeyEvent *event)
{
    // There is no Cancel button: Escape leaves the dialog open.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void WidgetInterface::runCourseDialog(CourseDialog &dialog)
{
    CourseDialogView view(dialog, parentWidget());
    // The person types in this dialog: the wait cursor gives way while it is open.
    if (m_busy)
        QApplication::restoreOverrideCursor();
    view.exec();
    if (m_busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    view.rethrowError();
}
