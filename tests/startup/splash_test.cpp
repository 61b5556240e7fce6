// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/splashwindow.h"
#include "testdatabase.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

TEST(Splash, ShowsTheInstalledVersionBesideItsLabel)
{
    test::TestDatabase t(QStringLiteral("2.1.0"));
    SplashWindow splash(t.db());
    auto* display = splash.findChild<QLabel*>(QStringLiteral("versionDisplay"));
    ASSERT_NE(display, nullptr);
    EXPECT_EQ(display->text(), QStringLiteral("x.x.x"));
    ASSERT_TRUE(splash.readVersion());
    EXPECT_EQ(splash.versionText(), QStringLiteral("2.1.0"));
    EXPECT_EQ(splash.findChild<QLabel*>(QStringLiteral("versionLabel"))->text(),
              QStringLiteral("Version             "));
    EXPECT_EQ(splash.findChild<QLabel*>(QStringLiteral("loadingLabel"))->text(),
              QStringLiteral("Program Yükleniyor....."));
    EXPECT_EQ(splash.objectName(), QStringLiteral("frmSplash"));
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.size(), QSize(496, 261));
}

TEST(Splash, EmptyVersionTableLeavesTheDisplayEmpty)
{
    test::TestDatabase t;
    t.db().exec(QStringLiteral("DELETE FROM surum"));
    SplashWindow splash(t.db());
    EXPECT_TRUE(splash.readVersion());
    EXPECT_EQ(splash.versionText(), QString());
}

TEST(Splash, ClosesOnceOnEscOrBackgroundClickButNotOnThePicture)
{
    test::TestDatabase t;
    {
        SplashWindow splash(t.db());
        splash.show();
        QSignalSpy closing(&splash, &SplashWindow::closing);
        QTest::keyClick(&splash, Qt::Key_A);
        auto* picture = splash.findChild<QWidget*>(QStringLiteral("splashPicture"));
        QTest::mouseClick(picture, Qt::LeftButton, {}, QPoint(100, 100));
        QTest::mouseClick(splash.findChild<QLabel*>(QStringLiteral("versionDisplay")), Qt::LeftButton);
        EXPECT_EQ(closing.count(), 0);
        QTest::keyClick(&splash, Qt::Key_Escape);
        EXPECT_EQ(closing.count(), 1);
        EXPECT_FALSE(splash.isVisible());
        QTest::keyClick(&splash, Qt::Key_Escape);
        splash.startClosing();
        EXPECT_EQ(closing.count(), 1);
    }
    SplashWindow splash(t.db());
    splash.show();
    QSignalSpy closing(&splash, &SplashWindow::closing);
    QTest::mouseClick(&splash, Qt::LeftButton, {}, QPoint(2, 2));
    EXPECT_EQ(closing.count(), 1);
}

TEST(Splash, ItsTimerClosesItAfterThreeSeconds)
{
    test::TestDatabase t;
    SplashWindow splash(t.db());
    auto* timer = splash.findChild<QTimer*>();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 3000);
    QSignalSpy closing(&splash, &SplashWindow::closing);
    QMetaObject::invokeMethod(timer, "timeout");
    EXPECT_EQ(closing.count(), 1);
}
