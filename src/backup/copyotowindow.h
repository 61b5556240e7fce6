// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDialog>
#include <memory>
#include <optional>

class QLineEdit;
class QProgressBar;
class QTimer;

namespace zelvora {

class BackupCommands;

// The window "CopyOto": shown when the program is closed with "Kapat". 100 ms after loading it takes the
// day's backup and ends the program, whether the copy completed, was declined or failed.
class CopyOtoWindow final : public QDialog
{
    Q_OBJECT

public:
    // With server given, the backup is one of the ledger on that server.
    explicit CopyOtoWindow(QWidget* parent = nullptr, std::optional<ServerSettings> server = std::nullopt);
    ~CopyOtoWindow() override;
    Q_DISABLE_COPY_MOVE(CopyOtoWindow)

    static constexpr int StartAfterMs = 100;

    // "Yedekle", also run by the timer. Runs once per closing: later ticks and clicks do nothing.
    void runBackup();

public slots:
    void reject() override;

private:
    QLineEdit* m_sourceBox = nullptr;
    QLineEdit* m_targetBox = nullptr;
    QProgressBar* m_progress = nullptr;
    QTimer* m_timer = nullptr;
    std::unique_ptr<BackupCommands> m_commands;
    bool m_running = false;
    bool m_ended = false;
};

} // namespace zelvora
