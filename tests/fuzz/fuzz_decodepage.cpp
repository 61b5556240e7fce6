// SPDX-License-Identifier: GPL-3.0-or-later
// Page decoding: any body and Content-Type decode without harm; a Turkish page reads back as its own text
// when it says its code page, and when it says nothing at all, in Windows-1254 and in UTF-8 alike.
#include "fuzzsupport.h"
#include "update/httptransfer.h"

using namespace zelvora;
using fuzz::check;

namespace {

// Turkish letters with their Windows-1254 bytes, and the plain characters a rates page holds.
constexpr struct
{
    char16_t letter;
    unsigned char byte;
} kTurkish[] = {{u'Ç', 0xC7}, {u'ç', 0xE7}, {u'Ğ', 0xD0}, {u'ğ', 0xF0}, {u'İ', 0xDD}, {u'ı', 0xFD},
                {u'Ö', 0xD6}, {u'ö', 0xF6}, {u'Ş', 0xDE}, {u'ş', 0xFE}, {u'Ü', 0xDC}, {u'ü', 0xFC}};
constexpr char kPlain[] = "ABCDEFGHIJKLMNOPRSTUVYZabcdefghijklmnoprstuvyz0123456789 .,:-\r\n\t";

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    const QByteArray contentType = in.takeField();
    const QByteArray body = in.takeField();
    HttpTransfer::decodePage(body, contentType);
    HttpTransfer::decodePage(body, {});

    QString text;
    QByteArray windows1254;
    for (int n = in.takeIn<int>(0, 200); n > 0; --n) {
        const auto pick = in.take<std::uint8_t>();
        if (pick < 96) {
            const auto& t = kTurkish[pick % std::size(kTurkish)];
            text += QChar(t.letter);
            windows1254 += char(t.byte);
        } else {
            const char c = kPlain[pick % (sizeof(kPlain) - 1)];
            text += QLatin1Char(c);
            windows1254 += c;
        }
    }
    check(HttpTransfer::decodePage(windows1254, {}) == text, "an undeclared Windows-1254 page reads back", text);
    check(HttpTransfer::decodePage(text.toUtf8(), {}) == text, "an undeclared UTF-8 page reads back", text);
    check(HttpTransfer::decodePage(windows1254, "text/html; charset=windows-1254") == text,
          "a declared Windows-1254 page reads back", text);
    check(HttpTransfer::decodePage(text.toUtf8(), "text/html; Charset=\"UTF-8\"") == text,
          "a declared UTF-8 page reads back", text);
    return 0;
}
