#include "data/customerrow.h"

#include "data/turkishtext.h"

namespace zelvora::customerrow {

namespace {

QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

QString dayCountSql()
{
    return QStringLiteral("CAST(round(julianday(Sonislem) - julianday(?)) AS INTEGER)");
}

QString sortKeyOf(const QString& name)
{
    return notNull(turkish::sortKey(name));
}

QString searchKeyOf(const QString& name)
{
    return notNull(turkish::searchKey(name));
}

QString keyAssignmentsSql()
{
    return QStringLiteral(
        "sira_anahtari = zv_sira_anahtari(MusteriFirma), arama_anahtari = zv_arama_anahtari(MusteriFirma)");
}

} // namespace zelvora::customerrow
