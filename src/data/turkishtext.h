// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPair>
#include <QString>
#include <QStringView>

namespace zelvora::turkish {

// Key whose binary order is Turkish alphabetical order, letter case ignored
// (A B C Ç D E F G Ğ H I İ J K L M N O Ö P R S Ş T U Ü V Y Z; digits and signs before letters).
QString sortKey(const QString& name);

// The order of two sort keys as SQLite orders them when stored (by code point, so a character beyond U+FFFF
// comes after the letters' keys); every sort in the program's own code compares keys with it, so the lists it
// sorts agree with the ones the database sorts.
int compareSortKeys(QStringView a, QStringView b);
inline bool sortKeyLess(QStringView a, QStringView b)
{
    return compareSortKeys(a, b) < 0;
}

// Key for prefix search: letter case ignored and each Turkish letter taken as its plain twin
// (ç=c, ğ=g, ı=i=İ=I, ö=o, ş=s, ü=u), so "ah" finds AHMET and Ahşap.
QString searchKey(const QString& text);

// The smallest text greater than every text that begins with prefix (for an index range).
QString prefixUpperBound(const QString& prefix);

// The range [first, second) of sort keys that holds the sort key of every name whose search key begins with
// searchPrefix (a search key itself). Each plain letter that has a Turkish twin stands for both, so the
// range may hold other names too; it never leaves a match out.
QPair<QString, QString> sortKeyRange(const QString& searchPrefix);

} // namespace zelvora::turkish
