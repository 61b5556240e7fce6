// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/copyroutine.h"

#include "app/messagebox.h"
#include "backup/backupnames.h"
#include "backup/databasecheck.h"
#include "backup/databasereadlock.h"
#include "backup/filecopy.h"
#include "backup/serverledger.h"
#include "data/appconfig.h"
#include "data/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProgressBar>
#include <optional>

namespace zelvora {

namespace {

// The window keeps painting during a long copy; user input waits until the copy is over.
constexpr int kEventsEveryMs = 20;

bool isTheDatabase(const QString& path)
{
    const QFileInfo file(path);
    const QFileInfo database(AppConfig::databasePath());
    return file.exists() && database.exists() && file.canonicalFilePath() == database.canonicalFilePath();
}

class BusyFlag final
{
public:
    explicit BusyFlag(bool& flag)
        : m_flag(flag)
    {
        m_flag = true;
    }
    ~BusyFlag() { m_flag = false; }
    Q_DISABLE_COPY_MOVE(BusyFlag)

private:
    bool& m_flag;
};

} // namespace

CopyRoutine::CopyRoutine(QWidget* window, QProgressBar* progress)
    : m_window(window)
    , m_progress(progress)
{
}

bool CopyRoutine::askToReplace(const QString& target) const
{
    return MessageBox::askYesNo(m_window,
                                target + QStringLiteral("\n\nDosyası zaten var. Varolan dosya ile değiştirilsin mi? "),
                                QStringLiteral("Bilgi"), MessageBox::Icon::Question);
}

void CopyRoutine::showCopyError(const QString& reason) const
{
    QString text = QStringLiteral("Kopyalama Hatası!, Yeniden deneyin.");
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    MessageBox::ok(m_window, text, QStringLiteral("Bilgi"), MessageBox::Icon::Information);
}

void CopyRoutine::showRefusal(const QString& reason) const
{
    QString text = QStringLiteral("Seçilen dosya bu programın geçerli bir yedek dosyası değil. "
                                  "Mevcut verileriniz değiştirilmedi.");
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    MessageBox::ok(m_window, text, QStringLiteral("DİKKAT!"), MessageBox::Icon::Stop);
}

void CopyRoutine::chunkWritten(int percent)
{
    if (m_progress)
        m_progress->setValue(percent);
    letWindowPaint();
}

void CopyRoutine::letWindowPaint()
{
    if (m_sinceEvents.elapsed() >= kEventsEveryMs) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_sinceEvents.restart();
    }
}

qint64 CopyRoutine::copyFile(const QString& source, const QString& target)
{
    if (m_busy)
        return 0;
    if (QFileInfo::exists(target) && !askToReplace(target))
        return 0;
    BusyFlag busy(m_busy);
    m_sinceEvents.start();

    std::optional<DatabaseReadLock> lock;
    if (isTheDatabase(source)) {
        lock.emplace(source);
        if (!lock->isHeld()) {
            showCopyError();
            return 0;
        }
    }
    FileCopy copy(source, target);
    copy.onChunkWritten([this](qint64, int percent) { chunkWritten(percent); });
    bool ok = copy.copyToTemporary();
    lock.reset();
    ok = ok && copy.commit();
    if (!ok) {
        showCopyError();
        return 0;
    }
    if (m_progress)
        m_progress->setValue(0);
    return copy.bytesCopied();
}

bool CopyRoutine::acceptable(const QString& source) const
{
    // What is not an SQLite database is refused before a byte is copied (a directory, a device, an empty or
    // huge foreign file).
    QString why;
    if (!DatabaseCheck::hasDatabaseHeader(source, &why)) {
        showRefusal(why);
        return false;
    }
    if (DatabaseCheck::hasPendingWal(source)) {
        showRefusal(QStringLiteral("Dosyanın yanındaki \"-wal\" dosyasında dosyaya henüz yazılmamış kayıtlar var; "
                                   "dosya tek başına yüklenirse bu kayıtlar kaybolur. Dosyayı kullanan programı "
                                   "kapatıp yeniden deneyin."));
        return false;
    }
    return true;
}

qint64 CopyRoutine::backupServer(const ServerSettings& server, const QString& target)
{
    if (m_busy)
        return 0;
    if (QFileInfo::exists(target) && !askToReplace(target))
        return 0;
    BusyFlag busy(m_busy);
    if (m_progress)
        m_progress->setValue(0);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    QString error;
    if (!serverledger::backupTo(server, target, Clock::today(), &error)) {
        showCopyError(error);
        return 0;
    }
    return QFileInfo(target).size();
}

qint64 CopyRoutine::restoreServer(const ServerSettings& server, const QString& source)
{
    if (m_busy || !acceptable(source))
        return 0;
    BusyFlag busy(m_busy);
    m_sinceEvents.start();

    // The chosen file is copied first and rebuilt from the program's schema, exactly as for a restore into the
    // file: what the server takes in is the rebuilt ledger, checked.
    const QString scratch = QDir(QDir::tempPath()).filePath(QStringLiteral("zelvora-geri-yukleme.dll"));
    FileCopy copy(source, scratch);
    copy.onChunkWritten([this](qint64, int percent) { chunkWritten(percent); });
    if (!copy.copyToTemporary()) {
        showCopyError(copy.errorString());
        return 0;
    }
    RebuiltDatabase rebuilt(scratch);
    if (!rebuilt.build(copy.temporaryPath(), Clock::today(), [this] { letWindowPaint(); })) {
        showRefusal(rebuilt.errorString());
        return 0;
    }
    const qint64 bytes = copy.sourceSize();
    copy.discard();
    // A wrong restore can be undone from this copy of the server's ledger.
    QString error;
    QDir().mkpath(AppConfig::backupFolder());
    if (!serverledger::backupTo(server, backupnames::beforeRestorePath(Clock::now()), Clock::today(), &error, {},
                                serverledger::Check::None)) {
        MessageBox::ok(m_window,
                       QStringLiteral("Sunucudaki defter yedeklenemediği için geri yükleme yapılmadı. "
                                      "Mevcut verileriniz değiştirilmedi.\n\n")
                           + error,
                       QStringLiteral("DİKKAT!"), MessageBox::Icon::Stop);
        return 0;
    }
    letWindowPaint();
    QStringList lines;
    if (!serverledger::replaceLedger(server, rebuilt.path(), &lines, &error)) {
        MessageBox::ok(m_window, error, QStringLiteral("DİKKAT!"), MessageBox::Icon::Stop);
        return 0;
    }
    if (m_progress)
        m_progress->setValue(0);
    return bytes;
}

qint64 CopyRoutine::restoreFile(const QString& source, const QString& target)
{
    if (m_busy)
        return 0;
    if (QFileInfo::exists(target) && !askToReplace(target))
        return 0;
    if (!acceptable(source))
        return 0;
    BusyFlag busy(m_busy);
    m_sinceEvents.start();

    // The chosen file is copied first, so nothing reads it twice (a stick pulled out, a file still written).
    FileCopy copy(source, target);
    copy.onChunkWritten([this](qint64, int percent) { chunkWritten(percent); });
    if (!copy.copyToTemporary()) {
        showCopyError();
        return 0;
    }
    // The database put in place is made fresh from the program's own schema with the copy's rows, so it takes
    // every write the program makes; a copy whose rows the program could not have written is refused.
    RebuiltDatabase rebuilt(target);
    if (!rebuilt.build(copy.temporaryPath(), Clock::today(), [this] { letWindowPaint(); })) {
        showRefusal(rebuilt.errorString());
        return 0;
    }
    const qint64 bytes = copy.sourceSize();
    copy.discard();
    if (QFileInfo::exists(target)) {
        // A wrong restore can be undone from this copy.
        QDir().mkpath(AppConfig::backupFolder());
        std::optional<DatabaseReadLock> lock;
        if (isTheDatabase(target))
            lock.emplace(target);
        FileCopy keep(target, backupnames::beforeRestorePath(Clock::now()));
        keep.onChunkWritten([this](qint64, int) { letWindowPaint(); });
        bool kept = (!lock || lock->isHeld()) && keep.copyToTemporary();
        lock.reset();
        kept = kept && keep.commit();
        if (!kept) {
            MessageBox::ok(m_window,
                           QStringLiteral("Mevcut veri tabanı yedeklenemediği için geri yükleme yapılmadı. "
                                          "Mevcut verileriniz değiştirilmedi."),
                           QStringLiteral("DİKKAT!"), MessageBox::Icon::Stop);
            return 0;
        }
    }
    // A journal left beside the old file would be played into the new one.
    for (const auto* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(target + QLatin1String(suffix));
    if (!rebuilt.commit()) {
        showCopyError();
        return 0;
    }
    if (m_progress)
        m_progress->setValue(0);
    return bytes;
}

} // namespace zelvora
