// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "messagerecorder.h"
#include "testdatabase.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace zelvora::test {

QByteArray readBytes(const QString& path);
void writeBytes(const QString& path, const QByteArray& bytes);
// Bytes that differ from chunk to chunk, so a chunk copied twice or skipped shows.
QByteArray pattern(qint64 size);
// Every file in a folder, hidden ones (temporary copies) included.
QStringList filesIn(const QString& folder);

// A fresh database in its own program folder, message boxes recorded, the clock on 5 March 2009 14:05:09
// and ending the program counted.
class BackupTest : public ::testing::Test
{
protected:
    BackupTest();
    ~BackupTest() override;

    QString backupFolder() const;
    // The day's default backup: <backup folder>/Veresiye_Yedek_05-03-09.ydk
    QString dailyBackup() const;

    TestDatabase t;
    MessageRecorder messages;
    int ends = 0;
};

} // namespace zelvora::test
