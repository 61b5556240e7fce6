// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/customerstore.h"

#include "data/clock.h"
#include "data/customerrow.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <limits>

namespace zelvora {

namespace {

// Rows without keys. The id range (every id) lets the planner see that the partial index musteriler_anahtarsiz
// serves the query; without it, it scans a whole index.
const QString kKeyless = QStringLiteral("(sira_anahtari IS NULL OR arama_anahtari IS NULL) AND id > ?");

const QString kColumns
    = QStringLiteral("id, Turu, mus_kodu, MusteriFirma, Sonislem, %1, Bakiye, sira_anahtari, KrediLimiti");

// A bound text is never null: an empty key must not read as a missing one.
QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

constexpr qint64 kBeforeEveryId = std::numeric_limits<qint64>::min();

struct Filter
{
    QString where; // conditions joined by AND, without the WHERE
    QVariantList values;
    bool byName = true; // ordered by (sira_anahtari, id); otherwise by id
};

// keylessRows: some rows still wait for their keys, so a name search must match them by their names.
Filter filterFor(const Database& db, const CustomerListQuery& query, bool keylessRows)
{
    switch (query.kind) {
    case CustomerListQuery::Kind::AllByName:
        return {};
    case CustomerListQuery::Kind::TableOrder:
        return {QString(), {}, false};
    case CustomerListQuery::Kind::NamePrefix: {
        // Key ranges instead of LIKE: nothing the user types is a wildcard. The sort-key range lets the name
        // index find the matches already in name order; the search-key range picks the matches inside it.
        const QString key = turkish::searchKey(query.text);
        const auto range = turkish::sortKeyRange(key);
        const QString upper = turkish::prefixUpperBound(key);
        Filter keyed {QStringLiteral("sira_anahtari >= ? AND sira_anahtari < ? AND arama_anahtari >= ? AND "
                                     "arama_anahtari < ?"),
                      {range.first, range.second, key, upper}};
        if (!keylessRows)
            return keyed;
        if (db.isServer()) {
            // The server cannot compute the program's keys: the names of the rows without them are read and
            // matched here, and the matches are found by their ids.
            // Compared as UTF-8 bytes, as the keyed rows are (COLLATE "C").
            const QByteArray low = key.toUtf8();
            const QByteArray high = upper.toUtf8();
            QStringList matches;
            QSqlQuery keyless
                = db.prepare(QStringLiteral("SELECT id, MusteriFirma FROM musteriler WHERE %1").arg(kKeyless));
            if (Database::runWith(keyless, {kBeforeEveryId})) {
                while (keyless.next()) {
                    const QByteArray name = customerrow::searchKeyOf(keyless.value(1).toString()).toUtf8();
                    if (name >= low && name < high)
                        matches << QString::number(keyless.value(0).toLongLong());
                }
            }
            keyed.where = QStringLiteral("(%1) OR (%2 AND id = ANY (CAST(? AS bigint[])))").arg(keyed.where, kKeyless);
            keyed.values << kBeforeEveryId << QLatin1Char('{') + matches.join(QLatin1Char(',')) + QLatin1Char('}');
            return keyed;
        }
        // Rows without keys are found through the partial index and matched by the keys of their names, so a
        // search while the keys are being filled still finds every customer. They sort first (a null key).
        keyed.where = QStringLiteral("(%1) OR (%2 AND zv_arama_anahtari(MusteriFirma) >= ? AND "
                                     "zv_arama_anahtari(MusteriFirma) < ?)")
                          .arg(keyed.where, kKeyless);
        keyed.values << kBeforeEveryId << key << upper;
        return keyed;
    }
    case CustomerListQuery::Kind::AccountType:
        return {QStringLiteral("Turu = ?"), {query.text}};
    }
    return {};
}

// The conditions of a list; a name search also matches rows still without keys when there are any (or when
// that cannot be told: a search must never leave a customer out).
Filter filterOf(const CustomerStore& store, const Database& db, const CustomerListQuery& query)
{
    const bool keyless = query.kind == CustomerListQuery::Kind::NamePrefix && store.missingNameKeys(1) != 0;
    return filterFor(db, query, keyless);
}

// A PostgreSQL array literal of texts, bound as one value.
QString textArray(const QStringList& texts)
{
    QStringList quoted;
    quoted.reserve(texts.size());
    for (QString text : texts) {
        text.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('"'), QLatin1String("\\\""));
        quoted << QLatin1Char('"') + text + QLatin1Char('"');
    }
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

QString whereOf(const QStringList& conditions)
{
    QStringList present;
    for (const QString& c : conditions) {
        if (!c.isEmpty())
            present << QLatin1Char('(') + c + QLatin1Char(')');
    }
    return present.isEmpty() ? QString() : QStringLiteral(" WHERE ") + present.join(QStringLiteral(" AND "));
}

} // namespace

qint64 CustomerStore::missingNameKeys(qint64 limit, QString* error) const
{
    const QVariant found = m_db.scalar(
        QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM musteriler WHERE %1 LIMIT ?) AS t").arg(kKeyless),
        {kBeforeEveryId, limit}, error);
    return found.isValid() ? found.toLongLong() : -1;
}

qint64 CustomerStore::fillNameKeys(qint64 idSpan, qint64* afterId, QString* error) const
{
    // The next row without keys, through the partial index; the batch is the id range from there.
    const QVariant first
        = m_db.scalar(QStringLiteral("SELECT min(id) FROM musteriler WHERE %1").arg(kKeyless), {*afterId}, error);
    if (!first.isValid())
        return -1;
    if (first.isNull())
        return 0;
    const qint64 from = first.toLongLong();
    const qint64 to = from > std::numeric_limits<qint64>::max() - (idSpan - 1) ? std::numeric_limits<qint64>::max()
                                                                               : from + idSpan - 1;
    ScopedTransaction transaction(m_db);
    if (!transaction.isActive()) {
        if (error)
            *error = m_db.connection().lastError().text();
        return -1;
    }
    qint64 written = 0;
    if (m_db.isServer()) {
        // The server cannot compute the keys: the rows' names are read under a lock, their keys computed here,
        // and written back in one statement.
        QSqlQuery read = m_db.prepare(
            QStringLiteral("SELECT id, MusteriFirma FROM musteriler WHERE %1 AND id <= ? ORDER BY id FOR UPDATE")
                .arg(kKeyless));
        if (!Database::runWith(read, {from - 1, to}, error))
            return -1;
        QStringList ids, sortKeys, searchKeys;
        while (read.next()) {
            const QString name = read.value(1).toString();
            ids << QString::number(read.value(0).toLongLong());
            sortKeys << customerrow::sortKeyOf(name);
            searchKeys << customerrow::searchKeyOf(name);
        }
        read.finish();
        written = ids.isEmpty() ? 0
                                : m_db.execCount(QStringLiteral("UPDATE musteriler SET sira_anahtari = k.sira, "
                                                                "arama_anahtari = k.arama FROM unnest(?::bigint[], "
                                                                "?::text[], ?::text[]) AS k (id, sira, arama) "
                                                                "WHERE musteriler.id = k.id"),
                                                 {QLatin1Char('{') + ids.join(QLatin1Char(',')) + QLatin1Char('}'),
                                                  textArray(sortKeys), textArray(searchKeys)},
                                                 error);
    } else {
        // One statement for the whole range: the keys come from each row's name as it is at this moment.
        written = m_db.execCount(QStringLiteral("UPDATE musteriler SET %1 WHERE %2 AND id <= ?")
                                     .arg(customerrow::keyAssignmentsSql(), kKeyless),
                                 {from - 1, to}, error);
    }
    if (written < 0)
        return -1;
    if (!transaction.commit()) {
        if (error)
            *error = m_db.connection().lastError().text();
        return -1;
    }
    *afterId = to;
    return std::max<qint64>(written, 1);
}

bool CustomerStore::refreshNameKeys(QString* error) const
{
    qint64 afterId = std::numeric_limits<qint64>::min();
    for (;;) {
        const qint64 read = fillNameKeys(NameKeySpan, &afterId, error);
        if (read <= 0)
            return read == 0;
    }
}

bool CustomerStore::updateDayCounts(const QDate& today, QString* error) const
{
    const QString iso = dates::isoDate(today);
    return m_db.exec(QStringLiteral("UPDATE musteriler SET Gun = %1 WHERE %2")
                         .arg(customerrow::dayCountSql(m_db.engine()), customerrow::staleDayCountSql(m_db.engine())),
                     {iso, iso, iso, iso}, error);
}

qint64 CustomerStore::staleDayCounts(const QDate& today, qint64 limit, QString* error) const
{
    const QString iso = dates::isoDate(today);
    const QVariant found
        = m_db.scalar(QStringLiteral("SELECT count(*) FROM (SELECT 1 FROM musteriler WHERE %1 LIMIT ?) AS t")
                          .arg(customerrow::staleDayCountSql(m_db.engine())),
                      {iso, iso, iso, limit}, error);
    return found.isValid() ? found.toLongLong() : -1;
}

qint64 CustomerStore::updateDayCountsOfIds(const QDate& today, qint64 first, qint64 last, QString* error) const
{
    const QString iso = dates::isoDate(today);
    return m_db.execCount(QStringLiteral("UPDATE musteriler SET Gun = %1 WHERE id BETWEEN ? AND ? AND Gun IS DISTINCT "
                                         "FROM %1")
                              .arg(customerrow::dayCountSql(m_db.engine())),
                          {iso, first, last, iso}, error);
}

std::optional<QPair<qint64, qint64>> CustomerStore::idRange(QString* error) const
{
    QSqlQuery q = m_db.prepare(QStringLiteral("SELECT min(id), max(id) FROM musteriler"));
    if (!Database::runWith(q, {}, error) || !q.next() || q.value(0).isNull())
        return std::nullopt;
    return QPair<qint64, qint64> {q.value(0).toLongLong(), q.value(1).toLongLong()};
}

qint64 CustomerStore::count(const CustomerListQuery& query, QString* error) const
{
    const Filter filter = filterOf(*this, m_db, query);
    return m_db
        .scalar(QStringLiteral("SELECT count(*) FROM musteriler") + whereOf({filter.where}), filter.values, error)
        .toLongLong();
}

QVector<CustomerListRow> CustomerStore::rows(const CustomerListQuery& query, qint64 offset, qint64 limit,
                                             QString* error) const
{
    return rows(query, Clock::today(), CustomerListWindow::top(offset, limit), error);
}

QVector<CustomerListRow> CustomerStore::rows(const CustomerListQuery& query, const QDate& today,
                                             const CustomerListWindow& window, QString* error) const
{
    const Filter filter = filterOf(*this, m_db, query);
    using From = CustomerListWindow::From;
    if (window.from == From::After && filter.byName && window.anchor.sortKey.isNull()) {
        // After a row without a sort key: first the keyless rows that follow it (they come first, by id),
        // then the keyed ones from their start.
        QVector<CustomerListRow> result
            = read(QStringList {filter.where, QStringLiteral("sira_anahtari IS NULL AND id > ?")},
                   filter.values + QVariantList {window.anchor.id}, QStringLiteral(" ORDER BY id"), false, today,
                   window.skip, window.limit, error);
        if (result.size() == window.limit || (error && !error->isEmpty()))
            return result;
        qint64 skip = 0;
        if (result.isEmpty() && window.skip > 0) {
            const qint64 keyless
                = m_db.scalar(QStringLiteral("SELECT count(*) FROM musteriler")
                                  + whereOf({filter.where, QStringLiteral("sira_anahtari IS NULL AND id > ?")}),
                              filter.values + QVariantList {window.anchor.id}, error)
                      .toLongLong();
            skip = std::max<qint64>(0, window.skip - keyless);
        }
        result += read(QStringList {filter.where, QStringLiteral("sira_anahtari IS NOT NULL")}, filter.values,
                       QStringLiteral(" ORDER BY sira_anahtari, id"), false, today, skip, window.limit - result.size(),
                       error);
        return result;
    }
    QVariantList values = filter.values;
    const bool backwards = window.from == From::Bottom || window.from == From::Before;
    QString position;
    if (window.from == From::After || window.from == From::Before) {
        const QLatin1Char op(window.from == From::After ? '>' : '<');
        if (filter.byName) {
            position = QStringLiteral("(sira_anahtari, id) %1 (?, ?)").arg(op);
            values << notNull(window.anchor.sortKey);
        } else {
            position = QStringLiteral("id %1 ?").arg(op);
        }
        values << window.anchor.id;
    }
    const QString direction = backwards ? QStringLiteral(" DESC") : QString();
    const QString order = filter.byName
        ? QStringLiteral(" ORDER BY sira_anahtari%1%2, id%1").arg(direction, m_db.nullsFirst(backwards))
        : QStringLiteral(" ORDER BY id%1").arg(direction);
    return read({filter.where, position}, values, order, backwards, today, window.skip, window.limit, error);
}

QVector<CustomerListRow> CustomerStore::read(const QStringList& conditions, const QVariantList& values,
                                             const QString& order, bool backwards, const QDate& today, qint64 skip,
                                             qint64 limit, QString* error) const
{
    QSqlQuery select = m_db.prepare(QStringLiteral("SELECT ") + kColumns.arg(customerrow::dayCountSql(m_db.engine()))
                                    + QStringLiteral(" FROM musteriler") + whereOf(conditions) + order
                                    + QStringLiteral(" LIMIT ? OFFSET ?"));
    QVector<CustomerListRow> result;
    if (!Database::runWith(select, QVariantList {dates::isoDate(today)} + values + QVariantList {limit, skip}, error))
        return result;
    result.reserve(int(limit));
    while (select.next()) {
        CustomerListRow row;
        row.id = select.value(0).toLongLong();
        row.turu = select.value(1).toString();
        row.musKodu = select.value(2).toString();
        row.musteriFirma = select.value(3).toString();
        row.sonislem = select.value(4).toString();
        row.gun = select.value(5);
        row.bakiye = select.value(6);
        row.sortKey = select.value(7).toString();
        // A limit written as something other than whole kuruş by another tool counts as none.
        const std::optional<qint64> limit = Database::wholeNumber(select.value(8));
        row.krediLimiti = limit ? QVariant(*limit) : QVariant();
        result.append(row);
    }
    if (backwards)
        std::reverse(result.begin(), result.end());
    return result;
}

qint64 CustomerStore::rowOf(const CustomerListQuery& query, qint64 id, QString* error) const
{
    const Filter filter = filterOf(*this, m_db, query);
    // Is the customer in the list at all, and under which key?
    QSqlQuery find = m_db.prepare(QStringLiteral("SELECT sira_anahtari IS NULL, sira_anahtari FROM musteriler")
                                  + whereOf({filter.where, QStringLiteral("id = ?")}));
    if (!Database::runWith(find, filter.values + QVariantList {id}, error) || !find.next())
        return -1;
    const bool keyless = find.value(0).toBool();
    const QString key = find.value(1).toString();
    find.finish();
    QVariantList values = filter.values;
    QString before;
    if (!filter.byName) {
        before = QStringLiteral("id < ?");
    } else if (keyless) {
        // Rows without a key come first, in id order.
        before = QStringLiteral("sira_anahtari IS NULL AND id < ?");
    } else {
        before = QStringLiteral("sira_anahtari IS NULL OR (sira_anahtari, id) < (?, ?)");
        values << key;
    }
    values << id;
    return m_db
        .scalar(QStringLiteral("SELECT count(*) FROM musteriler") + whereOf({filter.where, before}), values, error)
        .toLongLong();
}

bool CustomerStore::hasCustomers(QString* error) const
{
    return m_db.scalar(QStringLiteral("SELECT EXISTS (SELECT 1 FROM musteriler)"), {}, error).toBool();
}

} // namespace zelvora
