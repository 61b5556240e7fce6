// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/serverinit.h"

#include "data/schema.h"
#include "users/passwordhash.h"

#include <QSqlError>

namespace zelvora::cli {

namespace {

ServerInitResult failure(const QString& message)
{
    return {false, message};
}

} // namespace

ServerInitResult initServer(const ServerSettings& server, const QString& version)
{
    const QString where = QStringLiteral("%1 / %2").arg(server.address(), server.name);
    QString error;
    const auto db = Database::openServer(server, &error);
    if (!db)
        return failure(QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(server.address(), error));
    const QStringList tables = db->tableNames(&error);
    if (!error.isEmpty())
        return failure(QStringLiteral("Sunucudaki veri tabanı okunamadı (%1): %2").arg(where, error));
    if (!tables.isEmpty())
        return failure(QStringLiteral("Sunucudaki veri tabanı boş değil (%1): %2 tablo var (%3). Hiçbir şey "
                                      "değiştirilmedi; defter yalnızca boş bir veri tabanında kurulur.")
                           .arg(where)
                           .arg(tables.size())
                           .arg(tables.join(QStringLiteral(", "))));
    const QString firstPassword = passwords::hash(QStringLiteral("1234"));
    if (firstPassword.isEmpty())
        return failure(QStringLiteral("İlk kullanıcının şifresi saklanacak biçime getirilemedi."));

    ScopedTransaction transaction(*db);
    if (!transaction.isActive())
        return failure(QStringLiteral("Sunucuda işlem başlatılamadı (%1).").arg(where));
    const bool made = schema::create(*db, &error)
        && db->exec(QStringLiteral("INSERT INTO surum (surum) VALUES (?)"), {version}, &error)
        && db->exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?)"),
                    {QStringLiteral("ADMIN"), firstPassword}, &error);
    if (!made)
        return failure(QStringLiteral("Defter kurulamadı (%1); hiçbir şey değiştirilmedi: %2").arg(where, error));
    if (!transaction.commit())
        return failure(QStringLiteral("Defter kurulamadı (%1); hiçbir şey değiştirilmedi: %2")
                           .arg(where, db->connection().lastError().text()));
    return {true, QStringLiteral("Defter sunucuda kuruldu (%1). İlk kullanıcı: ADMIN, şifre: 1234.").arg(where)};
}

} // namespace zelvora::cli
