// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/userstore.h"

#include "data/database.h"
#include "data/turkishtext.h"
#include "users/passwordhash.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <numeric>

namespace zelvora {

namespace {

// Runs a prepared query. A statement the engine refused to prepare (a missing table) keeps the engine's own
// text instead of the driver's later "no query".
bool run(QSqlQuery& query, QString* error)
{
    const bool prepared = !query.lastError().isValid();
    if (prepared && query.exec())
        return true;
    if (error)
        *error = Database::errorText(query);
    return false;
}

} // namespace

bool UserStore::users(Order order, QVector<UserRow>& out, QString* error) const
{
    out.clear();
    QSqlQuery query = m_db.prepare(QStringLiteral("SELECT rowid, Username FROM \"User\" ORDER BY rowid"));
    if (!run(query, error))
        return false;
    while (query.next())
        out.append({query.value(0).toLongLong(), query.value(1).toString()});
    if (order == Order::Turkish) {
        // The table is small: sorting here keeps the file free of a collation only this program knows.
        QVector<QString> keys;
        keys.reserve(out.size());
        for (const UserRow& row : out)
            keys.append(turkish::sortKey(row.username));
        QVector<qsizetype> index(out.size());
        std::iota(index.begin(), index.end(), 0);
        std::stable_sort(index.begin(), index.end(),
                         [&](qsizetype a, qsizetype b) { return turkish::sortKeyLess(keys[a], keys[b]); });
        QVector<UserRow> sorted;
        sorted.reserve(out.size());
        for (const qsizetype i : index)
            sorted.append(out[i]);
        out = std::move(sorted);
    }
    return true;
}

qint64 UserStore::count(QString* error) const
{
    const QVariant value = m_db.scalar(QStringLiteral("SELECT count(*) FROM \"User\""), {}, error);
    return value.isValid() ? value.toLongLong() : -1;
}

UserStore::AddResult UserStore::add(const QString& username, const QString& password, QString* error) const
{
    const QString hashed = passwords::hash(password);
    if (hashed.isEmpty()) {
        if (error)
            *error = QStringLiteral("Şifre saklanacak biçime getirilemedi.");
        return AddResult::Failed;
    }
    QSqlQuery query = m_db.prepare(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"));
    query.addBindValue(username);
    query.addBindValue(hashed);
    if (run(query, error))
        return AddResult::Added;
    return Database::isDuplicateKey(query) ? AddResult::Duplicate : AddResult::Failed;
}

UserStore::RemoveResult UserStore::remove(qint64 id, QString* error) const
{
    // Count and delete in one transaction, so the last user can never slip away between the two.
    ScopedTransaction transaction(m_db);
    if (!transaction.isActive()) {
        if (error)
            *error = QStringLiteral("Veritabanı kilitli.");
        return RemoveResult::Failed;
    }
    // On a server every user row is locked first, so two tills deleting the last two users at once count one
    // after the other (SQLite's write lock on the file does the same for the delete).
    if (m_db.isServer()) {
        QSqlQuery lock = m_db.prepare(QStringLiteral("SELECT rowid FROM \"User\"") + m_db.lockRowsSql());
        if (!run(lock, error))
            return RemoveResult::Failed;
        lock.finish();
    }
    const qint64 users = count(error);
    if (users < 0)
        return RemoveResult::Failed;
    if (users <= 1)
        return RemoveResult::LastUser;
    QSqlQuery query = m_db.prepare(QStringLiteral("DELETE FROM \"User\" WHERE rowid = ?"));
    query.addBindValue(id);
    if (!run(query, error))
        return RemoveResult::Failed;
    if (!transaction.commit()) {
        if (error)
            *error = QStringLiteral("Silme kaydedilemedi.");
        return RemoveResult::Failed;
    }
    return RemoveResult::Removed;
}

UserStore::SignIn UserStore::signIn(const QString& username, const QString& password, QString* error) const
{
    // The column compares without letter case; the name is bound, so a quote in it is just a character.
    QSqlQuery query = m_db.prepare(
        QStringLiteral("SELECT rowid, Username, Password FROM \"User\" WHERE Username = ? ORDER BY rowid LIMIT 1"));
    query.addBindValue(username);
    if (!run(query, error))
        return {};
    if (!query.next())
        return {CheckResult::UnknownName, {}};
    const qint64 id = query.value(0).toLongLong();
    const QString storedName = query.value(1).toString();
    const QString stored = query.value(2).toString();
    query.finish();
    if (!passwords::matches(stored, password))
        return {CheckResult::WrongPassword, storedName};
    if (const QString hashed = passwords::isHash(stored) ? QString() : passwords::hash(password); !hashed.isEmpty()) {
        // A password kept as typed is replaced by its hash now; if that fails the user still signs in and the
        // next sign-in tries again.
        m_db.exec(QStringLiteral("UPDATE \"User\" SET Password = ? WHERE rowid = ? AND Password = ?"),
                  {hashed, id, stored});
    }
    return {CheckResult::SignedIn, storedName};
}

} // namespace zelvora
