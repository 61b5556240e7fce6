// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/filecopy.h"
#include "backupfixture.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;
using namespace zelvora::test;

TEST(FileCopy, CopiesInChunksOf1024AndReportsProgressAfterEach)
{
    struct Case
    {
        qint64 size;
        QList<qint64> chunks;
        QList<int> percents;
    };
    const Case cases[] = {
        {2048, {1024, 1024}, {50, 100}},
        {1000, {1000}, {100}},
        {2500, {1024, 1024, 452}, {41, 82, 100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        QTemporaryDir dir;
        const QString source = dir.filePath(QStringLiteral("kaynak.dll"));
        const QString target = dir.filePath(QStringLiteral("hedef.ydk"));
        writeBytes(source, pattern(c.size));
        FileCopy copy(source, target);
        QList<qint64> chunks;
        QList<int> percents;
        copy.onChunkWritten([&](qint64 bytes, int percent) {
            chunks << bytes;
            percents << percent;
        });
        ASSERT_TRUE(copy.run()) << copy.errorString().toStdString();
        EXPECT_EQ(copy.bytesCopied(), c.size);
        EXPECT_EQ(chunks, c.chunks);
        EXPECT_EQ(percents, c.percents);
        EXPECT_EQ(readBytes(target), pattern(c.size));
        EXPECT_EQ(filesIn(dir.path()), (QStringList {QStringLiteral("hedef.ydk"), QStringLiteral("kaynak.dll")}));
    }
}

TEST(FileCopy, FailureHalfWayLeavesNoPartFileAndTheOldTargetWhole)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("kaynak.dll"));
    const QString target = dir.filePath(QStringLiteral("hedef.ydk"));
    writeBytes(source, pattern(64 * 1024)); // beyond what one buffered read takes in
    writeBytes(target, "sabah yedegi");
    FileCopy copy(source, target);
    // The source shrinks after the first chunk: the copy can never be complete.
    copy.onChunkWritten([&](qint64, int) { QFile::resize(source, 1500); });
    EXPECT_FALSE(copy.run());
    EXPECT_EQ(copy.bytesCopied(), 0);
    EXPECT_EQ(readBytes(target), QByteArray("sabah yedegi"));
    EXPECT_EQ(filesIn(dir.path()), (QStringList {QStringLiteral("hedef.ydk"), QStringLiteral("kaynak.dll")}));
}

TEST(FileCopy, RefusesWhatCannotBeCopiedWithoutMakingAFile)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("kaynak.dll"));
    const QString empty = dir.filePath(QStringLiteral("bos.dll"));
    writeBytes(good, pattern(3000));
    writeBytes(empty, {});
    struct Case
    {
        const char* what;
        QString source;
        QString target;
    };
    const Case cases[] = {
        {"missing source", dir.filePath(QStringLiteral("yok.dll")), dir.filePath(QStringLiteral("a.ydk"))},
        {"empty source", empty, dir.filePath(QStringLiteral("a.ydk"))},
        {"missing target folder", good, dir.filePath(QStringLiteral("yok/a.ydk"))},
        {"target is the source", good, good},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FileCopy copy(c.source, c.target);
        EXPECT_FALSE(copy.run());
        EXPECT_FALSE(copy.errorString().isEmpty());
        EXPECT_EQ(filesIn(dir.path()), (QStringList {QStringLiteral("bos.dll"), QStringLiteral("kaynak.dll")}));
        EXPECT_EQ(readBytes(good), pattern(3000));
    }
}
