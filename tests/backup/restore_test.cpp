// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filedialog.h"
#include "backup/copyfilewindow.h"
#include "backupfixture.h"
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/customerstore.h"
#include "data/schema.h"
#include "signin.h"
#include "startup/splashwindow.h"
#include "startup/startup.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sqlite3.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

LumButton* button(const QWidget* window, const char* name)
{
    return window->findChild<LumButton*>(QLatin1String(name));
}

QWidget* part(const QWidget* window, const char* name)
{
    return window->findChild<QWidget*>(QLatin1String(name));
}

CopyFileWindow* openRestoreFromMenu(MainWindow& main)
{
    main.findChild<QAction*>(QStringLiteral("restoreBackupAction"))->trigger();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CopyFileWindow*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

// The bytes of a database file after the statements ran on a copy of it.
QByteArray altered(const QByteArray& bytes, const char* sql)
{
    QTemporaryDir dir;
    const QString path = QDir(dir.path()).filePath(QStringLiteral("f.ydk"));
    writeBytes(path, bytes);
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    char* message = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, &message), SQLITE_OK) << (message ? message : "");
    sqlite3_free(message);
    sqlite3_close(db);
    return readBytes(path);
}

// Every row of a query on a file, each row's values joined by '|'.
QStringList rowsOf(const QString& path, const char* sql)
{
    QStringList rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(sqlite3_prepare_v2(db, sql, -1, &statement, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        QStringList values;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            values.append(text ? QString::fromUtf8(text) : QStringLiteral("NULL"));
        }
        rows.append(values.join(QLatin1Char('|')));
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

// What a restore carries over: the rows of the program's tables, the computed columns aside.
QStringList ledgerOf(const QString& path)
{
    return rowsOf(path,
                  "SELECT 'm', id, mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, Adres, vd, vdn, "
                  "Bakiye, Sonislem FROM musteriler")
        + rowsOf(path, "SELECT 'v', * FROM veresiye") + rowsOf(path, "SELECT 'u', rowid, * FROM \"User\"")
        + rowsOf(path, "SELECT 's', rowid, * FROM son_musterino") + rowsOf(path, "SELECT 'b', rowid, * FROM birimler")
        + rowsOf(path, "SELECT 'r', rowid, * FROM surum");
}

const QString kRefusal = QStringLiteral("Seçilen dosya bu programın geçerli bir yedek dosyası değil. "
                                        "Mevcut verileriniz değiştirilmedi.");

class RestoreWindow : public BackupTest
{
protected:
    // A backup holding only "Ayşe", and a database that has gained "Mehmet" since.
    QString makeBackup()
    {
        t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
        t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
        const QString backup = QDir(t.folder()).filePath(QStringLiteral("dun.ydk"));
        writeBytes(backup, readBytes(t.path()));
        t.addCustomer(QStringLiteral("2"), QStringLiteral("Mehmet"));
        return backup;
    }
};

} // namespace

TEST_F(RestoreWindow, ConfirmationComesFirstAndNoLeavesTheProgramAsItWas)
{
    MainWindow main(t.db());
    main.show();
    QPointer<CopyFileWindow> window = openRestoreFromMenu(main);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Yedekten Geri Yükleme İşlemleri"));
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->isRestoreMode());
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("modeMarker"))->text(), QStringLiteral("11"));
    EXPECT_TRUE(part(window, "confirmPanel")->isVisible());
    EXPECT_TRUE(part(window, "restorePanel")->isVisible());
    EXPECT_FALSE(part(window, "backupPanel")->isVisible());
    EXPECT_FALSE(part(window, "progressBar")->isVisible());
    EXPECT_FALSE(button(window, "restoreButton")->isEnabled());
    EXPECT_FALSE(button(window, "browseSourceButton")->isEnabled()); // not before the question is answered
    EXPECT_TRUE(window->findChild<QLineEdit*>(QStringLiteral("sourceBox"))->text().isEmpty());
    EXPECT_TRUE(window->findChild<QLineEdit*>(QStringLiteral("targetBox"))->text().isEmpty());

    button(window, "noButton")->click();
    ZV_WAIT_UNTIL(window.isNull());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(ends, 0);
}

TEST_F(RestoreWindow, YesClosesTheMainWindowAndOnlyAPickedFileEnablesTheRestore)
{
    MainWindow main(t.db());
    main.show();
    QPointer<CopyFileWindow> window = openRestoreFromMenu(main);
    ASSERT_TRUE(window);
    button(window, "yesButton")->click();
    EXPECT_FALSE(part(window, "confirmPanel")->isVisible());
    EXPECT_FALSE(main.isVisible());

    EXPECT_TRUE(button(window, "browseSourceButton")->isEnabled());
    FileDialog::setNextAnswer(QString()); // cancelled
    button(window, "browseSourceButton")->click();
    EXPECT_FALSE(button(window, "restoreButton")->isEnabled());

    const QString backup = QDir(backupFolder()).filePath(QStringLiteral("Veresiye_Yedek_04-03-09.ydk"));
    FileDialog::setNextAnswer(backup);
    button(window, "browseSourceButton")->click();
    EXPECT_TRUE(button(window, "restoreButton")->isEnabled());
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("sourceBox"))->text(), QDir::toNativeSeparators(backup));
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("targetBox"))->text(), AppConfig::databasePath());

    button(window, "cancelRestoreButton")->click();
    EXPECT_EQ(ends, 1);
    delete window.data();
}

TEST_F(RestoreWindow, RestoredFileIsWhatTheProgramShowsAfterItsSplash)
{
    const QString backup = makeBackup();
    t.close();
    Startup startup;
    ASSERT_TRUE(startup.start());
    test::skipSignInWhenShown();
    startup.splash()->startClosing();
    ASSERT_TRUE(startup.mainWindow());
    EXPECT_EQ(startup.mainWindow()->model()->rowCount(), 2);

    QPointer<CopyFileWindow> window = openRestoreFromMenu(*startup.mainWindow());
    ASSERT_TRUE(window);
    button(window, "yesButton")->click();
    EXPECT_FALSE(startup.mainWindow());
    EXPECT_FALSE(startup.database());
    const QByteArray before = readBytes(t.path());
    FileDialog::setNextAnswer(backup);
    button(window, "browseSourceButton")->click();
    button(window, "restoreButton")->click();

    ASSERT_EQ(messages.messages().size(), 2);
    EXPECT_EQ(messages.messages().at(0).text,
              AppConfig::databasePath()
                  + QStringLiteral("\n\nDosyası zaten var. Varolan dosya ile değiştirilsin mi? "));
    EXPECT_EQ(messages.last().text, AppConfig::databasePath() + QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI"));
    EXPECT_EQ(messages.last().title, QStringLiteral("BİLGİ"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
    // The backup's rows, before the restarted program's first writes reach the file.
    EXPECT_EQ(ledgerOf(t.path()), ledgerOf(backup));
    EXPECT_EQ(rowsOf(t.path(), "SELECT count(*) FROM musteriler"), QStringList {QStringLiteral("1")});
    ZV_WAIT_UNTIL(window.isNull());

    // The replaced database is kept, so a wrong restore can be undone.
    EXPECT_EQ(
        readBytes(QDir(backupFolder()).filePath(QStringLiteral("Veresiye_GeriYukleme_Oncesi_05-03-09_14-05-09.ydk"))),
        before);
    EXPECT_EQ(
        filesIn(t.folder()),
        (QStringList {QStringLiteral("dun.ydk"), QStringLiteral("veresiye.dll"), QStringLiteral("veresiye.lock")}));

    ASSERT_TRUE(startup.splash());
    EXPECT_TRUE(startup.splash()->isVisible());
    test::skipSignInWhenShown();
    startup.splash()->startClosing();
    ASSERT_TRUE(startup.mainWindow());
    CustomerListModel* model = startup.mainWindow()->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->customerAt(0)->musteriFirma, QStringLiteral("Ayşe"));
    EXPECT_EQ(ends, 0);
}

TEST_F(RestoreWindow, ABackupMadeByTheFirstVersionIsRestoredWithTheCurrentSchema)
{
    const QString good = makeBackup();
    t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 2500"));
    const QString chosen = QDir(t.folder()).filePath(QStringLiteral("eski.ydk"));
    writeBytes(
        chosen,
        altered(readBytes(good),
                "DROP INDEX musteriler_ad_sirasi; DROP INDEX musteriler_anahtarsiz; DROP INDEX "
                "musteriler_gun_farki; DROP INDEX veresiye_toplam; DROP TRIGGER liste_toplami_ekle; DROP "
                "TRIGGER liste_toplami_sil; DROP TRIGGER liste_toplami_degisti; DROP TABLE liste_toplami; "
                "CREATE INDEX musteriler_sira ON musteriler (sira_anahtari, id); CREATE INDEX "
                "musteriler_arama ON musteriler (arama_anahtari); ALTER TABLE musteriler DROP COLUMN KrediLimiti; "
                "ALTER TABLE veresiye DROP COLUMN Kullanici; ALTER TABLE veresiye DROP COLUMN Kayit; "
                "UPDATE musteriler SET Bakiye = 700; "
                "PRAGMA user_version = 1;"));
    t.close();
    {
        CopyFileWindow window;
        window.setModeMarker(CopyFileWindow::RestoreMarker);
        FileDialog::setNextAnswer(chosen);
        button(&window, "browseSourceButton")->click();
        button(&window, "restoreButton")->click();
        ASSERT_FALSE(messages.messages().isEmpty());
        EXPECT_EQ(messages.last().text, AppConfig::databasePath() + QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI"));
    }
    EXPECT_EQ(ledgerOf(t.path()), ledgerOf(chosen));

    Startup startup;
    ASSERT_TRUE(startup.start());
    const Database& db = *startup.database();
    EXPECT_EQ(db.scalar(QStringLiteral("PRAGMA user_version")).toInt(), schema::kVersion);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM pragma_table_info('veresiye') WHERE name IN "
                                       "('Kullanici', 'Kayit')"))
                  .toInt(),
              2);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('musteriler_sira', "
                                       "'musteriler_arama')"))
                  .toInt(),
              0);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name IN ('musteriler_ad_sirasi', "
                                       "'musteriler_gun_farki', 'veresiye_toplam', 'liste_toplami_degisti')"))
                  .toInt(),
              4);
    EXPECT_EQ(db.scalar(QStringLiteral("SELECT Bakiye FROM liste_toplami WHERE Turu = 'Alıcı'")).toInt(), 700);
}

TEST_F(RestoreWindow, RefusesAFileThatIsNotADatabaseOfThisProgram)
{
    const QString good = makeBackup();
    const QString chosen = QDir(t.folder()).filePath(QStringLiteral("secilen.ydk"));
    {
        // Another program's SQLite file.
        QSqlDatabase foreign = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        foreign.setDatabaseName(QDir(t.folder()).filePath(QStringLiteral("baska.ydk")));
        ASSERT_TRUE(foreign.open());
        QSqlQuery(foreign).exec(QStringLiteral("CREATE TABLE musteriler (id INTEGER PRIMARY KEY, ad TEXT)"));
        foreign.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    QByteArray damaged = readBytes(good);
    for (qsizetype i = damaged.size() / 2; i < damaged.size(); ++i)
        damaged[i] = static_cast<char>(i * 13);
    QByteArray unwritable = readBytes(good);
    unwritable[18] = 5; // a write version SQLite will not write
    struct Case
    {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"text, not a database", QByteArray("Bu bir veri tabani degil.\n").repeated(200)},
        {"another program's database", readBytes(QDir(t.folder()).filePath(QStringLiteral("baska.ydk")))},
        {"damaged database", damaged},
        {"the six tables with other columns",
         altered({},
                 "CREATE TABLE musteriler (a); CREATE TABLE veresiye (a); CREATE TABLE \"User\" (a);"
                 "CREATE TABLE son_musterino (a); CREATE TABLE birimler (a); CREATE TABLE surum (a);"
                 "INSERT INTO \"User\" VALUES (1); INSERT INTO surum VALUES (1);")},
        {"no user", altered(readBytes(good), "DELETE FROM \"User\"")},
        {"no version row", altered(readBytes(good), "DELETE FROM surum")},
        {"musteriler without Bakiye",
         altered(readBytes(good),
                 "DROP TRIGGER liste_toplami_ekle; DROP TRIGGER liste_toplami_sil; DROP TRIGGER liste_toplami_degisti;"
                 "DROP INDEX musteriler_turu_bakiye; DROP INDEX musteriler_tahsilat; "
                 "ALTER TABLE musteriler DROP COLUMN Bakiye")},
        {"a column the program never fills is required",
         altered(readBytes(good),
                 "ALTER TABLE veresiye RENAME TO eski;"
                 "CREATE TABLE veresiye (id INTEGER PRIMARY KEY, mus_kodu TEXT, Tarih, Saat, Aciklama,"
                 " Miktar, Birim, KDV, Eklenen, Odenen, Kasa TEXT NOT NULL)")},
        {"header byte 18 set to 5", unwritable},
    };
    t.close();
    const QByteArray before = readBytes(t.path());
    // Names in another letter case and other declared types are still the program's columns.
    {
        SCOPED_TRACE("names in capitals, other types");
        writeBytes(chosen,
                   altered(readBytes(good),
                           "ALTER TABLE musteriler RENAME COLUMN Bakiye TO BAKIYE;"
                           "CREATE TABLE b (BIRIMADI VARCHAR(40) NOT NULL);"
                           "INSERT INTO b SELECT * FROM birimler; DROP TABLE birimler;"
                           "ALTER TABLE b RENAME TO BIRIMLER;"));
        CopyFileWindow window;
        window.setModeMarker(CopyFileWindow::RestoreMarker);
        FileDialog::setNextAnswer(chosen);
        button(&window, "browseSourceButton")->click();
        button(&window, "restoreButton")->click();
        ASSERT_FALSE(messages.messages().isEmpty());
        EXPECT_EQ(messages.last().text, AppConfig::databasePath() + QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI"));
        EXPECT_EQ(ledgerOf(t.path()), ledgerOf(chosen));
        writeBytes(t.path(), before);
        QDir(backupFolder()).removeRecursively();
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(chosen, c.bytes);
        messages.clear();
        t.close();
        CopyFileWindow window;
        window.setModeMarker(CopyFileWindow::RestoreMarker);
        FileDialog::setNextAnswer(chosen);
        button(&window, "browseSourceButton")->click();
        button(&window, "restoreButton")->click();
        ASSERT_EQ(messages.messages().size(), 2); // the replace question, then the refusal with its reason
        EXPECT_TRUE(messages.last().text.startsWith(kRefusal + QStringLiteral("\n\n")))
            << messages.last().text.toStdString();
        EXPECT_EQ(messages.last().title, QStringLiteral("DİKKAT!"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
        EXPECT_EQ(readBytes(t.path()), before);
        EXPECT_TRUE(filesIn(backupFolder()).isEmpty());
        EXPECT_EQ(filesIn(t.folder()),
                  (QStringList {QStringLiteral("baska.ydk"), QStringLiteral("dun.ydk"), QStringLiteral("secilen.ydk"),
                                QStringLiteral("veresiye.dll")}));
    }
}

TEST_F(RestoreWindow, AsksTheOpenerToLetGoOfTheDatabaseFirstAndToStartOverAfter)
{
    // The window knows nothing of the start-up: none runs here, and it calls what its opener handed it, in order.
    ASSERT_EQ(Startup::instance(), nullptr);
    const QString backup = makeBackup();
    t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 2500"));
    const QStringList before = ledgerOf(t.path());
    t.close();
    QStringList calls;
    QStringList ledgerAtRelease, ledgerAtStartOver;
    RestoreHooks hooks;
    hooks.releaseDatabase = [&] {
        calls << QStringLiteral("release");
        ledgerAtRelease = ledgerOf(t.path());
    };
    hooks.startOver = [&] {
        calls << QStringLiteral("startOver");
        ledgerAtStartOver = ledgerOf(t.path());
    };
    CopyFileWindow window(nullptr, nullptr, hooks);
    window.setModeMarker(CopyFileWindow::RestoreMarker);
    FileDialog::setNextAnswer(backup);
    button(&window, "browseSourceButton")->click();
    button(&window, "restoreButton")->click();
    // Choosing the file let go of the database already; the restore asks again before it replaces it.
    ASSERT_GE(calls.size(), 2);
    EXPECT_EQ(calls.last(), QStringLiteral("startOver"));
    EXPECT_EQ(calls.count(QStringLiteral("startOver")), 1);
    EXPECT_EQ(ledgerAtRelease, before);
    EXPECT_EQ(ledgerAtStartOver, ledgerOf(backup));
    EXPECT_NE(ledgerAtStartOver, before);
}

TEST_F(RestoreWindow, NoRestoreWhenTheCurrentDatabaseCannotBeKeptFirst)
{
    const QString backup = makeBackup();
    t.close();
    const QByteArray before = readBytes(t.path());
    CopyFileWindow window;
    window.setModeMarker(CopyFileWindow::RestoreMarker);
    QDir(backupFolder()).removeRecursively();
    writeBytes(backupFolder(), "klasor degil"); // the backup folder cannot be made
    FileDialog::setNextAnswer(backup);
    button(&window, "browseSourceButton")->click();
    button(&window, "restoreButton")->click();
    ASSERT_EQ(messages.messages().size(), 2);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Mevcut veri tabanı yedeklenemediği için geri yükleme yapılmadı. "
                             "Mevcut verileriniz değiştirilmedi."));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(readBytes(t.path()), before);
    EXPECT_EQ(
        filesIn(t.folder()),
        (QStringList {QStringLiteral("VeresiyeYedekleri"), QStringLiteral("dun.ydk"), QStringLiteral("veresiye.dll")}));
}

TEST_F(RestoreWindow, WhatIsNoRegularDatabaseFileIsRefusedBeforeAnyCopy)
{
    makeBackup();
    t.close();
    const QByteArray before = readBytes(t.path());
    QTemporaryDir elsewhere;
    const QDir dir(elsewhere.path());
    writeBytes(dir.filePath(QStringLiteral("bos.ydk")), {});
    QDir().mkpath(dir.filePath(QStringLiteral("klasor.ydk")));
    QFile::link(QStringLiteral("/dev/zero"), dir.filePath(QStringLiteral("aygit.ydk")));
    QFile::link(dir.filePath(QStringLiteral("yok")), dir.filePath(QStringLiteral("kopuk.ydk")));
    writeBytes(dir.filePath(QStringLiteral("buyuk.ydk")), QByteArray(8 * 1024 * 1024, '\0'));
    for (const char* name : {"bos.ydk", "klasor.ydk", "aygit.ydk", "kopuk.ydk", "buyuk.ydk"}) {
        SCOPED_TRACE(name);
        messages.clear();
        CopyFileWindow window;
        window.setModeMarker(CopyFileWindow::RestoreMarker);
        QSignalSpy progress(window.findChild<QProgressBar*>(QStringLiteral("progressBar")),
                            &QProgressBar::valueChanged);
        FileDialog::setNextAnswer(dir.filePath(QLatin1String(name)));
        button(&window, "browseSourceButton")->click();
        button(&window, "restoreButton")->click();
        ASSERT_EQ(messages.messages().size(), 2);
        EXPECT_TRUE(messages.last().text.startsWith(kRefusal + QStringLiteral("\n\n")))
            << messages.last().text.toStdString();
        EXPECT_TRUE(progress.isEmpty()); // not a byte copied
        EXPECT_EQ(readBytes(t.path()), before);
        EXPECT_EQ(filesIn(t.folder()), (QStringList {QStringLiteral("dun.ydk"), QStringLiteral("veresiye.dll")}));
    }
}

TEST_F(RestoreWindow, TriggersAndViewsTheProgramDidNotMakeAreDroppedFromTheRestoredFile)
{
    const QString good = makeBackup();
    const QString chosen = QDir(t.folder()).filePath(QStringLiteral("tetikli.ydk"));
    writeBytes(chosen,
               altered(readBytes(good),
                       "CREATE TRIGGER sil AFTER INSERT ON veresiye BEGIN DELETE FROM "
                       "musteriler; END; CREATE VIEW borclular AS SELECT * FROM musteriler;"
                       "CREATE UNIQUE INDEX tek_hareket ON veresiye (mus_kodu);"));
    t.close();
    CopyFileWindow window;
    window.setModeMarker(CopyFileWindow::RestoreMarker);
    FileDialog::setNextAnswer(chosen);
    button(&window, "browseSourceButton")->click();
    button(&window, "restoreButton")->click();
    ASSERT_FALSE(messages.messages().isEmpty());
    EXPECT_EQ(messages.last().text, AppConfig::databasePath() + QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI"));

    t.reopen();
    QSqlQuery objects = t.db().prepare(
        QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('trigger', 'view', 'index') AND sql IS NOT NULL "
                       "ORDER BY name"));
    ASSERT_TRUE(Database::run(objects));
    QStringList names;
    while (objects.next())
        names.append(objects.value(0).toString());
    EXPECT_EQ(names,
              (QStringList {QStringLiteral("User_Username"), QStringLiteral("liste_toplami_degisti"),
                            QStringLiteral("liste_toplami_ekle"), QStringLiteral("liste_toplami_sil"),
                            QStringLiteral("musteriler_ad_degisti"), QStringLiteral("musteriler_ad_sirasi"),
                            QStringLiteral("musteriler_anahtarsiz"), QStringLiteral("musteriler_gun_farki"),
                            QStringLiteral("musteriler_mus_kodu"), QStringLiteral("musteriler_tahsilat"),
                            QStringLiteral("musteriler_turu_bakiye"), QStringLiteral("musteriler_turu_sira"),
                            QStringLiteral("silinen_hareketler_musteri"), QStringLiteral("veresiye_mus_kodu"),
                            QStringLiteral("veresiye_musteri_tarih"), QStringLiteral("veresiye_odeme"),
                            QStringLiteral("veresiye_tarih"), QStringLiteral("veresiye_toplam")}));
    t.addMovement(QStringLiteral("1"), QDate(2009, 3, 5), 100, {});
    t.addMovement(QStringLiteral("1"), QDate(2009, 3, 5), 200, {});
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM musteriler")).toInt(), 1);
}
