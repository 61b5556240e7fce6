// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up benchmark's probe in the real program: started with ZELVORA_BENCH_STARTUP, it must get to its grid
// and end on its own, with no window waiting for a click.
#include "testdatabase.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

struct ProbeCase
{
    const char* mode;
    int customers;
};

class StartupProbe : public ::testing::TestWithParam<ProbeCase>
{
};

} // namespace

TEST_P(StartupProbe, TheProgramPrintsItsStartUpTimeAndEndsByItself)
{
    const ProbeCase c = GetParam();
    // A portable program folder: the program beside its own veresiye.dll.
    test::TestDatabase t;
    for (int i = 1; i <= c.customers; ++i)
        t.addCustomer(QString::number(i), QStringLiteral("Müşteri %1").arg(i), QStringLiteral("Alıcı"), 100 * i,
                      QDate(2026, 12, 1));
    t.close();
    const QString exe = QDir(t.folder()).filePath(QStringLiteral("zelvora"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZELVORA_EXE), exe));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZELVORA_BENCH_STARTUP"), QString::fromLatin1(c.mode));

    QProcess program;
    program.setProcessEnvironment(env);
    QElapsedTimer clock;
    clock.start();
    program.start(exe, {});
    // The splash alone would stand for three seconds, and the sign-in window for ever.
    ASSERT_TRUE(program.waitForFinished(30000));
    const qint64 wallMs = clock.elapsed();
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0) << program.readAllStandardError().toStdString();

    const QByteArray out = program.readAllStandardOutput();
    ASSERT_TRUE(out.endsWith('\n')) << out.toStdString();
    EXPECT_EQ(out.count('\n'), 1) << out.toStdString();
    bool ok = false;
    const qint64 ms = out.trimmed().toLongLong(&ok);
    ASSERT_TRUE(ok) << out.toStdString();
    // Counted from the process's start, which the kernel keeps to a 10 ms tick.
    EXPECT_GT(ms, 0);
    EXPECT_LE(ms, wallMs + 10);
    EXPECT_LT(ms, 3000);
    // The program ended as it ends normally: its single-instance lock is gone.
    EXPECT_FALSE(QFile::exists(QDir(t.folder()).filePath(QStringLiteral("veresiye.lock"))));
}

INSTANTIATE_TEST_SUITE_P(Modes, StartupProbe,
                         ::testing::Values(ProbeCase {"grid", 300}, ProbeCase {"signed-in", 300},
                                           ProbeCase {"grid", 0}),
                         [](const ::testing::TestParamInfo<ProbeCase>& info) {
                             return std::string(info.param.mode[0] == 'g' ? "Grid" : "SignedIn")
                                 + std::to_string(info.param.customers);
                         });
