// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/reportdata.h"

#include "data/customerstore.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"

#include <QSqlQuery>

namespace zelvora::reportdata {

namespace {

QString money(const QVariant& kurus)
{
    return kurus.isNull() ? QString() : numbers::totals(kurus.toLongLong());
}

QString number(const QVariant& value)
{
    return value.isNull() ? QString() : numbers::plain(value.toDouble());
}

QString time(const QString& stored)
{
    const std::optional<QTime> t = dates::readTime(stored);
    return t ? dates::shortTime(*t) : stored;
}

} // namespace

std::optional<ReportRows> customerList(const Database& db, QString* error)
{
    const CustomerStore store(db);
    // Rows written by another tool get their sort keys first, so they take their place in the name order.
    if (!store.refreshNameKeys(error))
        return std::nullopt;
    QString failure;
    const qint64 count = store.count(CustomerListQuery::allByName(), &failure);
    const QVector<CustomerListRow> customers = failure.isEmpty()
        ? store.rows(CustomerListQuery::allByName(), 0, count, &failure)
        : QVector<CustomerListRow>();
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return std::nullopt;
    }
    ReportRows result;
    result.columns = {QStringLiteral("Turu"),     QStringLiteral("mus_kodu"), QStringLiteral("MusteriFirma"),
                      QStringLiteral("Sonislem"), QStringLiteral("Gun"),      QStringLiteral("Bakiye")};
    result.rows.reserve(customers.size());
    for (const CustomerListRow& c : customers)
        result.rows.append({c.turu, c.musKodu, c.musteriFirma, dates::storedDateForDisplay(c.sonislem),
                            c.gun.isNull() ? QString() : c.gun.toString(), money(c.bakiye)});
    return result;
}

std::optional<ReportRows> statement(const Database& db, const QString& musKodu, QString* error)
{
    QSqlQuery q
        = db.prepare(QStringLiteral("SELECT Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen FROM veresiye "
                                    "WHERE mus_kodu = ? ORDER BY Tarih, Saat, id"));
    q.setForwardOnly(true);
    if (!Database::runWith(q, {musKodu}, error))
        return std::nullopt;
    ReportRows result;
    result.columns
        = {QStringLiteral("Tarih"), QStringLiteral("Saat"), QStringLiteral("Aciklama"), QStringLiteral("Miktar"),
           QStringLiteral("Birim"), QStringLiteral("KDV"),  QStringLiteral("Eklenen"),  QStringLiteral("Odenen")};
    while (q.next())
        result.rows.append({dates::storedDateForDisplay(q.value(0).toString()), time(q.value(1).toString()),
                            q.value(2).toString(), number(q.value(3)), q.value(4).toString(), number(q.value(5)),
                            money(q.value(6)), money(q.value(7))});
    return result;
}

} // namespace zelvora::reportdata
