// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QList>
#include <QString>

namespace zelvora {

// One currency of the rates window: its label, the text looked for in the central bank's page, and the
// distances of the buying and selling rates from the first character of that text.
struct Currency final
{
    QString label;
    QString searchText;
    qsizetype buyingOffset = 28;
    qsizetype sellingOffset = 41;
};

// A rate cut out of the page: 9 characters as they stand plus " TL", or empty when the page does not
// name the currency at all.
struct Rate final
{
    QString buying;
    QString selling;

    bool operator==(const Rate&) const = default;
};

class RatePage final
{
public:
    static const QList<Currency>& currencies();
    static Rate cut(const QString& page, const Currency& currency);
    // Every currency's rate, in the order of currencies().
    static QList<Rate> cutAll(const QString& page);

    static inline const QString PathAndQuery = QStringLiteral("/kurlar/today.html?");
    static constexpr qsizetype RateLength = 9;
};

} // namespace zelvora
