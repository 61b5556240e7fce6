// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/deletedstore.h"

#include "data/accountstore.h"
#include "data/customerrow.h"
#include "data/database.h"

#include <QSqlQuery>
#include <algorithm>

namespace zelvora {

namespace {

const QString kMovementColumns
    = QStringLiteral("mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen, Kullanici, Kayit");

bool begun(const ScopedTransaction& transaction, QString* error)
{
    if (!transaction.isActive() && error)
        *error = QStringLiteral("İşlem başlatılamadı.");
    return transaction.isActive();
}

bool finish(ScopedTransaction& transaction, QString* error)
{
    if (transaction.commit())
        return true;
    if (error)
        *error = QStringLiteral("İşlem tamamlanamadı.");
    return false;
}

bool refuse(const QString& reason, QString* error)
{
    if (error)
        *error = reason;
    return false;
}

// The name of the customer now holding musKodu; nothing when none does or the read failed (then *error is set).
std::optional<QString> holderOf(const Database& db, const QString& musKodu, QString* error)
{
    QString readError;
    const QVariant name = db.scalar(
        QStringLiteral("SELECT MusteriFirma FROM musteriler WHERE mus_kodu = ? ORDER BY id LIMIT 1") + db.lockRowsSql(),
        {musKodu}, &readError);
    if (!readError.isEmpty() && error)
        *error = readError;
    return name.isValid() ? std::optional(name.toString()) : std::nullopt;
}

// Runs a restoring insert, naming a movement id taken meanwhile (another tool's insert) in Turkish.
bool restoreRows(const Database& db, const QString& sql, const QVariantList& values, QString* error)
{
    QSqlQuery query = db.prepare(sql);
    if (Database::runWith(query, values, error))
        return true;
    if (Database::isDuplicateKey(query) && error)
        *error = QStringLiteral("Hareketin eski sıra numarası başka bir harekette; kayıt geri alınamadı.\n\n")
            + Database::errorText(query);
    return false;
}

} // namespace

std::optional<QVector<DeletedEntry>> DeletedStore::entries(QString* error) const
{
    QVector<DeletedEntry> result;
    QSqlQuery customers = m_db.prepare(
        QStringLiteral("SELECT s.id, s.Silen, s.Silinme, s.mus_kodu, s.MusteriFirma, h.toplam, coalesce(h.sayi, 0) "
                       "FROM silinen_musteriler s LEFT JOIN (SELECT silinen_musteri, count(*) AS sayi, "
                       "coalesce(sum(Eklenen), 0) - coalesce(sum(Odenen), 0) AS toplam FROM silinen_hareketler "
                       "WHERE silinen_musteri IS NOT NULL GROUP BY silinen_musteri) h ON h.silinen_musteri = s.id"));
    if (!Database::runWith(customers, {}, error))
        return std::nullopt;
    while (customers.next()) {
        DeletedEntry e;
        e.kind = DeletedEntry::Kind::Customer;
        e.id = customers.value(0).toLongLong();
        e.deletedBy = customers.value(1).toString();
        e.deletedAt = customers.value(2).toString();
        e.musKodu = customers.value(3).toString();
        e.customerName = customers.value(4).toString();
        // The balance it comes back with: that of its movements (a sum over bigint comes as text on a server).
        e.amount = customers.value(5).toLongLong();
        e.movementCount = customers.value(6).toLongLong();
        result.append(e);
    }
    // A movement's customer by its present name; one deleted since, by the name it was deleted under.
    QSqlQuery movements = m_db.prepare(QStringLiteral(
        "SELECT h.id, h.Silen, h.Silinme, h.mus_kodu, coalesce((SELECT m.MusteriFirma FROM musteriler m WHERE "
        "m.mus_kodu = h.mus_kodu ORDER BY m.id LIMIT 1), (SELECT s.MusteriFirma FROM silinen_musteriler s WHERE "
        "s.mus_kodu = h.mus_kodu ORDER BY s.id DESC LIMIT 1)), h.Aciklama, coalesce(h.Eklenen, 0), "
        "coalesce(h.Odenen, 0) FROM silinen_hareketler h WHERE h.silinen_musteri IS NULL"));
    if (!Database::runWith(movements, {}, error))
        return std::nullopt;
    while (movements.next()) {
        DeletedEntry e;
        e.id = movements.value(0).toLongLong();
        e.deletedBy = movements.value(1).toString();
        e.deletedAt = movements.value(2).toString();
        e.musKodu = movements.value(3).toString();
        e.customerName = movements.value(4).toString();
        e.aciklama = movements.value(5).toString();
        e.amount = Database::wholeNumber(movements.value(6)).value_or(0)
            - Database::wholeNumber(movements.value(7)).value_or(0);
        result.append(e);
    }
    // Newest first; within one moment the later kept row first.
    std::stable_sort(result.begin(), result.end(), [](const DeletedEntry& a, const DeletedEntry& b) {
        if (a.deletedAt != b.deletedAt)
            return a.deletedAt > b.deletedAt;
        return a.id > b.id;
    });
    return result;
}

bool DeletedStore::restoreMovement(qint64 deletedId, QString* error) const
{
    ScopedTransaction transaction(m_db);
    if (!begun(transaction, error))
        return false;
    QString readError;
    const QVariant musKodu = m_db.scalar(
        QStringLiteral("SELECT mus_kodu FROM silinen_hareketler WHERE id = ? AND silinen_musteri IS NULL"), {deletedId},
        &readError);
    if (!musKodu.isValid())
        return refuse(readError.isEmpty()
                          ? QStringLiteral("Bu kayıt silinenler arasında artık yok; başka bir kasada geri alınmış "
                                           "olabilir.")
                          : readError,
                      error);
    // The customer's row is locked (server) so that its balance is settled over every movement.
    if (!holderOf(m_db, musKodu.toString(), &readError))
        return refuse(readError.isEmpty()
                          ? QStringLiteral("Bu hareketin müşterisi (%1 numaralı) artık yok. Önce müşteriyi "
                                           "\"Silinen Kayıtlar\" içinden geri alın, sonra hareketi.")
                                .arg(musKodu.toString())
                          : readError,
                      error);
    if (!restoreRows(m_db,
                     QStringLiteral("INSERT INTO veresiye (id, %1) SELECT hareket_id, %1 FROM silinen_hareketler "
                                    "WHERE id = ?")
                         .arg(kMovementColumns),
                     {deletedId}, error)
        || !m_db.exec(QStringLiteral("DELETE FROM silinen_hareketler WHERE id = ?"), {deletedId}, error)
        || !AccountStore(m_db).settleAccount(musKodu.toString(), error))
        return false;
    return finish(transaction, error);
}

bool DeletedStore::restoreCustomer(qint64 deletedId, QString* error) const
{
    ScopedTransaction transaction(m_db);
    if (!begun(transaction, error))
        return false;
    QSqlQuery kept = m_db.prepare(QStringLiteral("SELECT mus_kodu, MusteriFirma FROM silinen_musteriler WHERE id = ?"));
    if (!Database::runWith(kept, {deletedId}, error))
        return false;
    if (!kept.next())
        return refuse(QStringLiteral("Bu kayıt silinenler arasında artık yok; başka bir kasada geri alınmış olabilir."),
                      error);
    const QString musKodu = kept.value(0).toString();
    const QString name = kept.value(1).toString();
    kept.finish();
    const QString takenText = QStringLiteral("%1 numarası bu arada başka bir müşteriye verilmiş (%2). Silinen müşteri "
                                             "geri alınamaz; önce o müşterinin numarasını değiştirin ya da onu silin.");
    QString readError;
    if (const std::optional<QString> holder = holderOf(m_db, musKodu, &readError))
        return refuse(takenText.arg(musKodu, *holder), error);
    if (!readError.isEmpty())
        return refuse(readError, error);
    // A fresh id for the row (no one refers to it); the keys are computed here, as every store writes them.
    QSqlQuery insert = m_db.prepare(QStringLiteral(
        "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, Adres, vd, vdn, Bakiye, "
        "Sonislem, Gun, KrediLimiti, sira_anahtari, arama_anahtari) SELECT mus_kodu, coalesce(MusteriFirma, ''), "
        "coalesce(Turu, ''), coalesce(Telefon1, ' '), coalesce(Telefon2, ' '), coalesce(Sehir, ' '), "
        "coalesce(Adres, ' '), coalesce(vd, ' '), coalesce(vdn, ' '), Bakiye, Sonislem, Gun, KrediLimiti, "
        "CAST(? AS TEXT), CAST(? AS TEXT) FROM silinen_musteriler WHERE id = ?"));
    if (!Database::runWith(insert, {customerrow::sortKeyOf(name), customerrow::searchKeyOf(name), deletedId}, error))
        return Database::isDuplicateKey(insert)
            ? refuse(takenText.arg(musKodu, QStringLiteral("başka bir kasada")), error)
            : false;
    if (!restoreRows(m_db,
                     QStringLiteral("INSERT INTO veresiye (id, %1) SELECT hareket_id, %1 FROM silinen_hareketler "
                                    "WHERE silinen_musteri = ? ORDER BY id")
                         .arg(kMovementColumns),
                     {deletedId}, error)
        || !m_db.exec(QStringLiteral("DELETE FROM silinen_hareketler WHERE silinen_musteri = ?"), {deletedId}, error)
        || !m_db.exec(QStringLiteral("DELETE FROM silinen_musteriler WHERE id = ?"), {deletedId}, error)
        || !AccountStore(m_db).settleAccount(musKodu, error))
        return false;
    return finish(transaction, error);
}

std::optional<DeletedStore::Counts> DeletedStore::counts(QString* error) const
{
    QSqlQuery q = m_db.prepare(
        QStringLiteral("SELECT (SELECT count(*) FROM silinen_musteriler), (SELECT count(*) FROM silinen_hareketler)"));
    if (!Database::runWith(q, {}, error) || !q.next())
        return std::nullopt;
    return Counts {q.value(0).toLongLong(), q.value(1).toLongLong()};
}

} // namespace zelvora
