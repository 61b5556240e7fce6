// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "customers/customerupkeep.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "testdatabase.h"
#include "waiting.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTableView>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QDate kToday(2026, 12, 9);

// Turns the event loop until done() holds or five seconds have passed.
bool waitUntil(const std::function<bool()>& done)
{
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// More customers than the window brings up to date at once, written as another tool writes them: no name
// keys, day counts of an earlier day. Customer i's last transaction was i % 300 days before kToday.
class UpkeepTest : public ::testing::Test
{
protected:
    static constexpr int kCustomers = int(CustomerUpkeep::AtOnce) * 3;

    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        ASSERT_TRUE(t.db().exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                           "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Sonislem, Gun) SELECT i, "
                           "'Müşteri ' || (? - i), 'Alıcı', date(?, '-' || (i % 300) || ' days'), -(i % 300) + 5 "
                           "FROM n"),
            {kCustomers, kCustomers, dates::isoDate(kToday)}));
    }
    void TearDown() override
    {
        window.reset();
        Clock::reset();
    }

    qint64 stale(const QDate& day) const { return CustomerStore(t.db()).staleDayCounts(day, kCustomers); }
    qint64 keyless() const { return CustomerStore(t.db()).missingNameKeys(kCustomers); }

    test::TestDatabase t;
    std::unique_ptr<MainWindow> window;
};

} // namespace

TEST_F(UpkeepTest, ATablesWorthIsDoneInTheBackgroundWhileTheListShowsTodaysCounts)
{
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = '', arama_anahtari = ''")));
    ASSERT_GT(stale(kToday), CustomerUpkeep::AtOnce);
    window = std::make_unique<MainWindow>(t.db());
    window->onActivated();
    // Shown at once, counted for today, whatever is stored yet.
    CustomerListModel* model = window->model();
    ZV_WAIT_UNTIL(model->isCountSettled());
    ASSERT_EQ(model->rowCount(), kCustomers);
    for (const int row : {0, 1234, kCustomers - 1}) {
        const std::optional<CustomerListRow> c = model->customerAt(row);
        ASSERT_TRUE(c);
        EXPECT_EQ(model->index(row, CustomerListModel::Gun).data().toString(),
                  QString::number(-(c->musKodu.toInt() % 300)));
    }
    ASSERT_TRUE(waitUntil([&] { return !window->upkeep()->isBusy(); }));
    EXPECT_EQ(stale(kToday), 0);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Gun FROM musteriler WHERE mus_kodu = '301'")).toInt(), -1);
}

TEST_F(UpkeepTest, KeysFilledInTheBackgroundReorderTheListAndKeepTheSelectedCustomer)
{
    window = std::make_unique<MainWindow>(t.db());
    QSignalSpy filled(window->upkeep(), &CustomerUpkeep::nameKeysFilled);
    window->onActivated();
    ASSERT_TRUE(window->upkeep()->isBusy());
    auto* grid = window->findChild<QTableView*>(QStringLiteral("customerGrid"));
    grid->setCurrentIndex(window->model()->index(40, 2));
    const std::optional<CustomerListRow> picked = window->currentCustomer();
    ASSERT_TRUE(picked);
    const QString number = picked->musKodu;

    ASSERT_TRUE(waitUntil([&] { return !window->upkeep()->isBusy(); }));
    EXPECT_EQ(filled.count(), 1);
    EXPECT_EQ(keyless(), 0);
    EXPECT_EQ(stale(kToday), 0);
    ASSERT_TRUE(window->currentCustomer());
    EXPECT_EQ(window->currentCustomer()->musKodu, number);
    EXPECT_EQ(grid->currentIndex().column(), 2);
    // Name order now: "Müşteri 0" (the last one added) first.
    EXPECT_EQ(window->model()->customerAt(0)->musKodu, QString::number(kCustomers));
    EXPECT_EQ(window->model()->rowOf(window->currentCustomer()->id), grid->currentIndex().row());
}

// A new day asked for while the thread still works on the previous one is done after it, not lost.
TEST_F(UpkeepTest, ADayAskedForWhileTheThreadRunsIsDoneAfterIt)
{
    ASSERT_TRUE(CustomerStore(t.db()).refreshNameKeys());
    window = std::make_unique<MainWindow>(t.db());
    // Another connection holds the write lock, so the thread cannot finish its first day yet.
    auto other = Database::open(t.path());
    ASSERT_TRUE(other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    window->onActivated();
    ASSERT_TRUE(window->upkeep()->isBusy());
    const QDate tomorrow = kToday.addDays(1);
    Clock::setFixed(QDateTime(tomorrow, QTime(0, 5)));
    window->onActivated();
    ASSERT_TRUE(other->exec(QStringLiteral("COMMIT")));

    ASSERT_TRUE(waitUntil([&] { return !window->upkeep()->isBusy(); }));
    EXPECT_EQ(stale(tomorrow), 0);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Gun FROM musteriler WHERE mus_kodu = '300'")).toInt(), -1);
}

TEST_F(UpkeepTest, AFewRowsAreDoneAtOnceAndClosingStopsTheThread)
{
    ASSERT_TRUE(CustomerStore(t.db()).refreshNameKeys());
    ASSERT_TRUE(CustomerStore(t.db()).updateDayCounts(kToday));
    // What an account window leaves: one customer's count from another date, one new customer.
    t.db().exec(QStringLiteral("UPDATE musteriler SET Gun = -40 WHERE mus_kodu = '7'"));
    t.addCustomer(QStringLiteral("yeni"), QStringLiteral("Aaa Yeni"));
    window = std::make_unique<MainWindow>(t.db());
    window->onActivated();
    EXPECT_FALSE(window->upkeep()->isBusy());
    EXPECT_EQ(stale(kToday), 0);
    EXPECT_EQ(keyless(), 0);
    EXPECT_EQ(window->model()->customerAt(0)->musKodu, QStringLiteral("yeni"));

    // A new day: the thread starts, one row per transaction; the window closes while it works, the thread
    // stops between two batches (rows are left for later), and the file stays sound.
    Clock::setFixed(QDateTime(kToday.addDays(1), QTime(9, 0)));
    window->upkeep()->setBatches({1, 1});
    window->onActivated();
    EXPECT_TRUE(window->upkeep()->isBusy());
    window.reset();
    EXPECT_GT(stale(kToday.addDays(1)), 0);
    EXPECT_EQ(t.db().scalar(QStringLiteral("PRAGMA integrity_check")).toString(), QStringLiteral("ok"));
    // Whatever was not done yet is done by the next activation.
    window = std::make_unique<MainWindow>(t.db());
    window->onActivated();
    window->upkeep()->waitUntilDone();
    EXPECT_FALSE(window->upkeep()->isBusy());
    EXPECT_EQ(stale(kToday.addDays(1)), 0);
}

// The grid asks for rows in any order (scrolling, jumping to the end, back up); each page is read from the
// nearest known place, and must hold the rows counting from the top would give, also while some rows have no
// name keys yet.
TEST_F(UpkeepTest, RowsReadInAnyOrderAreTheRowsOfTheList)
{
    const CustomerStore store(t.db());
    ASSERT_TRUE(store.refreshNameKeys());
    for (const bool someKeyless : {false, true}) {
        SCOPED_TRACE(someKeyless);
        if (someKeyless)
            t.db().exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = NULL, arama_anahtari = NULL "
                                       "WHERE id % 7 = 0"));
        for (const CustomerListQuery& query : {CustomerListQuery::allByName(), CustomerListQuery::tableOrder()}) {
            CustomerListModel model(t.db());
            ASSERT_TRUE(model.setSource(query));
            ZV_WAIT_UNTIL(model.isCountSettled());
            const QVector<CustomerListRow> all = store.rows(query, 0, kCustomers);
            ASSERT_EQ(model.rowCount(), all.size());
            const int last = model.rowCount() - 1;
            for (const int row :
                 {0, last, last - 300, 5000, 130, 1200, 2999, 3100, 1, last - 129, 4000, 3900, 1030, 700, 800}) {
                const std::optional<CustomerListRow> read = model.customerAt(row);
                ASSERT_TRUE(read) << row;
                EXPECT_EQ(read->id, all.at(row).id) << row;
            }
        }
    }
}

// While another connection writes, painting does not wait for it: the rows stay blank and are shown as soon
// as the file can be read again.
TEST_F(UpkeepTest, PaintingDoesNotWaitForAnotherConnectionsWrite)
{
    ASSERT_TRUE(CustomerStore(t.db()).refreshNameKeys());
    CustomerListModel model(t.db());
    ASSERT_TRUE(model.setSource(CustomerListQuery::tableOrder()));
    ZV_WAIT_UNTIL(model.isCountSettled());
    QSignalSpy changed(&model, &CustomerListModel::dataChanged);
    auto other = Database::open(t.path());
    // What a commit holds for a moment: no reader may read.
    ASSERT_TRUE(other->exec(QStringLiteral("BEGIN EXCLUSIVE")));
    const QModelIndex cell = model.index(3000, CustomerListModel::MusKodu);
    EXPECT_EQ(cell.data().toString(), QString());
    ASSERT_TRUE(other->exec(QStringLiteral("COMMIT")));
    ASSERT_TRUE(waitUntil([&] { return !changed.isEmpty(); }));
    EXPECT_EQ(cell.data().toString(), QStringLiteral("3001"));
    // Reads beside another connection that only prepares a write go on as before.
    ASSERT_TRUE(other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    EXPECT_EQ(model.customerAt(5000)->musKodu, QStringLiteral("5001"));
    other->exec(QStringLiteral("ROLLBACK"));
}

// The report of a run that waitUntilDone already took (printing waits for the upkeep) must not end the next
// run: taken for it, the window would wait for that run's thread to finish.
TEST_F(UpkeepTest, AReportOfARunAlreadyWaitedForDoesNotEndTheNextOne)
{
    ASSERT_TRUE(CustomerStore(t.db()).refreshNameKeys());
    window = std::make_unique<MainWindow>(t.db());
    window->onActivated();
    ASSERT_TRUE(window->upkeep()->isBusy());
    window->upkeep()->waitUntilDone();
    EXPECT_EQ(stale(kToday), 0);

    // The next day's run cannot write while another connection holds the write lock.
    auto other = Database::open(t.path());
    ASSERT_TRUE(other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    Clock::setFixed(QDateTime(kToday.addDays(1), QTime(9, 0)));
    window->onActivated();
    ASSERT_TRUE(window->upkeep()->isBusy());
    QCoreApplication::processEvents(); // delivers the first run's report
    EXPECT_TRUE(window->upkeep()->isBusy());
    ASSERT_TRUE(other->exec(QStringLiteral("COMMIT")));
    ASSERT_TRUE(waitUntil([&] { return !window->upkeep()->isBusy(); }));
    EXPECT_EQ(stale(kToday.addDays(1)), 0);
}

// Another program holds the file for a long write: closing the window must not wait out the thread's wait for
// the file (up to five seconds a statement); the stop request ends that wait.
TEST_F(UpkeepTest, ClosingDoesNotWaitOutTheThreadsWaitForTheFile)
{
    auto other = Database::open(t.db().path());
    ASSERT_TRUE(other);
    window = std::make_unique<MainWindow>(t.db());
    // The window's own reads are done before the file is taken.
    window->onActivated();
    ASSERT_TRUE(window->upkeep()->isBusy());
    window->upkeep()->waitUntilDone();
    Clock::setFixed(QDateTime(kToday.addDays(2), QTime(9, 0)));
    ASSERT_TRUE(other->exec(QStringLiteral("BEGIN IMMEDIATE")));
    window->onActivated();
    ASSERT_TRUE(window->upkeep()->isBusy());
    QElapsedTimer closing;
    closing.start();
    window.reset();
    EXPECT_LT(closing.elapsed(), 2000) << "the thread waited for the file after the stop request";
    ASSERT_TRUE(other->exec(QStringLiteral("ROLLBACK")));
    EXPECT_GT(stale(kToday.addDays(2)), 0);
}
