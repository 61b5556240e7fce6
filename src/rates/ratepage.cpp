// SPDX-License-Identifier: GPL-3.0-or-later
#include "rates/ratepage.h"

namespace zelvora {

const QList<Currency>& RatePage::currencies()
{
    static const QList<Currency> table = {
        {QStringLiteral("1 ABD DOLARI"), QStringLiteral("ABD DOLARI")},
        {QStringLiteral("1 AVUSTRALYA DOLARI"), QStringLiteral("AVUSTRALYA DOLARI")},
        {QStringLiteral("1 DANİMARKA KRONU"), QStringLiteral("DANİMARKA KRONU")},
        {QStringLiteral("1 EURO"), QStringLiteral("EURO")},
        {QStringLiteral("1 İNGİLİZ STERLİNİ"), QStringLiteral("İNGİLİZ STERLİNİ")},
        {QStringLiteral("1 İSVİÇRE FRANGI"), QStringLiteral("İSVİÇRE FRANGI")},
        {QStringLiteral("1 İSVEÇ KRONU"), QStringLiteral("İSVEÇ KRONU")},
        {QStringLiteral("1 KANADA DOLARI"), QStringLiteral("KANADA DOLARI")},
        {QStringLiteral("1 KUVEYT DİNARI"), QStringLiteral("KUVEYT DİNARI")},
        {QStringLiteral("1 NORVEÇ KRONU"), QStringLiteral("NORVEÇ KRONU")},
        {QStringLiteral("1 S.ARABİSTAN RİYALİ"), QStringLiteral("SUUDİ ARABİSTAN RİYALİ")},
        {QStringLiteral("100 JAPON YENİ"), QStringLiteral("JAPON YENİ")},
        {QStringLiteral("100 İRAN RİYALİ"), QStringLiteral("100 İRAN RİYALİ"), 60, 72},
    };
    return table;
}

Rate RatePage::cut(const QString& page, const Currency& currency)
{
    // Exact, case-sensitive; a currency the page does not name shows no rate rather than characters from
    // the page's start.
    const qsizetype index = page.indexOf(currency.searchText);
    if (index < 0)
        return {};
    const QString tl = QStringLiteral(" TL");
    return {page.mid(index + currency.buyingOffset, RateLength) + tl,
            page.mid(index + currency.sellingOffset, RateLength) + tl};
}

QList<Rate> RatePage::cutAll(const QString& page)
{
    QList<Rate> rates;
    rates.reserve(currencies().size());
    for (const Currency& currency : currencies())
        rates.append(cut(page, currency));
    return rates;
}

} // namespace zelvora
