// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/updatewindow.h"

#include "app/messagebox.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/installedversion.h"
#include "update/downloadrules.h"
#include "update/filedownloader.h"
#include "update/httptransfer.h"
#include "update/versionpage.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

// Shortest time between two figures of the download's progress bar.
constexpr int kProgressMs = 25;

// A value shown next to its caption. It has no accessible name of its own, so a screen reader reads its text;
// the caption, its buddy's label, names it.
QLabel* valueLabel(const char* name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QLatin1String(name));
    label->setMinimumWidth(120);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

} // namespace

UpdateWindow::UpdateWindow(QWidget* mainWindow, QWidget* parent)
    : QDialog(parent)
    , m_mainWindow(mainWindow)
    , m_transfer(new HttpTransfer(this))
    , m_downloader(new FileDownloader(this))
{
    setObjectName(QStringLiteral("update"));
    setWindowTitle(QStringLiteral(" Yeni Sürüm Kontrolü"));
    buildUi();
    applyButtonLook(this, ButtonLook::Glass);
    connect(m_transfer, &HttpTransfer::pageOpened, this, &UpdateWindow::onPage);
    connect(m_transfer, &HttpTransfer::openFailed, this, &UpdateWindow::onCheckFailed);
    connect(m_downloader, &FileDownloader::DownloadProgress, this, &UpdateWindow::onProgress);
    connect(m_downloader, &FileDownloader::DowloadComplete, this, &UpdateWindow::onComplete);
    connect(m_downloader, &FileDownloader::DownloadErrors, this, &UpdateWindow::onError);

    readInstalledVersion();
    m_versionTimer = new QTimer(this);
    m_versionTimer->setInterval(100);
    connect(m_versionTimer, &QTimer::timeout, this, [this] { m_installedValue->setText(m_installed); });
    m_versionTimer->start();
    m_progressTimer = new QTimer(this);
    m_progressTimer->setSingleShot(true);
    m_progressTimer->setInterval(kProgressMs);
    connect(m_progressTimer, &QTimer::timeout, this, [this] { m_progress->setValue(m_pendingPercent); });
    m_installedValue->setText(m_installed);
}

UpdateWindow::~UpdateWindow() = default;

void UpdateWindow::buildUi()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    auto addRow = [&](int row, const QString& caption, QLabel* value) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(value);
        grid->addWidget(label, row, 0, Qt::AlignRight);
        grid->addWidget(value, row, 1);
    };
    m_programCode = valueLabel("programCodeValue", this);
    m_latestValue = valueLabel("latestVersionValue", this);
    m_installedValue = valueLabel("installedVersionValue", this);
    addRow(0, QStringLiteral("Program Kodu :"), m_programCode);
    addRow(1, QStringLiteral("Programın Son Sürümü :"), m_latestValue);
    addRow(2, QStringLiteral("Kullanılan Sürüm :"), m_installedValue);
    grid->setColumnStretch(1, 1);

    m_status = new QLabel(QStringLiteral("Sürüm Kontrolü Yapılıyor..."), this);
    m_status->setObjectName(QStringLiteral("statusLabel"));
    m_status->hide();
    m_busy = new QProgressBar(this);
    m_busy->setObjectName(QStringLiteral("busyIndicator"));
    m_busy->setAccessibleName(QStringLiteral("Sürüm Kontrolü Yapılıyor"));
    m_busy->setRange(0, 0);
    m_busy->setTextVisible(false);
    m_busy->setMaximumHeight(12);
    m_busy->hide();
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("downloadProgress"));
    m_progress->setAccessibleName(QStringLiteral("İndirme"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->hide();

    m_checkButton
        = makeButton(QStringLiteral("Sürüm Kontrolü Yap"), QStringLiteral("checkButton"), this, QSize(150, 0));
    m_downloadButton = makeButton(PrepareCaption, QStringLiteral("downloadButton"), this, QSize(150, 0));
    m_downloadButton->hide();
    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), this, QSize(150, 0));
    connect(m_checkButton, &LumButton::clicked, this, &UpdateWindow::runCheck);
    connect(m_downloadButton, &LumButton::clicked, this, &UpdateWindow::pressDownload);
    connect(m_closeButton, &LumButton::clicked, this, &QDialog::close);

    // The download address is kept out of sight; only the download reads it.
    m_addressBox = new QLineEdit(this);
    m_addressBox->setObjectName(QStringLiteral("addressBox"));
    m_addressBox->setAccessibleName(QStringLiteral("İndirme Adresi"));
    m_addressBox->hide();

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_checkButton);
    buttons->addWidget(m_downloadButton);
    buttons->addStretch();
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addWidget(m_status);
    layout->addWidget(m_busy);
    layout->addWidget(m_progress);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(480, 230);
}

void UpdateWindow::readInstalledVersion()
{
    const std::unique_ptr<Database> db = Database::open(AppConfig::databaseTarget());
    if (!db)
        return;
    if (const std::optional<QString> version = zelvora::installedVersion(*db))
        m_installed = *version;
}

void UpdateWindow::runCheck()
{
    if (m_transfer->isOpening())
        return;
    m_status->setText(QStringLiteral("Sürüm Kontrolü Yapılıyor..."));
    m_status->show();
    m_busy->show();
    m_checkButton->setEnabled(false);
    m_transfer->OpenURL(HttpTransfer::addressOn(AppConfig::makerHost(), VersionPage::PathAndQuery));
}

void UpdateWindow::onPage(const QString& page)
{
    m_checkButton->setEnabled(true);
    setWindowTitle(dates::shortDate(Clock::today()) + QStringLiteral("  Tarihli Program Sürüm Kontrolü"));
    const VersionPage values = VersionPage::cut(page);
    m_programCode->setText(values.programCode);
    m_latestValue->setText(values.latestVersion);
    QPointer<UpdateWindow> self(this);
    setLatestVersion(values.latestVersion);
    if (!self)
        return;
    m_addressBox->setText(values.address);
    emit checkDone();
}

void UpdateWindow::onCheckFailed()
{
    m_checkButton->setEnabled(true);
    QPointer<UpdateWindow> self(this);
    MessageBox::ok(this, QStringLiteral("İnternet Bağlantınız Aktif Değil."), {}, MessageBox::Icon::Stop);
    if (!self)
        return;
    m_busy->hide();
    close();
}

void UpdateWindow::setLatestVersion(const QString& version)
{
    if (version == m_latest)
        return;
    m_latest = version;
    compare();
}

void UpdateWindow::compare()
{
    // Only equality counts: any other text is taken for a newer version.
    if (m_installedValue->text() == m_latest) {
        m_busy->hide();
        MessageBox::ok(this, QStringLiteral("Güncel Sürümü Kullanıyorsunuz."), QStringLiteral("Bilgi"),
                       MessageBox::Icon::Information);
        m_checkButton->setEnabled(false);
        m_downloadButton->hide();
        m_status->hide();
        m_progress->hide();
        return;
    }
    MessageBox::ok(this, QStringLiteral("Programın Son Sürümü Bulundu."), QStringLiteral("Bilgi"),
                   MessageBox::Icon::Information);
    setDownloadColour(qRgb(255, 255, 0));
    m_downloadButton->show();
    m_status->setText(QStringLiteral("Güncel Sürümü İndirebilirsiniz?"));
    m_status->show();
    m_busy->show();
    m_progress->show();
    m_checkButton->hide();
}

void UpdateWindow::setDownloadColour(QRgb colour)
{
    // The button paints its face from its own back colour, not from the palette.
    m_downloadButton->setBackColor(lumcolor::fromRgb(colour));
}

void UpdateWindow::pressDownload()
{
    if (m_downloadButton->caption() != InstallCaption) {
        m_downloader->Cancel();
        m_addressBox->setEnabled(true);
        resetProgress();
        m_downloadButton->setCaption(InstallCaption);
        return;
    }
    const QString address = m_addressBox->text();
    if (address.trimmed().isEmpty())
        return;
    // Without a plain file name the destination is the folder itself, which the downloader cannot write as a
    // file: the download ends with its error, and nothing is created.
    const QDir folder(download::destinationFolder());
    const std::optional<QString> path = download::savedFilePath(folder.path(), address);
    const QString destination = path ? *path : folder.path() + QLatin1Char('/');
    m_addressBox->setEnabled(false);
    m_downloadButton->setCaption(CancelCaption);
    setDownloadColour(qRgb(255, 0, 0));
    resetProgress();
    m_downloader->DownloadFile(address, destination);
}

void UpdateWindow::onProgress(const QString& percent)
{
    // A progress event comes with every 1024 bytes. The bar takes a new figure at most every 25 ms, which
    // keeps it current without spending the download's time on painting; while data pours in, timers may
    // wait behind it, so the time since the last figure decides, and the timer only shows the last figure
    // once the data stops.
    m_pendingPercent = percent.toInt();
    if (!m_progressShown.isValid() || m_progressShown.elapsed() >= kProgressMs) {
        m_progress->setValue(m_pendingPercent);
        m_progressShown.start();
    }
    if (!m_progressTimer->isActive())
        m_progressTimer->start();
}

void UpdateWindow::resetProgress()
{
    m_progressTimer->stop();
    m_pendingPercent = 0;
    m_progressShown.invalidate();
    m_progress->setValue(0);
}

void UpdateWindow::onComplete()
{
    MessageBox::ok(this,
                   QStringLiteral("Program Güncellemeleri Tamamlandı. Güncellemeler ' ")
                       + download::destinationFolderForMessage() + QStringLiteral(" ' Sürücüsüne yüklendi:"),
                   QStringLiteral("Karvelon"), MessageBox::Icon::Information);
    m_addressBox->setEnabled(true);
    m_downloadButton->setCaption(InstallCaption);
    resetProgress();
}

void UpdateWindow::onError(const QString& error)
{
    MessageBox::ok(this, error, QStringLiteral("Hata"), MessageBox::Icon::Stop);
    m_addressBox->setEnabled(true);
    m_downloadButton->setCaption(RetryCaption);
    resetProgress();
    m_downloader->Cancel();
}

void UpdateWindow::closeEvent(QCloseEvent* event)
{
    // However this window closes, the program goes on with its main window.
    if (m_mainWindow) {
        m_mainWindow->show();
        m_mainWindow->activateWindow();
    }
    QDialog::closeEvent(event);
}

void UpdateWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        close();
        return;
    }
    QDialog::keyPressEvent(event);
}

UpdateWindow* openUpdateWindow(QMainWindow* mainWindow)
{
    // Not a child of the main window, which is hidden while this window is open.
    auto* window = new UpdateWindow(mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->show();
    if (mainWindow)
        mainWindow->hide();
    return window;
}

} // namespace zelvora
