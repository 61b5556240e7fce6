// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/filedialog.h"
#include "backup/copyfilewindow.h"
#include "backup/copyroutine.h"
#include "backupfixture.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zelvora;
using namespace zelvora::test;

namespace {

QString box(const QWidget& window, const char* name)
{
    return window.findChild<QLineEdit*>(QLatin1String(name))->text();
}

void click(const QWidget& window, const char* name)
{
    window.findChild<LumButton*>(QLatin1String(name))->click();
}

QString sep(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

} // namespace

TEST(CopyRoutine, ProgressBarMovesAfterEveryChunkAndReturnsToZero)
{
    struct Case
    {
        qint64 size;
        QList<int> values;
    };
    const Case cases[] = {{2048, {50, 100, 0}}, {1000, {100, 0}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("kaynak.dll"));
        writeBytes(source, pattern(c.size));
        QProgressBar bar;
        bar.setRange(0, 100);
        bar.setValue(0);
        QSignalSpy spy(&bar, &QProgressBar::valueChanged);
        CopyRoutine routine(nullptr, &bar);
        MessageRecorder messages;
        EXPECT_EQ(routine.copyFile(source, dir.filePath(QStringLiteral("hedef.ydk"))), c.size);
        QList<int> values;
        for (const QList<QVariant>& args : spy)
            values << args.at(0).toInt();
        EXPECT_EQ(values, c.values);
        EXPECT_TRUE(messages.empty());
    }
}

using BackupWindow = BackupTest;

TEST_F(BackupWindow, BacksUpTheDatabaseToTheDaysFile)
{
    CopyFileWindow window;
    window.show();
    EXPECT_EQ(window.objectName(), QStringLiteral("CopyFile"));
    EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("backupPanel"))->isVisible());
    EXPECT_TRUE(window.findChild<QWidget*>(QStringLiteral("progressBar"))->isVisible());
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("restorePanel"))->isVisible());
    EXPECT_FALSE(window.findChild<QWidget*>(QStringLiteral("confirmPanel"))->isVisible());
    EXPECT_EQ(box(window, "targetBox"), dailyBackup());
    EXPECT_EQ(box(window, "sourceBox"), AppConfig::databasePath());
    EXPECT_TRUE(QDir(backupFolder()).exists());

    click(window, "backupButton");
    EXPECT_EQ(readBytes(dailyBackup()), readBytes(t.path()));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, dailyBackup() + QStringLiteral("  KLASÖRÜNE DOSYA YEDEKLENDİ"));
    EXPECT_EQ(messages.last().title, QStringLiteral("BİLGİ"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
    EXPECT_EQ(window.findChild<QProgressBar*>(QStringLiteral("progressBar"))->value(), 0);
    EXPECT_EQ(filesIn(backupFolder()), QStringList {QStringLiteral("Veresiye_Yedek_05-03-09.ydk")});
}

TEST_F(BackupWindow, SecondBackupOfTheDayAsksAndNoKeepsTheMorningFile)
{
    QDir().mkpath(backupFolder());
    writeBytes(dailyBackup(), "sabah yedegi");
    CopyFileWindow window;

    messages.answerNext(MessageBox::Answer::No);
    click(window, "backupButton");
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text,
              dailyBackup() + QStringLiteral("\n\nDosyası zaten var. Varolan dosya ile değiştirilsin mi? "));
    EXPECT_EQ(messages.last().title, QStringLiteral("Bilgi"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Question);
    EXPECT_EQ(messages.last().buttons, MessageBox::Buttons::YesNo);
    EXPECT_EQ(readBytes(dailyBackup()), QByteArray("sabah yedegi"));

    messages.clear();
    click(window, "backupButton"); // Yes
    ASSERT_EQ(messages.messages().size(), 2);
    EXPECT_TRUE(messages.last().text.endsWith(QStringLiteral("  KLASÖRÜNE DOSYA YEDEKLENDİ")));
    EXPECT_EQ(readBytes(dailyBackup()), readBytes(t.path()));
}

TEST_F(BackupWindow, EmptyTargetAsksForAFolderAndOffersDataYdk)
{
    CopyFileWindow window;
    window.findChild<QLineEdit*>(QStringLiteral("targetBox"))->clear();
    click(window, "backupButton");
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Yedeklenecek Klasörü Seçiniz."));
    EXPECT_EQ(messages.last().title, QStringLiteral("DİKKAT!"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    const QString dataYdk = sep(QDir(backupFolder()).filePath(QStringLiteral("data.ydk")));
    EXPECT_EQ(box(window, "targetBox"), dataYdk);
    EXPECT_TRUE(filesIn(backupFolder()).isEmpty());

    click(window, "backupButton");
    EXPECT_EQ(readBytes(dataYdk), readBytes(t.path()));
}

TEST_F(BackupWindow, BrowsedFolderGetsTheDaysNameAfterOneSeparator)
{
    CopyFileWindow window;
    const QString expected = sep(QStringLiteral("/srv/yedek/Veresiye_Yedek_05-03-09.ydk"));
    for (const QString& folder : {QStringLiteral("/srv/yedek"), QStringLiteral("/srv/yedek/")}) {
        SCOPED_TRACE(folder.toStdString());
        FileDialog::setNextAnswer(folder);
        click(window, "browseTargetButton");
        EXPECT_EQ(box(window, "targetBox"), expected);
    }
    FileDialog::setNextAnswer(QString()); // cancelled
    click(window, "browseTargetButton");
    EXPECT_EQ(box(window, "targetBox"), expected);
}

TEST_F(BackupWindow, FailedCopyLeavesNoFileAndShowsTheCopyError)
{
    CopyFileWindow window;
    const QString target = sep(QDir(backupFolder()).filePath(QStringLiteral("yok/Veresiye_Yedek_05-03-09.ydk")));
    window.findChild<QLineEdit*>(QStringLiteral("targetBox"))->setText(target);
    click(window, "backupButton");
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Kopyalama Hatası!, Yeniden deneyin."));
    EXPECT_EQ(messages.last().title, QStringLiteral("Bilgi"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
    EXPECT_TRUE(filesIn(backupFolder()).isEmpty());
}

TEST_F(BackupWindow, CopiesOnlyWhenNoWriteIsOpen)
{
    CopyFileWindow window;
    ASSERT_TRUE(t.db().exec(QStringLiteral("BEGIN IMMEDIATE")));
    t.addCustomer(QStringLiteral("7"), QStringLiteral("Yarım Kayıt"));
    click(window, "backupButton");
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Kopyalama Hatası!, Yeniden deneyin."));
    EXPECT_FALSE(QFile::exists(dailyBackup()));

    ASSERT_TRUE(t.db().exec(QStringLiteral("COMMIT")));
    click(window, "backupButton");
    EXPECT_EQ(readBytes(dailyBackup()), readBytes(t.path()));
    std::unique_ptr<Database> copy = Database::open(dailyBackup());
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->scalar(QStringLiteral("SELECT MusteriFirma FROM musteriler WHERE mus_kodu = '7'")).toString(),
              QStringLiteral("Yarım Kayıt"));
}

TEST_F(BackupWindow, MenuOpensTheBackupWindowModally)
{
    MainWindow main(t.db());
    main.show();
    auto* programMenu = main.findChild<QMenu*>(QStringLiteral("programMenu"));
    ASSERT_TRUE(programMenu);
    QAction* last = programMenu->actions().last();
    ASSERT_TRUE(last->menu());
    EXPECT_EQ(last->text(), QStringLiteral("Yedekleme İşlemleri"));
    QStringList entries;
    for (const QAction* action : last->menu()->actions())
        entries << action->text();
    EXPECT_EQ(entries, (QStringList {QStringLiteral("Yedek Oluştur"), QStringLiteral("Yedekten Yükle")}));

    QString title;
    bool modal = false;
    bool restoreMode = true;
    QTimer::singleShot(0, [&] {
        auto* window = qobject_cast<CopyFileWindow*>(QApplication::activeModalWidget());
        if (!window)
            return;
        title = window->windowTitle();
        modal = window->isModal();
        restoreMode = window->isRestoreMode();
        window->close();
    });
    main.findChild<QAction*>(QStringLiteral("makeBackupAction"))->trigger();
    EXPECT_EQ(title, QStringLiteral("Yedek Oluşturma İşlemleri"));
    EXPECT_TRUE(modal);
    EXPECT_FALSE(restoreMode);
}
