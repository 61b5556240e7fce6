// SPDX-License-Identifier: GPL-3.0-or-later
// Runs GoogleTest inside a QApplication on the offscreen platform.
#include "startup/application.h"

#include <QApplication>
#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // gtest_discover_tests lists the tests without the test environment, so set the platform here.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    zelvora::setupApplication(app);
    return RUN_ALL_TESTS();
}
