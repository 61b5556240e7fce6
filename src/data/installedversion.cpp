// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/installedversion.h"

#include "data/database.h"

#include <QSqlQuery>

namespace zelvora {

std::optional<QString> installedVersion(const Database& db, QString* error)
{
    QSqlQuery query = db.prepare(QStringLiteral("SELECT surum FROM surum"));
    if (!Database::run(query)) {
        if (error)
            *error = Database::errorText(query);
        return std::nullopt;
    }
    return query.next() ? query.value(0).toString() : QString();
}

} // namespace zelvora
