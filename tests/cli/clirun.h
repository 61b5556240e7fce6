// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "cli/commandline.h"

#include <QString>
#include <QStringList>
#include <QTextStream>

namespace zelvora::test {

// One run of the command line, with what it wrote.
struct CliRun
{
    int status = -1;
    QString out;
    QString err;
};

inline CliRun runCli(const QStringList& arguments)
{
    CliRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.status = cli::run(arguments, out, err);
    return r;
}

} // namespace zelvora::test
