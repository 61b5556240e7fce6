#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "localhttpserver.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "update/downloadrules.h"
#include "update/filedownloader.h"
#include "update/updatewindow.h"
#include "update/versionpage.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace zelvora {
namespace {

using test::LocalHttpServer;

class UpdateWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        pointMakerAt(m_server.host());
        download::setDestinationFolder(m_downloads.path());
        Clock::setFixed(QDateTime(QDate(2026, 3, 9), QTime(10, 0)));
        m_main.show();
    }
    void TearDown() override
    {
        Clock::reset();
        download::setDestinationFolder({});
        if (m_window)
            delete m_window;
    }

    void pointMakerAt(const QString& host)
    {
        QSettings ini(QDir(m_db.folder()).filePath(QStringLiteral("zelvora.ini")), QSettings::IniFormat);
        ini.setValue(QStringLiteral("maker/host"), host);
        ini.sync();
        AppConfig::reload();
    }

    QString fileUrl() const { return m_server.url(QStringLiteral("/indir/setup.exe")); }

    void serveVersion(const QString& version, const QString& address = {})
    {
        const QString page = QStringLiteral("<html>PROGRAM ADI:ZELVO ") + version + QStringLiteral("<br>ADRES:")
            + (address.isNull() ? fileUrl() : address).leftJustified(58) + QStringLiteral("</html>");
        m_server.serve(VersionPage::PathAndQuery, LocalHttpServer::page(page.toUtf8(), "text/html; charset=utf-8"));
    }

    void open()
    {
        m_window = openUpdateWindow(&m_main);
        ASSERT_TRUE(m_window);
    }

    // Runs the check and waits for its end (a message, or the page shown).
    void check()
    {
        bool done = false;
        QObject::connect(m_window.data(), &UpdateWindow::checkDone, &m_main, [&] { done = true; });
        button("checkButton")->click();
        QTRY_VERIFY_WITH_TIMEOUT(done || !m_window, 5000);
    }

    template<typename T = QWidget> T* child(const char* name) const
    {
        return m_window->findChild<T*>(QLatin1String(name));
    }
    LumButton* button(const char* name) const { return child<LumButton>(name); }
    QString downloadCaption() const { return button("downloadButton")->caption(); }

    test::TestDatabase m_db {QStringLiteral("1.0.5")};
    LocalHttpServer m_server;
    QTemporaryDir m_downloads;
    QMainWindow m_main;
    QPointer<UpdateWindow> m_window;
    test::MessageRecorder m_messages;
};

TEST_F(UpdateWindowTest, OpensWithTheInstalledVersionAndTakesTheMainWindowAway)
{
    open();
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_FALSE(m_window->isModal());
    EXPECT_FALSE(m_main.isVisible());
    EXPECT_EQ(m_window->objectName(), QStringLiteral("update"));
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral(" Yeni Sürüm Kontrolü"));
    EXPECT_EQ(child<QLabel>("installedVersionValue")->text(), QStringLiteral("1.0.5"));
    EXPECT_FALSE(child("statusLabel")->isVisible());
    EXPECT_FALSE(child("busyIndicator")->isVisible());
    EXPECT_FALSE(child("downloadProgress")->isVisible());
    EXPECT_FALSE(button("downloadButton")->isVisible());
    EXPECT_EQ(button("checkButton")->caption(), QStringLiteral("Sürüm Kontrolü Yap"));

    // "Kapat" brings the main window back.
    button("closeButton")->click();
    QTRY_VERIFY(!m_window);
    EXPECT_TRUE(m_main.isVisible());
}

TEST_F(UpdateWindowTest, TheSameVersionSaysSoAndOffersNothing)
{
    serveVersion(QStringLiteral("1.0.5"));
    open();
    check();
    ASSERT_EQ(m_messages.messages().size(), 1);
    EXPECT_EQ(m_messages.last().text, QStringLiteral("Güncel Sürümü Kullanıyorsunuz."));
    EXPECT_EQ(m_messages.last().title, QStringLiteral("Bilgi"));
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Information);
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("09.03.2026  Tarihli Program Sürüm Kontrolü"));
    EXPECT_EQ(child<QLabel>("programCodeValue")->text(), QStringLiteral("ZELVO"));
    EXPECT_EQ(child<QLabel>("latestVersionValue")->text(), QStringLiteral("1.0.5"));
    EXPECT_FALSE(button("checkButton")->isEnabled());
    EXPECT_FALSE(button("downloadButton")->isVisible());
    EXPECT_FALSE(child("statusLabel")->isVisible());
    EXPECT_FALSE(child("busyIndicator")->isVisible());
}

TEST_F(UpdateWindowTest, AnyOtherVersionIsDownloadedToTheDownloadsFolder)
{
    // Only equality counts: an older announced version is still "found".
    serveVersion(QStringLiteral("1.0.4"));
    const QByteArray body(5000, 'z');
    m_server.serve(QStringLiteral("/indir/setup.exe"), LocalHttpServer::page(body, "application/octet-stream"));
    open();
    check();
    ASSERT_EQ(m_messages.messages().size(), 1);
    EXPECT_EQ(m_messages.last().text, QStringLiteral("Programın Son Sürümü Bulundu."));
    EXPECT_EQ(m_messages.last().title, QStringLiteral("Bilgi"));
    EXPECT_TRUE(button("downloadButton")->isVisible());
    EXPECT_EQ(downloadCaption(), UpdateWindow::PrepareCaption);
    EXPECT_EQ(child<QLabel>("statusLabel")->text(), QStringLiteral("Güncel Sürümü İndirebilirsiniz?"));
    EXPECT_TRUE(child("busyIndicator")->isVisible());
    EXPECT_TRUE(child("downloadProgress")->isVisible());
    EXPECT_FALSE(button("checkButton")->isVisible());
    EXPECT_EQ(child<QLineEdit>("addressBox")->text(), fileUrl().leftJustified(58));

    // The first press only prepares.
    button("downloadButton")->click();
    EXPECT_EQ(downloadCaption(), UpdateWindow::InstallCaption);
    EXPECT_EQ(m_server.requests().size(), 1);

    button("downloadButton")->click();
    EXPECT_EQ(downloadCaption(), UpdateWindow::CancelCaption);
    EXPECT_FALSE(child("addressBox")->isEnabled());
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.messages().size(), 2, 5000);
    EXPECT_EQ(m_messages.last().text,
              QStringLiteral("Program Güncellemeleri Tamamlandı. Güncellemeler ' ")
                  + QDir::toNativeSeparators(m_downloads.path()) + QStringLiteral(" ' Sürücüsüne yüklendi:"));
    EXPECT_EQ(m_messages.last().title, QStringLiteral("Karvelon"));
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Information);
    EXPECT_EQ(downloadCaption(), UpdateWindow::InstallCaption);
    EXPECT_TRUE(child("addressBox")->isEnabled());
    EXPECT_EQ(child<QProgressBar>("downloadProgress")->value(), 0);
    QFile file(QDir(m_downloads.path()).filePath(QStringLiteral("setup.exe")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), body);
}

TEST_F(UpdateWindowTest, ADownloadErrorOffersToTryAgain)
{
    serveVersion(QStringLiteral("2.0.0"));
    open();
    check();
    button("downloadButton")->click();
    button("downloadButton")->click();
    QTRY_COMPARE_WITH_TIMEOUT(m_messages.messages().size(), 2, 5000);
    EXPECT_EQ(m_messages.last().text,
              QStringLiteral("Serverda, \"") + fileUrl().leftJustified(58)
                  + QStringLiteral("\" isimli bir dosya yok."));
    EXPECT_EQ(m_messages.last().title, QStringLiteral("Hata"));
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(downloadCaption(), UpdateWindow::RetryCaption);
    EXPECT_TRUE(child("addressBox")->isEnabled());
    QTest::qWait(50);
    EXPECT_EQ(m_messages.messages().size(), 2);
    button("downloadButton")->click();
    EXPECT_EQ(downloadCaption(), UpdateWindow::InstallCaption);
    EXPECT_TRUE(QDir(m_downloads.path()).isEmpty());
}

TEST_F(UpdateWindowTest, CancelStopsTheDownloadWithoutAWord)
{
    serveVersion(QStringLiteral("2.0.0"));
    m_server.serve(QStringLiteral("/indir/setup.exe"), LocalHttpServer::partial(QByteArray(100000, 'a'), 40000, false));
    open();
    check();
    button("downloadButton")->click();
    button("downloadButton")->click();
    auto* progress = child<QProgressBar>("downloadProgress");
    QTRY_COMPARE_WITH_TIMEOUT(progress->value(), 40, 5000);
    button("downloadButton")->click();
    EXPECT_EQ(downloadCaption(), UpdateWindow::InstallCaption);
    EXPECT_EQ(progress->value(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(!m_window->downloader().isRunning(), 5000);
    QTest::qWait(50);
    EXPECT_EQ(m_messages.messages().size(), 1);
    EXPECT_TRUE(QDir(m_downloads.path()).isEmpty());
}

TEST_F(UpdateWindowTest, AnEmptyPageLeavesTheCheckRunningWithoutAMessage)
{
    m_server.serve(VersionPage::PathAndQuery, LocalHttpServer::page({}));
    open();
    check();
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(child("statusLabel")->isVisible());
    EXPECT_TRUE(child("busyIndicator")->isVisible());
    EXPECT_FALSE(button("downloadButton")->isVisible());
}

TEST_F(UpdateWindowTest, NoConnectionClosesTheWindowAndTheMainWindowComesBack)
{
    {
        LocalHttpServer gone;
        pointMakerAt(gone.host());
    }
    open();
    check();
    ASSERT_EQ(m_messages.messages().size(), 1);
    EXPECT_EQ(m_messages.last().text, QStringLiteral("İnternet Bağlantınız Aktif Değil."));
    EXPECT_EQ(m_messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(m_messages.last().title, QStringLiteral("Zelvora"));
    QTRY_VERIFY(!m_window);
    EXPECT_TRUE(m_main.isVisible());
}

TEST_F(UpdateWindowTest, TheCloseBoxBringsTheMainWindowBackAndStopsADownload)
{
    serveVersion(QStringLiteral("2.0.0"));
    m_server.serve(QStringLiteral("/indir/setup.exe"), LocalHttpServer::partial(QByteArray(100000, 'a'), 40000, false));
    open();
    check();
    button("downloadButton")->click();
    button("downloadButton")->click();
    QTRY_COMPARE_WITH_TIMEOUT(child<QProgressBar>("downloadProgress")->value(), 40, 5000);
    m_window->close();
    QTRY_VERIFY(!m_window);
    EXPECT_TRUE(m_main.isVisible());
    QTest::qWait(50);
    EXPECT_TRUE(QDir(m_downloads.path()).isEmpty());
    EXPECT_EQ(m_messages.messages().size(), 1);
}

TEST_F(UpdateWindowTest, EscClosesAsKapatDoesAndTheMainWindowComesBack)
{
    serveVersion(QStringLiteral("2.0.0"));
    open();
    check();
    QTest::keyClick(m_window.data(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(m_window.isNull()); // closed, not merely hidden
    EXPECT_TRUE(m_main.isVisible());
}

TEST_F(UpdateWindowTest, TheMenuEntryOpensTheWindowAndHidesTheMainWindow)
{
    MainWindow main(m_db.db());
    main.show();
    auto* action = main.findChild<QAction*>(QStringLiteral("updateAction"));
    ASSERT_TRUE(action);
    EXPECT_EQ(action->text(), QStringLiteral("Yeni Sürüm Kontrolü"));
    action->trigger();
    EXPECT_FALSE(main.isVisible());
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<UpdateWindow*>(w))
            m_window = window;
    ASSERT_TRUE(m_window && m_window->isVisible());
    m_window->findChild<LumButton*>(QStringLiteral("closeButton"))->click();
    QTRY_VERIFY(!m_window);
    EXPECT_TRUE(main.isVisible());
}

} // namespace
} // namespace zelvora
