// The rates page cut and shown once its body has arrived, and a 50 MB update download from 127.0.0.1 through
// the version window against curl fetching the same file from the same server in the same run.
#include "app/messagebox.h"
#include "messagerecorder.h"
#include "rates/ratepage.h"
#include "rates/rateswindow.h"
#include "testdatabase.h"
#include "update/filedownloader.h"
#include "update/httptransfer.h"
#include "update/updatewindow.h"

#include "benchmain.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QHostAddress>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QProgressBar>
#include <QSemaphore>
#include <QStringEncoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QThread>

#include <benchmark/benchmark.h>
#include <memory>

using namespace zelvora;

namespace {

constexpr qint64 kFileSize = 50 * 1024 * 1024;

// Serves one file to every request from its own thread, so that the server never competes with the
// window's thread. The file is written in slices so the socket's buffer stays small.
class FileServerThread final : public QThread
{
public:
    explicit FileServerThread(QByteArray body)
        : m_body(std::move(body))
    {
    }

    quint16 port()
    {
        m_ready.acquire();
        return m_port;
    }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        m_port = server.serverPort();
        QObject::connect(&server, &QTcpServer::newConnection, &server, [&server, this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                auto sent = std::make_shared<qint64>(-1);
                auto pump = [socket, sent, this] {
                    if (*sent < 0)
                        return;
                    constexpr qint64 slice = 256 * 1024;
                    while (*sent < m_body.size() && socket->bytesToWrite() < 4 * slice) {
                        const qint64 n = std::min(slice, m_body.size() - *sent);
                        socket->write(m_body.constData() + *sent, n);
                        *sent += n;
                    }
                    if (*sent >= m_body.size() && socket->bytesToWrite() == 0)
                        socket->disconnectFromHost();
                };
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, sent, pump, this] {
                    if (*sent >= 0 || !socket->readAll().contains("\r\n\r\n"))
                        return;
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                                  + QByteArray::number(m_body.size()) + "\r\nConnection: close\r\n\r\n");
                    *sent = 0;
                    pump();
                });
                QObject::connect(socket, &QTcpSocket::bytesWritten, socket, pump);
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        m_ready.release();
        exec();
    }

private:
    QByteArray m_body;
    QSemaphore m_ready;
    quint16 m_port = 0;
};

// Counts paints of the window's widgets and the longest time between two of them.
class PaintWatch final : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            if (clock.isValid())
                longestGapMs = std::max(longestGapMs, clock.restart());
            else
                clock.start();
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }

    QElapsedTimer clock;
    qint64 longestGapMs = 0;
    int paints = 0;
};

QByteArray ratePageBytes()
{
    // About the size of the bank's page: the thirteen rows among many others.
    QString page = QStringLiteral("<html><head><title>Kurlar</title></head><body><pre>\r\n");
    for (int filler = 0; filler < 40; ++filler)
        page += QStringLiteral(
            "XXX/TRY 1 BAŞKA BİR PARA BİRİMİ       1.2345       1.2456       1.2300       1.2500\r\n");
    int n = 0;
    for (const Currency& c : RatePage::currencies()) {
        ++n;
        page += QStringLiteral("XXX/TRY ") + c.searchText.leftJustified(c.buyingOffset)
            + QStringLiteral("%1.2345").arg(n).leftJustified(c.sellingOffset - c.buyingOffset)
            + QStringLiteral("%1.3456").arg(n).leftJustified(12) + QStringLiteral("\r\n");
    }
    return QStringEncoder("windows-1254").encode(page + QStringLiteral("</pre></body></html>"));
}

// From the body's bytes to the thirteen rows painted in the window.
void RatesPageShown(benchmark::State& state)
{
    const QByteArray body = ratePageBytes();
    RatesWindow window;
    window.show();
    QApplication::processEvents();
    for (auto _ : state) {
        window.showPage(HttpTransfer::decodePage(body, "text/html"));
        window.repaint();
        benchmark::DoNotOptimize(window.buyingBox(12)->text());
    }
    state.counters["page_bytes"] = double(body.size());
}
BENCHMARK(RatesPageShown)->Unit(benchmark::kMillisecond);

// The same file fetched by curl and by the version window's downloader, one after the other.
void Download50MB(benchmark::State& state)
{
    QByteArray body(kFileSize, Qt::Uninitialized);
    for (qint64 i = 0; i < body.size(); ++i)
        body[i] = char(i * 31 + (i >> 12));
    FileServerThread server(body);
    server.start();
    const QString url = QStringLiteral("http://127.0.0.1:%1/indir/setup.exe").arg(server.port());

    test::TestDatabase database;
    QTemporaryDir folder;
    test::MessageRecorder messages;
    UpdateWindow window;
    window.show();
    QApplication::processEvents();
    PaintWatch watch;
    const QList<QWidget*> widgets = window.findChildren<QWidget*>();
    for (QWidget* w : widgets)
        w->installEventFilter(&watch);
    window.findChild<QProgressBar*>(QStringLiteral("downloadProgress"))->show();

    double curlBytesPerSecond = 0;
    double ourBytesPerSecond = 0;
    double paintsPerSecond = 1e9;
    qint64 longestGap = 0;
    bool ok = true;
    for (auto _ : state) {
        const QString curlTarget = folder.filePath(QStringLiteral("curl.bin"));
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   {QStringLiteral("-s"), QStringLiteral("-o"), curlTarget, QStringLiteral("-w"),
                    QStringLiteral("%{speed_download}"), url});
        curl.waitForFinished(60000);
        curlBytesPerSecond += curl.readAllStandardOutput().toDouble();
        ok = ok && QFileInfo(curlTarget).size() == kFileSize;
        QFile::remove(curlTarget);

        const QString target = folder.filePath(QStringLiteral("setup.exe"));
        bool done = false;
        QObject context;
        QObject::connect(&window.downloader(), &FileDownloader::DowloadComplete, &context, [&] { done = true; });
        QObject::connect(&window.downloader(), &FileDownloader::DownloadErrors, &context, [&] {
            done = true;
            ok = false;
        });
        watch.paints = 0;
        watch.longestGapMs = 0;
        watch.clock.invalidate();
        QElapsedTimer timer;
        timer.start();
        window.downloader().DownloadFile(url, target);
        while (!done)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = timer.nsecsElapsed() / 1e9;
        ourBytesPerSecond += kFileSize / seconds;
        paintsPerSecond = std::min(paintsPerSecond, watch.paints / seconds);
        longestGap = std::max(longestGap, watch.longestGapMs);
        ok = ok && QFileInfo(target).size() == kFileSize;
        QFile::remove(target);
    }
    const double runs = double(state.iterations());
    state.counters["curl_MBps"] = curlBytesPerSecond / runs / 1e6;
    state.counters["ours_MBps"] = ourBytesPerSecond / runs / 1e6;
    state.counters["ratio_pct"] = 100.0 * ourBytesPerSecond / curlBytesPerSecond;
    state.counters["paints_per_s_min"] = paintsPerSecond;
    state.counters["longest_paint_gap_ms"] = double(longestGap);
    if (!ok)
        state.SkipWithError("a download did not complete with the whole file");
    server.quit();
    server.wait();
}
BENCHMARK(Download50MB)->Unit(benchmark::kMillisecond)->Iterations(5)->UseRealTime();

// For reference: the manager alone, reading whatever arrived straight into a file, against curl.
void QnamReadAllReference(benchmark::State& state)
{
    QByteArray body(kFileSize, 'a');
    FileServerThread server(body);
    server.start();
    const QString url = QStringLiteral("http://127.0.0.1:%1/x").arg(server.port());
    QTemporaryDir folder;
    QNetworkAccessManager manager;
    double ours = 0, curlRate = 0;
    for (auto _ : state) {
        QProcess curl;
        curl.start(QStringLiteral("curl"),
                   {QStringLiteral("-s"), QStringLiteral("-o"), folder.filePath(QStringLiteral("c")),
                    QStringLiteral("-w"), QStringLiteral("%{speed_download}"), url});
        curl.waitForFinished(60000);
        curlRate += curl.readAllStandardOutput().toDouble();
        QFile file(folder.filePath(QStringLiteral("q")));
        file.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        timer.start();
        QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] { file.write(reply->readAll()); });
        while (!reply->isFinished())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        file.write(reply->readAll());
        ours += kFileSize / (timer.nsecsElapsed() / 1e9);
        reply->deleteLater();
    }
    state.counters["curl_MBps"] = curlRate / state.iterations() / 1e6;
    state.counters["qnam_MBps"] = ours / state.iterations() / 1e6;
    server.quit();
    server.wait();
}
BENCHMARK(QnamReadAllReference)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    return bench::run(argc, argv);
}
