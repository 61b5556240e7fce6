// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/copyfilewindow.h"

#include "app/filedialog.h"
#include "app/messagebox.h"
#include "backup/backupcommands.h"
#include "backup/programexit.h"
#include "data/appconfig.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QCloseEvent>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace zelvora {

namespace {

QLabel* wrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

} // namespace

CopyFileWindow::CopyFileWindow(QWidget* mainWindow, QWidget* parent, RestoreHooks hooks,
                               std::optional<ServerSettings> server)
    : QDialog(parent)
    , m_mainWindow(mainWindow)
    , m_hooks(std::move(hooks))
{
    setObjectName(QStringLiteral("CopyFile"));
    buildUi();
    applyButtonLook(this, ButtonLook::Glass);
    m_commands = std::make_unique<BackupCommands>(this, m_sourceBox, m_targetBox, m_progress, std::move(server));
    // Loading: centred, the backup folder made, the two boxes filled.
    centreOnScreen();
    m_commands->load();
}

CopyFileWindow::~CopyFileWindow() = default;

void CopyFileWindow::buildUi()
{
    setFixedWidth(560);

    m_warningPanel = new QGroupBox(QStringLiteral("UYARI !!!"), this);
    m_warningPanel->setObjectName(QStringLiteral("warningPanel"));
    auto* warning = new QVBoxLayout(m_warningPanel);
    QLabel* first = wrappedLabel(QStringLiteral("İşletim sistemi, donanım hatası, veri silinmesi yada elektrik "
                                                "kesintilerinden kaynaklanan veri ve bilgi kayıplarından firmamız "
                                                "sorumlu değildir."),
                                 m_warningPanel);
    QLabel* second = wrappedLabel(QStringLiteral("Programınızı daha verimli kullanabilmek ve elektrik kesintilerinden "
                                                 "kaynaklanan veri kayıplarını önlemek için bilgisayarınızda mutlaka "
                                                 "güç kaynağı kullanmanız önerilir."),
                                  m_warningPanel);
    first->setStyleSheet(QStringLiteral("color: #a00000;"));
    warning->addWidget(first);
    warning->addWidget(second);

    m_backupPanel = new QGroupBox(QStringLiteral("Yedek Oluşturma"), this);
    m_backupPanel->setObjectName(QStringLiteral("backupPanel"));
    auto* backupGrid = new QGridLayout(m_backupPanel);
    auto* targetLabel = new QLabel(QStringLiteral("Yedeklenecek Klasör :"), m_backupPanel);
    m_targetBox = new QLineEdit(m_backupPanel);
    m_targetBox->setObjectName(QStringLiteral("targetBox"));
    targetLabel->setBuddy(m_targetBox);
    LumButton* browseTarget
        = makeButton(QStringLiteral("GÖZAT"), QStringLiteral("browseTargetButton"), m_backupPanel, QSize(90, 0));
    m_backupButton = makeButton(QStringLiteral("Yedekle"), QStringLiteral("backupButton"), m_backupPanel, QSize(90, 0));
    LumButton* cancelBackup
        = makeButton(QStringLiteral("İptal"), QStringLiteral("cancelBackupButton"), m_backupPanel, QSize(90, 0));
    backupGrid->addWidget(targetLabel, 0, 0, 1, 3);
    backupGrid->addWidget(m_targetBox, 1, 0, 1, 2);
    backupGrid->addWidget(browseTarget, 1, 2);
    backupGrid->setColumnStretch(0, 1);
    auto* backupButtons = new QHBoxLayout;
    backupButtons->addStretch();
    backupButtons->addWidget(m_backupButton);
    backupButtons->addWidget(cancelBackup);
    backupGrid->addLayout(backupButtons, 2, 0, 1, 3);

    m_restorePanel = new QGroupBox(QStringLiteral("Yedekten Geri Yükleme"), this);
    m_restorePanel->setObjectName(QStringLiteral("restorePanel"));
    auto* restoreGrid = new QGridLayout(m_restorePanel);
    auto* sourceLabel = new QLabel(QStringLiteral("Yüklenecek Veri Tabanı :"), m_restorePanel);
    m_sourceBox = new QLineEdit(m_restorePanel);
    m_sourceBox->setObjectName(QStringLiteral("sourceBox"));
    sourceLabel->setBuddy(m_sourceBox);
    LumButton* browseSource
        = makeButton(QStringLiteral("GÖZAT"), QStringLiteral("browseSourceButton"), m_restorePanel, QSize(90, 0));
    m_restoreButton
        = makeButton(QStringLiteral("Geri Yükle"), QStringLiteral("restoreButton"), m_restorePanel, QSize(90, 0));
    m_restoreButton->setEnabled(false);
    LumButton* cancelRestore
        = makeButton(QStringLiteral("İptal"), QStringLiteral("cancelRestoreButton"), m_restorePanel, QSize(90, 0));
    restoreGrid->addWidget(sourceLabel, 0, 0, 1, 3);
    restoreGrid->addWidget(m_sourceBox, 1, 0, 1, 2);
    restoreGrid->addWidget(browseSource, 1, 2);
    restoreGrid->setColumnStretch(0, 1);
    auto* restoreButtons = new QHBoxLayout;
    restoreButtons->addStretch();
    restoreButtons->addWidget(m_restoreButton);
    restoreButtons->addWidget(cancelRestore);
    restoreGrid->addLayout(restoreButtons, 2, 0, 1, 3);
    m_restorePanel->hide();

    // The confirmation lies over the restore panel until it is answered.
    m_confirmPanel = new QGroupBox(this);
    m_confirmPanel->setObjectName(QStringLiteral("confirmPanel"));
    m_confirmPanel->setAutoFillBackground(true);
    auto* confirm = new QVBoxLayout(m_confirmPanel);
    QLabel* question = wrappedLabel(QStringLiteral("Yedek dosyasını geri yüklemek istiyor musunuz?"), m_confirmPanel);
    QFont bold = question->font();
    bold.setBold(true);
    question->setFont(bold);
    confirm->addWidget(question);
    confirm->addWidget(wrappedLabel(QStringLiteral("Bu işlem programdaki mevcut verilerinizi silecek ve yedek almış "
                                                   "olduğunuz dosyadaki tüm verileri geri yükleyecektir."),
                                    m_confirmPanel));
    auto* answers = new QHBoxLayout;
    answers->addStretch();
    LumButton* yes = makeButton(QStringLiteral("EVET"), QStringLiteral("yesButton"), m_confirmPanel, QSize(90, 0));
    LumButton* no = makeButton(QStringLiteral("HAYIR"), QStringLiteral("noButton"), m_confirmPanel, QSize(90, 0));
    answers->addWidget(yes);
    answers->addWidget(no);
    confirm->addLayout(answers);
    m_confirmPanel->hide();

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);

    m_modeMarker = new QLineEdit(this);
    m_modeMarker->setObjectName(QStringLiteral("modeMarker"));
    m_modeMarker->hide();

    auto* panels = new QGridLayout;
    panels->addWidget(m_backupPanel, 0, 0);
    panels->addWidget(m_restorePanel, 0, 0);
    panels->addWidget(m_confirmPanel, 0, 0);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_warningPanel);
    layout->addLayout(panels);
    layout->addWidget(m_progress);

    connect(browseTarget, &LumButton::clicked, this, [this] { m_commands->browseFolder(); });
    connect(m_backupButton, &LumButton::clicked, this, [this] { m_commands->backup(); });
    connect(cancelBackup, &LumButton::clicked, this, &QDialog::close);
    connect(yes, &LumButton::clicked, this, [this] {
        m_confirmPanel->hide();
        m_restorePanel->setEnabled(true);
        closeMainWindow();
    });
    connect(no, &LumButton::clicked, this, &QDialog::close);
    connect(browseSource, &LumButton::clicked, this, &CopyFileWindow::browseSource);
    connect(m_restoreButton, &LumButton::clicked, this, &CopyFileWindow::restore);
    connect(cancelRestore, &LumButton::clicked, this, [] { ProgramExit::end(0); });
    connect(m_modeMarker, &QLineEdit::textChanged, this, &CopyFileWindow::switchToRestoreMode);
}

void CopyFileWindow::centreOnScreen()
{
    // The word-wrapped texts need the height that belongs to the fixed width.
    layout()->activate();
    resize(width(), layout()->totalHeightForWidth(width()));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
}

void CopyFileWindow::setModeMarker(const QString& marker)
{
    m_modeMarker->setText(marker);
}

void CopyFileWindow::switchToRestoreMode()
{
    m_restoreMode = true;
    m_targetBox->clear();
    m_sourceBox->clear();
    m_backupPanel->hide();
    m_restorePanel->show();
    m_progress->hide();
    centreOnScreen();
}

void CopyFileWindow::showConfirmation()
{
    // Nothing under the question can be reached, by mouse or keyboard, before it is answered.
    m_restorePanel->setEnabled(false);
    m_confirmPanel->show();
    m_confirmPanel->raise();
}

bool CopyFileWindow::isCopying() const
{
    return m_commands->routine().isBusy();
}

void CopyFileWindow::closeMainWindow()
{
    // No window may hold the database open while it is replaced.
    if (m_hooks.releaseDatabase)
        m_hooks.releaseDatabase();
    if (m_mainWindow)
        m_mainWindow->close();
}

void CopyFileWindow::browseSource()
{
    closeMainWindow();
    const QString file
        = FileDialog::chooseFile(this, QStringLiteral("Veri Tabanı Dosyası"),
                                 QStringLiteral("Yedek Dosyası (*.YDK *.ydk)"), AppConfig::backupFolder());
    // Cancelled: there is nothing to restore.
    if (file.isEmpty())
        return;
    m_sourceBox->setText(QDir::toNativeSeparators(file));
    m_targetBox->setText(m_commands->ledgerName());
    m_restoreButton->setEnabled(true);
}

void CopyFileWindow::restore()
{
    m_restoreButton->setEnabled(false);
    closeMainWindow();
    const QString target = m_targetBox->text();
    const auto& server = m_commands->server();
    const qint64 restored = server ? m_commands->routine().restoreServer(*server, m_sourceBox->text())
                                   : m_commands->routine().restoreFile(m_sourceBox->text(), target);
    if (restored != 0)
        MessageBox::ok(this, target + QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI"), QStringLiteral("BİLGİ"),
                       MessageBox::Icon::Information);
    m_sourceBox->clear();
    m_targetBox->clear();
    // The program starts over at its splash, on the file as it now is.
    if (m_hooks.startOver)
        m_hooks.startOver();
    close();
}

void CopyFileWindow::reject()
{
    if (!isCopying())
        QDialog::reject();
}

void CopyFileWindow::closeEvent(QCloseEvent* event)
{
    if (isCopying()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CopyFileWindow::openForBackup(QWidget* mainWindow, std::optional<ServerSettings> server)
{
    CopyFileWindow window(mainWindow, mainWindow, {}, std::move(server));
    window.setWindowTitle(QStringLiteral("Yedek Oluşturma İşlemleri"));
    window.exec();
}

CopyFileWindow* CopyFileWindow::openForRestore(QWidget* mainWindow, RestoreHooks hooks,
                                               std::optional<ServerSettings> server)
{
    // Not a child of the main window: it outlives it.
    auto* window = new CopyFileWindow(mainWindow, nullptr, std::move(hooks), std::move(server));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setModeMarker(RestoreMarker);
    window->setWindowTitle(QStringLiteral("Yedekten Geri Yükleme İşlemleri"));
    window->showConfirmation();
    window->show();
    return window;
}

} // namespace zelvora
