// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/ledgercheck.h"

#include "backup/databasecheck.h"
#include "backup/databasereadlock.h"
#include "backup/filecopy.h"
#include "backup/serverledger.h"
#include "backup/sqlitefile.h"
#include "data/collectionstore.h"
#include "data/customerrow.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"
#include "data/schema.h"

#include <QDir>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace zelvora::cli {

namespace {

const QString kRepairCopyNames = QStringLiteral("Veresiye_Onarim_Oncesi_*.ydk");

// Past this many lines of one kind the rest is counted, not listed.
constexpr int kMostLinesPerKind = 100;

class Lines final
{
public:
    explicit Lines(QStringList& out)
        : m_out(out)
    {
    }
    ~Lines()
    {
        if (m_count > kMostLinesPerKind)
            m_out.append(QStringLiteral("... ve aynı türden %1 bulgu daha.").arg(m_count - kMostLinesPerKind));
    }
    Q_DISABLE_COPY_MOVE(Lines)

    void add(const QString& line)
    {
        if (++m_count <= kMostLinesPerKind)
            m_out.append(line);
    }

private:
    QStringList& m_out;
    int m_count = 0;
};

QString money(const QString& kurus)
{
    return numbers::totals(kurus.toLongLong());
}

bool isIsoDate(const QString& text)
{
    return text.size() == 10 && QDate::fromString(text, Qt::ISODate).isValid();
}

bool isIsoTime(const QString& text)
{
    return text.size() == 8 && QTime::fromString(text, QStringLiteral("HH:mm:ss")).isValid();
}

// Every row of a query as texts (NULL as a null QString); false when it cannot run.
using RowsOf = std::function<bool(const QString& sql, QList<QStringList>* rows)>;

// Where the engines' SQL differs: a comparison that takes two nulls as equal, and a byte-wise text order.
struct Dialect
{
    QString isNot;
    QString byteOrder;
    Engine engine;
};

const Dialect kFileDialect {QStringLiteral("IS NOT"), QString(), Engine::SQLite};
const Dialect kServerDialect {QStringLiteral("IS DISTINCT FROM"), QStringLiteral(" COLLATE \"C\""), Engine::PostgreSQL};

// Each check is a query; one that cannot run (a missing column) is already a finding of the schema check.
void query(const RowsOf& rowsOf, const QString& sql, const std::function<void(const QStringList&)>& each)
{
    QList<QStringList> rows;
    if (rowsOf(sql, &rows))
        for (const QStringList& row : rows)
            each(row);
}

bool serverRows(const Database& db, const QString& sql, QList<QStringList>* rows)
{
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    // Sums over bigint come as numeric: read as text, no kuruş lost.
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.exec(sql))
        return false;
    const int columns = q.record().count();
    while (q.next()) {
        QStringList row;
        for (int i = 0; i < columns; ++i) {
            const QVariant v = q.value(i);
            if (v.isNull())
                row.append(QString());
            else if (const auto whole = Database::wholeNumber(v))
                row.append(QString::number(*whole));
            else
                row.append(v.toString());
        }
        rows->append(row);
    }
    return true;
}

// The checks of the ledger's rows, alike on both engines.
void checkRows(const RowsOf& db, const Dialect& sql, QStringList& findings)
{
    const QString balances
        = QStringLiteral(
              "SELECT m.mus_kodu, m.MusteriFirma, m.Bakiye, coalesce(s.toplam, 0) FROM musteriler m "
              "LEFT JOIN (SELECT mus_kodu, coalesce(sum(Eklenen), 0) - coalesce(sum(Odenen), 0) AS toplam FROM "
              "veresiye GROUP BY mus_kodu) s ON s.mus_kodu = m.mus_kodu WHERE coalesce(m.Bakiye, 0) %1 "
              "coalesce(s.toplam, 0) ORDER BY m.id")
              .arg(sql.isNot);
    {
        Lines lines(findings);
        query(db, balances, [&](const QStringList& r) {
            lines.add(
                QStringLiteral("Bakiye hareketlerle tutmuyor: müşteri %1 %2, kayıtlı %3, hareketlerden %4")
                    .arg(r.at(0), r.at(1), r.at(2).isNull() ? QStringLiteral("boş") : money(r.at(2)), money(r.at(3))));
        });
    }
    // The to-collect dates, in one line: they follow from the movements and the repair sets them all at once.
    query(db,
          QStringLiteral("SELECT count(*) FROM musteriler m LEFT JOIN (%1) s ON s.mus_kodu = m.mus_kodu "
                         "WHERE m.BeklemeTarihi IS DISTINCT FROM s.d")
              .arg(CollectionStore::datesFromMovementsSql(sql.engine)),
          [&](const QStringList& r) {
              if (r.at(0).toLongLong() > 0)
                  findings.append(
                      QStringLiteral("Tahsilat listesi tarihi hareketlerle tutmuyor: %1 müşteri").arg(r.at(0)));
          });
    {
        Lines lines(findings);
        query(db,
              QStringLiteral("SELECT v.mus_kodu, count(*) FROM veresiye v WHERE NOT EXISTS (SELECT 1 FROM musteriler m "
                             "WHERE m.mus_kodu = v.mus_kodu) GROUP BY v.mus_kodu ORDER BY min(v.id)"),
              [&](const QStringList& r) {
                  lines.add(
                      QStringLiteral("Müşterisi olmayan hareketler: müşteri no %1, %2 hareket").arg(r.at(0), r.at(1)));
              });
    }
    {
        Lines lines(findings);
        query(db,
              QStringLiteral("SELECT mus_kodu, count(*) FROM musteriler GROUP BY mus_kodu HAVING count(*) > 1 "
                             "ORDER BY min(id)"),
              [&](const QStringList& r) {
                  lines.add(QStringLiteral("Aynı müşteri numarası birden çok müşteride: %1 (%2 müşteri)")
                                .arg(r.at(0), r.at(1)));
              });
    }
    {
        Lines lines(findings);
        query(db, QStringLiteral("SELECT mus_kodu, MusteriFirma, Sonislem FROM musteriler ORDER BY id"),
              [&](const QStringList& r) {
                  if (!r.at(2).isEmpty() && !isIsoDate(r.at(2)))
                      lines.add(QStringLiteral("Okunamayan son işlem tarihi: müşteri %1 %2: '%3'")
                                    .arg(r.at(0), r.at(1), r.at(2)));
              });
        query(db, QStringLiteral("SELECT id, mus_kodu, Tarih, Saat FROM veresiye ORDER BY id"),
              [&](const QStringList& r) {
                  if (!isIsoDate(r.at(2)))
                      lines.add(QStringLiteral("Okunamayan tarih: hareket %1 (müşteri %2): '%3'")
                                    .arg(r.at(0), r.at(1), r.at(2)));
                  if (!isIsoTime(r.at(3)))
                      lines.add(QStringLiteral("Okunamayan saat: hareket %1 (müşteri %2): '%3'")
                                    .arg(r.at(0), r.at(1), r.at(3)));
              });
    }
    {
        Lines lines(findings);
        // Empty keys are filled by the program itself at its next start; a key that is there must be right.
        query(db,
              QStringLiteral("SELECT mus_kodu, MusteriFirma, sira_anahtari, arama_anahtari FROM musteriler "
                             "WHERE sira_anahtari IS NOT NULL OR arama_anahtari IS NOT NULL ORDER BY id"),
              [&](const QStringList& r) {
                  if (r.at(2) != customerrow::sortKeyOf(r.at(1)) || r.at(3) != customerrow::searchKeyOf(r.at(1)))
                      lines.add(QStringLiteral("Ad anahtarları adla uyuşmuyor: müşteri %1 %2").arg(r.at(0), r.at(1)));
              });
    }
    {
        Lines lines(findings);
        // The totals the triggers keep must be the sums of the balances (a file of an earlier version has
        // no such table yet: the query fails and there is nothing to compare).
        query(db,
              QStringLiteral("SELECT t.Turu, coalesce(l.Bakiye, 0), t.toplam FROM (SELECT Turu, coalesce(sum(Bakiye), "
                             "0) AS toplam FROM musteriler GROUP BY Turu UNION SELECT Turu, 0 FROM liste_toplami "
                             "WHERE Turu NOT IN (SELECT Turu FROM musteriler)) t LEFT JOIN liste_toplami l "
                             "ON l.Turu = t.Turu WHERE coalesce(l.Bakiye, 0) != t.toplam ORDER BY t.Turu%1")
                  .arg(sql.byteOrder),
              [&](const QStringList& r) {
                  lines.add(QStringLiteral("Liste toplamı bakiyelerle tutmuyor: %1, kayıtlı %2, bakiyelerden %3")
                                .arg(r.at(0), money(r.at(1)), money(r.at(2))));
              });
    }
}

// "Veresiye_Onarim_Oncesi_05-03-09_14-05-09.ydk", with a number after it when that name is taken.
QString repairCopyPath(const QString& backupFolder, const QDateTime& now)
{
    const QString stem = QStringLiteral("Veresiye_Onarim_Oncesi_") + dates::backupDate(now.date()) + QLatin1Char('_')
        + now.time().toString(QStringLiteral("HH-mm-ss"));
    QString path = QDir(backupFolder).filePath(stem + QStringLiteral(".ydk"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = QDir(backupFolder).filePath(stem + QStringLiteral("_%1.ydk").arg(n));
    return path;
}

// How many deleted rows are kept for "Silinen Kayıtlar"; empty when none or when the ledger has no such tables
// yet (an older file). Kept on purpose, so never a finding.
template<typename Rows> QString keptDeletions(const Rows& rows)
{
    QList<QStringList> kept;
    if (!rows(QStringLiteral(
                  "SELECT (SELECT count(*) FROM silinen_musteriler), (SELECT count(*) FROM silinen_hareketler)"),
              &kept)
        || kept.isEmpty()
        || (kept.first().value(0) == QLatin1String("0") && kept.first().value(1) == QLatin1String("0")))
        return {};
    return QStringLiteral("Silinen kayıtlar (geri alınabilir): %1 müşteri, %2 hareket.")
        .arg(kept.first().value(0), kept.first().value(1));
}

} // namespace

LedgerReport checkLedger(const QString& databasePath)
{
    LedgerReport report;
    const DatabaseCheck::Result schema = DatabaseCheck::inspect(databasePath);
    report.findings = schema.lines();
    report.readable = schema.readable;
    if (!schema.readable)
        return report;
    const SqliteFile db(databasePath, SqliteFile::Mode::ReadOnly);
    // One read transaction: every check sees the same state of the file.
    db.exec(QStringLiteral("BEGIN"));
    const auto rows = [&db](const QString& sql, QList<QStringList>* found) { return db.rows(sql, {}, found); };
    checkRows(rows, kFileDialect, report.findings);
    report.deleted = keptDeletions(rows);
    db.exec(QStringLiteral("COMMIT"));
    return report;
}

LedgerReport checkServerLedger(const ServerSettings& server)
{
    LedgerReport report;
    report.notes.append(QStringLiteral("Defter sunucuda (%1): dosya düzeyindeki denetimler (bütünlük denetimi, "
                                       "tablo yapısı) sunucuda yapılmaz.")
                            .arg(server.address()));
    QString error;
    const auto db = Database::openServer(server, &error);
    if (!db) {
        report.findings.append(QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(server.address(), error));
        return report;
    }
    // One snapshot: every check sees the same state of the ledger.
    if (!db->connection().transaction()
        || !db->exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"), {}, &error)) {
        report.findings.append(QStringLiteral("Sunucudaki veri tabanı okunamadı: %1").arg(error));
        return report;
    }
    const QStringList present = db->tableNames(&error);
    for (QString table : serverledger::tables() + QStringList {QStringLiteral("liste_toplami")}) {
        table = table.toLower().remove(QLatin1Char('"'));
        if (!present.contains(table))
            report.findings.append(QStringLiteral("Sunucudaki veri tabanında %1 tablosu yok.").arg(table));
    }
    if (!error.isEmpty() || !report.findings.isEmpty()) {
        if (!error.isEmpty())
            report.findings.append(QStringLiteral("Sunucudaki veri tabanı okunamadı: %1").arg(error));
        db->connection().rollback();
        return report;
    }
    report.readable = true;
    const auto rows = [&db](const QString& sql, QList<QStringList>* found) { return serverRows(*db, sql, found); };
    checkRows(rows, kServerDialect, report.findings);
    report.deleted = keptDeletions(rows);
    db->connection().rollback();
    return report;
}

int removeRepairLeftovers(const QString& databasePath, const QString& backupFolder, int waitMs)
{
    const DatabaseReadLock lock(databasePath, waitMs);
    return lock.isHeld() ? FileCopy::removeLeftovers(backupFolder, kRepairCopyNames) : 0;
}

RepairResult repairLedger(const QString& databasePath, const QString& backupFolder, const QDateTime& now, int waitMs)
{
    RepairResult result;
    const DatabaseCheck::Result schema = DatabaseCheck::inspect(databasePath);
    if (!schema.usable()) {
        result.error = QStringLiteral("Veri tabanı onarılamaz, önce yapısı düzeltilmeli:\n")
            + schema.lines().join(QLatin1Char('\n'));
        return result;
    }
    if (!QDir().mkpath(backupFolder)) {
        result.error = QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(QDir::toNativeSeparators(backupFolder));
        return result;
    }
    result.backupPath = repairCopyPath(backupFolder, now);

    QString error;
    std::unique_ptr<Database> db = Database::open(databasePath, &error);
    if (!db) {
        result.error = QStringLiteral("Veri tabanı açılamadı: %1").arg(error);
        return result;
    }
    db->exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(waitMs));
    // The name keys land all over their indexes: with SQLite's small default cache every row would write its
    // index pages out again (64 MiB at most, for this one run).
    db->exec(QStringLiteral("PRAGMA cache_size = -65536"));
    // The write lock is taken before the copy and kept through the repair: the copy is exactly the state
    // the repair starts from.
    if (!db->exec(QStringLiteral("BEGIN IMMEDIATE"), {}, &error)) {
        result.error = QStringLiteral("Veri tabanı yazma işlemi bitmediği için onarılamadı: %1").arg(error);
        return result;
    }
    // Holding the write lock, no other repair is copying: temporary files of its kind are an interrupted
    // earlier run's.
    result.leftovers = FileCopy::removeLeftovers(backupFolder, kRepairCopyNames);
    FileCopy copy(databasePath, result.backupPath);
    QString why;
    if (!copy.copyToTemporary() || !DatabaseCheck::restorable(copy.temporaryPath(), result.backupPath, now.date(), &why)
        || !copy.commit()) {
        db->exec(QStringLiteral("ROLLBACK"));
        result.error = QStringLiteral("Onarım öncesi yedek alınamadı, hiçbir şey değiştirilmedi: %1")
                           .arg(why.isEmpty() ? copy.errorString() : why);
        return result;
    }

    const auto changes = [&db] { return db->scalar(QStringLiteral("SELECT changes()")).toInt(); };
    bool ok
        = db->exec(QStringLiteral("UPDATE musteriler SET Bakiye = (SELECT coalesce(sum(Eklenen), 0) - "
                                  "coalesce(sum(Odenen), 0) FROM veresiye v WHERE v.mus_kodu = musteriler.mus_kodu) "
                                  "WHERE coalesce(Bakiye, 0) IS NOT (SELECT coalesce(sum(Eklenen), 0) - "
                                  "coalesce(sum(Odenen), 0) FROM veresiye v WHERE v.mus_kodu = musteriler.mus_kodu)"),
                   {}, &error);
    result.balances = ok ? changes() : 0;
    for (const QString& statement : CollectionStore::refreshAllSql(Engine::SQLite)) {
        ok = ok && db->exec(statement, {}, &error);
        result.collectionDates += ok ? changes() : 0;
    }
    const QString days = customerrow::dayCountSql();
    const QString today = dates::isoDate(now.date());
    ok = ok
        && db->exec(QStringLiteral("UPDATE musteriler SET Gun = %1 WHERE Gun IS NOT %1").arg(days), {today, today},
                    &error);
    result.dayCounts = ok ? changes() : 0;
    // The balances may have changed above; the totals kept from them (a file of an earlier version has none
    // yet) are summed again.
    if (ok
        && db->scalar(QStringLiteral("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = 'liste_toplami'"))
               .isValid()) {
        for (const QString& statement : schema::listTotalsRefill())
            ok = ok && db->exec(statement, {}, &error);
    }
    // Every missing or wrong name key in one statement, through the program's own key functions.
    ok = ok
        && db->exec(QStringLiteral("UPDATE musteriler SET %1 WHERE sira_anahtari IS NOT %2 OR arama_anahtari IS NOT %3")
                        .arg(customerrow::keyAssignmentsSql(), customerrow::sortKeySql(), customerrow::searchKeySql()),
                    {}, &error);
    result.nameKeys = ok ? changes() : 0;
    ok = ok && db->exec(QStringLiteral("COMMIT"), {}, &error);
    if (!ok) {
        db->exec(QStringLiteral("ROLLBACK"));
        result.error = QStringLiteral("Onarım yapılamadı, hiçbir şey değiştirilmedi: %1").arg(error);
        return result;
    }
    result.ok = true;
    return result;
}

RepairResult repairServerLedger(const ServerSettings& server, const QString& backupFolder, const QDateTime& now,
                                int waitMs)
{
    RepairResult result;
    if (!QDir().mkpath(backupFolder)) {
        result.error = QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(QDir::toNativeSeparators(backupFolder));
        return result;
    }
    QString error;
    const auto db = Database::openServer(server, &error);
    if (!db) {
        result.error = QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(server.address(), error);
        return result;
    }
    ScopedTransaction transaction(*db);
    // Other tills' writes wait from here to the end; their reads go on. A running write is waited for a while.
    const bool locked = transaction.isActive()
        && db->exec(QStringLiteral("SET LOCAL lock_timeout = %1").arg(waitMs), {}, &error)
        && db->exec(QStringLiteral("LOCK TABLE musteriler, veresiye, liste_toplami IN EXCLUSIVE MODE"), {}, &error);
    if (!locked) {
        result.error = QStringLiteral("Sunucudaki defter yazma işlemi bitmediği için onarılamadı: %1").arg(error);
        return result;
    }
    // The copy is read on a connection of its own while the writers wait: it is the state the repair starts from.
    result.backupPath = repairCopyPath(backupFolder, now);
    if (!serverledger::backupTo(server, result.backupPath, now.date(), &error, {}, serverledger::Check::None)) {
        result.error = QStringLiteral("Onarım öncesi yedek alınamadı, hiçbir şey değiştirilmedi: %1").arg(error);
        return result;
    }

    const QString difference = QStringLiteral("(SELECT coalesce(sum(Eklenen), 0) - coalesce(sum(Odenen), 0) FROM "
                                              "veresiye v WHERE v.mus_kodu = musteriler.mus_kodu)");
    const qint64 balances = db->execCount(
        QStringLiteral("UPDATE musteriler SET Bakiye = %1 WHERE coalesce(Bakiye, 0) IS DISTINCT FROM %1")
            .arg(difference),
        {}, &error);
    const QString days = customerrow::dayCountSql(Engine::PostgreSQL);
    const QString today = dates::isoDate(now.date());
    const qint64 dayCounts = balances < 0 ? -1
                                          : db->execCount(QStringLiteral("UPDATE musteriler SET Gun = %1 WHERE Gun IS "
                                                                         "DISTINCT FROM %1")
                                                              .arg(days),
                                                          {today, today}, &error);
    bool ok = dayCounts >= 0;
    for (const QString& statement : CollectionStore::refreshAllSql(Engine::PostgreSQL)) {
        const qint64 changed = ok ? db->execCount(statement, {}, &error) : -1;
        ok = changed >= 0;
        result.collectionDates += ok ? static_cast<int>(changed) : 0;
    }
    for (const QString& statement : schema::listTotalsRefill())
        ok = ok && db->exec(statement, {}, &error);
    // The server cannot call the program's key functions: the keys are computed here and only changed ones written.
    QList<QVariantList> keys;
    if (ok) {
        QSqlQuery read(db->connection());
        read.setForwardOnly(true);
        ok = read.exec(QStringLiteral("SELECT id, MusteriFirma, sira_anahtari, arama_anahtari FROM musteriler "
                                      "ORDER BY id"));
        while (ok && read.next()) {
            const QString name = read.value(1).toString();
            const QString sortKey = customerrow::sortKeyOf(name);
            const QString searchKey = customerrow::searchKeyOf(name);
            if (read.value(2).isNull() || read.value(3).isNull() || read.value(2).toString() != sortKey
                || read.value(3).toString() != searchKey)
                keys.append({sortKey, searchKey, read.value(0)});
        }
        if (!ok)
            error = Database::errorText(read);
    }
    for (const QVariantList& row : std::as_const(keys))
        ok = ok
            && db->exec(QStringLiteral("UPDATE musteriler SET sira_anahtari = ?, arama_anahtari = ? WHERE id = ?"), row,
                        &error);
    if (!ok || !transaction.commit()) {
        if (ok)
            error = db->connection().lastError().text();
        result.error = QStringLiteral("Onarım yapılamadı, hiçbir şey değiştirilmedi: %1").arg(error);
        return result;
    }
    result.balances = static_cast<int>(balances);
    result.dayCounts = static_cast<int>(dayCounts);
    result.nameKeys = static_cast<int>(keys.size());
    result.ok = true;
    return result;
}

} // namespace zelvora::cli
