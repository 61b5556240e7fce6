// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "localhttpserver.h"
#include "messagerecorder.h"
#include "rates/ratepage.h"
#include "rates/rateswindow.h"
#include "testdatabase.h"
#include "update/httptransfer.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QSettings>
#include <QStringEncoder>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace zelvora {
namespace {

using test::LocalHttpServer;

// A rate page laid out as the bank's: each currency's rates at its offsets from the search text.
QString ratePage(const QStringList& skip = {})
{
    QString page = QStringLiteral("<html><pre>\r\nT.C. MERKEZ BANKASI  DÖVİZ KURLARI\r\n");
    int n = 0;
    for (const Currency& c : RatePage::currencies()) {
        ++n;
        if (skip.contains(c.searchText))
            continue;
        const QString buying = QStringLiteral("%1.%2").arg(n).arg(1111 * n % 10000, 4, 10, QLatin1Char('0'));
        const QString selling = QStringLiteral("%1.%2").arg(n).arg(2222 * n % 10000, 4, 10, QLatin1Char('0'));
        const qsizetype width = c.sellingOffset - c.buyingOffset;
        page += QStringLiteral("XXX/TRY ") + c.searchText.leftJustified(c.buyingOffset) + buying.leftJustified(width)
            + selling.leftJustified(12) + QStringLiteral("\r\n");
    }
    return page + QStringLiteral("</pre></html>");
}

QString expectedBuying(int row)
{
    const int n = row + 1;
    return QStringLiteral("%1.%2").arg(n).arg(1111 * n % 10000, 4, 10, QLatin1Char('0')).leftJustified(9)
        + QStringLiteral(" TL");
}

class RatesWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        QSettings ini(QDir(m_db.folder()).filePath(QStringLiteral("zelvora.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("bank/host"), m_server.host());
        ini.sync();
        AppConfig::reload();
        Clock::setFixed(QDateTime(QDate(2026, 3, 9), QTime(10, 0)));
        m_main.show();
    }
    void TearDown() override
    {
        Clock::reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == QLatin1String("KURLAR"))
                delete w;
    }

    void servePage(const QByteArray& body, const QByteArray& contentType = "text/html")
    {
        m_server.serve(RatePage::PathAndQuery, LocalHttpServer::page(body, contentType));
    }

    // Opens the window as the menu does and waits until it is shown.
    void openAndWait(QPointer<RatesWindow>& window)
    {
        window = openRatesWindow(&m_main);
        ASSERT_TRUE(window);
        // Nothing is shown before the page arrived: the call did not wait for the network.
        EXPECT_FALSE(window->isVisible());
        ZV_WAIT_UNTIL(!window || window->isVisible());
        ASSERT_TRUE(window) << "closed instead of shown";
    }

    test::TestDatabase m_db;
    LocalHttpServer m_server;
    QWidget m_main;
    test::MessageRecorder m_messages;
};

TEST_F(RatesWindowTest, ShowsEveryRateOfAWindows1254PageAndAUtf8Page)
{
    const QString page = ratePage();
    auto withHead = [&](const QString& head) {
        return QString(page).replace(QStringLiteral("<html>"),
                                     QStringLiteral("<html><head>") + head + QStringLiteral("</head>"));
    };
    const struct
    {
        const char* what;
        QByteArray body;
        QByteArray contentType;
    } pages[] = {
        {"Windows-1254, undeclared", QStringEncoder("windows-1254").encode(page), "text/html"},
        {"UTF-8 by the response", page.toUtf8(), "text/html; charset=utf-8"},
        {"UTF-8 by <meta charset>", withHead(QStringLiteral("<meta charset=\"UTF-8\">")).toUtf8(), "text/html"},
        {"UTF-8 by <meta http-equiv>",
         withHead(QStringLiteral("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=utf-8\">")).toUtf8(),
         "text/html"},
        {"UTF-8, undeclared", page.toUtf8(), "text/html"},
        {"UTF-8, no content type", page.toUtf8(), ""},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.what);
        m_messages.clear();
        servePage(p.body, p.contentType);
        QPointer<RatesWindow> window;
        ASSERT_NO_FATAL_FAILURE(openAndWait(window));
        EXPECT_TRUE(window->isModal());
        EXPECT_EQ(window->objectName(), QStringLiteral("KURLAR"));
        EXPECT_EQ(window->windowTitle(), QStringLiteral("09.03.2026 TARİHLİ T.C.M.B. DOVİZ KURLARI"));
        for (int row = 0; row < 13; ++row) {
            EXPECT_EQ(window->buyingBox(row)->text(), expectedBuying(row)) << row;
            EXPECT_TRUE(window->sellingBox(row)->text().endsWith(QStringLiteral(" TL")));
            EXPECT_EQ(window->sellingBox(row)->text().size(), 12);
        }
        // "DANİMARKA KRONU" and "İSVİÇRE FRANGI" need the Turkish letters decoded right.
        EXPECT_EQ(window->buyingBox(2)->text(), expectedBuying(2));
        EXPECT_EQ(window->buyingBox(5)->text(), expectedBuying(5));
        EXPECT_TRUE(m_messages.empty());
        window->findChild<LumButton*>(QStringLiteral("closeButton"))->click();
        ZV_WAIT_UNTIL(!window || !window->isVisible());
    }
}

TEST_F(RatesWindowTest, ACurrencyMissingFromThePageLeavesItsBoxesEmpty)
{
    servePage(QStringEncoder("windows-1254").encode(ratePage({QStringLiteral("KANADA DOLARI")})));
    QPointer<RatesWindow> window;
    ASSERT_NO_FATAL_FAILURE(openAndWait(window));
    EXPECT_TRUE(window->buyingBox(7)->text().isEmpty());
    EXPECT_TRUE(window->sellingBox(7)->text().isEmpty());
    EXPECT_EQ(window->buyingBox(8)->text(), expectedBuying(8));
}

TEST_F(RatesWindowTest, AnEmptyPageOpensTheWindowWithEveryBoxEmpty)
{
    servePage({});
    QPointer<RatesWindow> window;
    ASSERT_NO_FATAL_FAILURE(openAndWait(window));
    // The fetch has ended with the page shown: open, no message, ready for another fetch.
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isFetching());
    EXPECT_TRUE(window->findChild<LumButton*>(QStringLiteral("refreshButton"))->isEnabled());
    EXPECT_TRUE(m_messages.empty());
    EXPECT_EQ(m_server.requests().size(), 1);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("09.03.2026 TARİHLİ T.C.M.B. DOVİZ KURLARI"));
    for (int row = 0; row < 13; ++row) {
        EXPECT_EQ(window->buyingBox(row)->text(), QString()) << row;
        EXPECT_EQ(window->sellingBox(row)->text(), QString()) << row;
    }
}

TEST_F(RatesWindowTest, NoConnectionAtLoadShowsTheMessageAndNeverOpens)
{
    // A port nobody listens on: the server is gone.
    {
        LocalHttpServer gone;
        QSettings ini(QDir(m_db.folder()).filePath(QStringLiteral("zelvora.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("bank/host"), gone.host());
    }
    AppConfig::reload();
    QPointer<RatesWindow> window = openRatesWindow(&m_main);
    ZV_WAIT_UNTIL(!m_messages.empty());
    EXPECT_EQ(m_messages.last().text, QStringLiteral("INTERNETE BAGLI DEGILSINIZ"));
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(m_messages.last().title, QStringLiteral("Zelvora"));
    ZV_WAIT_UNTIL(!window);
    EXPECT_TRUE(m_main.isVisible());
}

TEST_F(RatesWindowTest, AServerThatNeverAnswersFailsAfterTheTimeLimitWhileTheProgramRuns)
{
    m_server.serve(RatePage::PathAndQuery, LocalHttpServer::silent());
    QPointer<RatesWindow> window = openRatesWindow(&m_main);
    ASSERT_TRUE(window);
    window->transfer().setTimeout(1000); // the real limit is 15 s
    window->transfer().Cancel();
    window->fetch();
    // Meanwhile the event loop runs: a timer fires while the page is awaited.
    bool ticked = false;
    QTimer::singleShot(50, &m_main, [&] { ticked = true; });
    ZV_WAIT_UNTIL_MS(ticked, 1000);
    EXPECT_TRUE(m_messages.empty());
    ZV_WAIT_UNTIL(!m_messages.empty());
    EXPECT_EQ(m_messages.last().text, QStringLiteral("INTERNETE BAGLI DEGILSINIZ"));
    ZV_WAIT_UNTIL(!window);
    EXPECT_EQ(HttpTransfer::DefaultTimeoutMs, 15000);
}

TEST_F(RatesWindowTest, RefreshFetchesAgainAndAFailureThenClosesTheWindow)
{
    servePage(QStringEncoder("windows-1254").encode(ratePage({QStringLiteral("EURO")})));
    QPointer<RatesWindow> window;
    ASSERT_NO_FATAL_FAILURE(openAndWait(window));
    EXPECT_TRUE(window->buyingBox(3)->text().isEmpty());

    servePage(QStringEncoder("windows-1254").encode(ratePage()));
    auto* refresh = window->findChild<LumButton*>(QStringLiteral("refreshButton"));
    EXPECT_EQ(refresh->caption(), QStringLiteral(" Kurları Güncelle"));
    refresh->click();
    ZV_WAIT_EQ(window->buyingBox(3)->text(), expectedBuying(3));

    // An error page is not the rate page.
    m_server.serve(RatePage::PathAndQuery, LocalHttpServer::page("oops", "text/html", 500, "Internal Server Error"));
    refresh->click();
    ZV_WAIT_UNTIL(!m_messages.empty());
    EXPECT_EQ(m_messages.last().text, QStringLiteral("INTERNETE BAGLI DEGILSINIZ"));
    ZV_WAIT_UNTIL(!window);
}

TEST_F(RatesWindowTest, TheMenuEntryOpensTheWindowOverTheMainWindow)
{
    servePage(QStringEncoder("windows-1254").encode(ratePage()));
    MainWindow main(m_db.db());
    main.show();
    auto* action = main.findChild<QAction*>(QStringLiteral("ratesAction"));
    ASSERT_TRUE(action);
    EXPECT_EQ(action->text(), QStringLiteral("Güncel Döviz Kurları"));
    action->trigger();
    RatesWindow* window = nullptr;
    ZV_WAIT_UNTIL((window = main.findChild<RatesWindow*>()) && window->isVisible());
    EXPECT_EQ(window->buyingBox(0)->text(), expectedBuying(0));
    window->close();
}

} // namespace
} // namespace zelvora
