#include "backup/databasecheck.h"

#include "backup/sqlitefile.h"
#include "data/schema.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace zelvora {

namespace {

constexpr int kHeaderSize = 100;
constexpr int kMostIntegrityLines = 20;
const QByteArray kMagic("SQLite format 3\0", 16);

using Connection = SqliteFile;

QString quoted(const QString& name)
{
    return QLatin1Char('"') + QString(name).replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
}

QString normalizedSql(const QString& sql)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return sql.simplified().replace(blanks, QStringLiteral(" ")).toLower();
}

struct Column
{
    QString name;
    bool requiredValue = false; // NOT NULL without a default: every insert must give it
};

struct Table
{
    QString name;
    QList<Column> columns;
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
    if (!db.rows(QStringLiteral("SELECT name, \"notnull\", dflt_value IS NULL, pk FROM pragma_table_info(?)"), {table},
                 &rows, error))
        return columns;
    for (const QStringList& row : rows)
        columns.append(
            {row.at(0),
             row.at(1) == QLatin1String("1") && row.at(2) == QLatin1String("1") && row.at(3) == QLatin1String("0")});
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
                r.tables.append({row.at(1), columnsOf(db, row.at(1), nullptr)});
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
            if (named(columns, column.name) == columns.cend())
                result.problems.append(QStringLiteral("Eksik sütun: %1.%2").arg(wanted.name, column.name));
        }
        // A column that must be given a value where the program's inserts give none makes every insert fail.
        for (const Column& column : columns) {
            const auto ours = named(wanted.columns, column.name);
            if (column.requiredValue && (ours == wanted.columns.cend() || !ours->requiredValue))
                result.problems.append(
                    QStringLiteral("Sütun boş bırakılamıyor ve varsayılan değeri yok: %1.%2").arg(actual, column.name));
        }
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
    QStringList out = problems;
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

DatabaseCheck::Result DatabaseCheck::inspect(const QString& path)
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
    if (!db.isOpen()
        || !db.rows(QStringLiteral("PRAGMA integrity_check(%1)").arg(kMostIntegrityLines), {}, &rows, &error)) {
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
    if (older) {
        const auto nameOf = [](const QString& object) { return object.mid(object.indexOf(QLatin1Char(' ')) + 1); };
        result.foreignObjects.removeIf([&](const QString& o) {
            return o.startsWith(QLatin1String("index ")) && schema::isObsoleteIndex(nameOf(o));
        });
        result.missingObjects.removeIf([&](const QString& o) { return schema::isAddedByUpgrade(nameOf(o)); });
    }
    return result;
}

bool DatabaseCheck::prepareCopy(const QString& path, bool fitForProgram, QString* error)
{
    const Result found = inspect(path);
    if (!found.usable()) {
        if (error)
            *error = found.problems.join(QLatin1Char('\n'));
        return false;
    }
    const Connection db(path, SqliteFile::Mode::ReadWrite);
    QString engine;
    bool changed = false;
    bool ok = db.isOpen() && db.exec(QStringLiteral("BEGIN IMMEDIATE"), &engine);
    if (ok && fitForProgram) {
        for (const QString& object : found.foreignObjects) {
            const qsizetype blank = object.indexOf(QLatin1Char(' '));
            ok = ok
                && db.exec(QStringLiteral("DROP %1 IF EXISTS %2")
                               .arg(object.left(blank).toUpper(), quoted(object.mid(blank + 1))),
                           &engine);
            changed = true;
        }
        bool totalsKept = true;
        for (const SchemaObject& o : reference().objects) {
            if (ok && found.missingObjects.contains(o.type + QLatin1Char(' ') + o.name)) {
                ok = db.exec(o.sql, &engine);
                changed = true;
                totalsKept = totalsKept && !o.name.startsWith(QLatin1String("liste_toplami"));
            }
        }
        // Triggers that were missing have not kept the list's totals: they are summed again.
        if (ok && !totalsKept)
            ok = db.exec(schema::listTotalsRefill().join(QLatin1Char(';')), &engine);
    }
    // A file SQLite opens but will not write fails here, not at the shop's next save. The trial write is
    // undone, so a copy that needed nothing else keeps its bytes.
    ok = ok && db.exec(QStringLiteral("SAVEPOINT trial"), &engine)
        && db.exec(QStringLiteral("UPDATE surum SET surum = surum"), &engine)
        && db.exec(QStringLiteral("ROLLBACK TO trial"), &engine) && db.exec(QStringLiteral("RELEASE trial"), &engine);
    if (ok)
        ok = db.exec(changed ? QStringLiteral("COMMIT") : QStringLiteral("ROLLBACK"), &engine);
    else if (db.isOpen())
        db.exec(QStringLiteral("ROLLBACK"));
    if (!ok && error)
        *error = engine.isEmpty() ? db.error() : engine;
    return ok;
}

} // namespace zelvora
