// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupfixture.h"
#include "cli/commandline.h"
#include "clirun.h"
#include "startup/instancelock.h"
#include "testdatabase.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

TEST(CommandLine, OnlyArgumentsBeyondQtsWindowOptionsLeaveTheWindow)
{
    struct Case
    {
        QStringList arguments;
        bool commandLine;
    };
    const Case cases[] = {
        {{}, false},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen")}, false},
        {{QStringLiteral("-style=fusion"), QStringLiteral("-reverse")}, false},
        {{QStringLiteral("--help")}, true},
        {{QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--check")}, true},
        {{QStringLiteral("yedek")}, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(cli::isCommandLine(c.arguments), c.commandLine) << c.arguments.join(QLatin1Char(' ')).toStdString();
}

TEST(CommandLine, VersionHelpAndWrongUse)
{
    CliRun r = runCli({QStringLiteral("--version")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("Zelvora %1\n").arg(QStringLiteral(ZELVORA_VERSION)));

    r = runCli({QStringLiteral("--help")});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("Kullanım: zelvora")));
    for (const char* option :
         {"--backup [KLASÖR]", "--check", "--repair", "--export customers", "--export movements", "--init-server",
          "--copy-to-server DOSYA.dll", "--copy-from-server DOSYA.dll", "--version", "--help"})
        EXPECT_TRUE(r.out.contains(QString::fromUtf8(option))) << option;
    EXPECT_TRUE(r.err.isEmpty());

    struct Wrong
    {
        QStringList arguments;
        QString message;
    };
    const Wrong wrong[] = {
        {{QStringLiteral("--yedekle")}, QStringLiteral("zelvora: bilinmeyen seçenek: --yedekle\n")},
        {{QStringLiteral("--backup"), QStringLiteral("a"), QStringLiteral("b")},
         QStringLiteral("zelvora: fazla bağımsız değişken: b\n")},
        {{QStringLiteral("--backup"), QStringLiteral("--hizli")},
         QStringLiteral("zelvora: bilinmeyen seçenek: --hizli\n")},
        {{QStringLiteral("--check"), QStringLiteral("--onar")},
         QStringLiteral("zelvora: fazla bağımsız değişken: --onar\n")},
        {{QStringLiteral("--repair")}, QStringLiteral("zelvora: --repair yalnızca --check ile birlikte kullanılır.\n")},
        {{QStringLiteral("--export"), QStringLiteral("users"), QStringLiteral("a.csv")},
         QStringLiteral("zelvora: --export için tür gerekli: customers ya da movements.\n")},
        {{QStringLiteral("--export"), QStringLiteral("customers")},
         QStringLiteral("zelvora: --export için dosya adı gerekli.\n")},
        {{QStringLiteral("--copy-to-server")}, QStringLiteral("zelvora: --copy-to-server için dosya adı gerekli.\n")},
        {{QStringLiteral("--copy-from-server"), QStringLiteral("a.dll"), QStringLiteral("b.dll")},
         QStringLiteral("zelvora: fazla bağımsız değişken: b.dll\n")},
    };
    for (const Wrong& w : wrong) {
        SCOPED_TRACE(w.arguments.join(QLatin1Char(' ')).toStdString());
        r = runCli(w.arguments);
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, w.message + QStringLiteral("Kullanım için: zelvora --help\n"));
        EXPECT_TRUE(r.out.isEmpty());
    }
}

// The installed program on a machine without a display, while a window holds the single-instance lock.
TEST(CommandLine, TheProgramRunsItsModesWithoutADisplayBesideAnOpenWindow)
{
    const QString binary = QStringLiteral(ZELVORA_BINARY);
    const QString folder = QFileInfo(binary).absolutePath();
    ASSERT_TRUE(QFileInfo::exists(QDir(folder).filePath(QStringLiteral("veresiye.dll"))));
    InstanceLock window(QDir(folder).filePath(QStringLiteral("veresiye.lock")));
    ASSERT_TRUE(window.acquire());
    QTemporaryDir backups;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));

    struct Case
    {
        QStringList arguments;
        int status;
        QString outStart;
    };
    const Case cases[] = {
        {{QStringLiteral("--version")}, 0, QStringLiteral("Zelvora ")},
        {{QStringLiteral("--check")}, 0, QStringLiteral("Denetim tamam")},
        {{QStringLiteral("--backup"), backups.path()}, 0, QStringLiteral("Yedeklendi: ")},
        {{QStringLiteral("--bilinmeyen")}, 2, QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(QLatin1Char(' ')).toStdString());
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(binary, c.arguments);
        ASSERT_TRUE(program.waitForFinished(30000));
        EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(program.exitCode(), c.status) << program.readAllStandardError().toStdString();
        EXPECT_TRUE(QString::fromUtf8(program.readAllStandardOutput()).startsWith(c.outStart));
    }
}
