#include "data/customerstore.h"
#include "data/turkishtext.h"
#include "testdatabase.h"

#include <gtest/gtest.h>

using namespace zelvora;

namespace {

QStringList names(const CustomerStore& store, const CustomerListQuery& query)
{
    QStringList result;
    for (const CustomerListRow& row : store.rows(query, 0, 1000))
        result << row.musteriFirma;
    return result;
}

} // namespace

TEST(CustomerList, TurkishOrderIgnoresLetterCase)
{
    test::TestDatabase t;
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

TEST(CustomerList, PrefixSearchFoldsTurkishLettersAndCase)
{
    test::TestDatabase t;
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

TEST(CustomerList, SearchTextIsNeverAPatternNorSql)
{
    test::TestDatabase t;
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
    EXPECT_EQ(store.totalCount(), stored.size());
}

TEST(CustomerList, AccountTypeFilterComparesExactly)
{
    test::TestDatabase t;
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

TEST(CustomerList, NameChangedByAnotherToolSortsAgainAfterRefresh)
{
    test::TestDatabase t;
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

TEST(DayCount, WritesChangedRowsOnlyAndLeavesMissingDatesEmpty)
{
    test::TestDatabase t;
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
    ASSERT_TRUE(store.updateDayCounts(today));
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT changes()")).toInt(), 0);
    ASSERT_TRUE(store.updateDayCounts(today.addDays(1)));
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT changes()")).toInt(), 2);
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
