// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/userstore.h"

#include "testdatabase.h"
#include "tills.h"
#include "users/passwordhash.h"
#include "waiting.h"

#include <gtest/gtest.h>

using namespace zelvora;

namespace {

class UserStoreTest : public test::EngineTest
{
protected:
    // Inserts a row as another tool would: the password column holds exactly `stored`.
    void insertRaw(const QString& name, const QString& stored)
    {
        ASSERT_TRUE(
            tdb.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"), {name, stored}));
    }
    QString storedPassword(const QString& name)
    {
        return tdb.db().scalar(QStringLiteral("SELECT Password FROM \"User\" WHERE Username = ?"), {name}).toString();
    }
    QStringList names(UserStore::Order order)
    {
        QVector<UserRow> rows;
        EXPECT_TRUE(store.users(order, rows));
        QStringList result;
        for (const UserRow& row : rows)
            result << row.username;
        return result;
    }

    test::TestDatabase tdb {GetParam()};
    UserStore store {tdb.db()};
};
INSTANTIATE_TEST_SUITE_P(Engines, UserStoreTest, test::kEngines, test::engineName);

TEST_P(UserStoreTest, AddStoresAHashNotTheTypedText)
{
    ASSERT_EQ(store.add(QStringLiteral("AHMET"), QStringLiteral("Gizli 1")), UserStore::AddResult::Added);
    const QString stored = storedPassword(QStringLiteral("AHMET"));
    EXPECT_NE(stored, QStringLiteral("Gizli 1"));
    EXPECT_FALSE(stored.contains(QStringLiteral("Gizli")));
    EXPECT_TRUE(passwords::isHash(stored));
    EXPECT_EQ(store.signIn(QStringLiteral("AHMET"), QStringLiteral("Gizli 1")).result,
              UserStore::CheckResult::SignedIn);
}

TEST_P(UserStoreTest, NameDifferingOnlyInLetterCaseIsADuplicate)
{
    ASSERT_EQ(store.add(QStringLiteral("AHMET"), QStringLiteral("a")), UserStore::AddResult::Added);
    QString error;
    EXPECT_EQ(store.add(QStringLiteral("Ahmet"), QStringLiteral("b"), &error), UserStore::AddResult::Duplicate);
    EXPECT_EQ(store.count(), 1);
}

TEST_P(UserStoreTest, SignInCheck)
{
    insertRaw(QStringLiteral("ZEYNEP"), passwords::hash(QStringLiteral("Gizli ")));
    insertRaw(QStringLiteral("O'NEIL"), passwords::hash(QStringLiteral("q")));
    using R = UserStore::CheckResult;
    const struct
    {
        QString name;
        QString password;
        R expected;
    } cases[] = {
        {QStringLiteral("ZEYNEP"), QStringLiteral("Gizli "), R::SignedIn},
        {QStringLiteral("zeynep"), QStringLiteral("Gizli "), R::SignedIn}, // the name ignores letter case
        {QStringLiteral("ZEYNEP"), QStringLiteral("gizli "), R::WrongPassword},
        {QStringLiteral("ZEYNEP"), QStringLiteral("Gizli"), R::WrongPassword}, // trailing blanks count
        {QStringLiteral("ZEYNEP"), QStringLiteral("Gizli  "), R::WrongPassword},
        {QStringLiteral("VELİ"), QStringLiteral("Gizli "), R::UnknownName},
        {QStringLiteral("O'NEIL"), QStringLiteral("q"), R::SignedIn},
        {QStringLiteral("' OR '1'='1"), QStringLiteral("q"), R::UnknownName},
    };
    for (const auto& c : cases) {
        const UserStore::SignIn result = store.signIn(c.name, c.password);
        EXPECT_EQ(result.result, c.expected) << c.name.toStdString() << " / " << c.password.toStdString();
        if (c.expected == R::SignedIn) {
            EXPECT_EQ(result.username.compare(c.name, Qt::CaseInsensitive), 0);
        }
    }
    EXPECT_EQ(store.signIn(QStringLiteral("zeynep"), QStringLiteral("Gizli ")).username, QStringLiteral("ZEYNEP"));
}

TEST_P(UserStoreTest, PlainTextRowSignsInAndIsThenHashed)
{
    insertRaw(QStringLiteral("MEHMET"), QStringLiteral("abc "));
    // A wrong attempt leaves the row as it is.
    EXPECT_EQ(store.signIn(QStringLiteral("MEHMET"), QStringLiteral("ABC ")).result,
              UserStore::CheckResult::WrongPassword);
    EXPECT_EQ(storedPassword(QStringLiteral("MEHMET")), QStringLiteral("abc "));

    EXPECT_EQ(store.signIn(QStringLiteral("MEHMET"), QStringLiteral("abc ")).result, UserStore::CheckResult::SignedIn);
    const QString stored = storedPassword(QStringLiteral("MEHMET"));
    EXPECT_TRUE(passwords::isHash(stored));
    EXPECT_EQ(store.signIn(QStringLiteral("MEHMET"), QStringLiteral("abc ")).result, UserStore::CheckResult::SignedIn);
    EXPECT_EQ(store.signIn(QStringLiteral("MEHMET"), QStringLiteral("abc")).result,
              UserStore::CheckResult::WrongPassword);
}

TEST_P(UserStoreTest, ListsInTableOrderAndInTurkishOrder)
{
    for (const char16_t* name : {u"ZEYNEP", u"İLKER", u"ÇETİN", u"IŞIK", u"CEM", u"AHMET", u"ÖMER", u"OSMAN"})
        insertRaw(QString::fromUtf16(name), QStringLiteral("x"));
    EXPECT_EQ(names(UserStore::Order::Table).join(u','),
              QStringLiteral("ZEYNEP,İLKER,ÇETİN,IŞIK,CEM,AHMET,ÖMER,OSMAN"));
    EXPECT_EQ(names(UserStore::Order::Turkish).join(u','),
              QStringLiteral("AHMET,CEM,ÇETİN,IŞIK,İLKER,OSMAN,ÖMER,ZEYNEP"));
}

TEST_P(UserStoreTest, TheLastUserIsNeverRemoved)
{
    insertRaw(QStringLiteral("AHMET"), QStringLiteral("x"));
    insertRaw(QStringLiteral("VELİ"), QStringLiteral("y"));
    QVector<UserRow> rows;
    ASSERT_TRUE(store.users(UserStore::Order::Table, rows));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(store.remove(rows[0].id), UserStore::RemoveResult::Removed);
    EXPECT_EQ(store.remove(rows[1].id), UserStore::RemoveResult::LastUser);
    EXPECT_EQ(names(UserStore::Order::Table), QStringList {QStringLiteral("VELİ")});
}

// Two tills delete the last two users at once: one deletion goes through, the other finds the last user. On a
// server the second till counts while the first has deleted but not yet committed.
TEST_P(UserStoreTest, TwoTillsDeletingTheLastTwoUsersLeaveOne)
{
    insertRaw(QStringLiteral("AHMET"), QStringLiteral("x"));
    insertRaw(QStringLiteral("VELİ"), QStringLiteral("y"));
    QVector<UserRow> rows;
    ASSERT_TRUE(store.users(UserStore::Order::Table, rows));
    ASSERT_EQ(rows.size(), 2);
    // Declared before the first till, so a failed wait ends its lock before the second is waited for.
    std::future<UserStore::RemoveResult> second;
    std::unique_ptr<Database> first;
    if (GetParam() == Engine::PostgreSQL) {
        // The first till, stopped between its deletion and its commit.
        first = tdb.openAnother();
        ASSERT_TRUE(first->exec(QStringLiteral("BEGIN")));
        ASSERT_TRUE(first->exec(QStringLiteral("SELECT rowid FROM \"User\" FOR UPDATE")));
        ASSERT_TRUE(first->exec(QStringLiteral("DELETE FROM \"User\" WHERE rowid = ?"), {rows[0].id}));
    } else {
        ASSERT_EQ(store.remove(rows[0].id), UserStore::RemoveResult::Removed);
    }
    const qint64 other = rows[1].id;
    second = test::onOtherTill(tdb.target(), [other](Database& db) { return UserStore(db).remove(other); });
    if (first) {
        ZV_WAIT_EQ(test::lockWaiters(tdb.db()), 1);
        ASSERT_TRUE(first->exec(QStringLiteral("COMMIT")));
    }
    EXPECT_EQ(second.get(), UserStore::RemoveResult::LastUser);
    EXPECT_EQ(names(UserStore::Order::Table), QStringList {QStringLiteral("VELİ")});
}

TEST_P(UserStoreTest, UnreadableTableIsReportedNotTakenForEmpty)
{
    ASSERT_TRUE(tdb.db().exec(QStringLiteral("DROP TABLE \"User\"")));
    QVector<UserRow> rows;
    QString error;
    EXPECT_FALSE(store.users(UserStore::Order::Table, rows, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("User"))) << error.toStdString(); // the engine's own text
    EXPECT_EQ(store.signIn(QStringLiteral("AHMET"), QStringLiteral("x")).result, UserStore::CheckResult::Failed);
    EXPECT_EQ(store.count(), -1);
}

} // namespace
