// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/loginwindow.h"

#include "customers/mainwindow.h"
#include "data/session.h"
#include "messagerecorder.h"
#include "startup/splashwindow.h"
#include "startup/startup.h"
#include "testdatabase.h"
#include "typing.h"
#include "users/passwordhash.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

using Icon = MessageBox::Icon;

class LoginTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        addUser(QStringLiteral("ZEYNEP"), passwords::hash(QStringLiteral("Gizli ")));
        addUser(QStringLiteral("AHMET"), passwords::hash(QStringLiteral("1234")));
        addUser(QStringLiteral("O'NEIL"), passwords::hash(QStringLiteral("q")));
    }

    void addUser(const QString& name, const QString& stored)
    {
        ASSERT_TRUE(
            tdb.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"), {name, stored}));
    }

    void open()
    {
        window = std::make_unique<LoginWindow>(tdb.db());
        ASSERT_TRUE(window->load());
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->onActivated();
        names = window->findChild<QComboBox*>(QStringLiteral("nameList"));
        password = window->findChild<QLineEdit*>(QStringLiteral("passwordBox"));
        signInButton = window->findChild<LumButton*>(QStringLiteral("signInButton"));
        exitButton = window->findChild<LumButton*>(QStringLiteral("exitButton"));
        ASSERT_TRUE(names && password && signInButton && exitButton);
    }

    void pick(const QString& name)
    {
        const int index = names->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        names->setCurrentIndex(index);
    }

    test::TestDatabase tdb;
    test::MessageRecorder messages;
    std::unique_ptr<LoginWindow> window;
    QComboBox* names = nullptr;
    QLineEdit* password = nullptr;
    LumButton* signInButton = nullptr;
    LumButton* exitButton = nullptr;
};

TEST_F(LoginTest, WindowAndNameListAtStart)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kullanıcı Giriş"));
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_FALSE(flags & (Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(names->isEditable());
    EXPECT_EQ(password->echoMode(), QLineEdit::Password);
    // Table order, not sorted, and nothing picked yet.
    QStringList shown;
    for (int i = 0; i < names->count(); ++i)
        shown << names->itemText(i);
    EXPECT_EQ(shown.join(u','), QStringLiteral("ZEYNEP,AHMET,O'NEIL"));
    EXPECT_TRUE(names->currentText().isEmpty());
    EXPECT_EQ(signInButton->caption(), QStringLiteral("Tamam"));
    EXPECT_EQ(exitButton->caption(), QStringLiteral("Tamam"));
    EXPECT_LT(exitButton->geometry().left(), signInButton->geometry().left());

    // Tab order: name list, password box, sign-in button, exit button.
    names->setFocus();
    for (QWidget* expected : std::initializer_list<QWidget*> {password, signInButton, exitButton}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), expected) << expected->objectName().toStdString();
    }
}

TEST_F(LoginTest, RefusalsAndTheirMessages)
{
    session::setUser({});
    open();
    const struct
    {
        QString name; // empty: nothing picked
        QString typed;
        QString text;
        QString title;
        bool focusOnName;
        bool inputsEmptied;
    } cases[] = {
        {QString(), QStringLiteral("1234"), QStringLiteral("Kullanıcı Adını Girin"), QStringLiteral("Dikkat!"), true,
         false},
        {QStringLiteral("AHMET"), QString(), QStringLiteral("Şifreyi Girin"), QStringLiteral("Dikkat!"), false, false},
        {QStringLiteral("ZEYNEP"), QStringLiteral("gizli "), QStringLiteral("Şifre Yanlış"),
         QStringLiteral("Kullanıcı Giriş"), true, true},
        {QStringLiteral("ZEYNEP"), QStringLiteral("Gizli"), QStringLiteral("Şifre Yanlış"),
         QStringLiteral("Kullanıcı Giriş"), true, true},
        {QStringLiteral("AHMET"), QStringLiteral("1234 "), QStringLiteral("Şifre Yanlış"),
         QStringLiteral("Kullanıcı Giriş"), true, true},
    };
    QSignalSpy signedIn(window.get(), &LoginWindow::signedIn);
    for (const auto& c : cases) {
        messages.clear();
        names->setCurrentIndex(c.name.isEmpty() ? -1 : names->findText(c.name));
        password->clear();
        password->setFocus();
        test::typeText(password, c.typed);
        signInButton->click();
        ASSERT_EQ(messages.messages().size(), 1) << c.text.toStdString();
        EXPECT_EQ(messages.last().text, c.text);
        EXPECT_EQ(messages.last().title, c.title);
        EXPECT_EQ(messages.last().icon, Icon::Stop);
        EXPECT_EQ(QApplication::focusWidget(), c.focusOnName ? static_cast<QWidget*>(names) : password)
            << c.text.toStdString();
        if (c.inputsEmptied) {
            EXPECT_TRUE(names->currentText().isEmpty());
            EXPECT_TRUE(password->text().isEmpty());
        } else {
            EXPECT_EQ(password->text(), c.typed);
        }
        EXPECT_TRUE(window->isVisible());
    }
    EXPECT_EQ(signedIn.count(), 0);
    EXPECT_TRUE(session::user().isEmpty());
}

TEST_F(LoginTest, NameGoneSinceTheListWasFilledIsUnknown)
{
    open();
    pick(QStringLiteral("AHMET"));
    ASSERT_TRUE(tdb.db().exec(QStringLiteral("DELETE FROM \"User\" WHERE Username = 'AHMET'")));
    test::typeText(password, QStringLiteral("1234"));
    signInButton->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Kullanıcı Adı Yanlış"));
    EXPECT_EQ(messages.last().title, QStringLiteral("Bulunamadı"));
    EXPECT_EQ(messages.last().icon, Icon::Stop);
    EXPECT_EQ(QApplication::focusWidget(), names);
}

TEST_F(LoginTest, RightPasswordSignsInWithTrailingBlanks)
{
    open();
    QSignalSpy signedIn(window.get(), &LoginWindow::signedIn);
    pick(QStringLiteral("ZEYNEP"));
    password->setFocus();
    test::typeText(password, QStringLiteral("Gizli "));
    signInButton->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı ZEYNEP"));
    EXPECT_EQ(messages.last().title, QStringLiteral("Kullanıcı Giriş"));
    EXPECT_EQ(messages.last().icon, Icon::Information);
    EXPECT_EQ(signedIn.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Accepted);
    // The movements stored from now on name this user.
    EXPECT_EQ(session::user(), QStringLiteral("ZEYNEP"));
    session::setUser({});
}

TEST_F(LoginTest, NameWithAQuoteSignsIn)
{
    open();
    pick(QStringLiteral("O'NEIL"));
    password->setText(QStringLiteral("q"));
    signInButton->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı O'NEIL"));
}

TEST_F(LoginTest, PlainTextRowSignsInGreetsInTurkishUpperCaseAndIsHashed)
{
    addUser(QStringLiteral("ayşe"), QStringLiteral("pw"));
    open();
    pick(QStringLiteral("ayşe"));
    password->setText(QStringLiteral("pw"));
    signInButton->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı AYŞE"));
    const QString stored
        = tdb.db().scalar(QStringLiteral("SELECT Password FROM \"User\" WHERE Username = 'ayşe'")).toString();
    EXPECT_TRUE(passwords::isHash(stored));
    EXPECT_TRUE(passwords::matches(stored, QStringLiteral("pw")));
}

TEST_F(LoginTest, KeysMoveSignInAndNeverClose)
{
    open();
    names->setFocus();
    QTest::keyClick(names, Qt::Key_A); // picks by first letter, like a click in the list
    pick(QStringLiteral("AHMET"));
    QTest::keyClick(names, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), password);

    test::typeText(password, QStringLiteral("12'34"));
    EXPECT_EQ(password->text(), QStringLiteral("1234")); // the apostrophe is discarded

    // Coming back into the box selects its whole text, even by a mouse click.
    names->setFocus();
    QTest::mouseClick(password, Qt::LeftButton, {}, QPoint(4, password->height() / 2));
    QCoreApplication::processEvents();
    EXPECT_EQ(password->selectedText(), QStringLiteral("1234"));

    QTest::keyClick(password, Qt::Key_Escape);
    window->close();
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(messages.empty());

    QSignalSpy signedIn(window.get(), &LoginWindow::signedIn);
    QTest::keyClick(password, Qt::Key_Return);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı AHMET"));
    EXPECT_EQ(signedIn.count(), 1);
    EXPECT_FALSE(window->isVisible());
}

TEST_F(LoginTest, ReactivationRefillsTheListAndKeepsAStillValidPick)
{
    open();
    pick(QStringLiteral("AHMET"));
    addUser(QStringLiteral("VELİ"), passwords::hash(QStringLiteral("v")));
    window->onActivated();
    EXPECT_EQ(names->count(), 4);
    EXPECT_EQ(names->currentText(), QStringLiteral("AHMET"));
}

TEST_F(LoginTest, ExitButtonAsksToEndTheProgram)
{
    open();
    QSignalSpy exitRequested(window.get(), &LoginWindow::exitRequested);
    QSignalSpy signedIn(window.get(), &LoginWindow::signedIn);
    exitButton->click();
    EXPECT_EQ(exitRequested.count(), 1);
    EXPECT_EQ(signedIn.count(), 0);
    EXPECT_TRUE(messages.empty());
}

// The whole start: splash, main window, the sign-in window modal over it, all inside the program's event loop.
class StartupSignInTest : public LoginTest
{
protected:
    // Runs the program's event loop; `onLogin` acts on the sign-in window once it is up. Returns the exit code.
    int runProgram(const std::function<void(LoginWindow*)>& onLogin, const std::function<void()>& afterLogin)
    {
        Startup startup;
        if (!startup.start())
            return -100;
        QTimer::singleShot(0, startup.splash(), &SplashWindow::startClosing);
        bool loginSeen = false;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* login = qobject_cast<LoginWindow*>(QApplication::activeModalWidget());
            if (login && !loginSeen) {
                loginSeen = true;
                mainWindowShownUnderLogin = startup.mainWindow() && startup.mainWindow()->isVisible()
                    && login->parentWidget() == startup.mainWindow() && login->isModal();
                onLogin(login);
            } else if (!login && loginSeen) {
                mainWindowAfter = startup.mainWindow();
                mainWindowVisibleAfter = mainWindowAfter && mainWindowAfter->isVisible();
                poll.stop();
                afterLogin();
            }
        });
        poll.start();
        QTimer::singleShot(20000, [] { QCoreApplication::exit(99); }); // a hang fails instead of blocking
        const int code = QApplication::exec();
        mainWindowAtEnd = startup.mainWindow() && startup.mainWindow()->isVisible();
        return code;
    }

    bool mainWindowShownUnderLogin = false;
    MainWindow* mainWindowAfter = nullptr;
    bool mainWindowVisibleAfter = false;
    bool mainWindowAtEnd = false;
};

TEST_F(StartupSignInTest, ExitButtonEndsTheProgramAtOnce)
{
    const int code = runProgram(
        [](LoginWindow* login) { login->findChild<LumButton*>(QStringLiteral("exitButton"))->click(); }, [] {});
    EXPECT_EQ(code, 0);
    EXPECT_TRUE(mainWindowShownUnderLogin);
    EXPECT_FALSE(mainWindowAtEnd);
    EXPECT_TRUE(messages.empty());
}

TEST_F(StartupSignInTest, SuccessfulSignInLeavesTheMainWindowOpen)
{
    const int code = runProgram(
        [](LoginWindow* login) {
            auto* list = login->findChild<QComboBox*>(QStringLiteral("nameList"));
            list->setCurrentIndex(list->findText(QStringLiteral("AHMET")));
            login->findChild<QLineEdit*>(QStringLiteral("passwordBox"))->setText(QStringLiteral("1234"));
            login->findChild<LumButton*>(QStringLiteral("signInButton"))->click();
        },
        [] { QCoreApplication::exit(7); });
    EXPECT_EQ(code, 7); // the program went on running after the sign-in window closed
    EXPECT_TRUE(mainWindowShownUnderLogin);
    EXPECT_TRUE(mainWindowVisibleAfter);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Giriş Başarılı AHMET"));
}

TEST_F(StartupSignInTest, UnreadableUserTableEndsTheProgramWithTheEngineText)
{
    ASSERT_TRUE(tdb.db().exec(QStringLiteral("DROP TABLE \"User\"")));
    const int code = runProgram([](LoginWindow*) {}, [] {});
    EXPECT_EQ(code, 1);
    EXPECT_FALSE(mainWindowAtEnd);
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, Icon::Stop);
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("User"))) << messages.last().text.toStdString();
}

} // namespace
