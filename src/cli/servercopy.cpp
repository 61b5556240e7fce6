// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/servercopy.h"

#include "backup/databasecheck.h"
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

// Rows per INSERT: few round trips to the server, well inside SQLite's limit of bound values.
constexpr int kBatchRows = 500;

// A table of the ledger as it is copied: its key (the id, or the row's place where the table has no id of its
// own) and the columns the program keeps in it.
struct Table
{
    QString name;
    QString key;
    QStringList columns;
};

const QList<Table>& ledgerTables()
{
    static const QList<Table> tables {
        {QStringLiteral("musteriler"),
         QStringLiteral("id"),
         {QStringLiteral("mus_kodu"), QStringLiteral("MusteriFirma"), QStringLiteral("Turu"),
          QStringLiteral("Telefon1"), QStringLiteral("Telefon2"), QStringLiteral("Sehir"), QStringLiteral("Adres"),
          QStringLiteral("vd"), QStringLiteral("vdn"), QStringLiteral("Bakiye"), QStringLiteral("Sonislem"),
          QStringLiteral("Gun"), QStringLiteral("sira_anahtari"), QStringLiteral("arama_anahtari"),
          QStringLiteral("BeklemeTarihi")}},
        {QStringLiteral("veresiye"),
         QStringLiteral("id"),
         {QStringLiteral("mus_kodu"), QStringLiteral("Tarih"), QStringLiteral("Saat"), QStringLiteral("Aciklama"),
          QStringLiteral("Miktar"), QStringLiteral("Birim"), QStringLiteral("KDV"), QStringLiteral("Eklenen"),
          QStringLiteral("Odenen")}},
        {QStringLiteral("\"User\""), QStringLiteral("rowid"), {QStringLiteral("Username"), QStringLiteral("Password")}},
        {QStringLiteral("son_musterino"), QStringLiteral("rowid"), {QStringLiteral("musterino")}},
        {QStringLiteral("birimler"), QStringLiteral("rowid"), {QStringLiteral("birimadi")}},
        {QStringLiteral("surum"), QStringLiteral("rowid"), {QStringLiteral("surum")}},
    };
    return tables;
}

// A value read from either engine as the other takes it: the server's driver hands out a positive bigint
// unsigned, which is a signed whole number in the ledger.
QVariant portable(const QVariant& value)
{
    if (!value.isNull() && value.typeId() == QMetaType::ULongLong)
        if (const auto whole = Database::wholeNumber(value))
            return QVariant::fromValue<qint64>(*whole);
    return value;
}

QString insertSql(const Table& table, int rows)
{
    const QStringList columns = QStringList {table.key} + table.columns;
    QStringList marks(columns.size(), QStringLiteral("?"));
    const QString row = QLatin1Char('(') + marks.join(QStringLiteral(", ")) + QLatin1Char(')');
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(table.name, columns.join(QStringLiteral(", ")), QStringList(rows, row).join(QStringLiteral(", ")));
}

// Streams every row of a table from one ledger into the same table of another, in batches of bound values.
bool copyTable(const QSqlDatabase& from, bool fromServer, const Database& to, const Table& table, qint64* copied,
               QString* error)
{
    const QStringList columns = QStringList {table.key} + table.columns;
    QSqlQuery read(from);
    // Forward only: SQLite steps through the table, the server's driver hands out one row at a time.
    read.setForwardOnly(true);
    if (fromServer)
        read.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!read.exec(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                       .arg(columns.join(QStringLiteral(", ")), table.name, table.key))) {
        *error = Database::errorText(read);
        return false;
    }
    // After a failed statement the server refuses every other one, also freeing the prepared inserts; going back
    // to this point first lets them go quietly. The caller's transaction still undoes all.
    if (to.isServer() && !to.exec(QStringLiteral("SAVEPOINT zv_kopya"), {}, error))
        return false;
    const auto undo = [&] {
        if (to.isServer())
            to.exec(QStringLiteral("ROLLBACK TO SAVEPOINT zv_kopya"));
        return false;
    };
    QSqlQuery full = to.prepare(insertSql(table, kBatchRows));
    QVariantList values;
    values.reserve(kBatchRows * columns.size());
    int rows = 0;
    const auto flush = [&] {
        QSqlQuery partial;
        QSqlQuery& write = rows == kBatchRows ? full : (partial = to.prepare(insertSql(table, rows)));
        if (!Database::runWith(write, values, error))
            return undo();
        *copied += rows;
        values.clear();
        rows = 0;
        return true;
    };
    while (read.next()) {
        for (int i = 0; i < columns.size(); ++i)
            values.append(portable(read.value(i)));
        if (++rows == kBatchRows && !flush())
            return false;
    }
    if (read.lastError().type() != QSqlError::NoError) {
        *error = Database::errorText(read);
        return false;
    }
    return rows == 0 || flush();
}

bool copyTables(const QSqlDatabase& from, bool fromServer, const Database& to, QString* error)
{
    for (const Table& table : ledgerTables()) {
        // The schema's first rows (units, the counter) are replaced by the ledger's own.
        qint64 copied = 0;
        if (!to.exec(QStringLiteral("DELETE FROM %1").arg(table.name), {}, error)
            || !copyTable(from, fromServer, to, table, &copied, error)) {
            *error = QStringLiteral("%1 tablosu kopyalanamadı: %2").arg(table.name, *error);
            return false;
        }
    }
    return true;
}

// New rows on the server continue after the largest key copied.
bool moveSequences(const Database& server, QString* error)
{
    for (const Table& table : ledgerTables()) {
        const QVariant next = server.scalar(
            QStringLiteral("SELECT setval(pg_get_serial_sequence(?, ?), coalesce((SELECT max(%1) FROM %2), 0) + 1, "
                           "false)")
                .arg(table.key, table.name),
            {table.name, table.key.toLower()}, error);
        if (!next.isValid()) {
            *error = QStringLiteral("%1 tablosunun sıra numarası ayarlanamadı: %2").arg(table.name, *error);
            return false;
        }
    }
    return true;
}

// A number read back from a count or a sum, as text: whole numbers alike on both engines.
QString numberText(const QVariant& value)
{
    if (value.typeId() == QMetaType::Double) {
        const double d = value.toDouble();
        if (d == static_cast<double>(static_cast<qint64>(d)))
            return QString::number(static_cast<qint64>(d));
    }
    if (const auto whole = Database::wholeNumber(value))
        return QString::number(*whole);
    return value.toString();
}

// What both sides are compared by.
struct Figures
{
    QStringList values; // customers, movements, sum of Bakiye, of Eklenen, of Odenen
};

bool figuresOf(const QSqlDatabase& db, Figures* figures, QString* error)
{
    QSqlQuery query(db);
    query.setForwardOnly(true);
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!query.exec(QStringLiteral("SELECT (SELECT count(*) FROM musteriler), (SELECT count(*) FROM veresiye), "
                                   "(SELECT coalesce(sum(Bakiye), 0) FROM musteriler), "
                                   "(SELECT coalesce(sum(Eklenen), 0) FROM veresiye), "
                                   "(SELECT coalesce(sum(Odenen), 0) FROM veresiye)"))
        || !query.next()) {
        *error = Database::errorText(query);
        return false;
    }
    for (int i = 0; i < 5; ++i)
        figures->values.append(numberText(query.value(i)));
    return true;
}

QString moneyText(const QString& kurus)
{
    bool fits = false;
    const qint64 value = kurus.toLongLong(&fits);
    return fits ? numbers::totals(value) : kurus + QStringLiteral(" kuruş");
}

// The comparison lines; true when every figure agrees.
bool compare(const Figures& file, const Figures& server, QStringList* lines)
{
    static const char* const names[]
        = {"Müşteri sayısı", "Hareket sayısı", "Bakiye toplamı", "Eklenen toplamı", "Ödenen toplamı"};
    bool same = true;
    for (int i = 0; i < 5; ++i) {
        const bool money = i >= 2;
        const QString a = money ? moneyText(file.values.at(i)) : file.values.at(i);
        const QString b = money ? moneyText(server.values.at(i)) : server.values.at(i);
        const bool agrees = file.values.at(i) == server.values.at(i);
        same = same && agrees;
        lines->append(QStringLiteral("%1: dosyada %2, sunucuda %3%4")
                          .arg(QString::fromUtf8(names[i]), a, b, agrees ? QString() : QStringLiteral("  FARKLI")));
    }
    return same;
}

// A read-only connection of its own to a ledger file: the copy never writes the file it reads.
class FileReader final
{
public:
    explicit FileReader(const QString& path)
        : m_name(QStringLiteral("zv_kopya_") + QUuid::createUuid().toString(QUuid::Id128))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=5000"));
        if (!db.open())
            m_error = db.lastError().text();
    }
    ~FileReader()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(m_name, false);
            if (db.isOpen()) {
                db.rollback();
                db.close();
            }
        }
        QSqlDatabase::removeDatabase(m_name);
    }
    Q_DISABLE_COPY_MOVE(FileReader)

    QString error() const { return m_error; }
    QSqlDatabase connection() const { return QSqlDatabase::database(m_name, false); }

private:
    QString m_name;
    QString m_error;
};

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
    if (!schema::create(*db, &error) || !copyTables(source, false, *db, &error) || !moveSequences(*db, &error))
        return refused(failed.arg(where, error));

    Figures before;
    Figures after;
    if (!figuresOf(source, &before, &error) || !figuresOf(db->connection(), &after, &error))
        return refused(failed.arg(where, error));
    QStringList lines;
    if (!compare(before, after, &lines))
        return refused(failed.arg(where, QStringLiteral("iki taraftaki sayılar tutmuyor.")), lines);
    if (!transaction.commit())
        return refused(failed.arg(where, db->connection().lastError().text()), lines);
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

    QString error;
    const auto db = Database::openServer(server, &error);
    if (!db)
        return refused(QStringLiteral("Sunucuya bağlanılamadı (%1): %2").arg(server.address(), error));
    const QStringList tables = db->tableNames(&error);
    if (!error.isEmpty())
        return refused(QStringLiteral("Sunucudaki veri tabanı okunamadı (%1): %2").arg(where, error));
    for (const Table& table : ledgerTables()) {
        const QString name = table.name.toLower().remove(QLatin1Char('"'));
        if (!tables.contains(name))
            return refused(
                QStringLiteral("Sunucudaki veri tabanında defter yok (%1): %2 tablosu bulunamadı.").arg(where, name));
    }
    // One snapshot of the server's ledger, however long the copy takes.
    QSqlDatabase source = db->connection();
    if (!source.transaction()
        || !db->exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"), {}, &error))
        return refused(QStringLiteral("Sunucudaki veri tabanı okunamadı (%1): %2")
                           .arg(where, error.isEmpty() ? source.lastError().text() : error));

    // Written under a temporary name beside the target, so a failure never leaves half a file under its name.
    QTemporaryFile partial(target.absoluteDir().filePath(target.fileName() + QStringLiteral(".XXXXXX.yarim")));
    if (!partial.open())
        return refused(QStringLiteral("%1 yazılamadı: %2").arg(shown, partial.errorString()));
    partial.close();
    const QString failed = QStringLiteral("Defter sunucudan kopyalanamadı; %1 yazılmadı: %2");
    QStringList lines;
    {
        const auto out = Database::open(partial.fileName(), &error);
        if (!out)
            return refused(failed.arg(shown, error));
        ScopedTransaction transaction(*out);
        if (!transaction.isActive())
            return refused(failed.arg(shown, out->connection().lastError().text()));
        if (!schema::create(*out, &error) || !copyTables(source, true, *out, &error))
            return refused(failed.arg(shown, error));
        Figures before;
        Figures after;
        if (!figuresOf(source, &before, &error) || !figuresOf(out->connection(), &after, &error))
            return refused(failed.arg(shown, error));
        if (!compare(after, before, &lines))
            return refused(failed.arg(shown, QStringLiteral("iki taraftaki sayılar tutmuyor.")), lines);
        if (!transaction.commit())
            return refused(failed.arg(shown, out->connection().lastError().text()), lines);
    }
    source.rollback();
    const DatabaseCheck::Result check = DatabaseCheck::inspect(partial.fileName(), DatabaseCheck::Depth::Tables);
    if (!check.usable())
        return refused(failed.arg(shown, check.problems.join(QStringLiteral("; "))), lines);
    // rename() never replaces a file that appeared meanwhile.
    if (!QFile::rename(partial.fileName(), file))
        return refused(failed.arg(shown, QStringLiteral("dosya yerine konamadı.")), lines);
    partial.setAutoRemove(false);
    lines.append(QStringLiteral("Defter sunucudan (%1) dosyaya kopyalandı: %2").arg(where, shown));
    return {true, lines, {}};
}

} // namespace zelvora::cli
