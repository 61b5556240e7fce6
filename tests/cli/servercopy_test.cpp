// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/databasecheck.h"
#include "clirun.h"
#include "data/database.h"
#include "data/schema.h"
#include "ledgerrows.h"
#include "serverfolder.h"
#include "testdatabase.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

namespace {

QStringList tablesOf(const ServerSettings& settings)
{
    const auto db = Database::openServer(settings);
    return db ? db->tableNames() : QStringList {QStringLiteral("bağlanılamadı")};
}

int closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no port");
    return probe.serverPort();
}

} // namespace

TEST(ServerCopy, ALedgerGoesToTheServerAndBackUnchanged)
{
    TestDatabase ledger;
    fillLedger(ledger.db());
    // Texts travel to the server as lines of values: its separators, line ends and escapes must arrive as typed.
    ASSERT_TRUE(ledger.db().exec(QStringLiteral("UPDATE musteriler SET Adres = ? WHERE id = 9"),
                                 {QStringLiteral("Ara\tSk.\nNo: 5\r\n\\.\n\\N C:\\yol\\")}));
    const ServerSettings settings = emptyDatabase();
    ProgramFolder folder(iniFor(settings));

    CliRun r = runCli({QStringLiteral("--copy-to-server"), ledger.path()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Müşteri sayısı: dosyada 3, sunucuda 3"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Hareket sayısı: dosyada 3, sunucuda 3"))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("kopyalandı"))) << r.out.toStdString();

    const auto server = Database::openServer(settings);
    ASSERT_TRUE(server);
    // The planner knows the copied tables at once, so the tills' first reads use the indexes.
    EXPECT_EQ(server
                  ->scalar(QStringLiteral("SELECT count(*) FROM pg_stat_user_tables WHERE relname IN ('musteriler', "
                                          "'veresiye') AND last_analyze IS NOT NULL"))
                  .toInt(),
              2);
    // The indexes dropped for the load are all back, as a new ledger has them.
    const auto indexesOf = [](const Database& db) {
        QSqlQuery query = db.prepare(QStringLiteral(
            "SELECT indexname || ': ' || indexdef FROM pg_indexes WHERE schemaname = 'public' ORDER BY 1"));
        QStringList found;
        if (Database::run(query))
            while (query.next())
                found.append(query.value(0).toString());
        return found;
    };
    const auto made = Database::openServer(emptyDatabase());
    QString madeWhy;
    ASSERT_TRUE(made && schema::create(*made, &madeWhy)) << madeWhy.toStdString();
    EXPECT_GE(indexesOf(*made).size(), 10);
    EXPECT_EQ(indexesOf(*server), indexesOf(*made));
    for (const QString& table : kLedgerTables) {
        SCOPED_TRACE(table.toStdString());
        const QStringList rows = rowsOf(ledger.db(), table);
        EXPECT_GE(rows.size(), 1);
        EXPECT_EQ(rowsOf(*server, table), rows);
    }
    // New rows continue after the largest copied ids, as they would in the file.
    EXPECT_EQ(server->insert(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES (?)"), {QStringLiteral("10")}),
              10);
    EXPECT_EQ(server->insert(QStringLiteral("INSERT INTO veresiye (mus_kodu) VALUES (?)"), {QStringLiteral("10")}), 8);
    ASSERT_TRUE(server->exec(QStringLiteral("DELETE FROM musteriler WHERE id = 10")));
    ASSERT_TRUE(server->exec(QStringLiteral("DELETE FROM veresiye WHERE id = 8")));

    QTemporaryDir out;
    const QString back = QDir(out.path()).filePath(QStringLiteral("geri.dll"));
    r = runCli({QStringLiteral("--copy-from-server"), back});
    ASSERT_EQ(r.status, 0) << r.err.toStdString() << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Bakiye toplamı"))) << r.out.toStdString();
    // Nothing beside the ledger: the temporary file became it.
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList {QStringLiteral("geri.dll")});

    auto copy = Database::open(back);
    ASSERT_TRUE(copy);
    for (const QString& table : kLedgerTables) {
        SCOPED_TRACE(table.toStdString());
        EXPECT_EQ(rowsOf(*copy, table, true), rowsOf(ledger.db(), table, true));
    }
    EXPECT_FALSE(schema::needsUpgrade(*copy));
    EXPECT_EQ(copy->scalar(QStringLiteral("PRAGMA user_version")).toInt(), schema::kVersion);
    copy.reset();
    const DatabaseCheck::Result check = DatabaseCheck::inspect(back);
    EXPECT_TRUE(check.usable()) << check.lines().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(check.missingObjects.isEmpty()) << check.missingObjects.join(QLatin1Char(',')).toStdString();
    QString why;
    EXPECT_TRUE(
        DatabaseCheck::restorable(back, QDir(out.path()).filePath(QStringLiteral("x.dll")), QDate(2024, 3, 6), &why))
        << why.toStdString();
}

TEST(ServerCopy, RefusalsChangeNothing)
{
    TestDatabase ledger;
    fillLedger(ledger.db());
    QTemporaryDir dir;
    const QString notALedger = QDir(dir.path()).filePath(QStringLiteral("notlar.dll"));
    {
        QFile f(notALedger);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("Bu bir defter değil.\n");
    }
    const QString existing = QDir(dir.path()).filePath(QStringLiteral("var.dll"));
    ASSERT_TRUE(QFile::copy(ledger.path(), existing));
    const QByteArray existingBytes = [&] {
        QFile f(existing);
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    const QString fresh = QDir(dir.path()).filePath(QStringLiteral("yeni.dll"));

    const ServerSettings holdsTables = emptyDatabase();
    ASSERT_TRUE(Database::openServer(holdsTables)->exec(QStringLiteral("CREATE TABLE eski (x integer)")));
    const ServerSettings empty = emptyDatabase();
    ServerSettings unreachable;
    unreachable.port = closedPort();

    struct Case
    {
        const char* what;
        QString option;
        QString file;
        ServerSettings server;
        QString said;
        QStringList tablesAfter;
    };
    const Case cases[] = {
        {"server holds tables",
         QStringLiteral("--copy-to-server"),
         ledger.path(),
         holdsTables,
         QStringLiteral("boş değil"),
         {QStringLiteral("eski")}},
        {"not a ledger", QStringLiteral("--copy-to-server"), notALedger, empty, QStringLiteral("kabul edilmedi"), {}},
        {"missing file",
         QStringLiteral("--copy-to-server"),
         QDir(dir.path()).filePath(QStringLiteral("yok.dll")),
         empty,
         QStringLiteral("kabul edilmedi"),
         {}},
        {"unreachable, to",
         QStringLiteral("--copy-to-server"),
         ledger.path(),
         unreachable,
         QStringLiteral("Sunucuya bağlanılamadı (127.0.0.1:%1)").arg(unreachable.port),
         {}},
        {"file exists",
         QStringLiteral("--copy-from-server"),
         existing,
         holdsTables,
         QStringLiteral("zaten var"),
         {QStringLiteral("eski")}},
        {"no ledger on the server",
         QStringLiteral("--copy-from-server"),
         fresh,
         empty,
         QStringLiteral("defter yok"),
         {}},
        {"unreachable, from",
         QStringLiteral("--copy-from-server"),
         fresh,
         unreachable,
         QStringLiteral("Sunucuya bağlanılamadı (127.0.0.1:%1)").arg(unreachable.port),
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder(iniFor(c.server));
        const CliRun r = runCli({c.option, c.file});
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
        if (c.server.port != unreachable.port) {
            EXPECT_EQ(tablesOf(c.server), c.tablesAfter);
        }
    }
    QFile f(existing);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), existingBytes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files),
              (QStringList {QStringLiteral("notlar.dll"), QStringLiteral("var.dll")}));
    EXPECT_EQ(rowsOf(ledger.db(), QStringLiteral("musteriler")).size(), 3);
}

// User names that SQLite keeps apart (it folds only ASCII letters) are one name on the server: the copy fails at
// the users, after the customers and movements went in, and the server is left as empty as it was.
TEST(ServerCopy, AFailureHalfWayLeavesTheServerEmpty)
{
    TestDatabase ledger;
    fillLedger(ledger.db());
    ASSERT_TRUE(ledger.db().exec(
        QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?), (?, ?)"),
        {QStringLiteral("ÇAĞLA"), QStringLiteral("k1"), QStringLiteral("çağla"), QStringLiteral("k2")}));
    const ServerSettings settings = emptyDatabase();
    ProgramFolder folder(iniFor(settings));
    const CliRun r = runCli({QStringLiteral("--copy-to-server"), ledger.path()});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("kopyalanamadı"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("User"))) << r.err.toStdString();
    EXPECT_EQ(tablesOf(settings), QStringList());
}

// A server ledger the program could not open as a file (no user to sign in with) is refused after the whole copy,
// and neither the file nor its temporary is left behind.
TEST(ServerCopy, ARefusedCopyFromTheServerLeavesNoFile)
{
    TestDatabase ledger;
    fillLedger(ledger.db());
    const ServerSettings settings = emptyDatabase();
    ProgramFolder folder(iniFor(settings));
    const CliRun copied = runCli({QStringLiteral("--copy-to-server"), ledger.path()});
    ASSERT_EQ(copied.status, 0) << copied.err.toStdString();
    ASSERT_TRUE(Database::openServer(settings)->exec(QStringLiteral("DELETE FROM \"User\"")));

    QTemporaryDir out;
    const CliRun r
        = runCli({QStringLiteral("--copy-from-server"), QDir(out.path()).filePath(QStringLiteral("geri.dll"))});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("yazılmadı"))) << r.err.toStdString();
    EXPECT_EQ(QDir(out.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden), QStringList());
}
