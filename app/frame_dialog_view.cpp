#include "app/frame_dialog_view.h"

#include "app/focus_marked_button.h"
#include "app/help_opener.h"
#include "app/text_fit.h"
#include "export/frame_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>

#include <algorithm>

namespace {

QFont arial(int pixels, bool italic = false, bool underline = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(true);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

QLabel *label(QWidget *parent, const char *objectName, const QString &text, const QRect &geometry, const QFont &font,
    const QString &colour)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(objectName));
    label->setGeometry(geometry);
    label->setFont(font);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setStyleSheet(QStringLiteral("color: %1; background: transparent;").arg(colour));
    return label;
}

const QString kMaroon = QStringLiteral("#800000");
constexpr int kListsTop = 103; // ListBox2 and ListBox1, below their titles

} // namespace

FrameDialogView::FrameDialogView(FrameDialog &dialog, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_dialog(dialog)
{
    setObjectName(QStringLiteral("Plantillas"));
    setWindowTitle(frame_dialog_texts::caption());
    setModal(true);
    setFixedSize(371, 281);

    // Draw3D4: the background, from sky blue through white to the inactive-caption colour.
    auto *background = new QFrame(this);
    background->setObjectName(QStringLiteral("Draw3D4"));
    background->setGeometry(0, 0, 371, 281);
    background->setStyleSheet(QStringLiteral("QFrame#Draw3D4 { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                             "stop:0 #A6CAF0, stop:0.5 white, stop:1 %1); }")
                                  .arg(palette().color(QPalette::Inactive, QPalette::Highlight).name()));

    // Where this desktop's fonts need more room than the boxes laid out, the two
    // texts at the top grow, the titles grow upwards from their lists, and
    // everything from the titles down moves down until nothing overlaps.
    QLabel *heading = label(background, "LabelPlantillas", frame_dialog_texts::heading(), QRect(16, 2, 321, 33),
        arial(13), QStringLiteral("black"));
    QLabel *howTo = label(background, "LabelSelec", frame_dialog_texts::howToSelect(), QRect(16, 36, 321, 50),
        arial(13, true), QStringLiteral("red"));
    howTo->move(howTo->x(), howTo->y() + text_fit::growToFit(heading));
    text_fit::growToFit(howTo);
    int titlesTop = kListsTop;
    for (QLabel *title :
        {label(background, "LabelMarcos", frame_dialog_texts::framesTitle(), QRect(40, 86, 74, 16), arial(16), kMaroon),
            label(
                background, "Label1", frame_dialog_texts::slotsTitle(), QRect(215, 86, 67, 18), arial(16), kMaroon)}) {
        title->setWordWrap(false);
        text_fit::growToFit(title);
        title->move(title->x(), std::min(title->y(), kListsTop - title->height()));
        titlesTop = std::min(titlesTop, title->y());
    }
    const int taller = std::max(0, howTo->geometry().bottom() + 1 - titlesTop);

    m_frames = new QListWidget(background);
    m_frames->setObjectName(QStringLiteral("ListBox2"));
    m_frames->setGeometry(16, kListsTop, 127, 45);
    m_frames->setSelectionMode(QAbstractItemView::ExtendedSelection);

    m_slots = new QListWidget(background);
    m_slots->setObjectName(QStringLiteral("ListBox1"));
    m_slots->setGeometry(152, kListsTop, 193, 146);
    m_slots->setSelectionMode(QAbstractItemView::SingleSelection);

    m_name = label(background, "LabelNombre", QString(), QRect(9, 151, 120, 41), arial(16, false, true), kMaroon);
    m_firstDate = label(background, "LabelPlanFec1", QString(), QRect(9, 196, 120, 23), arial(16), kMaroon);
    m_secondDate = label(background, "LabelPlanFec2", QString(), QRect(9, 226, 120, 23), arial(16), kMaroon);

    m_onDisplay = new QComboBox(background);
    m_onDisplay->setObjectName(QStringLiteral("ComboBoxPlantilla"));
    m_onDisplay->setGeometry(150, 254, 81, 21);
    m_onDisplay->setVisible(false);

    m_continue = new FocusMarkedButton(frame_dialog_texts::continueButton(), background);
    m_continue->setObjectName(QStringLiteral("BitBtnContinuar"));
    m_continue->setGeometry(255, 253, 89, 25);
    QFont bold = m_continue->font();
    bold.setBold(true);
    m_continue->setFont(bold);
    m_continue->setDefault(true);

    // The lists as the activation filled them: nothing selected, the first frame on
    // display. Each frame is listed with its name and times, and the list is as
    // wide as they need: what lies right of it moves over, the dialog widens.
    m_frames->addItems(m_dialog.frameListTexts());
    int widest = 0;
    for (const QString &text : m_dialog.frameListTexts())
        widest = std::max(widest, m_frames->fontMetrics().horizontalAdvance(text));
    const int wider = std::max(0,
        widest + 2 * m_frames->frameWidth() + 12 + m_frames->style()->pixelMetric(QStyle::PM_ScrollBarExtent)
            - m_frames->width());
    if (wider > 0) {
        for (QWidget *widget : background->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (widget->x() > m_frames->geometry().right())
                widget->move(widget->x() + wider, widget->y());
        }
        m_frames->resize(m_frames->width() + wider, m_frames->height());
        setFixedSize(width() + wider, height());
        background->resize(background->width() + wider, background->height());
    }
    m_onDisplay->addItems(m_dialog.frameCodes());
    for (int index : m_dialog.selectedIndexes())
        m_frames->item(index)->setSelected(true);
    showCurrentFrame();

    connect(m_frames, &QListWidget::itemSelectionChanged, this, &FrameDialogView::selectionChanged);
    connect(m_frames, &QListWidget::itemClicked, this, &FrameDialogView::ListBox2Click);
    connect(m_frames, &QListWidget::currentRowChanged, this, &FrameDialogView::ListBox2Click);
    connect(m_onDisplay, &QComboBox::currentIndexChanged, this, &FrameDialogView::ComboBoxPlantillaChange);
    connect(m_continue, &QPushButton::clicked, this, &QDialog::accept);
    auto *help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { Q_EMIT helpRequested(help_sections::frameDialog()); });

    if (taller > 0) {
        for (QWidget *widget : background->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (widget != heading && widget != howTo)
                widget->move(widget->x(), widget->y() + taller);
        }
        setFixedSize(width(), height() + taller);
        background->resize(background->width(), background->height() + taller);
    }

    if (const QScreen *screen = parent ? parent->screen() : QApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void FrameDialogView::ListBox2Click()
{
    // The display follows the focused item, the one last clicked, selected or not.
    const int focused = m_frames->currentRow();
    if (focused < 0 || focused == m_dialog.current())
        return;
    m_dialog.frameClicked(focused);
    showCurrentFrame();
}

void FrameDialogView::ComboBoxPlantillaChange(int index)
{
    if (index == m_dialog.current())
        return;
    m_dialog.setCurrent(index);
    showCurrentFrame();
}

void FrameDialogView::selectionChanged()
{
    std::vector<int> selected;
    for (int row = 0; row < m_frames->count(); ++row) {
        if (m_frames->item(row)->isSelected())
            selected.push_back(row);
    }
    m_dialog.setSelection(selected);
}

void FrameDialogView::showCurrentFrame()
{
    {
        const QSignalBlocker blocker(m_onDisplay);
        m_onDisplay->setCurrentIndex(m_dialog.current());
    }
    m_name->setText(m_dialog.name());
    m_firstDate->setText(m_dialog.firstDate());
    m_secondDate->setText(m_dialog.secondDate());
    m_slots->clear();
    m_slots->addItems(m_dialog.slotLabels());
}

void FrameDialogView::done(int result)
{
    // FormClose: the choice is worked out, and its message shown, while the dialog
    // is still on screen; the dialog closes in every case.
    m_dialog.close();
    QDialog::done(result);
}

void FrameDialogView::reject()
{
    // Escape and the close box: the way out of the export, after a question.
    if (m_dialog.askToLeave())
        QDialog::done(QDialog::Rejected);
}
