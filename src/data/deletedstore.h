// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QVector>
#include <optional>

namespace zelvora {

class Database;

// One entry of "Silinen Kayıtlar": a deleted customer (with the movements deleted with it) or a movement deleted
// on its own.
struct DeletedEntry
{
    enum class Kind { Customer, Movement };
    Kind kind = Kind::Movement;
    qint64 id = 0; // the row of silinen_musteriler or silinen_hareketler
    QString deletedBy; // empty when nobody was signed in
    QString deletedAt; // "YYYY-MM-DD HH:MM:SS"
    QString musKodu;
    QString customerName; // the customer's name as it is now, or as it was deleted
    QString aciklama; // a movement's description
    qint64 amount = 0; // kuruş: Eklenen minus Odenen of the movement, or of the customer's kept movements
    qint64 movementCount = 0; // a customer's movements deleted with it
};

// The deleted rows kept in silinen_musteriler and silinen_hareketler, and putting them back.
class DeletedStore final
{
public:
    explicit DeletedStore(const Database& db)
        : m_db(db)
    {
    }

    // Every deleted customer and every movement deleted on its own, newest first. Nothing when a read fails.
    std::optional<QVector<DeletedEntry>> entries(QString* error = nullptr) const;

    // Puts a movement deleted on its own back into its customer's account, under its old id (so in its old place),
    // and settles the account (balance, day count), in one transaction. Refused with a Turkish *error when its
    // customer no longer exists.
    bool restoreMovement(qint64 deletedId, QString* error = nullptr) const;
    // Puts a deleted customer back with the movements deleted with it and settles its account, in one
    // transaction. Refused with a Turkish *error when its number was given to another customer meanwhile.
    bool restoreCustomer(qint64 deletedId, QString* error = nullptr) const;

    // How many deleted customers and movements (those deleted with a customer included) are kept.
    struct Counts
    {
        qint64 customers = 0;
        qint64 movements = 0;
    };
    std::optional<Counts> counts(QString* error = nullptr) const;

private:
    const Database& m_db;
};

} // namespace zelvora
