// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "customers/listtotalspanel.h"
#include "customers/listtotalsstore.h"
#include "customers/mainwindow.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

struct Customer
{
    QString turu;
    QVariant bakiye; // kuruş, or null for a customer whose account was never opened
};

void addCustomers(test::TestDatabase& t, const QList<Customer>& customers)
{
    for (qsizetype i = 0; i < customers.size(); ++i)
        t.addCustomer(QString::number(i + 1), QStringLiteral("Müşteri %1").arg(i + 1), customers.at(i).turu,
                      customers.at(i).bakiye);
}

const QString kAlici = QStringLiteral("Alıcı");
const QString kSatici = QStringLiteral("Satıcı");

QStringList panelTexts(const ListTotalsPanel& panel)
{
    return {panel.debtorsText(), panel.creditorsText(), panel.balanceText(), panel.countText()};
}

// The main window's commands and boxes that the panel locks.
QList<QWidget*> lockable(const MainWindow& main)
{
    QList<QWidget*> widgets;
    for (const char* name : {"listFrame", "deleteCustomerButton", "addCustomerButton", "listTotalButton",
                             "openAccountButton", "searchBox", "sortBox"})
        widgets << main.findChild<QWidget*>(QLatin1String(name));
    return widgets;
}

} // namespace

TEST(ListTotals, SumsBalancesByAccountType)
{
    struct Case
    {
        const char* what;
        QList<Customer> customers;
        QStringList shown; // debtors, creditors, balance
    };
    const Case cases[] = {
        {"buyers and a seller",
         {{kAlici, 10000}, {kAlici, 25050}, {kSatici, 4000}},
         {QStringLiteral("350,50"), QStringLiteral("40,00"), QStringLiteral("310,50")}},
        {"sellers only",
         {{kSatici, 4000}},
         {QStringLiteral("0,00"), QStringLiteral("40,00"), QStringLiteral("-40,00")}},
        {"no customers", {}, {QStringLiteral("0,00"), QStringLiteral("0,00"), QStringLiteral("0,00")}},
        {"never opened accounts add nothing",
         {{kAlici, QVariant()}, {kSatici, QVariant()}, {kAlici, -1234}},
         {QStringLiteral("-12,34"), QStringLiteral("0,00"), QStringLiteral("-12,34")}},
        {"large sums are exact",
         {{kAlici, Q_INT64_C(100000000000)}, {kAlici, 1}, {kSatici, Q_INT64_C(25000000000)}},
         {QStringLiteral("1.000.000.000,01"), QStringLiteral("250.000.000,00"), QStringLiteral("750.000.000,01")}},
        // Written as a real number by another tool: rounded to the kuruş.
        {"real balance",
         {{kAlici, 250045.6}},
         {QStringLiteral("2.500,46"), QStringLiteral("0,00"), QStringLiteral("2.500,46")}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TestDatabase t;
        addCustomers(t, c.customers);
        test::MessageRecorder messages;
        QWidget parent;
        ListTotalsPanel panel(t.db(), &parent);
        panel.compute(3);
        EXPECT_EQ(panelTexts(panel), c.shown + QStringList {QStringLiteral("3")});
        EXPECT_TRUE(messages.empty());
    }
}

TEST(ListTotals, EmptyListIsReported)
{
    test::TestDatabase t;
    addCustomers(t, {{kAlici, 500}});
    test::MessageRecorder messages;
    QWidget parent;
    ListTotalsPanel panel(t.db(), &parent);
    panel.compute(0);
    EXPECT_EQ(
        panelTexts(panel),
        (QStringList {QStringLiteral("5,00"), QStringLiteral("0,00"), QStringLiteral("5,00"), QStringLiteral("0")}));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Kayıt Bulunamadı..."));
    EXPECT_EQ(messages.last().title, QStringLiteral("Bilgi"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
}

TEST(ListTotals, UnreadableTableShowsNoFigures)
{
    test::TestDatabase t;
    ASSERT_TRUE(t.db().exec(QStringLiteral("ALTER TABLE liste_toplami RENAME TO eski_toplam")));
    EXPECT_FALSE(ListTotalsStore(t.db()).sums().has_value());
    test::MessageRecorder messages;
    QWidget parent;
    ListTotalsPanel panel(t.db(), &parent);
    panel.compute(2);
    EXPECT_EQ(panelTexts(panel), (QStringList {QString(), QString(), QString(), QStringLiteral("2")}));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
}

TEST(ListTotals, PanelLocksTheListUntilClosed)
{
    test::TestDatabase t;
    addCustomers(t, {{kAlici, 10000}, {kAlici, 25050}, {kSatici, 4000}});
    t.addCustomer(QStringLiteral("9"), QStringLiteral("Ahşap Dünyası"), kAlici, 100);
    t.addCustomer(QStringLiteral("10"), QStringLiteral("AHMET"), kSatici, 200);
    test::MessageRecorder messages;
    MainWindow main(t.db());
    main.show();
    main.onActivated();
    auto* panel = main.listTotalsPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());

    // Narrowed by a search: the money covers the whole table, the count follows the list.
    test::typeText(main.findChild<QLineEdit*>(QStringLiteral("searchBox")), QStringLiteral("ah"));
    ASSERT_EQ(main.model()->rowCount(), 2);
    main.findChild<LumButton*>(QStringLiteral("listTotalButton"))->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->title(), QStringLiteral("Liste Toplamı"));
    EXPECT_EQ(panelTexts(*panel),
              (QStringList {QStringLiteral("351,50"), QStringLiteral("42,00"), QStringLiteral("309,50"),
                            QStringLiteral("2")}));
    EXPECT_TRUE(messages.empty());
    for (QWidget* w : lockable(main)) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_FALSE(w->isEnabled());
    }
    // The panel itself stays usable over the locked list.
    auto* close = panel->findChild<LumButton*>(QStringLiteral("listTotalsCloseButton"));
    ASSERT_TRUE(close->isEnabled());
    EXPECT_TRUE(main.findChild<LumButton*>(QStringLiteral("closeButton"))->isEnabled());

    close->click();
    EXPECT_FALSE(panel->isVisible());
    for (QWidget* w : lockable(main)) {
        SCOPED_TRACE(w->objectName().toStdString());
        EXPECT_TRUE(w->isEnabled());
    }
    // The figures stay until the next computation.
    EXPECT_EQ(panel->countText(), QStringLiteral("2"));
}

// The panel can only open over a customer, but the list may have emptied by the time it closes (another
// window changed the table): the commands that need a customer stay disabled then.
TEST(ListTotals, ClosingOverAnEmptiedListKeepsCustomerCommandsDisabled)
{
    test::TestDatabase t;
    addCustomers(t, {{kAlici, 100}});
    test::MessageRecorder messages;
    MainWindow main(t.db());
    main.show();
    main.onActivated();
    main.findChild<LumButton*>(QStringLiteral("listTotalButton"))->click();
    ASSERT_TRUE(t.db().exec(QStringLiteral("DELETE FROM musteriler")));
    main.rereadList();
    main.listTotalsPanel()->findChild<LumButton*>(QStringLiteral("listTotalsCloseButton"))->click();
    EXPECT_FALSE(main.listTotalsPanel()->isVisible());
    EXPECT_FALSE(main.findChild<QWidget*>(QStringLiteral("openAccountButton"))->isEnabled());
    EXPECT_FALSE(main.findChild<QWidget*>(QStringLiteral("listTotalButton"))->isEnabled());
    EXPECT_TRUE(main.findChild<QWidget*>(QStringLiteral("addCustomerButton"))->isEnabled());
}
