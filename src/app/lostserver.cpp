// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lostserver.h"

#include "app/messagebox.h"
#include "data/database.h"

namespace zelvora {

bool reportLostServer(QWidget* parent, const Database& db, const LostWrite& write)
{
    if (!db.isLost())
        return false;
    MessageBox::ok(parent, db.unreachableText() + (db.commitOutcomeUnknown() ? write.unknown : write.notStored),
                   QStringLiteral("Bağlantı Hatası"), MessageBox::Icon::Stop);
    return true;
}

} // namespace zelvora
