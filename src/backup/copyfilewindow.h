// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QDialog>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace zelvora {

class BackupCommands;
class LumButton;

// The window "CopyFile": a backup of the database to a ".ydk" file (modal), or, once its mode marker is
// given the text "11", a restore of a backup file over the database (modeless), after which the program
// starts over at its splash.
// What a restore may ask of the program that opened its window: to let go of the database before the file is
// replaced, and to start over at the splash on the restored file afterwards. Either may be empty.
struct RestoreHooks
{
    std::function<void()> releaseDatabase;
    std::function<void()> startOver;
};

class CopyFileWindow final : public QDialog
{
    Q_OBJECT

public:
    // mainWindow is closed before a restore, after hooks.releaseDatabase. With server given the window backs up
    // and restores the ledger on that server.
    explicit CopyFileWindow(QWidget* mainWindow = nullptr, QWidget* parent = nullptr, RestoreHooks hooks = {},
                            std::optional<ServerSettings> server = std::nullopt);
    ~CopyFileWindow() override;
    Q_DISABLE_COPY_MOVE(CopyFileWindow)

    static inline const QString RestoreMarker = QStringLiteral("11");

    // Every change of the marker switches the window to restore mode.
    void setModeMarker(const QString& marker);
    bool isRestoreMode() const { return m_restoreMode; }
    void showConfirmation();

    // "Yedek Oluştur": backup mode, shown modally over the main window.
    static void openForBackup(QWidget* mainWindow, std::optional<ServerSettings> server = std::nullopt);
    // "Yedekten Yükle": restore mode with the confirmation panel, shown without waiting; deletes itself on close.
    static CopyFileWindow* openForRestore(QWidget* mainWindow, RestoreHooks hooks,
                                          std::optional<ServerSettings> server = std::nullopt);

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildUi();
    void centreOnScreen();
    void switchToRestoreMode();
    void closeMainWindow();
    bool isCopying() const;

    void browseSource();
    void restore();

    QPointer<QWidget> m_mainWindow;
    RestoreHooks m_hooks;
    QGroupBox* m_warningPanel = nullptr;
    QGroupBox* m_backupPanel = nullptr;
    QGroupBox* m_restorePanel = nullptr;
    QGroupBox* m_confirmPanel = nullptr;
    QLineEdit* m_targetBox = nullptr;
    QLineEdit* m_sourceBox = nullptr;
    QLineEdit* m_modeMarker = nullptr;
    QProgressBar* m_progress = nullptr;
    LumButton* m_backupButton = nullptr;
    LumButton* m_restoreButton = nullptr;
    std::unique_ptr<BackupCommands> m_commands;
    bool m_restoreMode = false;
};

} // namespace zelvora
