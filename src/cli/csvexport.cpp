// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/csvexport.h"

#include "backup/sqlitefile.h"
#include "data/numberformat.h"
#include "data/turkishtext.h"

#include <QDir>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace zelvora::cli {

namespace {

constexpr qsizetype kFlushAt = 1 << 20;

class Statement final
{
public:
    Statement(sqlite3* db, const char* sql)
    {
        m_ok = sqlite3_prepare_v2(db, sql, -1, &m_statement, nullptr) == SQLITE_OK;
    }
    ~Statement() { sqlite3_finalize(m_statement); }
    Q_DISABLE_COPY_MOVE(Statement)

    bool ok() const { return m_ok; }
    sqlite3_stmt* get() const { return m_statement; }

private:
    sqlite3_stmt* m_statement = nullptr;
    bool m_ok = false;
};

void appendText(QByteArray& line, sqlite3_stmt* s, int column)
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    appendCsvField(line, text ? text : "", sqlite3_column_bytes(s, column));
}

void appendAmount(QByteArray& line, sqlite3_stmt* s, int column)
{
    switch (sqlite3_column_type(s, column)) {
    case SQLITE_NULL:
        line.append(';');
        break;
    case SQLITE_INTEGER:
        appendMoney(line, sqlite3_column_int64(s, column));
        line.append(';');
        break;
    default:
        appendText(line, s, column); // not an amount the program wrote: shown as it is
    }
}

// A quantity or tax factor as the program writes numbers: "2,5", "1,18", "20".
void appendDecimal(QByteArray& line, sqlite3_stmt* s, int column)
{
    const int type = sqlite3_column_type(s, column);
    if (type == SQLITE_NULL) {
        line.append(';');
        return;
    }
    if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) {
        appendText(line, s, column);
        return;
    }
    // Quantities and factors have a few decimals: written straight from the scaled whole number.
    const double value = sqlite3_column_double(s, column);
    qint64 scale = 1;
    for (int decimals = 0; decimals <= 4; ++decimals, scale *= 10) {
        const double scaled = value * double(scale);
        if (std::fabs(scaled) >= 1e15)
            break;
        const qint64 whole = std::llround(scaled);
        if (std::fabs(scaled - double(whole)) > 1e-9 * std::max(1.0, std::fabs(scaled)))
            continue;
        const quint64 magnitude = whole < 0 ? 0 - quint64(whole) : quint64(whole);
        if (whole < 0)
            line.append('-');
        line.append(QByteArray::number(magnitude / quint64(scale)));
        if (decimals > 0) {
            QByteArray fraction = QByteArray::number(magnitude % quint64(scale)).rightJustified(decimals, '0');
            while (fraction.endsWith('0'))
                fraction.chop(1);
            if (!fraction.isEmpty())
                line.append(',').append(fraction);
        }
        line.append(';');
        return;
    }
    // SQLite writes a real with up to 15 significant digits ("2.5", "2.0"); only exponents need the slow way.
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    QByteArray number(text, sqlite3_column_bytes(s, column));
    if (number.contains('e') || number.contains('E') || number.contains('n') || number.contains('N')) {
        number = numbers::plain(sqlite3_column_double(s, column)).toUtf8();
    } else {
        number.replace('.', ',');
        if (number.endsWith(",0"))
            number.chop(2);
    }
    line.append(number);
    line.append(';');
}

// "2009-03-05" as "05.03.2009"; anything else as it is.
void appendDate(QByteArray& line, sqlite3_stmt* s, int column)
{
    const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(s, column));
    const int size = sqlite3_column_bytes(s, column);
    if (t && size == 10 && t[4] == '-' && t[7] == '-') {
        const char out[11] = {t[8], t[9], '.', t[5], t[6], '.', t[0], t[1], t[2], t[3], ';'};
        line.append(out, 11);
        return;
    }
    appendText(line, s, column);
}

// Every field ends in ";"; the last one's becomes the line end.
void endLine(QByteArray& line)
{
    line.chop(1);
    line.append("\r\n", 2);
}

struct Customer
{
    QString key;
    qint64 id = 0;
    QByteArray musKodu;
};

// Every customer in Turkish name order (keys computed here, so rows another tool wrote sort right too).
bool customersInNameOrder(sqlite3* db, QList<Customer>* out)
{
    Statement s(db, "SELECT id, mus_kodu, MusteriFirma FROM musteriler");
    if (!s.ok())
        return false;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s.get())) == SQLITE_ROW) {
        const auto* code = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 1));
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(s.get(), 2));
        out->append({turkish::sortKey(QString::fromUtf8(name ? name : "")), sqlite3_column_int64(s.get(), 0),
                     QByteArray(code ? code : "")});
    }
    std::stable_sort(out->begin(), out->end(), [](const Customer& a, const Customer& b) {
        const int order = turkish::compareSortKeys(a.key, b.key);
        return order != 0 ? order < 0 : a.id < b.id;
    });
    return rc == SQLITE_DONE;
}

class Output final
{
public:
    explicit Output(const QString& file)
        : m_file(file)
    {
    }

    bool open() { return m_file.open(QIODevice::WriteOnly); }
    QByteArray& buffer() { return m_buffer; }
    bool flushIfFull() { return m_buffer.size() < kFlushAt || flush(); }
    bool flush()
    {
        const bool ok = m_file.write(m_buffer) == m_buffer.size();
        m_buffer.clear();
        return ok;
    }
    bool commit() { return flush() && m_file.commit(); }
    QString errorString() const { return m_file.errorString(); }

private:
    QSaveFile m_file;
    QByteArray m_buffer;
};

bool writeCustomers(sqlite3* db, const QList<Customer>& order, Output& out, qint64* rows)
{
    out.buffer().append("Müşteri No;Müşteri / Firma;Türü;Telefon;GSM;Şehir;Adres;Vergi Dairesi;Vergi No;Bakiye;"
                        "Son İşlem;Gün\r\n");
    Statement s(db,
                "SELECT mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, Adres, vd, vdn, Bakiye, Sonislem, "
                "Gun FROM musteriler WHERE id = ?");
    if (!s.ok())
        return false;
    for (const Customer& c : order) {
        sqlite3_bind_int64(s.get(), 1, c.id);
        if (sqlite3_step(s.get()) == SQLITE_ROW) {
            QByteArray& line = out.buffer();
            for (int column = 0; column < 9; ++column)
                appendText(line, s.get(), column);
            appendAmount(line, s.get(), 9);
            appendDate(line, s.get(), 10);
            appendText(line, s.get(), 11);
            endLine(line);
            ++*rows;
        }
        sqlite3_reset(s.get());
        if (!out.flushIfFull())
            return false;
    }
    return true;
}

bool writeMovementRows(sqlite3_stmt* s, const QByteArray& musteri, Output& out, qint64* rows)
{
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        QByteArray& line = out.buffer();
        appendText(line, s, 0);
        appendCsvField(line, musteri.constData(), musteri.size());
        appendDate(line, s, 1);
        appendText(line, s, 2);
        appendText(line, s, 3);
        appendDecimal(line, s, 4);
        appendText(line, s, 5);
        appendDecimal(line, s, 6);
        appendAmount(line, s, 7);
        appendAmount(line, s, 8);
        endLine(line);
        ++*rows;
        if (!out.flushIfFull())
            return false;
    }
    return rc == SQLITE_DONE;
}

bool writeMovements(sqlite3* db, const QList<Customer>& order, Output& out, qint64* rows)
{
    out.buffer().append("Müşteri No;Müşteri / Firma;Tarih;Saat;Açıklama;Miktar;Birim;KDV;Eklenen;Ödenen\r\n");
    Statement name(db, "SELECT MusteriFirma FROM musteriler WHERE id = ?");
    Statement s(db,
                "SELECT mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen FROM veresiye "
                "WHERE mus_kodu = ? ORDER BY id");
    if (!name.ok() || !s.ok())
        return false;
    QSet<QByteArray> done; // a number used twice lists its movements once
    for (const Customer& c : order) {
        if (done.contains(c.musKodu))
            continue;
        done.insert(c.musKodu);
        sqlite3_bind_int64(name.get(), 1, c.id);
        QByteArray musteri;
        if (sqlite3_step(name.get()) == SQLITE_ROW)
            musteri = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(name.get(), 0)),
                                 sqlite3_column_bytes(name.get(), 0));
        sqlite3_reset(name.get());
        sqlite3_bind_text(s.get(), 1, c.musKodu.constData(), int(c.musKodu.size()), SQLITE_STATIC);
        const bool ok = writeMovementRows(s.get(), musteri, out, rows);
        sqlite3_reset(s.get());
        if (!ok)
            return false;
    }
    // Movements whose customer is gone are not lost from the export: they come last, without a name.
    Statement orphans(db,
                      "SELECT mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen FROM veresiye v "
                      "WHERE NOT EXISTS (SELECT 1 FROM musteriler m WHERE m.mus_kodu = v.mus_kodu) "
                      "ORDER BY mus_kodu, id");
    return orphans.ok() && writeMovementRows(orphans.get(), {}, out, rows);
}

} // namespace

void appendCsvField(QByteArray& line, const char* text, qsizetype size)
{
    bool quote = false;
    for (qsizetype i = 0; i < size && !quote; ++i) {
        const char c = text[i];
        quote = c == ';' || c == '"' || c == '\n' || c == '\r';
    }
    if (!quote) {
        line.append(text, size);
        line.append(';');
        return;
    }
    line.append('"');
    for (qsizetype i = 0; i < size; ++i) {
        if (text[i] == '"')
            line.append('"');
        line.append(text[i]);
    }
    line.append("\";", 2);
}

void appendMoney(QByteArray& line, qint64 kurus)
{
    char digits[32];
    int n = 0;
    // Kuruş as unsigned, so the smallest qint64 is no overflow.
    quint64 magnitude = kurus < 0 ? 0 - static_cast<quint64>(kurus) : static_cast<quint64>(kurus);
    const quint64 fraction = magnitude % 100;
    magnitude /= 100;
    int grouped = 0;
    do {
        if (grouped == 3) {
            digits[n++] = '.';
            grouped = 0;
        }
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
        ++grouped;
    } while (magnitude != 0);
    if (kurus < 0)
        line.append('-');
    while (n > 0)
        line.append(digits[--n]);
    line.append(',');
    line.append(char('0' + fraction / 10));
    line.append(char('0' + fraction % 10));
}

bool exportCsv(const QString& databasePath, ExportKind kind, const QString& file, QString* error, qint64* rows)
{
    qint64 written = 0;
    const auto fail = [error](const QString& reason) {
        if (error)
            *error = reason;
        return false;
    };
    if (!QFileInfo(databasePath).isFile())
        return fail(QStringLiteral("Veri tabanı bulunamadı: %1").arg(QDir::toNativeSeparators(databasePath)));
    const SqliteFile db(databasePath, SqliteFile::Mode::ReadOnly, 30000);
    // One read transaction: the export is one state of the ledger, even while the program writes.
    QString engine;
    if (!db.exec(QStringLiteral("BEGIN"), &engine))
        return fail(QStringLiteral("Veri tabanı okunamadı: %1").arg(engine));
    Output out(file);
    if (!out.open())
        return fail(QStringLiteral("Dosya yazılamadı: %1: %2").arg(QDir::toNativeSeparators(file), out.errorString()));
    out.buffer().append("\xEF\xBB\xBF");
    QList<Customer> order;
    bool ok = customersInNameOrder(db.handle(), &order);
    ok = ok
        && (kind == ExportKind::Customers ? writeCustomers(db.handle(), order, out, &written)
                                          : writeMovements(db.handle(), order, out, &written));
    const QString readError = db.error();
    db.exec(QStringLiteral("COMMIT"));
    if (!ok)
        return fail(QStringLiteral("Veri tabanı okunamadı ya da dosya yazılamadı: %1").arg(readError));
    if (!out.commit())
        return fail(QStringLiteral("Dosya yazılamadı: %1: %2").arg(QDir::toNativeSeparators(file), out.errorString()));
    if (rows)
        *rows = written;
    return true;
}

} // namespace zelvora::cli
