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
    QSqlQuery query = m_db.prepare(QStringLiteral("SELECT sum(CASE WHEN Turu = ? THEN Bakiye END), "
                                                  "sum(CASE WHEN Turu = ? THEN Bakiye END) FROM musteriler"));
    query.addBindValue(QStringLiteral("Alıcı"));
    query.addBindValue(QStringLiteral("Satıcı"));
    if (!query.exec() || !query.next()) {
        if (error)
            *error = Database::errorText(query);
        return std::nullopt;
    }
    const std::optional<qint64> debtors = kurus(query.value(0));
    const std::optional<qint64> creditors = kurus(query.value(1));
    if (!debtors || !creditors) {
        if (error)
            *error = QStringLiteral("Bakiye toplamı okunamadı.");
        return std::nullopt;
    }
    return ListTotals {*debtors, *creditors};
}

} // namespace zelvora
