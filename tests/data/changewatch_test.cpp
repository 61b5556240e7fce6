// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/changewatch.h"
#include "data/database.h"
#include "testdatabase.h"
#include "tills.h"
#include "waiting.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

using Change = ChangeWatch::Change;

TEST(ChangeWatchPayload, NamesTheTableAndTheCustomer)
{
    struct Case
    {
        QString payload;
        QString table;
        QString musKodu;
    };
    const Case cases[] = {
        {QStringLiteral("musteriler:42"), QStringLiteral("musteriler"), QStringLiteral("42")},
        {QStringLiteral("veresiye"), QStringLiteral("veresiye"), {}},
        // A customer number may hold a colon of its own.
        {QStringLiteral("veresiye:A:7"), QStringLiteral("veresiye"), QStringLiteral("A:7")},
        {QStringLiteral("User"), QStringLiteral("User"), {}},
    };
    for (const Case& c : cases) {
        const Change change = ChangeWatch::parse(c.payload);
        EXPECT_EQ(change.table, c.table) << c.payload.toStdString();
        EXPECT_EQ(change.musKodu, c.musKodu) << c.payload.toStdString();
    }
}

TEST(ChangeWatchPayload, AnAccountIsConcernedByItsOwnRowsAndByAnyCustomer)
{
    const QString kod = QStringLiteral("42");
    EXPECT_TRUE(ChangeWatch::concernsAccount({QStringLiteral("veresiye"), kod}, kod));
    EXPECT_TRUE(ChangeWatch::concernsAccount({QStringLiteral("musteriler"), kod}, kod));
    EXPECT_TRUE(ChangeWatch::concernsAccount({QStringLiteral("veresiye"), {}}, kod));
    EXPECT_FALSE(ChangeWatch::concernsAccount({QStringLiteral("veresiye"), QStringLiteral("43")}, kod));
    EXPECT_FALSE(ChangeWatch::concernsAccount({QStringLiteral("veresiye"), QStringLiteral("420")}, kod));
    EXPECT_FALSE(ChangeWatch::concernsAccount({QStringLiteral("User"), {}}, kod));
}

// The notifications seen, as "table:number" (number empty for any customer).
QStringList seen(const QSignalSpy& spy)
{
    QStringList out;
    for (const QList<QVariant>& args : spy)
        out << args.at(0).toString() + QLatin1Char(':') + args.at(1).toString();
    return out;
}

class ChangeWatchServerTest : public ::testing::Test
{
protected:
    // Runs sql on another till and waits for it to commit.
    void onOtherTill(const QString& sql, const QVariantList& values = {})
    {
        QString error;
        const bool ok
            = test::onOtherTill(t.target(), [&](const Database& db) { return db.exec(sql, values, &error); }).get();
        ASSERT_TRUE(ok) << error.toStdString();
    }

    test::TestDatabase t {Engine::PostgreSQL};
};

TEST_F(ChangeWatchServerTest, AnotherTillsChangesArriveWithTableAndCustomer)
{
    t.addCustomer(QStringLiteral("42"), QStringLiteral("Ahmet"));
    ChangeWatch watch(t.db());
    ASSERT_TRUE(watch.isListening());
    QSignalSpy spy(&watch, &ChangeWatch::changed);

    onOtherTill(QStringLiteral("INSERT INTO musteriler (mus_kodu, MusteriFirma) VALUES ('7', 'Veli')"));
    ZV_WAIT_EQ(seen(spy), QStringList {QStringLiteral("musteriler:7")});
    spy.clear();
    onOtherTill(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('42', 100)"));
    ZV_WAIT_EQ(seen(spy), QStringList {QStringLiteral("veresiye:42")});
    spy.clear();
    onOtherTill(QStringLiteral("DELETE FROM veresiye WHERE mus_kodu = '42'"));
    ZV_WAIT_EQ(seen(spy), QStringList {QStringLiteral("veresiye:42")});
    spy.clear();
    onOtherTill(QStringLiteral("UPDATE \"User\" SET Password = 'x'"));
    ZV_WAIT_EQ(seen(spy), QStringList {QStringLiteral("User:")});
}

TEST_F(ChangeWatchServerTest, ABulkWriteSendsOneNotificationAndAnEmptyOneNone)
{
    ChangeWatch watch(t.db());
    QSignalSpy spy(&watch, &ChangeWatch::changed);
    // A statement that changes nothing says nothing: the next notification is the first one seen.
    onOtherTill(QStringLiteral("DELETE FROM veresiye WHERE mus_kodu = 'yok'"));
    // Many customers in one statement: one notification for any customer, not one per row.
    onOtherTill(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) SELECT (g % 500)::text, 1 "
                               "FROM generate_series(1, 5000) g"));
    ZV_WAIT_EQ(seen(spy), QStringList {QStringLiteral("veresiye:")});
    // The same customer many times within one transaction: one notification.
    spy.clear();
    QString error;
    ASSERT_TRUE(test::onOtherTill(t.target(), [&](const Database& db) {
                    ScopedTransaction tx(db);
                    for (int i = 0; i < 30; ++i)
                        db.exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('9', 1)"));
                    return tx.commit();
                }).get());
    onOtherTill(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES ('son')"));
    ZV_WAIT_EQ(seen(spy), (QStringList {QStringLiteral("veresiye:9"), QStringLiteral("musteriler:son")}));
}

TEST_F(ChangeWatchServerTest, OwnWritesAreNotReportedAndWatchesShareTheConnection)
{
    auto first = std::make_unique<ChangeWatch>(t.db());
    ChangeWatch second(t.db());
    ASSERT_TRUE(first->isListening());
    ASSERT_TRUE(second.isListening());
    QSignalSpy spy(&second, &ChangeWatch::changed);

    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES ('kendi')")));
    // The first watch gone, the second still hears the other till.
    first.reset();
    onOtherTill(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES ('diger')"));
    // Notifications come in commit order: once the other till's is here, our own would have come before it.
    ZV_WAIT_EQ(seen(spy), QStringList {QStringLiteral("musteriler:diger")});
}

TEST(ChangeWatchFile, ASQLiteLedgerIsNotWatched)
{
    test::TestDatabase t;
    ChangeWatch watch(t.db());
    EXPECT_FALSE(watch.isListening());
    QSignalSpy spy(&watch, &ChangeWatch::changed);
    const auto other = t.openAnother();
    ASSERT_TRUE(other->exec(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES ('7')")));
    QCoreApplication::processEvents();
    EXPECT_EQ(spy.count(), 0);
}

} // namespace
