// SPDX-License-Identifier: GPL-3.0-or-later
#include "pgserver.h"

#include <QCoreApplication>
#include <QDir>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <pwd.h>
#include <unistd.h>

namespace zelvora::test {

namespace {

QString binFolder()
{
    const QString own = qEnvironmentVariable("ZELVORA_PG_BIN");
    return own.isEmpty() ? QStringLiteral("/usr/lib/postgresql/15/bin") : own;
}

// Runs a server program, as postgres when asked; false with its output.
bool runTool(const QString& tool, const QStringList& arguments, bool asPostgres, QString* error)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    const QString program = QDir(binFolder()).filePath(tool);
    if (asPostgres)
        process.start(QStringLiteral("runuser"),
                      QStringList {QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program}
                          + arguments);
    else
        process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        if (error)
            *error = QStringLiteral("%1: %2 %3")
                         .arg(tool, process.errorString(), QString::fromLocal8Bit(process.readAll()));
        process.kill();
        process.waitForFinished();
        return false;
    }
    return true;
}

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    return probe.serverPort();
}

// The shell command that stops the server at folder at once and waits until it has gone.
std::string stopCommand(const QString& folder, bool asPostgres)
{
    const QString pgCtl = QDir(binFolder()).filePath(QStringLiteral("pg_ctl"));
    const QString command = QStringLiteral("%1'%2' -D '%3/data' -m immediate -w stop >/dev/null 2>&1")
                                .arg(asPostgres ? QStringLiteral("runuser -u postgres -- ") : QString(), pgCtl, folder);
    return command.toStdString();
}

PgServer* g_server = nullptr;
std::string g_stop;
std::string g_folder;

void stopAtExit()
{
    if (g_stop.empty())
        return;
    [[maybe_unused]] const int status = std::system(g_stop.c_str());
    std::error_code ignored;
    std::filesystem::remove_all(g_folder, ignored);
    g_stop.clear();
}

} // namespace

PgServer* PgServer::instance(QString* error)
{
    static QString failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        auto server = std::unique_ptr<PgServer>(new PgServer);
        if (server->start(&failure))
            g_server = server.release();
    }
    if (!g_server && error)
        *error = QStringLiteral("PostgreSQL sınama sunucusu başlatılamadı: ") + failure;
    return g_server;
}

bool PgServer::start(QString* error)
{
    QTemporaryDir dir(QDir::temp().filePath(QStringLiteral("zv-pg-XXXXXX")));
    if (!dir.isValid()) {
        *error = QStringLiteral("geçici klasör açılamadı");
        return false;
    }
    dir.setAutoRemove(false);
    m_folder = dir.path();
    m_asPostgres = geteuid() == 0;
    if (m_asPostgres) {
        // The server refuses to run as root: the folder becomes the postgres user's.
        const passwd* user = getpwnam("postgres");
        if (!user || chown(QFile::encodeName(m_folder).constData(), user->pw_uid, user->pw_gid) != 0) {
            *error = QStringLiteral("%1 postgres kullanıcısına verilemedi").arg(m_folder);
            QDir(m_folder).removeRecursively();
            return false;
        }
    }
    // From here the folder (and soon the server) exists: both go when the program ends, however it ends.
    g_stop = stopCommand(m_folder, m_asPostgres);
    g_folder = m_folder.toStdString();
    std::atexit(stopAtExit);
    QProcess watcher;
    watcher.setProgram(QStringLiteral("sh"));
    watcher.setArguments({QStringLiteral("-c"),
                          QStringLiteral("while kill -0 %1 2>/dev/null; do sleep 1; done; %2; rm -rf '%3'")
                              .arg(QCoreApplication::applicationPid())
                              .arg(QString::fromStdString(g_stop), m_folder)});
    watcher.setStandardInputFile(QProcess::nullDevice());
    watcher.setStandardOutputFile(QProcess::nullDevice());
    watcher.setStandardErrorFile(QProcess::nullDevice());
    watcher.startDetached(&m_watcher);

    const QString data = m_folder + QStringLiteral("/data");
    if (!runTool(QStringLiteral("initdb"),
                 {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("postgres"), QStringLiteral("-A"),
                  QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C"),
                  QStringLiteral("--no-sync")},
                 m_asPostgres, error)) {
        QDir(m_folder).removeRecursively();
        return false;
    }
    // A port found free may be taken by another test program before the server binds it: try a few.
    QString reason;
    for (int attempt = 0; attempt < 5; ++attempt) {
        m_port = freePort();
        if (m_port != 0 && startOnPort(&reason))
            return true;
    }
    QFile log(m_folder + QStringLiteral("/server.log"));
    if (log.open(QIODevice::ReadOnly))
        reason += QString::fromLocal8Bit(log.readAll().right(2000));
    *error = reason;
    stopAtExit();
    return false;
}

bool PgServer::startOnPort(QString* error)
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off "
                                           "-c synchronous_commit=off -c full_page_writes=off")
                                .arg(m_port)
                                .arg(m_folder);
    return runTool(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-l"),
                    m_folder + QStringLiteral("/server.log"), QStringLiteral("-w"), QStringLiteral("-t"),
                    QStringLiteral("60"), QStringLiteral("-o"), options, QStringLiteral("start")},
                   m_asPostgres, error);
}

bool PgServer::stop(QString* error)
{
    return runTool(QStringLiteral("pg_ctl"),
                   {QStringLiteral("-D"), m_folder + QStringLiteral("/data"), QStringLiteral("-m"),
                    QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                   m_asPostgres, error);
}

bool PgServer::startAgain(QString* error)
{
    return startOnPort(error);
}

ServerSettings PgServer::maintenance() const
{
    ServerSettings settings;
    settings.host = QStringLiteral("127.0.0.1");
    settings.port = m_port;
    settings.name = QStringLiteral("postgres");
    settings.user = QStringLiteral("postgres");
    settings.sslmode = QStringLiteral("disable");
    return settings;
}

bool PgServer::createDatabase(ServerSettings* settings, QString* error)
{
    static std::atomic<int> counter {0};
    const QString name = QStringLiteral("zv_%1").arg(++counter);
    {
        const auto admin = Database::openServer(maintenance(), error);
        if (!admin || !admin->exec(QStringLiteral("CREATE DATABASE %1").arg(name), {}, error))
            return false;
    }
    *settings = maintenance();
    settings->name = name;
    return true;
}

} // namespace zelvora::test
