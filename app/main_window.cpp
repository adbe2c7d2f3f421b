#include "app/main_window.h"

#include "app/widget_interface.h"
#include "common/outcome_record.h"
#include "common/user_error.h"
#include "export/export_run.h"
#include "import/import_run.h"

#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QMessageBox>
#include <QShortcut>
#include <QStyle>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace {

const char *const kHelpFile = "ZUZADEVERODOZ.chm";

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
        = new QPushButton(parent->style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), parent);
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
{
    // FormCreate: the batch mode is decided once, from the number of arguments.
    m_session.transformado = 0;
    m_session.batchMode = m_arguments.size() - 1 == 2 ? 2 : 0;

    setWindowTitle(windowCaption());
    setFixedSize(632, 266);

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
    m_status = new QLabel(bottom);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setGeometry(12, 30, 390, 62);
    m_status->setWordWrap(true);
    m_status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_status->setStyleSheet(QStringLiteral("background: transparent;"));

    m_openReport = new QPushButton(QStringLiteral("Abrir informe"), bottom);
    m_openReport->setObjectName(QStringLiteral("BInforme"));
    m_openReport->setGeometry(414, 18, 201, 30);
    m_openReport->setToolTip(QStringLiteral("Abre en el navegador el informe de comprobación del último documento"));
    m_openReport->setEnabled(false);
    connect(m_openReport, &QPushButton::clicked, this, &MainWindow::openReport);

    connect(m_export, &QPushButton::clicked, this, &MainWindow::BExportarClick);
    connect(m_import, &QPushButton::clicked, this, &MainWindow::BImportarClick);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(help, &QPushButton::clicked, this, &MainWindow::Button1Click);
    auto *f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(f1, &QShortcut::activated, this, [this] { openHelp(1); });
}

MainWindow::~MainWindow() = default;

void MainWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    // The run starts once the window is on screen, with its dialogs in front of it.
    QTimer::singleShot(0, this, &MainWindow::batchDispatch);
}

void MainWindow::batchDispatch()
{
    if (m_arguments.size() - 1 != 2)
        return;
    const QString direction = m_arguments.at(1).toLower();
    if (direction == QLatin1String("importar"))
        BImportarClick();
    else if (direction == QLatin1String("exportar"))
        BExportarClick();
}

void MainWindow::BExportarClick()
{
    try {
        ExportRun run(m_session, *m_ui);
        run.run();
    } catch (const UserError &error) {
        showError(error.message());
    }
    afterRun();
}

void MainWindow::BImportarClick()
{
    try {
        ImportRun run(m_session, *m_ui);
        if (run.run() == ImportRun::Outcome::Completed && run.droppedCount > 0) {
            showStatus(
                QStringLiteral("Documento escrito en %1. Lecciones descartadas por falta de unidad o materia: %2.")
                    .arg(QDir::toNativeSeparators(run.outputPath()))
                    .arg(run.droppedCount));
        }
        m_reportPath = run.reportPath();
        m_openReport->setEnabled(!m_reportPath.isEmpty());
    } catch (const UserError &error) {
        showError(error.message());
    }
    afterRun();
}

void MainWindow::afterRun()
{
    if (m_session.completed) {
        m_export->setEnabled(false);
        m_import->setEnabled(false);
    }
}

void MainWindow::openReport()
{
    if (m_reportPath.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(m_reportPath))) {
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

void MainWindow::showStatus(const QString &text)
{
    // Notes add up (one per teacher who lost lessons): the area shows the latest,
    // its tooltip all of them.
    m_notes.append(text);
    m_status->setText(m_notes.mid(std::max<qsizetype>(0, m_notes.size() - 3)).join(QLatin1Char('\n')));
    m_status->setToolTip(m_notes.join(QLatin1Char('\n')));
}

void MainWindow::Button1Click()
{
    openHelp(0);
}

void MainWindow::openHelp(int topic)
{
    Q_UNUSED(topic); // the desktop's viewer opens the file at its contents page
    const QString path = QDir(m_session.programDir).filePath(QString::fromLatin1(kHelpFile));
    if (!QFileInfo::exists(path)) {
        m_ui->showMessage(
            QStringLiteral("No se encuentra el archivo de ayuda %1.").arg(QDir::toNativeSeparators(path)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path))) {
        m_ui->showMessage(QStringLiteral("No hay ningún programa para abrir el archivo de ayuda %1.")
                              .arg(QDir::toNativeSeparators(path)));
    }
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    // FormClose: in batch mode the timetabler reads the outcome from Horavent.ini.
    if (m_session.batchMode == 2) {
        try {
            writeOutcomeRecord(
                QDir(m_session.programDir).filePath(QStringLiteral("Horavent.ini")), m_session.transformado);
        } catch (const UserError &error) {
            showError(error.message());
        }
    }
    event->accept();
}
