// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QString>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace zelvora::test {

// Runs the event loop until the condition holds or the time is up. Unlike Qt's QTRY_ macros (which only
// `return` on failure, so a GoogleTest body goes on and passes) the result fails the case when wrapped in
// ASSERT_TRUE / EXPECT_TRUE, and says what was waited for.
inline ::testing::AssertionResult waitUntil(const std::function<bool()>& condition, const char* what,
                                            int timeoutMs = 5000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return ::testing::AssertionFailure() << "waited " << timeoutMs << " ms and still not true: " << what;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        // As QTest::qWait does: processEvents alone never runs a deleteLater posted outside an event loop.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qSleep(5);
    }
    return ::testing::AssertionSuccess();
}

} // namespace zelvora::test

// Waits for `condition` (an expression) and fails the current test case when it never becomes true.
#define ZV_WAIT_UNTIL(condition)                                                                                       \
    ASSERT_TRUE(::zelvora::test::waitUntil([&]() -> bool { return static_cast<bool>(condition); }, #condition))
#define ZV_WAIT_UNTIL_MS(condition, ms)                                                                                \
    ASSERT_TRUE(::zelvora::test::waitUntil([&]() -> bool { return static_cast<bool>(condition); }, #condition, ms))
// Waits until `actual == expected`; the failure shows both sides.
#define ZV_WAIT_EQ(actual, expected)                                                                                   \
    do {                                                                                                               \
        ::zelvora::test::waitUntil([&]() -> bool { return (actual) == (expected); }, #actual " == " #expected);        \
        ASSERT_EQ(actual, expected);                                                                                   \
    } while (false)
