// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/appconfig.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;

// [database] of zelvora.ini: absent or sqlite keeps the file; postgresql names the server, each value as written
// (a password with a comma or a semicolon quoted, as INI files quote them).
TEST(AppConfigDatabase, TheSectionNamesTheFileOrTheServer)
{
    struct Case
    {
        const char* what;
        QByteArray ini;
        Engine engine;
        ServerSettings server; // compared when the engine is PostgreSQL
        QString error; // a part of the message, or empty
    };
    ServerSettings shop;
    shop.host = QStringLiteral("/var/run/postgresql");
    shop.port = 5433;
    shop.name = QStringLiteral("dukkan");
    shop.user = QStringLiteral("kasa1");
    shop.password = QStringLiteral("a,b;c");
    shop.sslmode = QStringLiteral("require");
    const Case cases[] = {
        {"no file", {}, Engine::SQLite, {}, {}},
        {"other sections only", "[maker]\naddress=x\n", Engine::SQLite, {}, {}},
        {"sqlite", "[database]\nengine=SQLite\nhost=ignored\n", Engine::SQLite, {}, {}},
        {"defaults", "[database]\nengine=postgresql\n", Engine::PostgreSQL, ServerSettings {}, {}},
        {"every value",
         "[database]\nengine=postgresql ; the server\nhost=/var/run/postgresql\nport=5433\nname=dukkan\n"
         "user=kasa1\npassword=\"a,b;c\"\nsslmode=require\n",
         Engine::PostgreSQL,
         shop,
         {}},
        {"unknown engine", "[database]\nengine=mssql\n", Engine::SQLite, {}, QStringLiteral("engine=mssql")},
        {"port out of range", "[database]\nengine=postgresql\nport=70000\n", Engine::PostgreSQL, ServerSettings {},
         QStringLiteral("port=70000")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        if (!c.ini.isEmpty()) {
            QFile ini(QDir(dir.path()).filePath(QStringLiteral("zelvora.ini")));
            ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
            ini.write(c.ini);
        }
        AppConfig::setProgramFolder(dir.path());
        EXPECT_EQ(AppConfig::databaseEngine(), c.engine);
        const DatabaseTarget target = AppConfig::databaseTarget();
        EXPECT_EQ(target.engine, c.engine);
        if (c.engine == Engine::SQLite) {
            EXPECT_EQ(target.path, AppConfig::databasePath());
        } else {
            const ServerSettings s = AppConfig::serverSettings();
            EXPECT_EQ(s.host, c.server.host);
            EXPECT_EQ(s.port, c.server.port);
            EXPECT_EQ(s.name, c.server.name);
            EXPECT_EQ(s.user, c.server.user);
            EXPECT_EQ(s.password, c.server.password);
            EXPECT_EQ(s.sslmode, c.server.sslmode);
        }
        if (c.error.isEmpty())
            EXPECT_TRUE(AppConfig::databaseSettingsError().isEmpty())
                << AppConfig::databaseSettingsError().toStdString();
        else
            EXPECT_TRUE(AppConfig::databaseSettingsError().contains(c.error))
                << AppConfig::databaseSettingsError().toStdString();
        AppConfig::setProgramFolder({});
    }
}
