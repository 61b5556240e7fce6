// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zelvora::uppercase {

// Upper case under the plain, language-neutral mapping: i becomes I, ı becomes I, ç becomes Ç.
QString plain(const QString& text);

// Turkish upper case of a user name, in six steps: each step replaces every small i, ş, ö, ü, ı, ğ in turn
// (i by İ, ı by I) and then upper-cases the whole text with the plain mapping. A pasted çiğdem becomes ÇİĞDEM.
QString turkish(const QString& text);

} // namespace zelvora::uppercase
