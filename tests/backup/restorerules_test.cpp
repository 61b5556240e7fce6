// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/copyroutine.h"
#include "backupfixture.h"
#include "cli/ledgercheck.h"
#include "data/accountstore.h"
#include "data/customerstore.h"
#include "data/turkishtext.h"
#include "entry/newcustomerstore.h"
#include "users/userstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sqlite3.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

const QString kRefusal = QStringLiteral("Seçilen dosya bu programın geçerli bir yedek dosyası değil. "
                                        "Mevcut verileriniz değiştirilmedi.");

const QString kCustomerColumns = QStringLiteral(
    "id INTEGER PRIMARY KEY AUTOINCREMENT, mus_kodu TEXT NOT NULL, MusteriFirma TEXT NOT NULL DEFAULT '', "
    "Turu TEXT NOT NULL DEFAULT '', Telefon1 TEXT NOT NULL DEFAULT ' ', Telefon2 TEXT NOT NULL DEFAULT ' ', "
    "Sehir TEXT NOT NULL DEFAULT ' ', Adres TEXT NOT NULL DEFAULT ' ', vd TEXT NOT NULL DEFAULT ' ', "
    "vdn TEXT NOT NULL DEFAULT ' ', Bakiye INTEGER, Sonislem TEXT, Gun INTEGER, sira_anahtari TEXT, "
    "arama_anahtari TEXT, KrediLimiti INTEGER, BeklemeTarihi TEXT");
const QString kMovementColumns
    = QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT, mus_kodu TEXT NOT NULL, Tarih TEXT, Saat TEXT, "
                     "Aciklama TEXT, Miktar REAL, Birim TEXT, KDV REAL, Eklenen INTEGER, Odenen INTEGER, "
                     "Kullanici TEXT, Kayit TEXT");

// Statements that give a table another definition, keeping its rows.
QString redefined(const QString& table, const QString& definition, const QString& options = {})
{
    return QStringLiteral("ALTER TABLE %1 RENAME TO eski; CREATE TABLE %1 (%2) %3; INSERT INTO %1 SELECT * FROM eski; "
                          "DROP TABLE eski;")
        .arg(table, definition, options);
}

// A ledger as the program keeps it: a user, a customer whose balance follows its two movements.
class RestoreRules : public BackupTest
{
protected:
    RestoreRules()
    {
        t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
        t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 1500, QDate(2009, 3, 1));
        t.addMovement(QStringLiteral("1"), QDate(2009, 3, 1), 2000, {});
        t.addMovement(QStringLiteral("1"), QDate(2009, 3, 2), {}, 500);
        t.db().exec(QStringLiteral("UPDATE musteriler SET BeklemeTarihi = '2009-03-02' WHERE mus_kodu = '1'"));
        t.close();
        sound = readBytes(t.path());
        chosen = QDir(t.folder()).filePath(QStringLiteral("secilen.ydk"));
    }

    // The sound ledger with the statements run on it, as the chosen backup.
    void choose(const QString& sql)
    {
        writeBytes(chosen, sound);
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(chosen).constData(), &db);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message), SQLITE_OK)
            << (message ? message : "");
        sqlite3_free(message);
        sqlite3_close(db);
    }

    qint64 restore()
    {
        messages.clear();
        CopyRoutine routine(nullptr, nullptr);
        return routine.restoreFile(chosen, t.path());
    }

    // Each kind of write the program makes, as its windows make it.
    void everyWrite()
    {
        t.reopen();
        const Database& db = t.db();
        QString error;
        ASSERT_EQ(NewCustomerStore(db).add({QStringLiteral("2"), QStringLiteral("Mehmet"), QStringLiteral("Satıcı"),
                                            QStringLiteral(" "), QStringLiteral(" "), QStringLiteral("Van"),
                                            QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" ")},
                                           &error),
                  NewCustomerStore::Result::Stored)
            << error.toStdString();
        const AccountStore account(db);
        Movement credit {0,
                         QStringLiteral("2"),
                         QStringLiteral("2009-03-05"),
                         QStringLiteral("10:00:00"),
                         QStringLiteral("un"),
                         1.5,
                         QStringLiteral("Kg"),
                         1.18,
                         17700,
                         {}};
        Movement payment {0,
                          QStringLiteral("2"),
                          QStringLiteral("2009-03-05"),
                          QStringLiteral("10:05:00"),
                          QStringLiteral("nakit"),
                          {},
                          {},
                          {},
                          {},
                          700};
        ASSERT_TRUE(account.appendMovement(credit, &error)) << error.toStdString();
        ASSERT_TRUE(account.appendMovement(payment, &error)) << error.toStdString(); // the same day
        const auto overview = account.overview(QStringLiteral("2"));
        ASSERT_TRUE(overview);
        ASSERT_TRUE(account.deleteMovement(overview->lastId, &error)) << error.toStdString();
        std::optional<CustomerRecord> record = account.customer(QStringLiteral("2"), &error);
        ASSERT_TRUE(record) << error.toStdString();
        record->bakiye = 17700;
        record->sonislem = QStringLiteral("2009-03-05");
        record->gun = 0;
        ASSERT_TRUE(account.storeCustomer(*record, &error)) << error.toStdString();
        ASSERT_TRUE(CustomerStore(db).updateDayCounts(QDate(2009, 3, 6), &error)) << error.toStdString();
        ASSERT_EQ(UserStore(db).add(QStringLiteral("KASİYER"), QStringLiteral("parola"), &error),
                  UserStore::AddResult::Added)
            << error.toStdString();
        t.close();
        const cli::LedgerReport report = cli::checkLedger(t.path());
        EXPECT_TRUE(report.findings.isEmpty()) << report.findings.join(QLatin1Char('\n')).toStdString();
        t.reopen();
        ASSERT_TRUE(AccountStore(t.db()).deleteCustomer(QStringLiteral("2"), &error)) << error.toStdString();
        t.close();
    }

    QByteArray sound;
    QString chosen;
};

} // namespace

TEST_F(RestoreRules, ABackupWithAnotherSchemaBecomesTheProgramsOwnAndTakesEveryWrite)
{
    struct Case
    {
        const char* what;
        QString sql;
    };
    const Case cases[] = {
        {"a CHECK on veresiye.Odenen",
         redefined(QStringLiteral("veresiye"),
                   QString(kMovementColumns)
                       .replace(QStringLiteral("Odenen INTEGER"),
                                QStringLiteral("Odenen INTEGER CHECK (Odenen IS NULL OR Odenen <= 500)")))},
        {"a CHECK on musteriler.id",
         redefined(QStringLiteral("musteriler"),
                   QString(kCustomerColumns)
                       .replace(QStringLiteral("AUTOINCREMENT"), QStringLiteral("AUTOINCREMENT CHECK (id < 2)")))},
        {"UNIQUE (mus_kodu, Tarih)",
         redefined(QStringLiteral("veresiye"), kMovementColumns + QStringLiteral(", UNIQUE (mus_kodu, Tarih)"))},
        {"a STRICT veresiye with Miktar INTEGER",
         redefined(QStringLiteral("veresiye"),
                   QString(kMovementColumns).replace(QStringLiteral("Miktar REAL"), QStringLiteral("Miktar INTEGER")),
                   QStringLiteral("STRICT"))},
        {"musteriler without rowid and a text key",
         redefined(QStringLiteral("musteriler"),
                   QString(kCustomerColumns)
                       .replace(QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT"),
                                QStringLiteral("id TEXT PRIMARY KEY")),
                   QStringLiteral("WITHOUT ROWID"))},
        {"a CHECK on User.Username",
         redefined(QStringLiteral("\"User\""),
                   QStringLiteral("Username TEXT NOT NULL COLLATE NOCASE CHECK (length(Username) <= 5), "
                                  "Password TEXT NOT NULL"))},
        {"Bakiye declared TEXT",
         redefined(QStringLiteral("musteriler"),
                   QString(kCustomerColumns).replace(QStringLiteral("Bakiye INTEGER"), QStringLiteral("Bakiye TEXT")))},
        {"list totals that disagree with the balances", QStringLiteral("UPDATE liste_toplami SET Bakiye = 999999")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(t.path(), sound);
        choose(c.sql);
        ASSERT_GT(restore(), 0) << (messages.empty() ? std::string() : messages.last().text.toStdString());
        everyWrite();
        EXPECT_EQ(filesIn(t.folder()), (QStringList {QStringLiteral("secilen.ydk"), QStringLiteral("veresiye.dll")}));
    }
}

TEST_F(RestoreRules, RowsTheProgramCouldNotHaveWrittenAreRefusedWithTheirReason)
{
    struct Case
    {
        const char* what;
        QString sql;
        QString reason;
    };
    const Case cases[] = {
        {"a customer without a name",
         redefined(
             QStringLiteral("musteriler"),
             QString(kCustomerColumns)
                 .replace(QStringLiteral("MusteriFirma TEXT NOT NULL DEFAULT ''"), QStringLiteral("MusteriFirma")))
             + QStringLiteral("UPDATE musteriler SET MusteriFirma = NULL;"),
         QStringLiteral("musteriler.MusteriFirma alanı 1 satırda boş; program bu alanı her zaman doldurur.")},
        {"a payment written as text", QStringLiteral("UPDATE veresiye SET Odenen = '5,00' WHERE Odenen IS NOT NULL"),
         QStringLiteral("veresiye.Odenen alanında tam kuruş tutarı olmayan değer: '5,00' (2 numaralı satır)")},
        {"a payment in fractions of a kuruş",
         QStringLiteral("UPDATE veresiye SET Odenen = 12.5 WHERE Odenen IS NOT NULL"),
         QStringLiteral("veresiye.Odenen alanında tam kuruş tutarı olmayan değer: '12.5' (2 numaralı satır)")},
        {"a quantity that is no number", QStringLiteral("UPDATE veresiye SET Miktar = 'çok' WHERE id = 1"),
         QStringLiteral("veresiye.Miktar alanında sayı olmayan değer: 'çok' (1 numaralı satır)")},
        {"one customer number twice",
         QStringLiteral("DROP INDEX musteriler_mus_kodu; INSERT INTO musteriler (mus_kodu, MusteriFirma) "
                        "VALUES ('1', 'İkinci');"),
         QStringLiteral("Aynı müşteri numarası birden çok müşteride: 1")},
        {"one user name twice in another letter case",
         QStringLiteral("DROP INDEX User_Username; INSERT INTO \"User\" VALUES ('admin', 'x');"),
         QStringLiteral("Aynı kullanıcı adı birden çok kullanıcıda: ADMIN")},
        {"an id that is no whole number",
         redefined(QStringLiteral("veresiye"),
                   QString(kMovementColumns)
                       .replace(QStringLiteral("id INTEGER PRIMARY KEY AUTOINCREMENT"),
                                QStringLiteral("id TEXT PRIMARY KEY")))
             + QStringLiteral("UPDATE veresiye SET id = 'a' || id;"),
         QStringLiteral("veresiye tablosunda tam sayı olmayan sıra numarası (id) var.")},
        {"the largest id taken", QStringLiteral("UPDATE veresiye SET id = 9223372036854775807 WHERE id = 2"),
         QStringLiteral("veresiye tablosunda sıra numarası (id) sınıra dayanmış; yeni satır eklenemez.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        choose(c.sql);
        EXPECT_EQ(restore(), 0);
        ASSERT_FALSE(messages.empty());
        EXPECT_EQ(messages.last().text, kRefusal + QStringLiteral("\n\n") + c.reason);
        EXPECT_EQ(readBytes(t.path()), sound);
        EXPECT_EQ(filesIn(t.folder()), (QStringList {QStringLiteral("secilen.ydk"), QStringLiteral("veresiye.dll")}));
    }
}

TEST_F(RestoreRules, AFileInWalModeIsRestoredUnlessItsWalHoldsRowsNotYetInIt)
{
    choose(QStringLiteral("PRAGMA journal_mode = WAL;"));
    ASSERT_EQ(static_cast<int>(readBytes(chosen).at(18)), 2);
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(chosen).constData(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "PRAGMA wal_autocheckpoint = 0; INSERT INTO musteriler (mus_kodu, MusteriFirma) "
                           "VALUES ('2', 'Mehmet');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    // The new customer lives only in the -wal file beside the backup: a copy of the file alone would lose it.
    EXPECT_EQ(restore(), 0);
    ASSERT_FALSE(messages.empty());
    EXPECT_TRUE(messages.last().text.startsWith(kRefusal + QStringLiteral("\n\nDosyanın yanındaki \"-wal\"")))
        << messages.last().text.toStdString();
    EXPECT_EQ(readBytes(t.path()), sound);

    sqlite3_close(writer); // the last connection puts the rows into the file and removes the -wal
    ASSERT_FALSE(QFile::exists(chosen + QStringLiteral("-wal")));
    ASSERT_GT(restore(), 0);
    t.reopen();
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM musteriler")).toInt(), 2);
    EXPECT_EQ(t.db().scalar(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
}

TEST_F(RestoreRules, DayCountsNameKeysAndDeletedIdsComeOutAsTheProgramKeepsThem)
{
    choose(QStringLiteral("UPDATE musteriler SET Gun = 99, sira_anahtari = 'yanlış', arama_anahtari = NULL; "
                          "DELETE FROM veresiye WHERE id = 2;"));
    ASSERT_GT(restore(), 0);
    t.reopen();
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Gun FROM musteriler")).toInt(), -4); // 1 March, seen on 5 March
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT sira_anahtari FROM musteriler")).toString(),
              turkish::sortKey(QStringLiteral("Ayşe")));
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT arama_anahtari FROM musteriler")).toString(),
              turkish::searchKey(QStringLiteral("Ayşe")));
    // The id of the movement deleted before the backup is not given out again.
    t.addMovement(QStringLiteral("1"), QDate(2009, 3, 5), 100, {});
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT max(id) FROM veresiye")).toInt(), 3);
}
