// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/statementstore.h"

#include "data/database.h"
#include "data/dateformat.h"

#include <QSqlQuery>

namespace zelvora {

namespace {

bool tooLarge(QString* error)
{
    if (error)
        *error = QStringLiteral("Hesabın tutarları hesaplanamayacak kadar büyük.");
    return false;
}

// balance += added - paid, false when a step leaves 64 bits.
bool move(qint64& balance, qint64 added, qint64 paid)
{
    qint64 result = 0;
    if (__builtin_add_overflow(balance, added, &result) || __builtin_sub_overflow(result, paid, &result))
        return false;
    balance = result;
    return true;
}

} // namespace

std::optional<AccountStatement> StatementStore::statement(const QString& musKodu, const QDate& first, const QDate& last,
                                                          QString* error) const
{
    AccountStatement result;
    // ISO dates compare as text; the day after the last one bounds the range, so a stored date that carries a
    // time of day still falls on its day.
    const QString from = dates::isoDate(first);
    const QString until = dates::isoDate(last.addDays(1));

    QSqlQuery before = m_db.prepare(QStringLiteral("SELECT SUM(Eklenen), SUM(Odenen) FROM veresiye "
                                                   "WHERE mus_kodu = ? AND (Tarih IS NULL OR Tarih < ?)"));
    before.setForwardOnly(true);
    if (!Database::runWith(before, {musKodu, from}, error))
        return std::nullopt;
    if (before.next() && !move(result.carriedIn, before.value(0).toLongLong(), before.value(1).toLongLong())) {
        tooLarge(error);
        return std::nullopt;
    }

    QSqlQuery range = m_db.prepare(QStringLiteral("SELECT id, Tarih, Saat, Aciklama, Eklenen, Odenen FROM veresiye "
                                                  "WHERE mus_kodu = ? AND Tarih >= ? AND Tarih < ? "
                                                  "ORDER BY Tarih, Saat, id"));
    range.setForwardOnly(true);
    if (!Database::runWith(range, {musKodu, from, until}, error))
        return std::nullopt;
    qint64 balance = result.carriedIn;
    while (range.next()) {
        StatementLine line;
        line.id = range.value(0).toLongLong();
        line.tarih = range.value(1).toString();
        line.saat = range.value(2).toString();
        line.aciklama = range.value(3).toString();
        line.eklenen = range.value(4).toLongLong();
        line.odenen = range.value(5).toLongLong();
        if (!move(balance, line.eklenen, line.odenen)
            || __builtin_add_overflow(result.totalAdded, line.eklenen, &result.totalAdded)
            || __builtin_add_overflow(result.totalPaid, line.odenen, &result.totalPaid)) {
            tooLarge(error);
            return std::nullopt;
        }
        line.balance = balance;
        result.lines.append(std::move(line));
    }
    result.closing = balance;
    return result;
}

} // namespace zelvora
