// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Large ledgers for the benchmarks: a file of `customers` customers and `movements` movements, of which
// customer "1" holds a tenth. Each size is built once (made from the program's schema, keys and day counts
// stored as the program stores them for kLedgerDay) and kept in the temporary folder for later runs; a
// changed schema builds a new file. Like a shop's file, it holds no planner statistics (no ANALYZE).
#include "app/messagebox.h"
#include "benchmain.h"
#include "data/clock.h"
#include "data/collectionstore.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/schema.h"
#include "data/turkishtext.h"
#include "testdatabase.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlDriver>
#include <iostream>
#include <sqlite3.h>

namespace zelvora::bench {

// The day the stored day counts are right for; benchmarks fix the clock to it.
inline const QDate kLedgerDay(2026, 12, 9);

// The customer that holds a tenth of the movements.
inline const QString kBigAccount = QStringLiteral("1");

namespace ledgerdetail {

inline sqlite3* handleOf(const Database& db)
{
    return *static_cast<sqlite3**>(db.connection().driver()->handle().data());
}

inline bool fill(const Database& db, int customers, int movements)
{
    static const QStringList first
        = {QStringLiteral("Ahmet"),  QStringLiteral("Ayşe"),  QStringLiteral("Çetin"),  QStringLiteral("Deniz"),
           QStringLiteral("Emine"),  QStringLiteral("Fatma"), QStringLiteral("Gökhan"), QStringLiteral("Hülya"),
           QStringLiteral("İsmail"), QStringLiteral("Kemal"), QStringLiteral("Leyla"),  QStringLiteral("Mehmet"),
           QStringLiteral("Nur"),    QStringLiteral("Osman"), QStringLiteral("Özlem"),  QStringLiteral("Şule"),
           QStringLiteral("Tuğba"),  QStringLiteral("Umut"),  QStringLiteral("Ümit"),   QStringLiteral("Yusuf"),
           QStringLiteral("Zeynep"), QStringLiteral("Burak"), QStringLiteral("Recep"),  QStringLiteral("Vedat")};
    static const QStringList last
        = {QStringLiteral("Yılmaz"), QStringLiteral("Kaya"),   QStringLiteral("Demir"), QStringLiteral("Şahin"),
           QStringLiteral("Çelik"),  QStringLiteral("Yıldız"), QStringLiteral("Aydın"), QStringLiteral("Öztürk"),
           QStringLiteral("Arslan"), QStringLiteral("Doğan"),  QStringLiteral("Kılıç"), QStringLiteral("Koç")};
    sqlite3* h = handleOf(db);
    if (sqlite3_exec(h, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    QRandomGenerator random(42);
    sqlite3_stmt* customer = nullptr;
    sqlite3_prepare_v2(h,
                       "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Bakiye, Sonislem, Gun, sira_anahtari, "
                       "arama_anahtari) VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &customer, nullptr);
    const auto text = [](sqlite3_stmt* s, int i, const QString& value) {
        const QByteArray utf8 = value.toUtf8();
        sqlite3_bind_text(s, i, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    };
    for (int i = 1; i <= customers; ++i) {
        const QString name = first.at(random.bounded(first.size())) + QLatin1Char(' ')
            + last.at(random.bounded(last.size())) + QLatin1Char(' ') + QString::number(i);
        const int age = int(random.bounded(400));
        text(customer, 1, QString::number(i));
        text(customer, 2, name);
        text(customer, 3, random.bounded(4) == 0 ? QStringLiteral("Satıcı") : QStringLiteral("Alıcı"));
        sqlite3_bind_int64(customer, 4, qint64(random.bounded(2000000)) - 200000);
        text(customer, 5, dates::isoDate(kLedgerDay.addDays(-age)));
        sqlite3_bind_int(customer, 6, -age);
        text(customer, 7, turkish::sortKey(name));
        text(customer, 8, turkish::searchKey(name));
        if (sqlite3_step(customer) != SQLITE_DONE)
            return false;
        sqlite3_reset(customer);
    }
    sqlite3_finalize(customer);
    sqlite3_stmt* movement = nullptr;
    sqlite3_prepare_v2(h,
                       "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen) "
                       "VALUES (?, ?, '12:00:00', ?, 2, 'Adet', 1.18, ?, ?)",
                       -1, &movement, nullptr);
    for (int i = 0; i < movements; ++i) {
        const bool big = i % 10 == 0;
        text(movement, 1, big ? kBigAccount : QString::number(2 + random.bounded(std::max(1, customers - 1))));
        text(movement, 2, dates::isoDate(kLedgerDay.addDays(-int(random.bounded(3000)))));
        text(movement, 3, QStringLiteral("Satış %1").arg(i));
        if (i % 9 == 0) {
            sqlite3_bind_null(movement, 4);
            sqlite3_bind_int64(movement, 5, 1000);
        } else {
            sqlite3_bind_int64(movement, 4, 2360);
            sqlite3_bind_null(movement, 5);
        }
        if (sqlite3_step(movement) != SQLITE_DONE)
            return false;
        sqlite3_reset(movement);
    }
    sqlite3_finalize(movement);
    // The big account's stored balance and dates, as its account window leaves them.
    const QString big = QStringLiteral("UPDATE musteriler SET Bakiye = (SELECT coalesce(sum(Eklenen), 0) - "
                                       "coalesce(sum(Odenen), 0) FROM veresiye WHERE mus_kodu = '1'), "
                                       "Sonislem = '%1', Gun = 0 WHERE mus_kodu = '1'")
                            .arg(dates::isoDate(kLedgerDay));
    // The to-collect dates, as the program keeps them with every movement.
    const QByteArray collectionDates
        = CollectionStore::refreshAllSql(Engine::SQLite).join(QStringLiteral(";\n")).toUtf8() + ";";
    return sqlite3_exec(h, big.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_exec(h, collectionDates.constData(), nullptr, nullptr, nullptr) == SQLITE_OK
        && sqlite3_exec(h, "UPDATE son_musterino SET musterino = (SELECT count(*) FROM musteriler); COMMIT", nullptr,
                        nullptr, nullptr)
        == SQLITE_OK;
}

} // namespace ledgerdetail

// The cached file of this size, built on first use; empty when it could not be built.
inline QString ledgerFile(int customers, int movements)
{
    const QByteArray schemaHash = QCryptographicHash::hash(schema::script(), QCryptographicHash::Sha1).toHex().left(8);
    const QString path = QDir::temp().filePath(QStringLiteral("zelvora-ledger2-%1-%2-%3.dll")
                                                   .arg(customers)
                                                   .arg(movements)
                                                   .arg(QString::fromLatin1(schemaHash)));
    if (QFile::exists(path))
        return path;
    test::TestDatabase t;
    if (!ledgerdetail::fill(t.db(), customers, movements))
        return {};
    t.close();
    // Two benchmark programs may build the same size at once; each writes its own file and renames it.
    const QString building = path + QStringLiteral(".%1.building").arg(QCoreApplication::applicationPid());
    if (!QFile::copy(t.path(), building) || !QFile::rename(building, path))
        return {};
    return path;
}

// Replaces t's file with a copy of the ledger of this size and reopens it.
inline bool loadLedger(test::TestDatabase& t, int customers, int movements)
{
    const QString source = ledgerFile(customers, movements);
    if (source.isEmpty())
        return false;
    t.close();
    QFile::remove(t.path());
    const bool copied = QFile::copy(source, t.path());
    QFile(t.path()).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    t.reopen();
    return copied;
}

// The main() of a benchmark on the 1,000,000-customer ledger: the clock on kLedgerDay, messages printed
// and answered Ok, the ledger loaded into *ledger before the benchmarks and deleted after them.
inline int runOnLedger(int argc, char** argv, test::TestDatabase*& ledger)
{
    return run(
        argc, argv,
        [&ledger] {
            Clock::setFixed(QDateTime(kLedgerDay, QTime(10, 0)));
            MessageBox::setHandler([](const MessageBox::Message& m) {
                std::cerr << "message: " << m.text.toStdString() << '\n';
                return MessageBox::Answer::Ok;
            });
            ledger = new test::TestDatabase;
            if (!loadLedger(*ledger, 1000000, 1000000))
                std::cerr << "the ledger could not be built\n";
        },
        [&ledger] {
            delete ledger;
            ledger = nullptr;
            MessageBox::setHandler({});
        });
}

} // namespace zelvora::bench
