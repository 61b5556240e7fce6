// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/datafolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace zelvora;
using datafolder::Mode;

namespace {

void writeFile(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// An install root: <root>/bin for the executable, <root>/share/zelvora for the supplied database.
struct Layout
{
    QTemporaryDir root;
    QString bin() const { return QDir(root.path()).filePath(QStringLiteral("bin")); }
    QString supplied() const { return QDir(root.path()).filePath(QStringLiteral("share/zelvora/veresiye.dll")); }
    QString data() const { return QDir(root.path()).filePath(QStringLiteral("home/.local/share/Zelvora")); }
};

} // namespace

TEST(DataFolderMode, FollowsTheFilesAroundTheExecutable)
{
    struct Case
    {
        const char* what;
        bool besideExecutable;
        bool supplied;
        Mode mode;
    };
    const Case cases[] = {
        {"as built: the database beside the program", true, false, Mode::BesideExecutable},
        {"installed under a prefix", false, true, Mode::PerUser},
        {"an installed program copied with its database: portable", true, true, Mode::BesideExecutable},
        {"an empty folder of the user's", false, false, Mode::BesideExecutable},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Layout layout;
        QDir().mkpath(layout.bin());
        if (c.besideExecutable)
            writeFile(QDir(layout.bin()).filePath(QStringLiteral("veresiye.dll")), "x");
        if (c.supplied)
            writeFile(layout.supplied(), "x");
        EXPECT_EQ(datafolder::modeFor(layout.bin()), c.mode);
        EXPECT_EQ(datafolder::suppliedDatabase(layout.bin()), layout.supplied());
    }
}

TEST(DataFolderMode, AProgramFolderTheUserCannotWriteKeepsTheDataInTheUsersFolder)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write to every folder";
    Layout layout;
    QDir().mkpath(layout.bin());
    QFile::setPermissions(layout.bin(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(datafolder::modeFor(layout.bin()), Mode::PerUser);
    QFile::setPermissions(layout.bin(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(DataFolderPrepare, FirstStartMakesTheFolderAndCopiesTheSuppliedDatabase)
{
    Layout layout;
    writeFile(layout.supplied(), QByteArray(200000, 'v'));
    QString error;
    ASSERT_TRUE(datafolder::prepare(layout.data(), layout.supplied(), &error)) << error.toStdString();
    const QString database = QDir(layout.data()).filePath(QStringLiteral("veresiye.dll"));
    EXPECT_EQ(readFile(database), readFile(layout.supplied()));
    EXPECT_EQ(entries(layout.data()), QStringList {QStringLiteral("veresiye.dll")}); // no temporary file left
    // The shop's data is its user's alone.
    EXPECT_EQ(QFile::permissions(database) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());
    // A second start finds everything in place.
    EXPECT_TRUE(datafolder::prepare(layout.data(), layout.supplied(), &error));
}

TEST(DataFolderPrepare, AnExistingDatabaseIsNeverReplaced)
{
    Layout layout;
    writeFile(layout.supplied(), "new supplied database");
    const QString database = QDir(layout.data()).filePath(QStringLiteral("veresiye.dll"));
    writeFile(database, "the shop's own data");
    QString error;
    ASSERT_TRUE(datafolder::prepare(layout.data(), layout.supplied(), &error)) << error.toStdString();
    EXPECT_EQ(readFile(database), QByteArray("the shop's own data"));
    EXPECT_EQ(entries(layout.data()), QStringList {QStringLiteral("veresiye.dll")});
}

TEST(DataFolderPrepare, FailuresAreReportedWithTheFolderAndTheSystemsReason)
{
    struct Case
    {
        const char* what;
        bool fileInTheWay;
        bool supplied;
        QString message;
    };
    const Case cases[] = {
        {"a file where the folder should be", true, true, QStringLiteral("Veri klasörü oluşturulamadı: ")},
        {"no supplied database", false, false, QStringLiteral("Veritabanı veri klasörüne kopyalanamadı: ")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Layout layout;
        if (c.supplied)
            writeFile(layout.supplied(), "x");
        if (c.fileInTheWay)
            writeFile(QDir(layout.root.path()).filePath(QStringLiteral("home/.local")), "not a folder");
        QString error;
        EXPECT_FALSE(datafolder::prepare(layout.data(), layout.supplied(), &error));
        EXPECT_TRUE(error.startsWith(c.message)) << error.toStdString();
        const QStringList lines = error.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << error.toStdString();
        EXPECT_TRUE(lines.at(0).contains(QDir::toNativeSeparators(layout.data()))) << error.toStdString();
        EXPECT_FALSE(lines.at(1).trimmed().isEmpty()); // the system's reason
        if (!c.fileInTheWay) {
            EXPECT_TRUE(entries(layout.data()).isEmpty()) << entries(layout.data()).join(u' ').toStdString();
        }
    }
}
