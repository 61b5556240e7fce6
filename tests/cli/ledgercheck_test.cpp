// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupfixture.h"
#include "clirun.h"
#include "data/accountstore.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/turkishtext.h"
#include "testdatabase.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

// A sound ledger: two customers whose stored balances follow their movements, name keys filled.
class LedgerCheck : public ::testing::Test
{
protected:
    LedgerCheck()
    {
        Clock::setFixed(QDateTime(QDate(2009, 3, 5), QTime(14, 5, 9)));
        t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
        t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 1500, QDate(2009, 3, 1));
        t.addCustomer(QStringLiteral("2"), QStringLiteral("Çiğdem"), QStringLiteral("Alıcı"), {}, {});
        t.addMovement(QStringLiteral("1"), QDate(2009, 3, 1), 2000, {});
        t.addMovement(QStringLiteral("1"), QDate(2009, 3, 2), {}, 500);
        t.db().exec(QStringLiteral("UPDATE musteriler SET BeklemeTarihi = '2009-03-02' WHERE mus_kodu = '1'"));
        for (const char* name : {"Ayşe", "Çiğdem"}) {
            const QString n = QString::fromUtf8(name);
            t.db().exec(
                QStringLiteral("UPDATE musteriler SET sira_anahtari = ?, arama_anahtari = ? WHERE MusteriFirma = ?"),
                {turkish::sortKey(n), turkish::searchKey(n), n});
        }
    }
    ~LedgerCheck() override { Clock::reset(); }

    TestDatabase t;
};

} // namespace

TEST_F(LedgerCheck, ACleanLedgerAndEachKindOfFinding)
{
    CliRun clean = runCli({QStringLiteral("--check")});
    EXPECT_EQ(clean.status, 0) << clean.out.toStdString();
    EXPECT_EQ(clean.out, QStringLiteral("Denetim tamam: sorun bulunmadı.\n"));
    t.close();
    const QByteArray sound = readBytes(t.path());

    struct Case
    {
        const char* what;
        QString sql;
        QString finding;
    };
    const Case cases[] = {
        {"stored balance wrong", QStringLiteral("UPDATE musteriler SET Bakiye = 999 WHERE mus_kodu = '1'"),
         QStringLiteral("Bakiye hareketlerle tutmuyor: müşteri 1 Ayşe, kayıtlı 9,99, hareketlerden 15,00")},
        {"movement without its customer",
         QStringLiteral(
             "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Eklenen) VALUES ('7', '2009-03-01', '10:00:00', 1)"),
         QStringLiteral("Müşterisi olmayan hareketler: müşteri no 7, 1 hareket")},
        {"one number twice",
         QStringLiteral(
             "DROP INDEX musteriler_mus_kodu;\nINSERT INTO musteriler (mus_kodu, MusteriFirma) VALUES ('2', 'X')"),
         QStringLiteral("Aynı müşteri numarası birden çok müşteride: 2 (2 müşteri)")},
        {"movement date", QStringLiteral("UPDATE veresiye SET Tarih = '31/12/2009' WHERE id = 1"),
         QStringLiteral("Okunamayan tarih: hareket 1 (müşteri 1): '31/12/2009'")},
        {"movement time", QStringLiteral("UPDATE veresiye SET Saat = '25:61' WHERE id = 2"),
         QStringLiteral("Okunamayan saat: hareket 2 (müşteri 1): '25:61'")},
        {"last-transaction date", QStringLiteral("UPDATE musteriler SET Sonislem = 'dün' WHERE mus_kodu = '2'"),
         QStringLiteral("Okunamayan son işlem tarihi: müşteri 2 Çiğdem: 'dün'")},
        {"name key", QStringLiteral("UPDATE musteriler SET sira_anahtari = 'zzz' WHERE mus_kodu = '1'"),
         QStringLiteral("Ad anahtarları adla uyuşmuyor: müşteri 1 Ayşe")},
        {"to-collect date", QStringLiteral("UPDATE musteriler SET BeklemeTarihi = '2009-03-01' WHERE mus_kodu = '1'"),
         QStringLiteral("Tahsilat listesi tarihi hareketlerle tutmuyor: 1 müşteri")},
        {"list totals", QStringLiteral("UPDATE liste_toplami SET Bakiye = 1 WHERE Turu = 'Alıcı'"),
         QStringLiteral("Liste toplamı bakiyelerle tutmuyor: Alıcı, kayıtlı 0,01, bakiyelerden 15,00")},
        {"column missing",
         QStringLiteral("DROP TRIGGER liste_toplami_ekle;\nDROP TRIGGER liste_toplami_sil;\n"
                        "DROP TRIGGER liste_toplami_degisti;\nDROP INDEX musteriler_turu_bakiye;\n"
                        "DROP INDEX musteriler_tahsilat;\nALTER TABLE musteriler DROP COLUMN Bakiye"),
         QStringLiteral("Eksik sütun: musteriler.Bakiye")},
        {"no user", QStringLiteral("DELETE FROM \"User\""), QStringLiteral("User tablosunda satır yok.")},
        // Tables defined otherwise than the program defines them: each makes some of its writes fail.
        {"a CHECK on Odenen",
         QStringLiteral("ALTER TABLE veresiye RENAME TO eski;\nCREATE TABLE veresiye (id INTEGER PRIMARY KEY "
                        "AUTOINCREMENT, mus_kodu TEXT NOT NULL, Tarih TEXT, Saat TEXT, Aciklama TEXT, Miktar REAL, "
                        "Birim TEXT, KDV REAL, Eklenen INTEGER, Odenen INTEGER CHECK (Odenen < 1000), Kullanici TEXT, "
                        "Kayit TEXT);\n"
                        "INSERT INTO veresiye SELECT * FROM eski;\nDROP TABLE eski"),
         QStringLiteral("Tablo tanımı programınkinden farklı (kısıtlar ya da sıralama kuralları): veresiye")},
        {"a STRICT veresiye with Miktar INTEGER",
         QStringLiteral("ALTER TABLE veresiye RENAME TO eski;\nCREATE TABLE veresiye (id INTEGER PRIMARY KEY "
                        "AUTOINCREMENT, mus_kodu TEXT NOT NULL, Tarih TEXT, Saat TEXT, Aciklama TEXT, Miktar INTEGER, "
                        "Birim TEXT, KDV REAL, Eklenen INTEGER, Odenen INTEGER, Kullanici TEXT, Kayit TEXT) STRICT;\n"
                        "INSERT INTO veresiye SELECT * FROM eski;\nDROP TABLE eski"),
         QStringLiteral("Sütun türü farklı: veresiye.Miktar INTEGER (programda REAL)\nTablo STRICT olarak "
                        "tanımlı: veresiye")},
        {"musteriler without rowid",
         QStringLiteral("DROP TRIGGER liste_toplami_ekle;\nDROP TRIGGER liste_toplami_sil;\n"
                        "DROP TRIGGER liste_toplami_degisti;\nALTER TABLE musteriler RENAME TO eski;\n"
                        "CREATE TABLE musteriler (id TEXT PRIMARY KEY, mus_kodu TEXT NOT NULL, MusteriFirma TEXT "
                        "NOT NULL DEFAULT '', Turu TEXT NOT NULL DEFAULT '', Telefon1 TEXT NOT NULL DEFAULT ' ', "
                        "Telefon2 TEXT NOT NULL DEFAULT ' ', Sehir TEXT NOT NULL DEFAULT ' ', Adres TEXT NOT NULL "
                        "DEFAULT ' ', vd TEXT NOT NULL DEFAULT ' ', vdn TEXT NOT NULL DEFAULT ' ', Bakiye INTEGER, "
                        "Sonislem TEXT, Gun INTEGER, sira_anahtari TEXT, arama_anahtari TEXT, KrediLimiti INTEGER, "
                        "BeklemeTarihi TEXT) "
                        "WITHOUT ROWID;\n"
                        "INSERT INTO musteriler SELECT * FROM eski;\nDROP TABLE eski"),
         QStringLiteral("Tablo WITHOUT ROWID olarak tanımlı: musteriler")},
        {"Bakiye declared TEXT",
         QStringLiteral("DROP TRIGGER liste_toplami_ekle;\nDROP TRIGGER liste_toplami_sil;\n"
                        "DROP TRIGGER liste_toplami_degisti;\nDROP INDEX musteriler_turu_bakiye;\n"
                        "DROP INDEX musteriler_tahsilat;\nALTER TABLE musteriler RENAME COLUMN Bakiye TO eski;\n"
                        "ALTER TABLE musteriler ADD COLUMN Bakiye TEXT;\nUPDATE musteriler SET Bakiye = eski;\n"
                        "ALTER TABLE musteriler DROP COLUMN eski"),
         QStringLiteral("Sütun türü farklı: musteriler.Bakiye TEXT (programda INTEGER)")},
        {"a CHECK on User.Username",
         QStringLiteral("ALTER TABLE \"User\" RENAME TO eski;\nCREATE TABLE \"User\" (Username TEXT NOT NULL "
                        "COLLATE NOCASE CHECK (length(Username) < 9), Password TEXT NOT NULL);\n"
                        "INSERT INTO \"User\" SELECT * FROM eski;\nDROP TABLE eski"),
         QStringLiteral("Tablo tanımı programınkinden farklı (kısıtlar ya da sıralama kuralları): User")},
        {"foreign trigger",
         QStringLiteral("CREATE TRIGGER sil AFTER INSERT ON veresiye BEGIN DELETE FROM musteriler; END"),
         QStringLiteral("Programa ait olmayan tetikleyici: sil")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(t.path(), sound);
        t.reopen();
        for (const QString& statement : c.sql.split(QStringLiteral(";\n")))
            ASSERT_TRUE(t.db().exec(statement)) << statement.toStdString();
        t.close();
        const QByteArray before = readBytes(t.path());
        const CliRun r = runCli({QStringLiteral("--check")});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.contains(c.finding + QLatin1Char('\n'))) << r.out.toStdString();
        EXPECT_TRUE(
            r.out.endsWith(QStringLiteral("Denetim bitti: %1 bulgu.\n").arg(r.out.count(QLatin1Char('\n')) - 1)));
        EXPECT_EQ(readBytes(t.path()), before); // looked at, not changed
    }

    writeBytes(t.path(), QByteArray("bir veri tabanı değil").repeated(20));
    const CliRun unreadable = runCli({QStringLiteral("--check")});
    EXPECT_EQ(unreadable.status, 2);
    EXPECT_TRUE(unreadable.err.startsWith(QStringLiteral("zelvora: Veri tabanı okunamadı: ")));
}

TEST_F(LedgerCheck, RepairRecomputesBalancesDayCountsAndNameKeysAfterABackup)
{
    t.db().exec(
        QStringLiteral("UPDATE musteriler SET Bakiye = 999, Gun = 40, sira_anahtari = NULL WHERE mus_kodu = '1'"));
    t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = -5, BeklemeTarihi = '2009-01-01' WHERE mus_kodu = '2'"));
    t.db().exec(QStringLiteral("UPDATE musteriler SET BeklemeTarihi = NULL WHERE mus_kodu = '1'"));
    t.db().exec(QStringLiteral("UPDATE liste_toplami SET Bakiye = 7"));
    t.close();
    const QByteArray before = readBytes(t.path());

    const CliRun r = runCli({QStringLiteral("--check"), QStringLiteral("--repair")});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    const QString kept
        = QDir(AppConfig::backupFolder()).filePath(QStringLiteral("Veresiye_Onarim_Oncesi_05-03-09_14-05-09.ydk"));
    EXPECT_TRUE(r.out.contains(QStringLiteral("Onarım öncesi yedek: ") + kept + QLatin1Char('\n')))
        << r.out.toStdString();
    EXPECT_TRUE(
        r.out.contains(QStringLiteral("Onarıldı: 2 bakiye, 1 gün sayısı, 1 ad anahtarı, 2 tahsilat tarihi.\n")));
    EXPECT_TRUE(r.out.endsWith(QStringLiteral("Denetim tamam: sorun bulunmadı.\n")));
    EXPECT_EQ(readBytes(kept), before);

    t.reopen();
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE mus_kodu = '1'")).toLongLong(), 1500);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE mus_kodu = '2'")).toLongLong(), 0);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Gun FROM musteriler WHERE mus_kodu = '1'")).toLongLong(), -4);
    // The to-collect date: the last payment's; none without movements.
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT BeklemeTarihi FROM musteriler WHERE mus_kodu = '1'")).toString(),
              QStringLiteral("2009-03-02"));
    EXPECT_TRUE(t.db().scalar(QStringLiteral("SELECT BeklemeTarihi FROM musteriler WHERE mus_kodu = '2'")).isNull());
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM liste_toplami WHERE Turu = 'Alıcı'")).toLongLong(),
              1500);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT sira_anahtari FROM musteriler WHERE mus_kodu = '1'")).toString(),
              turkish::sortKey(QStringLiteral("Ayşe")));

    // What cannot be recomputed stays a finding.
    t.db().exec(QStringLiteral(
        "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Eklenen) VALUES ('7', '2009-03-01', '10:00:00', 1)"));
    t.close();
    const CliRun orphan = runCli({QStringLiteral("--check"), QStringLiteral("--repair")});
    EXPECT_EQ(orphan.status, 1);
    EXPECT_TRUE(
        orphan.out.contains(QStringLiteral("Onarılamadı: Müşterisi olmayan hareketler: müşteri no 7, 1 hareket\n")));
}

TEST_F(LedgerCheck, RepairRemovesTheTemporaryFilesOfAnInterruptedRepair)
{
    t.close();
    const QDir backups(AppConfig::backupFolder());
    QDir().mkpath(backups.path());
    const QStringList leftovers {QStringLiteral(".Veresiye_Onarim_Oncesi_04-03-09_10-00-00.ydk.AbCdEf.tmp"),
                                 QStringLiteral(".Veresiye_Onarim_Oncesi_04-03-09_10-00-00.ydk.AbCdEf.tmp-journal")};
    for (const QString& name : leftovers)
        writeBytes(backups.filePath(name), pattern(4096));
    writeBytes(backups.filePath(QStringLiteral("Veresiye_Yedek_04-03-09.ydk")), "kalsin");

    // Nothing to repair: the leftovers go all the same.
    const CliRun r = runCli({QStringLiteral("--check"), QStringLiteral("--repair")});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Yarıda kalmış önceki onarımdan 2 geçici dosya silindi.\n")))
        << r.out.toStdString();
    EXPECT_EQ(filesIn(backups.path()), QStringList {QStringLiteral("Veresiye_Yedek_04-03-09.ydk")});

    // And before a repair.
    for (const QString& name : leftovers)
        writeBytes(backups.filePath(name), pattern(4096));
    t.reopen();
    t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 1 WHERE mus_kodu = '1'"));
    t.close();
    const CliRun repaired = runCli({QStringLiteral("--check"), QStringLiteral("--repair")});
    EXPECT_EQ(repaired.status, 0) << repaired.out.toStdString() << repaired.err.toStdString();
    EXPECT_EQ(filesIn(backups.path()),
              (QStringList {QStringLiteral("Veresiye_Onarim_Oncesi_05-03-09_14-05-09.ydk"),
                            QStringLiteral("Veresiye_Yedek_04-03-09.ydk")}));
}

// Deleted rows kept for "Silinen Kayıtlar" are counted in one line, are no finding, and a repair leaves them.
TEST_F(LedgerCheck, KeptDeletedRowsAreCountedAndLeftAlone)
{
    t.addMovement(QStringLiteral("1"), QDate(2009, 3, 3), 300, {});
    ASSERT_TRUE(AccountStore(t.db()).deleteAllMovements(QStringLiteral("1")));
    ASSERT_TRUE(AccountStore(t.db()).deleteCustomer(QStringLiteral("2")));
    t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 0 WHERE mus_kodu = '1'"));
    t.close();
    CliRun r = runCli({QStringLiteral("--check")});
    EXPECT_EQ(r.status, 0) << r.out.toStdString();
    EXPECT_EQ(r.out,
              QStringLiteral("Silinen kayıtlar (geri alınabilir): 1 müşteri, 3 hareket.\n"
                             "Denetim tamam: sorun bulunmadı.\n"));
    t.reopen();
    t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 5 WHERE mus_kodu = '1'"));
    t.close();
    r = runCli({QStringLiteral("--check"), QStringLiteral("--repair")});
    EXPECT_EQ(r.status, 0) << r.out.toStdString() << r.err.toStdString();
    t.reopen();
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE mus_kodu = '1'")).toLongLong(), 0);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM silinen_hareketler")).toLongLong(), 3);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM silinen_musteriler")).toLongLong(), 1);
}
