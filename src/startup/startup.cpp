#include "startup/startup.h"

#include "app/messagebox.h"
#include "backup/filecopy.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/database.h"
#include "data/schema.h"
#include "startup/instancelock.h"
#include "startup/loginwindow.h"
#include "startup/splashwindow.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

namespace zelvora {

namespace {

Startup* g_instance = nullptr;

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
}

Startup::~Startup()
{
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
    // A restore killed mid-way leaves its temporary copy beside the database; only this copy, holding the
    // lock, can be the one that made it.
    FileCopy::removeLeftovers(AppConfig::databasePath());
    if (!m_db) {
        m_db = Database::open(AppConfig::databasePath(), &error);
        // A file from an earlier version gets the indexes this one relies on for speed. Without them
        // everything still works, only slower, so a file that cannot take them (read-only, locked) is used
        // as it is.
        QString upgradeError;
        if (m_db && !schema::upgrade(*m_db, &upgradeError))
            qWarning("Veri tabanı dizinleri güncellenemedi: %s", qPrintable(upgradeError));
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
    return true;
}

void Startup::onSplashClosing()
{
    m_mainWindow = new MainWindow(*m_db);
    m_mainWindow->setAttribute(Qt::WA_DeleteOnClose);
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
    // Signed in: the main window comes to the front and reads its list again.
    if (m_mainWindow && login.result() == QDialog::Accepted)
        m_mainWindow->onActivated();
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
