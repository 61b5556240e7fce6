// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/backupcommands.h"

#include "app/filedialog.h"
#include "app/messagebox.h"
#include "backup/backupnames.h"
#include "data/appconfig.h"
#include "data/clock.h"

#include <QDir>
#include <QLineEdit>

namespace zelvora {

BackupCommands::BackupCommands(QWidget* window, QLineEdit* sourceBox, QLineEdit* targetBox, QProgressBar* progress,
                               std::optional<ServerSettings> server)
    : m_window(window)
    , m_sourceBox(sourceBox)
    , m_targetBox(targetBox)
    , m_routine(window, progress)
    , m_server(std::move(server))
{
}

QString BackupCommands::ledgerName() const
{
    if (m_server)
        return QStringLiteral("Sunucu %1 / %2").arg(m_server->address(), m_server->name);
    return AppConfig::databasePath();
}

void BackupCommands::load()
{
    QDir().mkpath(AppConfig::backupFolder());
    m_sourceBox->setText(ledgerName());
    m_targetBox->setText(backupnames::defaultTarget(Clock::today()));
}

void BackupCommands::browseFolder()
{
    const QString folder
        = FileDialog::chooseFolder(m_window, QStringLiteral("Yedeklenecek Klasörü Seçin"), AppConfig::backupFolder());
    if (folder.isEmpty())
        return;
    m_targetBox->setText(backupnames::dailyPathIn(folder, Clock::today()));
}

std::optional<qint64> BackupCommands::backup()
{
    const QString title = QStringLiteral("DİKKAT!");
    if (m_sourceBox->text().isEmpty()) {
        m_sourceBox->setText(ledgerName());
        MessageBox::ok(m_window, QStringLiteral("Yedeklenecek Veri Tabanı Yolu Yanlış."), title,
                       MessageBox::Icon::Stop);
        return std::nullopt;
    }
    if (m_targetBox->text().isEmpty()) {
        m_targetBox->setText(backupnames::fallbackTarget());
        MessageBox::ok(m_window, QStringLiteral("Yedeklenecek Klasörü Seçiniz."), title, MessageBox::Icon::Stop);
        return std::nullopt;
    }
    const QString target = m_targetBox->text();
    const qint64 bytes
        = m_server ? m_routine.backupServer(*m_server, target) : m_routine.copyFile(m_sourceBox->text(), target);
    if (bytes != 0)
        MessageBox::ok(m_window, target + QStringLiteral("  KLASÖRÜNE DOSYA YEDEKLENDİ"), QStringLiteral("BİLGİ"),
                       MessageBox::Icon::Information);
    return bytes;
}

} // namespace zelvora
