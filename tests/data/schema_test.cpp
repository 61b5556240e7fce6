// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/databasecheck.h"
#include "data/collectionstore.h"
#include "data/schema.h"
#include "testdatabase.h"

#include <QSqlQuery>

using namespace zelvora;

namespace {

class SchemaUpgrade : public test::EngineTest
{
protected:
    // name → "type|default" of every column of table, in order.
    static QStringList columnsOf(const Database& db, const QString& table)
    {
        QSqlQuery q = db.prepare(
            db.isServer() ? QStringLiteral(
                "SELECT column_name, data_type, coalesce(column_default, '') FROM information_schema.columns "
                "WHERE table_schema = current_schema() AND table_name = ? ORDER BY ordinal_position")
                          : QStringLiteral("SELECT name, type, coalesce(dflt_value, '') FROM pragma_table_info(?)"));
        q.addBindValue(table);
        Database::run(q);
        QStringList columns;
        while (q.next())
            columns << q.value(0).toString().toLower() + QLatin1Char(' ') + q.value(1).toString() + QLatin1Char('|')
                    + q.value(2).toString();
        return columns;
    }
};

// A ledger made before the credit limit and the who-and-when of movements were kept gains them once, empty for
// its rows, and comes out with the same columns as a ledger made by this version.
TEST_P(SchemaUpgrade, ALedgerWithoutTheLaterColumnsGainsThemOnceAndKeepsItsRows)
{
    test::TestDatabase t(GetParam());
    const QStringList customers = columnsOf(t.db(), QStringLiteral("musteriler"));
    const QStringList movements = columnsOf(t.db(), QStringLiteral("veresiye"));
    EXPECT_FALSE(schema::needsUpgrade(t.db()));
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 1500, QDate(2026, 12, 1));
    t.addMovement(QStringLiteral("1"), QDate(2026, 12, 1), 1500, {});
    // A later payment and an earlier sale: the to-collect date is the payment's.
    t.addMovement(QStringLiteral("1"), QDate(2026, 12, 3), {}, 500);
    t.addMovement(QStringLiteral("1"), QDate(2026, 11, 20), 500, {});
    for (const char* statement :
         {"ALTER TABLE musteriler DROP COLUMN KrediLimiti", "ALTER TABLE veresiye DROP COLUMN Kullanici",
          "ALTER TABLE veresiye DROP COLUMN Kayit", "DROP INDEX IF EXISTS musteriler_tahsilat",
          "DROP INDEX IF EXISTS veresiye_odeme", "DROP INDEX IF EXISTS veresiye_musteri_tarih",
          "ALTER TABLE musteriler DROP COLUMN BeklemeTarihi"})
        ASSERT_TRUE(t.db().exec(QString::fromLatin1(statement))) << statement;
    if (!t.db().isServer())
        ASSERT_TRUE(t.db().exec(QStringLiteral("PRAGMA user_version = 2")));
    ASSERT_NE(columnsOf(t.db(), QStringLiteral("veresiye")), movements);

    ASSERT_TRUE(schema::needsUpgrade(t.db()));
    QString error;
    ASSERT_TRUE(schema::upgrade(t.db(), &error)) << error.toStdString();
    EXPECT_FALSE(schema::needsUpgrade(t.db()));
    EXPECT_EQ(columnsOf(t.db(), QStringLiteral("musteriler")), customers);
    EXPECT_EQ(columnsOf(t.db(), QStringLiteral("veresiye")), movements);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM veresiye WHERE Eklenen = 1500 AND Kullanici IS NULL "
                                           "AND Kayit IS NULL")),
              1);
    EXPECT_TRUE(t.db().scalar(QStringLiteral("SELECT KrediLimiti FROM musteriler WHERE mus_kodu = '1'")).isNull());
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT BeklemeTarihi FROM musteriler WHERE mus_kodu = '1'")).toString(),
              QStringLiteral("2026-12-03"));
    EXPECT_EQ(CollectionStore(t.db()).refreshAll(), 0);
    if (!t.db().isServer())
        EXPECT_EQ(t.db().scalar(QStringLiteral("PRAGMA user_version")).toInt(), schema::kVersion);
}

// A ledger made before the day's movements were indexed by date gains the index when opened.
TEST_P(SchemaUpgrade, ALedgerWithoutTheDateIndexGainsIt)
{
    test::TestDatabase t(GetParam());
    const QString count = t.db().isServer()
        ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE schemaname = current_schema() AND indexname = ?")
        : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'index' AND name = ?");
    ASSERT_EQ(t.db().scalar(count, {QStringLiteral("veresiye_tarih")}).toInt(), 1);
    ASSERT_TRUE(t.db().exec(QStringLiteral("DROP INDEX veresiye_tarih")));
    ASSERT_TRUE(schema::needsUpgrade(t.db()));
    QString error;
    ASSERT_TRUE(schema::upgrade(t.db(), &error)) << error.toStdString();
    EXPECT_FALSE(schema::needsUpgrade(t.db()));
    EXPECT_EQ(t.db().scalar(count, {QStringLiteral("veresiye_tarih")}).toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, SchemaUpgrade, test::kEngines, test::engineName);

// A backup made before the date index, and one with it, are both fit to restore.
TEST(SchemaUpgradeCheck, ABackupWithOrWithoutTheDateIndexPassesTheCheck)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', 'x')")));
    for (const bool withIndex : {true, false}) {
        if (!withIndex)
            ASSERT_TRUE(t.db().exec(QStringLiteral("DROP INDEX veresiye_tarih")));
        t.close();
        const DatabaseCheck::Result result = DatabaseCheck::inspect(t.path());
        t.reopen();
        EXPECT_TRUE(result.usable()) << withIndex << result.lines().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(result.foreignObjects.isEmpty()) << withIndex;
        EXPECT_TRUE(result.tableDifferences.isEmpty()) << withIndex;
    }
}

// The restore check takes a backup of the earlier format as it is, and the same file brought up to date as the
// program's own: the columns added at the end are not a different definition.
TEST(SchemaUpgradeCheck, AnEarlierFileAndTheSameFileBroughtUpToDateBothPassTheCheck)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', 'x')")));
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"), 1500, QDate(2026, 12, 1));
    for (const char* statement :
         {"ALTER TABLE musteriler DROP COLUMN KrediLimiti", "ALTER TABLE veresiye DROP COLUMN Kullanici",
          "ALTER TABLE veresiye DROP COLUMN Kayit", "DROP INDEX musteriler_tahsilat", "DROP INDEX veresiye_odeme",
          "DROP INDEX veresiye_musteri_tarih", "ALTER TABLE musteriler DROP COLUMN BeklemeTarihi",
          "PRAGMA user_version = 3"})
        ASSERT_TRUE(t.db().exec(QString::fromLatin1(statement))) << statement;
    const auto check = [&] {
        t.close();
        const DatabaseCheck::Result result = DatabaseCheck::inspect(t.path());
        t.reopen();
        return result;
    };
    const DatabaseCheck::Result earlier = check();
    EXPECT_TRUE(earlier.usable()) << earlier.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(earlier.tableDifferences.isEmpty()) << earlier.tableDifferences.join(QLatin1Char('\n')).toStdString();

    QString error;
    ASSERT_TRUE(schema::upgrade(t.db(), &error)) << error.toStdString();
    const DatabaseCheck::Result current = check();
    EXPECT_TRUE(current.usable()) << current.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(current.tableDifferences.isEmpty()) << current.tableDifferences.join(QLatin1Char('\n')).toStdString();

    // A current file without one of its columns is damaged, not older.
    ASSERT_TRUE(t.db().exec(QStringLiteral("ALTER TABLE veresiye DROP COLUMN Kayit")));
    const DatabaseCheck::Result damaged = check();
    EXPECT_TRUE(damaged.problems.contains(QStringLiteral("Eksik sütun: veresiye.Kayit")))
        << damaged.lines().join(QLatin1Char('\n')).toStdString();
}

} // namespace
