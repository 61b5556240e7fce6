// SPDX-License-Identifier: GPL-3.0-or-later
// The installed program: data in the user's data folder, filled from the supplied database on first start.
#include "data/appconfig.h"
#include "data/database.h"
#include "data/schema.h"
#include "messagerecorder.h"
#include "startup/splashwindow.h"
#include "startup/startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// <root>/usr/bin holds the program, <root>/usr/share/zelvora the supplied database, and the user's data
// folder lies under <root>/home (XDG_DATA_HOME).
class InstalledProgram : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("home/.local/share"))));
        QDir().mkpath(path(QStringLiteral("usr/bin")));
        makeDatabase(path(QStringLiteral("usr/share/zelvora/veresiye.dll")), QStringLiteral("1.0.0"));
        AppConfig::setExecutableFolder(path(QStringLiteral("usr/bin")));
    }

    void TearDown() override
    {
        AppConfig::setExecutableFolder({});
        if (m_savedDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_savedDataHome);
    }

    QString path(const QString& relative) const { return QDir(m_root.path()).filePath(relative); }
    QString dataFolder() const { return path(QStringLiteral("home/.local/share/Zelvora")); }

    static void makeDatabase(const QString& file, const QString& version)
    {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile(file).open(QIODevice::WriteOnly);
        auto db = Database::open(file);
        ASSERT_TRUE(db && schema::create(*db, nullptr));
        db->exec(QStringLiteral("INSERT INTO surum (surum) VALUES (?)"), {version});
    }

    QTemporaryDir m_root;
    QByteArray m_savedDataHome;
};

} // namespace

TEST_F(InstalledProgram, FirstStartPutsTheSuppliedDatabaseIntoTheUsersDataFolder)
{
    // zelvora.ini is read from the data folder too.
    QDir().mkpath(dataFolder());
    QSettings(QDir(dataFolder()).filePath(QStringLiteral("zelvora.ini")), QSettings::IniFormat)
        .setValue(QStringLiteral("maker/address"), QStringLiteral("www.dukkan.example"));
    test::MessageRecorder messages;
    Startup startup;
    ASSERT_TRUE(startup.start());
    EXPECT_TRUE(AppConfig::installed());
    EXPECT_EQ(AppConfig::programFolder(), dataFolder());
    EXPECT_EQ(AppConfig::databasePath(), QDir(dataFolder()).filePath(QStringLiteral("veresiye.dll")));
    EXPECT_TRUE(QFile::exists(AppConfig::databasePath()));
    EXPECT_TRUE(QFile::exists(QDir(dataFolder()).filePath(QStringLiteral("veresiye.lock"))));
    EXPECT_EQ(startup.splash()->versionText(), QStringLiteral("1.0.0"));
    EXPECT_EQ(AppConfig::makerAddress(), QStringLiteral("www.dukkan.example"));
    // Nothing is written beside the installed program.
    EXPECT_EQ(QDir(path(QStringLiteral("usr/bin"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
    EXPECT_TRUE(messages.messages().isEmpty());
}

TEST_F(InstalledProgram, TheUsersOwnDatabaseIsKeptWhenTheSuppliedOneChanges)
{
    makeDatabase(QDir(dataFolder()).filePath(QStringLiteral("veresiye.dll")), QStringLiteral("0.9.0"));
    Startup startup;
    ASSERT_TRUE(startup.start());
    EXPECT_EQ(startup.splash()->versionText(), QStringLiteral("0.9.0"));
}

TEST_F(InstalledProgram, ADataFolderThatCannotBeMadeIsReportedAndTheProgramEnds)
{
    QDir().mkpath(path(QStringLiteral("home")));
    QFile blocker(path(QStringLiteral("home/.local")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    test::MessageRecorder messages;
    Startup startup;
    EXPECT_FALSE(startup.start());
    EXPECT_EQ(startup.exitCode(), 1);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Veri klasörü oluşturulamadı: ") + dataFolder()))
        << messages.last().text.toStdString();
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(startup.database(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
}
