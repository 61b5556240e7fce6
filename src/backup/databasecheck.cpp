// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/databasecheck.h"

#include "backup/filecopy.h"
#include "backup/sqlitefile.h"
#include "data/customerrow.h"
#include "data/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryFile>
#include <algorithm>
#include <sqlite3.h>

namespace zelvora {

namespace {

constexpr int kHeaderSize = 100;
constexpr int kMostIntegrityLines = 20;
const QByteArray kMagic("SQLite format 3\0", 16);
// Engine steps between two calls of a tick.
constexpr int kTickEvery = 100000;

int progress(void* tick)
{
    (*static_cast<const std::function<void()>*>(tick))();
    return 0;
}

using Connection = SqliteFile;

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString normalizedSql(const QString& sql)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    static const QRegularExpression quotes(QStringLiteral("[\"`\\[\\]]"));
    return QString(sql).remove(quotes).simplified().replace(blanks, QStringLiteral(" ")).toLower();
}

// A table's definition without the columns later versions added at its end (a file of an earlier version lacks
// them; one brought up to date has them appended by ALTER TABLE, which writes its own blanks around them).
QString tableShape(const QString& sql, const QString& table)
{
    static const QRegularExpression punctuation(QStringLiteral(" ?([,()]) ?"));
    QString shape = normalizedSql(sql).replace(punctuation, QStringLiteral("\\1"));
    for (const QString& column : schema::addedColumns(table))
        shape.remove(
            QRegularExpression(QStringLiteral(",%1 [^,()]*").arg(QRegularExpression::escape(column.toLower()))));
    return shape;
}

struct Column
{
    QString name;
    bool requiredValue = false; // NOT NULL without a default: every insert must give it
    QString type;
    bool notNull = false;
    QString defaultValue; // as written, null for none
    int primaryKey = 0;
};

struct Table
{
    QString name;
    QList<Column> columns;
    QString sql;
};

struct SchemaObject
{
    QString type; // "index" or "trigger"
    QString name;
    QString sql;
};

// The tables, columns, indexes and triggers the program's schema script makes.
struct Reference
{
    QList<Table> tables;
    QList<SchemaObject> objects;
};

QList<Column> columnsOf(const Connection& db, const QString& table, QString* error)
{
    QList<QStringList> rows;
    QList<Column> columns;
    if (!db.rows(QStringLiteral("SELECT name, \"notnull\", dflt_value IS NULL, pk, type, dflt_value "
                                "FROM pragma_table_xinfo(?)"),
                 {table}, &rows, error))
        return columns;
    for (const QStringList& row : rows)
        columns.append(
            {row.at(0),
             row.at(1) == QLatin1String("1") && row.at(2) == QLatin1String("1") && row.at(3) == QLatin1String("0"),
             row.at(4), row.at(1) == QLatin1String("1"), row.at(5), row.at(3).toInt()});
    return columns;
}

const Reference& reference()
{
    static const Reference ref = [] {
        Reference r;
        Connection db(QStringLiteral(":memory:"), SqliteFile::Mode::ReadWrite);
        db.exec(QString::fromUtf8(schema::script()));
        QList<QStringList> rows;
        db.rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE sql IS NOT NULL "
                               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY rowid"),
                {}, &rows, nullptr);
        for (const QStringList& row : rows) {
            if (row.at(0) == QLatin1String("table"))
                r.tables.append({row.at(1), columnsOf(db, row.at(1), nullptr), row.at(2)});
            else
                r.objects.append({row.at(0), row.at(1), row.at(2)});
        }
        return r;
    }();
    return ref;
}

QString typeName(const QString& type)
{
    if (type == QLatin1String("trigger"))
        return QStringLiteral("tetikleyici");
    if (type == QLatin1String("view"))
        return QStringLiteral("görünüm");
    return QStringLiteral("dizin");
}

QString shown(const QString& value)
{
    return value.isNull() ? QStringLiteral("yok") : value;
}

// Every way the table's definition differs from the program's: each can make a write of the program fail
// (a CHECK or UNIQUE rule, a STRICT type, a text key without rowid) or change what a value becomes.
void compareDefinition(const Connection& db, const Table& wanted, const QString& actual, const QList<Column>& columns,
                       QStringList& out)
{
    const qsizetype before = out.size();
    const auto named = [](const QList<Column>& list, const QString& name) {
        return std::find_if(list.cbegin(), list.cend(),
                            [&](const Column& c) { return c.name.compare(name, Qt::CaseInsensitive) == 0; });
    };
    for (const Column& column : columns) {
        const auto ours = named(wanted.columns, column.name);
        const QString where = wanted.name + QLatin1Char('.') + column.name;
        if (ours == wanted.columns.cend()) {
            out.append(QStringLiteral("Programa ait olmayan sütun: %1").arg(where));
            continue;
        }
        if (column.type.compare(ours->type, Qt::CaseInsensitive) != 0)
            out.append(QStringLiteral("Sütun türü farklı: %1 %2 (programda %3)")
                           .arg(where, shown(column.type), shown(ours->type)));
        if (column.notNull != ours->notNull)
            out.append(ours->notNull
                           ? QStringLiteral("Sütun boş bırakılabiliyor (programda bırakılamaz): %1").arg(where)
                           : QStringLiteral("Sütun boş bırakılamıyor (programda bırakılabilir): %1").arg(where));
        if (column.defaultValue != ours->defaultValue)
            out.append(QStringLiteral("Sütunun varsayılan değeri farklı: %1 %2 (programda %3)")
                           .arg(where, shown(column.defaultValue), shown(ours->defaultValue)));
        if (column.primaryKey != ours->primaryKey)
            out.append(QStringLiteral("Sütunun birincil anahtar oluşu farklı: %1").arg(where));
    }
    QList<QStringList> options;
    if (db.rows(QStringLiteral("SELECT wr, strict FROM pragma_table_list WHERE schema = 'main' AND name = ?"), {actual},
                &options, nullptr)
        && !options.isEmpty()) {
        if (options.first().value(0) == QLatin1String("1"))
            out.append(QStringLiteral("Tablo WITHOUT ROWID olarak tanımlı: %1").arg(wanted.name));
        if (options.first().value(1) == QLatin1String("1"))
            out.append(QStringLiteral("Tablo STRICT olarak tanımlı: %1").arg(wanted.name));
    }
    // What the column list does not show: CHECK, UNIQUE and foreign-key rules, collations, AUTOINCREMENT.
    QList<QStringList> sql;
    if (out.size() == before
        && db.rows(QStringLiteral("SELECT sql FROM sqlite_master WHERE type = 'table' AND name = ?"), {actual}, &sql,
                   nullptr)
        && !sql.isEmpty() && tableShape(sql.first().value(0), wanted.name) != tableShape(wanted.sql, wanted.name))
        out.append(QStringLiteral("Tablo tanımı programınkinden farklı (kısıtlar ya da sıralama kuralları): %1")
                       .arg(wanted.name));
}

void checkTables(const Connection& db, bool olderVersion, DatabaseCheck::Result& result)
{
    QString error;
    for (const Table& wanted : reference().tables) {
        if (olderVersion && schema::isAddedByUpgrade(wanted.name))
            continue;
        QList<QStringList> found;
        if (!db.rows(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                     {wanted.name}, &found, &error)) {
            result.problems.append(error);
            return;
        }
        if (found.isEmpty()) {
            if (!schema::isAddedLater(wanted.name))
                result.problems.append(QStringLiteral("Eksik tablo: %1").arg(wanted.name));
            continue;
        }
        const QString actual = found.first().first();
        const QList<Column> columns = columnsOf(db, actual, &error);
        const auto named = [](const QList<Column>& list, const QString& name) {
            return std::find_if(list.cbegin(), list.cend(),
                                [&](const Column& c) { return c.name.compare(name, Qt::CaseInsensitive) == 0; });
        };
        for (const Column& column : wanted.columns) {
            if (named(columns, column.name) == columns.cend()
                && !(olderVersion && schema::addedColumns(wanted.name).contains(column.name, Qt::CaseInsensitive)))
                result.problems.append(QStringLiteral("Eksik sütun: %1.%2").arg(wanted.name, column.name));
        }
        // A column that must be given a value where the program's inserts give none makes every insert fail.
        for (const Column& column : columns) {
            const auto ours = named(wanted.columns, column.name);
            if (column.requiredValue && (ours == wanted.columns.cend() || !ours->requiredValue))
                result.problems.append(
                    QStringLiteral("Sütun boş bırakılamıyor ve varsayılan değeri yok: %1.%2").arg(actual, column.name));
        }
        compareDefinition(db, wanted, actual, columns, result.tableDifferences);
    }
    for (const char* table : {"surum", "User"}) {
        QList<QStringList> found;
        const QString name = QString::fromLatin1(table);
        if (!db.rows(QStringLiteral("SELECT 1 FROM %1 LIMIT 1").arg(quoted(name)), {}, &found, &error))
            continue; // the missing table is already reported
        if (found.isEmpty())
            result.problems.append(QStringLiteral("%1 tablosunda satır yok.").arg(name));
    }
}

void checkObjects(const Connection& db, DatabaseCheck::Result& result)
{
    QList<QStringList> rows;
    QString error;
    if (!db.rows(QStringLiteral("SELECT type, name, sql FROM sqlite_master WHERE type IN ('index', 'trigger', 'view') "
                                "AND sql IS NOT NULL ORDER BY rowid"),
                 {}, &rows, &error)) {
        result.problems.append(error);
        return;
    }
    QSet<QString> present;
    for (const QStringList& row : rows) {
        const bool ours = std::any_of(reference().objects.cbegin(), reference().objects.cend(), [&](const auto& o) {
            return o.type == row.at(0) && o.name.compare(row.at(1), Qt::CaseInsensitive) == 0
                && normalizedSql(o.sql) == normalizedSql(row.at(2));
        });
        if (ours)
            present.insert(row.at(1).toLower());
        else
            result.foreignObjects.append(row.at(0) + QLatin1Char(' ') + row.at(1));
    }
    for (const SchemaObject& o : reference().objects) {
        if (!present.contains(o.name.toLower()))
            result.missingObjects.append(o.type + QLatin1Char(' ') + o.name);
    }
}

} // namespace

QStringList DatabaseCheck::Result::lines() const
{
    QStringList out = problems + tableDifferences;
    for (const QString& object : foreignObjects) {
        const qsizetype blank = object.indexOf(QLatin1Char(' '));
        out.append(
            QStringLiteral("Programa ait olmayan %1: %2").arg(typeName(object.left(blank)), object.mid(blank + 1)));
    }
    for (const QString& object : missingObjects) {
        const qsizetype blank = object.indexOf(QLatin1Char(' '));
        out.append(QStringLiteral("Eksik %1: %2").arg(typeName(object.left(blank)), object.mid(blank + 1)));
    }
    return out;
}

bool DatabaseCheck::hasDatabaseHeader(const QString& path, QString* why)
{
    auto refuse = [why](const QString& reason) {
        if (why)
            *why = reason;
        return false;
    };
    const QFileInfo info(path);
    // A directory, a device, a fifo or a link to nothing is never a backup, and reading one may not end.
    if (!info.isFile())
        return refuse(QStringLiteral("Dosya bulunamadı ya da sıradan bir dosya değil."));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    const QByteArray header = file.read(kHeaderSize);
    if (header.size() < kHeaderSize || !header.startsWith(kMagic))
        return refuse(QStringLiteral("Dosya bir SQLite veri tabanı değil."));
    // Bytes 18 and 19: the write and read versions (1 rollback journal, 2 WAL). Anything else SQLite will not
    // write (or not read) and every later save would fail.
    const int write = static_cast<unsigned char>(header.at(18));
    const int read = static_cast<unsigned char>(header.at(19));
    if (write < 1 || write > 2 || read < 1 || read > 2)
        return refuse(QStringLiteral("Dosyaya yazılamaz: başlıktaki yazma/okuma sürümü %1/%2.").arg(write).arg(read));
    return true;
}

DatabaseCheck::Result DatabaseCheck::inspect(const QString& path, Depth depth, const std::function<void()>& tick)
{
    Result result;
    QString why;
    if (!hasDatabaseHeader(path, &why)) {
        result.problems.append(why);
        return result;
    }
    const Connection db(path, SqliteFile::Mode::ReadOnly);
    QList<QStringList> rows;
    QString error;
    if (db.isOpen() && tick)
        sqlite3_progress_handler(db.handle(), kTickEvery, progress, const_cast<std::function<void()>*>(&tick));
    const QString check = depth == Depth::Full ? QStringLiteral("integrity_check") : QStringLiteral("quick_check");
    const bool checked = db.isOpen()
        && db.rows(QStringLiteral("PRAGMA %1(%2)").arg(check).arg(kMostIntegrityLines), {}, &rows, &error);
    if (db.isOpen())
        sqlite3_progress_handler(db.handle(), 0, nullptr, nullptr);
    if (!checked) {
        result.problems.append(db.isOpen() ? error : db.error());
        return result;
    }
    result.readable = true;
    if (rows.size() != 1 || rows.first().value(0) != QLatin1String("ok")) {
        for (const QStringList& row : rows)
            result.problems.append(QStringLiteral("Bütünlük denetimi: %1").arg(row.value(0)));
        return result;
    }
    // A file of an earlier version gets what it lacks when the program opens it; until then its own old
    // indexes are not foreign and the newer tables, indexes and triggers are not missing.
    QList<QStringList> version;
    const bool older = db.rows(QStringLiteral("PRAGMA user_version"), {}, &version, nullptr) && !version.isEmpty()
        && version.first().value(0).toInt() < schema::kVersion;
    checkTables(db, older, result);
    checkObjects(db, result);
    // What came after this format's first files is made when the program opens the file.
    result.missingObjects.removeIf(
        [](const QString& o) { return schema::isAddedLater(o.mid(o.indexOf(QLatin1Char(' ')) + 1)); });
    if (older) {
        const auto nameOf = [](const QString& object) { return object.mid(object.indexOf(QLatin1Char(' ')) + 1); };
        result.foreignObjects.removeIf([&](const QString& o) {
            return o.startsWith(QLatin1String("index ")) && schema::isObsoleteIndex(nameOf(o));
        });
        result.missingObjects.removeIf([&](const QString& o) { return schema::isAddedByUpgrade(nameOf(o)); });
    }
    return result;
}

bool DatabaseCheck::hasPendingWal(const QString& path)
{
    // SQLite plays a "-wal" beside a file into it whatever the file's header says; past its 32-byte header a
    // WAL file holds frames.
    return QFileInfo(path + QStringLiteral("-wal")).size() > 32;
}

bool DatabaseCheck::restorable(const QString& path, const QString& scratchBeside, const QDate& today, QString* error)
{
    RebuiltDatabase scratch(scratchBeside);
    if (scratch.build(path, today))
        return true;
    if (error)
        *error = scratch.errorString();
    return false;
}

namespace {

// The columns whose values the program reads as whole kuruş, and as numbers.
bool isMoney(const QString& table, const QString& column)
{
    static const QSet<QString> money {QStringLiteral("musteriler.bakiye"), QStringLiteral("veresiye.eklenen"),
                                      QStringLiteral("veresiye.odenen")};
    return money.contains((table + QLatin1Char('.') + column).toLower());
}

bool isNumber(const QString& table, const QString& column)
{
    static const QSet<QString> numbers {QStringLiteral("veresiye.miktar"), QStringLiteral("veresiye.kdv")};
    return numbers.contains((table + QLatin1Char('.') + column).toLower());
}

class Rebuild final
{
public:
    Rebuild(const Connection& db, QStringList& reasons)
        : m_db(db)
        , m_reasons(reasons)
    {
    }

    bool run(const QString& source, const QDate& today);

private:
    bool exec(const QString& sql, const QStringList& values = {})
    {
        QList<QStringList> ignored;
        QString error;
        if (m_db.rows(sql, values, &ignored, &error))
            return true;
        m_error = error;
        return false;
    }
    QList<QStringList> rows(const QString& sql, const QStringList& values = {})
    {
        QList<QStringList> out;
        m_db.rows(sql, values, &out, nullptr);
        return out;
    }
    bool copyTable(const Table& table, const QString& today);
    void explainCopyFailure(const Table& table);
    void checkValues(const Table& table);
    void explainIndexFailure(const QString& index);

    const Connection& m_db;
    QStringList& m_reasons;
    QString m_error;
};

bool Rebuild::copyTable(const Table& table, const QString& today)
{
    QStringList targets;
    QStringList values;
    const bool customers = table.name == QLatin1String("musteriler");
    for (const Column& column : table.columns) {
        targets.append(quoted(column.name));
        const QString name = column.name.toLower();
        // What the program computes it writes again as it would (another tool may have left them stale).
        if (customers && name == QLatin1String("gun"))
            values.append(customerrow::dayCountSql());
        else if (customers && name == QLatin1String("sira_anahtari"))
            values.append(customerrow::sortKeySql());
        else if (customers && name == QLatin1String("arama_anahtari"))
            values.append(customerrow::searchKeySql());
        else
            values.append(quoted(column.name));
    }
    // Rows keep their rowids where the program reads them (the order of units and users, the last counter).
    const QList<QStringList> options
        = rows(QStringLiteral("SELECT wr FROM pragma_table_list WHERE schema = 'src' AND name = ? COLLATE NOCASE"),
               {table.name});
    const bool hasId
        = std::any_of(table.columns.cbegin(), table.columns.cend(), [](const Column& c) { return c.primaryKey == 1; });
    if (!hasId && !options.isEmpty() && options.first().value(0) == QLatin1String("0")) {
        targets.prepend(QStringLiteral("rowid"));
        values.prepend(QStringLiteral("rowid"));
    }
    const QString sql
        = QStringLiteral("INSERT INTO main.%1 (%2) SELECT %3 FROM src.%1")
              .arg(quoted(table.name), targets.join(QStringLiteral(", ")), values.join(QStringLiteral(", ")));
    if (!exec(sql, customers ? QStringList {today} : QStringList {})) {
        explainCopyFailure(table);
        return false;
    }
    checkValues(table);
    return true;
}

void Rebuild::explainCopyFailure(const Table& table)
{
    const int code = m_db.extendedError();
    const QString engine = m_error;
    const qsizetype before = m_reasons.size();
    if (code == SQLITE_CONSTRAINT_NOTNULL) {
        for (const Column& column : table.columns) {
            if (!column.notNull)
                continue;
            const QList<QStringList> count = rows(QStringLiteral("SELECT count(*) FROM src.%1 WHERE %2 IS NULL")
                                                      .arg(quoted(table.name), quoted(column.name)));
            if (!count.isEmpty() && count.first().value(0).toLongLong() > 0)
                m_reasons.append(QStringLiteral("%1.%2 alanı %3 satırda boş; program bu alanı her zaman doldurur.")
                                     .arg(table.name, column.name, count.first().value(0)));
        }
    } else if (code == SQLITE_CONSTRAINT_PRIMARYKEY || code == SQLITE_CONSTRAINT_ROWID) {
        m_reasons.append(QStringLiteral("%1 tablosunda aynı sıra numarası (id) birden çok satırda.").arg(table.name));
    } else if (code == SQLITE_MISMATCH) {
        m_reasons.append(QStringLiteral("%1 tablosunda tam sayı olmayan sıra numarası (id) var.").arg(table.name));
    }
    if (m_reasons.size() == before)
        m_reasons.append(QStringLiteral("%1 tablosu aktarılamadı: %2").arg(table.name, engine));
}

// Values the program could not have written: an amount that is not whole kuruş, a quantity that is not a
// number, binary data in a text field.
void Rebuild::checkValues(const Table& table)
{
    QStringList cases;
    for (const Column& column : table.columns) {
        const QString c = quoted(column.name);
        if (isMoney(table.name, column.name))
            cases.append(QStringLiteral("WHEN typeof(%1) NOT IN ('integer', 'null') THEN '%2'").arg(c, column.name));
        else if (isNumber(table.name, column.name))
            cases.append(
                QStringLiteral("WHEN typeof(%1) NOT IN ('integer', 'real', 'null') THEN '%2'").arg(c, column.name));
        else if (column.type.compare(QLatin1String("TEXT"), Qt::CaseInsensitive) == 0)
            cases.append(QStringLiteral("WHEN typeof(%1) = 'blob' THEN '%2'").arg(c, column.name));
    }
    if (cases.isEmpty())
        return;
    const QString wrong = QStringLiteral("CASE %1 END").arg(cases.join(QLatin1Char(' ')));
    const QList<QStringList> found = rows(
        QStringLiteral("SELECT rowid, bad FROM (SELECT rowid, %1 AS bad FROM main.%2) WHERE bad IS NOT NULL LIMIT 1")
            .arg(wrong, quoted(table.name)));
    if (found.isEmpty())
        return;
    const QString column = found.first().value(1);
    const QList<QStringList> value = rows(QStringLiteral("SELECT CASE typeof(%1) WHEN 'blob' THEN 'ikili veri' ELSE %1 "
                                                         "END FROM main.%2 WHERE rowid = ?")
                                              .arg(quoted(column), quoted(table.name)),
                                          {found.first().value(0)});
    const QString kind = isMoney(table.name, column) ? QStringLiteral("tam kuruş tutarı olmayan")
        : isNumber(table.name, column)               ? QStringLiteral("sayı olmayan")
                                                     : QStringLiteral("metin olmayan");
    m_reasons.append(QStringLiteral("%1.%2 alanında %3 değer: '%4' (%5 numaralı satır)")
                         .arg(table.name, column, kind, value.isEmpty() ? QString() : value.first().value(0),
                              found.first().value(0)));
}

void Rebuild::explainIndexFailure(const QString& index)
{
    if (index.compare(QLatin1String("musteriler_mus_kodu"), Qt::CaseInsensitive) == 0) {
        const QList<QStringList> twice = rows(QStringLiteral(
            "SELECT mus_kodu FROM main.musteriler GROUP BY mus_kodu HAVING count(*) > 1 ORDER BY min(id) LIMIT 5"));
        QStringList numbers;
        for (const QStringList& row : twice)
            numbers.append(row.value(0));
        m_reasons.append(
            QStringLiteral("Aynı müşteri numarası birden çok müşteride: %1").arg(numbers.join(QStringLiteral(", "))));
    } else if (index.compare(QLatin1String("User_Username"), Qt::CaseInsensitive) == 0) {
        const QList<QStringList> twice = rows(
            QStringLiteral("SELECT min(Username) FROM main.\"User\" GROUP BY Username HAVING count(*) > 1 LIMIT 5"));
        QStringList names;
        for (const QStringList& row : twice)
            names.append(row.value(0));
        m_reasons.append(
            QStringLiteral("Aynı kullanıcı adı birden çok kullanıcıda: %1").arg(names.join(QStringLiteral(", "))));
    } else {
        m_reasons.append(QStringLiteral("Dizin oluşturulamadı: %1: %2").arg(index, m_error));
    }
}

bool Rebuild::run(const QString& source, const QDate& today)
{
    // A scratch file until it is flushed and renamed: no journal is needed, a failure drops the file.
    if (!exec(QStringLiteral("PRAGMA journal_mode = OFF")) || !exec(QStringLiteral("PRAGMA synchronous = OFF"))
        || !exec(QStringLiteral("PRAGMA cache_size = -65536"))
        || !m_db.exec(QString::fromUtf8(schema::script()), &m_error)
        || !exec(QStringLiteral("ATTACH ? AS src"), {source}) || !exec(QStringLiteral("BEGIN"))) {
        m_reasons.append(m_error);
        return false;
    }
    // The indexes and triggers are made again after the rows are in: faster, and a duplicate shows as the
    // index that cannot be made. The first rows of the script make way for the file's own.
    const QList<QStringList> objects = rows(QStringLiteral(
        "SELECT type, name, sql FROM main.sqlite_master WHERE type IN ('index', 'trigger') AND sql IS NOT NULL "
        "ORDER BY rowid"));
    for (const QStringList& o : objects) {
        if (!exec(QStringLiteral("DROP %1 main.%2").arg(o.at(0).toUpper(), quoted(o.at(1))))) {
            m_reasons.append(m_error);
            return false;
        }
    }
    for (const Table& table : reference().tables) {
        if (!exec(QStringLiteral("DELETE FROM main.%1").arg(quoted(table.name)))) {
            m_reasons.append(m_error);
            return false;
        }
    }
    const QString day = today.toString(Qt::ISODate);
    for (const Table& table : reference().tables) {
        // The list's totals are summed again below, whatever the file held (an earlier version has none).
        if (table.name == QLatin1String("liste_toplami"))
            continue;
        // A backup made before the deleted rows were kept has none to bring.
        if (schema::isAddedLater(table.name)
            && rows(QStringLiteral("SELECT 1 FROM src.sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"),
                    {table.name})
                   .isEmpty())
            continue;
        if (!copyTable(table, day))
            return false;
    }
    if (!m_reasons.isEmpty())
        return false;
    for (const QStringList& o : objects) {
        if (!exec(o.at(2))) {
            explainIndexFailure(o.at(1));
            return false;
        }
    }
    for (const QString& statement : schema::listTotalsRefill()) {
        if (!exec(statement)) {
            m_reasons.append(m_error);
            return false;
        }
    }
    // Ids of rows deleted before the backup are not given out again.
    const bool sequence
        = !rows(QStringLiteral("SELECT 1 FROM src.sqlite_master WHERE name = 'sqlite_sequence'")).isEmpty();
    if ((sequence
         && (!exec(QStringLiteral("INSERT INTO main.sqlite_sequence (name, seq) SELECT DISTINCT lower(name), 0 FROM "
                                  "src.sqlite_sequence WHERE lower(name) IN ('musteriler', 'veresiye') AND "
                                  "lower(name) NOT IN (SELECT name FROM main.sqlite_sequence)"))
             || !exec(QStringLiteral("UPDATE main.sqlite_sequence SET seq = max(seq, ifnull((SELECT max(CAST(s.seq AS "
                                     "INTEGER)) FROM src.sqlite_sequence s WHERE lower(s.name) = "
                                     "main.sqlite_sequence.name), 0))"))))) {
        m_reasons.append(m_error);
        return false;
    }
    // Past the largest id the engine gives out no other: every later customer or movement would fail.
    for (const QStringList& full :
         rows(QStringLiteral("SELECT name FROM main.sqlite_sequence WHERE seq >= 9000000000000000000 ORDER BY name"))) {
        m_reasons.append(QStringLiteral("%1 tablosunda sıra numarası (id) sınıra dayanmış; yeni satır eklenemez.")
                             .arg(full.value(0)));
    }
    if (!m_reasons.isEmpty())
        return false;
    if (!exec(QStringLiteral("COMMIT")) || !exec(QStringLiteral("DETACH src"))) {
        m_reasons.append(m_error);
        return false;
    }
    return true;
}

} // namespace

RebuiltDatabase::RebuiltDatabase(QString target)
    : m_target(std::move(target))
{
}

RebuiltDatabase::~RebuiltDatabase() = default;

QString RebuiltDatabase::path() const
{
    return m_file ? m_file->fileName() : QString();
}

bool RebuiltDatabase::build(const QString& source, const QDate& today, const std::function<void()>& tick)
{
    m_built = false;
    m_error.clear();
    // Every index is made again from the rows, so the engine's check of the tables is enough.
    const DatabaseCheck::Result found = DatabaseCheck::inspect(source, DatabaseCheck::Depth::Tables, tick);
    if (!found.usable()) {
        m_error = found.problems.join(QLatin1Char('\n'));
        return false;
    }
    m_file = std::make_unique<QTemporaryFile>(FileCopy::temporaryTemplate(m_target));
    if (!m_file->open()) {
        m_error = m_file->errorString();
        m_file.reset();
        return false;
    }
    m_file->close();
    QStringList reasons;
    {
        const Connection db(m_file->fileName(), SqliteFile::Mode::Create);
        if (!db.isOpen()) {
            m_error = db.error();
            return false;
        }
        // The program's key functions; the file's schema never names them.
        if (!customerrow::registerKeyFunctions(db.handle())) {
            m_error = QString::fromUtf8(sqlite3_errmsg(db.handle()));
            return false;
        }
        if (tick)
            sqlite3_progress_handler(db.handle(), kTickEvery, progress, const_cast<std::function<void()>*>(&tick));
        Rebuild(db, reasons).run(source, today);
        sqlite3_progress_handler(db.handle(), 0, nullptr, nullptr);
    }
    // SQLite's own temporary journal files of a failed build go with it.
    for (const auto* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(m_file->fileName() + QLatin1String(suffix));
    if (!reasons.isEmpty()) {
        m_error = reasons.join(QLatin1Char('\n'));
        m_file.reset();
        return false;
    }
    if (!FileCopy::syncFile(m_file->fileName())) {
        m_error = QStringLiteral("Dosya diske yazılamadı.");
        m_file.reset();
        return false;
    }
    m_built = true;
    return true;
}

bool RebuiltDatabase::commit()
{
    if (!m_built || !m_file)
        return false;
    if (!FileCopy::replace(m_file->fileName(), m_target, &m_error))
        return false;
    m_file->setAutoRemove(false);
    m_file.reset();
    m_built = false;
    return true;
}

} // namespace zelvora
