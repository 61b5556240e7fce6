// SPDX-License-Identifier: GPL-3.0-or-later
// The rates page cut and shown once its body has arrived, and update downloads (50 MiB and 1 GiB, served from a
// sparse file on 127.0.0.1) through the version window against curl fetching the same file from the same
// server in the same run, with the peak resident memory of the downloading process.
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

constexpr qint64 kMiB = 1024 * 1024;

// A sparse file of the given size in the temporary folder: served from disk, never held in memory, and
// deleted when the benchmark ends.
class SparseFile final
{
public:
    explicit SparseFile(qint64 size)
        : m_path(QDir(QDir::tempPath()).filePath(QStringLiteral("zelvora-bench-%1.bin").arg(size)))
    {
        QFile file(m_path);
        m_ok = file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.resize(size);
    }
    ~SparseFile() { QFile::remove(m_path); }
    Q_DISABLE_COPY_MOVE(SparseFile)

    bool ok() const { return m_ok; }
    QString path() const { return m_path; }

private:
    QString m_path;
    bool m_ok = false;
};

// Serves one file from disk to every request from its own thread, so that the server never competes with
// the window's thread. The file is read and written in slices, so the server holds at most a few of them.
class FileServerThread final : public QThread
{
public:
    explicit FileServerThread(QString path)
        : m_path(std::move(path))
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
                auto file = std::make_shared<QFile>(m_path);
                auto started = std::make_shared<bool>(false);
                auto pump = [socket, file, started] {
                    if (!*started)
                        return;
                    constexpr qint64 slice = 256 * 1024;
                    QByteArray buffer;
                    while (!file->atEnd() && socket->bytesToWrite() < 4 * slice) {
                        buffer.resize(slice);
                        const qint64 n = file->read(buffer.data(), slice);
                        if (n <= 0)
                            break;
                        socket->write(buffer.constData(), n);
                    }
                    if (file->atEnd() && socket->bytesToWrite() == 0)
                        socket->disconnectFromHost();
                };
                QObject::connect(socket, &QTcpSocket::readyRead, socket, [socket, file, started, pump] {
                    if (*started || !socket->readAll().contains("\r\n\r\n"))
                        return;
                    if (!file->open(QIODevice::ReadOnly)) {
                        socket->write("HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
                        socket->disconnectFromHost();
                        return;
                    }
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                                  + QByteArray::number(file->size()) + "\r\nConnection: close\r\n\r\n");
                    *started = true;
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
    QString m_path;
    QSemaphore m_ready;
    quint16 m_port = 0;
};

// Resident memory of this process from /proc/self/status ("VmRSS" now, "VmHWM" its peak), in bytes.
qint64 memoryFigure(const char* key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(qstrlen(key) + 1).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

// Starts a new peak of resident memory from the current figure; false when the kernel refuses.
bool resetPeakMemory()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

// curl's own figure for fetching url into target, in bytes per second; 0 when it failed.
double curlSpeed(const QString& url, const QString& target, qint64 size)
{
    QProcess curl;
    curl.start(QStringLiteral("curl"),
               {QStringLiteral("-s"), QStringLiteral("-o"), target, QStringLiteral("-w"),
                QStringLiteral("%{speed_download}"), url});
    curl.waitForFinished(600000);
    const double speed = curl.readAllStandardOutput().toDouble();
    const bool whole = QFileInfo(target).size() == size;
    QFile::remove(target);
    return whole ? speed : 0;
}

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

// The same file fetched by curl and by the version window's downloader, one after the other, with the
// downloading process's peak resident memory over its figure just before the download.
void DownloadThroughTheWindow(benchmark::State& state)
{
    const qint64 size = state.range(0) * kMiB;
    SparseFile source(size);
    if (!source.ok()) {
        state.SkipWithError("the served file could not be made");
        return;
    }
    FileServerThread server(source.path());
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
    QApplication::processEvents();
    const qint64 firstIdle = memoryFigure("VmRSS:");

    double curlBytesPerSecond = 0;
    double ourBytesPerSecond = 0;
    double paintsPerSecond = 1e9;
    qint64 longestGap = 0;
    qint64 overIdle = 0;
    qint64 peak = 0;
    bool ok = true;
    bool peakKnown = true;
    int run = 0;
    auto runCurl = [&] {
        const double curl = curlSpeed(url, folder.filePath(QStringLiteral("curl.bin")), size);
        ok = ok && curl > 0;
        curlBytesPerSecond += curl;
    };
    for (auto _ : state) {
        // Each goes first every other run, so neither always meets the disk the other has just written to.
        const bool curlFirst = run++ % 2 == 0;
        if (curlFirst)
            runCurl();

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
        QApplication::processEvents();
        const qint64 idle = memoryFigure("VmRSS:");
        peakKnown = resetPeakMemory() && peakKnown;
        QElapsedTimer timer;
        timer.start();
        window.downloader().DownloadFile(url, target);
        while (!done)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double seconds = timer.nsecsElapsed() / 1e9;
        const qint64 high = memoryFigure("VmHWM:");
        peak = std::max(peak, high);
        overIdle = std::max(overIdle, high - idle);
        ourBytesPerSecond += size / seconds;
        paintsPerSecond = std::min(paintsPerSecond, watch.paints / seconds);
        longestGap = std::max(longestGap, watch.longestGapMs);
        ok = ok && QFileInfo(target).size() == size;
        QFile::remove(target);
        if (!curlFirst)
            runCurl();
    }
    const double runs = double(state.iterations());
    state.counters["curl_MBps"] = curlBytesPerSecond / runs / 1e6;
    state.counters["ours_MBps"] = ourBytesPerSecond / runs / 1e6;
    state.counters["ratio_pct"] = 100.0 * ourBytesPerSecond / curlBytesPerSecond;
    state.counters["paints_per_s_min"] = paintsPerSecond;
    state.counters["longest_paint_gap_ms"] = double(longestGap);
    // The largest rise of resident memory during one download over the figure just before it, and the
    // highest figure over the one before the first download.
    state.counters["peak_over_idle_MB"] = double(overIdle) / 1e6;
    state.counters["peak_over_first_idle_MB"] = double(peak - firstIdle) / 1e6;
    if (!peakKnown)
        state.SkipWithError("the peak of resident memory could not be reset");
    if (!ok)
        state.SkipWithError("a download did not complete with the whole file");
    server.quit();
    server.wait();
}
BENCHMARK(DownloadThroughTheWindow)->Arg(50)->Iterations(6)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(DownloadThroughTheWindow)->Arg(1024)->Iterations(4)->Unit(benchmark::kMillisecond)->UseRealTime();

// For reference: the manager alone, reading whatever arrived straight into a file, against curl.
void QnamReadAllReference(benchmark::State& state)
{
    const qint64 size = 50 * kMiB;
    SparseFile source(size);
    FileServerThread server(source.path());
    server.start();
    const QString url = QStringLiteral("http://127.0.0.1:%1/x").arg(server.port());
    QTemporaryDir folder;
    QNetworkAccessManager manager;
    double ours = 0, curlRate = 0;
    for (auto _ : state) {
        curlRate += curlSpeed(url, folder.filePath(QStringLiteral("c")), size);
        QFile file(folder.filePath(QStringLiteral("q")));
        file.open(QIODevice::WriteOnly);
        QElapsedTimer timer;
        timer.start();
        QNetworkReply* reply = manager.get(QNetworkRequest(QUrl(url)));
        QObject::connect(reply, &QNetworkReply::readyRead, reply, [&] { file.write(reply->readAll()); });
        while (!reply->isFinished())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        file.write(reply->readAll());
        ours += size / (timer.nsecsElapsed() / 1e9);
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
