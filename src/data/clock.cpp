// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/clock.h"

namespace zelvora {

std::optional<QDateTime>& Clock::fixed()
{
    static std::optional<QDateTime> value;
    return value;
}

QDateTime Clock::now()
{
    return fixed() ? *fixed() : QDateTime::currentDateTime();
}

void Clock::setFixed(const QDateTime& moment)
{
    fixed() = moment;
}

void Clock::reset()
{
    fixed().reset();
}

} // namespace zelvora
