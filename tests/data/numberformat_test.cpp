#include "data/dateformat.h"
#include "data/numberformat.h"

#include <gtest/gtest.h>

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
        {"12.5", 125},
        {" -3 ", -3},
        {"(20,00)", -20},
        {"-20", -20},
        {"0", 0},
        {",5", 0.5},
        {"1.250.000,00", 1250000},
        {"1,18", 1.18},
        {"abc", std::nullopt},
        {"", std::nullopt},
        {"  ", std::nullopt},
        {"1,2,3", std::nullopt},
        {"-", std::nullopt},
        {"12a", std::nullopt},
        {"()", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const auto value = numbers::read(QString::fromUtf8(c.text));
        ASSERT_EQ(value.has_value(), c.value.has_value());
        if (value) {
            EXPECT_DOUBLE_EQ(*value, *c.value);
        }
    }
}

TEST(NumberRules, WritesTotalsEntryAndPlainForms)
{
    struct Case
    {
        double value;
        const char* totals;
        const char* entry;
    };
    const Case cases[] = {
        {1234.5, "1.234,50", "1.234,50"},
        {-5, "-5,00", "(5,00)"},
        {0, "0,00", "0,00"},
        {2500.456, "2.500,46", "2.500,46"},
        {1250000, "1.250.000,00", "1.250.000,00"},
        {-1234.56, "-1.234,56", "(1.234,56)"},
        {1.005, "1,01", "1,01"},
        {-0.004, "0,00", "0,00"},
        {-11.8, "-11,80", "(11,80)"},
        {999.995, "1.000,00", "1.000,00"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(numbers::totals(c.value), QString::fromUtf8(c.totals));
        EXPECT_EQ(numbers::entry(c.value), QString::fromUtf8(c.entry));
    }
    EXPECT_EQ(numbers::plain(2 * 10 * 1.18), QStringLiteral("23,6"));
    EXPECT_EQ(numbers::plain(20), QStringLiteral("20"));
    EXPECT_EQ(numbers::plain(28.32), QStringLiteral("28,32"));
    EXPECT_EQ(numbers::reformatEntry(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(numbers::reformatEntry(QStringLiteral("12.5")), QStringLiteral("125,00"));
}

TEST(NumberRules, KurusRoundsHalfAwayFromZero)
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
