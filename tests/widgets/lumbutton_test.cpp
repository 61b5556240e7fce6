#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonpainter.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>
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

TEST(LumButtonPainting, FaceIsE3E3E3AndDisabledCaptionIsGrey)
{
    LumButtonPainter::Look look;
    look.caption = QStringLiteral("MMMMMMMM");
    look.font = QFont(QStringLiteral("DejaVu Sans"), 14, QFont::Bold);
    const QImage normal = LumButtonPainter::render(QSize(160, 40), look);
    EXPECT_EQ(normal.pixel(6, 6), LumButtonPainter::faceColor);
    look.enabled = false;
    const QImage disabled = LumButtonPainter::render(QSize(160, 40), look);
    EXPECT_EQ(disabled.pixel(6, 6), LumButtonPainter::faceColor);
    auto darkest = [](const QImage& image) {
        int value = 255;
        for (int y = 10; y < 30; ++y)
            for (int x = 20; x < 140; ++x)
                value = qMin(value, qGray(image.pixel(x, y)));
        return value;
    };
    EXPECT_LT(darkest(normal), 40);
    EXPECT_GT(darkest(disabled), 100);
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
