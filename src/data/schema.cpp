#include "data/schema.h"

#include "data/database.h"

#include <QFile>
#include <QSqlDriver>
#include <sqlite3.h>

// The schema lives in a static library's resources, which must be registered before use.
static void initSchemaResource()
{
    Q_INIT_RESOURCE(data);
}

namespace zelvora::schema {

QStringList requiredTables()
{
    return {QStringLiteral("musteriler"),    QStringLiteral("veresiye"), QStringLiteral("User"),
            QStringLiteral("son_musterino"), QStringLiteral("birimler"), QStringLiteral("surum")};
}

bool create(const Database& db, QString* error)
{
    initSchemaResource();
    QFile file(QStringLiteral(":/data/schema.sql"));
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    const QByteArray script = file.readAll();
    // The script holds a trigger body with inner semicolons, so it runs through SQLite itself.
    auto* handle = *static_cast<sqlite3**>(db.connection().driver()->handle().data());
    char* message = nullptr;
    const int rc = sqlite3_exec(handle, script.constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(message);
        sqlite3_free(message);
        return false;
    }
    return true;
}

bool looksLikeOurs(const Database& db, QString* error)
{
    QString engineError;
    const QVariant check = db.scalar(QStringLiteral("PRAGMA integrity_check"), {}, &engineError);
    if (!check.isValid() || check.toString() != QLatin1String("ok")) {
        if (error)
            *error = engineError.isEmpty() ? check.toString() : engineError;
        return false;
    }
    for (const QString& table : requiredTables()) {
        const QVariant found
            = db.scalar(QStringLiteral("SELECT count(*) FROM sqlite_schema WHERE type = 'table' AND name = ?"), {table},
                        &engineError);
        if (found.toInt() != 1) {
            if (error)
                *error = engineError.isEmpty() ? QStringLiteral("no such table: %1").arg(table) : engineError;
            return false;
        }
    }
    return true;
}

} // namespace zelvora::schema
