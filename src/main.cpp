// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commandline.h"
#include "startup/application.h"
#include "startup/startup.h"

#include <QApplication>
#include <QTextStream>
#include <cstdio>

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    // The command-line modes need no display and take no single-instance lock: the window may be open.
    if (zelvora::cli::isCommandLine(arguments)) {
        QCoreApplication app(argc, argv);
        zelvora::cli::setupApplication();
        QTextStream out(stdout);
        QTextStream err(stderr);
        return zelvora::cli::run(arguments, out, err);
    }
    QApplication app(argc, argv);
    zelvora::setupApplication(app);
    zelvora::Startup startup;
    if (!startup.start())
        return startup.exitCode();
    return QApplication::exec();
}
