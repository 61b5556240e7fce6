// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/filedownloader.h"

#include "update/downloadrules.h"
#include "update/httptransfer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>
#include <QStorageInfo>
#include <QTemporaryFile>

#include <filesystem>

namespace zelvora {

namespace {

// Longest stretch of chunks handled before the window gets its turn again.
constexpr qint64 kSliceMs = 15;

// Where the destination's file name starts: after its last separator of either kind.
qsizetype nameStart(const QString& destination)
{
    return std::max(destination.lastIndexOf(QLatin1Char('\\')), destination.lastIndexOf(QLatin1Char('/'))) + 1;
}

// The folder part of a destination, up to its last separator; empty (the current folder) when it has none.
QString folderOf(const QString& destination)
{
    return destination.left(nameStart(destination));
}

} // namespace

FileDownloader::FileDownloader(QObject* parent)
    : QObject(parent)
    , m_transfer(std::make_unique<HttpTransfer>())
    , m_freeSpace(&FileDownloader::freeSpaceOf)
    , m_writer(&download::writeAll)
{
    connect(m_transfer.get(), &HttpTransfer::headerArrived, this, &FileDownloader::onHeader);
    connect(m_transfer.get(), &HttpTransfer::bodyDataArrived, this, &FileDownloader::readChunks);
    connect(m_transfer.get(), &HttpTransfer::transferEnded, this, &FileDownloader::onEnded);
}

FileDownloader::~FileDownloader()
{
    // An unfinished download leaves nothing: the transfer stops and the temporary file goes.
    m_transfer->Cancel();
    m_file.reset();
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
    // Nothing is created for a destination that cannot be a file: no folder, no temporary file.
    if (!download::isPlainFileName(QStringView(m_destination).sliced(nameStart(m_destination)))) {
        fail(QStringLiteral("Dosya Diske Yüklenmedi.\r\rError %1: ").arg(int(QFileDevice::OpenError))
             + QStringLiteral("\"%1\" bir dosya adı değil, dosya olarak yazılamaz")
                   .arg(QDir::toNativeSeparators(m_destination)));
        return false;
    }
    const QString folder = folderOf(m_destination);
    if (!folder.isEmpty() && !QDir(folder).exists() && !QDir().mkdir(folder)) {
        fail(QStringLiteral("Dosya Diske Yüklenmedi.\r\rError %1: ").arg(int(QFileDevice::OpenError))
             + QStringLiteral("\"%1\" klasörü oluşturulamadı").arg(QDir::toNativeSeparators(folder)));
        return false;
    }
    if (QFileInfo(m_destination).isDir()) {
        fail(
            QStringLiteral("Dosya Diske Yüklenmedi.\r\rError %1: ").arg(int(QFileDevice::OpenError))
            + QStringLiteral("\"%1\" bir klasör, dosya olarak yazılamaz").arg(QDir::toNativeSeparators(m_destination)));
        return false;
    }
    // A new file next to the destination, which it replaces only when the download is complete. It goes
    // away by itself when the download does not complete.
    m_file = std::make_unique<QTemporaryFile>(m_destination + QStringLiteral(".XXXXXX.part"));
    if (!m_file->open()) {
        fileFailure();
        return false;
    }
    return true;
}

QString FileDownloader::putInPlace()
{
    const QFile::Permissions permissions = QFileInfo::exists(m_destination) ? QFile::permissions(m_destination)
                                                                            : QFile::ReadOwner | QFile::WriteOwner
            | QFile::ReadUser | QFile::WriteUser | QFile::ReadGroup | QFile::ReadOther;
    if (!m_file->flush()) {
        return QStringLiteral("Dosya Diske Yüklenmedi.\r\rError ") + QString::number(int(m_file->error()))
            + QStringLiteral(": ") + m_file->errorString();
    }
    m_file->close();
    m_file->setPermissions(permissions);
    // Replaces an existing file in one step (QFile::rename would refuse it). No sync to disk: the user
    // starts the installer at once, and a download that a crash spoiled is simply fetched again.
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(m_file->fileName().toStdU16String()),
                            std::filesystem::path(m_destination.toStdU16String()), error);
    if (error) {
        return QStringLiteral("Dosya Diske Yüklenmedi.\r\rError ") + QString::number(error.value())
            + QStringLiteral(": ") + QString::fromLocal8Bit(error.message());
    }
    m_file->setAutoRemove(false);
    return {};
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
        if (m_blockPos >= m_block.size()) {
            // Whatever has arrived is written in one go and then reported chunk by chunk.
            m_block = m_transfer->GetAvailable();
            m_blockPos = 0;
            if (!m_block.isEmpty()) {
                // Straight to the file's descriptor, so that a failed write keeps the system's reason.
                if (const int error = m_writer(int(m_file->handle()), m_block)) {
                    fail(download::writeFailure(error));
                    return;
                }
            }
        }
        if (m_block.isEmpty()) {
            if (m_cancel) {
                endStep();
            } else if (m_transfer->finished()) {
                // The empty chunk that ends the body is reported too, as every chunk is.
                if (m_announced > 0 && m_received > 0) {
                    emit DownloadProgress(percentText());
                    if (!self)
                        return;
                }
                endStep();
            }
            return;
        }
        while (m_blockPos < m_block.size()) {
            const qint64 chunk = std::min<qint64>(ChunkSize, m_block.size() - m_blockPos);
            m_blockPos += chunk;
            if (m_cancel) {
                endStep();
                return;
            }
            m_received += chunk;
            // Without a length there is no percentage to give.
            if (m_announced > 0) {
                emit DownloadProgress(percentText());
                if (!self || m_state != State::Receiving)
                    return;
            }
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

QString FileDownloader::percentText()
{
    // The same figure comes for many chunks in a row: its text is made once.
    const int percent = download::progressPercent(m_received, m_announced);
    if (percent != m_lastPercent) {
        m_lastPercent = percent;
        m_lastPercentText = QString::number(percent);
    }
    return m_lastPercentText;
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
        error = putInPlace();
    } else {
        if (!m_cancel)
            error = m_received > 0 || m_announced > 0 ? QStringLiteral("Sunucuya bağlantı ayarlandı. ")
                                                      : QStringLiteral("Hiçbir şey indirmedi! ");
    }
    m_file.reset();
    m_block.clear();
    m_blockPos = 0;
    m_lastPercent = -1;
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
