// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/copyotowindow.h"

#include "backup/backupcommands.h"
#include "backup/programexit.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

CopyOtoWindow::CopyOtoWindow(QWidget* parent, std::optional<ServerSettings> server)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CopyOto"));
    setWindowTitle(QStringLiteral("Otomatik Yedek Oluşturma Sistemi"));
    setFixedWidth(520);

    auto* panel = new QGroupBox(QStringLiteral("Yedek Oluşturma"), this);
    panel->setObjectName(QStringLiteral("backupPanel"));
    auto* grid = new QGridLayout(panel);
    auto* targetLabel = new QLabel(QStringLiteral("Yedeklenecek Klasör :"), panel);
    m_targetBox = new QLineEdit(panel);
    m_targetBox->setObjectName(QStringLiteral("targetBox"));
    targetLabel->setBuddy(m_targetBox);
    auto* browse = makeButton(QStringLiteral("GÖZAT"), QStringLiteral("browseTargetButton"), panel);
    browse->setMinimumWidth(90);
    auto* backup = makeButton(QStringLiteral("Yedekle"), QStringLiteral("backupButton"), panel);
    backup->setMinimumWidth(90);
    grid->addWidget(targetLabel, 0, 0, 1, 2);
    grid->addWidget(m_targetBox, 1, 0);
    grid->addWidget(browse, 1, 1);
    grid->setColumnStretch(0, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(backup);
    grid->addLayout(buttons, 2, 0, 1, 2);

    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progressBar"));
    m_progress->setRange(0, 100);
    m_progress->setValue(0);

    // Holds the database path; never shown.
    m_sourceBox = new QLineEdit(this);
    m_sourceBox->setObjectName(QStringLiteral("sourceBox"));
    m_sourceBox->hide();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(panel);
    layout->addWidget(m_progress);

    m_commands = std::make_unique<BackupCommands>(this, m_sourceBox, m_targetBox, m_progress, std::move(server));
    connect(browse, &LumButton::clicked, this, [this] { m_commands->browseFolder(); });
    connect(backup, &LumButton::clicked, this, &CopyOtoWindow::runBackup);

    applyButtonLook(this, ButtonLook::Glass);
    adjustSize();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    m_commands->load();

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("backupTimer"));
    m_timer->setInterval(StartAfterMs);
    connect(m_timer, &QTimer::timeout, this, &CopyOtoWindow::runBackup);
    m_timer->start();
}

CopyOtoWindow::~CopyOtoWindow() = default;

void CopyOtoWindow::runBackup()
{
    // The timer starts the command once; ticks during its message boxes must not start a second copy.
    m_timer->stop();
    if (m_running || m_ended)
        return;
    m_running = true;
    const bool copyRan = m_commands->backup().has_value();
    m_running = false;
    if (!copyRan)
        return; // an empty box: the user picks a folder and presses "Yedekle"
    m_ended = true;
    ProgramExit::end(0);
    done(QDialog::Accepted);
}

void CopyOtoWindow::reject()
{
    // The program is closing through "Kapat": Esc or the close box before the backup ran take it now.
    if (!m_running && !m_ended)
        runBackup();
}

} // namespace zelvora
