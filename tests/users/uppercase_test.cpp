// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/uppercase.h"

#include <gtest/gtest.h>

using namespace zelvora;

namespace {

TEST(TurkishUpper, LeavingTheNameBox)
{
    const struct
    {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {
        {u"çiğdem", u"ÇİĞDEM"},
        {u"istanbul", u"İSTANBUL"},
        {u"ılık", u"ILIK"},
        {u"Işıl", u"IŞIL"},
        {u"şükrü öz", u"ŞÜKRÜ ÖZ"},
        {u"ali'nin", u"ALİ'NİN"},
        // A name typed key by key arrives as ALI and keeps its undotted I.
        {u"ALI", u"ALI"},
        {u"ÇİĞDEM", u"ÇİĞDEM"},
        {u"ahmet 2", u"AHMET 2"},
        {u"", u""},
    };
    for (const auto& c : cases) {
        const QString in = QString::fromUtf16(c.in);
        EXPECT_EQ(uppercase::turkish(in), QString::fromUtf16(c.out)) << in.toStdString();
    }
}

TEST(PlainUpper, TypedCharactersUseTheLanguageNeutralMapping)
{
    const struct
    {
        const char16_t* in;
        const char16_t* out;
    } cases[] = {{u"i", u"I"}, {u"ı", u"I"}, {u"ç", u"Ç"},     {u"ş", u"Ş"}, {u"ğ", u"Ğ"},
                 {u"ö", u"Ö"}, {u"ü", u"Ü"}, {u"a1-", u"A1-"}, {u"İ", u"İ"}};
    for (const auto& c : cases)
        EXPECT_EQ(uppercase::plain(QString::fromUtf16(c.in)), QString::fromUtf16(c.out));
}

} // namespace
