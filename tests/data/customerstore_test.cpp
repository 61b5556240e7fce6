// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/customerstore.h"
#include "data/database.h"
#include "data/installedversion.h"
#include "data/turkishtext.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

using namespace zelvora;

namespace {

QStringList names(const CustomerStore& store, const CustomerListQuery& query)
{
    QStringList result;
    for (const CustomerListRow& row : store.rows(query, 0, 1000))
        result << row.musteriFirma;
    return result;
}

class CustomerListTest : public test::EngineTest
{
};
class DayCountTest : public test::EngineTest
{
};
class InstalledVersionTest : public test::EngineTest
{
};
INSTANTIATE_TEST_SUITE_P(Engines, CustomerListTest, test::kEngines, test::engineName);
INSTANTIATE_TEST_SUITE_P(Engines, DayCountTest, test::kEngines, test::engineName);
INSTANTIATE_TEST_SUITE_P(Engines, InstalledVersionTest, test::kEngines, test::engineName);

} // namespace

TEST_P(CustomerListTest, TurkishOrderIgnoresLetterCase)
{
    test::TestDatabase t(GetParam());
    const QStringList added
        = {QStringLiteral("Şule"),   QStringLiteral("selim"), QStringLiteral("Çetin"),    QStringLiteral("cemal"),
           QStringLiteral("İsmail"), QStringLiteral("ılgaz"), QStringLiteral("Ğ Market"), QStringLiteral("gül"),
           QStringLiteral("Zeki"),   QStringLiteral("Ömer"),  QStringLiteral("osman"),    QStringLiteral("Ümit"),
           QStringLiteral("ufuk"),   QStringLiteral("Ali"),   QStringLiteral("123 Ltd")};
    for (int i = 0; i < added.size(); ++i)
        t.addCustomer(QString::number(i + 1), added.at(i));
    CustomerStore store(t.db());
    ASSERT_TRUE(store.refreshNameKeys());
    EXPECT_EQ(names(store, CustomerListQuery::allByName()),
              (QStringList {QStringLiteral("123 Ltd"), QStringLiteral("Ali"), QStringLiteral("cemal"),
                            QStringLiteral("Çetin"), QStringLiteral("gül"), QStringLiteral("Ğ Market"),
                            QStringLiteral("ılgaz"), QStringLiteral("İsmail"), QStringLiteral("osman"),
                            QStringLiteral("Ömer"), QStringLiteral("selim"), QStringLiteral("Şule"),
                            QStringLiteral("ufuk"), QStringLiteral("Ümit"), QStringLiteral("Zeki")}));
    EXPECT_EQ(names(store, CustomerListQuery::tableOrder()), added);
}

TEST_P(CustomerListTest, PrefixSearchFoldsTurkishLettersAndCase)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("AHMET"));
    t.addCustomer(QStringLiteral("2"), QStringLiteral("Ahşap"));
    t.addCustomer(QStringLiteral("3"), QStringLiteral("ÇİĞDEM"));
    t.addCustomer(QStringLiteral("4"), QStringLiteral("ALİ"));
    t.addCustomer(QStringLiteral("5"), QStringLiteral("Ali"));
    t.addCustomer(QStringLiteral("6"), QStringLiteral("Mahmut"));
    CustomerStore store(t.db());
    store.refreshNameKeys();
    struct Case
    {
        QString typed;
        QStringList found;
    };
    const Case cases[] = {
        {QStringLiteral("ah"), {QStringLiteral("AHMET"), QStringLiteral("Ahşap")}},
        {QStringLiteral("ali"), {QStringLiteral("ALİ"), QStringLiteral("Ali")}},
        {QStringLiteral("cigdem"), {QStringLiteral("ÇİĞDEM")}},
        {QStringLiteral("AHŞ"), {QStringLiteral("Ahşap")}},
        {QStringLiteral("x"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(names(store, CustomerListQuery::namePrefix(c.typed)), c.found);
        EXPECT_EQ(store.count(CustomerListQuery::namePrefix(c.typed)), c.found.size());
    }
}

TEST_P(CustomerListTest, SearchTextIsNeverAPatternNorSql)
{
    test::TestDatabase t(GetParam());
    const QStringList stored = {QStringLiteral("O'Neil Gıda"), QStringLiteral("%50 İndirim"), QStringLiteral("_alt"),
                                QStringLiteral("*Yıldız"),     QStringLiteral("A\\B Ltd"),    QStringLiteral("Ozan"),
                                QStringLiteral("Alt Pazar"),   QStringLiteral("Bakkal")};
    for (int i = 0; i < stored.size(); ++i)
        t.addCustomer(QString::number(i + 1), stored.at(i));
    CustomerStore store(t.db());
    store.refreshNameKeys();
    struct Case
    {
        QString typed;
        QStringList found;
    };
    const Case cases[] = {
        {QStringLiteral("O'"), {QStringLiteral("O'Neil Gıda")}}, {QStringLiteral("%"), {QStringLiteral("%50 İndirim")}},
        {QStringLiteral("_"), {QStringLiteral("_alt")}},         {QStringLiteral("*"), {QStringLiteral("*Yıldız")}},
        {QStringLiteral("A\\"), {QStringLiteral("A\\B Ltd")}},   {QStringLiteral("' OR '1'='1"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(names(store, CustomerListQuery::namePrefix(c.typed)), c.found);
    }
    EXPECT_EQ(store.count(CustomerListQuery::tableOrder()), stored.size());
}

TEST_P(CustomerListTest, AccountTypeFilterComparesExactly)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Berk"), QStringLiteral("Satıcı"));
    t.addCustomer(QStringLiteral("2"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"));
    t.addCustomer(QStringLiteral("3"), QStringLiteral("Arda"), QStringLiteral("Satıcı"));
    CustomerStore store(t.db());
    store.refreshNameKeys();
    EXPECT_EQ(names(store, CustomerListQuery::accountType(QStringLiteral("Satıcı"))),
              (QStringList {QStringLiteral("Arda"), QStringLiteral("Berk")}));
    EXPECT_EQ(names(store, CustomerListQuery::accountType(QStringLiteral("Alıcı"))),
              (QStringList {QStringLiteral("Ayşe")}));
}

TEST_P(CustomerListTest, NameChangedByAnotherToolSortsAgainAfterRefresh)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Zafer"));
    t.addCustomer(QStringLiteral("2"), QStringLiteral("Mert"));
    CustomerStore store(t.db());
    store.refreshNameKeys();
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET MusteriFirma = 'Adem' WHERE mus_kodu = '1'")));
    store.refreshNameKeys();
    EXPECT_EQ(names(store, CustomerListQuery::allByName()),
              (QStringList {QStringLiteral("Adem"), QStringLiteral("Mert")}));
    EXPECT_EQ(names(store, CustomerListQuery::namePrefix(QStringLiteral("ad"))),
              (QStringList {QStringLiteral("Adem")}));
}

TEST_P(DayCountTest, WritesChangedRowsOnlyAndLeavesMissingDatesEmpty)
{
    test::TestDatabase t(GetParam());
    const QDate today(2026, 12, 9);
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Bugün"), QStringLiteral("Alıcı"), {}, today);
    t.addCustomer(QStringLiteral("2"), QStringLiteral("Eski"), QStringLiteral("Alıcı"), {}, today.addDays(-12));
    t.addCustomer(QStringLiteral("3"), QStringLiteral("Yeni"), QStringLiteral("Alıcı"), {}, {});
    t.addCustomer(QStringLiteral("4"), QStringLiteral("Bozuk"), QStringLiteral("Alıcı"), {}, QStringLiteral("dün"));
    CustomerStore store(t.db());
    ASSERT_TRUE(store.updateDayCounts(today));
    auto gun = [&](const char* kod) {
        return t.db().scalar(QStringLiteral("SELECT Gun FROM musteriler WHERE mus_kodu = ?"),
                             {QString::fromLatin1(kod)});
    };
    EXPECT_EQ(gun("1").toInt(), 0);
    EXPECT_EQ(gun("2").toInt(), -12);
    EXPECT_TRUE(gun("3").isNull());
    EXPECT_TRUE(gun("4").isNull());

    // The next run rewrites nothing that is already right.
    EXPECT_EQ(store.staleDayCounts(today, 100), 0);
    ASSERT_TRUE(store.updateDayCounts(today));
    if (GetParam() == Engine::SQLite) {
        EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT changes()")).toInt(), 0);
    }
    EXPECT_EQ(store.staleDayCounts(today.addDays(1), 100), 2);
    ASSERT_TRUE(store.updateDayCounts(today.addDays(1)));
    if (GetParam() == Engine::SQLite) {
        EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT changes()")).toInt(), 2);
    }
    EXPECT_EQ(store.staleDayCounts(today.addDays(1), 100), 0);
    EXPECT_EQ(gun("2").toInt(), -13);
}

TEST(Transaction, AFailedCommitLeavesNoTransactionOpen)
{
    test::TestDatabase t;
    // A second connection reading keeps the first one's COMMIT from getting its exclusive lock.
    auto reader = Database::open(t.path());
    ASSERT_TRUE(reader->exec(QStringLiteral("PRAGMA busy_timeout = 0")));
    ASSERT_TRUE(t.db().exec(QStringLiteral("PRAGMA busy_timeout = 0")));
    ASSERT_TRUE(reader->exec(QStringLiteral("BEGIN")));
    ASSERT_TRUE(reader->scalar(QStringLiteral("SELECT count(*) FROM musteriler")).isValid());
    {
        ScopedTransaction transaction(t.db());
        ASSERT_TRUE(transaction.isActive());
        ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE son_musterino SET musterino = 5")));
        EXPECT_FALSE(transaction.commit());
    }
    reader->exec(QStringLiteral("COMMIT"));
    // The connection is usable for a new transaction and the failed write is gone.
    ScopedTransaction next(t.db());
    EXPECT_TRUE(next.isActive());
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT musterino FROM son_musterino")).toInt(), 0);
}

namespace {

// A list of n customers with names that share first letters, Turkish twins among them.
void addNamedCustomers(test::TestDatabase& t, int n)
{
    const QStringList first = {QStringLiteral("Can"),   QStringLiteral("Çağrı"), QStringLiteral("Cem"),
                               QStringLiteral("Ümit"),  QStringLiteral("Umut"),  QStringLiteral("Işık"),
                               QStringLiteral("İlker"), QStringLiteral("Oya"),   QStringLiteral("Ödül")};
    ScopedTransaction transaction(t.db());
    for (int i = 1; i <= n; ++i)
        t.addCustomer(QString::number(i), first.at(i % first.size()) + QStringLiteral(" %1").arg(i % 97),
                      i % 3 ? QStringLiteral("Alıcı") : QStringLiteral("Satıcı"));
    transaction.commit();
}

QVector<qint64> idsOf(const QVector<CustomerListRow>& rows)
{
    QVector<qint64> ids;
    for (const CustomerListRow& row : rows)
        ids << row.id;
    return ids;
}

} // namespace

// Every way of reaching a part of the list (from the top, from the bottom, next to a row read before) reads
// the same rows as counting from the top would.
TEST_P(CustomerListTest, EveryWindowReadsTheRowsAnOffsetFromTheTopWould)
{
    test::TestDatabase t(GetParam());
    addNamedCustomers(t, 600);
    CustomerStore store(t.db());
    ASSERT_TRUE(store.refreshNameKeys());
    const QDate today(2026, 12, 9);
    using From = CustomerListWindow::From;
    for (const CustomerListQuery& query :
         {CustomerListQuery::allByName(), CustomerListQuery::tableOrder(),
          CustomerListQuery::namePrefix(QStringLiteral("c")), CustomerListQuery::namePrefix(QStringLiteral("u")),
          CustomerListQuery::accountType(QStringLiteral("Satıcı"))}) {
        SCOPED_TRACE(QStringLiteral("%1 %2").arg(int(query.kind)).arg(query.text).toStdString());
        const qint64 count = store.count(query);
        const QVector<CustomerListRow> all = store.rows(query, today, CustomerListWindow::top(0, count));
        ASSERT_EQ(all.size(), count);
        ASSERT_GT(count, 40);
        const auto expected = [&](qint64 from, qint64 size) { return idsOf(all.mid(from, size)); };
        // Rows 20..29 reached five ways.
        EXPECT_EQ(idsOf(store.rows(query, today, CustomerListWindow::top(20, 10))), expected(20, 10));
        EXPECT_EQ(idsOf(store.rows(query, today, {From::Bottom, {}, count - 30, 10})), expected(20, 10));
        EXPECT_EQ(idsOf(store.rows(query, today, {From::After, all.at(14), 5, 10})), expected(20, 10));
        EXPECT_EQ(idsOf(store.rows(query, today, {From::Before, all.at(35), 5, 10})), expected(20, 10));
        EXPECT_EQ(idsOf(store.rows(query, today, {From::Bottom, {}, 0, 10})), expected(count - 10, 10));
        for (const qint64 row : {qint64(0), qint64(17), count - 1})
            EXPECT_EQ(store.rowOf(query, all.at(row).id), row);
    }
    EXPECT_EQ(store.rowOf(CustomerListQuery::namePrefix(QStringLiteral("c")),
                          store.rows(CustomerListQuery::namePrefix(QStringLiteral("u")), 0, 1).first().id),
              -1);
}

TEST_P(CustomerListTest, APrefixWithTurkishTwinsFindsBothLettersInNameOrder)
{
    test::TestDatabase t(GetParam());
    for (const char* name : {"Çam", "Cam", "Cbm", "Çbm", "Can", "Dere", "Çan"})
        t.addCustomer(QString::fromUtf8(name), QString::fromUtf8(name));
    CustomerStore store(t.db());
    store.refreshNameKeys();
    EXPECT_EQ(
        names(store, CustomerListQuery::namePrefix(QStringLiteral("ca"))),
        (QStringList {QStringLiteral("Cam"), QStringLiteral("Can"), QStringLiteral("Çam"), QStringLiteral("Çan")}));
    EXPECT_EQ(names(store, CustomerListQuery::namePrefix(QStringLiteral("çb"))),
              (QStringList {QStringLiteral("Cbm"), QStringLiteral("Çbm")}));
}

TEST_P(DayCountTest, StaleRowsAreFoundByTheIndexAndWrittenInBatches)
{
    test::TestDatabase t(GetParam());
    const QDate today(2026, 12, 9);
    for (int i = 1; i <= 30; ++i)
        t.addCustomer(QString::number(i), QStringLiteral("M%1").arg(i), QStringLiteral("Alıcı"), {}, today.addDays(-i));
    // A date with a time, as another tool may write it: its count is right once written and stays so.
    t.addCustomer(QStringLiteral("31"), QStringLiteral("Saatli"), QStringLiteral("Alıcı"), {},
                  QStringLiteral("2026-12-01 18:30:00"));
    t.addCustomer(QStringLiteral("32"), QStringLiteral("Tarihsiz"));
    CustomerStore store(t.db());
    EXPECT_EQ(store.staleDayCounts(today, 100), 31);
    EXPECT_EQ(store.staleDayCounts(today, 5), 5);
    const qint64 firstId = store.idRange()->first;
    EXPECT_EQ(store.updateDayCountsOfIds(today, firstId, firstId + 19), 20);
    EXPECT_EQ(store.staleDayCounts(today, 100), 11);
    EXPECT_EQ(store.updateDayCountsOfIds(today, firstId + 20, firstId + 31), 11);
    EXPECT_EQ(store.updateDayCountsOfIds(today, firstId, firstId + 31), 0);
    EXPECT_EQ(store.staleDayCounts(today, 100), 0);
    const auto gun = [&](const char* kod) {
        return t.db().scalar(QStringLiteral("SELECT Gun FROM musteriler WHERE mus_kodu = ?"),
                             {QString::fromLatin1(kod)});
    };
    EXPECT_EQ(gun("7").toInt(), -7);
    EXPECT_EQ(gun("31").toInt(), -7); // 18:30 rounds to the next day
    EXPECT_TRUE(gun("32").isNull());

    // A day count written by an account window from another date is stale again; another tool's wrong value
    // for a customer without a date too.
    t.db().exec(QStringLiteral("UPDATE musteriler SET Gun = -2 WHERE mus_kodu IN ('3', '31')"));
    t.db().exec(QStringLiteral("UPDATE musteriler SET Gun = 4 WHERE mus_kodu = '32'"));
    EXPECT_EQ(store.staleDayCounts(today, 100), 3);
    ASSERT_TRUE(store.updateDayCounts(today));
    EXPECT_EQ(gun("3").toInt(), -3);
    EXPECT_TRUE(gun("32").isNull());
    // The next day every dated row is stale; a range of ids is rewritten in one go, the rest stays stale.
    EXPECT_EQ(store.staleDayCounts(today.addDays(1), 100), 31);
    const auto ids = store.idRange();
    ASSERT_TRUE(ids);
    EXPECT_EQ(ids->second - ids->first, 31);
    EXPECT_EQ(store.updateDayCountsOfIds(today.addDays(1), ids->first, ids->first + 9), 10);
    EXPECT_EQ(store.staleDayCounts(today.addDays(1), 100), 21);
    EXPECT_EQ(gun("1").toInt(), -2);
    // The list shows the count for the day asked for, whatever is stored.
    EXPECT_EQ(store.rows(CustomerListQuery::tableOrder(), today.addDays(1), CustomerListWindow::top(6, 1)).first().gun,
              -8);
}

TEST_P(CustomerListTest, NameKeysAreFilledInBatches)
{
    test::TestDatabase t(GetParam());
    for (int i = 1; i <= 7; ++i)
        t.addCustomer(QString::number(i), QStringLiteral("Şule %1").arg(i));
    CustomerStore store(t.db());
    EXPECT_EQ(store.missingNameKeys(100), 7);
    qint64 after = std::numeric_limits<qint64>::min();
    EXPECT_EQ(store.fillNameKeys(3, &after), 3);
    EXPECT_EQ(store.missingNameKeys(100), 4);
    EXPECT_EQ(store.fillNameKeys(100, &after), 4);
    EXPECT_EQ(store.fillNameKeys(100, &after), 0);
    EXPECT_EQ(store.missingNameKeys(100), 0);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT arama_anahtari FROM musteriler WHERE mus_kodu = '5'")).toString(),
              QStringLiteral("SULE 5"));
    // An empty name gets empty keys, not missing ones: it is not read again and again.
    t.addCustomer(QStringLiteral("8"), QStringLiteral(""));
    ASSERT_TRUE(store.refreshNameKeys());
    EXPECT_EQ(store.missingNameKeys(100), 0);
}

// Rows written by another tool wait for their keys; a search meanwhile must find them too, page by page, and
// the count must agree with the rows (the same customers as after the fill, keyless ones first).
TEST_P(CustomerListTest, ASearchFindsRowsStillWithoutKeys)
{
    test::TestDatabase t(GetParam());
    const QStringList keyed {QStringLiteral("Uğur"), QStringLiteral("Ümit"), QStringLiteral("Ali"),
                             QStringLiteral("usta"), QStringLiteral("Şule")};
    for (int i = 0; i < keyed.size(); ++i)
        t.addCustomer(QStringLiteral("k%1").arg(i), keyed.at(i));
    CustomerStore store(t.db());
    ASSERT_TRUE(store.refreshNameKeys());
    t.addCustomer(QStringLiteral("n1"), QStringLiteral("ULUSOY"));
    t.addCustomer(QStringLiteral("n2"), QStringLiteral("şahin"));
    t.addCustomer(QStringLiteral("n3"), QStringLiteral("Ünal"));
    // A row another tool gave a sort key but no search key.
    const qint64 half = t.addCustomer(QStringLiteral("n4"), QStringLiteral("Uysal"));
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = ? WHERE id = ?"),
                            {turkish::sortKey(QStringLiteral("Uysal")), half}));
    ASSERT_GT(store.missingNameKeys(10), 0);

    struct Case
    {
        QString typed;
        QStringList sortedAfterFill;
    };
    const Case cases[] = {
        {QStringLiteral("u"),
         {QStringLiteral("Uğur"), QStringLiteral("ULUSOY"), QStringLiteral("usta"), QStringLiteral("Uysal"),
          QStringLiteral("Ümit"), QStringLiteral("Ünal")}},
        {QStringLiteral("s"), {QStringLiteral("şahin"), QStringLiteral("Şule")}},
        {QStringLiteral("uy"), {QStringLiteral("Uysal")}},
        {QStringLiteral("z"), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        const auto query = CustomerListQuery::namePrefix(c.typed);
        QStringList before = names(store, query);
        EXPECT_EQ(store.count(query), c.sortedAfterFill.size());
        // Page by page, each page read after the last row of the one before.
        QStringList paged;
        CustomerListWindow window = CustomerListWindow::top(0, 1);
        for (;;) {
            const auto rows = store.rows(query, QDate(2026, 12, 9), window);
            if (rows.isEmpty())
                break;
            paged << rows.constFirst().musteriFirma;
            window = {CustomerListWindow::From::After, rows.constFirst(), 0, 1};
        }
        EXPECT_EQ(paged, before);
        std::sort(before.begin(), before.end(),
                  [](const QString& a, const QString& b) { return turkish::sortKey(a) < turkish::sortKey(b); });
        EXPECT_EQ(before, c.sortedAfterFill);
    }
    ASSERT_TRUE(store.refreshNameKeys());
    for (const Case& c : cases)
        EXPECT_EQ(names(store, CustomerListQuery::namePrefix(c.typed)), c.sortedAfterFill) << c.typed.toStdString();
}

// The keys the database fills through its registered functions are the program's own keys.
TEST_P(CustomerListTest, KeysFilledInTheDatabaseAreTheProgramsKeys)
{
    test::TestDatabase t(GetParam());
    const QStringList names {QStringLiteral("İĞNECİ Işık"), QStringLiteral("çöğüş"), QStringLiteral(""),
                             QStringLiteral("a%_\\*'\""), QStringLiteral("Ωmega 12")};
    for (int i = 0; i < names.size(); ++i)
        t.addCustomer(QString::number(i), names.at(i));
    ASSERT_TRUE(CustomerStore(t.db()).refreshNameKeys());
    QSqlQuery q = t.db().prepare(QStringLiteral("SELECT MusteriFirma, sira_anahtari, arama_anahtari FROM musteriler"));
    ASSERT_TRUE(Database::run(q));
    int rows = 0;
    while (q.next()) {
        ++rows;
        const QString name = q.value(0).toString();
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(q.value(1).isNull());
        EXPECT_EQ(q.value(1).toString(), turkish::sortKey(name));
        EXPECT_EQ(q.value(2).toString(), turkish::searchKey(name));
    }
    EXPECT_EQ(rows, names.size());
}

TEST_P(InstalledVersionTest, TheRecordedVersionNoneOrTheEnginesReason)
{
    test::TestDatabase t(GetParam());
    t.db().exec(QStringLiteral("DELETE FROM surum"));
    EXPECT_EQ(installedVersion(t.db()), QString());
    t.db().exec(QStringLiteral("INSERT INTO surum (surum) VALUES ('2.4.1')"));
    EXPECT_EQ(installedVersion(t.db()), QStringLiteral("2.4.1"));
    t.db().exec(QStringLiteral("DROP TABLE surum"));
    QString error;
    EXPECT_EQ(installedVersion(t.db(), &error), std::nullopt);
    EXPECT_TRUE(error.contains(QStringLiteral("surum"))) << error.toStdString();
}

// The credit limit comes with the list's row: whole kuruş, or null for none (also for a value another tool
// wrote as something other than whole kuruş).
TEST_P(CustomerListTest, RowsCarryTheCreditLimit)
{
    test::TestDatabase t(GetParam());
    for (const char* kod : {"1", "2", "3"})
        t.addCustomer(QString::fromLatin1(kod), QStringLiteral("Müşteri ") + QString::fromLatin1(kod));
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = 150000 WHERE mus_kodu = '1'")));
    if (GetParam() == Engine::SQLite)
        ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = 1500.5 WHERE mus_kodu = '3'")));
    const auto rows = CustomerStore(t.db()).rows(CustomerListQuery::tableOrder(), 0, 10);
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows.at(0).krediLimiti.toLongLong(), 150000);
    EXPECT_TRUE(rows.at(1).krediLimiti.isNull());
    EXPECT_TRUE(rows.at(2).krediLimiti.isNull());
}
