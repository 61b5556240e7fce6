// SPDX-License-Identifier: GPL-3.0-or-later
// The main menu, the About panel and the remote-assistance command.
#include "backup/backupnames.h"
#include "backup/copyfilewindow.h"
#include "backup/programexit.h"
#include "customers/aboutpanel.h"
#include "customers/listtotalspanel.h"
#include "customers/mainwindow.h"
#include "customers/remotehelp.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <stdexcept>

using namespace zelvora;

namespace {

class MainMenuTest : public ::testing::Test
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

    // "Listeyi Topla", "Müşteri Hesabına Gir", the search box and the sort box.
    QVector<bool> listCommands() const
    {
        return {child<LumButton>("listTotalButton")->isEnabled(), child<LumButton>("openAccountButton")->isEnabled(),
                child<QLineEdit>("searchBox")->isEnabled(), child<QComboBox>("sortBox")->isEnabled()};
    }

    static QStringList captions(const QWidget* menu)
    {
        QStringList result;
        for (const QAction* a : menu->actions())
            result << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return result;
    }

    test::TestDatabase m_db;
    std::unique_ptr<MainWindow> m_window;
};

TEST_F(MainMenuTest, MenuHoldsEveryEntryInOrderWithItsName)
{
    MainWindow& w = open();
    EXPECT_EQ(captions(w.menuBar()),
              (QStringList {QStringLiteral("Program"), QStringLiteral("Araçlar"), QStringLiteral("Hakkında")}));
    auto* program = child<QMenu>("programMenu");
    EXPECT_EQ(
        captions(program),
        (QStringList {QStringLiteral("Müşteri Listesini Yazdır"), QStringLiteral("Güncel Döviz Kurları"),
                      QStringLiteral("Uzaktan Yardım Al "), QStringLiteral("-"), QStringLiteral("Yeni Sürüm Kontrolü"),
                      QStringLiteral("-"), QStringLiteral("Kullanıcı Ekle"), QStringLiteral("-"),
                      QStringLiteral("Yedekleme İşlemleri")}));
    EXPECT_EQ(captions(child<QMenu>("toolsMenu")),
              (QStringList {QStringLiteral("Hesap Ekstresi"), QStringLiteral("Tahsilat Listesi"),
                            QStringLiteral("Gün Sonu"), QStringLiteral("Silinen Kayıtlar")}));
    EXPECT_EQ(captions(child<QMenu>("backupMenu")),
              (QStringList {QStringLiteral("Yedek Oluştur"), QStringLiteral("Yedekten Yükle")}));
    for (const char* name : {"printListAction", "ratesAction", "remoteHelpAction", "updateAction", "usersAction",
                             "makeBackupAction", "restoreBackupAction", "statementAction", "collectionAction",
                             "daySummaryAction", "deletedRecordsAction", "aboutAction"})
        EXPECT_NE(child<QAction>(name), nullptr);
    for (const QWidget* menu : {static_cast<const QWidget*>(w.menuBar()), static_cast<const QWidget*>(program)})
        for (const QAction* a : menu->actions())
            EXPECT_TRUE(a->isSeparator() || !a->objectName().isEmpty()) << a->text().toStdString();

    // "Silinen Kayıtlar" opens its window over this one.
    QString opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened = modal->objectName();
            modal->close();
        }
    });
    child<QAction>("deletedRecordsAction")->trigger();
    EXPECT_EQ(opened, QStringLiteral("silinenKayitlar"));

    // The two entries another window takes over show nothing until then.
    test::MessageRecorder messages;
    child<QAction>("ratesAction")->trigger();
    child<QAction>("updateAction")->trigger();
    EXPECT_TRUE(messages.empty());
}

TEST_F(MainMenuTest, ToolsMenuIsReachedWithAltAndTheArrowsAndOpensTheStatementForTheSelectedCustomer)
{
    m_db.addCustomer(QStringLiteral("4"), QStringLiteral("Ahmet"));
    m_db.addCustomer(QStringLiteral("9"), QStringLiteral("Zeki"));
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* grid = child<QTableView>("customerGrid");
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));

    // Alt alone puts the menu bar on "Program"; Right moves to "Araçlar", Down opens it on its first entry.
    QTest::keyClick(grid, Qt::Key_Alt);
    ASSERT_EQ(w.menuBar()->activeAction(), child<QAction>("programMenuAction"));
    QTest::keyClick(w.menuBar(), Qt::Key_Right);
    EXPECT_EQ(w.menuBar()->activeAction(), child<QAction>("toolsMenuAction"));
    QTest::keyClick(w.menuBar(), Qt::Key_Right);
    EXPECT_EQ(w.menuBar()->activeAction(), child<QAction>("aboutAction"));
    QTest::keyClick(w.menuBar(), Qt::Key_Left);
    QTest::keyClick(w.menuBar(), Qt::Key_Down);
    auto* tools = child<QMenu>("toolsMenu");
    ZV_WAIT_UNTIL(tools->isVisible());
    EXPECT_EQ(tools->activeAction(), child<QAction>("statementAction"));

    // Enter on "Hesap Ekstresi": the window opens with the selected customer proposed.
    QString proposed;
    QString name;
    QTimer::singleShot(0, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window)
            return;
        if (auto* box = window->findChild<QLineEdit*>(QStringLiteral("customerNumberBox")))
            proposed = box->text();
        if (auto* label = window->findChild<QLabel*>(QStringLiteral("customerNameLabel")))
            name = label->text();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    QTest::keyClick(tools, Qt::Key_Return);
    ZV_WAIT_EQ(proposed, QStringLiteral("9"));
    EXPECT_EQ(name, QStringLiteral("Zeki"));
}

TEST_F(MainMenuTest, CollectionListOpensTheAccountWindowOfTheCustomerPicked)
{
    m_db.addCustomer(QStringLiteral("4"), QStringLiteral("Ahmet"), QStringLiteral("Alıcı"), qint64(1000));
    m_db.addCustomer(QStringLiteral("9"), QStringLiteral("Zeki"), QStringLiteral("Satıcı"), qint64(5000));
    m_db.addMovement(QStringLiteral("4"), QDate(2026, 12, 1), qint64(1000), {});
    m_db.addMovement(QStringLiteral("9"), QDate(2026, 11, 1), qint64(5000), {});
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QString accountTitle;
    bool listShown = false;
    QTimer::singleShot(0, [&] {
        QWidget* list = QApplication::activeModalWidget();
        if (!list || list->objectName() != QStringLiteral("tahsilatListesi"))
            return;
        listShown = true;
        QTimer::singleShot(0, [&] {
            if (auto* account = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                accountTitle = account->windowTitle();
                account->reject();
            }
        });
        // The longest waiting stands first and selected.
        QTest::keyClick(list->findChild<QTableView*>(QStringLiteral("collectionGrid")), Qt::Key_Return);
        QTest::keyClick(list, Qt::Key_Escape);
    });
    child<QAction>("collectionAction")->trigger();
    EXPECT_TRUE(listShown);
    EXPECT_EQ(accountTitle, QStringLiteral("Zeki / 9 - ( Satıcı )"));
}

TEST_F(MainMenuTest, DaySummaryOpensOnTodayAndEscClosesIt)
{
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QDate shown;
    QTimer::singleShot(0, [&] {
        QWidget* window = QApplication::activeModalWidget();
        if (!window || window->objectName() != QStringLiteral("gunSonu"))
            return;
        if (auto* box = window->findChild<QDateEdit*>(QStringLiteral("dayBox")))
            shown = box->date();
        QTest::keyClick(window, Qt::Key_Escape);
    });
    child<QAction>("daySummaryAction")->trigger();
    EXPECT_EQ(shown, Clock::today());
}

TEST_F(MainMenuTest, AboutPanelLocksTheListAndTheFrameOrTitleClosesIt)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ahmet"));
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    AboutPanel* about = w.aboutPanel();
    child<QAction>("aboutAction")->trigger();
    ASSERT_TRUE(about->isVisible());
    EXPECT_TRUE(w.isListLocked());
    EXPECT_EQ(listCommands(), (QVector<bool> {false, false, false, false}));
    EXPECT_EQ(child<QLabel>("aboutTitle")->text(),
              QStringLiteral("PROGRAM HAKKINDA") + QString(81, u' ') + QStringLiteral("KAPAT"));
    EXPECT_EQ(child<QLabel>("aboutText")->text(),
              QStringLiteral("PROGRAMA EKLEMEK İSTEDİĞİNİZ MODÜLLER İÇİN BİZİ ARAYINIZ.."));
    // The menu bar stays usable while the panel is shown.
    EXPECT_TRUE(child<QAction>("printListAction")->isEnabled());

    // The strip and its text leave it open; the title bar closes it, and so does the large picture.
    QTest::mouseClick(child<QLabel>("aboutText"), Qt::LeftButton);
    QTest::mouseClick(child<QLabel>("aboutStrip"), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(about->isVisible());
    QTest::mouseClick(child<QLabel>("aboutTitle"), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    EXPECT_FALSE(w.isListLocked());
    EXPECT_EQ(listCommands(), (QVector<bool> {true, true, true, true}));

    child<QAction>("aboutAction")->trigger();
    QTest::mouseClick(child<QLabel>("aboutPicture"), Qt::LeftButton);
    EXPECT_FALSE(about->isVisible());
    child<QAction>("aboutAction")->trigger();
    QTest::keyClick(about, Qt::Key_Escape);
    EXPECT_FALSE(about->isVisible());
}

TEST_F(MainMenuTest, AboutWithAnEmptyListLeavesTheListCommandsDisabled)
{
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    child<QAction>("aboutAction")->trigger();
    ASSERT_TRUE(w.aboutPanel()->isVisible());
    QTest::mouseClick(child<QLabel>("aboutTitle"), Qt::LeftButton);
    EXPECT_FALSE(w.aboutPanel()->isVisible());
    EXPECT_EQ(listCommands(), (QVector<bool> {false, false, false, false}));
    EXPECT_FALSE(child<QAction>("printListAction")->isEnabled());
    EXPECT_TRUE(child<LumButton>("addCustomerButton")->isEnabled());
}

TEST_F(MainMenuTest, ClosingOnePanelKeepsTheListLockedWhileTheOtherIsShown)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ahmet"));
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    emit child<LumButton>("listTotalButton")->clicked();
    child<QAction>("aboutAction")->trigger();
    QTest::mouseClick(child<QLabel>("aboutTitle"), Qt::LeftButton);
    EXPECT_TRUE(w.listTotalsPanel()->isVisible());
    EXPECT_TRUE(w.isListLocked());
    EXPECT_EQ(listCommands(), (QVector<bool> {false, false, false, false}));
    emit child<LumButton>("listTotalsCloseButton")->clicked();
    EXPECT_FALSE(w.isListLocked());
    EXPECT_EQ(listCommands(), (QVector<bool> {true, true, true, true}));
}

TEST_F(MainMenuTest, APanelTakesTheFocusAndGivesItBackToItsOpener)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Ahmet"));
    MainWindow& w = open();
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
    auto* totalButton = child<LumButton>("listTotalButton");
    auto* grid = child<QTableView>("customerGrid");

    // "Listeyi Topla" from the keyboard. Enter must then work the panel: on the window's "Kapat" behind it
    // it would start the closing backup.
    totalButton->setFocus();
    QTest::keyClick(totalButton, Qt::Key_Return);
    ASSERT_TRUE(w.listTotalsPanel()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), child<LumButton>("listTotalsCloseButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(w.listTotalsPanel()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), totalButton);

    // "Hakkında" from the menu bar: the focus goes back to where it was before the menu bar took it.
    grid->setFocus();
    w.menuBar()->setFocus();
    child<QAction>("aboutAction")->trigger();
    ASSERT_TRUE(w.aboutPanel()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), w.aboutPanel());
    QTest::keyClick(w.aboutPanel(), Qt::Key_Return);
    EXPECT_FALSE(w.aboutPanel()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), grid);

    // Both panels open: closing the upper one hands the focus to the one below.
    totalButton->setFocus();
    QTest::keyClick(totalButton, Qt::Key_Return);
    child<QAction>("aboutAction")->trigger();
    QTest::keyClick(w.aboutPanel(), Qt::Key_Escape);
    EXPECT_EQ(QApplication::focusWidget(), child<LumButton>("listTotalsCloseButton"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(QApplication::focusWidget(), totalButton);
    EXPECT_FALSE(w.isListLocked());
}

TEST(RemoteHelpTest, StartsTheProgramFromTheProgramFolderElseSaysItIsMissing)
{
    QTemporaryDir folder;
    const QString marker = folder.filePath(QStringLiteral("started"));
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", folder.filePath(QStringLiteral("bos")).toLocal8Bit());
    test::MessageRecorder messages;

    // Not in the program folder and not on the PATH.
    EXPECT_TRUE(remotehelp::programPath(folder.path()).isEmpty());
    EXPECT_FALSE(remotehelp::start(nullptr, folder.path()));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Uzaktan yardım programı bulunamadı.")));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Exclamation);

    QFile program(folder.filePath(QStringLiteral("UzaktanYardim")));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    // Only shell built-ins: the PATH is empty. It starts in its own folder.
    program.write("#!/bin/sh\necho ok > started\n");
    program.close();
    program.setPermissions(program.permissions() | QFileDevice::ExeOwner);
    messages.clear();
    EXPECT_TRUE(remotehelp::start(nullptr, folder.path()));
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 5000));

    // Missing from the program folder, found on the PATH.
    QTemporaryDir elsewhere;
    qputenv("PATH", folder.path().toLocal8Bit());
    EXPECT_EQ(remotehelp::programPath(elsewhere.path()), program.fileName());
    qputenv("PATH", oldPath);
}

} // namespace

// With the ledger on a server the backup commands open their windows on the server's ledger, and closing takes
// the day's backup of it.
TEST(MainMenuOnServer, BackupWindowsWorkOnTheServerAndClosingBacksItUp)
{
    test::TestDatabase server(Engine::PostgreSQL);
    // A ledger the program can sign in to, as a backup must be.
    ASSERT_TRUE(server.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                                 {QStringLiteral("ADMIN"), QStringLiteral("x")}));
    test::MessageRecorder messages;
    int ends = 0;
    ProgramExit::setHandler([&](int) { ++ends; });
    MainWindow window(server.db());
    window.onActivated();
    window.show();
    // The backup window is modal: what it shows is recorded and it is closed, so the case cannot hang.
    QStringList shown;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* modal = qobject_cast<CopyFileWindow*>(QApplication::activeModalWidget())) {
            shown << modal->findChild<QLineEdit*>(QStringLiteral("sourceBox"))->text();
            modal->close();
        }
    });
    watch.start(20);

    window.findChild<QAction*>(QStringLiteral("makeBackupAction"))->trigger();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().contains(server.target().server.address())) << shown.first().toStdString();
    EXPECT_TRUE(messages.messages().isEmpty());

    window.findChild<QAction*>(QStringLiteral("restoreBackupAction"))->trigger();
    CopyFileWindow* restore = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* found = qobject_cast<CopyFileWindow*>(w); found && found->isVisible())
            restore = found;
    ASSERT_NE(restore, nullptr);
    EXPECT_TRUE(restore->isRestoreMode());
    restore->findChild<LumButton*>(QStringLiteral("noButton"))->click();

    auto* closeButton = window.findChild<LumButton*>(QStringLiteral("closeButton"));
    ASSERT_NE(closeButton, nullptr);
    emit closeButton->clicked();
    ZV_WAIT_EQ(ends, 1);
    const QString daily = backupnames::defaultTarget(Clock::today());
    EXPECT_TRUE(QFileInfo(daily).isFile())
        << daily.toStdString() << " "
        << QDir(AppConfig::backupFolder()).entryList().join(QLatin1Char(',')).toStdString();
    EXPECT_FALSE(window.isVisible());
    ProgramExit::setHandler({});
}
