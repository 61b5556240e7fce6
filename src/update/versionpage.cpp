// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/versionpage.h"

namespace zelvora {

namespace {

// Length characters from 1-based position marker + offset, where a missing marker is position 0.
QString cutAt(const QString& page, const QString& marker, qsizetype offset, qsizetype length)
{
    const qsizetype position = page.indexOf(marker) + 1;
    const qsizetype start = position + offset - 1;
    return start < page.size() ? page.mid(start, length) : QString();
}

} // namespace

VersionPage VersionPage::cut(const QString& page)
{
    const QString program = QStringLiteral("PROGRAM ADI");
    return {cutAt(page, program, 12, 5), cutAt(page, program, 18, 5), cutAt(page, QStringLiteral("ADRES"), 6, 58)};
}

} // namespace zelvora
