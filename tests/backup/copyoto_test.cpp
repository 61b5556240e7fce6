// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/copyotowindow.h"
#include "backupfixture.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

using namespace zelvora;
using namespace zelvora::test;

namespace {

class AutomaticBackup : public BackupTest
{
protected:
    // Message boxes stay open for a while, as a person reading them would keep them, so the window's timer
    // ticks meanwhile; the recorder's answers are still used.
    AutomaticBackup()
    {
        MessageBox::setHandler([this](const MessageBox::Message& message) {
            shown.append(message);
            QTest::qWait(350);
            if (!answers.isEmpty())
                return answers.takeFirst();
            return message.buttons == MessageBox::Buttons::YesNo ? MessageBox::Answer::Yes : MessageBox::Answer::Ok;
        });
    }

    QStringList texts() const
    {
        QStringList result;
        for (const MessageBox::Message& m : shown)
            result << m.text;
        return result;
    }

    QList<MessageBox::Message> shown;
    QList<MessageBox::Answer> answers;
};

} // namespace

TEST_F(AutomaticBackup, EndsTheProgramOnceInEachOutcome)
{
    const QString question
        = dailyBackup() + QStringLiteral("\n\nDosyası zaten var. Varolan dosya ile değiştirilsin mi? ");
    const QString copied = dailyBackup() + QStringLiteral("  KLASÖRÜNE DOSYA YEDEKLENDİ");
    const QString copyError = QStringLiteral("Kopyalama Hatası!, Yeniden deneyin.");
    enum class Before { None, MorningFile, FolderIsAFile };
    struct Case
    {
        const char* what;
        Before before;
        QList<MessageBox::Answer> answers;
        QStringList texts;
        bool backupIsDatabase;
    };
    const Case cases[] = {
        {"first closing of the day", Before::None, {}, {copied}, true},
        {"later closing, replaced", Before::MorningFile, {MessageBox::Answer::Yes}, {question, copied}, true},
        {"later closing, kept", Before::MorningFile, {MessageBox::Answer::No}, {question}, false},
        {"folder cannot be made", Before::FolderIsAFile, {}, {copyError}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(backupFolder()).removeRecursively();
        QFile::remove(backupFolder());
        if (c.before == Before::MorningFile) {
            QDir().mkpath(backupFolder());
            writeBytes(dailyBackup(), "sabah yedegi");
        } else if (c.before == Before::FolderIsAFile) {
            writeBytes(backupFolder(), "klasor degil");
        }
        shown.clear();
        answers = c.answers;
        ends = 0;

        CopyOtoWindow window;
        EXPECT_EQ(window.windowTitle(), QStringLiteral("Otomatik Yedek Oluşturma Sistemi"));
        EXPECT_EQ(window.findChild<QLineEdit*>(QStringLiteral("targetBox"))->text(), dailyBackup());
        window.show();
        ZV_WAIT_EQ(ends, 1);
        QTest::qWait(300); // further ticks must not start another backup
        EXPECT_EQ(ends, 1);
        EXPECT_EQ(texts(), c.texts);
        EXPECT_FALSE(window.isVisible());
        if (c.backupIsDatabase) {
            EXPECT_EQ(readBytes(dailyBackup()), readBytes(t.path()));
        } else if (c.before == Before::MorningFile) {
            EXPECT_EQ(readBytes(dailyBackup()), QByteArray("sabah yedegi"));
        }
    }
    QFile::remove(backupFolder());
}

TEST_F(AutomaticBackup, EmptyTargetStopsBeforeTheCopyAndKeepsTheProgram)
{
    CopyOtoWindow window;
    window.findChild<QLineEdit*>(QStringLiteral("targetBox"))->clear();
    window.show();
    ZV_WAIT_EQ(shown.size(), 1);
    QTest::qWait(300);
    EXPECT_EQ(texts(), QStringList {QStringLiteral("Yedeklenecek Klasörü Seçiniz.")});
    EXPECT_EQ(ends, 0);
    EXPECT_TRUE(window.isVisible());

    // The user presses "Yedekle" again, now on the offered data.ydk.
    window.findChild<LumButton*>(QStringLiteral("backupButton"))->click();
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(readBytes(QDir(backupFolder()).filePath(QStringLiteral("data.ydk"))), readBytes(t.path()));
}

TEST_F(AutomaticBackup, KapatBacksUpAndEndsTheProgram)
{
    MainWindow main(t.db());
    main.show();
    main.findChild<LumButton*>(QStringLiteral("closeButton"))->click(); // returns once the backup window is gone
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(readBytes(dailyBackup()), readBytes(t.path()));
}
