#include "app/main_window.h"

#include "app/focus_marked_button.h"
#include "app/widget_interface.h"
#include "common/error_report.h"
#include "common/outcome_record.h"
#include "export/export_run.h"
#include "import/import_run.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMessageBox>
#include <QShortcut>

#include <QHBoxLayout>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindow>
#include <utility>

namespace {

// The window as the timetabler's users know it, and the summary area that joins
// it below once a run has ended.
constexpr int kWidth = 632;
constexpr int kHeight = 266;
constexpr int kSummaryHeight = 250;

// Windows colour values hold blue in the high byte and red in the low byte.
QString windowsColour(unsigned value)
{
    return QStringLiteral("#%1%2%3")
        .arg(value & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((value >> 8) & 0xFF, 2, 16, QLatin1Char('0'))
        .arg((value >> 16) & 0xFF, 2, 16, QLatin1Char('0'));
}

QFrame *gradientPanel(QWidget *parent, const QRect &geometry, unsigned from, const QString &middle, unsigned to)
{
    auto *panel = new QFrame(parent);
    panel->setGeometry(geometry);
    panel->setObjectName(QStringLiteral("panel"));
    panel->setStyleSheet(QStringLiteral("QFrame#panel { background: qlineargradient(x1:0, y1:0, x2:0, y2:1, "
                                        "stop:0 %1, stop:0.5 %2, stop:1 %3); }")
                             .arg(windowsColour(from), middle, windowsColour(to)));
    return panel;
}

QPushButton *okStyleButton(QWidget *parent, const QRect &geometry)
{
    auto *button
        = new FocusMarkedButton(parent->style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), parent);
    button->setGeometry(geometry);
    QFont font = button->font();
    font.setBold(true);
    button->setFont(font);
    return button;
}

QLabel *titleLabel(QWidget *parent, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(12, 12, parent->width() - 24, 80);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(16);
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

MainWindow::MainWindow(Session &session, const QStringList &arguments, std::unique_ptr<UserInterface> ui)
    : QWidget(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , m_session(session)
    , m_arguments(arguments)
    , m_ui(ui ? std::move(ui) : std::make_unique<WidgetInterface>(this))
    , m_help(session.programDir)
{
    // FormCreate: the batch mode is decided once, from the number of arguments.
    m_session.transformado = 0;
    m_session.decideBatchMode(m_arguments.size() - 1);

    setWindowTitle(windowCaption());
    setFixedSize(kWidth, kHeight);

    QFrame *exportPanel = gradientPanel(this, QRect(1, 0, 315, 169), 8246265, QStringLiteral("white"), 14544639);
    titleLabel(exportPanel, QStringLiteral("Transformar datos desde Planificación hacia Horavent "));
    m_export = okStyleButton(exportPanel, QRect(115, 110, 85, 30));
    m_export->setObjectName(QStringLiteral("BExportar"));

    QFrame *importPanel = gradientPanel(this, QRect(316, 0, 317, 169), 8246265, QStringLiteral("white"), 14544639);
    titleLabel(importPanel, QStringLiteral("Transformar datos desde Horavent hacia (Séneca) Planificación"));
    m_import = okStyleButton(importPanel, QRect(116, 110, 85, 30));
    m_import->setObjectName(QStringLiteral("BImportar"));

    QFrame *bottom = gradientPanel(this, QRect(0, 168, 633, 97), 16698818, windowsColour(16708303), 15128780);
    auto *version = new QLabel(QStringLiteral("TransHoraventPlanificación para HV18 V-1.0"), bottom);
    version->setGeometry(12, 8, 400, 20);
    version->setStyleSheet(QStringLiteral("color: red; font-weight: bold; background: transparent;"));
    auto *close
        = new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton), QStringLiteral("&Salir"), bottom);
    close->setObjectName(QStringLiteral("BClose"));
    close->setGeometry(520, 55, 95, 30);
    auto *help = new QPushButton(QStringLiteral("F1 AYUDA"), bottom);
    help->setObjectName(QStringLiteral("Button1"));
    help->setGeometry(410, 55, 95, 30);

    m_summaryPanel = new QFrame(this);
    m_summaryPanel->setObjectName(QStringLiteral("summaryPanel"));
    m_summaryPanel->setGeometry(0, kHeight, kWidth, kSummaryHeight);
    auto *summaryLayout = new QVBoxLayout(m_summaryPanel);
    summaryLayout->setContentsMargins(8, 6, 8, 8);
    m_summaryView = new QTextBrowser(m_summaryPanel);
    m_summaryView->setObjectName(QStringLiteral("summary"));
    m_summaryView->setOpenLinks(false);
    summaryLayout->addWidget(m_summaryView);
    m_openFolder = new QPushButton(QStringLiteral("Abrir la carpeta del documento"), m_summaryPanel);
    m_openFolder->setObjectName(QStringLiteral("openFolder"));
    m_openFolder->setAutoDefault(false);
    m_openFolder->setFixedSize(m_openFolder->sizeHint());
    // The check's report exists only after an import: its button stands beside the
    // folder's, enabled when the summary names a report.
    m_openReport = new QPushButton(QStringLiteral("Abrir informe"), m_summaryPanel);
    m_openReport->setObjectName(QStringLiteral("BInforme"));
    m_openReport->setAutoDefault(false);
    m_openReport->setToolTip(QStringLiteral("Abre en el navegador el informe de comprobación del último documento"));
    m_openReport->setFixedSize(m_openReport->sizeHint());
    m_openReport->setEnabled(false);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_openFolder);
    buttons->addWidget(m_openReport);
    buttons->addStretch();
    summaryLayout->addLayout(buttons);
    m_summaryPanel->hide();
    connect(m_openFolder, &QPushButton::clicked, this, &MainWindow::openDocumentFolder);
    connect(m_openReport, &QPushButton::clicked, this, &MainWindow::openReport);

    connect(m_export, &QPushButton::clicked, this, &MainWindow::BExportarClick);
    connect(m_import, &QPushButton::clicked, this, &MainWindow::BImportarClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(help, &QPushButton::clicked, this, &MainWindow::Button1Click);
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { openHelp(help_sections::mainWindow()); });
}

MainWindow::~MainWindow() = default;

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // Centred on the screen, so that the messages centred over it are too.
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    runWhenOnScreen(40);
}

void MainWindow::runWhenOnScreen(int attemptsLeft)
{
    // The run starts once the window is on screen (the window manager has placed
    // it), so its first message opens over the window and not in a corner.
    const QWindow *handle = windowHandle();
    if (handle && !handle->isExposed() && attemptsLeft > 0) {
        QTimer::singleShot(50, this, [this, attemptsLeft] { runWhenOnScreen(attemptsLeft - 1); });
        return;
    }
    QTimer::singleShot(0, this, &MainWindow::batchDispatch);
}

void MainWindow::batchDispatch()
{
    if (!m_session.inBatchMode())
        return;
    const QString direction = m_arguments.at(1).toLower();
    if (direction == QLatin1String("importar"))
        BImportarClick();
    else if (direction == QLatin1String("exportar"))
        BExportarClick();
}

void MainWindow::BExportarClick()
{
    runShowingErrors([this] { ExportRun(m_session, *m_ui).run(); });
}

void MainWindow::BImportarClick()
{
    runShowingErrors([this] { ImportRun(m_session, *m_ui).run(); });
}

// An exception must not leave a slot: past Qt's event loop it would end the program.
void MainWindow::runShowingErrors(const std::function<void()> &run)
{
    beforeRun();
    try {
        run();
    } catch (const std::exception &error) {
        showError(errorMessage(error));
    }
    afterRun();
}

void MainWindow::beforeRun()
{
    m_notes.clear();
    m_summaryShown = false;
}

void MainWindow::afterRun()
{
    // A run that ended early shows no summary, but its notes still say something.
    if (!m_summaryShown && !m_notes.isEmpty()) {
        RunSummary notes;
        notes.heading = QStringLiteral("El proceso no ha terminado.");
        notes.addNotes(takeNotes());
        showRunSummary(notes);
        m_summaryShown = false;
    }
    if (m_session.completed) {
        m_export->setEnabled(false);
        m_import->setEnabled(false);
    }
}

void MainWindow::openReport()
{
    if (m_reportPath.isEmpty() || !m_help.openUrl(QUrl::fromLocalFile(m_reportPath))) {
        m_ui->showMessage(QStringLiteral("No se ha podido abrir el informe %1 con el navegador del escritorio. Ábralo "
                                         "desde la carpeta del documento.")
                              .arg(QDir::toNativeSeparators(m_reportPath)));
    }
}

void MainWindow::showError(const QString &message)
{
    m_ui->setBusy(false);
    m_ui->showError(message);
}

void MainWindow::addNote(const QString &text)
{
    m_notes.append(text);
}

QStringList MainWindow::takeNotes()
{
    return std::exchange(m_notes, {});
}

void MainWindow::showRunSummary(const RunSummary &summary)
{
    m_summaryShown = true;
    m_summaryView->setHtml(summary.html());
    m_documentPath = summary.documentPath;
    m_openFolder->setVisible(!m_documentPath.isEmpty());
    m_reportPath = summary.reportPath;
    m_openReport->setVisible(!m_reportPath.isEmpty());
    m_openReport->setEnabled(!m_reportPath.isEmpty());
    if (m_summaryPanel->isHidden()) {
        setFixedSize(kWidth, kHeight + kSummaryHeight);
        m_summaryPanel->show();
        keepOnScreen();
    }
}

QRect MainWindow::keptWithin(const QRect &frame, const QRect &available)
{
    QRect kept(frame.topLeft(), frame.size().boundedTo(available.size()));
    if (kept.bottom() > available.bottom())
        kept.moveBottom(available.bottom());
    if (kept.right() > available.right())
        kept.moveRight(available.right());
    if (kept.top() < available.top())
        kept.moveTop(available.top());
    if (kept.left() < available.left())
        kept.moveLeft(available.left());
    return kept;
}

// The grown window must not reach under a taskbar, which would hide its buttons
// ("Abrir informe"): it moves up, and on a very small screen its summary shortens.
void MainWindow::keepOnScreen()
{
    const QScreen *screen = this->screen();
    if (!screen)
        return;
    const QRect frame = frameGeometry();
    const QRect kept = keptWithin(frame, screen->availableGeometry());
    if (kept.size() != frame.size()) {
        setFixedSize(width() - (frame.width() - kept.width()), height() - (frame.height() - kept.height()));
        m_summaryPanel->resize(width(), height() - kHeight);
    }
    move(pos() + (kept.topLeft() - frame.topLeft()));
}

void MainWindow::openDocumentFolder()
{
    const QString folder = QFileInfo(m_documentPath).absolutePath();
    if (!m_help.openUrl(QUrl::fromLocalFile(folder))) {
        m_ui->showMessage(
            QStringLiteral("No hay ningún programa para abrir la carpeta %1.").arg(QDir::toNativeSeparators(folder)));
    }
}

void MainWindow::Button1Click()
{
    openHelp(QString());
}

void MainWindow::openHelp(const QString &section)
{
    m_help.open(section, *m_ui);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // FormClose: in batch mode the timetabler reads the outcome from Horavent.ini.
    if (m_session.inBatchMode()) {
        try {
            writeOutcomeRecord(
                QDir(m_session.programDir).filePath(QStringLiteral("Horavent.ini")), m_session.transformado);
        } catch (const std::exception &error) {
            showError(errorMessage(error));
        }
    }
    event->accept();
}
