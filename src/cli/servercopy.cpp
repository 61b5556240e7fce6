// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/servercopy.h"

#include "backup/databasecheck.h"
#include "backup/serverledger.h"
#include "data/clock.h"
#include "data/numberformat.h"
#include "data/schema.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUuid>

namespace zelvora::cli {

namespace {

using serverledger::FileReader;

ServerCopyResult refused(const QString& error, const QStringList& lines = {})
{
    return {false, lines, error};
}

QString serverName(const ServerSettings& server)
{
    return QStringLiteral("%1 / %2").arg(server.address(), server.name);
}

} // namespace

ServerCopyResult copyToServer(const QString& file, const ServerSettings& server)
{
    const QString where = serverName(server);
    const QString shown = QDir::toNativeSeparators(file);
    QString why;
    if (!DatabaseCheck::hasDatabaseHeader(file, &why))
        return refused(QStringLiteral("%1 bir veri dosyası olarak kabul edilmedi: %2").arg(shown, why));
    if (DatabaseCheck::hasPendingWal(file))
        return refused(QStringLiteral("%1 dosyasının yanındaki \"-wal\" dosyasında dosyaya henüz yazılmamış kayıtlar "
                                      "var. Dosyayı kullanan programı kapatıp yeniden deneyin.")
                           .arg(shown));
    // The same check a restore makes: a file the program would not take in is not copied either.
    if (!DatabaseCheck::restorable(file, QDir::temp().filePath(QStringLiteral("zelvora-kopya-denetimi.dll")),
                                   Clock::today(), &why))
        return refused(QStringLiteral("%1 bir veri dosyası olarak kabul edilmedi: %2").arg(shown, why));

    QString error;
    const auto db = Database::openServer(server, &error);
    if (!db)
        return refused(QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(server.address(), error));
    const QStringList tables = db->tableNames(&error);
    if (!error.isEmpty())
        return refused(QStringLiteral("Sunucudaki veri tabanı okunamadı (%1): %2").arg(where, error));
    if (!tables.isEmpty())
        return refused(QStringLiteral("Sunucudaki veri tabanı boş değil (%1): %2 tablo var (%3). Hiçbir şey "
                                      "değiştirilmedi; defter yalnızca boş bir veri tabanına kopyalanır.")
                           .arg(where)
                           .arg(tables.size())
                           .arg(tables.join(QStringLiteral(", "))));

    const FileReader reader(file);
    if (!reader.error().isEmpty())
        return refused(QStringLiteral("%1 okunamadı: %2").arg(shown, reader.error()));
    QSqlDatabase source = reader.connection();
    // One read transaction: the rows and the figures come from the same state of the file.
    if (!source.transaction())
        return refused(QStringLiteral("%1 okunamadı: %2").arg(shown, source.lastError().text()));

    const QString failed = QStringLiteral("Defter sunucuya kopyalanamadı (%1); hiçbir şey değiştirilmedi: %2");
    ScopedTransaction transaction(*db);
    if (!transaction.isActive())
        return refused(QStringLiteral("Sunucuda işlem başlatılamadı (%1).").arg(where));
    if (!schema::create(*db, &error)
        || !serverledger::copyTables(source, false, *db, &error, serverledger::Indexes::BuiltAfter)
        || !serverledger::moveSequences(*db, &error))
        return refused(failed.arg(where, error));
    QStringList lines;
    if (!serverledger::compareFigures(source, db->connection(), &lines, &error))
        return refused(failed.arg(where, error), lines);
    if (!transaction.commit())
        return refused(failed.arg(where, db->connection().lastError().text()), lines);
    // The planner's statistics of the new tables: without them the first reads of the tills scan a large table
    // instead of using its indexes, until the server's autovacuum gathers them. The copy stands either way.
    db->exec(QStringLiteral("ANALYZE"));
    lines.append(QStringLiteral("Defter sunucuya kopyalandı (%1).").arg(where));
    return {true, lines, {}};
}

ServerCopyResult copyFromServer(const ServerSettings& server, const QString& file)
{
    const QString where = serverName(server);
    const QString shown = QDir::toNativeSeparators(file);
    const QFileInfo target(file);
    if (target.exists() || target.isSymLink())
        return refused(QStringLiteral("%1 zaten var; üzerine yazılmaz. Başka bir dosya adı verin.").arg(shown));
    if (!target.absoluteDir().exists())
        return refused(QStringLiteral("%1 yazılamaz: klasör yok.").arg(shown));

    // Written under a temporary name beside the target, so a failure never leaves half a file under its name.
    QTemporaryFile partial(target.absoluteDir().filePath(target.fileName() + QStringLiteral(".XXXXXX.yarim")));
    if (!partial.open())
        return refused(QStringLiteral("%1 yazılamadı: %2").arg(shown, partial.errorString()));
    partial.close();
    const QString failed = QStringLiteral("Defter sunucudan kopyalanamadı; %1 yazılmadı: %2");
    QStringList lines;
    QString error;
    if (!serverledger::writeSnapshot(server, partial.fileName(), &lines, &error))
        return refused(failed.arg(shown, error), lines);
    // rename() never replaces a file that appeared meanwhile.
    if (!QFile::rename(partial.fileName(), file))
        return refused(failed.arg(shown, QStringLiteral("dosya yerine konamadı.")), lines);
    partial.setAutoRemove(false);
    lines.append(QStringLiteral("Defter sunucudan (%1) dosyaya kopyalandı: %2").arg(where, shown));
    return {true, lines, {}};
}

} // namespace zelvora::cli
