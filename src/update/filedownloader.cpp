#include "update/filedownloader.h"

#include "update/downloadrules.h"
#include "update/httptransfer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QSaveFile>
#include <QStorageInfo>

namespace zelvora {

namespace {

// Longest stretch of chunks handled before the window gets its turn again.
constexpr qint64 kSliceMs = 15;

// The folder part of a destination: up to its last separator, the whole text when it has none.
QString folderOf(const QString& destination)
{
    const qsizetype cut
        = std::max(destination.lastIndexOf(QLatin1Char('\\')), destination.lastIndexOf(QLatin1Char('/')));
    return cut < 0 ? destination : destination.left(cut + 1);
}

} // namespace

FileDownloader::FileDownloader(QObject* parent)
    : QObject(parent)
    , m_transfer(std::make_unique<HttpTransfer>())
    , m_freeSpace(&FileDownloader::freeSpaceOf)
{
    connect(m_transfer.get(), &HttpTransfer::headerArrived, this, &FileDownloader::onHeader);
    connect(m_transfer.get(), &HttpTransfer::bodyDataArrived, this, &FileDownloader::readChunks);
    connect(m_transfer.get(), &HttpTransfer::transferEnded, this, &FileDownloader::onEnded);
}

FileDownloader::~FileDownloader()
{
    // An unfinished download leaves nothing: the transfer stops and the temporary file goes.
    m_transfer->Cancel();
    if (m_file)
        m_file->cancelWriting();
}

qint64 FileDownloader::freeSpaceOf(const QString& folder)
{
    // The folder may not exist yet: ask about the nearest one that does.
    QDir dir(folder.isEmpty() ? QDir::currentPath() : folder);
    while (!dir.exists() && !dir.isRoot() && dir.cdUp()) { }
    const QStorageInfo storage(dir.absolutePath());
    return storage.isValid() ? storage.bytesAvailable() : -1;
}

bool FileDownloader::DownloadFile(const QString& strURL, const QString& strDestination, const QString& UserName,
                                  const QString& Password)
{
    if (m_state != State::Idle)
        return false;
    m_state = State::Requesting;
    m_cancel = false;
    m_announced = 0;
    m_received = 0;
    m_destination = strDestination;
    m_file.reset();

    QPointer<FileDownloader> self(this);
    emit DownloadEvents(QStringLiteral("Dosya Bilgisi"));
    if (!self)
        return true;
    if (m_cancel) {
        endStep();
        return true;
    }
    m_transfer->setURL(strURL);
    m_transfer->setUserName(UserName);
    m_transfer->setPassword(Password);
    // Every request asks for the whole file from its first byte.
    if (!m_transfer->Execute(QStringLiteral("GET"), QStringLiteral("Range: bytes=0-\r\n"))) {
        const QString error = m_transfer->errorString();
        // Events come after DownloadFile returned, as for every other outcome.
        QMetaObject::invokeMethod(
            this, [this, error] { fail(QStringLiteral("Error: ") + error + QStringLiteral(" occurred.")); },
            Qt::QueuedConnection);
    }
    return true;
}

void FileDownloader::Cancel()
{
    m_cancel = true;
    if (m_state == State::Requesting || m_state == State::Receiving)
        QMetaObject::invokeMethod(this, &FileDownloader::cancelNow, Qt::QueuedConnection);
}

void FileDownloader::cancelNow()
{
    if (!m_cancel)
        return;
    if (m_state == State::Requesting)
        endStep();
    else if (m_state == State::Receiving)
        readChunks(); // one more chunk is written, then the loop sees the flag
}

void FileDownloader::onHeader()
{
    if (m_state != State::Requesting)
        return;
    if (m_cancel) {
        endStep();
        return;
    }
    if (m_transfer->connectionFailed()) {
        fail(QStringLiteral("Error: ") + m_transfer->errorString() + QStringLiteral(" occurred."));
        return;
    }
    const QString header = m_transfer->GetHeader();
    if (const auto error = download::statusError(download::statusText(header), header, m_transfer->URL())) {
        fail(*error);
        return;
    }
    m_announced = download::contentLength(m_transfer->GetHeader(QStringLiteral("Content-Length")));
    if (m_announced > 0) {
        const qint64 free = m_freeSpace ? m_freeSpace(folderOf(m_destination)) : -1;
        if (free >= 0 && free < m_announced) {
            fail(QStringLiteral("There is not enough free space on disk for this file."));
            return;
        }
    }
    if (!openFile())
        return;
    m_state = State::Receiving;
    readChunks();
}

bool FileDownloader::openFile()
{
    const QString folder = folderOf(m_destination);
    if (!folder.isEmpty() && !QDir(folder).exists() && !QDir().mkdir(folder)) {
        fail(QStringLiteral("Dosya Diske Yüklenmedi.\r\rError %1: ").arg(int(QFileDevice::OpenError))
             + QStringLiteral("\"%1\" klasörü oluşturulamadı").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    m_file = std::make_unique<QSaveFile>(m_destination);
    // The temporary file is a new one; the destination is replaced only by a complete download.
    m_file->setDirectWriteFallback(false);
    if (QFileInfo(m_destination).isDir()) {
        fail(
            QStringLiteral("Dosya Diske Yüklenmedi.\r\rError %1: ").arg(int(QFileDevice::OpenError))
            + QStringLiteral("\"%1\" bir klasör, dosya olarak yazılamaz").arg(QDir::toNativeSeparators(m_destination)));
        return false;
    }
    if (!m_file->open(QIODevice::WriteOnly)) {
        fileFailure();
        return false;
    }
    return true;
}

void FileDownloader::readChunks()
{
    if (m_state != State::Receiving)
        return;
    m_readScheduled = false;
    QPointer<FileDownloader> self(this);
    QElapsedTimer slice;
    slice.start();
    while (m_state == State::Receiving) {
        const QByteArray chunk = m_transfer->GetChunk(ChunkSize);
        if (chunk.isEmpty()) {
            if (m_cancel) {
                endStep();
            } else if (m_transfer->finished()) {
                // The empty chunk that ends the body is reported too, as every chunk is.
                if (m_announced > 0 && m_received > 0) {
                    emit DownloadProgress(QString::number(download::progressPercent(m_received, m_announced)));
                    if (!self)
                        return;
                }
                endStep();
            }
            return;
        }
        if (m_file->write(chunk) != chunk.size()) {
            fileFailure();
            return;
        }
        if (m_cancel) {
            endStep();
            return;
        }
        m_received += chunk.size();
        // Without a length there is no percentage to give.
        if (m_announced > 0) {
            emit DownloadProgress(QString::number(download::progressPercent(m_received, m_announced)));
            if (!self)
                return;
        }
        if (slice.elapsed() >= kSliceMs && m_transfer->bytesAvailable() > 0) {
            // Let the window paint and take a "İptal Et" before the next stretch.
            if (!m_readScheduled) {
                m_readScheduled = true;
                QMetaObject::invokeMethod(this, &FileDownloader::readChunks, Qt::QueuedConnection);
            }
            return;
        }
    }
}

void FileDownloader::onEnded()
{
    if (m_state == State::Receiving)
        readChunks();
}

void FileDownloader::fail(const QString& text)
{
    if (m_state == State::Idle || m_state == State::Ending)
        return;
    // No completion follows a failure, and nothing arriving meanwhile is written.
    m_cancel = true;
    m_state = State::Ending;
    QPointer<FileDownloader> self(this);
    emit DownloadErrors(text);
    if (self)
        endStep();
}

void FileDownloader::fileFailure()
{
    const QFileDevice::FileError error = m_file ? m_file->error() : QFileDevice::OpenError;
    const QString description = m_file ? m_file->errorString() : QString();
    fail(QStringLiteral("Dosya Diske Yüklenmedi.\r\rError ") + QString::number(int(error)) + QStringLiteral(": ")
         + description);
}

void FileDownloader::endStep()
{
    if (m_state == State::Idle)
        return;
    m_state = State::Ending;
    // Complete: bytes were written, the connection ended normally, and a given length was met.
    const bool complete = !m_cancel && m_file && m_received > 0 && m_transfer->finished()
        && !m_transfer->connectionFailed() && (m_announced == 0 || m_received == m_announced);
    QString error;
    if (complete) {
        if (!m_file->commit())
            error = QStringLiteral("Dosya Diske Yüklenmedi.\r\rError ") + QString::number(int(m_file->error()))
                + QStringLiteral(": ") + m_file->errorString();
    } else {
        if (m_file)
            m_file->cancelWriting();
        if (!m_cancel)
            error = m_received > 0 || m_announced > 0 ? QStringLiteral("Sunucuya bağlantı ayarlandı. ")
                                                      : QStringLiteral("Hiçbir şey indirmedi! ");
    }
    m_file.reset();
    m_transfer->Cancel();
    m_state = State::Idle;
    if (!error.isEmpty()) {
        m_cancel = true;
        emit DownloadErrors(error);
    } else if (complete) {
        emit DowloadComplete();
    }
}

} // namespace zelvora
