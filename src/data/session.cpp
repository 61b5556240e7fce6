// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/session.h"

#include "data/clock.h"

namespace zelvora::session {

namespace {

QString& signedIn()
{
    static QString name;
    return name;
}

} // namespace

void setUser(const QString& name)
{
    signedIn() = name;
}

QString user()
{
    return signedIn();
}

QString stamp()
{
    return Clock::now().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

} // namespace zelvora::session
