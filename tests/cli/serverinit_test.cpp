// SPDX-License-Identifier: GPL-3.0-or-later
#include "clirun.h"
#include "data/appconfig.h"
#include "data/database.h"
#include "pgserver.h"
#include "serverfolder.h"
#include "users/userstore.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTcpServer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

TEST(InitServer, MakesTheLedgerInAnEmptyDatabaseAndRefusesASecondTime)
{
    const ServerSettings settings = emptyDatabase();
    ProgramFolder folder(iniFor(settings));
    CliRun r = runCli({QStringLiteral("--init-server")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("kuruldu"))) << r.out.toStdString();

    const auto db = Database::openServer(settings);
    ASSERT_TRUE(db);
    EXPECT_EQ(db->tableNames(),
              (QStringList {QStringLiteral("birimler"), QStringLiteral("liste_toplami"), QStringLiteral("musteriler"),
                            QStringLiteral("silinen_hareketler"), QStringLiteral("silinen_musteriler"),
                            QStringLiteral("son_musterino"), QStringLiteral("surum"), QStringLiteral("user"),
                            QStringLiteral("veresiye")}));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT count(*) FROM birimler")).toInt(), 18);
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT musterino FROM son_musterino")).toString(), QStringLiteral("0"));
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT surum FROM surum")).toString(), QStringLiteral(ZELVORA_VERSION));
    // The first user signs in as on a new file: the name in any letter case, the password hashed.
    const UserStore users(*db);
    const UserStore::SignIn signIn = users.signIn(QStringLiteral("admin"), QStringLiteral("1234"));
    EXPECT_EQ(signIn.result, UserStore::CheckResult::SignedIn);
    EXPECT_EQ(signIn.username, QStringLiteral("ADMIN"));
    EXPECT_NE(db->scalar(QStringLiteral("SELECT Password FROM \"User\"")).toString(), QStringLiteral("1234"));

    r = runCli({QStringLiteral("--init-server")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("boş değil"))) << r.err.toStdString();
    EXPECT_EQ(users.count(), 1);
}

// A creation that fails half-way leaves the database as empty as it was.
TEST(InitServer, AFailureLeavesTheDatabaseEmpty)
{
    const ServerSettings settings = emptyDatabase();
    {
        const auto db = Database::openServer(settings);
        ASSERT_TRUE(db);
        // Not a table, so the database counts as empty, but the schema's own function cannot be made.
        ASSERT_TRUE(db->exec(
            QStringLiteral("CREATE FUNCTION zv_gun_no(t text) RETURNS double precision LANGUAGE sql AS 'SELECT 0'")));
    }
    ProgramFolder folder(iniFor(settings));
    const CliRun r = runCli({QStringLiteral("--init-server")});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("kurulamadı"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("zv_gun_no"))) << r.err.toStdString();
    EXPECT_TRUE(Database::openServer(settings)->tableNames().isEmpty());
}

TEST(InitServer, RefusesWithoutAServerToReach)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const int closedPort = probe.serverPort();
    probe.close();
    struct Case
    {
        const char* what;
        QString ini;
        QStringList said;
    };
    const Case cases[] = {
        {"closed port",
         QStringLiteral("engine=postgresql\nhost=127.0.0.1\nport=%1\nsslmode=disable\n").arg(closedPort),
         {QStringLiteral("Sunucuya bağlanılamadı (127.0.0.1:%1)").arg(closedPort), QStringLiteral("refused")}},
        {"file ledger", QStringLiteral("engine=sqlite\n"), {QStringLiteral("engine=postgresql yazılı değil")}},
        {"unknown engine", QStringLiteral("engine=mysql\n"), {QStringLiteral("engine=mysql tanınmıyor")}},
        {"bad port", QStringLiteral("engine=postgresql\nport=beşbin\n"), {QStringLiteral("port=beşbin")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ProgramFolder folder(c.ini);
        const CliRun r = runCli({QStringLiteral("--init-server")});
        EXPECT_EQ(r.status, 1);
        for (const QString& text : c.said)
            EXPECT_TRUE(r.err.contains(text)) << r.err.toStdString();
    }
}

// With the ledger on a server that cannot be reached, the ledger modes name the server and write no file.
TEST(ServerLedger, ModesOnAnUnreachableServerSayWhyAndWriteNothing)
{
    QTcpServer probe;
    ASSERT_TRUE(probe.listen(QHostAddress::LocalHost, 0));
    const quint16 port = probe.serverPort();
    probe.close();
    ProgramFolder folder(QStringLiteral("engine=postgresql\nhost=127.0.0.1\nport=%1\nsslmode=disable\n").arg(port));
    QTemporaryDir out;
    const QString csv = QDir(out.path()).filePath(QStringLiteral("m.csv"));
    struct Case
    {
        QStringList arguments;
        int status;
    };
    const Case cases[] = {
        {{QStringLiteral("--backup"), out.path()}, 1},
        {{QStringLiteral("--check")}, 2},
        {{QStringLiteral("--check"), QStringLiteral("--repair")}, 2},
        {{QStringLiteral("--export"), QStringLiteral("customers"), csv}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        const CliRun r = runCli(c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Sunucuya bağlanılamadı (127.0.0.1:%1)").arg(port)))
            << r.err.toStdString();
    }
    QStringList files;
    for (QDirIterator it(out.path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();)
        files << it.next();
    EXPECT_EQ(files, QStringList());
}
