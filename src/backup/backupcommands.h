// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "backup/copyroutine.h"
#include "data/database.h"

#include <QString>
#include <optional>

class QLineEdit;
class QProgressBar;
class QWidget;

namespace zelvora {

// The source and target boxes with the commands that the manual and the automatic backup windows share:
// loading the default paths, "GÖZAT" (a folder) and "Yedekle". With the ledger on a server the backup is a
// ledger file written from it.
class BackupCommands final
{
public:
    BackupCommands(QWidget* window, QLineEdit* sourceBox, QLineEdit* targetBox, QProgressBar* progress,
                   std::optional<ServerSettings> server = std::nullopt);
    Q_DISABLE_COPY_MOVE(BackupCommands)

    // Makes the backup folder (a failure is left to the copy) and fills the two boxes with the defaults.
    void load();

    // "GÖZAT": the day's name in the folder picked; nothing changes when the browser is cancelled.
    void browseFolder();

    // "Yedekle": nothing when an empty box stopped it before the copy, else what the copy routine returned.
    std::optional<qint64> backup();

    CopyRoutine& routine() { return m_routine; }
    const std::optional<ServerSettings>& server() const { return m_server; }
    // What the source box shows: the database file, or the server.
    QString ledgerName() const;

private:
    QWidget* m_window;
    QLineEdit* m_sourceBox;
    QLineEdit* m_targetBox;
    CopyRoutine m_routine;
    std::optional<ServerSettings> m_server;
};

} // namespace zelvora
