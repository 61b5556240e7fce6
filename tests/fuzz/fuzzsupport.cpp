// SPDX-License-Identifier: GPL-3.0-or-later
#include "fuzzsupport.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>

namespace zelvora::fuzz {

void startQt(bool gui)
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "zelvora_fuzz";
    static char* argv[] = {name, nullptr};
    if (gui) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        new QGuiApplication(argc, argv);
    } else {
        new QCoreApplication(argc, argv);
    }
}

void fail(const char* what, const QString& detail)
{
    std::fprintf(stderr, "PROPERTY VIOLATED: %s\n%s\n", what, detail.toUtf8().constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace zelvora::fuzz
