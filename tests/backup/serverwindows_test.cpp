// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filedialog.h"
#include "backup/copyfilewindow.h"
#include "backupfixture.h"
#include "data/appconfig.h"
#include "data/database.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

void addLedger(const Database& db, const QString& user, const QString& customer)
{
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                        {user, QStringLiteral("parola")}));
    ASSERT_TRUE(db.exec(QStringLiteral("INSERT INTO musteriler (id, mus_kodu, MusteriFirma, Bakiye, Sonislem) "
                                       "VALUES (?, ?, ?, ?, ?)"),
                        {1, QStringLiteral("1"), customer, qint64(1500), QStringLiteral("2009-03-01")}));
    ASSERT_TRUE(db.exec(
        QStringLiteral("INSERT INTO veresiye (id, mus_kodu, Tarih, Saat, Eklenen, Odenen) VALUES "
                       "(?, ?, ?, ?, ?, ?)"),
        {1, QStringLiteral("1"), QStringLiteral("2009-03-01"), QStringLiteral("10:00:00"), qint64(1500), qint64(0)}));
}

QStringList namesIn(const Database& db)
{
    QStringList names;
    QSqlQuery q = db.prepare(QStringLiteral("SELECT MusteriFirma FROM musteriler ORDER BY id"));
    if (Database::run(q))
        while (q.next())
            names << q.value(0).toString();
    return names;
}

void click(const QWidget* window, const char* name)
{
    window->findChild<LumButton*>(QLatin1String(name))->click();
}

// The lone computer's file (t) and the shop's server, the backup folder beside the server's test folder.
class ServerWindows : public BackupTest
{
protected:
    ServerWindows() { addLedger(server.db(), QStringLiteral("ADMIN"), QStringLiteral("Ali Sunucuda")); }

    TestDatabase server {Engine::PostgreSQL};
    const ServerSettings& settings() const { return server.target().server; }
};

} // namespace

TEST_F(ServerWindows, YedekOlusturWritesTheServersLedgerToTheDaysFile)
{
    CopyFileWindow window(nullptr, nullptr, {}, settings());
    window.show();
    EXPECT_TRUE(window.findChild<QLineEdit*>(QStringLiteral("sourceBox"))->text().contains(settings().address()));
    click(&window, "backupButton");
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, dailyBackup() + QStringLiteral("  KLASÖRÜNE DOSYA YEDEKLENDİ"));
    EXPECT_EQ(filesIn(backupFolder()), QStringList {QStringLiteral("Veresiye_Yedek_05-03-09.ydk")});
    const auto copy = Database::open(dailyBackup());
    ASSERT_TRUE(copy);
    EXPECT_EQ(namesIn(*copy), QStringList {QStringLiteral("Ali Sunucuda")});
}

// "Yedekten Yükle" on a server: the file's ledger replaces the server's, which is kept in the backup folder first;
// a till that was connected all along reads the restored ledger.
TEST_F(ServerWindows, RestoreReplacesTheServersLedgerAndKeepsTheOldOne)
{
    addLedger(t.db(), QStringLiteral("KASA"), QStringLiteral("Ayşe Dosyada"));
    t.close();
    QTemporaryDir dir;
    const QString backup = QDir(dir.path()).filePath(QStringLiteral("dukkan.ydk"));
    ASSERT_TRUE(QFile::copy(t.path(), backup));
    const auto till = server.openAnother();
    ASSERT_EQ(namesIn(*till), QStringList {QStringLiteral("Ali Sunucuda")});

    QStringList calls;
    RestoreHooks hooks;
    hooks.releaseDatabase = [&] { calls << QStringLiteral("release"); };
    hooks.startOver = [&] { calls << QStringLiteral("startOver"); };
    QPointer<CopyFileWindow> window = CopyFileWindow::openForRestore(nullptr, hooks, settings());
    click(window, "yesButton");
    FileDialog::setNextAnswer(backup);
    click(window, "browseSourceButton");
    EXPECT_TRUE(window->findChild<QLineEdit*>(QStringLiteral("targetBox"))->text().contains(settings().address()));
    click(window, "restoreButton");

    ASSERT_FALSE(messages.messages().isEmpty());
    EXPECT_TRUE(messages.last().text.endsWith(QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI")))
        << messages.last().text.toStdString();
    EXPECT_EQ(calls.last(), QStringLiteral("startOver"));
    EXPECT_EQ(namesIn(*till), QStringList {QStringLiteral("Ayşe Dosyada")});
    EXPECT_EQ(till->scalar(QStringLiteral("SELECT Username FROM \"User\"")).toString(), QStringLiteral("KASA"));
    const auto kept = Database::open(
        QDir(backupFolder()).filePath(QStringLiteral("Veresiye_GeriYukleme_Oncesi_05-03-09_14-05-09.ydk")));
    ASSERT_TRUE(kept);
    EXPECT_EQ(namesIn(*kept), QStringList {QStringLiteral("Ali Sunucuda")});
    ZV_WAIT_UNTIL(window.isNull());
}
