// SPDX-License-Identifier: GPL-3.0-or-later
// A shop moves its ledger to a server and back: a 10,000-customer file is copied to the server with
// --copy-to-server, the real windows run on the server beside the same windows on the file (the list searched
// and totalled, an account opened, an entry stored through the entry window on both), the server's ledger is
// copied back with --copy-from-server, and --export of the copied-back file matches --export of the file.
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "clirun.h"
#include "customers/customerlistmodel.h"
#include "customers/customerupkeep.h"
#include "customers/listtotalspanel.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/dateformat.h"
#include "data/turkishtext.h"
#include "entry/entrywindow.h"
#include "messagerecorder.h"
#include "serverfolder.h"
#include "testdatabase.h"
#include "typing.h"
#include "users/userstore.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QDate kToday(2026, 3, 15);
constexpr int kCustomers = 10000;
constexpr int kMovements = 30000;
const QString kBig = QStringLiteral("1");

// A shop's file: kCustomers customers with name keys and day counts as the program stores them, kMovements
// movements (a tenth of them customer 1's), balances that match them, one user.
void fillLedger(const Database& db)
{
    static const QStringList first = {QStringLiteral("Ahmet"),  QStringLiteral("Ayşe"),   QStringLiteral("Çetin"),
                                      QStringLiteral("Gökhan"), QStringLiteral("İsmail"), QStringLiteral("Özlem"),
                                      QStringLiteral("Şule"),   QStringLiteral("Ümit"),   QStringLiteral("Yusuf")};
    static const QStringList last = {QStringLiteral("Yılmaz"), QStringLiteral("Kaya"),  QStringLiteral("Şahin"),
                                     QStringLiteral("Öztürk"), QStringLiteral("Doğan"), QStringLiteral("Koç")};
    ScopedTransaction transaction(db);
    QSqlQuery customer = db.prepare(QStringLiteral(
        "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu, Telefon1, Sehir, Sonislem, Gun, sira_anahtari, "
        "arama_anahtari) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 1; i <= kCustomers; ++i) {
        const QString name = first.at(i % first.size()) + QLatin1Char(' ') + last.at((i / 7) % last.size())
            + QLatin1Char(' ') + QString::number(i);
        const int age = i % 400;
        const bool ok = Database::runWith(
            customer,
            {QString::number(i), name, i % 4 == 0 ? QStringLiteral("Satıcı") : QStringLiteral("Alıcı"),
             i % 3 == 0 ? QStringLiteral("") : QStringLiteral("0532 111 22 33"), QStringLiteral("İzmir; \"Merkez\""),
             dates::isoDate(kToday.addDays(-age)), -age, turkish::sortKey(name), turkish::searchKey(name)});
        ASSERT_TRUE(ok) << Database::errorText(customer).toStdString();
    }
    QSqlQuery movement = db.prepare(
        QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Miktar, Birim, KDV, Eklenen, Odenen) "
                       "VALUES (?, ?, '12:00:00', ?, 2, 'Adet', 1.18, ?, ?)"));
    const QVariant none(QMetaType::fromType<qint64>());
    for (int i = 0; i < kMovements; ++i) {
        const QString kod = i % 10 == 0 ? kBig : QString::number(2 + (i * 7919) % (kCustomers - 1));
        const bool payment = i % 9 == 0;
        const bool ok = Database::runWith(
            movement,
            {kod, dates::isoDate(kToday.addDays(-(i % 3000))), QStringLiteral("Satış %1").arg(i),
             payment ? none : QVariant(qint64(2360 + i % 100)), payment ? QVariant(qint64(1000)) : none});
        ASSERT_TRUE(ok) << Database::errorText(movement).toStdString();
    }
    ASSERT_TRUE(db.exec(QStringLiteral(
        "UPDATE musteriler SET Bakiye = (SELECT coalesce(sum(Eklenen), 0) - coalesce(sum(Odenen), 0) FROM veresiye "
        "WHERE veresiye.mus_kodu = musteriler.mus_kodu)")));
    ASSERT_TRUE(db.exec(QStringLiteral("UPDATE son_musterino SET musterino = ?"), {kCustomers}));
    ASSERT_EQ(UserStore(db).add(QStringLiteral("PATRON"), QStringLiteral("1234")), UserStore::AddResult::Added);
    ASSERT_TRUE(transaction.commit());
}

// What one side shows: the main window searched and totalled, the big account opened.
struct Shown
{
    int all = 0;
    QStringList allTotals;
    int matches = 0;
    QStringList firstMatches;
    QStringList matchTotals;
    int accountRows = 0;
    QString accountBalance;

    bool operator==(const Shown&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Shown& s)
{
    return out << s.all << ' ' << s.allTotals.join(QLatin1Char('/')).toStdString() << ' ' << s.matches << ' '
               << s.firstMatches.join(QLatin1Char('/')).toStdString() << ' '
               << s.matchTotals.join(QLatin1Char('/')).toStdString() << ' ' << s.accountRows << ' '
               << s.accountBalance.toStdString();
}

void totalsOf(MainWindow& window, QStringList* totals)
{
    auto* totalButton = window.findChild<LumButton*>(QStringLiteral("listTotalButton"));
    ASSERT_NE(totalButton, nullptr);
    totalButton->click();
    ListTotalsPanel* panel = window.listTotalsPanel();
    ZV_WAIT_UNTIL(panel->isVisible() && !panel->countText().isEmpty());
    *totals = {panel->countText(), panel->debtorsText(), panel->creditorsText(), panel->balanceText()};
    if (auto* close = panel->findChild<LumButton*>(QStringLiteral("listTotalsCloseButton")))
        close->click();
}

// Runs the list and the account on a ledger, and stores one credit sale through the entry window.
void useLedger(Database& db, const QString& description, Shown& shown)
{
    MainWindow main(db);
    main.show();
    main.onActivated();
    main.upkeep()->waitUntilDone();
    ZV_WAIT_UNTIL(main.model()->isCountSettled());
    shown.all = main.model()->rowCount();
    totalsOf(main, &shown.allTotals);

    auto* search = main.findChild<QLineEdit*>(QStringLiteral("searchBox"));
    ASSERT_NE(search, nullptr);
    test::typeText(search, QStringLiteral("şule"));
    ZV_WAIT_UNTIL(main.model()->isCountSettled());
    shown.matches = main.model()->rowCount();
    for (int row = 0; row < std::min(shown.matches, 5); ++row)
        shown.firstMatches << main.model()->index(row, 1).data().toString();
    totalsOf(main, &shown.matchTotals);

    AccountWindow account(db);
    account.setCustomerNumber(kBig);
    account.show();
    account.onActivated();
    shown.accountRows = account.model()->rowCount();
    shown.accountBalance = account.findChild<QLineEdit*>(QStringLiteral("balanceBox"))->text();

    bool entered = false;
    QTimer::singleShot(0, [&] {
        auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
        if (!entry)
            return;
        entry->findChild<QLineEdit*>(QStringLiteral("descriptionBox"))->setText(description);
        entry->findChild<QLineEdit*>(QStringLiteral("quantityBox"))->setText(QStringLiteral("3"));
        entry->findChild<QLineEdit*>(QStringLiteral("unitPriceBox"))->setText(QStringLiteral("12,50"));
        entry->findChild<LumButton*>(QStringLiteral("creditConfirmButton"))->click();
        entered = true;
    });
    account.findChild<LumButton*>(QStringLiteral("creditButton"))->click();
    EXPECT_TRUE(entered);
    EXPECT_EQ(account.model()->rowCount(), shown.accountRows + 1);
    EXPECT_EQ(account.model()->index(account.model()->rowCount() - 1, MovementListModel::Aciklama).data().toString(),
              description);
    // The balance the entry brings reaches the customer row.
    auto* rowStore = account.findChild<QTimer*>(QStringLiteral("rowStoreTimer"));
    ZV_WAIT_UNTIL(!rowStore->isActive());
}

QByteArray exported(const QString& programFolder, const char* kind)
{
    AppConfig::setProgramFolder(programFolder);
    const QString file = QDir(programFolder).filePath(QStringLiteral("%1.csv").arg(QString::fromLatin1(kind)));
    const test::CliRun r = test::runCli({QStringLiteral("--export"), QString::fromLatin1(kind), file});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    QFile csv(file);
    return csv.open(QIODevice::ReadOnly) ? csv.readAll() : QByteArray();
}

// The first line that differs between two exports, both sides shown; empty when they are equal.
std::string firstDifference(const QByteArray& a, const QByteArray& b)
{
    const QList<QByteArray> left = a.split('\n');
    const QList<QByteArray> right = b.split('\n');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        if (left.value(i) != right.value(i))
            return "line " + std::to_string(i + 1) + ": " + left.value(i).toStdString() + " | "
                + right.value(i).toStdString();
    }
    return {};
}

TEST(ServerRoundTripTest, ALedgerMovedToTheServerWorksThereAndComesBackWhole)
{
    Clock::setFixed(QDateTime(kToday, QTime(10, 0, 0)));
    test::MessageRecorder messages;
    const QString description = QStringLiteral("Uçtan uca satış; \"ölçü\"");

    test::TestDatabase local;
    fillLedger(local.db());
    ASSERT_FALSE(HasFatalFailure());
    const ServerSettings server = test::emptyDatabase();

    {
        test::ProgramFolder folder(test::iniFor(server));
        const test::CliRun r = test::runCli({QStringLiteral("--copy-to-server"), local.path()});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }

    // The same work on the file and on the server shows the same.
    Shown onFile;
    useLedger(local.db(), description, onFile);
    ASSERT_FALSE(HasFatalFailure());
    QString error;
    const auto remote = Database::openServer(server, &error);
    ASSERT_TRUE(remote) << error.toStdString();
    Shown onServer;
    useLedger(*remote, description, onServer);
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(onServer, onFile);
    EXPECT_EQ(onServer.all, kCustomers);
    EXPECT_EQ(onServer.allTotals.value(0), QString::number(kCustomers));
    EXPECT_GT(onServer.matches, 0);
    EXPECT_LT(onServer.matches, kCustomers);
    EXPECT_EQ(onServer.accountRows, kMovements / 10);
    EXPECT_TRUE(messages.empty());

    QTemporaryDir back;
    {
        test::ProgramFolder folder(test::iniFor(server));
        const test::CliRun r = test::runCli(
            {QStringLiteral("--copy-from-server"), QDir(back.path()).filePath(QStringLiteral("veresiye.dll"))});
        ASSERT_EQ(r.status, 0) << r.err.toStdString();
    }

    for (const char* kind : {"customers", "movements"}) {
        SCOPED_TRACE(kind);
        const QByteArray fromFile = exported(local.folder(), kind);
        const QByteArray fromServer = exported(back.path(), kind);
        EXPECT_GT(fromFile.count('\n'), kCustomers);
        EXPECT_EQ(firstDifference(fromServer, fromFile), std::string());
    }
    EXPECT_TRUE(exported(back.path(), "movements").contains(description.toUtf8().replace("\"", "\"\"")));
    AppConfig::setProgramFolder(local.folder());
    Clock::reset();
}

} // namespace
