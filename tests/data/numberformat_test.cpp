// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/dateformat.h"
#include "data/numberformat.h"

#include <gtest/gtest.h>
#include <limits>

using namespace zelvora;

TEST(NumberRules, ReadsByTheTurkishRules)
{
    struct Case
    {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"1.234,5", 1234.5},
        {" -3 ", -3},
        {"(20,00)", -20},
        {"-20", -20},
        {"0", 0},
        {",5", 0.5},
        {"5,", 5},
        {"1.250", 1250},
        {"12.500,75", 12500.75},
        {"1.250.000,00", 1250000},
        {"1,18", 1.18},
        {"0,5000000000000000000000000", 0.5},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"1,2,3", std::nullopt},
        {"-", std::nullopt},
        {",", std::nullopt},
        {"12a", std::nullopt},
        {"()", std::nullopt},
        // A dot is a thousands mark only between groups of three digits; typed as a decimal mark it is refused.
        {"12.5", std::nullopt},
        {"0.5", std::nullopt},
        {"17.90", std::nullopt},
        {"1.2345", std::nullopt},
        {"1250.000", std::nullopt},
        {"0.500", std::nullopt},
        {".500", std::nullopt},
        {"1..250", std::nullopt},
        {"1.250.", std::nullopt},
        {"1,250.5", std::nullopt},
        {"-1.25", std::nullopt},
        // More digits than 64 bits hold.
        {"18446744073709551616", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = numbers::readDecimal(QString::fromUtf8(c.text));
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(value->toDouble(), *c.value);
        }
    }
}

TEST(NumberRules, AmountsAreReadExactlyToTheKurus)
{
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    struct Case
    {
        const char* text;
        std::optional<qint64> kurus;
    };
    const Case cases[] = {
        // Beyond 2^53 a double cannot hold these to the kuruş.
        {"70.379.739.293.941,76", 7037973929394176},
        {"70379739293941,76", 7037973929394176},
        {"92.233.720.368.547.758,07", max},
        {"-92.233.720.368.547.758,08", min},
        {"(92.233.720.368.547.758,08)", min},
        {"92.233.720.368.547.758,08", std::nullopt},
        {"-92.233.720.368.547.758,09", std::nullopt},
        {"999.999.999.999.999.999.999", std::nullopt},
        // Halves of a kuruş go away from zero; only the first digit cut off decides.
        {"1,005", 101},
        {"-1,005", -101},
        {"0,0049999999", 0},
        {"0,0005", 0},
        {"2.500,456", 250046},
        {"999,995", 100000},
        {"12,5", 1250},
        {"12.5", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numbers::readKurus(QString::fromUtf8(c.text)), c.kurus);
    }
}

TEST(NumberRules, ProductIsExactToTheKurusAndRefusesOverflow)
{
    const auto d = [](const char* text) { return numbers::readDecimal(QString::fromUtf8(text)).value(); };
    EXPECT_EQ(numbers::productKurus({d("17,90"), d("0,5"), d("1")}), 895);
    EXPECT_EQ(numbers::productKurus({d("10"), d("2"), d("1,18")}), 2360);
    EXPECT_EQ(numbers::productKurus({d("0,335"), d("3"), d("1")}), 101);
    EXPECT_EQ(numbers::productKurus({d("(0,335)"), d("3"), d("1")}), -101);
    EXPECT_EQ(numbers::productKurus({d("-5"), d("-2"), d("1,18")}), 1180);
    EXPECT_EQ(numbers::productKurus({d("70.379.739.293.941,76"), d("1"), d("1")}), 7037973929394176);
    // Intermediate products far beyond 64 bits that come back into range.
    EXPECT_EQ(numbers::productKurus({d("0,9999999999999999999"), d("0,9999999999999999999"), d("100")}), 10000);
    EXPECT_EQ(numbers::productKurus({d("9.999.999.999.999.999.999"), d("0,0000000000000000001"), d("1")}), 100);
    EXPECT_FALSE(numbers::productKurus({d("100.000.000.000.000"), d("1.000.000"), d("1")}).has_value());
    EXPECT_FALSE(
        numbers::productKurus({d("9.999.999.999.999.999.999"), d("9.999.999.999.999.999.999"), d("2")}).has_value());
    EXPECT_FALSE(numbers::productKurus({d("46.116.860.184.273.879,04"), d("2")}).has_value());
    EXPECT_EQ(numbers::productKurus({d("-46.116.860.184.273.879,04"), d("2")}), std::numeric_limits<qint64>::min());
}

TEST(NumberRules, EveryAmountIsWrittenInBothFormsAndReadsBack)
{
    constexpr qint64 max = std::numeric_limits<qint64>::max();
    constexpr qint64 min = std::numeric_limits<qint64>::min();
    struct Case
    {
        qint64 kurus;
        const char* totals;
        const char* entry;
    };
    const Case cases[] = {
        {123450, "1.234,50", "1.234,50"},
        {-500, "-5,00", "(5,00)"},
        {0, "0,00", "0,00"},
        {-1, "-0,01", "(0,01)"},
        {99, "0,99", "0,99"},
        {125000000, "1.250.000,00", "1.250.000,00"},
        {-123456, "-1.234,56", "(1.234,56)"},
        {7037973929394176, "70.379.739.293.941,76", "70.379.739.293.941,76"},
        {max, "92.233.720.368.547.758,07", "92.233.720.368.547.758,07"},
        {min, "-92.233.720.368.547.758,08", "(92.233.720.368.547.758,08)"},
        {min + 1, "-92.233.720.368.547.758,07", "(92.233.720.368.547.758,07)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kurus);
        EXPECT_EQ(numbers::totals(c.kurus), QString::fromUtf8(c.totals));
        EXPECT_EQ(numbers::entry(c.kurus), QString::fromUtf8(c.entry));
    }
    // What the program writes, it reads back: over every power of two and its neighbours.
    for (int bit = 0; bit < 63; ++bit) {
        for (const qint64 base : {qint64(1) << bit, -(qint64(1) << bit)}) {
            for (const qint64 kurus : {base - 1, base, base + 1}) {
                SCOPED_TRACE(kurus);
                EXPECT_EQ(numbers::readKurus(numbers::totals(kurus)), kurus);
                EXPECT_EQ(numbers::readKurus(numbers::entry(kurus)), kurus);
            }
        }
    }
    for (const qint64 kurus : {min, max}) {
        EXPECT_EQ(numbers::readKurus(numbers::totals(kurus)), kurus);
        EXPECT_EQ(numbers::readKurus(numbers::entry(kurus)), kurus);
    }
}

TEST(NumberRules, ReformattingRewritesAmountsAndLeavesOtherTextAlone)
{
    struct Case
    {
        const char* text;
        const char* totals;
        const char* entry;
    };
    const Case cases[] = {
        {"1234,5", "1.234,50", "1.234,50"},
        {"-5", "-5,00", "(5,00)"},
        {"(11,8)", "-11,80", "(11,80)"},
        {"1,005", "1,01", "1,01"},
        {"-0,004", "0,00", "0,00"},
        {"999,995", "1.000,00", "1.000,00"},
        {"70.379.739.293.941,76", "70.379.739.293.941,76", "70.379.739.293.941,76"},
        {"abc", "abc", "abc"},
        {"12.5", "12.5", "12.5"},
        {"17.90", "17.90", "17.90"},
        {"92.233.720.368.547.758,08", "92.233.720.368.547.758,08", "92.233.720.368.547.758,08"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(numbers::reformatTotals(QString::fromUtf8(c.text)), QString::fromUtf8(c.totals));
        EXPECT_EQ(numbers::reformatEntry(QString::fromUtf8(c.text)), QString::fromUtf8(c.entry));
    }
    EXPECT_EQ(numbers::plain(2 * 10 * 1.18), QStringLiteral("23,6"));
    EXPECT_EQ(numbers::plain(20), QStringLiteral("20"));
    EXPECT_EQ(numbers::plain(28.32), QStringLiteral("28,32"));
    EXPECT_EQ(numbers::plain(-0.0), QStringLiteral("0"));
}

TEST(NumberRules, RealNumbersFromAFileRoundHalfAwayFromZero)
{
    EXPECT_EQ(numbers::toKurus(2500.456), 250046);
    EXPECT_EQ(numbers::toKurus(0.125), 13);
    EXPECT_EQ(numbers::toKurus(-0.125), -13);
    EXPECT_EQ(numbers::toKurus(23.6), 2360);
    EXPECT_FALSE(numbers::toKurus(1e300).has_value());
}

TEST(DateRules, ShortFormsDayCountAndBackupDate)
{
    const QDate today(2026, 12, 9);
    EXPECT_EQ(dates::shortDate(QDate(2009, 12, 31)), QStringLiteral("31.12.2009"));
    EXPECT_EQ(dates::shortTime(QTime(14, 5, 9)), QStringLiteral("14:05:09"));
    EXPECT_EQ(dates::backupDate(QDate(2009, 3, 5)), QStringLiteral("05-03-09"));
    EXPECT_EQ(dates::dayCount(today, today), 0);
    EXPECT_EQ(dates::dayCount(today.addDays(-12), today), -12);
    EXPECT_EQ(dates::dayCount(today.addDays(3), today), 3);
    EXPECT_EQ(dates::readDate(QStringLiteral("31.12.2009")), QDate(2009, 12, 31));
    EXPECT_EQ(dates::readDate(QStringLiteral("2009-12-31")), QDate(2009, 12, 31));
    EXPECT_FALSE(dates::readDate(QStringLiteral("31.02.2009")).has_value());
    EXPECT_FALSE(dates::readDate(QStringLiteral("dün")).has_value());
    EXPECT_EQ(dates::readTime(QStringLiteral("14:05:09")), QTime(14, 5, 9));
    EXPECT_FALSE(dates::readTime(QStringLiteral("25:00:00")).has_value());
}
