// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/collectionstore.h"

#include "data/database.h"
#include "data/dateformat.h"

#include <QSqlQuery>
#include <algorithm>

namespace zelvora {

std::optional<QVector<CollectionRow>> CollectionStore::rows(const QDate& today, qint64 minDays, QString* error) const
{
    // Per customer: the last payment and the first movement, each through the customer's own movements.
    QSqlQuery q = m_db.prepare(
        QStringLiteral("SELECT m.mus_kodu, m.MusteriFirma, m.Telefon1, m.Telefon2, m.Bakiye, "
                       "(SELECT MAX(v.Tarih) FROM veresiye v WHERE v.mus_kodu = m.mus_kodu AND v.Odenen > 0), "
                       "(SELECT MIN(v.Tarih) FROM veresiye v WHERE v.mus_kodu = m.mus_kodu AND v.Tarih IS NOT NULL) "
                       "FROM musteriler m WHERE m.Bakiye > ?"));
    q.setForwardOnly(true);
    if (!Database::runWith(q, {qint64(0)}, error))
        return std::nullopt;
    QVector<CollectionRow> result;
    while (q.next()) {
        CollectionRow row;
        row.musKodu = q.value(0).toString();
        row.musteriFirma = q.value(1).toString();
        row.telefon1 = q.value(2).toString().trimmed();
        row.telefon2 = q.value(3).toString().trimmed();
        row.bakiye = q.value(4).toLongLong();
        const QString paid = q.value(5).toString();
        const QString since = paid.isEmpty() ? q.value(6).toString() : paid;
        if (const std::optional<QDate> date = dates::readDate(since.left(10)))
            row.days = -dates::dayCount(*date, today);
        if (!paid.isEmpty())
            row.lastPayment = paid.left(10);
        result.append(std::move(row));
    }
    std::sort(result.begin(), result.end(), [](const CollectionRow& a, const CollectionRow& b) {
        if (a.days.has_value() != b.days.has_value())
            return a.days.has_value();
        if (a.days != b.days)
            return *a.days > *b.days;
        if (a.bakiye != b.bakiye)
            return a.bakiye > b.bakiye;
        // Customer numbers are digits: the shorter is the smaller.
        if (a.musKodu.size() != b.musKodu.size())
            return a.musKodu.size() < b.musKodu.size();
        return a.musKodu < b.musKodu;
    });
    return waitingAtLeast(result, minDays);
}

QVector<CollectionRow> CollectionStore::waitingAtLeast(const QVector<CollectionRow>& rows, qint64 minDays)
{
    QVector<CollectionRow> result;
    result.reserve(rows.size());
    for (const CollectionRow& row : rows)
        if (!row.days || *row.days >= minDays)
            result.append(row);
    return result;
}

std::optional<qint64> CollectionStore::totalOwed(const QVector<CollectionRow>& rows)
{
    qint64 total = 0;
    for (const CollectionRow& row : rows) {
        if (__builtin_add_overflow(total, row.bakiye, &total))
            return std::nullopt;
    }
    return total;
}

} // namespace zelvora
