// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/databasecheck.h"
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/deletedstore.h"
#include "data/schema.h"
#include "data/session.h"
#include "testdatabase.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// A signed-in user and a fixed clock for the test's length.
class DeletedRows : public test::EngineTest
{
protected:
    void SetUp() override
    {
        session::setUser(QStringLiteral("AYŞE"));
        Clock::setFixed(QDateTime(QDate(2026, 12, 11), QTime(14, 5, 30)));
    }
    void TearDown() override
    {
        session::setUser({});
        Clock::reset();
    }

    static qint64 number(const test::TestDatabase& t, const QString& sql, const QVariantList& values = {})
    {
        return t.db().scalar(sql, values).toLongLong();
    }
    // Balance, day count and last-transaction date of a customer, and the list's total of its type.
    static QString account(const test::TestDatabase& t, const QString& kod)
    {
        return t.db()
            .scalar(QStringLiteral("SELECT CAST(Bakiye AS TEXT) || '|' || CAST(Gun AS TEXT) || '|' || Sonislem "
                                   "|| '|' || CAST((SELECT CAST(l.Bakiye AS BIGINT) FROM liste_toplami l "
                                   "WHERE l.Turu = m.Turu) AS TEXT) FROM musteriler m WHERE mus_kodu = ?"),
                    {kod})
            .toString();
    }
};
INSTANTIATE_TEST_SUITE_P(Engines, DeletedRows, test::kEngines, test::engineName);

} // namespace

TEST_P(DeletedRows, AStoredMovementNamesTheSignedInUserAndTheMoment)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 0);
    const qint64 old = t.addMovement(QStringLiteral("1"), QDate(2026, 1, 1), 100, {});
    AccountStore store(t.db());
    Movement m;
    m.musKodu = QStringLiteral("1");
    m.tarih = QStringLiteral("2026-12-11");
    m.saat = QStringLiteral("14:05:30");
    m.eklenen = qint64(1250);
    ASSERT_TRUE(store.appendMovement(m));
    const QVector<Movement> rows = store.movementsAfter(QStringLiteral("1"), std::nullopt, 0, 10);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0).id, old);
    EXPECT_TRUE(rows.at(0).kullanici.isEmpty() && rows.at(0).kayit.isEmpty());
    EXPECT_EQ(rows.at(1).kullanici, QStringLiteral("AYŞE"));
    EXPECT_EQ(rows.at(1).kayit, QStringLiteral("2026-12-11 14:05:30"));
}

TEST_P(DeletedRows, ADeletedMovementComesBackWithItsAmountsAndTheRightBalance)
{
    test::TestDatabase t(GetParam());
    const QString kod = QStringLiteral("4");
    t.addCustomer(kod, QStringLiteral("Berk"), QStringLiteral("Alıcı"), 2800, QDate(2026, 12, 1));
    t.addCustomer(QStringLiteral("5"), QStringLiteral("Cem"), QStringLiteral("Alıcı"), 400);
    t.addMovement(kod, QDate(2026, 11, 1), 1000, {});
    const qint64 middle = t.addMovement(kod, QDate(2026, 11, 2), 2500, {}, QStringLiteral("Un 'özel'"));
    t.addMovement(kod, QDate(2026, 11, 3), {}, 700);
    AccountStore store(t.db());

    ASSERT_TRUE(store.deleteMovement(middle));
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM veresiye WHERE id = ?"), {middle}), 0);
    // The account window writes the balance it sums after a delete.
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 300 WHERE mus_kodu = ?"), {kod}));

    Clock::setFixed(QDateTime(QDate(2026, 12, 15), QTime(9, 0)));
    session::setUser(QStringLiteral("ADMIN"));
    const auto entries = DeletedStore(t.db()).entries();
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 1);
    const DeletedEntry& e = entries->first();
    EXPECT_EQ(e.kind, DeletedEntry::Kind::Movement);
    EXPECT_EQ(e.deletedBy, QStringLiteral("AYŞE"));
    EXPECT_EQ(e.deletedAt, QStringLiteral("2026-12-11 14:05:30"));
    EXPECT_EQ(e.musKodu, kod);
    EXPECT_EQ(e.customerName, QStringLiteral("Berk"));
    EXPECT_EQ(e.aciklama, QStringLiteral("Un 'özel'"));
    EXPECT_EQ(e.amount, 2500);

    QString error;
    ASSERT_TRUE(DeletedStore(t.db()).restoreMovement(e.id, &error)) << error.toStdString();
    // Back in its place, with its amounts; balance, day count (from the kept last-transaction date) and the
    // list's total as the program keeps them.
    const QVector<Movement> rows = store.movementsAfter(kod, std::nullopt, 0, 10);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(1).id, middle);
    EXPECT_EQ(rows.at(1).eklenen.toLongLong(), 2500);
    EXPECT_TRUE(rows.at(1).odenen.isNull());
    EXPECT_EQ(rows.at(1).tarih, QStringLiteral("2026-11-02"));
    EXPECT_EQ(account(t, kod), QStringLiteral("2800|-14|2026-12-01|3200"));
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM silinen_hareketler")), 0);
    // Put back once only.
    EXPECT_FALSE(DeletedStore(t.db()).restoreMovement(e.id, &error));
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), {kod}), 3);

    // Clearing the account keeps every movement, for the user who did it.
    ASSERT_TRUE(store.deleteAllMovements(kod));
    EXPECT_EQ(number(t,
                     QStringLiteral("SELECT count(*) FROM silinen_hareketler WHERE mus_kodu = ? AND Silen = "
                                    "'ADMIN' AND silinen_musteri IS NULL"),
                     {kod}),
              3);
    EXPECT_EQ(DeletedStore(t.db()).counts()->movements, 3);
}

TEST_P(DeletedRows, ADeletedCustomerComesBackWithItsMovementsAndBalance)
{
    test::TestDatabase t(GetParam());
    const QString kod = QStringLiteral("7");
    t.addCustomer(kod, QStringLiteral("Şule Gıda"), QStringLiteral("Satıcı"), 999, QDate(2026, 12, 10));
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET Telefon1 = '555', KrediLimiti = 50000")));
    const qint64 first = t.addMovement(kod, QDate(2026, 12, 1), 4000, {});
    const qint64 alone = t.addMovement(kod, QDate(2026, 12, 2), 600, {});
    t.addMovement(kod, QDate(2026, 12, 3), {}, 1500);
    AccountStore store(t.db());
    ASSERT_TRUE(store.deleteMovement(alone));
    ASSERT_TRUE(store.deleteCustomer(kod));
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM musteriler")), 0);
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM veresiye")), 0);

    DeletedStore deleted(t.db());
    auto entries = deleted.entries();
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2); // the customer (with its two movements) and the movement deleted alone
    const DeletedEntry customer = entries->at(0).kind == DeletedEntry::Kind::Customer ? entries->at(0) : entries->at(1);
    const DeletedEntry movement = entries->at(0).kind == DeletedEntry::Kind::Movement ? entries->at(0) : entries->at(1);
    EXPECT_EQ(customer.movementCount, 2);
    EXPECT_EQ(customer.amount, 2500); // what it comes back with, not the stale stored 999
    EXPECT_EQ(movement.amount, 600);
    EXPECT_EQ(customer.customerName, QStringLiteral("Şule Gıda"));
    EXPECT_EQ(movement.customerName, QStringLiteral("Şule Gıda"));

    // The movement waits for its customer.
    QString error;
    EXPECT_FALSE(deleted.restoreMovement(movement.id, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("Önce müşteriyi"))) << error.toStdString();

    ASSERT_TRUE(deleted.restoreCustomer(customer.id, &error)) << error.toStdString();
    const auto row = store.customer(kod);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->musteriFirma, QStringLiteral("Şule Gıda"));
    EXPECT_EQ(row->telefon1, QStringLiteral("555"));
    EXPECT_EQ(number(t, QStringLiteral("SELECT KrediLimiti FROM musteriler")), 50000);
    EXPECT_EQ(account(t, kod), QStringLiteral("2500|-1|2026-12-10|2500"));
    const QVector<Movement> rows = store.movementsAfter(kod, std::nullopt, 0, 10);
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows.at(0).id, first);
    // Found by a name search again.
    EXPECT_EQ(number(t,
                     QStringLiteral("SELECT count(*) FROM musteriler WHERE sira_anahtari IS NOT NULL AND "
                                    "arama_anahtari IS NOT NULL")),
              1);

    ASSERT_TRUE(deleted.restoreMovement(movement.id, &error)) << error.toStdString();
    EXPECT_EQ(account(t, kod), QStringLiteral("3100|-1|2026-12-10|3100"));
    EXPECT_EQ(deleted.entries()->size(), 0);
}

TEST_P(DeletedRows, ACustomerWhoseNumberWasGivenAgainIsRefusedAndNothingChanges)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("7"), QStringLiteral("Eski"), QStringLiteral("Alıcı"), 100);
    t.addMovement(QStringLiteral("7"), QDate(2026, 12, 1), 100, {});
    ASSERT_TRUE(AccountStore(t.db()).deleteCustomer(QStringLiteral("7")));
    t.addCustomer(QStringLiteral("7"), QStringLiteral("Yeni Müşteri"), QStringLiteral("Alıcı"), 0);
    t.addMovement(QStringLiteral("7"), QDate(2026, 12, 5), 300, {});

    DeletedStore deleted(t.db());
    const auto entries = deleted.entries();
    ASSERT_TRUE(entries && entries->size() == 1);
    QString error;
    EXPECT_FALSE(deleted.restoreCustomer(entries->first().id, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("7 numarası bu arada başka bir müşteriye verilmiş (Yeni Müşteri)")))
        << error.toStdString();
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM musteriler")), 1);
    EXPECT_EQ(number(t, QStringLiteral("SELECT count(*) FROM veresiye")), 1);
    EXPECT_EQ(deleted.counts()->customers, 1);
    EXPECT_EQ(deleted.counts()->movements, 1);
}

// A ledger made before deleted rows were kept gains their tables once, whatever its format number says.
TEST_P(DeletedRows, ALedgerWithoutTheDeletedTablesGainsThemOnce)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 100);
    ASSERT_TRUE(t.db().exec(QStringLiteral("DROP TABLE silinen_hareketler")));
    ASSERT_TRUE(t.db().exec(QStringLiteral("DROP TABLE silinen_musteriler")));
    ASSERT_TRUE(schema::needsUpgrade(t.db()));
    QString error;
    ASSERT_TRUE(schema::upgrade(t.db(), &error)) << error.toStdString();
    EXPECT_FALSE(schema::needsUpgrade(t.db()));
    ASSERT_TRUE(AccountStore(t.db()).deleteCustomer(QStringLiteral("1"), &error)) << error.toStdString();
    EXPECT_EQ(DeletedStore(t.db()).counts()->customers, 1);
    ASSERT_TRUE(schema::upgrade(t.db(), &error)) << error.toStdString();
    EXPECT_EQ(DeletedStore(t.db()).counts()->customers, 1);
}

// A backup with the deleted tables (and rows in them) and one made before they existed both restore.
TEST(DeletedRowsBackup, TheRestoreCheckTakesABackupWithAndWithoutTheDeletedTables)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', 'x')")));
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 100);
    t.addCustomer(QStringLiteral("2"), QStringLiteral("Berk"), QStringLiteral("Alıcı"), 100);
    t.addMovement(QStringLiteral("2"), QDate(2026, 12, 1), 100, {});
    ASSERT_TRUE(AccountStore(t.db()).deleteCustomer(QStringLiteral("2")));
    const auto restores = [&](const QString& label) {
        t.close();
        const DatabaseCheck::Result result = DatabaseCheck::inspect(t.path());
        EXPECT_TRUE(result.usable()) << label.toStdString() << ": "
                                     << result.lines().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(result.missingObjects.isEmpty()) << label.toStdString();
        QString error;
        EXPECT_TRUE(DatabaseCheck::restorable(t.path(), t.folder(), QDate(2026, 12, 11), &error))
            << label.toStdString() << ": " << error.toStdString();
        t.reopen();
    };
    restores(QStringLiteral("with"));
    ASSERT_TRUE(t.db().exec(QStringLiteral("DROP TABLE silinen_hareketler")));
    ASSERT_TRUE(t.db().exec(QStringLiteral("DROP TABLE silinen_musteriler")));
    restores(QStringLiteral("without"));
}
