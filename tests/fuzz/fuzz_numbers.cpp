// SPDX-License-Identifier: GPL-3.0-or-later
// The Turkish number reader and the money writers: any text is read without harm, and every amount the program
// writes reads back as the same kuruş.
#include "data/numberformat.h"
#include "fuzzsupport.h"

#include <cmath>

using namespace zelvora;
using fuzz::check;

namespace {

QString show(qint64 kurus, const QString& written)
{
    return QString::number(kurus) + QStringLiteral(" -> ") + written;
}

void writtenReadsBack(qint64 kurus)
{
    const QString t = numbers::totals(kurus);
    check(numbers::readKurus(t) == kurus, "totals() reads back as the same kuruş", show(kurus, t));
    const QString e = numbers::entry(kurus);
    check(numbers::readKurus(e) == kurus, "entry() reads back as the same kuruş", show(kurus, e));
    check(numbers::reformatTotals(t) == t, "a totals text keeps its form", t);
    check(numbers::reformatEntry(t) == e, "a totals text takes the entry form", t);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    writtenReadsBack(in.take<qint64>());

    // A real number from a file, rounded to kuruş: its six-decimal text is rounded, so a hair past half a kuruş
    // (at most half a millionth of a lira) is the most it can be off.
    const double real = in.take<double>();
    if (const auto k = numbers::toKurus(real)) {
        writtenReadsBack(*k);
        check(std::abs(double(*k) - real * 100) <= 0.5 + 5e-5 + std::abs(real) * 1e-12, "toKurus rounds to the nearest",
              numbers::plain(real) + QStringLiteral(" -> ") + QString::number(*k));
    }

    // Typed text: whatever reads as money is written and read back unchanged.
    const QString a = in.takeText();
    const QString b = in.takeText();
    for (const QString& text : {a, b}) {
        if (const auto k = numbers::readKurus(text)) {
            writtenReadsBack(*k);
            check(numbers::reformatTotals(text) == numbers::totals(*k), "reformatTotals of an amount", text);
        } else {
            check(numbers::reformatTotals(text) == text, "text that is not money stays as it is", text);
        }
    }
    // The exact product does not depend on the order of its factors.
    const auto x = numbers::readDecimal(a);
    const auto y = numbers::readDecimal(b);
    if (x && y)
        check(numbers::productKurus({*x, *y}) == numbers::productKurus({*y, *x}), "the product commutes",
              a + QStringLiteral(" × ") + b);
    return 0;
}
