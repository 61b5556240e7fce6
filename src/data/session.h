// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

// Who is signed in to this program: the sign-in window sets it, the stores that write movements or keep deleted
// rows name that user. Empty before anyone signed in (the command line, tests that do not sign in).
namespace zelvora::session {

void setUser(const QString& name);
QString user();

// The moment a row is stored or deleted, as it is kept beside the row: "YYYY-MM-DD HH:MM:SS" from the program's
// clock.
QString stamp();

} // namespace zelvora::session
