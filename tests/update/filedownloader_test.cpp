// SPDX-License-Identifier: GPL-3.0-or-later
#include "localhttpserver.h"
#include "update/downloadrules.h"
#include "update/filedownloader.h"
#include "update/httptransfer.h"
#include "waiting.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <gtest/gtest.h>

namespace zelvora {
namespace {

using test::LocalHttpServer;

QByteArray bytes(qsizetype size)
{
    QByteArray data(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        data[i] = char(i * 7 + i / 251);
    return data;
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>");
}

// Records the downloader's events in order: "E:<text>", "I:<text>", "P:<percent>", "C".
class FileDownloaderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QObject::connect(&m_downloader, &FileDownloader::DownloadErrors, &m_downloader,
                         [this](const QString& e) { m_events << QStringLiteral("E:") + e; });
        QObject::connect(&m_downloader, &FileDownloader::DownloadEvents, &m_downloader,
                         [this](const QString& e) { m_events << QStringLiteral("I:") + e; });
        QObject::connect(&m_downloader, &FileDownloader::DownloadProgress, &m_downloader,
                         [this](const QString& p) { m_events << QStringLiteral("P:") + p; });
        QObject::connect(&m_downloader, &FileDownloader::DowloadComplete, &m_downloader,
                         [this] { m_events << QStringLiteral("C"); });
    }

    QString destination() const { return m_dir.filePath(QStringLiteral("setup.exe")); }

    // Starts a download of path and waits until the downloader is idle again.
    void download(const QString& path)
    {
        ASSERT_TRUE(m_downloader.DownloadFile(m_server.url(path), destination()));
        ZV_WAIT_UNTIL_MS(!m_downloader.isRunning(), 10000);
        QTest::qWait(50); // nothing may follow the end
    }

    QStringList progressFree() const
    {
        QStringList events = m_events;
        events.removeIf([](const QString& e) { return e.startsWith(QStringLiteral("P:")); });
        return events;
    }

    // Only the files a test expects: no temporary file is left behind.
    QStringList filesLeft() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    QTemporaryDir m_dir;
    LocalHttpServer m_server;
    FileDownloader m_downloader;
    QStringList m_events;
};

TEST_F(FileDownloaderTest, DownloadsInChunksWithProgressThenCompletes)
{
    const QByteArray body = bytes(2500);
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::page(body, "application/octet-stream"));
    download(QStringLiteral("/setup.exe"));
    EXPECT_EQ(m_events,
              QStringList({QStringLiteral("I:Dosya Bilgisi"), QStringLiteral("P:41"), QStringLiteral("P:82"),
                           QStringLiteral("P:100"), QStringLiteral("P:100"), QStringLiteral("C")}));
    EXPECT_EQ(readFile(destination()), body);
    EXPECT_EQ(filesLeft(), QStringList {QStringLiteral("setup.exe")});
    ASSERT_EQ(m_server.requests().size(), 1);
    EXPECT_TRUE(m_server.requests().first().contains("\r\nRange: bytes=0-"));
    EXPECT_TRUE(m_server.requests().first().contains("\r\nAccept-Encoding: identity"));
}

TEST_F(FileDownloaderTest, AnExistingDestinationEndsUpHoldingExactlyTheDownload)
{
    QFile old(destination());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(10000, 'x'));
    old.close();
    const QByteArray body = bytes(3000);
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::page(body, "application/octet-stream"));
    download(QStringLiteral("/setup.exe"));
    EXPECT_EQ(m_events.last(), QStringLiteral("C"));
    EXPECT_EQ(readFile(destination()), body);
}

TEST_F(FileDownloaderTest, StatusesThatStopTheDownloadLeaveAFileThatWasThereAlone)
{
    QFile old(destination());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous version");
    old.close();
    const QString url = m_server.url(QStringLiteral("/yok.exe"));
    const struct
    {
        LocalHttpServer::Response response;
        QString error;
    } cases[] = {
        {LocalHttpServer::page("", "", 204, "No Content"), QStringLiteral("Hiçbir şey indirmedi! ")},
        {LocalHttpServer::page("no", "text/plain", 401, "Unauthorized"), QStringLiteral("Otorite başarısız oldu! ")},
        {LocalHttpServer::page("gone", "text/plain", 404, "Not Found"),
         QStringLiteral("Serverda, \"") + url + QStringLiteral("\" isimli bir dosya yok.")},
        {LocalHttpServer::page("x", "text/plain", 500, "Internal Server Error"),
         QStringLiteral("Servisçi, takip eden yanıt döndü: İnternet bağlantısını kontrol edin.\r\r"
                        "HTTP/1.1 500 Internal Server Error\r")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.error.toStdString());
        m_events.clear();
        m_server.serve(QStringLiteral("/yok.exe"), c.response);
        download(QStringLiteral("/yok.exe"));
        EXPECT_EQ(m_events, QStringList({QStringLiteral("I:Dosya Bilgisi"), QStringLiteral("E:") + c.error}));
        EXPECT_EQ(readFile(destination()), QByteArray("previous version"));
        EXPECT_EQ(filesLeft(), QStringList {QStringLiteral("setup.exe")});
    }
}

TEST_F(FileDownloaderTest, CredentialsAreOfferedWhenTheServerAsks)
{
    const QByteArray body = bytes(1500);
    LocalHttpServer::Response guarded = LocalHttpServer::page(body, "application/octet-stream");
    guarded.credentials = "ahmet:gizli";
    m_server.serve(QStringLiteral("/setup.exe"), guarded);
    const struct
    {
        QString user, password, last;
    } cases[] = {
        {QStringLiteral("ahmet"), QStringLiteral("gizli"), QStringLiteral("C")},
        {QStringLiteral("ahmet"), QStringLiteral("yanlis"), QStringLiteral("E:Otorite başarısız oldu! ")},
        {QString(), QString(), QStringLiteral("E:Otorite başarısız oldu! ")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password.toStdString());
        m_events.clear();
        QFile::remove(destination());
        ASSERT_TRUE(
            m_downloader.DownloadFile(m_server.url(QStringLiteral("/setup.exe")), destination(), c.user, c.password));
        ZV_WAIT_UNTIL_MS(!m_downloader.isRunning(), 5000);
        QTest::qWait(50);
        EXPECT_EQ(m_events.last(), c.last);
        EXPECT_EQ(QFile::exists(destination()), c.last == QStringLiteral("C"));
    }
}

TEST_F(FileDownloaderTest, AConnectionThatEndsEarlyLeavesNoFile)
{
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::partial(bytes(5000), 3000, true));
    download(QStringLiteral("/setup.exe"));
    EXPECT_EQ(progressFree(),
              QStringList({QStringLiteral("I:Dosya Bilgisi"), QStringLiteral("E:Sunucuya bağlantı ayarlandı. ")}));
    EXPECT_TRUE(filesLeft().isEmpty());
}

TEST_F(FileDownloaderTest, WithoutContentLengthTheBodyIsReadToItsEnd)
{
    const QByteArray body = bytes(4000);
    m_server.serve(
        QStringLiteral("/setup.exe"),
        {"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n" + body, true, {}});
    download(QStringLiteral("/setup.exe"));
    EXPECT_EQ(m_events, QStringList({QStringLiteral("I:Dosya Bilgisi"), QStringLiteral("C")}));
    EXPECT_EQ(readFile(destination()), body);

    // Nothing at all is no completion.
    m_events.clear();
    QFile::remove(destination());
    m_server.serve(QStringLiteral("/bos.exe"), LocalHttpServer::page({}, "application/octet-stream"));
    download(QStringLiteral("/bos.exe"));
    EXPECT_EQ(m_events, QStringList({QStringLiteral("I:Dosya Bilgisi"), QStringLiteral("E:Hiçbir şey indirmedi! ")}));
    EXPECT_TRUE(filesLeft().isEmpty());
}

TEST_F(FileDownloaderTest, CancelDuringTheTransferLeavesNothingAndSaysNothing)
{
    QFile old(destination());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("previous version");
    old.close();
    // Half the body, then the server stays silent.
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::partial(bytes(100000), 50000, false));
    ASSERT_TRUE(m_downloader.DownloadFile(m_server.url(QStringLiteral("/setup.exe")), destination()));
    ZV_WAIT_UNTIL_MS(m_events.contains(QStringLiteral("P:50")), 5000);
    const qsizetype before = m_events.size();
    m_downloader.Cancel();
    ZV_WAIT_UNTIL_MS(!m_downloader.isRunning(), 5000);
    QTest::qWait(50);
    EXPECT_EQ(m_events.size(), before);
    EXPECT_EQ(readFile(destination()), QByteArray("previous version"));
    EXPECT_EQ(filesLeft(), QStringList {QStringLiteral("setup.exe")});
}

TEST_F(FileDownloaderTest, NotEnoughFreeSpaceStopsBeforeWriting)
{
    // 64-bit lengths: 3 000 000 000 bytes neither overflow nor pass a 2 GiB free space.
    const qint64 free = Q_INT64_C(2147483648);
    QString askedFolder;
    const struct
    {
        QByteArray length;
        qint64 freeBytes;
    } cases[] = {{"3000000000", free}, {"2500", 2499}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length.constData());
        m_events.clear();
        m_downloader.setFreeSpaceProbe([&, bytesFree = c.freeBytes](const QString& folder) {
            askedFolder = folder;
            return bytesFree;
        });
        m_server.serve(
            QStringLiteral("/big.exe"),
            {"HTTP/1.1 200 OK\r\nContent-Length: " + c.length + "\r\nConnection: close\r\n\r\n" + bytes(10), true, {}});
        download(QStringLiteral("/big.exe"));
        EXPECT_EQ(m_events,
                  QStringList({QStringLiteral("I:Dosya Bilgisi"),
                               QStringLiteral("E:There is not enough free space on disk for this file.")}));
        EXPECT_EQ(QDir(askedFolder).absolutePath(), QDir(m_dir.path()).absolutePath());
        EXPECT_TRUE(filesLeft().isEmpty());
    }
}

TEST_F(FileDownloaderTest, NoConnectionIsAnErrorAndNeverACompletion)
{
    QString url;
    {
        LocalHttpServer gone;
        url = gone.url(QStringLiteral("/setup.exe"));
    }
    ASSERT_TRUE(m_downloader.DownloadFile(url, destination()));
    ZV_WAIT_UNTIL_MS(!m_downloader.isRunning(), 5000);
    QTest::qWait(50);
    ASSERT_EQ(m_events.size(), 2);
    EXPECT_TRUE(m_events.at(1).startsWith(QStringLiteral("E:Error: "))) << m_events.at(1).toStdString();
    EXPECT_TRUE(m_events.at(1).endsWith(QStringLiteral(" occurred.")));
    EXPECT_TRUE(filesLeft().isEmpty());
}

TEST_F(FileDownloaderTest, AServerThatNeverAnswersFailsAtTheTimeLimit)
{
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::silent());
    m_downloader.transfer().setTimeout(300);
    download(QStringLiteral("/setup.exe"));
    ASSERT_EQ(m_events.size(), 2);
    EXPECT_TRUE(m_events.at(1).startsWith(QStringLiteral("E:Error: Sunucu"))) << m_events.at(1).toStdString();
}

TEST_F(FileDownloaderTest, ASecondDownloadWhileOneRunsIsRefused)
{
    const QByteArray body = bytes(2000);
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::page(body, "application/octet-stream"));
    ASSERT_TRUE(m_downloader.DownloadFile(m_server.url(QStringLiteral("/setup.exe")), destination()));
    EXPECT_FALSE(m_downloader.DownloadFile(m_server.url(QStringLiteral("/setup.exe")), destination()));
    ZV_WAIT_UNTIL_MS(!m_downloader.isRunning(), 5000);
    QTest::qWait(50);
    EXPECT_EQ(progressFree(), QStringList({QStringLiteral("I:Dosya Bilgisi"), QStringLiteral("C")}));
    EXPECT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(readFile(destination()), body);
}

TEST_F(FileDownloaderTest, ADestinationThatCannotBeAFileIsRefusedAndNothingIsCreated)
{
    m_server.serve(QStringLiteral("/setup.exe"), LocalHttpServer::page(bytes(100), "application/octet-stream"));
    const QString cases[] = {
        m_dir.path() + QLatin1Char('/'),
        m_dir.filePath(QStringLiteral("x.y/")),
        m_dir.filePath(QStringLiteral("yeni/..")),
        m_dir.filePath(QStringLiteral("yeni\\")),
    };
    for (const QString& destination : cases) {
        SCOPED_TRACE(destination.toStdString());
        m_events.clear();
        ASSERT_TRUE(m_downloader.DownloadFile(m_server.url(QStringLiteral("/setup.exe")), destination));
        ZV_WAIT_UNTIL(!m_downloader.isRunning());
        ASSERT_EQ(m_events.size(), 2);
        EXPECT_TRUE(m_events.at(1).startsWith(QStringLiteral("E:Dosya Diske Yüklenmedi.\r\rError ")));
        EXPECT_TRUE(QFileInfo(m_dir.path()).isDir());
        // No folder on the way, and no temporary file.
        EXPECT_TRUE(QDir(m_dir.path()).isEmpty()) << QDir(m_dir.path()).entryList().join(u',').toStdString();
    }
}

TEST_F(FileDownloaderTest, AFullDiskIsNamedAsTheReasonAndNothingIsLeft)
{
    // The body goes to the system's always-full device: its writes fail as on a full disk.
    QFile full(QStringLiteral("/dev/full"));
    if (!full.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        GTEST_SKIP() << "no /dev/full here";
    int writes = 0;
    m_downloader.setBlockWriter([&](int, QByteArrayView block) {
        ++writes;
        return download::writeAll(int(full.handle()), block);
    });
    // Without a Content-Length no free space is asked for beforehand.
    m_server.serve(
        QStringLiteral("/setup.exe"),
        {"HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n\r\n" + bytes(4000),
         true,
         {}});
    download(QStringLiteral("/setup.exe"));
    EXPECT_GE(writes, 1);
    EXPECT_EQ(
        m_events,
        QStringList({QStringLiteral("I:Dosya Bilgisi"),
                     QStringLiteral("E:Dosya Diske Yüklenmedi.\r\rError %1: Diskte boş yer kalmadı").arg(ENOSPC)}));
    EXPECT_TRUE(filesLeft().isEmpty());
}

// The transfer stops reading the server while its buffer is full, so a download of any size holds only that
// much of the body in memory.
TEST(HttpTransferTest, HoldsNoMoreThanItsReadBufferOfUnreadBody)
{
    LocalHttpServer server;
    const QByteArray body = bytes(32 * HttpTransfer::ReadBufferSize);
    server.serve(QStringLiteral("/big.bin"), LocalHttpServer::page(body, "application/octet-stream"));
    HttpTransfer transfer;
    transfer.setURL(server.url(QStringLiteral("/big.bin")));
    ASSERT_TRUE(transfer.Execute(QStringLiteral("GET"), {}));
    ZV_WAIT_UNTIL(transfer.bytesAvailable() >= HttpTransfer::ReadBufferSize / 2);
    // Whatever the server sends meanwhile must wait outside the program.
    QTest::qWait(300);
    EXPECT_LE(transfer.bytesAvailable(), HttpTransfer::ReadBufferSize + 64 * 1024);
    QByteArray received;
    ZV_WAIT_UNTIL((received += transfer.GetAvailable(), transfer.finished() && transfer.bytesAvailable() == 0));
    EXPECT_FALSE(transfer.connectionFailed());
    EXPECT_EQ(received.size(), body.size());
    EXPECT_TRUE(received == body);
}

} // namespace
} // namespace zelvora
