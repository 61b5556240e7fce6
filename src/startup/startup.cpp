// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/startup.h"

#include "app/messagebox.h"
#include "backup/filecopy.h"
#include "backup/programexit.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/database.h"
#include "data/schema.h"
#include "startup/instancelock.h"
#include "startup/loginwindow.h"
#include "startup/splashwindow.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QTableView>
#include <QTimer>
#include <cstdio>

#ifdef Q_OS_LINUX
#include <ctime>
#include <unistd.h>
#endif

namespace zelvora {

namespace {

Startup* g_instance = nullptr;

// Milliseconds since the kernel started this process, or -1. The start time comes in clock ticks (10 ms) and
// is cut down to a whole tick, so the figure may be up to a tick too high, never too low.
qint64 msSinceProcessStart()
{
#ifdef Q_OS_LINUX
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The program's name, in parentheses, may hold blanks: the start time is the 20th field after it.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    bool ok = false;
    const qint64 ticks = fields.value(19).toLongLong(&ok);
    timespec now {};
    if (!ok || ::clock_gettime(CLOCK_BOOTTIME, &now) != 0)
        return -1;
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000 - ticks * 1000 / ::sysconf(_SC_CLK_TCK);
#else
    return -1;
#endif
}

// The start-up benchmark's probe (ZELVORA_BENCH_STARTUP). The splash closes at once; when the customer grid
// has painted its first screen under the sign-in window, the program prints the milliseconds since the process
// started and ends with status 0. Through the sign-in, the sign-in window is then accepted as a correct
// password would (no check), and the time is taken once the main window's reload after it has painted the grid.
class StartupProbe final : public QObject
{
public:
    StartupProbe(Startup& startup, bool throughSignIn)
        : QObject(&startup)
        , m_startup(startup)
        , m_throughSignIn(throughSignIn)
    {
        QTimer::singleShot(0, this, [this] {
            if (SplashWindow* splash = m_startup.splash())
                splash->startClosing();
        });
        connect(&startup, &Startup::mainWindowShown, this, [this](MainWindow* window) {
            // The list is read by now: the next paint of the grid shows its rows.
            window->findChild<QTableView*>(QStringLiteral("customerGrid"))->viewport()->installEventFilter(this);
            m_armed = true;
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && m_armed) {
            m_armed = false;
            // Runs once this paint is done.
            QTimer::singleShot(0, this, [this] { gridPainted(); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void gridPainted()
    {
        if (m_throughSignIn && !m_signedIn) {
            signInAtOnce();
            return;
        }
        std::printf("%lld\n", static_cast<long long>(msSinceProcessStart()));
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    void signInAtOnce()
    {
        MainWindow* window = m_startup.mainWindow();
        auto* login = window ? window->findChild<LoginWindow*>() : nullptr;
        if (!login) {
            std::fputs("Kullanıcı giriş penceresi açık değil.\n", stderr);
            QCoreApplication::exit(1);
            return;
        }
        m_signedIn = true;
        connect(
            window, &MainWindow::listReloaded, this, [this] { m_armed = true; }, Qt::SingleShotConnection);
        emit login->signedIn();
        login->accept();
    }

    Startup& m_startup;
    const bool m_throughSignIn;
    bool m_armed = false;
    bool m_signedIn = false;
};

class SplashProbe final : public QObject
{
public:
    explicit SplashProbe(Startup& startup)
        : QObject(&startup)
        , m_startup(startup)
    {
        QTimer::singleShot(0, this, [this] {
            if (SplashWindow* splash = m_startup.splash()) {
                splash->installEventFilter(this);
                splash->update();
            }
        });
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_painted) {
            m_painted = true;
            watched->removeEventFilter(this);
            QTimer::singleShot(0, this, [] {
                std::printf("%lld\n", static_cast<long long>(msSinceProcessStart()));
                std::fflush(stdout);
                // Ending joins an upgrade still running.
                QCoreApplication::exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Startup& m_startup;
    bool m_painted = false;
};

} // namespace

Startup::Startup(QObject* parent)
    : QObject(parent)
{
    g_instance = this;
    // For the package test: with ZELVORA_QUIT_ON_MAIN_WINDOW set, the program prints the main window's name
    // and ends with status 0 as soon as the main window stands (the sign-in window has just opened over it).
    if (qEnvironmentVariableIsSet("ZELVORA_QUIT_ON_MAIN_WINDOW")) {
        connect(this, &Startup::mainWindowShown, this, [this](MainWindow* window) {
            std::printf("%s\n", qPrintable(window->objectName()));
            std::fflush(stdout);
            QTimer::singleShot(0, this, [] { QCoreApplication::exit(0); });
        });
    }
    // For the start-up benchmark: "grid" or "signed-in", see StartupProbe; "splash": once the splash has
    // painted, the milliseconds since the process started are printed, and the program ends once an upgrade
    // of the file running meanwhile has ended.
    const QByteArray probe = qgetenv("ZELVORA_BENCH_STARTUP");
    if (probe == "grid" || probe == "signed-in")
        new StartupProbe(*this, probe == "signed-in");
    else if (probe == "splash")
        new SplashProbe(*this);
}

Startup::~Startup()
{
    if (m_upgrade.joinable())
        m_upgrade.join();
    delete m_mainWindow.data();
    delete m_splash.data();
    if (g_instance == this)
        g_instance = nullptr;
}

Startup* Startup::instance()
{
    return g_instance;
}

MainWindow* Startup::mainWindow() const
{
    return m_mainWindow;
}

SplashWindow* Startup::splash() const
{
    return m_splash;
}

bool Startup::start()
{
    // Installed: the user's data folder holds the database and the lock; the first start makes it.
    QString error;
    if (!AppConfig::prepareProgramFolder(&error)) {
        MessageBox::ok(nullptr, error, QString(), MessageBox::Icon::Stop);
        m_exitCode = 1;
        return false;
    }
    if (!m_lock)
        m_lock = std::make_unique<InstanceLock>(AppConfig::lockFilePath());
    if (!m_lock->acquire()) {
        if (m_lock->heldByAnotherCopy()) {
            // Another copy works on this database: end silently.
            m_exitCode = 0;
            return false;
        }
        MessageBox::ok(nullptr, QStringLiteral("Kilit dosyası oluşturulamadı: ") + AppConfig::lockFilePath(), QString(),
                       MessageBox::Icon::Stop);
        m_lock.reset();
        m_exitCode = 1;
        return false;
    }
    if (!m_db && !openDatabase(&error)) {
        MessageBox::ok(nullptr, error, QString(), MessageBox::Icon::Stop);
        m_exitCode = 1;
        return false;
    }
    auto splash = m_db ? std::make_unique<SplashWindow>(*m_db) : nullptr;
    if (!splash || !splash->readVersion(&error)) {
        MessageBox::ok(nullptr, error, QString(), MessageBox::Icon::Stop);
        m_db.reset();
        m_exitCode = 1;
        return false;
    }
    m_splash = splash.release();
    connect(m_splash, &SplashWindow::closing, this, &Startup::onSplashClosing);
    m_splash->show();
    m_splash->activateWindow();
    m_splash->setFocus();
    if (schema::needsUpgrade(*m_db))
        startUpgrade();
    return true;
}

bool Startup::openDatabase(QString* error)
{
    if (const QString wrong = AppConfig::databaseSettingsError(); !wrong.isEmpty()) {
        *error = wrong;
        return false;
    }
    if (AppConfig::databaseEngine() == Engine::PostgreSQL) {
        // The ledger on a server: no file beside the program, nothing of a file's upkeep.
        const ServerSettings server = AppConfig::serverSettings();
        QString reason;
        m_db = Database::openServer(server, &reason);
        if (!m_db) {
            *error = QStringLiteral("Veri tabanı sunucusuna bağlanılamadı (%1):\n%2").arg(server.address(), reason);
            return false;
        }
        const QStringList tables = m_db->tableNames(&reason);
        if (!tables.contains(QStringLiteral("musteriler")) || !tables.contains(QStringLiteral("surum"))) {
            *error = reason.isEmpty()
                ? QStringLiteral("Sunucudaki veri tabanında (%1, %2) defter yok. Defteri kurmak "
                                 "için: zelvora --init-server")
                      .arg(server.address(), server.name)
                : QStringLiteral("Sunucudaki veri tabanı okunamadı (%1):\n%2").arg(server.address(), reason);
            m_db.reset();
            return false;
        }
        return true;
    }
    // A restore killed mid-way leaves its temporary copy beside the database; only this copy, holding the
    // lock, can be the one that made it.
    FileCopy::removeLeftovers(AppConfig::databasePath());
    m_db = Database::open(AppConfig::databasePath(), error);
    return m_db != nullptr;
}

void Startup::startUpgrade()
{
    // A file from an earlier version gets the indexes this one relies on for speed. On a large file this takes
    // seconds: it runs on a thread with its own connection while the splash says so and keeps painting, and the
    // main window opens once it has ended. Without the indexes everything still works, only slower, so a file
    // that cannot take them (read-only, locked) is used as it is.
    m_splash->holdOpen(QStringLiteral("Veri tabanı güncelleniyor…"));
    m_upgrade = std::thread([this, target = m_db->target()] {
        QString error;
        const auto db = Database::open(target, &error);
        const bool done = db && schema::upgrade(*db, &error);
        QMetaObject::invokeMethod(
            this, [this, done, error] { onUpgradeEnded(done, error); }, Qt::QueuedConnection);
    });
}

void Startup::onUpgradeEnded(bool done, const QString& error)
{
    if (m_upgrade.joinable())
        m_upgrade.join();
    if (!done)
        qWarning("Veri tabanı dizinleri güncellenemedi: %s", qPrintable(error));
    emit upgradeEnded(done);
    if (m_splash)
        m_splash->letGo();
}

void Startup::onSplashClosing()
{
    m_mainWindow = new MainWindow(*m_db);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
    m_mainWindow->setRestoreHooks({[this] { releaseDatabase(); },
                                   [this] {
                                       if (!restart())
                                           ProgramExit::end(m_exitCode);
                                   }});
    m_mainWindow->show();
    // The first activation may come later from the window system; the list must be there at once.
    m_mainWindow->onActivated();
    emit mainWindowShown(m_mainWindow);
    signIn();
    if (m_splash)
        m_splash->deleteLater();
}

void Startup::signIn()
{
    if (!m_mainWindow || !m_db)
        return;
    LoginWindow login(*m_db, m_mainWindow);
    QString error;
    if (!login.load(&error)) {
        MessageBox::ok(m_mainWindow, error, QString(), MessageBox::Icon::Stop);
        endProgram(1);
        return;
    }
    connect(&login, &LoginWindow::signedIn, m_mainWindow.data(), &MainWindow::runControlStateRule);
    connect(&login, &LoginWindow::exitRequested, this, [this] { endProgram(0); });
    login.exec();
    // Signed in: the main window comes to the front and reads its list again. It is activated here: not every
    // window manager hands the activation back once the sign-in has closed, and the keyboard would reach nothing.
    if (m_mainWindow && login.result() == QDialog::Accepted) {
        m_mainWindow->raise();
        m_mainWindow->activateWindow();
        m_mainWindow->onActivated();
    }
}

void Startup::endProgram(int exitCode)
{
    m_exitCode = exitCode;
    if (m_mainWindow)
        m_mainWindow->close();
    QCoreApplication::exit(exitCode);
}

void Startup::releaseDatabase()
{
    if (m_mainWindow) {
        m_mainWindow->setAttribute(Qt::WA_DeleteOnClose, false);
        m_mainWindow->close();
        delete m_mainWindow.data();
    }
    m_db.reset();
}

bool Startup::restart()
{
    releaseDatabase();
    return start();
}

} // namespace zelvora
