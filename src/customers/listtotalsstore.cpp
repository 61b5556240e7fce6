// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/listtotalsstore.h"

#include "data/database.h"
#include "data/numberformat.h"

#include <QSqlQuery>
#include <QVariant>

namespace zelvora {

namespace {

// A sum as whole kuruş. SQLite sums integers exactly; a balance written as a real number by another tool
// turns the sum into a real, which is rounded to the kuruş.
std::optional<qint64> kurus(const QVariant& sum)
{
    if (sum.isNull())
        return 0;
    if (sum.typeId() == QMetaType::Double)
        return numbers::toKurus(sum.toDouble() / 100.0);
    bool ok = false;
    const qint64 value = sum.toLongLong(&ok);
    return ok ? std::optional<qint64>(value) : std::nullopt;
}

} // namespace

std::optional<ListTotals> ListTotalsStore::sums(QString* error) const
{
    // Two sums as the triggers of the table keep them; a type nobody has is no row, read as 0.
    std::optional<qint64> totals[2];
    const QString types[2] = {QStringLiteral("Alıcı"), QStringLiteral("Satıcı")};
    for (int i = 0; i < 2; ++i) {
        QSqlQuery query = m_db.prepare(QStringLiteral("SELECT (SELECT Bakiye FROM liste_toplami WHERE Turu = ?)"));
        if (!Database::runWith(query, {types[i]}, error) || !query.next()) {
            if (error && error->isEmpty())
                *error = Database::errorText(query);
            return std::nullopt;
        }
        totals[i] = kurus(query.value(0));
        if (!totals[i]) {
            if (error)
                *error = QStringLiteral("Bakiye toplamı okunamadı.");
            return std::nullopt;
        }
    }
    return ListTotals {*totals[0], *totals[1]};
}

} // namespace zelvora
