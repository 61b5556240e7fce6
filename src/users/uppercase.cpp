// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/uppercase.h"

#include <array>
#include <utility>

namespace zelvora::uppercase {

QString plain(const QString& text)
{
    // QString::toUpper follows Unicode's default mapping, whatever the locale.
    return text.toUpper();
}

QString turkish(const QString& text)
{
    static const std::array<std::pair<QChar, QChar>, 6> steps {{
        {QChar(u'i'), QChar(u'İ')},
        {QChar(u'ş'), QChar(u'Ş')},
        {QChar(u'ö'), QChar(u'Ö')},
        {QChar(u'ü'), QChar(u'Ü')},
        {QChar(u'ı'), QChar(u'I')},
        {QChar(u'ğ'), QChar(u'Ğ')},
    }};
    QString result = text;
    for (const auto& [from, to] : steps)
        result = plain(result.replace(from, to, Qt::CaseSensitive));
    return result;
}

} // namespace zelvora::uppercase
