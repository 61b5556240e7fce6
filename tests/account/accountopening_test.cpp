// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "accounttestsupport.h"
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/customerstore.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;
using test::child;

namespace {

class AccountOpeningTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addCustomer(QStringLiteral("42"), QStringLiteral("AHMET YILMAZ"), QStringLiteral("Alıcı"));
        t.addCustomer(QStringLiteral("43"), QStringLiteral("Zeki Toptan"), QStringLiteral("Satıcı"));
        t.addMovement(QStringLiteral("42"), QDate(2026, 3, 1), 1000, {});
        main.onActivated();
    }

    // Runs the command; while the account window is open, look() sees it and then leave() ends it.
    void whileOpen(const char* command, const std::function<void(AccountWindow*)>& look)
    {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* account = qobject_cast<AccountWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(account, nullptr);
            look(account);
            seen = true;
        });
        child<LumButton>(&main, QString::fromLatin1(command))->click();
        EXPECT_TRUE(seen);
    }

    test::TestDatabase t;
    test::MessageRecorder messages;
    MainWindow main {t.db()};
};

TEST_F(AccountOpeningTest, OpensTheCurrentCustomersAccountWithItsCaption)
{
    whileOpen("openAccountButton", [](AccountWindow* account) {
        EXPECT_EQ(account->windowTitle(), QStringLiteral("AHMET YILMAZ / 42 - ( Alıcı )"));
        EXPECT_EQ(account->customerNumber(), QStringLiteral("42"));
        // Becoming active loads the account.
        EXPECT_TRUE(QTest::qWaitFor([account] { return account->model()->rowCount() == 1; }, 2000));
        EXPECT_FALSE(child<QWidget>(account, QStringLiteral("deletePanel"))->isVisible());
        child<LumButton>(account, QStringLiteral("backButton"))->click();
    });
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE mus_kodu = '42'")).toLongLong(), 1000);
    // The list was read again: it shows the balance the account stored.
    EXPECT_EQ(main.model()->index(0, CustomerListModel::Bakiye).data().toString(), QStringLiteral("10,00"));
}

TEST_F(AccountOpeningTest, DeleteCommandOpensInDeleteModeAndTheListLosesTheCustomer)
{
    whileOpen("deleteCustomerButton", [](AccountWindow* account) {
        EXPECT_TRUE(child<QWidget>(account, QStringLiteral("deletePanel"))->isVisible());
        EXPECT_FALSE(child<LumButton>(account, QStringLiteral("backButton"))->isEnabled());
        child<LumButton>(account, QStringLiteral("deleteCustomerButton"))->click();
    });
    EXPECT_EQ(main.model()->rowCount(), 1);
    EXPECT_EQ(main.currentCustomer()->musKodu, QStringLiteral("43"));
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = '42'")).toLongLong(), 0);
}

TEST_F(AccountOpeningTest, DoubleClickOnARowOpensThatAccount)
{
    auto* grid = child<QTableView>(&main, QStringLiteral("customerGrid"));
    main.show();
    QString title;
    QTimer::singleShot(0, [&] {
        auto* account = qobject_cast<AccountWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(account, nullptr);
        title = account->windowTitle();
        account->reject();
    });
    const QRect cell = grid->visualRect(main.model()->index(1, 2));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(title, QStringLiteral("Zeki Toptan / 43 - ( Satıcı )"));
    main.hide();
}

} // namespace
