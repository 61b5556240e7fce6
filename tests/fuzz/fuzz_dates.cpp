// SPDX-License-Identifier: GPL-3.0-or-later
// Dates and times: any text is read without harm, and every date and time the program writes, in the short
// form shown in the windows and in the stored form, reads back as the same.
#include "data/dateformat.h"
#include "fuzzsupport.h"

using namespace zelvora;
using fuzz::check;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

namespace {

void writtenReadsBack(const QDate& date)
{
    // Four-digit years are what both forms hold.
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return;
    const QString shown = dates::shortDate(date);
    check(dates::readDate(shown) == date, "shortDate reads back", shown);
    const QString stored = dates::isoDate(date);
    check(dates::readDate(stored) == date, "isoDate reads back", stored);
    check(dates::storedDateForDisplay(stored) == shown, "a stored date is shown in the short form", stored);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    // Any day from year 1 to 9999.
    writtenReadsBack(QDate(1, 1, 1).addDays(in.takeIn<qint64>(0, 3652058)));
    const QTime time = QTime::fromMSecsSinceStartOfDay(in.takeIn<int>(0, 86399) * 1000);
    check(dates::readTime(dates::shortTime(time)) == time, "shortTime reads back", dates::shortTime(time));
    check(dates::readTime(dates::isoTime(time)) == time, "isoTime reads back", dates::isoTime(time));

    const QString text = in.takeText();
    if (const auto date = dates::readDate(text)) {
        check(date->isValid(), "readDate gives only valid dates", text);
        writtenReadsBack(*date);
    }
    if (const auto t = dates::readTime(text)) {
        check(t->isValid(), "readTime gives only valid times", text);
        check(dates::readTime(dates::shortTime(*t)) == *t, "a time read is written and read back", text);
    }
    dates::storedDateForDisplay(text);
    return 0;
}
