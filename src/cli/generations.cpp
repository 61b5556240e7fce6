// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/generations.h"

#include "backup/backupnames.h"
#include "backup/databasecheck.h"
#include "backup/databasereadlock.h"
#include "backup/filecopy.h"
#include "backup/serverledger.h"

#include <QDir>
#include <QLockFile>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <functional>
#include <optional>

namespace zelvora::cli {

namespace {

const QString kCopyNames = QStringLiteral("Veresiye_Yedek_*.ydk");

// "Veresiye_Yedek_05-03-09.ydk" back to 5 March 2009 (the names hold two-digit years, all after 2000).
std::optional<QDate> dateOf(const QString& fileName)
{
    static const QRegularExpression name(QStringLiteral("^Veresiye_Yedek_(\\d\\d)-(\\d\\d)-(\\d\\d)\\.ydk$"));
    const QRegularExpressionMatch m = name.match(fileName);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate date(2000 + m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    return date.isValid() ? std::optional<QDate>(date) : std::nullopt;
}

struct Kept
{
    QString name;
    QDate date;
};

QList<Kept> copiesIn(const QString& folder)
{
    QList<Kept> copies;
    for (const QString& name : QDir(folder).entryList(QDir::Files)) {
        if (const auto date = dateOf(name))
            copies.append({name, *date});
    }
    std::sort(copies.begin(), copies.end(), [](const Kept& a, const Kept& b) { return a.date > b.date; });
    return copies;
}

// One copy into its place: bytes to a temporary name, checked as a restore would take it, then renamed.
bool copyChecked(const QString& source, const QString& target, const QDate& today,
                 const std::function<void()>& releaseLock, QString* error)
{
    FileCopy copy(source, target);
    bool ok = copy.copyToTemporary();
    if (releaseLock)
        releaseLock();
    if (!ok) {
        *error = QStringLiteral("Yedek yazılamadı: %1: %2").arg(QDir::toNativeSeparators(target), copy.errorString());
        return false;
    }
    QString why;
    if (!DatabaseCheck::restorable(copy.temporaryPath(), target, today, &why)) {
        *error = QStringLiteral("Yeni yedek denetimden geçmedi, eski yedekler silinmedi: %1").arg(why);
        return false;
    }
    if (!copy.commit()) {
        *error = QStringLiteral("Yedek yazılamadı: %1: %2").arg(QDir::toNativeSeparators(target), copy.errorString());
        return false;
    }
    return true;
}

} // namespace

GenerationsResult backupWithGenerations(const DatabaseTarget& ledger, const QString& folder, const QDate& today,
                                        int waitMs, const GenerationPolicy& policy)
{
    const bool onServer = ledger.engine == Engine::PostgreSQL;
    const QString& databasePath = ledger.path;
    GenerationsResult result;
    const QDir root(folder);
    for (const QString& sub : {DailyFolder, WeeklyFolder, MonthlyFolder}) {
        if (!root.mkpath(sub)) {
            result.error
                = QStringLiteral("Yedek klasörü oluşturulamadı: %1").arg(QDir::toNativeSeparators(root.filePath(sub)));
            return result;
        }
    }
    if (!onServer && !QFileInfo(databasePath).isFile()) {
        result.error = QStringLiteral("Veri tabanı bulunamadı: %1").arg(QDir::toNativeSeparators(databasePath));
        return result;
    }
    // One run at a time: the temporary files found are then an earlier run's, never a running one's.
    QLockFile turn(root.filePath(QStringLiteral(".zelvora-yedek.lock")));
    if (!turn.tryLock(waitMs)) {
        result.error
            = QStringLiteral("Aynı klasöre başka bir yedekleme sürüyor: %1").arg(QDir::toNativeSeparators(folder));
        return result;
    }
    for (const QString& sub : {DailyFolder, WeeklyFolder, MonthlyFolder})
        result.leftovers += FileCopy::removeLeftovers(root.filePath(sub), kCopyNames);

    const QString daily = backupnames::dailyPathIn(root.filePath(DailyFolder), today);
    if (onServer) {
        if (!serverledger::backupTo(ledger.server, daily, today, &result.error))
            return result;
    } else {
        auto lock = std::make_unique<DatabaseReadLock>(databasePath, waitMs);
        if (!lock->isHeld()) {
            result.error
                = QStringLiteral("Veri tabanı yazma işlemi bitmediği için yedeklenemedi: %1").arg(lock->errorString());
            return result;
        }
        if (!copyChecked(
                databasePath, daily, today, [&lock] { lock.reset(); }, &result.error))
            return result;
    }
    result.written.append(daily);
    QSet<QString> writtenIn {DailyFolder};

    // The first copy of a week and of a month stays as that period's copy. A copy dated after today proves
    // nothing about this period.
    const auto samePeriod = [&](const QString& sub, const std::function<bool(const QDate&)>& same) {
        const QList<Kept> copies = copiesIn(root.filePath(sub));
        return std::any_of(copies.cbegin(), copies.cend(),
                           [&](const Kept& k) { return k.date <= today && same(k.date); });
    };
    const auto sameWeek = [&](const QDate& d) {
        int year = 0, todayYear = 0;
        return d.weekNumber(&year) == today.weekNumber(&todayYear) && year == todayYear;
    };
    const auto sameMonth = [&](const QDate& d) { return d.year() == today.year() && d.month() == today.month(); };
    for (const auto& [sub, same] : {std::pair<QString, std::function<bool(const QDate&)>> {WeeklyFolder, sameWeek},
                                    std::pair<QString, std::function<bool(const QDate&)>> {MonthlyFolder, sameMonth}}) {
        if (samePeriod(sub, same))
            continue;
        const QString target = backupnames::dailyPathIn(root.filePath(sub), today);
        if (!copyChecked(daily, target, today, {}, &result.error))
            return result;
        result.written.append(target);
        writtenIn.insert(sub);
    }

    // Every new copy is in place and checked: now the old ones may go. The one just written counts as the
    // newest; one dated after today is not trusted to be newer, so it is neither counted nor removed.
    for (const auto& [sub, keep] : {std::pair {DailyFolder, policy.daily}, std::pair {WeeklyFolder, policy.weekly},
                                    std::pair {MonthlyFolder, policy.monthly}}) {
        const QDir dir(root.filePath(sub));
        const bool hasWritten = writtenIn.contains(sub);
        QList<Kept> older;
        for (const Kept& copy : copiesIn(dir.path())) {
            if (copy.date > today)
                result.later.append(dir.filePath(copy.name));
            else if (!hasWritten || copy.name != backupnames::dailyName(today))
                older.append(copy);
        }
        for (qsizetype i = std::max(0, keep - (hasWritten ? 1 : 0)); i < older.size(); ++i) {
            if (QFile::remove(dir.filePath(older.at(i).name)))
                result.removed.append(dir.filePath(older.at(i).name));
        }
    }
    result.ok = true;
    return result;
}

} // namespace zelvora::cli
