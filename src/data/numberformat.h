#pragma once

#include <QString>
#include <optional>

namespace zelvora::numbers {

// Reads a number by the Turkish rules: blanks around it ignored, "," before the decimals, "." skipped
// wherever it stands ('12.5' is 125), a leading "-" or enclosing parentheses for a negative number.
// Empty text and any other text is not a number.
std::optional<double> read(const QString& text);

// A number as plain text, "," before the decimals and no grouping: '28,32', '20', '23,6'.
QString plain(double value);

// Rounded to whole kuruş, halves away from zero (2500.456 -> 250046). Nothing when out of range.
std::optional<qint64> toKurus(double value);
double fromKurus(qint64 kurus);

// "#,##0.00": '1.234,50', '-1.234,50', '0,00'.
QString totals(qint64 kurus);
QString totals(double value);

// "#,##0.00;(#,##0.00)": '1.234,50', '(1.234,50)'.
QString entry(qint64 kurus);
QString entry(double value);

// Rewrites a box's text in a format; text that is not a number comes back unchanged.
QString reformatTotals(const QString& text);
QString reformatEntry(const QString& text);

} // namespace zelvora::numbers
