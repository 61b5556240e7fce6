// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/accountwindow.h"
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "testdatabase.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenuBar>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace zelvora;

namespace {

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0))); }
    void TearDown() override { Clock::reset(); }

    MainWindow& open()
    {
        m_window = std::make_unique<MainWindow>(m_db.db());
        m_window->onActivated();
        return *m_window;
    }

    // The named child; a missing one fails the case and ends it instead of handing back a null pointer.
    template<typename T> T* child(const char* name) const
    {
        T* w = m_window->findChild<T*>(QString::fromLatin1(name));
        if (!w) {
            ADD_FAILURE() << "no child named " << name;
            throw std::runtime_error(std::string("missing child ") + name);
        }
        return w;
    }

    QStringList column(int col) const
    {
        QStringList values;
        const auto* model = m_window->model();
        for (int r = 0; r < model->rowCount(); ++r)
            values << model->index(r, col).data().toString();
        return values;
    }

    struct Enabled
    {
        bool open, total, search, sort, print, add;
    };
    Enabled enabled() const
    {
        return {child<LumButton>("openAccountButton")->isEnabled(), child<LumButton>("listTotalButton")->isEnabled(),
                child<QLineEdit>("searchBox")->isEnabled(),         child<QComboBox>("sortBox")->isEnabled(),
                child<QAction>("printListAction")->isEnabled(),     child<LumButton>("addCustomerButton")->isEnabled()};
    }

    test::TestDatabase m_db;
    std::unique_ptr<MainWindow> m_window;
};

} // namespace

TEST_F(MainWindowTest, ShowsTheSixColumnsCaptionsAndButtons)
{
    MainWindow& w = open();
    EXPECT_EQ(w.objectName(), QStringLiteral("veresiye"));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Zelvora   -    www.zelvora.example"));
    QStringList headings;
    for (int c = 0; c < w.model()->columnCount(); ++c)
        headings << w.model()->headerData(c, Qt::Horizontal).toString();
    EXPECT_EQ(headings,
              (QStringList {QStringLiteral("HESAP TÜRÜ"), QStringLiteral("MÜŞTERİ NO"), QStringLiteral("MÜŞTERİ"),
                            QStringLiteral("SON İŞLEM TARİHİ"), QStringLiteral("GÜN"), QStringLiteral("BAKİYE")}));
    EXPECT_EQ(child<LumButton>("closeButton")->caption(), QStringLiteral("Kapat"));
    EXPECT_EQ(child<LumButton>("deleteCustomerButton")->caption(), QStringLiteral("Müşteriyi Sil"));
    EXPECT_EQ(child<LumButton>("addCustomerButton")->caption(), QStringLiteral(" Müşteri Ekle"));
    EXPECT_EQ(child<LumButton>("listTotalButton")->caption(), QStringLiteral("  Listeyi Topla"));
    EXPECT_EQ(child<LumButton>("openAccountButton")->caption(), QStringLiteral("    Müşteri Hesabına Gir"));
    const auto* sort = child<QComboBox>("sortBox");
    EXPECT_EQ(sort->count(), 3);
    EXPECT_EQ(sort->itemText(0), QStringLiteral("Tümü"));
    EXPECT_EQ(sort->itemText(1), QStringLiteral("Alıcı"));
    EXPECT_EQ(sort->itemText(2), QStringLiteral("Satıcı"));
    EXPECT_EQ(sort->currentIndex(), -1);
    const auto* grid = child<QTableView>("customerGrid");
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(grid->selectionBehavior(), QAbstractItemView::SelectRows);
}

TEST_F(MainWindowTest, ClientAreaBelowTheMenuBarIs807By598)
{
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    EXPECT_EQ(w.centralWidget()->size(), QSize(807, 598));
    EXPECT_EQ(w.centralWidget()->y(), w.menuBar()->geometry().bottom() + 1);
    w.hide();
}

TEST_F(MainWindowTest, ActivationListsByNameAndWritesDayCounts)
{
    const QDate today = Clock::today();
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Zeynep"), QStringLiteral("Alıcı"), 12050, today.addDays(-12));
    m_db.addCustomer(QStringLiteral("2"), QStringLiteral("Ahmet"), QStringLiteral("Satıcı"), -4000, today);
    m_db.addCustomer(QStringLiteral("3"), QStringLiteral("Çiçek"), QStringLiteral("Alıcı"));
    open();
    EXPECT_EQ(column(CustomerListModel::MusteriFirma),
              (QStringList {QStringLiteral("Ahmet"), QStringLiteral("Çiçek"), QStringLiteral("Zeynep")}));
    EXPECT_EQ(column(CustomerListModel::Gun), (QStringList {QStringLiteral("0"), QString(), QStringLiteral("-12")}));
    EXPECT_EQ(column(CustomerListModel::Sonislem),
              (QStringList {QStringLiteral("09.12.2026"), QString(), QStringLiteral("27.11.2026")}));
    EXPECT_EQ(column(CustomerListModel::Bakiye),
              (QStringList {QStringLiteral("-40,00"), QString(), QStringLiteral("120,50")}));
    ASSERT_TRUE(m_window->currentCustomer());
    EXPECT_EQ(m_window->currentCustomer()->musteriFirma, QStringLiteral("Ahmet"));

    // A day later the next activation counts one day more, whatever the search box holds.
    test::typeText(child<QLineEdit>("searchBox"), QStringLiteral("Zey"));
    Clock::setFixed(QDateTime(today.addDays(1), QTime(9, 0)));
    m_window->onActivated();
    EXPECT_EQ(column(CustomerListModel::Gun), (QStringList {QStringLiteral("-1"), QString(), QStringLiteral("-13")}));
    EXPECT_EQ(child<QLineEdit>("searchBox")->text(), QStringLiteral("Zey"));
}

// A customer whose balance is above the credit limit has the balance in red and the limit on the row's tooltip;
// at the limit, without a limit or without a balance, nothing is marked.
TEST_F(MainWindowTest, CustomersOverTheirCreditLimitAreMarked)
{
    struct Case
    {
        QString name;
        QVariant bakiye, limit;
        QString tooltip; // empty: not marked
    };
    const Case cases[] = {
        {QStringLiteral("A Aşan"), qint64(150001), qint64(150000), QStringLiteral("Kredi limiti aşıldı (1.500,00 TL)")},
        {QStringLiteral("B Sınırda"), qint64(150000), qint64(150000), QString()},
        {QStringLiteral("C Limitsiz"), qint64(99999900), QVariant(), QString()},
        {QStringLiteral("D Sıfır"), qint64(1), qint64(0), QStringLiteral("Kredi limiti aşıldı (0,00 TL)")},
        {QStringLiteral("E Bakiyesiz"), QVariant(), qint64(0), QString()},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString kod = QString::number(++n);
        m_db.addCustomer(kod, c.name, QStringLiteral("Alıcı"), c.bakiye);
        if (!c.limit.isNull())
            ASSERT_TRUE(m_db.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = ? WHERE mus_kodu = ?"),
                                       {c.limit, kod}));
    }
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    auto* grid = child<QTableView>("customerGrid");
    grid->clearSelection();
    grid->setCurrentIndex({});
    const QImage image = grid->viewport()->grab().toImage();
    const auto redPixels = [&](const QModelIndex& index) {
        const QRect cell = grid->visualRect(index);
        int red = 0;
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const QColor p = image.pixelColor(x, y);
                red += p.red() > 150 && p.green() < 90 && p.blue() < 90;
            }
        return red;
    };
    ASSERT_EQ(w.model()->rowCount(), int(std::size(cases)));
    for (int row = 0; row < w.model()->rowCount(); ++row) {
        const Case& c = cases[row];
        SCOPED_TRACE(c.name.toStdString());
        ASSERT_EQ(w.model()->index(row, CustomerListModel::MusteriFirma).data().toString(), c.name);
        for (int column = 0; column < CustomerListModel::ColumnCount; ++column)
            EXPECT_EQ(w.model()->index(row, column).data(Qt::ToolTipRole).toString(), c.tooltip) << column;
        const QModelIndex balance = w.model()->index(row, CustomerListModel::Bakiye);
        EXPECT_EQ(balance.data(CustomerListModel::OverLimitRole).toBool(), !c.tooltip.isEmpty());
        if (!c.bakiye.isNull())
            EXPECT_EQ(redPixels(balance) > 0, !c.tooltip.isEmpty());
        EXPECT_EQ(redPixels(w.model()->index(row, CustomerListModel::MusteriFirma)), 0);
    }
    w.hide();
}

TEST_F(MainWindowTest, SearchAsTypedFindsTurkishNamesAndClearingListsTableOrder)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Şükrü"));
    m_db.addCustomer(QStringLiteral("2"), QStringLiteral("AHMET"));
    m_db.addCustomer(QStringLiteral("3"), QStringLiteral("Ahşap Dünyası"));
    m_db.addCustomer(QStringLiteral("4"), QStringLiteral("Ali"));
    open();
    auto* search = child<QLineEdit>("searchBox");
    auto* sort = child<QComboBox>("sortBox");
    sort->setCurrentIndex(2);
    test::typeText(search, QStringLiteral("ah"));
    EXPECT_EQ(column(CustomerListModel::MusteriFirma),
              (QStringList {QStringLiteral("AHMET"), QStringLiteral("Ahşap Dünyası")}));
    EXPECT_EQ(sort->currentIndex(), -1);
    search->clear();
    test::typeText(search, QStringLiteral("şü"));
    EXPECT_EQ(column(CustomerListModel::MusteriFirma), (QStringList {QStringLiteral("Şükrü")}));
    search->clear();
    EXPECT_EQ(column(CustomerListModel::MusteriFirma),
              (QStringList {QStringLiteral("Şükrü"), QStringLiteral("AHMET"), QStringLiteral("Ahşap Dünyası"),
                            QStringLiteral("Ali")}));
}

TEST_F(MainWindowTest, SortBoxFiltersByAccountTypeAndTumuListsAll)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Berk"), QStringLiteral("Satıcı"));
    m_db.addCustomer(QStringLiteral("2"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"));
    m_db.addCustomer(QStringLiteral("3"), QStringLiteral("Arda"), QStringLiteral("Satıcı"));
    open();
    auto* sort = child<QComboBox>("sortBox");
    auto pick = [&](int index) {
        sort->setCurrentIndex(index);
        emit sort->activated(index);
    };
    test::typeText(child<QLineEdit>("searchBox"), QStringLiteral("ay"));
    pick(2);
    EXPECT_EQ(column(CustomerListModel::MusteriFirma), (QStringList {QStringLiteral("Arda"), QStringLiteral("Berk")}));
    EXPECT_EQ(child<QLineEdit>("searchBox")->text(), QStringLiteral("ay"));
    pick(1);
    EXPECT_EQ(column(CustomerListModel::MusteriFirma), (QStringList {QStringLiteral("Ayşe")}));
    pick(0);
    EXPECT_EQ(column(CustomerListModel::MusteriFirma),
              (QStringList {QStringLiteral("Arda"), QStringLiteral("Ayşe"), QStringLiteral("Berk")}));
}

TEST_F(MainWindowTest, EmptyTableDisablesListCommandsButNotAdding)
{
    open();
    const Enabled e = enabled();
    EXPECT_FALSE(e.open);
    EXPECT_FALSE(e.total);
    EXPECT_FALSE(e.search);
    EXPECT_FALSE(e.sort);
    EXPECT_FALSE(e.print);
    EXPECT_TRUE(e.add);
}

TEST_F(MainWindowTest, SearchOrFilterMatchingNobodyKeepsTheBoxesUsable)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"), QStringLiteral("Alıcı"));
    open();
    ASSERT_TRUE(enabled().open);
    auto* search = child<QLineEdit>("searchBox");
    test::typeText(search, QStringLiteral("zz"));
    EXPECT_EQ(m_window->model()->rowCount(), 0);
    Enabled e = enabled();
    EXPECT_FALSE(e.open);
    EXPECT_FALSE(e.total);
    EXPECT_FALSE(e.print);
    EXPECT_TRUE(e.search);
    EXPECT_TRUE(e.sort);

    // The user corrects the text and the list comes back.
    QTest::keyClick(search, Qt::Key_Backspace);
    QTest::keyClick(search, Qt::Key_Backspace);
    EXPECT_EQ(m_window->model()->rowCount(), 1);
    EXPECT_TRUE(enabled().open);

    auto* sort = child<QComboBox>("sortBox");
    sort->setCurrentIndex(2);
    emit sort->activated(2);
    EXPECT_EQ(m_window->model()->rowCount(), 0);
    e = enabled();
    EXPECT_FALSE(e.open);
    EXPECT_TRUE(e.sort);
    EXPECT_TRUE(e.search);
}

TEST_F(MainWindowTest, LockingDisablesTheListAndUnlockingRunsTheRule)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
    open();
    m_window->menukitle();
    EXPECT_FALSE(child<QWidget>("listFrame")->isEnabled());
    EXPECT_FALSE(child<LumButton>("deleteCustomerButton")->isEnabled());
    EXPECT_FALSE(child<LumButton>("addCustomerButton")->isEnabled());
    const auto locked = [&] {
        const Enabled e = enabled();
        return !e.open && !e.total && !e.search && !e.sort;
    };
    EXPECT_TRUE(locked());
    EXPECT_TRUE(enabled().print);
    // A window of ours closing reloads the list; the list stays locked while the panel lies over it.
    m_window->onActivated();
    EXPECT_TRUE(locked());
    m_window->menukilitac();
    EXPECT_TRUE(enabled().open);
    EXPECT_TRUE(enabled().search);
    EXPECT_TRUE(child<QWidget>("listFrame")->isEnabled());
    EXPECT_TRUE(child<LumButton>("deleteCustomerButton")->isEnabled());
    EXPECT_TRUE(child<LumButton>("addCustomerButton")->isEnabled());
}

TEST_F(MainWindowTest, ControlsExposeRolesAndNamesToAssistiveTechnology)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
    open();
    m_window->show();
    struct Case
    {
        const char* object;
        QAccessible::Role role;
        QString name;
    };
    const Case cases[] = {
        {"searchBox", QAccessible::EditableText, QStringLiteral("MÜŞTERİ ARA :")},
        {"sortBox", QAccessible::ComboBox, QStringLiteral("SIRALA :")},
        {"addCustomerButton", QAccessible::Button, QStringLiteral("Müşteri Ekle")},
        {"openAccountButton", QAccessible::Button, QStringLiteral("Müşteri Hesabına Gir")},
        {"customerGrid", QAccessible::Table, QStringLiteral("Müşteri Listesi")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.object);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(child<QWidget>(c.object));
        ASSERT_NE(iface, nullptr);
        EXPECT_EQ(iface->role(), c.role);
        EXPECT_EQ(iface->text(QAccessible::Name), c.name);
    }
}

TEST_F(MainWindowTest, TabLeavesTheListAndEnterOnARowOpensTheAccount)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ahmet"));
    m_db.addCustomer(QStringLiteral("2"), QStringLiteral("Zeynep"));
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* grid = child<QTableView>("customerGrid");
    grid->setFocus();
    grid->setCurrentIndex(w.model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_FALSE(grid->hasFocus()) << "Tab walked the cells instead of leaving the list";
    EXPECT_EQ(grid->currentIndex(), w.model()->index(1, 0));

    // Enter opens the account of the current row, as a double click does.
    grid->setFocus();
    QString opened;
    QTimer::singleShot(0, &w, [&] {
        if (auto* account = qobject_cast<AccountWindow*>(QApplication::activeModalWidget())) {
            opened = account->customerNumber();
            account->reject();
        }
    });
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(opened, QStringLiteral("2"));
}
