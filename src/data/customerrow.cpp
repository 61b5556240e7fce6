// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/customerrow.h"

#include "data/turkishtext.h"

#include <sqlite3.h>

namespace zelvora::customerrow {

namespace {

QString notNull(const QString& text)
{
    return text.isNull() ? QStringLiteral("") : text;
}

// A key as an SQL function; a null name has the keys of an empty one, as the program writes them (an empty key
// must not read as a missing one).
template<QString (*key)(const QString&)> void keyFunction(sqlite3_context* context, int, sqlite3_value** args)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const QByteArray result
        = key(QString::fromUtf8(text ? text : "", text ? sqlite3_value_bytes(args[0]) : 0)).toUtf8();
    sqlite3_result_text(context, result.constData(), int(result.size()), SQLITE_TRANSIENT);
}

} // namespace

QString dayCountSql(Engine engine)
{
    if (engine == Engine::PostgreSQL)
        return QStringLiteral("CAST(round(CAST(zv_gun_no(Sonislem) - zv_gun_no(?) AS numeric)) AS bigint)");
    return QStringLiteral("CAST(round(julianday(Sonislem) - julianday(?)) AS INTEGER)");
}

QString staleDayCountSql(Engine engine)
{
    // The index expression: Sonislem minus Gun as a day number, the same value (today's) for every row whose
    // day count is right; -1 for a row that has only one of the two. Rows below or above today's value are the
    // ones to look at; the last test drops the few (a date with a time, written by another tool) whose value
    // never equals a day although their count is right.
    if (engine == Engine::PostgreSQL)
        return QStringLiteral("(%1 < zv_gun_no(?) OR %1 > zv_gun_no(?)) AND Gun IS DISTINCT FROM %2")
            .arg(QStringLiteral("coalesce(zv_gun_no(Sonislem) - Gun, CASE WHEN Gun IS NOT NULL OR "
                                "zv_gun_no(Sonislem) IS NOT NULL THEN -1 END)"),
                 dayCountSql(engine));
    return QStringLiteral("(%1 < julianday(?) OR %1 > julianday(?)) AND Gun IS NOT %2")
        .arg(QStringLiteral("ifnull(julianday(Sonislem) - Gun, CASE WHEN Gun IS NOT NULL OR "
                            "julianday(Sonislem) IS NOT NULL THEN -1 END)"),
             dayCountSql(engine));
}

QString sortKeyOf(const QString& name)
{
    return notNull(turkish::sortKey(name));
}

QString searchKeyOf(const QString& name)
{
    return notNull(turkish::searchKey(name));
}

QString sortKeySql()
{
    return QStringLiteral("zv_sira_anahtari(MusteriFirma)");
}

QString searchKeySql()
{
    return QStringLiteral("zv_arama_anahtari(MusteriFirma)");
}

QString keyAssignmentsSql()
{
    return QStringLiteral("sira_anahtari = %1, arama_anahtari = %2").arg(sortKeySql(), searchKeySql());
}

bool registerKeyFunctions(sqlite3* handle)
{
    constexpr int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
    return sqlite3_create_function_v2(handle, "zv_sira_anahtari", 1, flags, nullptr, &keyFunction<turkish::sortKey>,
                                      nullptr, nullptr, nullptr)
        == SQLITE_OK
        && sqlite3_create_function_v2(handle, "zv_arama_anahtari", 1, flags, nullptr, &keyFunction<turkish::searchKey>,
                                      nullptr, nullptr, nullptr)
        == SQLITE_OK;
}

} // namespace zelvora::customerrow
