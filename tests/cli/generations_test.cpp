// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupfixture.h"
#include "cli/generations.h"
#include "clirun.h"
#include "data/clock.h"
#include "testdatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <thread>

using namespace zelvora;
using namespace zelvora::test;

namespace {

QDate day(const char* ddMMyy)
{
    const QDate d = QDate::fromString(QString::fromLatin1(ddMMyy), QStringLiteral("dd-MM-yy"));
    return d.addYears(d.year() < 2000 ? 100 : 0);
}

// The dates ("05-03-09") of our copies in date order, after the other files by name.
QStringList kept(const QString& folder)
{
    static const QRegularExpression ours(QStringLiteral("^Veresiye_Yedek_(\\d\\d-\\d\\d-\\d\\d)\\.ydk$"));
    QStringList others;
    QList<QDate> dates;
    for (const QString& name : QDir(folder).entryList(QDir::Files, QDir::Name)) {
        const QRegularExpressionMatch m = ours.match(name);
        if (m.hasMatch())
            dates.append(day(m.captured(1).toLatin1().constData()));
        else
            others.append(name);
    }
    std::sort(dates.begin(), dates.end());
    for (const QDate& d : dates)
        others.append(d.toString(QStringLiteral("dd-MM-yy")));
    return others;
}

QStringList split(const char* dates)
{
    return QString::fromLatin1(dates).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

class Generations : public ::testing::Test
{
protected:
    Generations()
    {
        t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
        t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
    }

    QString sub(const QString& name) const { return QDir(folder.path()).filePath(name); }

    TestDatabase t;
    QTemporaryDir folder;
};

} // namespace

TEST_F(Generations, TheNewestSevenDaysFourWeeksAndTwelveMonthsStay)
{
    struct Case
    {
        const char* what;
        QList<QDate> runs;
        const char* daily;
        const char* weekly; // the first copy of each week
        const char* monthly; // the first copy of each month
    };
    QList<QDate> everyDay;
    for (QDate d(2009, 1, 1); d <= QDate(2009, 4, 15); d = d.addDays(1))
        everyDay.append(d);
    QList<QDate> monthly;
    for (int m = 0; m < 15; ++m)
        monthly.append(QDate(2009, 1, 5).addMonths(m));
    const Case cases[] = {
        {"every day from New Year to 15 April", everyDay,
         "09-04-09 10-04-09 11-04-09 12-04-09 13-04-09 14-04-09 15-04-09", "23-03-09 30-03-09 06-04-09 13-04-09",
         "01-01-09 01-02-09 01-03-09 01-04-09"},
        {"on the fifth of fifteen months", monthly, "05-09-09 05-10-09 05-11-09 05-12-09 05-01-10 05-02-10 05-03-10",
         "05-12-09 05-01-10 05-02-10 05-03-10",
         "05-04-09 05-05-09 05-06-09 05-07-09 05-08-09 05-09-09 05-10-09 05-11-09 05-12-09 05-01-10 05-02-10 05-03-10"},
        // 31 December 2009 and 1 January 2010 lie in one week (week 53 of 2009).
        {"over New Year, twice on one day",
         {day("31-12-09"), day("01-01-10"), day("01-01-10"), day("04-01-10")},
         "31-12-09 01-01-10 04-01-10",
         "31-12-09 04-01-10",
         "31-12-09 01-01-10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder.path()).removeRecursively();
        QDir().mkpath(folder.path());
        for (const QDate& d : c.runs) {
            const cli::GenerationsResult r = cli::backupWithGenerations(t.path(), folder.path(), d, 1000);
            ASSERT_TRUE(r.ok) << r.error.toStdString();
        }
        EXPECT_EQ(kept(sub(cli::DailyFolder)), split(c.daily));
        EXPECT_EQ(kept(sub(cli::WeeklyFolder)), split(c.weekly));
        EXPECT_EQ(kept(sub(cli::MonthlyFolder)), split(c.monthly));
        EXPECT_TRUE(QDir(sub(cli::DailyFolder))
                        .entryList(QDir::Hidden | QDir::Files, QDir::Name)
                        .filter(QStringLiteral(".tmp"))
                        .isEmpty());
    }
    // Each copy is the database byte for byte.
    EXPECT_EQ(readBytes(QDir(sub(cli::DailyFolder)).filePath(QStringLiteral("Veresiye_Yedek_04-01-10.ydk"))),
              readBytes(t.path()));
}

TEST_F(Generations, NothingOldIsRemovedWhenTheNewCopyFailsItsCheckAndOtherFilesAreNeverTouched)
{
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 3, 1).addDays(i), 1000).ok);
    writeBytes(QDir(sub(cli::DailyFolder)).filePath(QStringLiteral("notlar.txt")), "kalsin");
    writeBytes(QDir(sub(cli::DailyFolder)).filePath(QStringLiteral("Veresiye_Yedek_eski.ydk")), "kalsin");
    const QStringList before = kept(sub(cli::DailyFolder));

    t.db().exec(QStringLiteral("DELETE FROM \"User\"")); // nobody could sign in to a restored copy
    const cli::GenerationsResult failed = cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 3, 8), 1000);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.error.startsWith(QStringLiteral("Yeni yedek denetimden geçmedi, eski yedekler silinmedi: ")))
        << failed.error.toStdString();
    EXPECT_EQ(kept(sub(cli::DailyFolder)), before);

    t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES ('ADMIN', '1234')"));
    ASSERT_TRUE(cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 3, 8), 1000).ok);
    EXPECT_EQ(kept(sub(cli::DailyFolder)),
              split("Veresiye_Yedek_eski.ydk notlar.txt 02-03-09 03-03-09 04-03-09 05-03-09 06-03-09 07-03-09 "
                    "08-03-09"));
}

TEST_F(Generations, ABackupWaitsForAnOpenWriteAndCopiesWhatWasCommitted)
{
    t.close();
    sqlite3* writer = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(t.path()).constData(), &writer), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(writer,
                           "BEGIN IMMEDIATE; INSERT INTO musteriler (mus_kodu, MusteriFirma) VALUES ('2', 'Mehmet');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);

    // A write held longer than the wait: no copy, and a reason.
    cli::GenerationsResult r = cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 3, 5), 200);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("Veri tabanı yazma işlemi bitmediği için yedeklenemedi")));

    QElapsedTimer waited;
    waited.start();
    std::thread backup([&] { r = cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 3, 5), 10000); });
    std::this_thread::sleep_for(std::chrono::milliseconds(400));
    ASSERT_EQ(sqlite3_exec(writer, "COMMIT", nullptr, nullptr, nullptr), SQLITE_OK);
    backup.join();
    sqlite3_close(writer);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_GE(waited.elapsed(), 400);

    const QString copy = QDir(sub(cli::DailyFolder)).filePath(QStringLiteral("Veresiye_Yedek_05-03-09.ydk"));
    EXPECT_EQ(readBytes(copy), readBytes(t.path()));
    t.reopen();
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM musteriler")).toInt(), 2);
}

TEST_F(Generations, CopiesDatedAfterTodayAreReportedAndTodaysCopyStays)
{
    // A clock once set ahead left a week of copies from 2010; today is 5 March 2009, a Thursday.
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(cli::backupWithGenerations(t.path(), folder.path(), QDate(2010, 1, 1).addDays(i), 1000).ok);
    writeBytes(QDir(sub(cli::WeeklyFolder)).filePath(QStringLiteral("Veresiye_Yedek_06-03-09.ydk")), "ileri");
    for (int i = 0; i < 7; ++i)
        ASSERT_TRUE(cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 2, 22).addDays(i), 1000).ok);

    Clock::setFixed(QDateTime(QDate(2009, 3, 5), QTime(23, 30)));
    const CliRun r = runCli({QStringLiteral("--backup"), folder.path()});
    Clock::reset();
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    const QString today = QStringLiteral("Veresiye_Yedek_05-03-09.ydk");
    EXPECT_FALSE(r.out.contains(QStringLiteral("Eski yedek silindi: ") + QDir(sub(cli::DailyFolder)).filePath(today)))
        << r.out.toStdString();
    // Today's copy and the six before it stay; the later-dated ones are neither counted nor removed.
    EXPECT_EQ(kept(sub(cli::DailyFolder)),
              split("23-02-09 24-02-09 25-02-09 26-02-09 27-02-09 28-02-09 05-03-09 01-01-10 02-01-10 03-01-10 "
                    "04-01-10 05-01-10 06-01-10 07-01-10"));
    EXPECT_EQ(readBytes(QDir(sub(cli::DailyFolder)).filePath(today)), readBytes(t.path()));
    // A later-dated copy in this week is no copy of this week.
    EXPECT_TRUE(QFile::exists(QDir(sub(cli::WeeklyFolder)).filePath(today)));
    // 7 daily copies, 3 weekly (two from 2010 and the one above), 1 monthly.
    EXPECT_EQ(r.err.count(QStringLiteral("tarihi bugünden sonra olan yedek")), 7 + 3 + 1) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QDir(sub(cli::WeeklyFolder)).filePath(QStringLiteral("Veresiye_Yedek_06-03-09.ydk"))));
}

TEST_F(Generations, TemporaryFilesOfAnInterruptedRunAreRemovedByTheNext)
{
    const QStringList leftovers {QStringLiteral(".Veresiye_Yedek_04-03-09.ydk.a1B2c3.tmp"),
                                 QStringLiteral(".Veresiye_Yedek_04-03-09.ydk.a1B2c3.tmp-journal"),
                                 QStringLiteral(".Veresiye_Yedek_01-02-09.ydk.Zz9Yy8.tmp")};
    for (const QString& sub : {cli::DailyFolder, cli::WeeklyFolder, cli::MonthlyFolder}) {
        QDir().mkpath(this->sub(sub));
        for (const QString& name : leftovers)
            writeBytes(QDir(this->sub(sub)).filePath(name), pattern(4096));
        writeBytes(QDir(this->sub(sub)).filePath(QStringLiteral(".gizli.tmp")), "kalsin");
    }
    const cli::GenerationsResult r = cli::backupWithGenerations(t.path(), folder.path(), QDate(2009, 3, 5), 1000);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.leftovers, 9);
    for (const QString& sub : {cli::DailyFolder, cli::WeeklyFolder, cli::MonthlyFolder})
        EXPECT_EQ(filesIn(this->sub(sub)),
                  (QStringList {QStringLiteral(".gizli.tmp"), QStringLiteral("Veresiye_Yedek_05-03-09.ydk")}));
}
