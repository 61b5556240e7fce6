// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace zelvora::passwords {

// A salted Argon2id hash (libsodium, interactive limits) in libsodium's own text form; empty when the
// hash cannot be made (libsodium unavailable or out of memory).
QString hash(const QString& password);

// True when stored is a hash of this library's form rather than a password kept as typed.
bool isHash(const QString& stored);

// Exact check: letter case and trailing blanks count. A stored value that is not a hash is compared as text.
bool matches(const QString& stored, const QString& typed);

} // namespace zelvora::passwords
