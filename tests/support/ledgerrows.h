// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>
#include <stdexcept>

namespace zelvora::test {

inline const QStringList kLedgerTables {QStringLiteral("musteriler"),   QStringLiteral("veresiye"),
                                        QStringLiteral("\"User\""),     QStringLiteral("son_musterino"),
                                        QStringLiteral("birimler"),     QStringLiteral("surum"),
                                        QStringLiteral("liste_toplami")};

// Every row of a ledger table as text: a null and an empty text differ, a number reads alike from either engine.
// Strictly, a text is also told from a number (the server keeps the counter as text, so not across engines).
inline QStringList rowsOf(const Database& db, const QString& table, bool strict = false)
{
    const bool keyed = table == QLatin1String("musteriler") || table == QLatin1String("veresiye");
    const QString order = table == QLatin1String("liste_toplami") ? QStringLiteral("Turu")
        : keyed                                                   ? QStringLiteral("id")
                                                                  : QStringLiteral("rowid");
    // The tables without an id keep their rows' places: on SQLite the hidden rowid, on the server a column.
    const QString columns = keyed || order == QLatin1String("Turu") ? QStringLiteral("*")
        : db.isServer()                                             ? QStringLiteral("*")
                                                                    : QStringLiteral("rowid, *");
    QSqlQuery query(db.connection());
    query.setNumericalPrecisionPolicy(QSql::HighPrecision);
    // The server sums the list's totals as numeric.
    const QString sql = table == QLatin1String("liste_toplami")
        ? QStringLiteral("SELECT Turu, CAST(Bakiye AS bigint) FROM liste_toplami ORDER BY Turu")
        : QStringLiteral("SELECT %1 FROM %2 ORDER BY %3").arg(columns, table, order);
    if (!query.exec(sql))
        return {QStringLiteral("hata: ") + Database::errorText(query)};
    QStringList rows;
    while (query.next()) {
        QStringList values;
        for (int i = 0; i < query.record().count(); ++i) {
            const QVariant v = query.value(i);
            if (v.isNull())
                values << QStringLiteral("NULL");
            else if (const auto whole = Database::wholeNumber(v))
                values << QString::number(*whole);
            else if (v.typeId() == QMetaType::Double)
                values << QString::number(v.toDouble(), 'g', 17);
            else
                values << (strict ? QLatin1Char('\'') + v.toString() + QLatin1Char('\'') : v.toString());
        }
        rows << values.join(QLatin1Char('|'));
    }
    return rows;
}

// A small shop's ledger as another tool may have left it: Turkish names, quotes, empty and missing values, keys
// not yet computed, gaps in the ids, two users.
inline void fillLedger(const Database& db)
{
    const auto run = [&](const QString& sql, const QVariantList& values) {
        QString error;
        if (!db.exec(sql, values, &error))
            throw std::runtime_error(error.toStdString());
    };
    const QString customer = QStringLiteral(
        "INSERT INTO musteriler (id, mus_kodu, MusteriFirma, Turu, Telefon1, Telefon2, Sehir, Adres, vd, vdn, "
        "Bakiye, Sonislem, Gun, sira_anahtari, arama_anahtari) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    const QVariant none(QMetaType::fromType<QString>());
    const QVariant noNumber(QMetaType::fromType<qint64>());
    run(customer,
        {1, QStringLiteral("1"), QStringLiteral("Şükrü Öztürk"), QStringLiteral("Müşteri"),
         QStringLiteral("0532 111 22 33"), QStringLiteral(" "), QStringLiteral("İzmir"),
         QStringLiteral("Gül Sk. \"Çiçek\" Apt. 'B' blok"), QStringLiteral(" "), QStringLiteral(" "), qint64(1250075),
         QStringLiteral("2024-03-05"), 12, QStringLiteral("sukru"), QStringLiteral("ŞÜKRÜ")});
    run(customer,
        {4, QStringLiteral("4"), QStringLiteral("Ilgaz Işık; DROP TABLE veresiye;--"), QStringLiteral(""),
         QStringLiteral(""), QStringLiteral(""), QStringLiteral(""), QStringLiteral(""), QStringLiteral(""),
         QStringLiteral(""), qint64(-300), none, noNumber, none, none});
    run(customer,
        {9, QStringLiteral("A-9"), QStringLiteral("ÇAĞRI GIDA"), QStringLiteral("Tedarikçi"), QStringLiteral(" "),
         QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "), QStringLiteral(" "),
         noNumber, none, noNumber, none, none});
    const QString movement = QStringLiteral("INSERT INTO veresiye (id, mus_kodu, Tarih, Saat, Aciklama, Miktar, "
                                            "Birim, KDV, Eklenen, Odenen) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    run(movement,
        {2, QStringLiteral("1"), QStringLiteral("2024-03-01"), QStringLiteral("10:15:00"),
         QStringLiteral("Un, şeker \"toz\""), 2.5, QStringLiteral("Kg"), 0.1, qint64(1500075), qint64(0)});
    run(movement,
        {3, QStringLiteral("1"), QStringLiteral("2024-03-05"), QStringLiteral("16:40:00"), QStringLiteral(""),
         QVariant(QMetaType::fromType<double>()), none, 18.0, qint64(0), qint64(250000)});
    run(movement,
        {7, QStringLiteral("4"), none, none, none, 1.0 / 3.0, QStringLiteral("Adet"), noNumber, noNumber, qint64(300)});
    run(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?), (?, ?)"),
        {QStringLiteral("ADMIN"), QStringLiteral("karma-1"), QStringLiteral("KASİYER Ayşe"),
         QStringLiteral("karma-2")});
    run(QStringLiteral("UPDATE son_musterino SET musterino = ?"), {9});
    run(QStringLiteral("INSERT INTO birimler (birimadi) VALUES (?)"), {QStringLiteral("Çuval (50 kg)")});
}

} // namespace zelvora::test
