// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/backupnames.h"

#include "data/appconfig.h"
#include "data/dateformat.h"

#include <QDir>
#include <QFileInfo>

namespace zelvora::backupnames {

namespace {

QString joined(const QString& folder, const QString& name)
{
    QString path = QDir::toNativeSeparators(folder);
    if (!path.endsWith(QDir::separator()))
        path += QDir::separator();
    return path + name;
}

} // namespace

QString dailyName(const QDate& date)
{
    return QStringLiteral("Veresiye_Yedek_") + dates::backupDate(date) + QStringLiteral(".ydk");
}

QString dailyPathIn(const QString& folder, const QDate& date)
{
    return joined(folder, dailyName(date));
}

QString defaultTarget(const QDate& date)
{
    return dailyPathIn(AppConfig::backupFolder(), date);
}

QString fallbackTarget()
{
    return joined(AppConfig::backupFolder(), QStringLiteral("data.ydk"));
}

QString beforeRestorePath(const QDateTime& moment)
{
    const QString stem = QStringLiteral("Veresiye_GeriYukleme_Oncesi_") + dates::backupDate(moment.date())
        + QLatin1Char('_') + moment.time().toString(QStringLiteral("HH-mm-ss"));
    QString path = joined(AppConfig::backupFolder(), stem + QStringLiteral(".ydk"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = joined(AppConfig::backupFolder(), stem + QStringLiteral("_%1.ydk").arg(n));
    return path;
}

} // namespace zelvora::backupnames
