// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zelvora {

// The three values of the maker's version page, cut at fixed distances from "PROGRAM ADI" and "ADRES",
// blanks included. A marker that is missing counts as position 0.
struct VersionPage final
{
    QString programCode; // 5 characters, 12 after "PROGRAM ADI"
    QString latestVersion; // 5 characters, 18 after "PROGRAM ADI"
    QString address; // 58 characters, 6 after "ADRES"

    static VersionPage cut(const QString& page);

    static inline const QString PathAndQuery = QStringLiteral("/programlar/tesvar.html?");
};

} // namespace zelvora
