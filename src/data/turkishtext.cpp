// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/turkishtext.h"

#include <algorithm>

namespace zelvora::turkish {

namespace {

// Turkish capital of one character; the dotless and dotted i stay apart.
QChar turkishUpper(QChar c)
{
    switch (c.unicode()) {
    case u'i':
        return QChar(u'İ');
    case u'ı':
        return QChar(u'I');
    case u'â':
    case u'Â':
        return QChar(u'A');
    case u'î':
    case u'Î':
        return QChar(u'İ');
    case u'û':
    case u'Û':
        return QChar(u'U');
    default:
        return c.toUpper();
    }
}

constexpr char16_t kAlphabet[] = u"ABCÇDEFGĞHIİJKLMNOÖPQRSŞTUÜVWXYZ";

// Letters map into the private-use area in alphabet order, above every digit and sign.
constexpr char16_t kLetterBase = 0xE000;

} // namespace

QString sortKey(const QString& name)
{
    const QStringView alphabet(kAlphabet);
    QString key;
    key.reserve(name.size());
    for (const QChar c : name) {
        const QChar upper = turkishUpper(c);
        const qsizetype index = alphabet.indexOf(upper);
        key += index >= 0 ? QChar(char16_t(kLetterBase + index)) : upper;
    }
    return key;
}

int compareSortKeys(QStringView a, QStringView b)
{
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode();
        char16_t y = b[i].unicode();
        if (x == y)
            continue;
        // UTF-16 units in code point order: surrogates (characters beyond U+FFFF) after U+E000..U+FFFF.
        if (x >= 0xD800 && y >= 0xD800) {
            x = x >= 0xE000 ? char16_t(x - 0x800) : char16_t(x + 0x2000);
            y = y >= 0xE000 ? char16_t(y - 0x800) : char16_t(y + 0x2000);
        }
        return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

QString searchKey(const QString& text)
{
    QString key;
    key.reserve(text.size());
    for (const QChar c : text) {
        switch (turkishUpper(c).unicode()) {
        case u'Ç':
            key += QLatin1Char('C');
            break;
        case u'Ğ':
            key += QLatin1Char('G');
            break;
        case u'İ':
            key += QLatin1Char('I');
            break;
        case u'Ö':
            key += QLatin1Char('O');
            break;
        case u'Ş':
            key += QLatin1Char('S');
            break;
        case u'Ü':
            key += QLatin1Char('U');
            break;
        default:
            key += turkishUpper(c);
        }
    }
    return key;
}

QString prefixUpperBound(const QString& prefix)
{
    return prefix + QString::fromUcs4(U"\U0010FFFF", 1);
}

QPair<QString, QString> sortKeyRange(const QString& searchPrefix)
{
    const QStringView alphabet(kAlphabet);
    QString low;
    QString high;
    for (const QChar c : searchPrefix) {
        const qsizetype index = alphabet.indexOf(c);
        if (index < 0) {
            low += c;
            high += c;
            continue;
        }
        low += QChar(char16_t(kLetterBase + index));
        // The twin follows its plain letter in the alphabet: C Ç, G Ğ, I İ, O Ö, S Ş, U Ü.
        const bool hasTwin = QStringView(u"CGIOSU").contains(c);
        high += QChar(char16_t(kLetterBase + index + (hasTwin ? 1 : 0)));
    }
    return {low, prefixUpperBound(high)};
}

} // namespace zelvora::turkish
