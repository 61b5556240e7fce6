// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "accounttestsupport.h"
#include "data/accountstore.h"
#include "data/changewatch.h"
#include "data/clock.h"
#include "messagerecorder.h"
#include "pgserver.h"
#include "testdatabase.h"
#include "tills.h"
#include "waiting.h"

#include <QDialog>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;
using test::child;

namespace {

const QString kKod = QStringLiteral("42");
const QString kOther = QStringLiteral("43");
const QDate kToday(2026, 3, 15);

// One till's account window of customer 42 on a server ledger; another till writes to it.
class OtherTillAccountTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0, 0)));
        t.addCustomer(kKod, QStringLiteral("AHMET YILMAZ"));
        t.addCustomer(kOther, QStringLiteral("Başka Müşteri"));
        for (int i = 0; i < 60; ++i)
            t.addMovement(kKod, kToday, 100, {});
        window = std::make_unique<AccountWindow>(t.db());
        window->setCustomerNumber(kKod);
        window->resize(820, 620);
        window->show();
        window->onActivated();
        grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));
        balance = child<QLineEdit>(window.get(), QStringLiteral("balanceBox"));
    }
    void TearDown() override { Clock::reset(); }

    // The other till stores an entry for kod as its entry window does.
    void otherTillStores(const QString& kod, qint64 eklenen)
    {
        const bool ok = test::onOtherTill(t.target(), [=](const Database& db) {
                            Movement m;
                            m.musKodu = kod;
                            m.tarih = QStringLiteral("2026-03-15");
                            m.saat = QStringLiteral("10:05:00");
                            m.aciklama = QStringLiteral("Diğer kasa");
                            m.eklenen = eklenen;
                            return AccountStore(db).appendMovement(m);
                        }).get();
        ASSERT_TRUE(ok);
    }

    test::TestDatabase t {Engine::PostgreSQL};
    std::unique_ptr<AccountWindow> window;
    QTableView* grid = nullptr;
    QLineEdit* balance = nullptr;
};

TEST_F(OtherTillAccountTest, AnEntryElsewhereShowsWithItsBalanceKeepingSelectionAndScroll)
{
    ASSERT_EQ(balance->text(), QStringLiteral("60,00"));
    // A movement picked, then the grid scrolled on past it.
    grid->setCurrentIndex(window->model()->index(3, 2));
    grid->scrollTo(window->model()->index(40, 0), QAbstractItemView::PositionAtTop);
    const qint64 selected = window->model()->movementAt(3)->id;
    const int scrolled = grid->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);

    otherTillStores(kKod, 2500);
    ZV_WAIT_EQ(window->model()->rowCount(), 61);
    EXPECT_EQ(balance->text(), QStringLiteral("85,00"));
    EXPECT_EQ(window->model()->index(60, MovementListModel::Aciklama).data().toString(), QStringLiteral("Diğer kasa"));
    EXPECT_EQ(window->model()->movementAt(grid->currentIndex().row())->id, selected);
    EXPECT_EQ(grid->currentIndex().column(), 2);
    EXPECT_EQ(grid->verticalScrollBar()->value(), scrolled);
}

TEST_F(OtherTillAccountTest, AChangeForAnotherCustomerLeavesTheAccountAlone)
{
    ChangeWatch heard(t.db());
    QSignalSpy spy(&heard, &ChangeWatch::changed);
    QSignalSpy resets(window->model(), &QAbstractItemModel::modelReset);
    otherTillStores(kOther, 700);
    // Both watches hear the same notification in one go: once the test's has, the window has decided.
    ZV_WAIT_UNTIL(spy.count() >= 2); // the movement and the customer's balance
    EXPECT_FALSE(child<QTimer>(window.get(), QStringLiteral("otherTillTimer"))->isActive());
    QTest::qWait(300);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(window->model()->rowCount(), 60);
}

TEST_F(OtherTillAccountTest, AnOpenEntryWindowIsNotDisturbedAndTheAccountIsReadAfterIt)
{
    // Stands for the entry window: modal over the account window.
    QDialog entry(window.get());
    entry.setModal(true);
    entry.show();
    QSignalSpy resets(window->model(), &QAbstractItemModel::modelReset);
    otherTillStores(kKod, 2500);
    QTest::qWait(600);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(window->model()->rowCount(), 60);
    entry.close();
    ZV_WAIT_EQ(window->model()->rowCount(), 61);
    EXPECT_EQ(balance->text(), QStringLiteral("85,00"));
}

} // namespace

namespace {

TEST_F(OtherTillAccountTest, WhileTheServerIsAwayTheAccountSaysSoKeepsItsRowsAndIsReadWhenItIsBack)
{
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    test::MessageRecorder messages;
    ASSERT_TRUE(server->stop(&error)) << error.toStdString();
    window->onActivated();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Sunucuya (127.0.0.1:%1) ulaşılamıyor; hesap okunamadı. Bağlantı gelince yeniden deneyin.")
                  .arg(server->port()));
    EXPECT_EQ(window->model()->rowCount(), 60);
    EXPECT_EQ(balance->text(), QStringLiteral("60,00"));

    ASSERT_TRUE(server->startAgain(&error)) << error.toStdString();
    otherTillStores(kKod, 500);
    // Statements try the server again at most every half second.
    QTest::qWait(500);
    window->onActivated();
    EXPECT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(window->model()->rowCount(), 61);
    EXPECT_EQ(balance->text(), QStringLiteral("65,00"));
}

} // namespace
