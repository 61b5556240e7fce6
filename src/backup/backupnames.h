// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>

namespace zelvora::backupnames {

// "Veresiye_Yedek_05-03-09.ydk" for 5 March 2009.
QString dailyName(const QDate& date);

// The folder with exactly one separator before the day's name (a folder that ends in one is not doubled).
QString dailyPathIn(const QString& folder, const QDate& date);

// The default target: the day's name in the backup folder.
QString defaultTarget(const QDate& date);

// The fixed name offered when the target box was empty: "<backup folder>/data.ydk".
QString fallbackTarget();

// Where the database is kept before a restore replaces it, e.g.
// "<backup folder>/Veresiye_GeriYukleme_Oncesi_05-03-09_14-05-09.ydk"; a free name is found if taken.
QString beforeRestorePath(const QDateTime& moment);

} // namespace zelvora::backupnames
