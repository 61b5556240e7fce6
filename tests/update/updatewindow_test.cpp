// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QAccessible>
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
        ZV_WAIT_UNTIL(done || !m_window);
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
    ZV_WAIT_UNTIL(!m_window);
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
    ZV_WAIT_EQ(m_messages.messages().size(), 2);
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
    ZV_WAIT_EQ(m_messages.messages().size(), 2);
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
    ZV_WAIT_EQ(progress->value(), 40);
    button("downloadButton")->click();
    EXPECT_EQ(downloadCaption(), UpdateWindow::InstallCaption);
    EXPECT_EQ(progress->value(), 0);
    ZV_WAIT_UNTIL(!m_window->downloader().isRunning());
    QTest::qWait(50);
    EXPECT_EQ(m_messages.messages().size(), 1);
    EXPECT_TRUE(QDir(m_downloads.path()).isEmpty());
}

TEST_F(UpdateWindowTest, AnEmptyPageLeavesTheCheckRunningWithoutAMessage)
{
    m_server.serve(VersionPage::PathAndQuery, LocalHttpServer::page({}));
    open();
    check();
    // The page was read (the caption says so), and nothing followed from it.
    ASSERT_TRUE(m_window);
    EXPECT_EQ(m_window->windowTitle(), QStringLiteral("09.03.2026  Tarihli Program Sürüm Kontrolü"));
    EXPECT_EQ(m_server.requests().size(), 1);
    EXPECT_TRUE(m_messages.empty());
    EXPECT_TRUE(child<QLabel>("latestVersionValue")->text().isEmpty());
    EXPECT_TRUE(child<QLineEdit>("addressBox")->text().isEmpty());
    EXPECT_TRUE(child("statusLabel")->isVisible());
    EXPECT_EQ(child<QLabel>("statusLabel")->text(), QStringLiteral("Sürüm Kontrolü Yapılıyor..."));
    EXPECT_TRUE(child("busyIndicator")->isVisible());
    EXPECT_FALSE(button("downloadButton")->isVisible());
    EXPECT_TRUE(m_window->isVisible());
    EXPECT_FALSE(m_main.isVisible());
}

// Share of the button's pixels near the colour (each channel within 60).
double shareOf(LumButton* b, QRgb colour)
{
    const QImage image = b->grab().toImage().convertToFormat(QImage::Format_RGB32);
    qint64 near = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            near += std::abs(qRed(p) - qRed(colour)) < 60 && std::abs(qGreen(p) - qGreen(colour)) < 60
                && std::abs(qBlue(p) - qBlue(colour)) < 60;
        }
    return double(near) / std::max(1, image.width() * image.height());
}

TEST_F(UpdateWindowTest, TheDownloadButtonIsPaintedYellowWhenOfferedAndRedWhileDownloading)
{
    serveVersion(QStringLiteral("2.0.0"));
    m_server.serve(QStringLiteral("/indir/setup.exe"), LocalHttpServer::partial(QByteArray(100000, 'a'), 40000, false));
    open();
    check();
    LumButton* download = button("downloadButton");
    const QRgb yellow = qRgb(255, 255, 0);
    const QRgb red = qRgb(255, 0, 0);
    EXPECT_EQ(download->backColor(), lumcolor::fromRgb(yellow));
    EXPECT_GT(shareOf(download, yellow), 0.3);
    download->click();
    download->click();
    EXPECT_EQ(downloadCaption(), UpdateWindow::CancelCaption);
    EXPECT_EQ(download->backColor(), lumcolor::fromRgb(red));
    EXPECT_GT(shareOf(download, red), 0.3);
    EXPECT_LT(shareOf(download, yellow), 0.05);
}

TEST_F(UpdateWindowTest, ScreenReadersReadTheValuesThemselves)
{
    serveVersion(QStringLiteral("1.0.4"));
    open();
    check();
    const struct
    {
        const char* name;
        QString text;
    } cases[] = {
        {"programCodeValue", QStringLiteral("ZELVO")},
        {"latestVersionValue", QStringLiteral("1.0.4")},
        {"installedVersionValue", QStringLiteral("1.0.5")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto* label = child<QLabel>(c.name);
        ASSERT_TRUE(label);
        EXPECT_EQ(label->text(), c.text);
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(label);
        ASSERT_TRUE(accessible);
        EXPECT_EQ(accessible->text(QAccessible::Name), c.text);
    }
}

// The version page decides the file's name: only a plain file name is written, and never a folder.
TEST_F(UpdateWindowTest, AnAddressWithoutAPlainFileNameWritesNothing)
{
    QTemporaryDir root;
    const QString downloads = QDir(root.path()).filePath(QStringLiteral("Downloads"));
    ASSERT_TRUE(QDir().mkdir(downloads));
    download::setDestinationFolder(downloads);
    // The address fills the page's 58 characters exactly, so no blank follows its end.
    const QString base = m_server.url(QStringLiteral("/"));
    auto address = [&](const QString& tail) {
        return base + QString(58 - base.size() - tail.size() - 1, QLatin1Char('d')) + QLatin1Char('/') + tail;
    };
    const QString tails[] = {QStringLiteral(".."), QStringLiteral("x.y/"), QStringLiteral("a\\..\\b.exe")};
    for (const QString& tail : tails) {
        SCOPED_TRACE(tail.toStdString());
        const QString url = address(tail);
        ASSERT_EQ(url.size(), 58);
        // Whatever the server is asked, it answers with a file.
        const QString path = url.mid(base.size() - 1);
        for (const QString& target : {path, QString(path).replace(QLatin1Char('\\'), QStringLiteral("%5C")),
                                      path.left(path.lastIndexOf(QLatin1Char('/')) + 1), QStringLiteral("/")})
            m_server.serve(target, LocalHttpServer::page(QByteArray(3000, 'z'), "application/octet-stream"));
        serveVersion(QStringLiteral("2.0.0"), url);
        m_messages.clear();
        open();
        check();
        ASSERT_EQ(child<QLineEdit>("addressBox")->text(), url);
        button("downloadButton")->click();
        button("downloadButton")->click();
        ZV_WAIT_EQ(m_messages.messages().size(), 2);
        EXPECT_EQ(m_messages.last().title, QStringLiteral("Hata"));
        EXPECT_TRUE(m_messages.last().text.startsWith(QStringLiteral("Dosya Diske Yüklenmedi.\r\rError ")))
            << m_messages.last().text.toStdString();
        EXPECT_EQ(downloadCaption(), UpdateWindow::RetryCaption);
        EXPECT_EQ(QDir(root.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                  QStringList {QStringLiteral("Downloads")});
        EXPECT_TRUE(QDir(downloads).isEmpty()) << QDir(downloads).entryList().join(u',').toStdString();
        delete m_window;
    }
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
    ZV_WAIT_UNTIL(!m_window);
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
    ZV_WAIT_EQ(child<QProgressBar>("downloadProgress")->value(), 40);
    m_window->close();
    ZV_WAIT_UNTIL(!m_window);
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
    ZV_WAIT_UNTIL(!m_window);
    EXPECT_TRUE(main.isVisible());
}

} // namespace
} // namespace zelvora
