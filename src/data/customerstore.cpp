#include "data/customerstore.h"

#include "data/database.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"

#include <QSqlQuery>

namespace zelvora {

namespace {

struct Filter
{
    QString where;
    QString order;
    QVariantList values;
};

Filter filterFor(const CustomerListQuery& query)
{
    switch (query.kind) {
    case CustomerListQuery::Kind::AllByName:
        return {QString(), QStringLiteral(" ORDER BY sira_anahtari, id"), {}};
    case CustomerListQuery::Kind::TableOrder:
        return {QString(), QStringLiteral(" ORDER BY id"), {}};
    case CustomerListQuery::Kind::NamePrefix: {
        // A key range instead of LIKE: nothing the user types is a wildcard, and the index serves it.
        const QString key = turkish::searchKey(query.text);
        return {QStringLiteral(" WHERE arama_anahtari >= ? AND arama_anahtari < ?"),
                QStringLiteral(" ORDER BY sira_anahtari, id"),
                {key, turkish::prefixUpperBound(key)}};
    }
    case CustomerListQuery::Kind::AccountType:
        return {QStringLiteral(" WHERE Turu = ?"), QStringLiteral(" ORDER BY sira_anahtari, id"), {query.text}};
    }
    return {};
}

} // namespace

bool CustomerStore::refreshNameKeys(QString* error) const
{
    QSqlQuery missing = m_db.prepare(QStringLiteral(
        "SELECT id, MusteriFirma FROM musteriler WHERE sira_anahtari IS NULL OR arama_anahtari IS NULL"));
    if (!Database::run(missing)) {
        if (error)
            *error = Database::errorText(missing);
        return false;
    }
    QVariantList ids;
    QVariantList sortKeys;
    QVariantList searchKeys;
    while (missing.next()) {
        const QString name = missing.value(1).toString();
        ids << missing.value(0);
        sortKeys << turkish::sortKey(name);
        searchKeys << turkish::searchKey(name);
    }
    missing.finish();
    if (ids.isEmpty())
        return true;
    ScopedTransaction transaction(m_db);
    QSqlQuery update
        = m_db.prepare(QStringLiteral("UPDATE musteriler SET sira_anahtari = ?, arama_anahtari = ? WHERE id = ?"));
    for (qsizetype i = 0; i < ids.size(); ++i) {
        update.bindValue(0, sortKeys.at(i));
        update.bindValue(1, searchKeys.at(i));
        update.bindValue(2, ids.at(i));
        if (!Database::run(update)) {
            if (error)
                *error = Database::errorText(update);
            return false;
        }
    }
    return transaction.commit();
}

bool CustomerStore::updateDayCounts(const QDate& today, QString* error) const
{
    // One statement; rows whose day count is already right are not rewritten. A customer without a
    // readable Sonislem gets an empty Gun.
    static const QString days = QStringLiteral("CAST(round(julianday(Sonislem) - julianday(?)) AS INTEGER)");
    ScopedTransaction transaction(m_db);
    const QString iso = dates::isoDate(today);
    if (!m_db.exec(QStringLiteral("UPDATE musteriler SET Gun = %1 WHERE Gun IS NOT %1").arg(days), {iso, iso}, error))
        return false;
    return transaction.commit();
}

qint64 CustomerStore::count(const CustomerListQuery& query, QString* error) const
{
    const Filter filter = filterFor(query);
    return m_db.scalar(QStringLiteral("SELECT count(*) FROM musteriler") + filter.where, filter.values, error)
        .toLongLong();
}

QVector<CustomerListRow> CustomerStore::rows(const CustomerListQuery& query, qint64 offset, qint64 limit,
                                             QString* error) const
{
    const Filter filter = filterFor(query);
    QSqlQuery select
        = m_db.prepare(QStringLiteral("SELECT id, Turu, mus_kodu, MusteriFirma, Sonislem, Gun, Bakiye FROM musteriler")
                       + filter.where + filter.order + QStringLiteral(" LIMIT ? OFFSET ?"));
    for (const QVariant& value : filter.values)
        select.addBindValue(value);
    select.addBindValue(limit);
    select.addBindValue(offset);
    QVector<CustomerListRow> result;
    if (!Database::run(select)) {
        if (error)
            *error = Database::errorText(select);
        return result;
    }
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
        result.append(row);
    }
    return result;
}

qint64 CustomerStore::totalCount(QString* error) const
{
    return m_db.scalar(QStringLiteral("SELECT count(*) FROM musteriler"), {}, error).toLongLong();
}

} // namespace zelvora
