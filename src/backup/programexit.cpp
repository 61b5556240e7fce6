// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/programexit.h"

#include <QCoreApplication>

namespace zelvora {

namespace {

ProgramExit::Handler& handler()
{
    static ProgramExit::Handler h;
    return h;
}

} // namespace

void ProgramExit::end(int code)
{
    if (handler())
        handler()(code);
    else
        QCoreApplication::exit(code);
}

void ProgramExit::setHandler(Handler h)
{
    handler() = std::move(h);
}

} // namespace zelvora
