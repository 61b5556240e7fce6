#include "data/numberformat.h"

#include <cmath>

namespace zelvora::numbers {

std::optional<double> read(const QString& text)
{
    QString s = text.trimmed();
    bool negative = false;
    if (s.size() >= 2 && s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
        negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    } else if (s.startsWith(QLatin1Char('-'))) {
        negative = true;
        s = s.mid(1);
    }
    QString digits;
    bool seenComma = false;
    bool seenDigit = false;
    for (const QChar c : s) {
        if (c == QLatin1Char('.'))
            continue;
        if (c == QLatin1Char(',')) {
            if (seenComma)
                return std::nullopt;
            seenComma = true;
            digits += QLatin1Char('.');
        } else if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            seenDigit = true;
            digits += c;
        } else {
            return std::nullopt;
        }
    }
    if (!seenDigit)
        return std::nullopt;
    bool ok = false;
    const double value = digits.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

QString plain(double value)
{
    if (value == 0)
        value = 0; // no "-0"
    QString s = QString::number(value, 'g', 15);
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

std::optional<qint64> toKurus(double value)
{
    if (!std::isfinite(value) || std::abs(value) > 9.0e13)
        return std::nullopt;
    // Rounding the decimal text, not the binary product, so that 1.005 rounds up as a person expects.
    const QString s = QString::number(std::abs(value), 'f', 6);
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    const qint64 whole = s.left(dot).toLongLong();
    const QString fraction = s.mid(dot + 1);
    qint64 kurus = whole * 100 + fraction.left(2).toLongLong();
    if (fraction.at(2) >= QLatin1Char('5'))
        ++kurus;
    return value < 0 ? -kurus : kurus;
}

double fromKurus(qint64 kurus)
{
    return static_cast<double>(kurus) / 100.0;
}

namespace {

QString grouped(qint64 kurus)
{
    const qint64 magnitude = kurus < 0 ? -kurus : kurus;
    QString whole = QString::number(magnitude / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char('.'));
    return whole + QLatin1Char(',') + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

QString totals(qint64 kurus)
{
    return kurus < 0 ? QLatin1Char('-') + grouped(kurus) : grouped(kurus);
}

QString totals(double value)
{
    const auto kurus = toKurus(value);
    return kurus ? totals(*kurus) : plain(value);
}

QString entry(qint64 kurus)
{
    return kurus < 0 ? QLatin1Char('(') + grouped(kurus) + QLatin1Char(')') : grouped(kurus);
}

QString entry(double value)
{
    const auto kurus = toKurus(value);
    return kurus ? entry(*kurus) : plain(value);
}

QString reformatTotals(const QString& text)
{
    const auto value = read(text);
    return value ? totals(*value) : text;
}

QString reformatEntry(const QString& text)
{
    const auto value = read(text);
    return value ? entry(*value) : text;
}

} // namespace zelvora::numbers
