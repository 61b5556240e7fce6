// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QPointer>
#include <QRgb>

class QLabel;
class QLineEdit;
class QMainWindow;
class QProgressBar;
class QTimer;

namespace zelvora {

class FileDownloader;
class HttpTransfer;
class LumButton;

// The window "update": compares the installed version with the maker's version page and downloads the
// update file. The main window is hidden while it is open and comes back whenever it closes.
class UpdateWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateWindow(QWidget* mainWindow = nullptr, QWidget* parent = nullptr);
    ~UpdateWindow() override;
    Q_DISABLE_COPY_MOVE(UpdateWindow)

    // Download button captions.
    static inline const QString PrepareCaption = QStringLiteral("Güncellemeleri Hazırla");
    static inline const QString InstallCaption = QStringLiteral("Güncel Sürümü Yükle");
    static inline const QString CancelCaption = QStringLiteral("İptal Et");
    static inline const QString RetryCaption = QStringLiteral("Tekrar Dene");

    // "Sürüm Kontrolü Yap": fetches the version page without blocking; checkDone() follows a success.
    void runCheck();
    // Stores the latest version; a changed value runs the comparison.
    void setLatestVersion(const QString& version);
    QString installedVersion() const { return m_installed; }

    FileDownloader& downloader() const { return *m_downloader; }
    HttpTransfer& transfer() const { return *m_transfer; }

signals:
    void checkDone();

protected:
    void closeEvent(QCloseEvent* event) override;
    // Esc closes as "Kapat" does: a dialog's plain reject would only hide it, leaving no window at all.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildUi();
    void readInstalledVersion();
    void onPage(const QString& page);
    void onCheckFailed();
    void compare();
    void pressDownload();
    void setDownloadColour(QRgb colour);
    void onProgress(const QString& percent);
    void resetProgress();
    void onComplete();
    void onError(const QString& error);

    QPointer<QWidget> m_mainWindow;
    HttpTransfer* m_transfer = nullptr;
    FileDownloader* m_downloader = nullptr;
    QTimer* m_versionTimer = nullptr;
    QTimer* m_progressTimer = nullptr;
    int m_pendingPercent = 0;
    QElapsedTimer m_progressShown;
    QString m_installed;
    QString m_latest;
    QLabel* m_programCode = nullptr;
    QLabel* m_latestValue = nullptr;
    QLabel* m_installedValue = nullptr;
    QLabel* m_status = nullptr;
    QProgressBar* m_busy = nullptr;
    QProgressBar* m_progress = nullptr;
    LumButton* m_checkButton = nullptr;
    LumButton* m_downloadButton = nullptr;
    LumButton* m_closeButton = nullptr;
    QLineEdit* m_addressBox = nullptr;
};

// "Yeni Sürüm Kontrolü": shows the version window without waiting and takes the main window away until
// the version window closes. The window deletes itself when closed.
UpdateWindow* openUpdateWindow(QMainWindow* mainWindow);

} // namespace zelvora
