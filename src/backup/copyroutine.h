// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QElapsedTimer>
#include <QString>

class QProgressBar;
class QWidget;

namespace zelvora {

// The copy routine CopyFile(source, target) of the backup windows: the replace question, the chunked copy
// with the progress bar, and the copy error message. Returns the bytes copied, 0 when declined or failed.
class CopyRoutine final
{
public:
    CopyRoutine(QWidget* window, QProgressBar* progress);
    Q_DISABLE_COPY_MOVE(CopyRoutine)

    // A backup: copies the file (taken under a read lock when it is the program's database).
    qint64 copyFile(const QString& source, const QString& target);

    // A backup of a server's ledger: a ledger file written from one snapshot of it (see serverledger::backupTo).
    qint64 backupServer(const ServerSettings& server, const QString& target);

    // A restore over the database file: the chosen file's rows go into a database made fresh from the
    // program's schema (see RebuiltDatabase), which replaces the database file once the database it replaces
    // is kept in the backup folder. Callers release the database beforehand.
    qint64 restoreFile(const QString& source, const QString& target);

    // A restore onto a server: the chosen file is checked and rebuilt as for a file, the server's ledger is kept
    // in the backup folder, then replaced in one transaction (see serverledger::replaceLedger). Returns the
    // chosen file's size, 0 when refused or failed (the server then unchanged).
    qint64 restoreServer(const ServerSettings& server, const QString& source);

    bool isBusy() const { return m_busy; }

private:
    bool askToReplace(const QString& target) const;
    void chunkWritten(int percent);
    void letWindowPaint();
    void showCopyError(const QString& reason = {}) const;
    // The chosen file before anything is copied: false, with the refusal shown, when it is no ledger file.
    bool acceptable(const QString& source) const;
    void showRefusal(const QString& reason) const; // the reason on lines below the message

    QWidget* m_window;
    QProgressBar* m_progress;
    QElapsedTimer m_sinceEvents;
    bool m_busy = false;
};

} // namespace zelvora
