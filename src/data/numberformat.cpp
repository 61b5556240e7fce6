// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/numberformat.h"

#include <QList>
#include <QStringView>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace zelvora::numbers {

namespace {

bool allDigits(QStringView s)
{
    for (const QChar c : s) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// The whole part of a number: plain digits, or groups of three digits after a first group of one to three
// that does not start with 0 ('1.250', '12.500.000'). The digits come back without the marks.
std::optional<QString> wholeDigits(QStringView whole)
{
    if (!whole.contains(QLatin1Char('.')))
        return allDigits(whole) ? std::optional(whole.toString()) : std::nullopt;
    QString digits;
    const auto groups = whole.split(QLatin1Char('.'));
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const QStringView group = groups.at(i);
        const bool fits
            = i == 0 ? group.size() >= 1 && group.size() <= 3 && group.front() != QLatin1Char('0') : group.size() == 3;
        if (!fits || !allDigits(group))
            return std::nullopt;
        digits += group;
    }
    return digits;
}

// An unsigned number of any width, as 32-bit limbs from the lowest.
using Wide = std::vector<quint32>;

void multiplySmall(Wide& n, quint32 factor)
{
    quint64 carry = 0;
    for (quint32& limb : n) {
        const quint64 product = quint64(limb) * factor + carry;
        limb = static_cast<quint32>(product);
        carry = product >> 32;
    }
    if (carry != 0)
        n.push_back(static_cast<quint32>(carry));
}

void add(Wide& n, const Wide& other)
{
    if (n.size() < other.size())
        n.resize(other.size(), 0);
    quint64 carry = 0;
    for (std::size_t i = 0; i < n.size(); ++i) {
        const quint64 sum = quint64(n[i]) + (i < other.size() ? other[i] : 0) + carry;
        n[i] = static_cast<quint32>(sum);
        carry = sum >> 32;
    }
    if (carry != 0)
        n.push_back(static_cast<quint32>(carry));
}

void multiply(Wide& n, quint64 factor)
{
    // n × (high·2^32 + low), the high part one limb up.
    Wide high = n;
    multiplySmall(high, static_cast<quint32>(factor >> 32));
    high.insert(high.begin(), 0);
    multiplySmall(n, static_cast<quint32>(factor));
    add(n, high);
}

// Divides by 10 and returns the remainder.
int divideBy10(Wide& n)
{
    quint64 remainder = 0;
    for (auto limb = n.rbegin(); limb != n.rend(); ++limb) {
        const quint64 current = (remainder << 32) | *limb;
        *limb = static_cast<quint32>(current / 10);
        remainder = current % 10;
    }
    return static_cast<int>(remainder);
}

bool isZero(const Wide& n)
{
    for (const quint32 limb : n) {
        if (limb != 0)
            return false;
    }
    return true;
}

void addOne(Wide& n)
{
    for (quint32& limb : n) {
        if (++limb != 0)
            return;
    }
    n.push_back(1);
}

// The magnitude grouped by thousands with two decimals: '1.234,50'.
QString grouped(quint64 magnitude)
{
    QString whole = QString::number(magnitude / 100);
    for (qsizetype i = whole.size() - 3; i > 0; i -= 3)
        whole.insert(i, QLatin1Char('.'));
    return whole + QLatin1Char(',') + QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
}

quint64 magnitudeOf(qint64 kurus)
{
    // Negated as an unsigned number, so that the lowest 64-bit value has a magnitude too.
    return kurus < 0 ? 0 - static_cast<quint64>(kurus) : static_cast<quint64>(kurus);
}

} // namespace

double Decimal::toDouble() const
{
    // The decimal text with an exponent, rounded once to the nearest double by the C library.
    const std::string text = std::to_string(digits) + "e-" + std::to_string(scale);
    const double value = std::strtod(text.c_str(), nullptr);
    return negative ? -value : value;
}

std::optional<Decimal> readDecimal(const QString& text)
{
    QStringView s = QStringView(text).trimmed();
    Decimal number;
    if (s.size() >= 2 && s.startsWith(QLatin1Char('(')) && s.endsWith(QLatin1Char(')'))) {
        number.negative = true;
        s = s.mid(1, s.size() - 2).trimmed();
    } else if (s.startsWith(QLatin1Char('-'))) {
        number.negative = true;
        s = s.mid(1);
    }
    const qsizetype comma = s.indexOf(QLatin1Char(','));
    QStringView fraction = comma < 0 ? QStringView() : s.mid(comma + 1);
    const auto whole = wholeDigits(comma < 0 ? s : s.left(comma));
    if (!whole || !allDigits(fraction) || (whole->isEmpty() && fraction.isEmpty()))
        return std::nullopt;
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    for (const QStringView part : {QStringView(*whole), fraction}) {
        for (const QChar c : part) {
            if (qMulOverflow(number.digits, quint64(10), &number.digits)
                || qAddOverflow(number.digits, quint64(c.unicode() - u'0'), &number.digits))
                return std::nullopt;
        }
    }
    number.scale = fraction.size();
    if (number.digits == 0)
        number.negative = false;
    return number;
}

std::optional<qint64> productKurus(std::initializer_list<Decimal> factors)
{
    Wide n {1};
    bool negative = false;
    qsizetype scale = 0;
    for (const Decimal& factor : factors) {
        multiply(n, factor.digits);
        negative = negative != factor.negative;
        scale += factor.scale;
    }
    for (; scale < 2; ++scale)
        multiply(n, 10);
    // Halves go away from zero: the first digit cut off decides.
    int firstCut = 0;
    for (; scale > 2; --scale) {
        if (isZero(n)) {
            firstCut = 0;
            break;
        }
        firstCut = divideBy10(n);
    }
    if (firstCut >= 5)
        addOne(n);
    for (std::size_t i = 2; i < n.size(); ++i) {
        if (n[i] != 0)
            return std::nullopt;
    }
    const quint64 magnitude = quint64(n.at(0)) | (n.size() > 1 ? quint64(n.at(1)) << 32 : 0);
    const quint64 limit = quint64(std::numeric_limits<qint64>::max()) + (negative ? 1 : 0);
    if (magnitude > limit)
        return std::nullopt;
    return negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
}

std::optional<qint64> readKurus(const QString& text)
{
    const auto number = readDecimal(text);
    return number ? productKurus({*number}) : std::nullopt;
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

QString totals(qint64 kurus)
{
    const QString text = grouped(magnitudeOf(kurus));
    return kurus < 0 ? QLatin1Char('-') + text : text;
}

QString entry(qint64 kurus)
{
    const QString text = grouped(magnitudeOf(kurus));
    return kurus < 0 ? QLatin1Char('(') + text + QLatin1Char(')') : text;
}

QString reformatTotals(const QString& text)
{
    const auto kurus = readKurus(text);
    return kurus ? totals(*kurus) : text;
}

QString reformatEntry(const QString& text)
{
    const auto kurus = readKurus(text);
    return kurus ? entry(*kurus) : text;
}

} // namespace zelvora::numbers
