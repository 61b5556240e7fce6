// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace zelvora {

class Database;

// A write that failed because the server went away: nothing of it is stored, what was typed stays, and the same
// action stores it once the server is back. Only a COMMIT lost on its way may have arrived; then the user is told
// to look before doing it again.
struct LostWrite
{
    QString notStored; // "; kayıt yapılmadı. Bağlantı gelince yeniden deneyin."
    QString unknown; // "; kaydın yapılıp yapılmadığı bilinmiyor. ..."
};

// Shows "Sunucuya (host:port) ulaşılamıyor" with the fitting half of `write` ("Bağlantı Hatası") when db's server
// is lost; false, showing nothing, when it is not (the failure is the caller's to report).
bool reportLostServer(QWidget* parent, const Database& db, const LostWrite& write);

} // namespace zelvora
