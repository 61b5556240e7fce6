// SPDX-License-Identifier: GPL-3.0-or-later
// The Turkish name keys. Sort keys order names by the Turkish alphabet, letter case ignored, signs and digits
// first; the order of two keys is the same whether the program compares them (QString, the user list and the
// export, through compareSortKeys) or SQLite does (UTF-8 bytes, the customer list); and the key range of a search
// prefix holds every name the prefix finds.
#include "data/turkishtext.h"
#include "fuzzsupport.h"

#include <QStringList>
#include <QStringView>
#include <compare>
#include <cstring>

using namespace zelvora;
using fuzz::check;

namespace {

// Lower and capital of each letter, in alphabet order.
constexpr const char16_t* kLetters[]
    = {u"aA", u"bB", u"cC", u"çÇ", u"dD", u"eE", u"fF", u"gG", u"ğĞ", u"hH", u"ıI", u"iİ", u"jJ", u"kK", u"lL", u"mM",
       u"nN", u"oO", u"öÖ", u"pP", u"qQ", u"rR", u"sS", u"şŞ", u"tT", u"uU", u"üÜ", u"vV", u"wW", u"xX", u"yY", u"zZ"};
constexpr char16_t kSigns[] = u" .-&'/0123456789";

// A name drawn from Turkish letters, digits and signs.
QString turkishName(fuzz::Input& in)
{
    QString name;
    for (int n = in.takeIn<int>(0, 8); n > 0; --n) {
        const auto pick = in.take<std::uint8_t>();
        const std::size_t letters = std::size(kLetters) * 2;
        if (pick % 64 < letters)
            name += QChar(kLetters[pick % 64 / 2][pick % 2]);
        else
            name += QChar(kSigns[pick % (std::size(kSigns) - 1)]);
    }
    return name;
}

// The order the rule states: signs and digits by their code, then the letters in alphabet order.
int weight(QChar c)
{
    for (std::size_t i = 0; i < std::size(kLetters); ++i)
        if (c == QChar(kLetters[i][0]) || c == QChar(kLetters[i][1]))
            return 0x10000 + int(i);
    return c.unicode();
}

int expectedOrder(const QString& a, const QString& b)
{
    for (qsizetype i = 0; i < a.size() && i < b.size(); ++i)
        if (weight(a[i]) != weight(b[i]))
            return weight(a[i]) < weight(b[i]) ? -1 : 1;
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int sign(int n)
{
    return (n > 0) - (n < 0);
}

// SQLite's BINARY order of the keys as stored: their UTF-8 bytes.
int sqlOrder(const QString& a, const QString& b)
{
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    const int c = std::memcmp(x.constData(), y.constData(), std::size_t(std::min(x.size(), y.size())));
    return c != 0 ? sign(c) : sign(int(x.size() - y.size()));
}

// The order the program's own sorts use.
int programOrder(const QString& a, const QString& b)
{
    return sign(turkish::compareSortKeys(a, b));
}

// Prefixes of a search key cut between whole characters.
QStringList prefixes(const QString& key)
{
    QStringList out;
    for (qsizetype i = 0; i <= key.size(); ++i)
        if (i == key.size() || !key[i].isLowSurrogate())
            out.append(key.left(i));
    return out;
}

QString both(const QString& a, const QString& b)
{
    return QStringLiteral("'%1' / '%2'").arg(a, b);
}

void rangeHoldsEveryMatch(const QString& name)
{
    // U+10FFFF is the range's own upper sentinel and a noncharacter that no typed name holds; a name ending in
    // it is the one the range leaves out.
    if (name.contains(QString::fromUcs4(U"\U0010FFFF", 1)))
        return;
    const QString sortKey = turkish::sortKey(name);
    for (const QString& prefix : prefixes(turkish::searchKey(name))) {
        const auto [low, high] = turkish::sortKeyRange(prefix);
        check(sqlOrder(low, sortKey) <= 0 && sqlOrder(sortKey, high) < 0,
              "the key range of a search prefix holds the names it finds", both(name, prefix));
    }
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
    const QString a = turkishName(in);
    const QString b = turkishName(in);
    const int expected = expectedOrder(a, b);
    const QString ka = turkish::sortKey(a);
    const QString kb = turkish::sortKey(b);
    check(programOrder(ka, kb) == expected, "sort keys follow the Turkish alphabet", both(a, b));
    check(sqlOrder(ka, kb) == expected, "stored sort keys follow the Turkish alphabet", both(a, b));
    rangeHoldsEveryMatch(a);

    // Any text at all: the program's comparison and SQLite's agree, and search ranges hold.
    const QString x = in.takeText();
    const QString y = in.takeText();
    const QString kx = turkish::sortKey(x);
    const QString ky = turkish::sortKey(y);
    check(programOrder(kx, ky) == sqlOrder(kx, ky), "the program and SQLite order sort keys alike", both(x, y));
    check(programOrder(kx, kx) == 0, "a key equals itself", x);
    rangeHoldsEveryMatch(x);
    rangeHoldsEveryMatch(y);
    return 0;
}
