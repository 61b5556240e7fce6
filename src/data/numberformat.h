// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <initializer_list>
#include <optional>

namespace zelvora::numbers {

// A number exactly as typed: digits × 10^-scale, with its sign. Trailing zeros of the decimals are dropped.
struct Decimal
{
    bool negative = false;
    quint64 digits = 0;
    qsizetype scale = 0;

    double toDouble() const;
};

// Reads a number by the Turkish rules: blanks around it ignored, "," before the decimals, a leading "-" or
// enclosing parentheses for a negative number. A "." is a thousands mark only between groups of exactly three
// digits of the whole part ('1.250', '12.500,75'); any other "." ('0.5', '17.90', '12.5') makes the text not a
// number, as do empty text, any other character and more digits than 64 bits hold.
std::optional<Decimal> readDecimal(const QString& text);

// The exact product of the numbers in whole kuruş, halves away from zero; nothing when it does not fit in 64
// bits. With one number, that number as an amount of money.
std::optional<qint64> productKurus(std::initializer_list<Decimal> factors);
// A typed amount of money in whole kuruş; nothing when it is not a number or does not fit.
std::optional<qint64> readKurus(const QString& text);

// A number as plain text, "," before the decimals and no grouping: '28,32', '20', '23,6'.
QString plain(double value);

// Rounded to whole kuruş, halves away from zero (2500.456 -> 250046), for a real number read from a file.
// Nothing when out of the range that a double holds to the kuruş.
std::optional<qint64> toKurus(double value);

// "#,##0.00": '1.234,50', '-1.234,50', '0,00'. Every 64-bit amount is written, and reads back the same.
QString totals(qint64 kurus);
// "#,##0.00;(#,##0.00)": '1.234,50', '(1.234,50)'.
QString entry(qint64 kurus);

// Rewrites a box's text in a format; text that is not an amount of money comes back unchanged.
QString reformatTotals(const QString& text);
QString reformatEntry(const QString& text);

} // namespace zelvora::numbers
