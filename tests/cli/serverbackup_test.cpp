// SPDX-License-Identifier: GPL-3.0-or-later
#include "backup/copyroutine.h"
#include "backup/filecopy.h"
#include "backup/serverledger.h"
#include "clirun.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/database.h"
#include "ledgerrows.h"
#include "messagerecorder.h"
#include "serverfolder.h"
#include "testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <optional>

using namespace zelvora;
using namespace zelvora::test;

namespace {

// Every table's rows, one line each, as gtest shows a difference. Entered rows only: a restore computes a
// customer's day count and name keys afresh, so those are left out where asked.
std::string ledgerOf(const Database& db, bool derived = true)
{
    QStringList lines;
    for (const QString& table : kLedgerTables)
        for (QString row : rowsOf(db, table)) {
            // A restore computes the day count and the name keys again (fields 12 to 14).
            if (!derived && table == QLatin1String("musteriler")) {
                QStringList fields = row.split(QLatin1Char('|'));
                fields.remove(12, 3);
                row = fields.join(QLatin1Char('|'));
            }
            lines << table + QLatin1Char(':') + row;
        }
    return lines.join(QLatin1Char('\n')).toStdString();
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("yok");
}

// A ledger with faults --check finds: a balance its movements do not make, a movement without its customer, a
// customer whose name keys do not fit its name (fillLedger's), a movement without date and time (fillLedger's).
void addFaults(const Database& db)
{
    ASSERT_TRUE(db.exec(QStringLiteral("UPDATE musteriler SET Bakiye = ? WHERE id = ?"), {qint64(999), 9}));
    ASSERT_TRUE(db.exec(
        QStringLiteral("INSERT INTO veresiye (id, mus_kodu, Tarih, Saat, Eklenen, Odenen) VALUES "
                       "(?, ?, ?, ?, ?, ?)"),
        {20, QStringLiteral("77"), QStringLiteral("2024-03-02"), QStringLiteral("09:00:00"), qint64(4500), qint64(0)}));
}

class ServerBackup : public EngineTest
{
};

} // namespace

// The day's backup of either engine restores into the other with the same rows; a till connected to the server
// before the restore reads the restored ledger afterwards.
TEST_P(ServerBackup, ABackupRestoresIntoTheOtherEngine)
{
    const Engine from = GetParam();
    const Engine to = from == Engine::SQLite ? Engine::PostgreSQL : Engine::SQLite;
    TestDatabase target(to);
    TestDatabase source(from);
    fillLedger(source.db());
    std::optional<ProgramFolder> server;
    if (from == Engine::PostgreSQL)
        server.emplace(iniFor(source.target().server));

    QTemporaryDir backups;
    const CliRun r = runCli({QStringLiteral("--backup"), backups.path()});
    ASSERT_EQ(r.status, 0) << r.err.toStdString();
    const QStringList written = QDir(QDir(backups.path()).filePath(QStringLiteral("gunluk"))).entryList(QDir::Files);
    ASSERT_EQ(written.size(), 1) << written.join(QLatin1Char(',')).toStdString();
    const QString backup = QDir(QDir(backups.path()).filePath(QStringLiteral("gunluk"))).filePath(written.first());
    EXPECT_TRUE(r.out.contains(QStringLiteral("Yedeklendi: ") + QDir::toNativeSeparators(backup)))
        << r.out.toStdString();
    server.reset();

    MessageRecorder messages;
    CopyRoutine routine(nullptr, nullptr);
    const auto other = target.openAnother();
    if (to == Engine::PostgreSQL) {
        ASSERT_GT(routine.restoreServer(target.target().server, backup), 0)
            << (messages.messages().isEmpty() ? std::string() : messages.last().text.toStdString());
        // The server's ledger as it was is kept first.
        EXPECT_EQ(QDir(AppConfig::backupFolder()).entryList({QStringLiteral("*.ydk")}, QDir::Files).size(), 1);
    } else {
        target.close();
        ASSERT_GT(routine.restoreFile(backup, target.path()), 0)
            << (messages.messages().isEmpty() ? std::string() : messages.last().text.toStdString());
        target.reopen();
    }
    const auto expected = ledgerOf(source.db(), false);
    EXPECT_EQ(ledgerOf(target.db(), false), expected);
    if (to == Engine::PostgreSQL) {
        EXPECT_EQ(ledgerOf(*other, false), expected);
        // New rows continue after the restored ids.
        EXPECT_EQ(
            target.db().insert(QStringLiteral("INSERT INTO musteriler (mus_kodu) VALUES (?)"), {QStringLiteral("10")}),
            10);
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, ServerBackup, kEngines, engineName);

// What another till commits while the backup reads is not in it: the backup is the ledger as it was when its
// snapshot was taken, and the other till did not wait for it.
TEST(ServerSnapshot, AWriteDuringTheBackupIsNotInIt)
{
    TestDatabase t(Engine::PostgreSQL);
    fillLedger(t.db());
    const auto before = ledgerOf(t.db());
    QTemporaryDir dir;
    const QString target = QDir(dir.path()).filePath(QStringLiteral("Veresiye_Yedek_05-03-24.ydk"));
    const auto till = t.openAnother();
    bool wrote = false;
    QString error;
    const bool ok = serverledger::backupTo(t.target().server, target, QDate(2024, 3, 6), &error, [&] {
        ScopedTransaction write(*till);
        wrote = till->exec(QStringLiteral("INSERT INTO musteriler (id, mus_kodu, MusteriFirma, Bakiye) VALUES "
                                          "(?, ?, ?, ?)"),
                           {50, QStringLiteral("50"), QStringLiteral("Yeni"), qint64(700)})
            && till->exec(QStringLiteral("INSERT INTO veresiye (id, mus_kodu, Eklenen) VALUES (?, ?, ?)"),
                          {60, QStringLiteral("50"), qint64(700)})
            && till->exec(QStringLiteral("UPDATE musteriler SET Bakiye = Bakiye + 1 WHERE id = 1")) && write.commit();
    });
    ASSERT_TRUE(ok) << error.toStdString();
    EXPECT_TRUE(wrote);
    EXPECT_EQ(FileCopy::removeLeftovers(target), 0);
    const auto file = Database::open(target);
    ASSERT_TRUE(file);
    EXPECT_EQ(ledgerOf(*file), before);
    EXPECT_NE(ledgerOf(t.db()), before);
}

// A file whose rows the server refuses (two user names SQLite keeps apart, one name on the server) fails after
// the customers and movements went in: the server's ledger stays as it was and the message says why.
TEST(ServerRestore, AFailureHalfWayLeavesTheServerAsItWas)
{
    TestDatabase server(Engine::PostgreSQL);
    fillLedger(server.db());
    const auto before = ledgerOf(server.db());
    TestDatabase file;
    ASSERT_TRUE(
        file.db().exec(QStringLiteral("INSERT INTO musteriler (mus_kodu, MusteriFirma, Bakiye) VALUES (?, ?, ?)"),
                       {QStringLiteral("1"), QStringLiteral("Başka"), qint64(5)}));
    ASSERT_TRUE(
        file.db().exec(QStringLiteral("INSERT INTO \"User\" (Username, Password) VALUES (?, ?), (?, ?)"),
                       {QStringLiteral("ÇAĞLA"), QStringLiteral("k1"), QStringLiteral("çağla"), QStringLiteral("k2")}));
    file.close();

    MessageRecorder messages;
    CopyRoutine routine(nullptr, nullptr);
    EXPECT_EQ(routine.restoreServer(server.target().server, file.path()), 0);
    ASSERT_FALSE(messages.messages().isEmpty());
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("değiştirilmedi"))) << messages.last().text.toStdString();
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("User"))) << messages.last().text.toStdString();
    EXPECT_EQ(ledgerOf(*server.openAnother()), before);
}

// The same ledger on a file and on the server: --check finds the same, --export writes the same bytes, and
// --check --repair mends the same, on either.
TEST(ServerCheck, CheckRepairAndExportMatchTheFile)
{
    TestDatabase file;
    fillLedger(file.db());
    addFaults(file.db());
    const ServerSettings settings = emptyDatabase();
    QTemporaryDir out;
    const auto csv = [&](const QString& name) { return QDir(out.path()).filePath(name); };

    struct Runs
    {
        CliRun check, customers, movements, repair, after;
    };
    const auto runAll = [&](const QString& prefix) {
        Runs r;
        r.check = runCli({QStringLiteral("--check")});
        r.customers
            = runCli({QStringLiteral("--export"), QStringLiteral("customers"), csv(prefix + QStringLiteral("-m.csv"))});
        r.movements
            = runCli({QStringLiteral("--export"), QStringLiteral("movements"), csv(prefix + QStringLiteral("-h.csv"))});
        r.repair = runCli({QStringLiteral("--check"), QStringLiteral("--repair")});
        r.after = runCli({QStringLiteral("--check")});
        return r;
    };
    {
        ProgramFolder folder(iniFor(settings));
        ASSERT_EQ(runCli({QStringLiteral("--copy-to-server"), file.path()}).status, 0);
    }
    AppConfig::setProgramFolder(file.folder());
    const Runs onFile = runAll(QStringLiteral("dosya"));
    ProgramFolder folder(iniFor(settings));
    const Runs onServer = runAll(QStringLiteral("sunucu"));

    const QString note = QStringLiteral("Defter sunucuda (%1): dosya düzeyindeki denetimler (bütünlük denetimi, "
                                        "tablo yapısı) sunucuda yapılmaz.\n")
                             .arg(settings.address());
    EXPECT_EQ(onFile.check.status, 1);
    EXPECT_TRUE(onFile.check.out.contains(QStringLiteral("Bakiye hareketlerle tutmuyor: müşteri A-9")))
        << onFile.check.out.toStdString();
    EXPECT_TRUE(onFile.check.out.contains(QStringLiteral("Müşterisi olmayan hareketler: müşteri no 77")));
    EXPECT_EQ(onServer.check.status, onFile.check.status);
    EXPECT_EQ(onServer.check.out, note + onFile.check.out);

    EXPECT_EQ(onServer.customers.status, 0) << onServer.customers.err.toStdString();
    EXPECT_EQ(onServer.movements.status, 0) << onServer.movements.err.toStdString();
    EXPECT_EQ(bytesOf(csv(QStringLiteral("sunucu-m.csv"))), bytesOf(csv(QStringLiteral("dosya-m.csv"))));
    EXPECT_EQ(bytesOf(csv(QStringLiteral("sunucu-h.csv"))), bytesOf(csv(QStringLiteral("dosya-h.csv"))));
    EXPECT_GT(bytesOf(csv(QStringLiteral("sunucu-h.csv"))).count('\n'), 4);

    // The repair's lines but the path of the copy taken first, which each names where it put it.
    const auto withoutCopy = [](const CliRun& r, QString* copy) {
        QStringList lines = r.out.split(QLatin1Char('\n'));
        for (qsizetype i = lines.size() - 1; i >= 0; --i) {
            if (lines.at(i).startsWith(QStringLiteral("Onarım öncesi yedek: ")))
                *copy = lines.takeAt(i).mid(21);
        }
        return lines;
    };
    QString fileCopy;
    QString serverCopy;
    EXPECT_EQ(onServer.repair.status, onFile.repair.status);
    EXPECT_EQ(withoutCopy(onServer.repair, &serverCopy),
              [&] {
                  QStringList lines = withoutCopy(onFile.repair, &fileCopy);
                  lines.prepend(note.trimmed());
                  return lines;
              }())
        << onServer.repair.out.toStdString() << onServer.repair.err.toStdString();
    EXPECT_TRUE(onFile.repair.out.contains(QStringLiteral("Onarıldı: 1 bakiye"))) << onFile.repair.out.toStdString();
    // The copy taken before the repair is a backup of the server's ledger as it was, fault included.
    ASSERT_FALSE(serverCopy.isEmpty());
    const auto copy = Database::open(serverCopy);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->scalar(QStringLiteral("SELECT Bakiye FROM musteriler WHERE id = 9")).toLongLong(), 999);
    EXPECT_EQ(onServer.after.out, note + onFile.after.out);
}
