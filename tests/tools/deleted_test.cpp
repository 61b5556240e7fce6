// SPDX-License-Identifier: GPL-3.0-or-later
// "Silinen Kayıtlar": the deleted customers and movements, newest first, and "Geri Al" from the keyboard.
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/session.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "tools/deletedwindow.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

class DeletedWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_db.addCustomer(QStringLiteral("1"), QStringLiteral("AHMET YILMAZ"), QStringLiteral("Alıcı"), 0);
        m_db.addCustomer(QStringLiteral("2"), QStringLiteral("BEKİR ŞEN"), QStringLiteral("Alıcı"), 0);
        m_db.addMovement(QStringLiteral("1"), QDate(2026, 12, 1), 1500, {}, QStringLiteral("Şeker"));
        m_db.addMovement(QStringLiteral("2"), QDate(2026, 12, 1), 800, {});
        const qint64 lone = m_db.addMovement(QStringLiteral("2"), QDate(2026, 12, 2), {}, 300, QStringLiteral("Ödeme"));
        AccountStore store(m_db.db());
        session::setUser(QStringLiteral("ADMIN"));
        Clock::setFixed(QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
        EXPECT_TRUE(store.deleteMovement(lone));
        session::setUser(QStringLiteral("KASA"));
        Clock::setFixed(QDateTime(QDate(2026, 12, 11), QTime(14, 5)));
        EXPECT_TRUE(store.deleteCustomer(QStringLiteral("2")));
        session::setUser({});
        Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(8, 0)));
        EXPECT_TRUE(store.deleteMovement(1));
    }
    void TearDown() override
    {
        session::setUser({});
        Clock::reset();
    }

    static QStringList row(const QTableView* grid, int r)
    {
        QStringList cells;
        for (int c = 0; c < grid->model()->columnCount(); ++c)
            cells << grid->model()->index(r, c).data().toString();
        return cells;
    }

    test::TestDatabase m_db;
    test::MessageRecorder m_messages;
};

} // namespace

TEST_F(DeletedWindowTest, ListsNewestFirstAndPutsBackFromTheKeyboard)
{
    DeletedRecordsWindow window(m_db.db());
    window.show();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("deletedGrid"));
    ASSERT_TRUE(grid);
    ASSERT_EQ(grid->model()->rowCount(), 3);
    EXPECT_EQ(row(grid, 0),
              (QStringList {QStringLiteral("KASA"), QStringLiteral("11.12.2026 14:05"), QStringLiteral("2 - BEKİR ŞEN"),
                            QStringLiteral("Müşteri kaydı (1 hareketiyle)"), QStringLiteral("8,00")}));
    EXPECT_EQ(row(grid, 1),
              (QStringList {QStringLiteral("ADMIN"), QStringLiteral("10.12.2026 09:30"),
                            QStringLiteral("2 - BEKİR ŞEN"), QStringLiteral("Ödeme"), QStringLiteral("-3,00")}));
    EXPECT_EQ(row(grid, 2),
              (QStringList {QStringLiteral("(bilinmiyor)"), QStringLiteral("09.12.2026 08:00"),
                            QStringLiteral("1 - AHMET YILMAZ"), QStringLiteral("Şeker"), QStringLiteral("15,00")}));

    // The payment's customer is gone: refused, with the way out, and nothing moves.
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(m_messages.messages().size(), 1);
    EXPECT_TRUE(m_messages.last().text.contains(QStringLiteral("Önce müşteriyi")))
        << m_messages.last().text.toStdString();
    EXPECT_EQ(grid->model()->rowCount(), 3);

    // The customer first (Enter on the list), then the payment ("Geri Al").
    grid->setCurrentIndex(grid->model()->index(0, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Information);
    ASSERT_EQ(grid->model()->rowCount(), 2);
    EXPECT_EQ(row(grid, 0).at(3), QStringLiteral("Ödeme"));
    grid->setCurrentIndex(grid->model()->index(0, 0));
    window.findChild<LumButton*>(QStringLiteral("undoDeleteButton"))->click();
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Information);
    EXPECT_EQ(m_db.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE mus_kodu = '2'")).toLongLong(), 500);
    ASSERT_EQ(grid->model()->rowCount(), 1);
    EXPECT_TRUE(window.findChild<LumButton*>(QStringLiteral("undoDeleteButton"))->isEnabled());

    // Esc closes.
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
}
