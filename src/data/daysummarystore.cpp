// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/daysummarystore.h"

#include "data/database.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"

#include <QSqlQuery>
#include <algorithm>

namespace zelvora {

namespace {

bool tooLarge(QString* error)
{
    if (error)
        *error = QStringLiteral("Günün tutarları hesaplanamayacak kadar büyük.");
    return false;
}

// A sum as the engine hands it out: an integer on SQLite, a numeric text on the server; 0 for none.
bool readSum(const QVariant& value, qint64* out)
{
    if (value.isNull()) {
        *out = 0;
        return true;
    }
    bool ok = false;
    *out = value.toString().toLongLong(&ok);
    return ok;
}

bool add(DayUserTotal& to, const DayUserTotal& from)
{
    return !__builtin_add_overflow(to.eklenen, from.eklenen, &to.eklenen)
        && !__builtin_add_overflow(to.odenen, from.odenen, &to.odenen)
        && !__builtin_add_overflow(to.count, from.count, &to.count);
}

} // namespace

QString DaySummaryStore::dayTotalsSql()
{
    // The day as a range: through the index on Tarih, and a stored date that carries a time of day still falls
    // on its day.
    return QStringLiteral("SELECT Kullanici, SUM(Eklenen), SUM(Odenen), COUNT(*) FROM veresiye "
                          "WHERE Tarih >= ? AND Tarih < ? GROUP BY Kullanici");
}

std::optional<DaySummary> DaySummaryStore::summary(const QDate& day, QString* error) const
{
    DaySummary result;
    result.day = day;
    const QString from = dates::isoDate(day);
    const QString until = dates::isoDate(day.addDays(1));

    QSqlQuery totals = m_db.prepare(dayTotalsSql());
    totals.setForwardOnly(true);
    if (!Database::runWith(totals, {from, until}, error))
        return std::nullopt;
    DayUserTotal unrecorded;
    while (totals.next()) {
        DayUserTotal row;
        row.kullanici = totals.value(0).toString().trimmed();
        if (!readSum(totals.value(1), &row.eklenen) || !readSum(totals.value(2), &row.odenen)) {
            tooLarge(error);
            return std::nullopt;
        }
        row.count = totals.value(3).toLongLong();
        if (!add(result.total, row)) {
            tooLarge(error);
            return std::nullopt;
        }
        // NULL and an empty name are both "not recorded": one row.
        if (row.kullanici.isEmpty())
            add(unrecorded, row);
        else
            result.users.append(std::move(row));
    }
    std::sort(result.users.begin(), result.users.end(), [](const DayUserTotal& a, const DayUserTotal& b) {
        return turkish::sortKeyLess(turkish::sortKey(a.kullanici), turkish::sortKey(b.kullanici));
    });
    if (unrecorded.count > 0)
        result.users.append(unrecorded);

    // The balance after the day is summed from the customer's movements up to the day (those without a date
    // count as earlier, as in the statement), not taken from the stored balance: that one is empty until the
    // account is first opened and misses what another tool wrote, and the statement of the same day shows
    // the same closing balance this way. Only customers with a limit and a movement on the day are summed.
    QSqlQuery over = m_db.prepare(QStringLiteral(
        "SELECT m.mus_kodu, m.MusteriFirma, m.KrediLimiti, "
        "(SELECT SUM(v.Eklenen) FROM veresiye v WHERE v.mus_kodu = m.mus_kodu AND (v.Tarih IS NULL OR v.Tarih < ?)), "
        "(SELECT SUM(v.Odenen) FROM veresiye v WHERE v.mus_kodu = m.mus_kodu AND (v.Tarih IS NULL OR v.Tarih < ?)) "
        "FROM musteriler m WHERE m.KrediLimiti IS NOT NULL AND m.mus_kodu IN "
        "(SELECT d.mus_kodu FROM veresiye d WHERE d.Tarih >= ? AND d.Tarih < ?)"));
    over.setForwardOnly(true);
    if (!Database::runWith(over, {until, until, from, until}, error))
        return std::nullopt;
    while (over.next()) {
        const std::optional<qint64> limit = Database::wholeNumber(over.value(2));
        qint64 added = 0;
        qint64 paid = 0;
        qint64 balance = 0;
        if (!readSum(over.value(3), &added) || !readSum(over.value(4), &paid)
            || __builtin_sub_overflow(added, paid, &balance)) {
            tooLarge(error);
            return std::nullopt;
        }
        if (!limit || balance <= *limit)
            continue;
        result.overLimit.append({over.value(0).toString(), over.value(1).toString(), *limit, balance});
    }
    std::sort(result.overLimit.begin(), result.overLimit.end(),
              [](const OverLimitCustomer& a, const OverLimitCustomer& b) {
                  // Customer numbers are digits: the shorter is the smaller.
                  if (a.musKodu.size() != b.musKodu.size())
                      return a.musKodu.size() < b.musKodu.size();
                  return a.musKodu < b.musKodu;
              });
    return result;
}

} // namespace zelvora
