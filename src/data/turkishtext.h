#pragma once

#include <QString>

namespace zelvora::turkish {

// Key whose binary order is Turkish alphabetical order, letter case ignored
// (A B C Ç D E F G Ğ H I İ J K L M N O Ö P R S Ş T U Ü V Y Z; digits and signs before letters).
QString sortKey(const QString& name);

// Key for prefix search: letter case ignored and each Turkish letter taken as its plain twin
// (ç=c, ğ=g, ı=i=İ=I, ö=o, ş=s, ü=u), so "ah" finds AHMET and Ahşap.
QString searchKey(const QString& text);

// The smallest text greater than every text that begins with prefix (for an index range).
QString prefixUpperBound(const QString& prefix);

} // namespace zelvora::turkish
