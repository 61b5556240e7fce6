// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/activationwatch.h"

#include <QMessageBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// A window that counts the activations its watch lets through.
class Watched final : public QWidget
{
public:
    ActivationWatch watch;
    int activations = 0;

protected:
    void changeEvent(QEvent* event) override
    {
        QWidget::changeEvent(event);
        if (watch.isNewActivation(this, event))
            ++activations;
    }
};

void activate(QWidget& w)
{
    w.show();
    w.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

} // namespace

TEST(ActivationWatch, CountsFirstShowAndReturnFromOwnWindowsOnly)
{
    Watched main;
    activate(main);
    EXPECT_EQ(main.activations, 1);

    // Another window of ours closes over it: a new activation.
    QWidget child;
    activate(child);
    child.hide();
    activate(main);
    EXPECT_EQ(main.activations, 2);

    // A message box closing is not.
    QMessageBox box(QMessageBox::Information, QStringLiteral("t"), QStringLiteral("t"));
    activate(box);
    box.hide();
    activate(main);
    EXPECT_EQ(main.activations, 2);

    // The window reloaded by itself after its child closed: the late activation is not new.
    activate(child);
    child.hide();
    main.watch.markActivated();
    activate(main);
    EXPECT_EQ(main.activations, 2);
}
