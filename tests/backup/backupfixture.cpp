// SPDX-License-Identifier: GPL-3.0-or-later
#include "backupfixture.h"

#include "backup/programexit.h"
#include "data/appconfig.h"
#include "data/clock.h"

#include <QDir>
#include <QFile>

namespace zelvora::test {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray pattern(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + i / 1024) % 251);
    return bytes;
}

QStringList filesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

BackupTest::BackupTest()
{
    Clock::setFixed(QDateTime(QDate(2009, 3, 5), QTime(14, 5, 9)));
    ProgramExit::setHandler([this](int) { ++ends; });
}

BackupTest::~BackupTest()
{
    ProgramExit::setHandler({});
    Clock::reset();
}

QString BackupTest::backupFolder() const
{
    return AppConfig::backupFolder();
}

QString BackupTest::dailyBackup() const
{
    return QDir::toNativeSeparators(QDir(backupFolder()).filePath(QStringLiteral("Veresiye_Yedek_05-03-09.ydk")));
}

} // namespace zelvora::test
