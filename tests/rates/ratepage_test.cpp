// SPDX-License-Identifier: GPL-3.0-or-later
#include "rates/ratepage.h"

#include <gtest/gtest.h>

namespace zelvora {
namespace {

const Currency& currency(const QString& label)
{
    for (const Currency& c : RatePage::currencies())
        if (c.label == label)
            return c;
    throw std::out_of_range("no such currency");
}

TEST(RatePageTest, TableHasThirteenRowsInWindowOrder)
{
    const QList<Currency>& table = RatePage::currencies();
    ASSERT_EQ(table.size(), 13);
    EXPECT_EQ(table.first().label, QStringLiteral("1 ABD DOLARI"));
    EXPECT_EQ(table.at(10).searchText, QStringLiteral("SUUDİ ARABİSTAN RİYALİ"));
    EXPECT_EQ(table.at(11).label, QStringLiteral("100 JAPON YENİ"));
    EXPECT_EQ(table.at(11).searchText, QStringLiteral("JAPON YENİ"));
    EXPECT_EQ(table.last().searchText, QStringLiteral("100 İRAN RİYALİ"));
    EXPECT_EQ(table.last().buyingOffset, 60);
    EXPECT_EQ(table.last().sellingOffset, 72);
}

// A page of the given length whose characters name their own 1-based position's last digit, with the
// search text put in at a 1-based position.
QString numberedPage(int length, const QString& text, int position)
{
    QString page;
    for (int i = 1; i <= length; ++i)
        page += QChar(u'0' + i % 10);
    page.replace(position - 1, text.size(), text);
    return page;
}

TEST(RatePageTest, CutsNineCharactersAtTheOffsetsFromTheSearchText)
{
    // "ABD DOLARI" at 100: buying is characters 128..136, selling 141..149.
    const QString page = numberedPage(300, QStringLiteral("ABD DOLARI"), 100);
    const Rate rate = RatePage::cut(page, currency(QStringLiteral("1 ABD DOLARI")));
    EXPECT_EQ(rate.buying, page.mid(127, 9) + QStringLiteral(" TL"));
    EXPECT_EQ(rate.selling, page.mid(140, 9) + QStringLiteral(" TL"));
    EXPECT_EQ(rate.buying, QStringLiteral("890123456 TL"));

    // "100 İRAN RİYALİ" at 500: characters 560..568 and 572..580.
    const QString iran = numberedPage(700, QStringLiteral("100 İRAN RİYALİ"), 500);
    const Rate iranRate = RatePage::cut(iran, currency(QStringLiteral("100 İRAN RİYALİ")));
    EXPECT_EQ(iranRate.buying, iran.mid(559, 9) + QStringLiteral(" TL"));
    EXPECT_EQ(iranRate.selling, iran.mid(571, 9) + QStringLiteral(" TL"));
}

TEST(RatePageTest, KeepsBlanksAndCutsShortAtThePageEnd)
{
    const QString page = QStringLiteral("EURO").leftJustified(28) + QStringLiteral("2.10 ") + QStringLiteral("  x");
    const Rate rate = RatePage::cut(page, currency(QStringLiteral("1 EURO")));
    EXPECT_EQ(rate.buying, QStringLiteral("2.10   x TL"));
    EXPECT_EQ(rate.selling, QStringLiteral(" TL"));
}

TEST(RatePageTest, ACurrencyMissingFromThePageShowsNoRate)
{
    const QString page = QStringLiteral("0123456789").repeated(20);
    EXPECT_EQ(RatePage::cut(page, currency(QStringLiteral("1 KANADA DOLARI"))), Rate {});
    for (const Rate& rate : RatePage::cutAll(QString()))
        EXPECT_EQ(rate, Rate {});
}

TEST(RatePageTest, SearchIsCaseSensitiveAndTakesTheFirstOccurrence)
{
    const QString page = QStringLiteral("euro ").repeated(3) + QStringLiteral("EURO").leftJustified(28)
        + QStringLiteral("1.0000000 ") + QStringLiteral("EURO").leftJustified(28) + QStringLiteral("9.9999999");
    EXPECT_EQ(RatePage::cut(page, currency(QStringLiteral("1 EURO"))).buying, QStringLiteral("1.0000000 TL"));
}

} // namespace
} // namespace zelvora
