// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>

namespace zelvora {

class Database;

// One row of the table "User" as the windows show it; id is the row's identity in the table.
struct UserRow
{
    qint64 id = 0;
    QString username;
};

// The sign-in users: listing, adding, deleting and the sign-in check. Passwords are stored as salted hashes;
// a row that still holds a password as typed (an older or hand-made file) keeps working and is hashed at its
// first successful sign-in.
class UserStore final
{
public:
    enum class Order {
        Table, // the order the rows were stored in
        Turkish, // Turkish alphabetical order of the names, letter case ignored
    };
    enum class AddResult { Added, Duplicate, Failed };
    enum class RemoveResult { Removed, LastUser, Failed };
    enum class CheckResult { SignedIn, UnknownName, WrongPassword, Failed };

    struct SignIn
    {
        CheckResult result = CheckResult::Failed;
        QString username; // the name as the table holds it, when the name was found
    };

    explicit UserStore(const Database& db)
        : m_db(db)
    {
    }

    // Every user in the given order; false with the engine's text when the table cannot be read.
    bool users(Order order, QVector<UserRow>& out, QString* error = nullptr) const;

    // Number of users, or -1 when the table cannot be read.
    qint64 count(QString* error = nullptr) const;

    // Stores a new user with the password hashed. A name already present (letter case ignored) is Duplicate.
    AddResult add(const QString& username, const QString& password, QString* error = nullptr) const;

    // Deletes one user, but never the last one: nobody could sign in any more.
    RemoveResult remove(qint64 id, QString* error = nullptr) const;

    // The sign-in check: the name is found ignoring letter case, the password must match exactly.
    SignIn signIn(const QString& username, const QString& password, QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
