// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbutton.h"

#include "messagerecorder.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbuttonlook.h"
#include "widgets/lumbutton/lumbuttontooltip.h"

#include <QAccessible>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

class LumButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_window.resize(300, 100);
        m_button = new LumButton(QStringLiteral("  &Kaydet"), &m_window);
        m_button->setGeometry(10, 10, 100, 30);
        m_window.show();
        m_window.activateWindow();
        m_button->setFocus();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
    }

    QWidget m_window;
    LumButton* m_button = nullptr;
};

} // namespace

TEST_F(LumButtonTest, ClicksOnlyOnAReleaseStrictlyInside)
{
    QSignalSpy clicked(m_button, &LumButton::clicked);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicked.count(), 1);
    for (const QPoint edge : {QPoint(0, 15), QPoint(50, 0), QPoint(100, 15), QPoint(50, 30), QPoint(150, 15)}) {
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(50, 15));
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, edge);
    }
    QTest::mouseClick(m_button, Qt::RightButton, {}, QPoint(50, 15));
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(LumButtonTest, EnterClicksAtOnceAndSpaceWhenItComesUp)
{
    QSignalSpy clicked(m_button, &LumButton::clicked);
    QTest::keyClick(m_button, Qt::Key_Return);
    EXPECT_EQ(clicked.count(), 1);
    QTest::keyPress(m_button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_EQ(m_button->state(), LumButton::State::Down);
    QTest::keyRelease(m_button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 2);
    // Alt+Space and a space press cancelled by another key raise nothing.
    QTest::keyClick(m_button, Qt::Key_Space, Qt::AltModifier);
    QTest::keyPress(m_button, Qt::Key_Space);
    QTest::keyPress(m_button, Qt::Key_A);
    QTest::keyRelease(m_button, Qt::Key_Space);
    EXPECT_EQ(clicked.count(), 2);
}

TEST_F(LumButtonTest, AccessKeyClicksAndDisabledIsSilent)
{
    QSignalSpy clicked(m_button, &LumButton::clicked);
    QTest::keyClick(&m_window, Qt::Key_K, Qt::AltModifier);
    EXPECT_EQ(clicked.count(), 1);
    m_button->setEnabled(false);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(50, 15));
    QTest::keyClick(&m_window, Qt::Key_K, Qt::AltModifier);
    m_button->click();
    EXPECT_EQ(clicked.count(), 1);
}

TEST(LumButtonAccessKey, DerivedFromTheFirstSingleAmpersand)
{
    struct Case
    {
        QString caption;
        QChar key;
    };
    const Case cases[] = {
        {QStringLiteral("&Kaydet"), QLatin1Char('k')},
        {QStringLiteral("Kay&det"), QLatin1Char('d')},
        {QStringLiteral("A && B"), QChar()},
        {QStringLiteral("A && B &Joker"), QLatin1Char('j')},
        {QStringLiteral("A && B && &C"), QChar()},
        {QStringLiteral("Kapat&"), QChar()},
        {QStringLiteral("&"), QChar()},
        {QStringLiteral("Kapat"), QChar()},
        {QStringLiteral("&Çıkış"), QChar(u'ç')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        EXPECT_EQ(LumButton::accessKeyOf(c.caption), c.key);
    }
}

TEST_F(LumButtonTest, IsAPushButtonNamedByItsCaption)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(m_button);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->role(), QAccessible::Button);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("Kaydet"));
    QSignalSpy clicked(m_button, &LumButton::clicked);
    ASSERT_NE(iface->actionInterface(), nullptr);
    iface->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicked.count(), 1);
}

TEST_F(LumButtonTest, ArrowKeysMoveTheFocusLikeTabAndShiftTab)
{
    auto* before = new LumButton(QStringLiteral("Önce"), &m_window);
    auto* after = new LumButton(QStringLiteral("Sonra"), &m_window);
    QWidget::setTabOrder(before, m_button);
    QWidget::setTabOrder(m_button, after);
    before->show();
    after->show();
    QSignalSpy clicked(m_button, &LumButton::clicked);
    const struct
    {
        Qt::Key key;
        LumButton* expected;
    } cases[] = {{Qt::Key_Right, after}, {Qt::Key_Down, after}, {Qt::Key_Left, before}, {Qt::Key_Up, before}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        m_button->setFocus();
        ASSERT_TRUE(m_button->hasFocus());
        QTest::keyClick(m_button, c.key);
        EXPECT_TRUE(c.expected->hasFocus());
    }
    EXPECT_EQ(clicked.count(), 0);
}

namespace {

// Every event of a button, in the order raised.
class EventLog
{
public:
    explicit EventLog(LumButton* b)
    {
        const auto add = [this](const QString& e) { m_events.append(e); };
        QObject::connect(b, &LumButton::clicked, b, [add] { add(QStringLiteral("click")); });
        QObject::connect(b, &LumButton::doubleClicked, b, [add] { add(QStringLiteral("dblclick")); });
        QObject::connect(b, &LumButton::mouseEntered, b, [add] { add(QStringLiteral("enter")); });
        QObject::connect(b, &LumButton::mouseLeft, b, [add] { add(QStringLiteral("leave")); });
        QObject::connect(b, &LumButton::mouseMoved, b, [add] { add(QStringLiteral("move")); });
        QObject::connect(b, &LumButton::mousePressed, b,
                         [add](int button, int, float, float) { add(QStringLiteral("down%1").arg(button)); });
        QObject::connect(b, &LumButton::mouseReleased, b,
                         [add](int button, int, float, float) { add(QStringLiteral("up%1").arg(button)); });
        QObject::connect(b, &LumButton::keyPressed, b,
                         [add](int key, int) { add(QStringLiteral("keydown%1").arg(key)); });
        QObject::connect(b, &LumButton::keyReleased, b,
                         [add](int key, int) { add(QStringLiteral("keyup%1").arg(key)); });
        QObject::connect(b, &LumButton::characterTyped, b, [add](int c) { add(QStringLiteral("char%1").arg(c)); });
    }
    QString take()
    {
        const QString text = m_events.join(QLatin1Char(','));
        m_events.clear();
        return text;
    }

private:
    QStringList m_events;
};

void moveTo(LumButton* b, QPoint pos, Qt::MouseButtons held = Qt::NoButton)
{
    QMouseEvent move(QEvent::MouseMove, pos, b->mapToGlobal(pos), Qt::NoButton, held, Qt::NoModifier);
    QCoreApplication::sendEvent(b, &move);
}

void leave(LumButton* b)
{
    QEvent event(QEvent::Leave);
    QCoreApplication::sendEvent(b, &event);
}

} // namespace

TEST_F(LumButtonTest, StateMachineTurnsInputIntoStatesAndEvents)
{
    using S = LumButton::State;
    struct Case
    {
        const char* name;
        std::function<void(LumButton*)> input;
        S state;
        const char* events;
    };
    const QPoint in(50, 15), out(150, 15);
    const Case cases[] = {
        {"hover", [&](LumButton* b) { moveTo(b, in); }, S::Hot, "enter"},
        {"hover and leave",
         [&](LumButton* b) {
             moveTo(b, in);
             leave(b);
         },
         S::Normal, "enter,leave"},
        {"press", [&](LumButton* b) { QTest::mousePress(b, Qt::LeftButton, {}, in); }, S::Down, "down1"},
        {"click", [&](LumButton* b) { QTest::mouseClick(b, Qt::LeftButton, {}, in); }, S::Normal, "down1,click,up1"},
        {"press, drag out, release",
         [&](LumButton* b) {
             QTest::mousePress(b, Qt::LeftButton, {}, in);
             moveTo(b, out, Qt::LeftButton);
             QTest::mouseRelease(b, Qt::LeftButton, {}, out);
         },
         S::Normal, "down1,up1"},
        {"press, drag out and back",
         [&](LumButton* b) {
             QTest::mousePress(b, Qt::LeftButton, {}, in);
             moveTo(b, out, Qt::LeftButton);
             moveTo(b, in, Qt::LeftButton);
         },
         S::Down, "down1,enter"},
        {"right click", [&](LumButton* b) { QTest::mouseClick(b, Qt::RightButton, {}, in); }, S::Normal, "up2"},
        {"space", [&](LumButton* b) { QTest::keyPress(b, Qt::Key_Space); }, S::Down, "keydown32,char32"},
        {"space up", [&](LumButton* b) { QTest::keyClick(b, Qt::Key_Space); }, S::Normal,
         "keydown32,char32,click,keyup32"},
        {"enter key", [&](LumButton* b) { QTest::keyClick(b, Qt::Key_Return); }, S::Normal, "click,keydown13,char13"},
        {"alt+space", [&](LumButton* b) { QTest::keyClick(b, Qt::Key_Space, Qt::AltModifier); }, S::Normal, ""},
        {"space while the mouse is held",
         [&](LumButton* b) {
             QTest::mousePress(b, Qt::LeftButton, {}, in);
             QTest::keyClick(b, Qt::Key_Space);
         },
         S::Normal, "down1,keydown32,char32,keyup32"},
        {"another key cancels space",
         [&](LumButton* b) {
             QTest::keyPress(b, Qt::Key_Space);
             QTest::keyPress(b, Qt::Key_A);
             QTest::keyRelease(b, Qt::Key_Space);
         },
         S::Normal, "keydown32,char32,keydown65,char97,keyup32"},
        {"key up of another key", [&](LumButton* b) { QTest::keyRelease(b, Qt::Key_A); }, S::Normal, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* b = new LumButton(QStringLiteral("Dene"), &m_window);
        b->setGeometry(10, 50, 100, 30);
        b->show();
        b->setFocus();
        EventLog log(b);
        c.input(b);
        EXPECT_EQ(b->state(), c.state);
        EXPECT_EQ(log.take(), QString::fromLatin1(c.events));
        delete b;
    }
}

TEST_F(LumButtonTest, DeactivationOrFocusLossCancelsAPressAndItsClick)
{
    struct Case
    {
        const char* name;
        std::function<void(QWidget& other)> interrupt;
    };
    const Case cases[] = {
        {"another window becomes active",
         [&](QWidget& other) {
             other.show();
             other.activateWindow();
             ZV_WAIT_UNTIL(!m_window.isActiveWindow());
         }},
        {"the focus moves to another control",
         [&](QWidget&) {
             auto* next = new LumButton(QStringLiteral("Sonra"), &m_window);
             next->setGeometry(150, 10, 100, 30);
             next->show();
             next->setFocus();
             ASSERT_TRUE(next->hasFocus());
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&m_window));
        m_button->setFocus();
        moveTo(m_button, QPoint(50, 15));
        QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(50, 15));
        ASSERT_EQ(m_button->state(), LumButton::State::Down);
        QWidget other;
        c.interrupt(other);
        if (::testing::Test::HasFatalFailure())
            return;
        EXPECT_NE(m_button->state(), LumButton::State::Down);
        QSignalSpy clicked(m_button, &LumButton::clicked);
        QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(50, 15));
        EXPECT_EQ(clicked.count(), 0) << "the release of a cancelled press clicked";
        EXPECT_NE(m_button->state(), LumButton::State::Down);
    }
}

namespace {

QColor topEdge(QWidget* w)
{
    return w->grab().toImage().pixelColor(w->width() / 2, 0);
}

// Two buttons of one caption side by side in an active window, with the look; the focus Tabbed from the first
// onto the second.
class TwoButtonsTest : public ::testing::Test
{
protected:
    void show(const QString& caption, ButtonLook look)
    {
        window.resize(300, 100);
        first = new LumButton(caption, &window);
        first->setGeometry(10, 10, 100, 30);
        second = new LumButton(caption, &window);
        second->setGeometry(150, 10, 100, 30);
        applyButtonLook(&window, look);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        first->setFocus();
        QTest::keyClick(first, Qt::Key_Tab);
        ASSERT_TRUE(second->hasFocus());
    }

    QWidget window;
    LumButton* first = nullptr;
    LumButton* second = nullptr;
};

} // namespace

TEST_F(TwoButtonsTest, GlassFrameShowsOnTheFocusedButtonWhileTheWindowIsActive)
{
    // The sign-in's pair of "Tamam" buttons: only the frame tells which one Enter would press.
    ASSERT_NO_FATAL_FAILURE(show(QStringLiteral("Tamam"), ButtonLook::Glass));
    const QColor focusFrame(0x32, 0x75, 0xA7), plainFrame(0x70, 0x70, 0x70);
    EXPECT_EQ(topEdge(second), focusFrame);
    EXPECT_EQ(topEdge(first), plainFrame);

    // Another window active: no frame; back again, the focused button has it again.
    QWidget other;
    other.show();
    other.activateWindow();
    ZV_WAIT_UNTIL(!window.isActiveWindow());
    EXPECT_EQ(topEdge(second), plainFrame);
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    ZV_WAIT_UNTIL(second->hasFocus());
    EXPECT_EQ(topEdge(second), focusFrame);
}

TEST_F(TwoButtonsTest, ToolbarButtonsShowWhichHasTheFocus)
{
    // The main window's row of toolbar buttons: the focused one carries the dotted rectangle inside its edge,
    // the other is drawn exactly as before.
    ASSERT_NO_FATAL_FAILURE(show(QStringLiteral("Kapat"), ButtonLook::WarmToolbar));
    const QImage focused = second->grab().toImage();
    const QImage before = first->grab().toImage();
    QTest::keyClick(second, Qt::Key_Tab);
    ASSERT_TRUE(first->hasFocus());
    EXPECT_EQ(second->grab().toImage(), before) << "the mark stays after the focus has left";
    int marked = 0;
    for (int x = 3; x < focused.width() - 3; ++x)
        marked += focused.pixel(x, 3) != before.pixel(x, 3);
    EXPECT_GT(marked, (focused.width() - 6) / 3) << "no focus mark on the focused toolbar button";
}

TEST_F(LumButtonTest, CheckAndOptionModes)
{
    m_button->setMode(lum::ModeCheck);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_TRUE(m_button->value());
    QTest::keyClick(&m_window, Qt::Key_K, Qt::AltModifier);
    EXPECT_FALSE(m_button->value()) << "the access key toggles too";
    QTest::keyPress(m_button, Qt::Key_Space);
    EXPECT_TRUE(m_button->value());
    // A held space bar repeats its press; the button toggles once, not once per repeat.
    for (int i = 0; i < 3; ++i) {
        QKeyEvent repeat(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
        QCoreApplication::sendEvent(m_button, &repeat);
    }
    QTest::keyRelease(m_button, Qt::Key_Space);
    EXPECT_TRUE(m_button->value());

    QWidget otherContainer(&m_window);
    auto* a = new LumButton(QStringLiteral("A"), &m_window);
    auto* b = new LumButton(QStringLiteral("B"), &m_window);
    auto* elsewhere = new LumButton(QStringLiteral("C"), &otherContainer);
    auto* push = new LumButton(QStringLiteral("D"), &m_window);
    for (LumButton* o : {a, b, elsewhere}) {
        o->setMode(lum::ModeOption);
        o->setValue(true);
        o->resize(60, 25);
    }
    push->setMode(lum::ModeCheck);
    push->setValue(true);
    QTest::mouseClick(a, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(a->value());
    EXPECT_FALSE(b->value());
    EXPECT_TRUE(elsewhere->value()) << "another container keeps its option";
    EXPECT_TRUE(push->value()) << "only option buttons form the group";
    b->click();
    EXPECT_TRUE(b->value());
    EXPECT_FALSE(a->value());
}

TEST_F(LumButtonTest, TooSmallIsRaisedTo220Twips)
{
    m_button->resize(5, 40);
    EXPECT_EQ(m_button->size(), QSize(15, 40));
    m_button->resize(0, 0);
    EXPECT_EQ(m_button->size(), QSize(15, 15));
}

TEST_F(LumButtonTest, PopupMenuOpensAtItsAlignmentInsteadOfMouseEvents)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Bir"));
    QAction* two = menu.addAction(QStringLiteral("İki"));
    m_button->setPopupMenu(&menu, 7, 0, two);
    EventLog log(m_button);
    QPoint shownAt;
    QTimer::singleShot(50, &menu, [&] {
        shownAt = menu.pos();
        menu.close();
    });
    QTest::mousePress(m_button, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(shownAt, m_button->mapToGlobal(QPoint(100, 30)));
    EXPECT_EQ(menu.defaultAction(), two);
    QTest::mouseRelease(m_button, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(log.take(), QString());
    EXPECT_EQ(m_button->state(), LumButton::State::Normal);

    m_button->unsetPopupMenu();
    m_button->setPopupMenu(nullptr, 0);
    QTest::mouseClick(m_button, Qt::LeftButton, {}, QPoint(50, 15));
    EXPECT_EQ(log.take(), QStringLiteral("down1,click,up1"));
}

TEST_F(LumButtonTest, OwnToolTipReplacesTheContainersAndWrapsLongText)
{
    m_button->setToolTip(QStringLiteral("kap"));
    m_button->setButtonToolTip(QStringLiteral("Bu düğme kaydı saklar; uzun bir açıklama, iki yüz kırk noktadan "
                                              "geniş olduğu için satırlara bölünür ve okunur kalır."));
    m_button->setTooltipTitle(QStringLiteral("Kaydet"));
    m_button->setToolTipIcon(lum::TipIconInfo);
    m_button->setToolTipType(lum::TipBalloon);
    m_button->hide();
    m_button->show();
    EXPECT_TRUE(m_button->toolTip().isEmpty()) << "the container's tooltip is cleared while shown";
    moveTo(m_button, QPoint(50, 15));
    LumButtonToolTip* tip = m_button->toolTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->content().balloon);
    EXPECT_EQ(tip->content().title, QStringLiteral("Kaydet"));
    EXPECT_LE(tip->textLabel()->width(), LumButtonToolTip::MaximumTextWidth);
    EXPECT_TRUE(tip->textLabel()->wordWrap());
    m_button->hide();
    EXPECT_EQ(m_button->toolTip(), m_button->buttonToolTip());
    EXPECT_EQ(m_button->toolTipWindow(), nullptr);
}

TEST(LumButtonLook, GivesAWindowsButtonsTheirStyleAndPicture)
{
    QWidget window;
    auto* save = new LumButton(QStringLiteral("Kaydet"), &window);
    save->setObjectName(QStringLiteral("saveButton"));
    auto* plain = new LumButton(QStringLiteral("Başka"), &window);
    applyButtonLook(&window, ButtonLook::Glass);
    for (LumButton* b : {save, plain}) {
        EXPECT_EQ(b->buttonStyle(), lum::StyleGlass);
        EXPECT_EQ(b->colorScheme(), lum::SchemeSilver);
        EXPECT_EQ(b->backColor(), ColorRef(0xE3E3E3));
    }
    EXPECT_EQ(save->pictureNormal().size(), QSize(16, 16)) << "the picture comes from the resources";
    EXPECT_TRUE(save->pictureShadow());
    EXPECT_EQ(save->pictureAlign(), lum::PictureLeftEdge);
    EXPECT_EQ(save->pictureEffectOnOver(), lum::PictureEffectNone);
    EXPECT_TRUE(plain->pictureNormal().isNull());
    EXPECT_EQ(save->accessibleName(), QStringLiteral("Kaydet"));

    applyButtonLook(&window, ButtonLook::WarmToolbar);
    EXPECT_EQ(save->buttonStyle(), lum::StyleWarmToolbar);
    EXPECT_EQ(save->backColor(), ColorRef(0xFCE1CA));

    // Every picture the table names is in the resources.
    for (const char* name : {"saveButton", "cancelButton", "closeButton", "backButton", "browseTargetButton",
                             "restoreButton", "paymentButton", "calculatorButton", "printButton", "resetButton",
                             "editButton", "detailsButton", "listTotalButton", "openAccountButton", "addCustomerButton",
                             "deleteRowButton", "backupButton", "signInButton"}) {
        const QString picture = buttonPictureName(QLatin1String(name));
        ASSERT_FALSE(picture.isEmpty()) << name;
        EXPECT_FALSE(buttonPicture(picture).isNull()) << name;
    }
}

TEST_F(LumButtonTest, AboutShowsAnInformationBox)
{
    test::MessageRecorder messages;
    m_button->about();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().title, QStringLiteral("About"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("lumbutton ")));
}
