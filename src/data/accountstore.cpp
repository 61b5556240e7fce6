// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/accountstore.h"

#include "data/clock.h"
#include "data/collectionstore.h"
#include "data/customerrow.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/session.h"

#include <QSqlQuery>
#include <algorithm>

namespace zelvora {

namespace {

const QString kCustomerColumns
    = QStringLiteral("id, mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, Adres, vd, "
                     "vdn, Bakiye, Sonislem, Gun, KrediLimiti");

// The signed-in user as stored beside a row: null when nobody signed in.
QVariant signedInUser()
{
    const QString user = session::user();
    return user.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(user);
}

void fail(const QSqlQuery& query, QString* error)
{
    if (error)
        *error = Database::errorText(query);
}

} // namespace

std::optional<CustomerRecord> AccountStore::customer(const QString& musKodu, QString* error) const
{
    QSqlQuery q = m_db.prepare(
        QStringLiteral("SELECT %1 FROM musteriler WHERE mus_kodu = ? ORDER BY id LIMIT 1").arg(kCustomerColumns));
    q.addBindValue(musKodu);
    if (!q.exec()) {
        fail(q, error);
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    CustomerRecord r;
    r.id = q.value(0).toLongLong();
    r.musKodu = q.value(1).toString();
    r.musteriFirma = q.value(2).toString();
    r.turu = q.value(3).toString();
    r.telefon1 = q.value(4).toString();
    r.telefon2 = q.value(5).toString();
    r.sehir = q.value(6).toString();
    r.adres = q.value(7).toString();
    r.vd = q.value(8).toString();
    r.vdn = q.value(9).toString();
    r.bakiye = q.value(10).isNull() ? QVariant() : QVariant(q.value(10).toLongLong());
    r.sonislem = q.value(11).toString();
    r.gun = q.value(12).isNull() ? QVariant() : QVariant(q.value(12).toLongLong());
    r.krediLimiti = q.value(13).isNull() ? QVariant() : QVariant(q.value(13).toLongLong());
    return r;
}

bool AccountStore::storeCustomer(const CustomerRecord& r, QString* error) const
{
    // The customer number is never changed once stored; it is not part of the update.
    QSqlQuery q = m_db.prepare(QStringLiteral(
        "UPDATE musteriler SET MusteriFirma = ?, Turu = ?, Telefon1 = ?, Telefon2 = ?, Sehir = ?, Adres = ?, vd = ?, "
        "vdn = ?, Bakiye = ?, Sonislem = ?, Gun = ?, KrediLimiti = ?, sira_anahtari = ?, arama_anahtari = ? WHERE id = "
        "?"));
    q.addBindValue(r.musteriFirma);
    q.addBindValue(r.turu);
    q.addBindValue(r.telefon1);
    q.addBindValue(r.telefon2);
    q.addBindValue(r.sehir);
    q.addBindValue(r.adres);
    q.addBindValue(r.vd);
    q.addBindValue(r.vdn);
    q.addBindValue(r.bakiye.isNull() ? QVariant(QMetaType::fromType<qint64>()) : QVariant(r.bakiye.toLongLong()));
    q.addBindValue(r.sonislem.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(r.sonislem));
    q.addBindValue(r.gun.isNull() ? QVariant(QMetaType::fromType<qint64>()) : QVariant(r.gun.toLongLong()));
    q.addBindValue(r.krediLimiti.isNull() ? QVariant(QMetaType::fromType<qint64>())
                                          : QVariant(r.krediLimiti.toLongLong()));
    q.addBindValue(customerrow::sortKeyOf(r.musteriFirma));
    q.addBindValue(customerrow::searchKeyOf(r.musteriFirma));
    q.addBindValue(r.id);
    if (!q.exec()) {
        fail(q, error);
        return false;
    }
    return true;
}

bool AccountStore::deleteCustomer(const QString& musKodu, QString* error) const
{
    ScopedTransaction transaction(m_db);
    if (!transaction.isActive()) {
        if (error)
            *error = QStringLiteral("İşlem başlatılamadı.");
        return false;
    }
    // On a server the customer's row is locked first: a till storing an entry for this customer finishes
    // before its movements are deleted, or finds the customer gone.
    QString readError;
    const QVariant customerId
        = m_db.scalar(QStringLiteral("SELECT id FROM musteriler WHERE mus_kodu = ? ORDER BY id") + m_db.lockRowsSql(),
                      {musKodu}, &readError);
    if (!readError.isEmpty()) {
        if (error)
            *error = readError;
        return false;
    }
    QVariant keptCustomer(QMetaType::fromType<qint64>());
    if (customerId.isValid()) {
        const qint64 kept = m_db.insert(
            QStringLiteral(
                "INSERT INTO silinen_musteriler (musteri_id, mus_kodu, MusteriFirma, Turu, Telefon1, "
                "Telefon2, Sehir, Adres, vd, vdn, Bakiye, Sonislem, Gun, KrediLimiti, Silen, Silinme) "
                "SELECT id, mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, Adres, vd, vdn, Bakiye, "
                "Sonislem, Gun, KrediLimiti, ?, ? FROM musteriler WHERE id = ?"),
            {signedInUser(), session::stamp(), customerId}, error);
        if (kept < 0)
            return false;
        keptCustomer = kept;
    }
    if (!keepMovements(QStringLiteral("mus_kodu = ?"), musKodu, keptCustomer, error))
        return false;
    if (!m_db.exec(QStringLiteral("DELETE FROM musteriler WHERE mus_kodu = ?"), {musKodu}, error))
        return false;
    if (!transaction.commit()) {
        if (error)
            *error = QStringLiteral("İşlem tamamlanamadı.");
        return false;
    }
    return true;
}

bool AccountStore::keepMovements(const QString& where, const QVariant& value, const QVariant& keptCustomer,
                                 QString* error) const
{
    // The copy and the delete select the same rows inside the caller's transaction.
    if (!m_db.exec(
            QStringLiteral("INSERT INTO silinen_hareketler (hareket_id, mus_kodu, Tarih, Saat, Aciklama, Miktar, "
                           "Birim, KDV, Eklenen, Odenen, Kullanici, Kayit, silinen_musteri, Silen, Silinme) "
                           "SELECT id, mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen, "
                           "Kullanici, Kayit, CAST(? AS BIGINT), CAST(? AS TEXT), CAST(? AS TEXT) FROM veresiye "
                           "WHERE %1 ORDER BY id")
                .arg(where),
            {keptCustomer, signedInUser(), session::stamp(), value}, error))
        return false;
    return m_db.exec(QStringLiteral("DELETE FROM veresiye WHERE %1").arg(where), {value}, error);
}

namespace {

// Paged reads take few rows at a time through the (mus_kodu, id) index, so the two stamp columns cost nothing.
const QString kMovementColumns
    = QStringLiteral("id, mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen, Kullanici, Kayit");

QVector<Movement> readMovements(QSqlQuery& q, QString* error)
{
    QVector<Movement> result;
    if (!Database::run(q)) {
        fail(q, error);
        return result;
    }
    while (q.next()) {
        Movement m;
        m.id = q.value(0).toLongLong();
        m.musKodu = q.value(1).toString();
        m.tarih = q.value(2).toString();
        m.saat = q.value(3).toString();
        m.aciklama = q.value(4).toString();
        m.miktar = q.value(5).isNull() ? QVariant() : QVariant(q.value(5).toDouble());
        m.birim = q.value(6).toString();
        m.kdv = q.value(7).isNull() ? QVariant() : QVariant(q.value(7).toDouble());
        m.eklenen = q.value(8).isNull() ? QVariant() : QVariant(q.value(8).toLongLong());
        m.odenen = q.value(9).isNull() ? QVariant() : QVariant(q.value(9).toLongLong());
        m.kullanici = q.value(10).toString();
        m.kayit = q.value(11).toString();
        result.append(m);
    }
    return result;
}

} // namespace

std::optional<AccountStore::Overview> AccountStore::overview(const QString& musKodu, std::optional<qint64> afterId,
                                                             QString* error) const
{
    static const QString aggregates = QStringLiteral(
        "SELECT count(*), coalesce(max(id), 0), coalesce(sum(Eklenen), 0), coalesce(sum(Odenen), 0) FROM veresiye ");
    // The whole account from the index on (mus_kodu, Eklenen, Odenen), which carries the id too, so no table
    // row is read. The newest rows by their ids first: asked directly, the planner takes the amounts' index
    // and walks the whole account for a few rows.
    QSqlQuery q = m_db.prepare(afterId ? aggregates
                                       + QStringLiteral("WHERE id IN (SELECT id FROM veresiye WHERE mus_kodu = ? AND "
                                                        "id > ?)")
                                       : aggregates + QStringLiteral("WHERE mus_kodu = ?"));
    q.addBindValue(musKodu);
    if (afterId)
        q.addBindValue(*afterId);
    if (!Database::run(q) || !q.next()) {
        fail(q, error);
        return std::nullopt;
    }
    return Overview {q.value(0).toLongLong(), q.value(1).toLongLong(),
                     Sums {q.value(2).toLongLong(), q.value(3).toLongLong()}};
}

QVector<Movement> AccountStore::movementsAfter(const QString& musKodu, std::optional<qint64> afterId, qint64 skip,
                                               qint64 limit, QString* error) const
{
    QSqlQuery q
        = m_db.prepare(QStringLiteral("SELECT %1 FROM veresiye WHERE mus_kodu = ?%2 ORDER BY id LIMIT ? OFFSET ?")
                           .arg(kMovementColumns, afterId ? QStringLiteral(" AND id > ?") : QString()));
    q.addBindValue(musKodu);
    if (afterId)
        q.addBindValue(*afterId);
    q.addBindValue(limit);
    q.addBindValue(skip);
    return readMovements(q, error);
}

QVector<Movement> AccountStore::movementsBefore(const QString& musKodu, qint64 beforeId, qint64 skip, qint64 limit,
                                                QString* error) const
{
    QSqlQuery q = m_db.prepare(
        QStringLiteral("SELECT %1 FROM veresiye WHERE mus_kodu = ? AND id < ? ORDER BY id DESC LIMIT ? OFFSET ?")
            .arg(kMovementColumns));
    q.addBindValue(musKodu);
    q.addBindValue(beforeId);
    q.addBindValue(limit);
    q.addBindValue(skip);
    QVector<Movement> result = readMovements(q, error);
    std::reverse(result.begin(), result.end());
    return result;
}

qint64 AccountStore::movementRow(const QString& musKodu, qint64 id, bool fromEnd, QString* error) const
{
    // Counted from the nearer end, the count steps over as few index entries as it can.
    const QVariant row
        = m_db.scalar(QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM veresiye WHERE id = ? AND mus_kodu = ?) "
                                     "THEN (SELECT count(*) FROM veresiye WHERE mus_kodu = ? AND id %1 ?) ELSE -1 END")
                          .arg(fromEnd ? QLatin1Char('>') : QLatin1Char('<')),
                      {id, musKodu, musKodu, id}, error);
    return row.isValid() ? row.toLongLong() : -1;
}

bool AccountStore::appendMovement(const Movement& m, QString* error, LimitCheck* limit) const
{
    // The movement and what it changes in the customer's row reach the file together, or not at all.
    ScopedTransaction transaction(m_db);
    if (!transaction.isActive()) {
        if (error)
            *error = QStringLiteral("İşlem başlatılamadı.");
        return false;
    }
    const auto orNull = [](const QVariant& v, QMetaType type) { return v.isNull() ? QVariant(type) : v; };
    if (!m_db.exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, "
                                  "Eklenen, Odenen, Kullanici, Kayit) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                   {m.musKodu, m.tarih, m.saat, m.aciklama, orNull(m.miktar, QMetaType::fromType<double>()),
                    m.birim.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(m.birim),
                    orNull(m.kdv, QMetaType::fromType<double>()), orNull(m.eklenen, QMetaType::fromType<qint64>()),
                    orNull(m.odenen, QMetaType::fromType<qint64>()), signedInUser(), session::stamp()},
                   error))
        return false;
    // The stored balance moves by the movement's amount. A row whose balance was never computed (or was written
    // as something other than whole kuruş by another tool) gets the balance of all the account's movements.
    // The row is read under a lock (the movement's insert already holds SQLite's file), so another till's entry
    // for the same customer waits and then counts on top of this one.
    QSqlQuery row = m_db.prepare(QStringLiteral("SELECT Bakiye, KrediLimiti FROM musteriler WHERE mus_kodu = ?")
                                 + m_db.lockRowsSql());
    QString readError;
    if (!Database::runWith(row, {m.musKodu}, &readError) || !row.next()) {
        if (error)
            *error = readError.isEmpty()
                ? QStringLiteral("Müşteri kaydı bulunamadı; başka bir kasada silinmiş olabilir.")
                : readError;
        return false;
    }
    const QVariant stored = row.value(0);
    const std::optional<qint64> creditLimit = Database::wholeNumber(row.value(1));
    row.finish();
    qint64 balance = 0;
    bool fits = true;
    if (const std::optional<qint64> whole = Database::wholeNumber(stored)) {
        fits = !qAddOverflow(*whole, m.eklenen.toLongLong(), &balance)
            && !qSubOverflow(balance, m.odenen.toLongLong(), &balance);
    } else {
        const auto account = overview(m.musKodu, std::nullopt, error);
        if (!account)
            return false;
        fits = !qSubOverflow(account->sums.added, account->sums.paid, &balance);
    }
    if (!fits) {
        if (error)
            *error = QStringLiteral("Hesabın bakiyesi çok büyük; bu hareket kaydedilemez.");
        return false;
    }
    // The balance and the limit are this transaction's, under the row lock: another till's entry counts.
    if (limit && creditLimit && m.eklenen.toLongLong() > 0 && balance > *creditLimit
        && !(limit->agreed && *creditLimit >= *limit->agreed)) {
        limit->exceeded = *creditLimit;
        return false;
    }
    // The entry is made today: that is the last-transaction date, and the day count from it is 0.
    QSqlQuery update
        = m_db.prepare(QStringLiteral("UPDATE musteriler SET Bakiye = ?, Sonislem = ?, Gun = 0 WHERE mus_kodu = ?"));
    if (!Database::runWith(update, {balance, dates::isoDate(Clock::today()), m.musKodu}, error)
        || !afterMovementsChanged(m.musKodu, error))
        return false;
    if (!transaction.commit()) {
        if (error)
            *error = QStringLiteral("İşlem tamamlanamadı.");
        return false;
    }
    return true;
}

bool AccountStore::afterMovementsChanged(const QString& musKodu, QString* error) const
{
    return m_db.exec(CollectionStore::refreshOneSql(m_db.engine()), {musKodu, musKodu, musKodu}, error);
}

bool AccountStore::deleteMovement(qint64 id, QString* error) const
{
    return deleteMovements(QStringLiteral("id = ?"), id, {}, error);
}

bool AccountStore::deleteAllMovements(const QString& musKodu, QString* error) const
{
    return deleteMovements(QStringLiteral("mus_kodu = ?"), musKodu, musKodu, error);
}

bool AccountStore::deleteMovements(const QString& where, const QVariant& value, QString musKodu, QString* error) const
{
    ScopedTransaction transaction(m_db);
    if (!transaction.isActive()) {
        if (error)
            *error = QStringLiteral("İşlem başlatılamadı.");
        return false;
    }
    if (musKodu.isNull()) {
        QString readError;
        const QVariant owner
            = m_db.scalar(QStringLiteral("SELECT mus_kodu FROM veresiye WHERE %1").arg(where), {value}, &readError);
        if (!readError.isEmpty()) {
            if (error)
                *error = readError;
            return false;
        }
        // Already gone (another till): nothing to delete.
        if (!owner.isValid())
            return true;
        musKodu = owner.toString();
    }
    if (!keepMovements(where, value, QVariant(QMetaType::fromType<qint64>()), error)
        || !afterMovementsChanged(musKodu, error))
        return false;
    if (!transaction.commit()) {
        if (error)
            *error = QStringLiteral("İşlem tamamlanamadı.");
        return false;
    }
    return true;
}

bool AccountStore::settleAccount(const QString& musKodu, QString* error) const
{
    const auto account = overview(musKodu, std::nullopt, error);
    if (!account)
        return false;
    qint64 balance = 0;
    if (qSubOverflow(account->sums.added, account->sums.paid, &balance)) {
        if (error)
            *error = QStringLiteral("Hesabın bakiyesi çok büyük.");
        return false;
    }
    return m_db.exec(QStringLiteral("UPDATE musteriler SET Bakiye = ?, Gun = %1 WHERE mus_kodu = ?")
                         .arg(customerrow::dayCountSql(m_db.engine())),
                     {balance, dates::isoDate(Clock::today()), musKodu}, error)
        && afterMovementsChanged(musKodu, error);
}

QStringList AccountStore::units(QString* error) const
{
    QSqlQuery q = m_db.prepare(QStringLiteral("SELECT birimadi FROM birimler ORDER BY rowid"));
    QStringList result;
    if (!q.exec()) {
        fail(q, error);
        return result;
    }
    while (q.next())
        result << q.value(0).toString();
    return result;
}

} // namespace zelvora
