// SPDX-License-Identifier: GPL-3.0-or-later
// The restore check: a file it accepts takes every write the program makes. The input is a database file; when
// the check and the rebuild a restore makes accept it, the result is opened as the program opens its database
// and gets a new customer, a credit, a payment, a deleted movement and a new user, and both CSV exports.
#include "backup/databasecheck.h"
#include "cli/csvexport.h"
#include "csvparse.h"
#include "data/accountstore.h"
#include "data/database.h"
#include "data/schema.h"
#include "entry/newcustomerstore.h"
#include "fuzzsupport.h"
#include "users/userstore.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>

using namespace zelvora;
using fuzz::check;

namespace {

QTemporaryDir* folder = nullptr;

QString inFolder(const QString& name)
{
    return folder->filePath(name);
}

void removeDatabase(const QString& path)
{
    for (const char* suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// The first of the candidates the query does not find.
QString unused(const Database& db, const QString& sql, const QString& stem)
{
    for (int n = 1;; ++n) {
        const QString candidate = stem + QString::number(n);
        const QVariant found = db.scalar(sql, {candidate});
        if (!found.isValid() || found.toLongLong() == 0)
            return candidate;
    }
}

void writesTakeHold(const QString& path)
{
    QString error;
    const auto db = Database::open(path, &error);
    check(db != nullptr, "an accepted file opens", error);
    check(schema::upgrade(*db, &error), "an accepted file needs no repair the program cannot make", error);

    NewCustomer customer;
    customer.musKodu
        = unused(*db, QStringLiteral("SELECT count(*) FROM musteriler WHERE mus_kodu = ?"), QStringLiteral("F"));
    customer.musteriFirma = QStringLiteral("Çağrı Şükrü Öztürk");
    customer.turu = QStringLiteral("Bireysel");
    customer.sehir = QStringLiteral("İzmir");
    check(NewCustomerStore(*db).add(customer, &error) == NewCustomerStore::Result::Stored, "a new customer is stored",
          error);

    const AccountStore account(*db);
    Movement credit;
    credit.musKodu = customer.musKodu;
    credit.tarih = QStringLiteral("2024-03-01");
    credit.saat = QStringLiteral("10:15:00");
    credit.aciklama = QStringLiteral("Şeker");
    credit.miktar = 2.5;
    credit.birim = QStringLiteral("KG");
    credit.kdv = 1.18;
    credit.eklenen = qint64(12550);
    check(account.appendMovement(credit, &error), "a credit is stored", error);
    Movement payment = credit;
    payment.aciklama = QStringLiteral("Ödeme");
    payment.miktar = {};
    payment.birim = QString();
    payment.kdv = {};
    payment.eklenen = {};
    payment.odenen = qint64(5000);
    check(account.appendMovement(payment, &error), "a payment is stored", error);
    const auto before = account.overview(customer.musKodu, std::nullopt, &error);
    check(before && before->count == 2 && before->sums.added == 12550 && before->sums.paid == 5000,
          "the account holds both movements", error);
    check(account.deleteMovement(before->lastId, &error), "a movement is deleted", error);
    const auto after = account.overview(customer.musKodu, std::nullopt, &error);
    check(after && after->count == 1 && after->sums.paid == 0, "the deleted movement is gone", error);

    const UserStore users(*db);
    const QString name = unused(*db, QStringLiteral("SELECT count(*) FROM \"User\" WHERE upper(Username) = ?"),
                                QStringLiteral("KASİYER"));
    check(users.add(name, QStringLiteral("parola"), &error) == UserStore::AddResult::Added, "a user is added", error);
    check(users.signIn(name, QStringLiteral("parola"), &error).result == UserStore::CheckResult::SignedIn,
          "the new user signs in", error);
}

void exportsAreWhole(const QString& path)
{
    for (const auto kind : {cli::ExportKind::Customers, cli::ExportKind::Movements}) {
        const QString file = inFolder(QStringLiteral("disari.csv"));
        QString error;
        check(cli::exportCsv(path, kind, file, &error), "an accepted file is exported", error);
        QFile csv(file);
        check(csv.open(QIODevice::ReadOnly), "the export can be read");
        const QByteArray bom = "\xEF\xBB\xBF";
        const QByteArray text = csv.readAll();
        check(text.startsWith(bom), "the export starts with a byte-order mark");
        const auto rows = fuzz::parseCsv(text.mid(bom.size()));
        check(rows.has_value() && !rows->isEmpty(), "the export is well-formed CSV");
        for (const fuzz::CsvRow& row : *rows)
            check(row.size() == rows->first().size(), "every record has the heading's fields",
                  QString::fromUtf8(row.join(';')));
        QFile::remove(file);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::startQt();
    folder = new QTemporaryDir(QDir::tempPath() + QStringLiteral("/zelvora-fuzz-XXXXXX"));
    // libFuzzer ends a timed run with exit(): the scratch folder goes with it.
    std::atexit([] { delete folder; });
    return folder->isValid() ? 0 : 1;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString source = inFolder(QStringLiteral("secilen.dll"));
    const QString target = inFolder(QStringLiteral("veresiye.dll"));
    removeDatabase(source);
    removeDatabase(target);
    {
        QFile file(source);
        check(file.open(QIODevice::WriteOnly)
                  && file.write(reinterpret_cast<const char*>(data), qint64(size)) == qint64(size),
              "the input is written");
    }
    // The restore's own steps: the header, then the rebuild from the file's rows.
    if (!DatabaseCheck::hasDatabaseHeader(source))
        return 0;
    const QDate today(2024, 3, 1);
    {
        RebuiltDatabase rebuilt(target);
        if (!rebuilt.build(source, today))
            return 0;
        check(rebuilt.commit(), "an accepted file is put in place", rebuilt.errorString());
    }
    writesTakeHold(target);
    exportsAreWhole(target);
    return 0;
}
