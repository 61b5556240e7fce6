#pragma once

#include <QDialog>
#include <QPointer>
#include <memory>

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
class CopyFileWindow final : public QDialog
{
    Q_OBJECT

public:
    // mainWindow is closed before a restore (through the running start-up, which also closes the database).
    explicit CopyFileWindow(QWidget* mainWindow = nullptr, QWidget* parent = nullptr);
    ~CopyFileWindow() override;
    Q_DISABLE_COPY_MOVE(CopyFileWindow)

    static inline const QString RestoreMarker = QStringLiteral("11");

    // Every change of the marker switches the window to restore mode.
    void setModeMarker(const QString& marker);
    bool isRestoreMode() const { return m_restoreMode; }
    void showConfirmation();

    // "Yedek Oluştur": backup mode, shown modally over the main window.
    static void openForBackup(QWidget* mainWindow);
    // "Yedekten Yükle": restore mode with the confirmation panel, shown without waiting; deletes itself on close.
    static CopyFileWindow* openForRestore(QWidget* mainWindow);

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
