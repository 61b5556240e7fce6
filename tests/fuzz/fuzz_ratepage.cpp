// SPDX-License-Identifier: GPL-3.0-or-later
// The rates page: any page is cut without harm, each rate is empty or nine characters and " TL", and rates
// placed at their distances from a currency's name are cut out as they stand.
#include "fuzzsupport.h"
#include "rates/ratepage.h"

using namespace zelvora;
using fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const auto& currencies = RatePage::currencies();
    const Currency& currency = currencies.at(in.takeIn<qsizetype>(0, currencies.size() - 1));
    const QString before = in.takeText();
    const QString buying = in.takeText().left(RatePage::RateLength).leftJustified(RatePage::RateLength);
    const QString selling = in.takeText().left(RatePage::RateLength).leftJustified(RatePage::RateLength);
    const QString after = in.takeText();

    // The page as the bank lays it out: the rates at fixed distances after the currency's name.
    QString page = before + currency.searchText;
    page = page.leftJustified(before.size() + currency.buyingOffset) + buying;
    page = page.leftJustified(before.size() + currency.sellingOffset) + selling + after;
    if (!before.contains(currency.searchText)
        && currency.buyingOffset + RatePage::RateLength <= currency.sellingOffset) {
        const Rate rate = RatePage::cut(page, currency);
        check(rate.buying == buying + QStringLiteral(" TL"), "the buying rate is cut as it stands", page);
        check(rate.selling == selling + QStringLiteral(" TL"), "the selling rate is cut as it stands", page);
    }

    for (const QString& p : {page, before + after}) {
        const QList<Rate> rates = RatePage::cutAll(p);
        check(rates.size() == currencies.size(), "one rate per currency");
        for (qsizetype i = 0; i < rates.size(); ++i) {
            const Rate& r = rates.at(i);
            if (!p.contains(currencies.at(i).searchText)) {
                check(r == Rate {}, "a currency the page does not name has no rate", currencies.at(i).label);
                continue;
            }
            for (const QString& value : {r.buying, r.selling})
                check(value.endsWith(QStringLiteral(" TL")) && value.size() <= RatePage::RateLength + 3,
                      "a rate is at most nine characters and \" TL\"", value);
        }
    }
    return 0;
}
