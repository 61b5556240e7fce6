#include "app/filedialog.h"
#include "backup/copyfilewindow.h"
#include "backupfixture.h"
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/customerstore.h"
#include "signin.h"
#include "startup/splashwindow.h"
#include "startup/startup.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace zelvora;
using namespace zelvora::test;

namespace {

LumButton* button(const QWidget* window, const char* name)
{
    return window->findChild<LumButton*>(QLatin1String(name));
}

QWidget* part(const QWidget* window, const char* name)
{
    return window->findChild<QWidget*>(QLatin1String(name));
}

CopyFileWindow* openRestoreFromMenu(MainWindow& main)
{
    main.findChild<QAction*>(QStringLiteral("restoreBackupAction"))->trigger();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* window = qobject_cast<CopyFileWindow*>(w); window && window->isVisible())
            return window;
    return nullptr;
}

class RestoreWindow : public BackupTest
{
protected:
    // A backup holding only "Ayşe", and a database that has gained "Mehmet" since.
    QString makeBackup()
    {
        t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
        const QString backup = QDir(t.folder()).filePath(QStringLiteral("dun.ydk"));
        writeBytes(backup, readBytes(t.path()));
        t.addCustomer(QStringLiteral("2"), QStringLiteral("Mehmet"));
        return backup;
    }
};

} // namespace

TEST_F(RestoreWindow, ConfirmationComesFirstAndNoLeavesTheProgramAsItWas)
{
    MainWindow main(t.db());
    main.show();
    QPointer<CopyFileWindow> window = openRestoreFromMenu(main);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Yedekten Geri Yükleme İşlemleri"));
    EXPECT_FALSE(window->isModal());
    EXPECT_TRUE(window->isRestoreMode());
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("modeMarker"))->text(), QStringLiteral("11"));
    EXPECT_TRUE(part(window, "confirmPanel")->isVisible());
    EXPECT_TRUE(part(window, "restorePanel")->isVisible());
    EXPECT_FALSE(part(window, "backupPanel")->isVisible());
    EXPECT_FALSE(part(window, "progressBar")->isVisible());
    EXPECT_FALSE(button(window, "restoreButton")->isEnabled());
    EXPECT_FALSE(button(window, "browseSourceButton")->isEnabled()); // not before the question is answered
    EXPECT_TRUE(window->findChild<QLineEdit*>(QStringLiteral("sourceBox"))->text().isEmpty());
    EXPECT_TRUE(window->findChild<QLineEdit*>(QStringLiteral("targetBox"))->text().isEmpty());

    button(window, "noButton")->click();
    QTRY_VERIFY(window.isNull());
    EXPECT_TRUE(main.isVisible());
    EXPECT_EQ(ends, 0);
}

TEST_F(RestoreWindow, YesClosesTheMainWindowAndOnlyAPickedFileEnablesTheRestore)
{
    MainWindow main(t.db());
    main.show();
    QPointer<CopyFileWindow> window = openRestoreFromMenu(main);
    ASSERT_TRUE(window);
    button(window, "yesButton")->click();
    EXPECT_FALSE(part(window, "confirmPanel")->isVisible());
    EXPECT_FALSE(main.isVisible());

    EXPECT_TRUE(button(window, "browseSourceButton")->isEnabled());
    FileDialog::setNextAnswer(QString()); // cancelled
    button(window, "browseSourceButton")->click();
    EXPECT_FALSE(button(window, "restoreButton")->isEnabled());

    const QString backup = QDir(backupFolder()).filePath(QStringLiteral("Veresiye_Yedek_04-03-09.ydk"));
    FileDialog::setNextAnswer(backup);
    button(window, "browseSourceButton")->click();
    EXPECT_TRUE(button(window, "restoreButton")->isEnabled());
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("sourceBox"))->text(), QDir::toNativeSeparators(backup));
    EXPECT_EQ(window->findChild<QLineEdit*>(QStringLiteral("targetBox"))->text(), AppConfig::databasePath());

    button(window, "cancelRestoreButton")->click();
    EXPECT_EQ(ends, 1);
    delete window.data();
}

TEST_F(RestoreWindow, RestoredFileIsWhatTheProgramShowsAfterItsSplash)
{
    const QString backup = makeBackup();
    t.close();
    Startup startup;
    ASSERT_TRUE(startup.start());
    test::skipSignInWhenShown();
    startup.splash()->startClosing();
    ASSERT_TRUE(startup.mainWindow());
    EXPECT_EQ(startup.mainWindow()->model()->rowCount(), 2);

    QPointer<CopyFileWindow> window = openRestoreFromMenu(*startup.mainWindow());
    ASSERT_TRUE(window);
    button(window, "yesButton")->click();
    EXPECT_FALSE(startup.mainWindow());
    EXPECT_FALSE(startup.database());
    const QByteArray before = readBytes(t.path());
    FileDialog::setNextAnswer(backup);
    button(window, "browseSourceButton")->click();
    button(window, "restoreButton")->click();

    ASSERT_EQ(messages.messages().size(), 2);
    EXPECT_EQ(messages.messages().at(0).text,
              AppConfig::databasePath()
                  + QStringLiteral("\n\nDosyası zaten var. Varolan dosya ile değiştirilsin mi? "));
    EXPECT_EQ(messages.last().text, AppConfig::databasePath() + QStringLiteral("  YEDEK DOSYADAN YÜKLEME YAPILDI"));
    EXPECT_EQ(messages.last().title, QStringLiteral("BİLGİ"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
    // Byte for byte, before the restarted program's first writes (the day counts) reach the file.
    EXPECT_EQ(readBytes(t.path()), readBytes(backup));
    QTRY_VERIFY(window.isNull());

    // The replaced database is kept, so a wrong restore can be undone.
    EXPECT_EQ(
        readBytes(QDir(backupFolder()).filePath(QStringLiteral("Veresiye_GeriYukleme_Oncesi_05-03-09_14-05-09.ydk"))),
        before);
    EXPECT_EQ(
        filesIn(t.folder()),
        (QStringList {QStringLiteral("dun.ydk"), QStringLiteral("veresiye.dll"), QStringLiteral("veresiye.lock")}));

    ASSERT_TRUE(startup.splash());
    EXPECT_TRUE(startup.splash()->isVisible());
    test::skipSignInWhenShown();
    startup.splash()->startClosing();
    ASSERT_TRUE(startup.mainWindow());
    CustomerListModel* model = startup.mainWindow()->model();
    ASSERT_EQ(model->rowCount(), 1);
    EXPECT_EQ(model->customerAt(0)->musteriFirma, QStringLiteral("Ayşe"));
    EXPECT_EQ(ends, 0);
}

TEST_F(RestoreWindow, RefusesAFileThatIsNotADatabaseOfThisProgram)
{
    const QString good = makeBackup();
    const QString chosen = QDir(t.folder()).filePath(QStringLiteral("secilen.ydk"));
    {
        // Another program's SQLite file.
        QSqlDatabase foreign = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("foreign"));
        foreign.setDatabaseName(QDir(t.folder()).filePath(QStringLiteral("baska.ydk")));
        ASSERT_TRUE(foreign.open());
        QSqlQuery(foreign).exec(QStringLiteral("CREATE TABLE musteriler (id INTEGER PRIMARY KEY, ad TEXT)"));
        foreign.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("foreign"));
    QByteArray damaged = readBytes(good);
    for (qsizetype i = damaged.size() / 2; i < damaged.size(); ++i)
        damaged[i] = static_cast<char>(i * 13);
    struct Case
    {
        const char* what;
        QByteArray bytes;
    };
    const Case cases[] = {
        {"text, not a database", QByteArray("Bu bir veri tabani degil.\n").repeated(200)},
        {"another program's database", readBytes(QDir(t.folder()).filePath(QStringLiteral("baska.ydk")))},
        {"damaged database", damaged},
    };
    t.close();
    const QByteArray before = readBytes(t.path());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(chosen, c.bytes);
        messages.clear();
        CopyFileWindow window;
        window.setModeMarker(CopyFileWindow::RestoreMarker);
        FileDialog::setNextAnswer(chosen);
        button(&window, "browseSourceButton")->click();
        button(&window, "restoreButton")->click();
        ASSERT_EQ(messages.messages().size(), 2); // the replace question, then the refusal
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("Seçilen dosya bu programın geçerli bir yedek dosyası değil. "
                                 "Mevcut verileriniz değiştirilmedi."));
        EXPECT_EQ(messages.last().title, QStringLiteral("DİKKAT!"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
        EXPECT_EQ(readBytes(t.path()), before);
        EXPECT_TRUE(filesIn(backupFolder()).isEmpty());
        EXPECT_EQ(filesIn(t.folder()),
                  (QStringList {QStringLiteral("baska.ydk"), QStringLiteral("dun.ydk"), QStringLiteral("secilen.ydk"),
                                QStringLiteral("veresiye.dll")}));
    }
}

TEST_F(RestoreWindow, NoRestoreWhenTheCurrentDatabaseCannotBeKeptFirst)
{
    const QString backup = makeBackup();
    t.close();
    const QByteArray before = readBytes(t.path());
    CopyFileWindow window;
    window.setModeMarker(CopyFileWindow::RestoreMarker);
    QDir(backupFolder()).removeRecursively();
    writeBytes(backupFolder(), "klasor degil"); // the backup folder cannot be made
    FileDialog::setNextAnswer(backup);
    button(&window, "browseSourceButton")->click();
    button(&window, "restoreButton")->click();
    ASSERT_EQ(messages.messages().size(), 2);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Mevcut veri tabanı yedeklenemediği için geri yükleme yapılmadı. "
                             "Mevcut verileriniz değiştirilmedi."));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(readBytes(t.path()), before);
    EXPECT_EQ(
        filesIn(t.folder()),
        (QStringList {QStringLiteral("VeresiyeYedekleri"), QStringLiteral("dun.ydk"), QStringLiteral("veresiye.dll")}));
}
