// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>
#include <thread>

namespace zelvora {

class Database;
class InstanceLock;
class MainWindow;
class SplashWindow;

// The program's start-up: one instance, the database opened, the splash, then the main window.
// A restore runs it again on the restored file.
class Startup final : public QObject
{
    Q_OBJECT

public:
    explicit Startup(QObject* parent = nullptr);
    ~Startup() override;
    Q_DISABLE_COPY_MOVE(Startup)

    // Loads the splash. False when the program must end now; exitCode() then says how.
    bool start();
    int exitCode() const { return m_exitCode; }

    // Closes the main window and the database file, so the file can be replaced.
    void releaseDatabase();
    // Shows the splash again; the whole start-up runs anew on the file as it is now.
    bool restart();

    Database* database() const { return m_db.get(); }
    MainWindow* mainWindow() const;
    SplashWindow* splash() const;

    // The one running start-up (for windows that must restart the program).
    static Startup* instance();

signals:
    // The splash has closed and the main window is shown.
    void mainWindowShown(zelvora::MainWindow* window);
    // The upgrade of a file from an earlier version has ended (done: it took).
    void upgradeEnded(bool done);

private:
    void onSplashClosing();
    // Opens the ledger zelvora.ini names (the file, or the server); false with a message for the user.
    bool openDatabase(QString* error);
    void startUpgrade();
    void onUpgradeEnded(bool done, const QString& error);
    void signIn();
    // Closes the main window and leaves the event loop: the program ends at once, nothing stored.
    void endProgram(int exitCode);

    std::unique_ptr<InstanceLock> m_lock;
    std::unique_ptr<Database> m_db;
    QPointer<SplashWindow> m_splash;
    QPointer<MainWindow> m_mainWindow;
    int m_exitCode = 0;
    std::thread m_upgrade;
};

} // namespace zelvora
