// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QSqlDriver>
#include <QString>

namespace zelvora {

class Database;

// Tells a window what other tills changed in a server ledger: the server's triggers notify the channel
// "zelvora_degisti" at each commit that changed customers, movements or users. On SQLite nothing is watched and
// nothing is ever emitted. Any number of watches may share a connection; the last one gone stops listening.
class ChangeWatch final : public QObject
{
    Q_OBJECT

public:
    static const QString Channel;
    static const QString Customers; // "musteriler"
    static const QString Movements; // "veresiye"

    // What one notification says.
    struct Change
    {
        QString table;
        QString musKodu; // empty: any customer of the table may have changed
    };
    // Reads a payload "table" or "table:number".
    static Change parse(const QString& payload);

    explicit ChangeWatch(const Database& db, QObject* parent = nullptr);
    ~ChangeWatch() override;
    Q_DISABLE_COPY_MOVE(ChangeWatch)

    // Whether notifications come: a server connection that could listen.
    bool isListening() const { return !m_driver.isNull(); }

    // Whether a change of table for musKodu concerns one customer's account.
    static bool concernsAccount(const Change& change, const QString& musKodu);

signals:
    // Another connection committed a change to table (for customer musKodu, or any when empty).
    void changed(const QString& table, const QString& musKodu);

private:
    void onNotification(const QString& name, QSqlDriver::NotificationSource source, const QVariant& payload);

    QPointer<QSqlDriver> m_driver;
};

} // namespace zelvora
