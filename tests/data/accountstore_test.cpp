// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/accountstore.h"
#include "data/customerstore.h"
#include "testdatabase.h"
#include "tills.h"
#include "waiting.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>

using namespace zelvora;

namespace {

qint64 count(const test::TestDatabase& t, const QString& sql, const QString& kod)
{
    return t.db().scalar(sql, {kod}).toLongLong();
}

class AccountStoreTest : public test::EngineTest
{
};
INSTANTIATE_TEST_SUITE_P(Engines, AccountStoreTest, test::kEngines, test::engineName);

} // namespace

TEST_P(AccountStoreTest, DeletingACustomerTakesItsMovementsAndNothingElse)
{
    test::TestDatabase t(GetParam());
    // A number holding quotes is a value, never part of the statement.
    const QString kod = QStringLiteral("7' OR '1'='1");
    t.addCustomer(kod, QStringLiteral("Ayşe"));
    t.addCustomer(QStringLiteral("8"), QStringLiteral("Berk"));
    for (int i = 0; i < 3; ++i)
        t.addMovement(kod, QDate(2026, 1, 1), 1000, {});
    t.addMovement(QStringLiteral("8"), QDate(2026, 1, 1), 500, {});
    AccountStore store(t.db());
    ASSERT_TRUE(store.customer(kod).has_value());
    EXPECT_EQ(store.overview(kod)->count, 3);

    ASSERT_TRUE(store.deleteCustomer(kod));
    EXPECT_EQ(count(t, QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), kod), 0);
    EXPECT_EQ(count(t, QStringLiteral("SELECT count(*) FROM musteriler WHERE mus_kodu = ?"), kod), 0);
    EXPECT_EQ(count(t, QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), QStringLiteral("8")), 1);
    EXPECT_TRUE(store.customer(QStringLiteral("8")).has_value());
}

TEST_P(AccountStoreTest, AFailedCustomerDeletionLeavesTheMovements)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("7"), QStringLiteral("Ayşe"));
    t.addMovement(QStringLiteral("7"), QDate(2026, 1, 1), 1000, {});
    if (GetParam() == Engine::PostgreSQL)
        ASSERT_TRUE(t.db().exec(QStringLiteral(
            "CREATE FUNCTION engel() RETURNS trigger LANGUAGE plpgsql AS $$ BEGIN RAISE EXCEPTION 'kilitli'; END $$; "
            "CREATE TRIGGER engel BEFORE DELETE ON musteriler FOR EACH ROW EXECUTE FUNCTION engel()")));
    else
        ASSERT_TRUE(t.db().exec(QStringLiteral("CREATE TRIGGER engel BEFORE DELETE ON musteriler "
                                               "BEGIN SELECT RAISE(ABORT, 'kilitli'); END")));
    QString error;
    EXPECT_FALSE(AccountStore(t.db()).deleteCustomer(QStringLiteral("7"), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("kilitli")));
    EXPECT_EQ(count(t, QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), QStringLiteral("7")), 1);
}

TEST_P(AccountStoreTest, CustomerRowRoundTripsQuotesAndKeepsTheListSearchable)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("5"), QStringLiteral("Eski Ad"));
    AccountStore store(t.db());
    auto row = store.customer(QStringLiteral("5"));
    ASSERT_TRUE(row);
    EXPECT_TRUE(row->krediLimiti.isNull());
    row->krediLimiti = qint64(150000);
    row->musteriFirma = QStringLiteral("O'Neil \"Gıda\"; DROP TABLE musteriler");
    row->adres = QStringLiteral("Kuyu Sk. 'No 3'\nKat 2");
    row->bakiye = qint64(-12050);
    row->sonislem = QStringLiteral("2026-03-15");
    row->gun = qint64(-3);
    ASSERT_TRUE(store.storeCustomer(*row));

    const auto again = store.customer(QStringLiteral("5"));
    ASSERT_TRUE(again);
    EXPECT_EQ(*again, *row);
    const auto found = CustomerStore(t.db()).rows(CustomerListQuery::namePrefix(QStringLiteral("o'neil")), 0, 10);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(found.first().musKodu, QStringLiteral("5"));
}

TEST_P(AccountStoreTest, OverviewCountsAndSumsEmptyAmountsAsZeroAndStaysExact)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("A"));
    AccountStore store(t.db());
    const auto none = store.overview(QStringLiteral("1"));
    ASSERT_TRUE(none);
    EXPECT_EQ(none->count, 0);
    EXPECT_EQ(none->lastId, 0);
    EXPECT_EQ(none->sums.added, 0);
    EXPECT_EQ(none->sums.paid, 0);
    // Ten thousand 0,10 sales add up to exactly 1.000,00: no floating-point drift in kuruş.
    t.db().exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 10000) "
                               "INSERT INTO veresiye (mus_kodu, Eklenen) SELECT '1', 10 FROM n"));
    const qint64 last = t.addMovement(QStringLiteral("1"), QDate(2026, 1, 1), {}, 30);
    t.addMovement(QStringLiteral("2"), QDate(2026, 1, 1), 99, 99);
    const auto overview = store.overview(QStringLiteral("1"));
    ASSERT_TRUE(overview);
    EXPECT_EQ(overview->sums.added, 100000);
    EXPECT_EQ(overview->sums.paid, 30);
    EXPECT_EQ(overview->count, 10001);
    EXPECT_EQ(overview->lastId, last);

    // Only what came after a movement: the rows appended since it was the newest.
    const auto appended = store.overview(QStringLiteral("1"), last - 1);
    ASSERT_TRUE(appended);
    EXPECT_EQ(appended->count, 1);
    EXPECT_EQ(appended->lastId, last);
    EXPECT_EQ(appended->sums.added, 0);
    EXPECT_EQ(appended->sums.paid, 30);
    EXPECT_EQ(store.overview(QStringLiteral("1"), last)->count, 0);
}

TEST_P(AccountStoreTest, AMovementIsStoredOnlyWithItsCustomerRow)
{
    test::TestDatabase t(GetParam());
    const qint64 max = std::numeric_limits<qint64>::max();
    t.addCustomer(QStringLiteral("1"), QStringLiteral("A"), QStringLiteral("Alıcı"), max);
    t.addMovement(QStringLiteral("1"), QDate(2026, 1, 1), max, {});
    // Never opened: no balance stored yet, though the account has a movement.
    t.addCustomer(QStringLiteral("3"), QStringLiteral("C"));
    t.addMovement(QStringLiteral("3"), QDate(2026, 1, 1), 5000, {});
    AccountStore store(t.db());
    const auto movements = [&](const QString& kod) {
        return count(t, QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), kod);
    };
    const auto payment = [](const QString& kod, qint64 odenen) {
        Movement m;
        m.musKodu = kod;
        m.tarih = QStringLiteral("2026-03-15");
        m.saat = QStringLiteral("12:00:00");
        m.aciklama = QStringLiteral("ÖDEME YAPILDI");
        m.odenen = odenen;
        return m;
    };

    // No customer row to carry the balance; a balance beyond 64 bits.
    struct Case
    {
        const char* what;
        QString musKodu;
        qint64 odenen;
        qint64 movementsAfter;
    };
    const Case refused[] = {{"no customer", QStringLiteral("2"), 100, 0}, {"overflow", QStringLiteral("1"), -1, 1}};
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        QString error;
        EXPECT_FALSE(store.appendMovement(payment(c.musKodu, c.odenen), &error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_EQ(movements(c.musKodu), c.movementsAfter);
    }
    EXPECT_EQ(store.customer(QStringLiteral("1"))->bakiye.toLongLong(), max);

    ASSERT_TRUE(store.appendMovement(payment(QStringLiteral("1"), 1)));
    EXPECT_EQ(store.customer(QStringLiteral("1"))->bakiye.toLongLong(), max - 1);
    QString appendError;
    ASSERT_TRUE(store.appendMovement(payment(QStringLiteral("3"), 1000), &appendError)) << appendError.toStdString();
    EXPECT_EQ(store.customer(QStringLiteral("3"))->bakiye.toLongLong(), 4000);
    EXPECT_EQ(store.customer(QStringLiteral("3"))->gun.toLongLong(), 0);
}

namespace {

Movement sale(const QString& kod, qint64 kurus)
{
    Movement m;
    m.musKodu = kod;
    m.tarih = QStringLiteral("2026-03-15");
    m.saat = QStringLiteral("12:00:00");
    m.aciklama = QStringLiteral("SATIŞ");
    m.eklenen = kurus;
    return m;
}

qint64 orphanMovements(const Database& db)
{
    return db
        .scalar(QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu NOT IN (SELECT mus_kodu FROM musteriler)"))
        .toLongLong();
}

// A till that holds the customer's row locked (as one in the middle of an entry does) until release().
class RowHolder
{
public:
    RowHolder(const test::TestDatabase& t, const QString& kod)
        : m_db(t.openAnother())
    {
        m_db->exec(QStringLiteral("BEGIN"));
        m_held = m_db->exec(QStringLiteral("SELECT id FROM musteriler WHERE mus_kodu = ? FOR UPDATE"), {kod});
    }
    bool held() const { return m_held; }
    void release() { m_db->exec(QStringLiteral("COMMIT")); }

private:
    std::unique_ptr<Database> m_db;
    bool m_held = false;
};

} // namespace

// The account is open on this till while another till deletes the customer: the next entry is refused with a
// message and leaves nothing behind.
TEST_P(AccountStoreTest, AnEntryForACustomerDeletedOnAnotherTillStoresNothing)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), qint64(0));
    AccountStore store(t.db());
    ASSERT_TRUE(store.customer(QStringLiteral("1")));
    ASSERT_TRUE(AccountStore(*t.openAnother()).deleteCustomer(QStringLiteral("1")));
    QString error;
    EXPECT_FALSE(store.appendMovement(sale(QStringLiteral("1"), 500), &error));
    EXPECT_TRUE(error.contains(QStringLiteral("silinmiş"))) << error.toStdString();
    EXPECT_EQ(orphanMovements(t.db()), 0);
}

// Two tills store for the same customer at the same moment and each balance counts the other's entry. On a
// server both first wait for a third till's lock on the row, so they run into each other for certain.
TEST_P(AccountStoreTest, TwoEntriesForOneCustomerAtOnceBothCount)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), qint64(10000));
    // Declared before the holder, so a failed wait ends the holder's lock before the tills are waited for.
    std::future<bool> first;
    std::future<bool> second;
    std::optional<RowHolder> holder;
    if (GetParam() == Engine::PostgreSQL) {
        holder.emplace(t, QStringLiteral("1"));
        ASSERT_TRUE(holder->held());
    }
    const auto append = [](qint64 kurus) {
        return [kurus](Database& db) { return AccountStore(db).appendMovement(sale(QStringLiteral("1"), kurus)); };
    };
    first = test::onOtherTill(t.target(), append(1000));
    if (holder)
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 1);
    second = test::onOtherTill(t.target(), append(250));
    if (holder) {
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 2);
        holder->release();
    }
    EXPECT_TRUE(first.get());
    EXPECT_TRUE(second.get());
    EXPECT_EQ(AccountStore(t.db()).customer(QStringLiteral("1"))->bakiye.toLongLong(), 11250);
    EXPECT_EQ(AccountStore(t.db()).overview(QStringLiteral("1"))->count, 2);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM liste_toplami WHERE Turu = 'Alıcı'")).toLongLong(),
              11250);
}

// One till deletes a customer while another stores an entry for it, in either order: no movement is left
// without its customer.
TEST(AccountTills, ADeletionAndAnEntryAtOnceLeaveNoOrphan)
{
    for (const bool deleteFirst : {true, false}) {
        SCOPED_TRACE(deleteFirst ? "deletion first" : "entry first");
        test::TestDatabase t(Engine::PostgreSQL);
        t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), qint64(0));
        t.addMovement(QStringLiteral("1"), QDate(2026, 1, 1), 100, {});
        std::future<bool> deletion;
        std::future<std::pair<bool, QString>> entry;
        RowHolder holder(t, QStringLiteral("1"));
        ASSERT_TRUE(holder.held());
        const auto remove = [](Database& db) { return AccountStore(db).deleteCustomer(QStringLiteral("1")); };
        const auto append = [](Database& db) {
            QString error;
            const bool stored = AccountStore(db).appendMovement(sale(QStringLiteral("1"), 500), &error);
            return std::make_pair(stored, error);
        };
        if (deleteFirst) {
            deletion = test::onOtherTill(t.target(), remove);
            ZV_WAIT_EQ(test::lockWaiters(t.db()), 1);
            entry = test::onOtherTill(t.target(), append);
        } else {
            entry = test::onOtherTill(t.target(), append);
            ZV_WAIT_EQ(test::lockWaiters(t.db()), 1);
            deletion = test::onOtherTill(t.target(), remove);
        }
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 2);
        holder.release();
        EXPECT_TRUE(deletion.get());
        const auto [stored, error] = entry.get();
        EXPECT_EQ(stored, !deleteFirst);
        if (deleteFirst) {
            EXPECT_TRUE(error.contains(QStringLiteral("silinmiş"))) << error.toStdString();
        }
        EXPECT_FALSE(AccountStore(t.db()).customer(QStringLiteral("1")));
        EXPECT_EQ(orphanMovements(t.db()), 0);
    }
}

namespace {

void setLimit(const test::TestDatabase& t, const QString& kod, const QVariant& kurus)
{
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = ? WHERE mus_kodu = ?"),
                            {kurus.isNull() ? QVariant(QMetaType::fromType<qint64>()) : kurus, kod}));
}

} // namespace

// A credit over the limit is held back unless agreed to; at the limit, without one, a payment or a return go
// through. The balance is the stored one, or the movements' when none is stored yet.
TEST_P(AccountStoreTest, ACreditAboveTheLimitIsStoredOnlyWhenAgreedTo)
{
    struct Case
    {
        const char* what;
        QVariant bakiye; // stored balance; null: from the movements (one of 9.000,00 already there)
        QVariant limit;
        qint64 eklenen;
        qint64 odenen;
        std::optional<qint64> agreed;
        bool stored;
    };
    const QVariant none;
    const Case cases[] = {
        {"up to the limit", qint64(900000), qint64(1000000), 100000, 0, {}, true},
        {"one kuruş over", qint64(900000), qint64(1000000), 100001, 0, {}, false},
        {"over, agreed", qint64(900000), qint64(1000000), 100001, 0, qint64(1000000), true},
        {"over, limit lowered since agreed", qint64(900000), qint64(1000000), 100001, 0, qint64(1200000), false},
        {"over, limit raised since agreed", qint64(900000), qint64(1000000), 100001, 0, qint64(800000), true},
        {"limit of nothing", qint64(0), qint64(0), 1, 0, {}, false},
        {"no limit", qint64(900000), none, 900000000, 0, {}, true},
        {"payment while over", qint64(2000000), qint64(1000000), 0, 100, {}, true},
        {"return while over", qint64(2000000), qint64(1000000), -500, 0, {}, true},
        {"balance from the movements", none, qint64(1000000), 100001, 0, {}, false},
        {"balance from the movements, under", none, qint64(1000000), 100000, 0, {}, true},
    };
    test::TestDatabase t(GetParam());
    AccountStore store(t.db());
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString kod = QString::number(++n);
        t.addCustomer(kod, QStringLiteral("Müşteri"), QStringLiteral("Alıcı"), c.bakiye);
        if (c.bakiye.isNull())
            t.addMovement(kod, QDate(2026, 1, 1), 900000, {});
        setLimit(t, kod, c.limit);
        const auto before = store.overview(kod);
        ASSERT_TRUE(before);
        Movement m = sale(kod, c.eklenen);
        if (c.odenen)
            m.odenen = c.odenen;
        AccountStore::LimitCheck check;
        check.agreed = c.agreed;
        QString error;
        EXPECT_EQ(store.appendMovement(m, &error, &check), c.stored);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(store.overview(kod)->count, before->count + (c.stored ? 1 : 0));
        if (c.stored) {
            EXPECT_FALSE(check.exceeded);
        } else {
            EXPECT_EQ(check.exceeded, c.limit.toLongLong());
            // Nothing of the refused credit stays: neither the movement nor the row's balance or date.
            const auto row = store.customer(kod);
            EXPECT_EQ(row->bakiye, c.bakiye.isNull() ? QVariant() : QVariant(c.bakiye.toLongLong()));
            EXPECT_TRUE(row->sonislem.isEmpty());
        }
    }
}

// Two tills each store a credit that fits under the limit alone but not together: the second sees the first's
// balance inside its own transaction and is held back. On a server both wait for a third till's lock on the row.
TEST_P(AccountStoreTest, TwoCreditsAtOnceAreHeldToTheLimitTogether)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), qint64(0));
    setLimit(t, QStringLiteral("1"), qint64(10000));
    std::future<bool> first;
    std::future<bool> second;
    std::optional<RowHolder> holder;
    if (GetParam() == Engine::PostgreSQL) {
        holder.emplace(t, QStringLiteral("1"));
        ASSERT_TRUE(holder->held());
    }
    const auto append = [](Database& db) {
        AccountStore::LimitCheck check;
        return AccountStore(db).appendMovement(sale(QStringLiteral("1"), 6000), nullptr, &check);
    };
    first = test::onOtherTill(t.target(), append);
    if (holder)
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 1);
    second = test::onOtherTill(t.target(), append);
    if (holder) {
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 2);
        holder->release();
    }
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(AccountStore(t.db()).overview(QStringLiteral("1"))->count, 1);
    EXPECT_EQ(AccountStore(t.db()).customer(QStringLiteral("1"))->bakiye.toLongLong(), 6000);
}
