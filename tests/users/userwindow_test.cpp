// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/userwindow.h"

#include "customers/mainwindow.h"
#include "messagerecorder.h"
#include "pgserver.h"
#include "testdatabase.h"
#include "typing.h"
#include "users/passwordhash.h"
#include "users/userstore.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QGroupBox>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

using Icon = MessageBox::Icon;

class UserWindowTest : public ::testing::Test
{
protected:
    void addUsers(std::initializer_list<const char16_t*> names)
    {
        for (const char16_t* name : names)
            ASSERT_TRUE(tdb.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                                      {QString::fromUtf16(name), passwords::hash(QStringLiteral("1234"))}));
    }

    // The window as the menu opens it: shown, active, its list read.
    void open()
    {
        window = std::make_unique<UserWindow>(tdb.db());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->onActivated();
        grid = window->findChild<QTableView*>(QStringLiteral("userGrid"));
        openAdd = window->findChild<LumButton*>(QStringLiteral("openAddButton"));
        deleteButton = window->findChild<LumButton*>(QStringLiteral("deleteUserButton"));
        panel = window->findChild<QGroupBox*>(QStringLiteral("addPanel"));
        nameBox = window->findChild<QLineEdit*>(QStringLiteral("nameBox"));
        passwordBox = window->findChild<QLineEdit*>(QStringLiteral("passwordBox"));
        save = window->findChild<LumButton*>(QStringLiteral("saveUserButton"));
        ASSERT_TRUE(grid && openAdd && deleteButton && panel && nameBox && passwordBox && save);
    }

    qint64 userCount() { return UserStore(tdb.db()).count(); }

    test::TestDatabase tdb;
    test::MessageRecorder messages;
    std::unique_ptr<UserWindow> window;
    QTableView* grid = nullptr;
    LumButton* openAdd = nullptr;
    LumButton* deleteButton = nullptr;
    QGroupBox* panel = nullptr;
    QLineEdit* nameBox = nullptr;
    QLineEdit* passwordBox = nullptr;
    LumButton* save = nullptr;
};

TEST_F(UserWindowTest, ListsTheUsersInTurkishOrder)
{
    addUsers({u"ZEYNEP", u"İLKER", u"IŞIK", u"ÇETİN", u"CEM"});
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kullanıcı Ekle"));
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("KULLANICILAR"));
    EXPECT_EQ(window->shownNames().join(u','), QStringLiteral("CEM,ÇETİN,IŞIK,İLKER,ZEYNEP"));
    EXPECT_TRUE(deleteButton->isEnabled());
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(UserWindowTest, AddsAUserWithTypedNameUpperCasedAndPasswordHashed)
{
    addUsers({u"AHMET"});
    open();
    openAdd->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(grid->isEnabled());

    nameBox->setFocus();
    test::typeText(nameBox, QStringLiteral("veli"));
    EXPECT_EQ(nameBox->text(), QStringLiteral("VELI")); // plain mapping while typed: no dotted İ
    QInputMethodEvent composed;
    composed.setCommitString(QStringLiteral("şi"));
    QApplication::sendEvent(nameBox, &composed);
    EXPECT_EQ(nameBox->text(), QStringLiteral("VELIŞI"));
    nameBox->backspace();
    nameBox->backspace();
    passwordBox->setFocus();
    test::typeText(passwordBox, QStringLiteral("Sır 1"));
    EXPECT_EQ(passwordBox->text(), QStringLiteral("Sır 1")); // the password keeps its letter case
    save->click();

    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Kullanıcı Kaydedildi. "));
    EXPECT_EQ(messages.last().title, QStringLiteral("Bilgi"));
    EXPECT_EQ(messages.last().icon, Icon::Information);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(grid->isEnabled());
    EXPECT_EQ(window->shownNames(), (QStringList {QStringLiteral("AHMET"), QStringLiteral("VELI")}));

    const QString stored
        = tdb.db().scalar(QStringLiteral("SELECT Password FROM \"User\" WHERE Username = 'VELI'")).toString();
    EXPECT_NE(stored, QStringLiteral("Sır 1"));
    EXPECT_EQ(UserStore(tdb.db()).signIn(QStringLiteral("VELI"), QStringLiteral("Sır 1")).result,
              UserStore::CheckResult::SignedIn);
}

TEST_F(UserWindowTest, PastedNameGetsTurkishUpperCaseOnLeavingTheBox)
{
    addUsers({u"AHMET"});
    open();
    openAdd->click();
    nameBox->setFocus();
    nameBox->setText(QStringLiteral("çiğdem")); // as a paste: no key events
    passwordBox->setFocus();
    EXPECT_EQ(nameBox->text(), QStringLiteral("ÇİĞDEM"));
}

TEST_F(UserWindowTest, NameDifferingOnlyInLetterCaseIsRefused)
{
    addUsers({u"ALİ"});
    open();
    openAdd->click();
    nameBox->setText(QStringLiteral("Ali")); // becomes ALİ, equal to the stored name
    passwordBox->setText(QStringLiteral("x"));
    save->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Bu kayıt Mevcut"));
    EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat"));
    EXPECT_EQ(messages.last().icon, Icon::Information);
    EXPECT_EQ(userCount(), 1);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(grid->isEnabled());
}

TEST_F(UserWindowTest, EmptyNameOrPasswordStoresNothing)
{
    addUsers({u"AHMET"});
    open();
    const struct
    {
        QString name;
        QString password;
        QString message;
        bool focusOnName;
    } cases[] = {
        {QString(), QStringLiteral("x"), QStringLiteral("Kullanıcı Adını Girin"), true},
        {QStringLiteral("   "), QStringLiteral("x"), QStringLiteral("Kullanıcı Adını Girin"), true},
        {QStringLiteral("VELİ"), QString(), QStringLiteral("Şifreyi Girin"), false},
    };
    for (const auto& c : cases) {
        messages.clear();
        openAdd->click();
        nameBox->setText(c.name);
        passwordBox->setText(c.password);
        save->click();
        ASSERT_EQ(messages.messages().size(), 1) << c.message.toStdString();
        EXPECT_EQ(messages.last().text, c.message);
        EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat!"));
        EXPECT_EQ(messages.last().icon, Icon::Stop);
        EXPECT_EQ(QApplication::focusWidget(), c.focusOnName ? nameBox : passwordBox) << c.message.toStdString();
        EXPECT_TRUE(panel->isVisible());
        EXPECT_EQ(userCount(), 1);
    }
}

TEST_F(UserWindowTest, DeleteButtonStateIsRefreshedOnlyOnActivation)
{
    open(); // an empty table, as a hand-made file may have it
    EXPECT_TRUE(window->shownNames().isEmpty());
    EXPECT_FALSE(deleteButton->isEnabled());
    openAdd->click();
    nameBox->setText(QStringLiteral("AHMET"));
    passwordBox->setText(QStringLiteral("1"));
    save->click();
    EXPECT_EQ(window->shownNames(), QStringList {QStringLiteral("AHMET")});
    EXPECT_FALSE(deleteButton->isEnabled());
    window->onActivated();
    EXPECT_TRUE(deleteButton->isEnabled());
}

TEST_F(UserWindowTest, DeletesTheSelectedUserAfterTheQuestion)
{
    addUsers({u"AHMET", u"VELİ", u"CEM"});
    open();
    grid->setCurrentIndex(grid->model()->index(1, 0)); // CEM

    messages.answerNext(MessageBox::Answer::No);
    deleteButton->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("CEM\r\rBU KAYDI SİLMEK İSTEDİĞİNİZDEN EMİN MİSİNİZ?"));
    EXPECT_EQ(messages.last().title, QStringLiteral("KAYIT SİL"));
    EXPECT_EQ(messages.last().icon, Icon::Question);
    EXPECT_EQ(messages.last().buttons, MessageBox::Buttons::YesNo);
    EXPECT_EQ(userCount(), 3);

    deleteButton->click(); // Yes
    EXPECT_EQ(window->shownNames(), (QStringList {QStringLiteral("AHMET"), QStringLiteral("VELİ")}));
    EXPECT_EQ(userCount(), 2);
    EXPECT_EQ(grid->currentIndex().row(), 1); // stands on the last row
    EXPECT_TRUE(deleteButton->isEnabled());
}

TEST_F(UserWindowTest, TheLastUserCannotBeDeleted)
{
    addUsers({u"AHMET"});
    open();
    deleteButton->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Son Kullanıcı Silinemez."));
    EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat!"));
    EXPECT_EQ(messages.last().icon, Icon::Stop);
    EXPECT_EQ(userCount(), 1);
    EXPECT_EQ(window->shownNames(), QStringList {QStringLiteral("AHMET")});
}

TEST_F(UserWindowTest, EnterMovesOnAndEscClosesWithoutStoring)
{
    addUsers({u"AHMET"});
    open();
    openAdd->click();
    nameBox->setFocus();
    test::typeText(nameBox, QStringLiteral("veli"));
    QTest::keyClick(nameBox, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), passwordBox);
    test::typeText(passwordBox, QStringLiteral("x"));
    QTest::keyClick(passwordBox, Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);
    EXPECT_EQ(userCount(), 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(UserWindowTest, MainMenuOpensTheWindowModally)
{
    addUsers({u"AHMET"});
    MainWindow main(tdb.db());
    auto* menu = main.findChild<QMenu*>(QStringLiteral("programMenu"));
    ASSERT_TRUE(menu);
    const QList<QAction*> actions = menu->actions();
    // The entry is followed by its separator.
    QAction* entry = main.findChild<QAction*>(QStringLiteral("usersAction"));
    ASSERT_TRUE(entry);
    const qsizetype at = actions.indexOf(entry);
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, actions.size());
    EXPECT_EQ(entry->text(), QStringLiteral("Kullanıcı Ekle"));
    EXPECT_TRUE(actions.at(at + 1)->isSeparator());

    QString seenCaption;
    QStringList seenNames;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<UserWindow*>(QApplication::activeModalWidget());
        if (!shown)
            return;
        seenCaption = shown->windowTitle();
        seenNames = shown->shownNames();
        wasModal = shown->isModal();
        shown->reject();
    });
    entry->trigger();
    EXPECT_EQ(seenCaption, QStringLiteral("Kullanıcı Ekle"));
    EXPECT_EQ(seenNames, QStringList {QStringLiteral("AHMET")});
    EXPECT_TRUE(wasModal);
}

// The server goes away under the window: adding keeps the panel with what was typed and deleting keeps the user,
// each saying why; both work once the server is back.
TEST(UserWindowLostServer, AddAndDeleteSayTheServerIsAwayAndWorkOnceItIsBack)
{
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    ASSERT_NE(server, nullptr) << error.toStdString();
    test::TestDatabase t(Engine::PostgreSQL);
    for (const QString& name : {QStringLiteral("AHMET"), QStringLiteral("CEM")})
        ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                                {name, passwords::hash(QStringLiteral("1234"))}));
    test::MessageRecorder messages;
    UserWindow window(t.db());
    window.show();
    window.onActivated();
    auto* grid = window.findChild<QTableView*>(QStringLiteral("userGrid"));
    auto* panel = window.findChild<QGroupBox*>(QStringLiteral("addPanel"));
    auto* nameBox = window.findChild<QLineEdit*>(QStringLiteral("nameBox"));
    auto* passwordBox = window.findChild<QLineEdit*>(QStringLiteral("passwordBox"));
    window.findChild<LumButton*>(QStringLiteral("openAddButton"))->click();
    nameBox->setText(QStringLiteral("VELİ"));
    passwordBox->setText(QStringLiteral("1234"));
    const QString away = QStringLiteral("Sunucuya (127.0.0.1:%1) ulaşılamıyor; ").arg(server->port());
    const auto userCount = [&] { return UserStore(t.db()).count(); };

    ASSERT_TRUE(server->stop(&error)) << error.toStdString();
    window.findChild<LumButton*>(QStringLiteral("saveUserButton"))->click();
    ASSERT_TRUE(server->startAgain(&error)) << error.toStdString();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, away + QStringLiteral("kullanıcı kaydedilmedi. Bağlantı gelince yeniden deneyin."));
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(nameBox->text(), QStringLiteral("VELİ"));
    EXPECT_EQ(userCount(), 2);
    window.findChild<LumButton*>(QStringLiteral("saveUserButton"))->click();
    EXPECT_EQ(messages.last().text, QStringLiteral("Kullanıcı Kaydedildi. "));
    EXPECT_EQ(userCount(), 3);

    grid->setCurrentIndex(grid->model()->index(1, 0)); // CEM
    ASSERT_TRUE(server->stop(&error)) << error.toStdString();
    messages.answerNext(MessageBox::Answer::Yes);
    window.findChild<LumButton*>(QStringLiteral("deleteUserButton"))->click();
    window.onActivated(); // the list read while the server is away keeps its rows
    EXPECT_EQ(window.shownNames().size(), 3);
    ASSERT_TRUE(server->startAgain(&error)) << error.toStdString();
    EXPECT_EQ(messages.last().text, away + QStringLiteral("kullanıcı silinmedi. Bağlantı gelince yeniden deneyin."));
    // Connecting again is tried at most twice a second, so the first read may come a moment after the server.
    ZV_WAIT_EQ(userCount(), 3);
    grid->setCurrentIndex(grid->model()->index(1, 0));
    messages.answerNext(MessageBox::Answer::Yes);
    window.findChild<LumButton*>(QStringLiteral("deleteUserButton"))->click();
    EXPECT_EQ(userCount(), 2);
    EXPECT_EQ(window.shownNames(), (QStringList {QStringLiteral("AHMET"), QStringLiteral("VELİ")}));
}

} // namespace
