// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "customers/listtotalspanel.h"
#include "customers/mainwindow.h"
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/customerrow.h"
#include "entry/newcustomerstore.h"
#include "testdatabase.h"
#include "tills.h"
#include "typing.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QDate kToday(2026, 12, 9);

// The main window of one till on a server ledger, and another till writing to it.
class OtherTillListTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        ScopedTransaction tx(t.db());
        for (int i = 1; i <= 300; ++i)
            addNamed(QString::number(i), QStringLiteral("Müşteri %1").arg(i, 3, 10, QLatin1Char('0')), 1000 * i);
        ASSERT_TRUE(tx.commit());
    }
    void TearDown() override { Clock::reset(); }

    void addNamed(const QString& kod, const QString& name, qint64 bakiye)
    {
        ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Bakiye, "
                                               "Sonislem, Gun, sira_anahtari, arama_anahtari) "
                                               "VALUES (?, ?, 'Alıcı', ?, '2026-12-09', 0, ?, ?)"),
                                {kod, name, bakiye, customerrow::sortKeyOf(name), customerrow::searchKeyOf(name)}));
    }

    MainWindow& open()
    {
        m_window = std::make_unique<MainWindow>(t.db());
        m_window->show();
        m_window->onActivated();
        return *m_window;
    }
    QTableView* grid() const { return m_window->findChild<QTableView*>(QStringLiteral("customerGrid")); }
    QString currentNumber() const
    {
        const auto row = m_window->currentCustomer();
        return row ? row->musKodu : QString();
    }
    bool listShows(const QString& name) const
    {
        auto* model = m_window->model();
        model->exactCount();
        for (int r = 0; r < model->rowCount(); ++r) {
            if (model->index(r, CustomerListModel::MusteriFirma).data().toString() == name)
                return true;
        }
        return false;
    }
    // The other till adds a customer as its new-customer window does.
    void otherTillAdds(const QString& kod, const QString& name)
    {
        const auto result = test::onOtherTill(t.target(), [=](const Database& db) {
                                NewCustomer c;
                                c.musKodu = kod;
                                c.musteriFirma = name;
                                c.turu = QStringLiteral("Alıcı");
                                return NewCustomerStore(db).add(c);
                            }).get();
        ASSERT_EQ(result, NewCustomerStore::Result::Stored);
    }

    test::TestDatabase t {Engine::PostgreSQL};
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(OtherTillListTest, ACustomerAddedElsewhereShowsWithinASecondKeepingSelectionAndScroll)
{
    MainWindow& w = open();
    QTableView* view = grid();
    // A customer near the top picked, then the list scrolled far past it (below the first page read).
    const int row = 3;
    ASSERT_EQ(w.model()->exactCount(), 300);
    QCoreApplication::processEvents();
    view->setCurrentIndex(w.model()->index(row, 1));
    view->scrollTo(w.model()->index(200, 0), QAbstractItemView::PositionAtCenter);
    const QString selected = currentNumber();
    const int scrolled = view->verticalScrollBar()->value();
    ASSERT_GT(scrolled, 0);

    // Sorted before every other name: every row moves one down.
    otherTillAdds(QStringLiteral("9001"), QStringLiteral("Aaa Yeni Müşteri"));
    QElapsedTimer sinceCommit;
    sinceCommit.start();
    ZV_WAIT_UNTIL_MS(w.model()->index(0, CustomerListModel::MusteriFirma).data().toString()
                         == QStringLiteral("Aaa Yeni Müşteri"),
                     1000);
    std::cout << "[ measured ] other till's commit to the re-read list: " << sinceCommit.elapsed() << " ms\n";
    EXPECT_EQ(currentNumber(), selected);
    EXPECT_EQ(view->currentIndex().row(), row + 1);
    EXPECT_EQ(view->currentIndex().column(), 1);
    EXPECT_EQ(view->verticalScrollBar()->value(), scrolled);
}

TEST_F(OtherTillListTest, ATypedSearchStaysAndItsResultsAreReadForIt)
{
    MainWindow& w = open();
    auto* search = w.findChild<QLineEdit*>(QStringLiteral("searchBox"));
    test::typeText(search, QStringLiteral("müşteri 29"));
    ASSERT_EQ(w.model()->rowCount(), 10); // 290-299
    otherTillAdds(QStringLiteral("9002"), QStringLiteral("Müşteri 29 Yeni"));
    otherTillAdds(QStringLiteral("9003"), QStringLiteral("Zeynep"));
    ZV_WAIT_EQ(w.model()->rowCount(), 11);
    EXPECT_EQ(search->text(), QStringLiteral("müşteri 29"));
    EXPECT_TRUE(listShows(QStringLiteral("Müşteri 29 Yeni")));
    EXPECT_FALSE(listShows(QStringLiteral("Zeynep")));
}

TEST_F(OtherTillListTest, TheOpenTotalsFollowAnEntryElsewhereAndABurstIsReadOnce)
{
    MainWindow& w = open();
    w.findChild<LumButton*>(QStringLiteral("listTotalButton"))->click();
    auto* debtors = w.findChild<QLineEdit*>(QStringLiteral("debtorsBox"));
    auto* count = w.findChild<QLineEdit*>(QStringLiteral("countBox"));
    ASSERT_TRUE(w.listTotalsPanel()->isVisible());
    const QString before = debtors->text();
    int reloads = 0;
    QObject::connect(&w, &MainWindow::listReloaded, [&] { ++reloads; });

    // Twenty entries committed one by one, as fast as the other till can.
    test::onOtherTill(t.target(), [](const Database& db) {
        for (int i = 0; i < 20; ++i) {
            Movement m;
            m.musKodu = QStringLiteral("1");
            m.tarih = QStringLiteral("2026-12-09");
            m.saat = QStringLiteral("10:00:00");
            m.aciklama = QStringLiteral("-");
            m.eklenen = 500;
            AccountStore(db).appendMovement(m);
        }
        return 0;
    }).get();
    otherTillAdds(QStringLiteral("9004"), QStringLiteral("Son Gelen"));
    ZV_WAIT_EQ(count->text(), QStringLiteral("301"));
    ZV_WAIT_UNTIL(debtors->text() != before);
    // 451.500,00 and twenty times 5,00.
    EXPECT_EQ(debtors->text(), QStringLiteral("451.600,00"));
    // One read per notification would be 21.
    EXPECT_LT(reloads, 10);
}

TEST_F(OtherTillListTest, AWindowOverTheListPutsTheReadOff)
{
    MainWindow& w = open();
    QDialog over(&w);
    over.setModal(true);
    over.show();
    int reloads = 0;
    QObject::connect(&w, &MainWindow::listReloaded, [&] { ++reloads; });
    otherTillAdds(QStringLiteral("9005"), QStringLiteral("Aaa Bekleyen"));
    QTest::qWait(600);
    EXPECT_EQ(reloads, 0);
    over.close();
    ZV_WAIT_UNTIL(w.model()->index(0, CustomerListModel::MusteriFirma).data().toString()
                  == QStringLiteral("Aaa Bekleyen"));
}

} // namespace
