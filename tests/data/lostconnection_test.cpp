// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/changewatch.h"
#include "data/database.h"
#include "pgserver.h"
#include "testdatabase.h"
#include "tills.h"
#include "waiting.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// A server connection whose link another connection cuts, as a restarted server or a pulled cable would.
class LostConnectionTest : public ::testing::Test
{
protected:
    // Ends db's session on the server and waits until it has gone.
    void cut(const Database& db)
    {
        const qint64 pid = db.scalar(QStringLiteral("SELECT pg_backend_pid()")).toLongLong();
        ASSERT_GT(pid, 0);
        ASSERT_TRUE(observer->scalar(QStringLiteral("SELECT pg_terminate_backend(?)"), {pid}).toBool());
        ZV_WAIT_EQ(
            observer->scalar(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE pid = ?"), {pid}).toInt(), 0);
    }
    int movements() const { return observer->scalar(QStringLiteral("SELECT count(*) FROM veresiye")).toInt(); }

    test::TestDatabase t {Engine::PostgreSQL};
    std::unique_ptr<Database> observer = t.openAnother();
};

TEST_F(LostConnectionTest, AfterTheServerWasAwayTheNextStatementConnectsAgainAndListensAgain)
{
    ChangeWatch watch(t.db());
    ASSERT_TRUE(watch.isListening());
    QSignalSpy spy(&watch, &ChangeWatch::changed);
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    ASSERT_TRUE(server->stop(&error)) << error.toStdString();

    EXPECT_FALSE(t.db().scalar(QStringLiteral("SELECT count(*) FROM musteriler"), {}, &error).isValid());
    EXPECT_TRUE(t.db().isLost());
    EXPECT_EQ(t.db().unreachableText(), QStringLiteral("Sunucuya (127.0.0.1:%1) ulaşılamıyor").arg(server->port()));
    // Trying while the server is still away fails and leaves the connection lost.
    EXPECT_FALSE(t.db().reconnect(&error));
    EXPECT_TRUE(t.db().isLost());

    ASSERT_TRUE(server->startAgain(&error)) << error.toStdString();
    observer = t.openAnother();
    // Statements try again at most every half second while the server stays away.
    ZV_WAIT_UNTIL(t.db().scalar(QStringLiteral("SELECT count(*) FROM musteriler")).isValid());
    EXPECT_FALSE(t.db().isLost());
    // The watch hears the other tills on the new link.
    ASSERT_TRUE(observer->exec(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES ('7')")));
    ZV_WAIT_EQ(spy.size(), 1);
    EXPECT_EQ(spy.at(0).at(1).toString(), QStringLiteral("7"));
}

TEST_F(LostConnectionTest, ATransactionWhoseLinkWentStoresNothingAndIsNotCarriedOnElsewhere)
{
    ScopedTransaction tx(t.db());
    ASSERT_TRUE(tx.isActive());
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('1', 100)")));
    cut(t.db());
    EXPECT_FALSE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('1', 200)")));
    // Inside the transaction no new link is made: the second half must not be stored without the first.
    EXPECT_FALSE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('1', 300)")));
    EXPECT_FALSE(tx.commit());
    EXPECT_FALSE(t.db().commitOutcomeUnknown()); // the link went before the COMMIT: nothing was stored
    EXPECT_EQ(movements(), 0);

    // The next transaction connects again and stores.
    ScopedTransaction next(t.db());
    ASSERT_TRUE(next.isActive());
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('1', 100)")));
    ASSERT_TRUE(next.commit());
    EXPECT_EQ(movements(), 1);
}

TEST_F(LostConnectionTest, ACommitWhoseLinkWentIsReportedAsUnknown)
{
    ScopedTransaction tx(t.db());
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('1', 100)")));
    cut(t.db());
    EXPECT_FALSE(tx.commit());
    EXPECT_TRUE(t.db().isLost());
    EXPECT_TRUE(t.db().commitOutcomeUnknown());
}

TEST_F(LostConnectionTest, ATransactionBegunAfterTheServerWentAwayUnnoticedConnectsAgain)
{
    // The idle till has not seen its link go: the BEGIN finds it out, and nothing has been written yet.
    cut(t.db());
    ScopedTransaction tx(t.db());
    ASSERT_TRUE(tx.isActive());
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Eklenen) VALUES ('1', 100)")));
    ASSERT_TRUE(tx.commit());
    EXPECT_EQ(movements(), 1);
}

TEST(LostConnectionFile, AFileIsNeverLost)
{
    test::TestDatabase t;
    EXPECT_FALSE(t.db().exec(QStringLiteral("SELECT * FROM yok")));
    EXPECT_FALSE(t.db().isLost());
}

} // namespace
