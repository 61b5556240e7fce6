// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/changewatch.h"

#include "data/database.h"

#include <QVariant>

namespace zelvora {

namespace {

// How many watches share a driver's subscription, kept on the driver itself.
const char* const kWatchers = "zelvoraChangeWatchers";

} // namespace

const QString ChangeWatch::Channel = QStringLiteral("zelvora_degisti");
const QString ChangeWatch::Customers = QStringLiteral("musteriler");
const QString ChangeWatch::Movements = QStringLiteral("veresiye");

ChangeWatch::Change ChangeWatch::parse(const QString& payload)
{
    // A customer number may hold a colon itself: only the first one ends the table's name.
    const qsizetype colon = payload.indexOf(QLatin1Char(':'));
    if (colon < 0)
        return {payload, {}};
    return {payload.left(colon), payload.mid(colon + 1)};
}

bool ChangeWatch::concernsAccount(const Change& change, const QString& musKodu)
{
    if (change.table != Customers && change.table != Movements)
        return false;
    return change.musKodu.isEmpty() || change.musKodu == musKodu;
}

ChangeWatch::ChangeWatch(const Database& db, QObject* parent)
    : QObject(parent)
{
    if (!db.isServer())
        return;
    QSqlDriver* driver = db.connection().driver();
    if (!driver || !driver->hasFeature(QSqlDriver::EventNotifications))
        return;
    const int watchers = driver->property(kWatchers).toInt();
    if (watchers == 0 && !driver->subscribedToNotifications().contains(Channel)
        && !driver->subscribeToNotification(Channel))
        return; // the lists are still right after the next activation; only the live update is missing
    driver->setProperty(kWatchers, watchers + 1);
    m_driver = driver;
    connect(driver, &QSqlDriver::notification, this, &ChangeWatch::onNotification);
}

ChangeWatch::~ChangeWatch()
{
    if (!m_driver)
        return;
    const int watchers = m_driver->property(kWatchers).toInt() - 1;
    m_driver->setProperty(kWatchers, watchers);
    if (watchers <= 0 && m_driver->isOpen())
        m_driver->unsubscribeFromNotification(Channel);
}

void ChangeWatch::onNotification(const QString& name, QSqlDriver::NotificationSource source, const QVariant& payload)
{
    // What this connection wrote itself, the window already shows.
    if (name != Channel || source == QSqlDriver::SelfSource)
        return;
    const Change change = parse(payload.toString());
    emit changed(change.table, change.musKodu);
}

} // namespace zelvora
