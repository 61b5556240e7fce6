// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/collectionstore.h"

#include "data/database.h"
#include "data/dateformat.h"

#include <QSqlQuery>
#include <algorithm>

namespace zelvora {

namespace {

// The customer's columns, and whether it has a dated payment (then the wait counts from the last one).
const QString kColumns = QStringLiteral(
    "m.mus_kodu, m.MusteriFirma, m.Telefon1, m.Telefon2, m.Bakiye, m.BeklemeTarihi, m.KrediLimiti, "
    "CASE WHEN (SELECT max(v.Tarih) FROM veresiye v WHERE v.mus_kodu = m.mus_kodu AND v.Odenen > 0) IS NOT NULL "
    "THEN 1 ELSE 0 END");

// d0 when it is a real YYYY-MM-DD date, else null.
QString validDateSql(Engine engine, const QString& d0)
{
    if (engine == Engine::PostgreSQL)
        return QStringLiteral("CASE WHEN zv_gun_no(%1) IS NOT NULL THEN %1 END").arg(d0);
    return QStringLiteral("CASE WHEN date(%1) = %1 THEN %1 END").arg(d0);
}

CollectionRow readRow(const QSqlQuery& q, const QDate& today)
{
    CollectionRow row;
    row.musKodu = q.value(0).toString();
    row.musteriFirma = q.value(1).toString();
    row.telefon1 = q.value(2).toString().trimmed();
    row.telefon2 = q.value(3).toString().trimmed();
    row.bakiye = q.value(4).toLongLong();
    row.since = q.value(5).toString();
    if (!q.value(6).isNull())
        row.krediLimiti = q.value(6).toLongLong();
    if (const std::optional<QDate> date = dates::readDate(row.since)) {
        row.days = -dates::dayCount(*date, today);
        if (q.value(7).toInt() == 1)
            row.lastPayment = row.since;
    }
    return row;
}

// The rows of part kept by the filter; values to bind appended to *values.
QString partWhere(CollectionStore::Part part, const CollectionStore::Filter& filter, QVariantList* values)
{
    // "Bakiye > 0" as it stands, so that the partial index is used.
    if (part == CollectionStore::Part::Undated)
        return QStringLiteral("m.Bakiye > 0 AND m.BeklemeTarihi IS NULL");
    if (filter.minDays <= 0)
        return QStringLiteral("m.Bakiye > 0 AND m.BeklemeTarihi IS NOT NULL");
    values->append(dates::isoDate(filter.today.addDays(-filter.minDays)));
    return QStringLiteral("m.Bakiye > 0 AND m.BeklemeTarihi IS NOT NULL AND m.BeklemeTarihi <= ?");
}

// The rows of a part that come after (or before) row in list order. The leading range keeps the read on the
// index; the rest settles the ties.
QString beyond(CollectionStore::Part part, const CollectionRow& row, bool after, QVariantList* values)
{
    const QString later = after ? QStringLiteral(">") : QStringLiteral("<");
    const QString less = after ? QStringLiteral("<") : QStringLiteral(">");
    const qint64 length = row.musKodu.size();
    if (part == CollectionStore::Part::Undated) {
        *values << row.bakiye << row.bakiye << length << length << row.musKodu;
        return QStringLiteral("m.Bakiye %1= ? AND (m.Bakiye %1 ? OR length(m.mus_kodu) %2 ? OR "
                              "(length(m.mus_kodu) = ? AND m.mus_kodu %2 ?))")
            .arg(less, later);
    }
    *values << row.since << row.since << row.bakiye << row.bakiye << length << length << row.musKodu;
    return QStringLiteral("m.BeklemeTarihi %2= ? AND (m.BeklemeTarihi %2 ? OR m.Bakiye %1 ? OR (m.Bakiye = ? AND "
                          "(length(m.mus_kodu) %2 ? OR (length(m.mus_kodu) = ? AND m.mus_kodu %2 ?))))")
        .arg(less, later);
}

QString orderOf(CollectionStore::Part part, bool reversed)
{
    const QString asc = reversed ? QStringLiteral(" DESC") : QString();
    const QString desc = reversed ? QString() : QStringLiteral(" DESC");
    const QString rest = QStringLiteral("m.Bakiye%2, length(m.mus_kodu)%1, m.mus_kodu%1").arg(asc, desc);
    return part == CollectionStore::Part::Dated ? QStringLiteral("m.BeklemeTarihi%1, ").arg(asc) + rest : rest;
}

} // namespace

std::optional<CollectionStore::Summary> CollectionStore::summary(const Filter& filter, QString* error) const
{
    QString where = QStringLiteral("m.Bakiye > 0");
    QVariantList values;
    if (filter.minDays > 0) {
        where += QStringLiteral(" AND (m.BeklemeTarihi IS NULL OR m.BeklemeTarihi <= ?)");
        values << dates::isoDate(filter.today.addDays(-filter.minDays));
    }
    // SQLite stops a sum that leaves 64 bits; the server's sum is exact: the total is then unknown.
    for (const QString& sum : {QStringLiteral("sum(m.Bakiye)"), QStringLiteral("NULL")}) {
        QString failure;
        QSqlQuery q = m_db.prepare(
            QStringLiteral("SELECT count(*), count(m.BeklemeTarihi), %1 FROM musteriler m WHERE %2").arg(sum, where));
        if (Database::runWith(q, values, &failure) && q.next()) {
            Summary s;
            s.count = q.value(0).toLongLong();
            s.dated = q.value(1).toLongLong();
            bool fits = false;
            const qint64 total = q.value(2).toString().toLongLong(&fits);
            if (fits)
                s.total = total;
            else if (q.value(2).isNull() && s.count == 0)
                s.total = 0;
            return s;
        }
        if (error)
            *error = failure;
    }
    return std::nullopt;
}

QVector<CollectionRow> CollectionStore::rows(const Filter& filter, const Window& window, QString* error) const
{
    using From = Window::From;
    QVariantList values;
    QString where = partWhere(window.part, filter, &values);
    if (window.from == From::After || window.from == From::Before)
        where += QStringLiteral(" AND ") + beyond(window.part, window.anchor, window.from == From::After, &values);
    const bool reversed = window.from == From::Bottom || window.from == From::Before;
    QSqlQuery q = m_db.prepare(QStringLiteral("SELECT %1 FROM musteriler m WHERE %2 ORDER BY %3 LIMIT ? OFFSET ?")
                                   .arg(kColumns, where, orderOf(window.part, reversed)));
    q.setForwardOnly(true);
    values << window.limit << window.skip;
    QVector<CollectionRow> result;
    if (!Database::runWith(q, values, error))
        return result;
    while (q.next())
        result.append(readRow(q, filter.today));
    if (reversed)
        std::reverse(result.begin(), result.end());
    return result;
}

bool CollectionStore::forEach(const Filter& filter, const std::function<bool(const CollectionRow&)>& each,
                              QString* error) const
{
    for (const Part part : {Part::Dated, Part::Undated}) {
        QVariantList values;
        QSqlQuery q = m_db.prepare(QStringLiteral("SELECT %1 FROM musteriler m WHERE %2 ORDER BY %3")
                                       .arg(kColumns, partWhere(part, filter, &values), orderOf(part, false)));
        q.setForwardOnly(true);
        if (!Database::runWith(q, values, error))
            return false;
        while (q.next()) {
            if (!each(readRow(q, filter.today)))
                return true;
        }
    }
    return true;
}

std::optional<QVector<CollectionRow>> CollectionStore::rows(const QDate& today, qint64 minDays, QString* error) const
{
    QVector<CollectionRow> result;
    if (!forEach(
            {today, minDays}, [&result](const CollectionRow& row) { return result.append(row), true; }, error))
        return std::nullopt;
    return result;
}

qint64 CollectionStore::rowOf(const Filter& filter, const QString& musKodu, QString* error) const
{
    QSqlQuery q = m_db.prepare(
        QStringLiteral("SELECT %1 FROM musteriler m WHERE m.mus_kodu = ? AND m.Bakiye > 0").arg(kColumns));
    if (!Database::runWith(q, {musKodu}, error) || !q.next())
        return -1;
    const CollectionRow row = readRow(q, filter.today);
    const Part part = row.since.isEmpty() ? Part::Undated : Part::Dated;
    if (part == Part::Dated && filter.minDays > 0 && row.since > dates::isoDate(filter.today.addDays(-filter.minDays)))
        return -1;
    QVariantList values;
    QString where = partWhere(part, filter, &values);
    where += QStringLiteral(" AND ") + beyond(part, row, false, &values);
    const QVariant before
        = m_db.scalar(QStringLiteral("SELECT count(*) FROM musteriler m WHERE %1").arg(where), values, error);
    if (!before.isValid())
        return -1;
    qint64 place = before.toLongLong();
    if (part == Part::Undated) {
        const std::optional<Summary> s = summary(filter, error);
        if (!s)
            return -1;
        place += s->dated;
    }
    return place;
}

QString CollectionStore::refreshOneSql(Engine engine)
{
    return QStringLiteral("UPDATE musteriler SET BeklemeTarihi = (SELECT %1 FROM (SELECT substr(coalesce("
                          "(SELECT max(Tarih) FROM veresiye WHERE mus_kodu = ? AND Odenen > 0), "
                          "(SELECT min(Tarih) FROM veresiye WHERE mus_kodu = ?)), 1, 10) AS d0) x) WHERE mus_kodu = ?")
        .arg(validDateSql(engine, QStringLiteral("d0")));
}

QString CollectionStore::datesFromMovementsSql(Engine engine)
{
    return QStringLiteral("SELECT mus_kodu, %1 AS d FROM (SELECT mus_kodu, substr(coalesce(max(CASE WHEN Odenen > 0 "
                          "THEN Tarih END), min(Tarih)), 1, 10) AS d0 FROM veresiye GROUP BY mus_kodu) g")
        .arg(validDateSql(engine, QStringLiteral("d0")));
}

QStringList CollectionStore::refreshAllSql(Engine engine)
{
    return {QStringLiteral("UPDATE musteriler SET BeklemeTarihi = s.d FROM (%1) s "
                           "WHERE s.mus_kodu = musteriler.mus_kodu AND musteriler.BeklemeTarihi IS DISTINCT FROM s.d")
                .arg(datesFromMovementsSql(engine)),
            QStringLiteral("UPDATE musteriler SET BeklemeTarihi = NULL WHERE BeklemeTarihi IS NOT NULL AND "
                           "NOT EXISTS (SELECT 1 FROM veresiye v WHERE v.mus_kodu = musteriler.mus_kodu)")};
}

qint64 CollectionStore::refreshAll(QString* error) const
{
    qint64 changed = 0;
    for (const QString& statement : refreshAllSql(m_db.engine())) {
        const qint64 n = m_db.execCount(statement, {}, error);
        if (n < 0)
            return -1;
        changed += n;
    }
    return changed;
}

} // namespace zelvora
