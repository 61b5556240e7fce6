// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <optional>

namespace zelvora {

// "Today" and "now" for the whole program; tests fix them so that day counts and dated names are stable.
class Clock final
{
public:
    static QDateTime now();
    static QDate today() { return now().date(); }

    static void setFixed(const QDateTime& moment);
    static void reset();

private:
    static std::optional<QDateTime>& fixed();
};

} // namespace zelvora
