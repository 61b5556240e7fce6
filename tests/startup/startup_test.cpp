// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/schema.h"
#include "messagerecorder.h"
#include "pgserver.h"
#include "signin.h"
#include "startup/instancelock.h"
#include "startup/splashwindow.h"
#include "startup/startup.h"
#include "testdatabase.h"
#include "typing.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// Start-up on a program folder that holds the given file as veresiye.dll (or nothing).
struct BrokenFolder
{
    QTemporaryDir dir;
    explicit BrokenFolder(const QByteArray* content, const QString& sql = {})
    {
        AppConfig::setProgramFolder(dir.path());
        const QString path = QDir(dir.path()).filePath(QStringLiteral("veresiye.dll"));
        if (content) {
            QFile f(path);
            f.open(QIODevice::WriteOnly);
            f.write(*content);
        }
        if (!sql.isEmpty()) {
            auto db = Database::open(path);
            db->exec(sql);
        }
    }
    ~BrokenFolder() { AppConfig::setProgramFolder({}); }
};

bool anyTopLevelVisible()
{
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible())
            return true;
    return false;
}

} // namespace

TEST(StartupFailure, UnreadableDatabaseShowsTheEnginesMessageAndEnds)
{
    const QByteArray notADatabase("Bu bir veritabanı değil, sadece metin. Bu bir veritabanı değil, sadece metin.....");
    const QByteArray empty;
    struct Case
    {
        const char* what;
        const QByteArray* content;
        QString sql;
        QString message;
    };
    const Case cases[] = {
        {"missing", nullptr, {}, QStringLiteral("unable to open database file")},
        {"not a database", &notADatabase, {}, QStringLiteral("file is not a database")},
        {"no table surum", &empty, QStringLiteral("CREATE TABLE musteriler (id INTEGER)"),
         QStringLiteral("no such table: surum")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BrokenFolder folder(c.content, c.sql);
        test::MessageRecorder messages;
        Startup startup;
        EXPECT_FALSE(startup.start());
        EXPECT_NE(startup.exitCode(), 0);
        ASSERT_EQ(messages.messages().size(), 1);
        EXPECT_TRUE(messages.last().text.contains(c.message)) << messages.last().text.toStdString();
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
        EXPECT_FALSE(anyTopLevelVisible());
        EXPECT_EQ(startup.database(), nullptr);
    }
}

TEST(StartupSequence, SplashThenMainWindowWithTheList)
{
    test::TestDatabase t(QStringLiteral("2.1.0"));
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
    t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
    t.close();
    Startup startup;
    ASSERT_TRUE(startup.start());
    ASSERT_NE(startup.splash(), nullptr);
    EXPECT_TRUE(startup.splash()->isVisible());
    EXPECT_EQ(startup.splash()->versionText(), QStringLiteral("2.1.0"));
    EXPECT_EQ(startup.mainWindow(), nullptr);
    // The sign-in window is modal over the main window; look at the main window from inside it, then sign in.
    bool mainWindowShownUnderSignIn = false;
    int listed = -1;
    QTimer::singleShot(0, [&] {
        QWidget* login = QApplication::activeModalWidget();
        ASSERT_NE(login, nullptr);
        EXPECT_EQ(login->objectName(), QStringLiteral("frmLogin"));
        mainWindowShownUnderSignIn = startup.mainWindow() && startup.mainWindow()->isVisible();
        listed = startup.mainWindow() ? startup.mainWindow()->model()->rowCount() : -1;
        auto* names = login->findChild<QComboBox*>(QStringLiteral("nameList"));
        names->setCurrentIndex(names->findText(QStringLiteral("ADMIN")));
        test::typeText(login->findChild<QLineEdit*>(QStringLiteral("passwordBox")), QStringLiteral("1234"));
        login->findChild<LumButton*>(QStringLiteral("signInButton"))->click();
    });
    test::MessageRecorder messages;
    QTest::keyClick(startup.splash(), Qt::Key_Escape);
    EXPECT_TRUE(mainWindowShownUnderSignIn);
    EXPECT_EQ(listed, 1);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı ADMIN"));
    ASSERT_NE(startup.mainWindow(), nullptr);
    EXPECT_TRUE(startup.mainWindow()->isVisible());
    // The keyboard reaches the main window once the sign-in has closed.
    ZV_WAIT_UNTIL(QApplication::activeWindow() == startup.mainWindow());
    ZV_WAIT_UNTIL(startup.splash() == nullptr);
}

TEST(StartupSequence, TemporaryCopiesOfAKilledRestoreAreRemoved)
{
    test::TestDatabase t;
    t.close();
    const QDir folder(t.folder());
    const QStringList leftovers {QStringLiteral(".veresiye.dll.a1B2c3.tmp"),
                                 QStringLiteral(".veresiye.dll.Zz09xy.tmp-journal"),
                                 QStringLiteral(".veresiye.dll.Zz09xy.tmp-wal")};
    const QStringList others {QStringLiteral(".veresiye.dll.kalsin"), QStringLiteral("not.tmp"),
                              QStringLiteral("veresiye.dll")};
    for (const QString& name : leftovers + others) {
        if (name != QLatin1String("veresiye.dll")) {
            QFile file(folder.filePath(name));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
    }
    test::MessageRecorder messages;
    Startup startup;
    ASSERT_TRUE(startup.start());
    QStringList left = folder.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    left.removeAll(QStringLiteral("veresiye.lock"));
    EXPECT_EQ(left,
              (QStringList {QStringLiteral(".veresiye.dll.kalsin"), QStringLiteral("not.tmp"),
                            QStringLiteral("veresiye.dll")}));
}

TEST(SingleInstance, SecondLockFailsAndAStaleLockIsTakenOver)
{
    QTemporaryDir dir;
    const QString lockPath = QDir(dir.path()).filePath(QStringLiteral("veresiye.lock"));
    {
        InstanceLock first(lockPath);
        ASSERT_TRUE(first.acquire());
        EXPECT_TRUE(first.acquire());
        InstanceLock second(lockPath);
        EXPECT_FALSE(second.acquire());
    }
    // A lock left by a copy that no longer runs: pid that cannot exist on this host.
    QFile stale(lockPath);
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("2147483646\nzelvora\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    stale.close();
    InstanceLock third(lockPath);
    EXPECT_TRUE(third.acquire());
}

TEST(SingleInstance, SecondCopyOfTheProgramEndsAtOnceAndShowsNothing)
{
    test::TestDatabase t;
    t.close();
    const QString exe = QDir(t.folder()).filePath(QStringLiteral("zelvora"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELVORA_EXE), exe));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(exe, {});
    ASSERT_TRUE(first.waitForStarted());
    const QString lock = QDir(t.folder()).filePath(QStringLiteral("veresiye.lock"));
    ZV_WAIT_UNTIL_MS(QFile::exists(lock), 10000);

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(exe, {});
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(second.readAllStandardOutput().isEmpty());
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished();
}

TEST(Language, QtsOwnTextsAreTurkish)
{
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("t"),
                    QMessageBox::Ok | QMessageBox::Yes | QMessageBox::No);
    auto text = [&](QMessageBox::StandardButton b) { return box.button(b)->text().remove(QLatin1Char('&')); };
    EXPECT_EQ(text(QMessageBox::Ok), QStringLiteral("Tamam"));
    EXPECT_EQ(text(QMessageBox::Yes), QStringLiteral("Evet"));
    EXPECT_EQ(text(QMessageBox::No), QStringLiteral("Hayır"));
    EXPECT_EQ(QLocale().language(), QLocale::Turkish);
}

TEST(StartupSequence, AFileOfTheFirstVersionGetsTheCurrentIndexesAndKeepsItsRows)
{
    const auto objects = [](const Database& db) {
        QStringList names;
        QSqlQuery q = db.prepare(
            QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('index', 'trigger') AND sql IS NOT NULL "
                           "ORDER BY name"));
        Database::run(q);
        while (q.next())
            names << q.value(0).toString();
        return names;
    };
    QStringList current;
    {
        test::TestDatabase fresh;
        current = objects(fresh.db());
    }
    test::TestDatabase t;
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 1500, QDate(2026, 12, 1));
    t.makeVersion1();
    ASSERT_NE(objects(t.db()), current);
    t.close();

    Startup startup;
    QSignalSpy upgraded(&startup, &Startup::upgradeEnded);
    ASSERT_TRUE(startup.start());
    // The splash is up and says what is happening; it does not close (nor open the main window) before the
    // upgrade has ended, however it is asked to.
    ASSERT_NE(startup.splash(), nullptr);
    EXPECT_TRUE(startup.splash()->isVisible());
    EXPECT_EQ(startup.splash()->statusText(), QStringLiteral("Veri tabanı güncelleniyor…"));
    startup.splash()->startClosing();
    EXPECT_FALSE(startup.splash()->isClosing());
    bool mainWindowBeforeTheEnd = true;
    QObject::connect(&startup, &Startup::upgradeEnded, &startup,
                     [&] { mainWindowBeforeTheEnd = startup.mainWindow() != nullptr; });
    // The close asked for meanwhile comes once the upgrade has ended.
    test::skipSignInWhenShown();
    ZV_WAIT_UNTIL(upgraded.count() == 1);
    EXPECT_TRUE(upgraded.at(0).at(0).toBool());
    EXPECT_FALSE(mainWindowBeforeTheEnd);
    ZV_WAIT_UNTIL(startup.mainWindow() != nullptr);
    EXPECT_EQ(objects(*startup.database()), current);
    EXPECT_EQ(startup.database()->scalar(QStringLiteral("PRAGMA user_version")).toInt(), schema::kVersion);
    EXPECT_EQ(startup.database()->scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE mus_kodu = '1'")).toInt(),
              1500);
    // The list's totals are summed from the customers the file already holds.
    EXPECT_EQ(
        startup.database()->scalar(QStringLiteral("SELECT Bakiye FROM liste_toplami WHERE Turu = 'Alıcı'")).toInt(),
        1500);
}

TEST(SingleInstance, ALockFileThatCannotBeMadeIsReportedNotTakenForAnotherCopy)
{
    QTemporaryDir dir;
    const QString lockPath = QDir(dir.path()).filePath(QStringLiteral("yok/veresiye.lock"));
    InstanceLock lock(lockPath);
    EXPECT_FALSE(lock.acquire());
    EXPECT_FALSE(lock.heldByAnotherCopy());
}

namespace {

// zelvora.ini of the program folder with the given [database] section, read again.
void writeDatabaseSection(const QString& folder, const QString& section)
{
    QFile ini(QDir(folder).filePath(QStringLiteral("zelvora.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[database]\n" + section.toUtf8());
    ini.close();
    AppConfig::reload();
}

QString sectionFor(const ServerSettings& s)
{
    return QStringLiteral("engine=postgresql\nhost=%1\nport=%2\nname=%3\nuser=%4\nsslmode=disable\n")
        .arg(s.host)
        .arg(s.port)
        .arg(s.name, s.user);
}

} // namespace

// A server that cannot be reached, one without the ledger, or settings that name none: a message that says
// which and why, status 1, and no window.
TEST(StartupOnServer, AServerWithoutTheLedgerIsReportedAndTheProgramEnds)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int closedPort = probe.serverPort();
    probe.close();
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    ASSERT_NE(server, nullptr) << error.toStdString();
    ServerSettings empty;
    ASSERT_TRUE(server->createDatabase(&empty, &error)) << error.toStdString();
    struct Case
    {
        const char* what;
        QString section;
        QStringList said;
    };
    const Case cases[] = {
        {"closed port",
         QStringLiteral("engine=postgresql\nhost=127.0.0.1\nport=%1\nsslmode=disable\n").arg(closedPort),
         {QStringLiteral("sunucusuna bağlanılamadı (127.0.0.1:%1)").arg(closedPort), QStringLiteral("refused")}},
        {"empty database", sectionFor(empty), {QStringLiteral("defter yok"), QStringLiteral("zelvora --init-server")}},
        {"unknown engine", QStringLiteral("engine=oracle\n"), {QStringLiteral("engine=oracle tanınmıyor")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        AppConfig::setProgramFolder(folder.path());
        writeDatabaseSection(folder.path(), c.section);
        test::MessageRecorder messages;
        {
            Startup startup;
            EXPECT_FALSE(startup.start());
            EXPECT_EQ(startup.exitCode(), 1);
            EXPECT_EQ(startup.database(), nullptr);
        }
        ASSERT_EQ(messages.messages().size(), 1);
        for (const QString& text : c.said)
            EXPECT_TRUE(messages.last().text.contains(text)) << messages.last().text.toStdString();
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
        EXPECT_FALSE(anyTopLevelVisible());
        EXPECT_FALSE(QFile::exists(AppConfig::databasePath())); // no file is made beside the program
        AppConfig::setProgramFolder({});
    }
}

// With the ledger on the server the program starts as with the file: splash, sign-in, the server's customers.
TEST(StartupOnServer, SplashThenMainWindowWithTheServersList)
{
    test::TestDatabase t(Engine::PostgreSQL, QStringLiteral("3.0.0"));
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
    t.addCustomer(QStringLiteral("2"), QStringLiteral("Çağrı"));
    t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
    writeDatabaseSection(t.folder(), sectionFor(t.target().server));
    Startup startup;
    ASSERT_TRUE(startup.start());
    ASSERT_NE(startup.database(), nullptr);
    EXPECT_TRUE(startup.database()->isServer());
    EXPECT_EQ(startup.splash()->versionText(), QStringLiteral("3.0.0"));
    int listed = -1;
    QTimer::singleShot(0, [&] {
        QWidget* login = QApplication::activeModalWidget();
        ASSERT_NE(login, nullptr);
        listed = startup.mainWindow() ? startup.mainWindow()->model()->rowCount() : -1;
        auto* names = login->findChild<QComboBox*>(QStringLiteral("nameList"));
        names->setCurrentIndex(names->findText(QStringLiteral("ADMIN")));
        test::typeText(login->findChild<QLineEdit*>(QStringLiteral("passwordBox")), QStringLiteral("1234"));
        login->findChild<LumButton*>(QStringLiteral("signInButton"))->click();
    });
    test::MessageRecorder messages;
    QTest::keyClick(startup.splash(), Qt::Key_Escape);
    EXPECT_EQ(listed, 2);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı ADMIN"));
    // The background upkeep, on its own connection to the server, gives the rows written without keys theirs.
    ZV_WAIT_EQ(CustomerStore(t.db()).missingNameKeys(10), 0);
    EXPECT_FALSE(QFile::exists(AppConfig::databasePath()));
}
