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

QByteArray script()
{
    initSchemaResource();
    QFile file(QStringLiteral(":/data/schema.sql"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool create(const Database& db, QString* error)
{
    const QByteArray text = script();
    if (text.isEmpty()) {
        if (error)
            *error = QStringLiteral("schema.sql okunamadı");
        return false;
    }
    // The script holds a trigger body with inner semicolons, so it runs through SQLite itself.
    auto* handle = *static_cast<sqlite3**>(db.connection().driver()->handle().data());
    char* message = nullptr;
    const int rc = sqlite3_exec(handle, text.constData(), nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        if (error)
            *error = QString::fromUtf8(message);
        sqlite3_free(message);
        return false;
    }
    return true;
}

} // namespace zelvora::schema
