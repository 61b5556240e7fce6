// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/clock.h"
#include "entry/entrywindow.h"
#include "messagerecorder.h"
#include "pgserver.h"
#include "testdatabase.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QString kKod = QStringLiteral("42");

// The server stops under an open entry window and comes back.
TEST(EntryWindowLostServer, AnEntryMadeWhileTheServerIsAwayIsKeptAndStoredOnceWhenItIsBack)
{
    struct Case
    {
        EntryWindow::Panel panel;
        QList<std::pair<const char*, QString>> typed;
        const char* confirm;
        qint64 balanceAfter; // from 100,00
    };
    const Case cases[] = {
        {EntryWindow::Panel::Credit,
         {{"descriptionBox", QStringLiteral("Şeker")},
          {"quantityBox", QStringLiteral("2")},
          {"unitPriceBox", QStringLiteral("5,00")},
          {"factorBox", QStringLiteral("1")}},
         "creditConfirmButton",
         11000},
        {EntryWindow::Panel::Payment, {{"amountBox", QStringLiteral("30,00")}}, "paymentConfirmButton", 7000},
    };
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    ASSERT_NE(server, nullptr) << error.toStdString();
    Clock::setFixed(QDateTime(QDate(2026, 3, 15), QTime(14, 5, 9)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.confirm);
        test::TestDatabase t(Engine::PostgreSQL);
        t.addCustomer(kKod, QStringLiteral("AHMET YILMAZ"), QStringLiteral("Alıcı"), 10000);
        EntryWindow window(t.db());
        window.setCustomerNumber(kKod);
        window.openPanel(c.panel, QStringLiteral("BAŞLIK"));
        window.show();
        window.onActivated();
        for (const auto& [box, text] : c.typed)
            window.findChild<QLineEdit*>(QString::fromLatin1(box))->setText(text);
        auto* confirm = window.findChild<LumButton*>(QString::fromLatin1(c.confirm));
        QSignalSpy storedSignal(&window, &EntryWindow::entryStored);
        test::MessageRecorder messages;

        ASSERT_TRUE(server->stop(&error)) << error.toStdString();
        confirm->click();
        const bool started = server->startAgain(&error);
        ASSERT_TRUE(started) << error.toStdString();
        ASSERT_EQ(messages.messages().size(), 1);
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Sunucuya (127.0.0.1:%1) ulaşılamıyor; kayıt yapılmadı. Bağlantı gelince yeniden "
                                 "deneyin.")
                      .arg(server->port()));
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(storedSignal.size(), 0);
        for (const auto& [box, text] : c.typed)
            EXPECT_EQ(window.findChild<QLineEdit*>(QString::fromLatin1(box))->text(), text) << box;
        const auto observer = t.openAnother();
        EXPECT_EQ(observer->scalar(QStringLiteral("SELECT count(*) FROM veresiye")).toInt(), 0);
        EXPECT_EQ(observer->scalar(QStringLiteral("SELECT Bakiye FROM musteriler")).toLongLong(), 10000);

        // The server is back: the same press stores it, once.
        confirm->click();
        EXPECT_EQ(messages.messages().size(), 1);
        EXPECT_EQ(storedSignal.size(), 1);
        EXPECT_FALSE(window.isVisible());
        EXPECT_EQ(observer->scalar(QStringLiteral("SELECT count(*) FROM veresiye")).toInt(), 1);
        EXPECT_EQ(observer->scalar(QStringLiteral("SELECT Bakiye FROM musteriler")).toLongLong(), c.balanceAfter);
    }
    Clock::reset();
}

} // namespace
