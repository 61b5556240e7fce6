// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/filecopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zelvora {

namespace {

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QDir::toNativeSeparators(path).toStdU16String());
}

bool syncToDisk(QFileDevice& file)
{
#ifdef Q_OS_UNIX
    return ::fsync(file.handle()) == 0;
#else
    return file.flush();
#endif
}

// After a rename the folder's entry must reach the disk too, or a power cut may bring back the old name.
void syncFolder(const QString& folder)
{
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder)
#endif
}

#ifdef Q_OS_LINUX
// Hands what was written to the disk while the copy goes on, so the closing fsync has little left to do and
// the window is not held up by one long wait at the end: starts the write-back of the last window and waits
// for the one before it.
constexpr qint64 kWriteBackWindow = 2 * 1024 * 1024;

bool writeBack(QFileDevice& file, qint64 written)
{
    if (!file.flush())
        return false;
    const int fd = file.handle();
    const qint64 start = written - kWriteBackWindow;
    ::sync_file_range(fd, start, kWriteBackWindow, SYNC_FILE_RANGE_WRITE);
    if (start >= kWriteBackWindow)
        ::sync_file_range(fd, start - kWriteBackWindow, kWriteBackWindow,
                          SYNC_FILE_RANGE_WAIT_BEFORE | SYNC_FILE_RANGE_WRITE | SYNC_FILE_RANGE_WAIT_AFTER);
    return true;
}
#endif

// ".veresiye.dll.XXXXXX.tmp": hidden, and never taken for the real file.
QString temporaryName(const QString& targetName)
{
    return QLatin1Char('.') + targetName + QStringLiteral(".XXXXXX.tmp");
}

} // namespace

int FileCopy::removeLeftovers(const QString& target)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.fileName().isEmpty())
        return 0;
    return removeLeftovers(targetInfo.absolutePath(), targetInfo.fileName());
}

int FileCopy::removeLeftovers(const QString& folder, const QString& targetNames)
{
    if (targetNames.isEmpty())
        return 0;
    const QString pattern = temporaryName(targetNames).replace(QStringLiteral("XXXXXX"), QStringLiteral("??????"));
    QDir dir(folder);
    int removed = 0;
    const QStringList names = dir.entryList({pattern, pattern + QStringLiteral("-journal"),
                                             pattern + QStringLiteral("-wal"), pattern + QStringLiteral("-shm")},
                                            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names)
        removed += dir.remove(name) ? 1 : 0;
    return removed;
}

QString FileCopy::temporaryTemplate(const QString& target)
{
    const QFileInfo info(target);
    return QDir(info.absolutePath()).filePath(temporaryName(info.fileName()));
}

bool FileCopy::syncFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return false;
    return syncToDisk(file);
}

bool FileCopy::replace(const QString& complete, const QString& target, QString* error)
{
    const QFileInfo targetInfo(target);
    if (targetInfo.isFile())
        QFile::setPermissions(complete, QFile::permissions(target));
    std::error_code failure;
    std::filesystem::rename(fsPath(complete), fsPath(target), failure);
    if (failure) {
        if (error)
            *error = QString::fromLocal8Bit(failure.message());
        return false;
    }
    syncFolder(targetInfo.absolutePath());
    return true;
}

FileCopy::FileCopy(QString source, QString target)
    : m_source(std::move(source))
    , m_target(std::move(target))
{
}

FileCopy::~FileCopy() = default;

QString FileCopy::temporaryPath() const
{
    return m_temporary ? m_temporary->fileName() : QString();
}

int FileCopy::percentDone(qint64 remaining, qint64 total)
{
    if (total <= 0)
        return 100;
    return 100 - static_cast<int>(remaining * 100 / total);
}

bool FileCopy::fail(const QString& error)
{
    m_error = error;
    m_bytesCopied = 0;
    m_copied = false;
    m_temporary.reset(); // removes the partial copy
    return false;
}

bool FileCopy::copyToTemporary()
{
    m_temporary.reset();
    m_copied = false;
    m_bytesCopied = 0;
    m_error.clear();

    QFile source(m_source);
    if (m_source.isEmpty() || !source.open(QIODevice::ReadOnly))
        return fail(source.errorString());
    m_total = source.size();
    if (m_total <= 0)
        return fail(QStringLiteral("Kaynak dosya boş."));
    const QFileInfo sourceInfo(m_source);
    const QFileInfo targetInfo(m_target);
    if (targetInfo.exists() && sourceInfo.canonicalFilePath() == targetInfo.canonicalFilePath())
        return fail(QStringLiteral("Kaynak ve hedef aynı dosya."));

    m_temporary = std::make_unique<QTemporaryFile>(temporaryTemplate(m_target));
    if (targetInfo.fileName().isEmpty() || !m_temporary->open())
        return fail(m_temporary->errorString());

    QByteArray chunk(ChunkSize, Qt::Uninitialized);
    qint64 written = 0;
    qint64 remaining = m_total;
    while (remaining > 0) {
        const qint64 size = remaining >= ChunkSize ? ChunkSize : remaining;
        // A source that shrinks under us would never reach its end: a short read is a failure.
        if (source.read(chunk.data(), size) != size)
            return fail(source.errorString().isEmpty() ? QStringLiteral("Kaynak dosya okunamadı.")
                                                       : source.errorString());
        if (m_temporary->write(chunk.constData(), size) != size)
            return fail(m_temporary->errorString());
        written += size;
        remaining = m_total - written;
#ifdef Q_OS_LINUX
        if (written % kWriteBackWindow == 0 && !writeBack(*m_temporary, written))
            return fail(m_temporary->errorString());
#endif
        if (m_chunkWritten)
            m_chunkWritten(size, percentDone(remaining, m_total));
    }
    if (!m_temporary->flush() || !syncToDisk(*m_temporary))
        return fail(m_temporary->errorString());
    m_temporary->close();
    if (m_temporary->error() != QFileDevice::NoError)
        return fail(m_temporary->errorString());
    m_copied = true;
    return true;
}

void FileCopy::discard()
{
    m_temporary.reset();
    m_copied = false;
}

bool FileCopy::commit()
{
    if (!m_copied || !m_temporary)
        return fail(m_error.isEmpty() ? QStringLiteral("Kopya hazır değil.") : m_error);
    QString error;
    if (!replace(m_temporary->fileName(), m_target, &error))
        return fail(error);
    m_temporary->setAutoRemove(false);
    m_temporary.reset();
    m_copied = false;
    m_bytesCopied = m_total;
    return true;
}

} // namespace zelvora
