// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QTemporaryFile;

namespace zelvora {

class HttpTransfer;

// Downloads one file over HTTP in chunks of 1024 bytes, reporting through its four events, without ever
// blocking the window: DownloadFile starts the download and returns; the outcome follows as events.
// The file is written under a temporary name next to the destination and takes the destination's name
// only when the download is complete, so a failed or cancelled download leaves nothing behind and never
// harms a file that was there before.
class FileDownloader final : public QObject
{
    Q_OBJECT

public:
    explicit FileDownloader(QObject* parent = nullptr);
    ~FileDownloader() override;
    Q_DISABLE_COPY_MOVE(FileDownloader)

    static constexpr qint64 ChunkSize = 1024;

    // Starts a download. False, with no event, while another one runs.
    bool DownloadFile(const QString& strURL, const QString& strDestination, const QString& UserName = {},
                      const QString& Password = {});
    // Stops the running download at its next check: no event follows, nothing is left on disk.
    void Cancel();
    bool isRunning() const { return m_state != State::Idle; }

    HttpTransfer& transfer() const { return *m_transfer; }

    // Free bytes of the drive holding a folder; negative when unknown. Tests inject their own figure.
    using FreeSpaceProbe = std::function<qint64(const QString& folder)>;
    void setFreeSpaceProbe(FreeSpaceProbe probe) { m_freeSpace = std::move(probe); }
    static qint64 freeSpaceOf(const QString& folder);

    // Writes a block of the body to the open destination's descriptor; 0, or the system's error number.
    // Tests send the bytes to a device of their own (a full one).
    using BlockWriter = std::function<int(int fd, QByteArrayView bytes)>;
    void setBlockWriter(BlockWriter writer) { m_writer = std::move(writer); }

signals:
    void DownloadErrors(const QString& strError);
    void DownloadEvents(const QString& strEvent);
    void DowloadComplete();
    void DownloadProgress(const QString& intPercent);

private:
    enum class State { Idle, Requesting, Receiving, Ending };

    void onHeader();
    void onEnded();
    void readChunks();
    void cancelNow();
    bool openFile();
    void fail(const QString& text);
    void fileFailure();
    // Gives the finished file the destination's name; the error text, or empty on success.
    QString putInPlace();
    QString percentText();
    void endStep();

    std::unique_ptr<HttpTransfer> m_transfer;
    std::unique_ptr<QTemporaryFile> m_file;
    FreeSpaceProbe m_freeSpace;
    BlockWriter m_writer;
    QString m_destination;
    QByteArray m_block; // the body bytes being reported, already written
    qsizetype m_blockPos = 0;
    int m_lastPercent = -1;
    QString m_lastPercentText;
    State m_state = State::Idle;
    bool m_cancel = false;
    bool m_readScheduled = false;
    qint64 m_announced = 0;
    qint64 m_received = 0;
};

} // namespace zelvora
