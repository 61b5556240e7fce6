// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/commandline.h"

#include "backup/serverledger.h"
#include "cli/csvexport.h"
#include "cli/generations.h"
#include "cli/ledgercheck.h"
#include "cli/servercopy.h"
#include "cli/serverinit.h"
#include "data/appconfig.h"
#include "data/clock.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <QTextStream>

namespace zelvora::cli {

namespace {

// Qt's own options for a window program: the ones that take a value, and the ones that do not.
const QStringList kQtOptionsWithValue {QStringLiteral("-platform"),
                                       QStringLiteral("-platformpluginpath"),
                                       QStringLiteral("-platformtheme"),
                                       QStringLiteral("-plugin"),
                                       QStringLiteral("-qwindowgeometry"),
                                       QStringLiteral("-geometry"),
                                       QStringLiteral("-qwindowtitle"),
                                       QStringLiteral("-title"),
                                       QStringLiteral("-qwindowicon"),
                                       QStringLiteral("-icon"),
                                       QStringLiteral("-display"),
                                       QStringLiteral("-style"),
                                       QStringLiteral("-stylesheet"),
                                       QStringLiteral("-session"),
                                       QStringLiteral("-name")};
const QStringList kQtOptions {QStringLiteral("-reverse"), QStringLiteral("-widgetcount"), QStringLiteral("-nograb"),
                              QStringLiteral("-dograb")};

QString usage()
{
    return QStringLiteral(
        "Kullanım: zelvora [SEÇENEK]\n"
        "Seçeneksiz çalıştırıldığında program penceresiyle açılır.\n"
        "\n"
        "  --backup [KLASÖR]               Veri tabanını yedekler (verilmezse varsayılan yedek klasörüne).\n"
        "                                  Son 7 günlük, 4 haftalık ve 12 aylık yedek \"gunluk\", \"haftalik\"\n"
        "                                  ve \"aylik\" alt klasörlerinde saklanır, eskileri silinir.\n"
        "  --check                         Veri tabanını değiştirmeden denetler.\n"
        "  --check --repair                Önce yedek alır, sonra yeniden hesaplanabilenleri onarır\n"
        "                                  (Bakiye, Gün, ad anahtarları).\n"
        "  --export customers DOSYA.csv    Müşterileri CSV dosyasına aktarır.\n"
        "  --export movements DOSYA.csv    Hareketleri CSV dosyasına aktarır.\n"
        "  --init-server                   zelvora.ini'deki [database] ayarlarının gösterdiği boş PostgreSQL\n"
        "                                  veri tabanında defteri kurar (tablolar, birimler, ilk kullanıcı).\n"
        "  --copy-to-server DOSYA.dll      Veri dosyasındaki defteri [database] ayarlarının gösterdiği boş\n"
        "                                  PostgreSQL veri tabanına kopyalar, iki tarafı karşılaştırır.\n"
        "  --copy-from-server DOSYA.dll    Sunucudaki defteri yeni bir veri dosyasına kopyalar (var olan\n"
        "                                  dosyanın üzerine yazmaz), iki tarafı karşılaştırır.\n"
        "  --version                       Sürümü yazar.\n"
        "  --help                          Bu yardımı yazar.\n"
        "\n"
        "Çıkış durumu: 0 başarılı, 1 hata ya da bulgu, 2 hatalı komut satırı\n"
        "(--check için: veri tabanı okunamadı).\n");
}

int wrongUse(QTextStream& err, const QString& message)
{
    err << QStringLiteral("zelvora: ") << message << '\n' << QStringLiteral("Kullanım için: zelvora --help") << '\n';
    err.flush();
    return 2;
}

bool onServer()
{
    return AppConfig::databaseEngine() == Engine::PostgreSQL;
}

// Where the ledger is: the file beside the program, or the server zelvora.ini names.
DatabaseTarget ledger()
{
    return onServer() ? DatabaseTarget::postgres(AppConfig::serverSettings())
                      : DatabaseTarget::file(AppConfig::databasePath());
}

// With the ledger on a server, settings that cannot be used stop the mode with their reason.
bool settingsUsable(QTextStream& err)
{
    if (const QString wrong = AppConfig::databaseSettingsError(); onServer() && !wrong.isEmpty()) {
        err << QStringLiteral("zelvora: ") << wrong << '\n';
        return false;
    }
    return true;
}

int backup(const QString& folder, QTextStream& out, QTextStream& err)
{
    if (!settingsUsable(err))
        return 1;
    const GenerationsResult result = backupWithGenerations(ledger(), folder, Clock::today(), WriteLockWaitMs);
    if (!result.ok) {
        err << QStringLiteral("zelvora: ") << result.error << '\n';
        return 1;
    }
    for (const QString& path : result.written)
        out << QStringLiteral("Yedeklendi: ") << QDir::toNativeSeparators(path) << '\n';
    for (const QString& path : result.removed)
        out << QStringLiteral("Eski yedek silindi: ") << QDir::toNativeSeparators(path) << '\n';
    if (result.leftovers > 0)
        out << QStringLiteral("Yarıda kalmış önceki yedeklemeden %1 geçici dosya silindi.").arg(result.leftovers)
            << '\n';
    for (const QString& path : result.later)
        err << QStringLiteral("zelvora: Uyarı: tarihi bugünden sonra olan yedek (saat ileri ayarlanmış ya da başka "
                              "bilgisayardan gelmiş olabilir), silinmedi ve sayılmadı: ")
            << QDir::toNativeSeparators(path) << '\n';
    return 0;
}

int check(bool repair, QTextStream& out, QTextStream& err)
{
    if (!settingsUsable(err))
        return 2;
    const QString path = AppConfig::databasePath();
    const bool server = onServer();
    const auto checked = [&] { return server ? checkServerLedger(AppConfig::serverSettings()) : checkLedger(path); };
    LedgerReport report = checked();
    for (const QString& line : report.notes)
        out << line << '\n';
    if (!report.readable) {
        err << QStringLiteral("zelvora: Veri tabanı okunamadı: ")
            << (server ? AppConfig::serverSettings().address() : QDir::toNativeSeparators(path)) << '\n';
        for (const QString& line : report.findings)
            err << line << '\n';
        return 2;
    }
    for (const QString& line : report.findings)
        out << line << '\n';
    if (repair && report.findings.isEmpty() && !server) {
        const int removed = removeRepairLeftovers(path, AppConfig::backupFolder(), WriteLockWaitMs);
        if (removed > 0)
            out << QStringLiteral("Yarıda kalmış önceki onarımdan %1 geçici dosya silindi.").arg(removed) << '\n';
    }
    if (repair && !report.findings.isEmpty()) {
        const RepairResult repaired = server
            ? repairServerLedger(AppConfig::serverSettings(), AppConfig::backupFolder(), Clock::now(), WriteLockWaitMs)
            : repairLedger(path, AppConfig::backupFolder(), Clock::now(), WriteLockWaitMs);
        if (!repaired.ok) {
            err << QStringLiteral("zelvora: ") << repaired.error << '\n';
            return 1;
        }
        if (repaired.leftovers > 0)
            out << QStringLiteral("Yarıda kalmış önceki onarımdan %1 geçici dosya silindi.").arg(repaired.leftovers)
                << '\n';
        out << QStringLiteral("Onarım öncesi yedek: ") << QDir::toNativeSeparators(repaired.backupPath) << '\n'
            << QStringLiteral("Onarıldı: %1 bakiye, %2 gün sayısı, %3 ad anahtarı, %4 tahsilat tarihi.")
                   .arg(repaired.balances)
                   .arg(repaired.dayCounts)
                   .arg(repaired.nameKeys)
                   .arg(repaired.collectionDates)
            << '\n';
        report = checked();
        for (const QString& line : report.findings)
            out << QStringLiteral("Onarılamadı: ") << line << '\n';
    }
    if (!report.deleted.isEmpty())
        out << report.deleted << '\n';
    if (report.findings.isEmpty()) {
        out << QStringLiteral("Denetim tamam: sorun bulunmadı.") << '\n';
        return 0;
    }
    out << QStringLiteral("Denetim bitti: %1 bulgu.").arg(report.findings.size()) << '\n';
    return 1;
}

int exportTo(const QString& kind, const QString& file, QTextStream& out, QTextStream& err)
{
    QString error;
    qint64 rows = 0;
    const ExportKind what = kind == QLatin1String("customers") ? ExportKind::Customers : ExportKind::Movements;
    if (!settingsUsable(err))
        return 1;
    QString source = AppConfig::databasePath();
    // From a server: one snapshot of its ledger as a scratch ledger file, exported as a file is, so both give
    // the same lines. Unlike a backup it need not pass the restore check: whatever the server holds is exported.
    QTemporaryDir scratch;
    if (onServer()) {
        source = QDir(scratch.path()).filePath(QStringLiteral("sunucu.dll"));
        QStringList lines;
        QFile empty(source);
        if (!scratch.isValid() || !empty.open(QIODevice::WriteOnly)) {
            err << QStringLiteral("zelvora: Geçici dosya oluşturulamadı.") << '\n';
            return 1;
        }
        empty.close();
        if (!serverledger::writeSnapshot(AppConfig::serverSettings(), source, &lines, &error, {},
                                         serverledger::Check::None)) {
            err << QStringLiteral("zelvora: ") << error << '\n';
            return 1;
        }
    }
    if (!exportCsv(source, what, file, &error, &rows)) {
        err << QStringLiteral("zelvora: ") << error << '\n';
        return 1;
    }
    out << QStringLiteral("%1 satır yazıldı: %2").arg(rows).arg(QDir::toNativeSeparators(file)) << '\n';
    return 0;
}

// The modes that need a server named in zelvora.ini: false, with the reason written, when there is none.
bool serverNamed(QTextStream& err)
{
    if (const QString wrong = AppConfig::databaseSettingsError(); !wrong.isEmpty()) {
        err << QStringLiteral("zelvora: ") << wrong << '\n';
        return false;
    }
    if (AppConfig::databaseEngine() != Engine::PostgreSQL) {
        err << QStringLiteral("zelvora: zelvora.ini dosyasının [database] bölümünde engine=postgresql yazılı değil; "
                              "defter sunucuda değil, bu bilgisayardaki dosyada tutuluyor.")
            << '\n';
        return false;
    }
    return true;
}

int copyLedger(bool toServer, const QString& file, QTextStream& out, QTextStream& err)
{
    if (!serverNamed(err))
        return 1;
    const ServerCopyResult result = toServer ? copyToServer(file, AppConfig::serverSettings())
                                             : copyFromServer(AppConfig::serverSettings(), file);
    for (const QString& line : result.lines)
        out << line << '\n';
    if (!result.ok)
        err << QStringLiteral("zelvora: ") << result.error << '\n';
    return result.ok ? 0 : 1;
}

int initServerLedger(QTextStream& out, QTextStream& err)
{
    if (!serverNamed(err))
        return 1;
    const ServerInitResult result = initServer(AppConfig::serverSettings(), QStringLiteral(ZELVORA_VERSION));
    (result.ok ? out : err) << (result.ok ? QString() : QStringLiteral("zelvora: ")) << result.message << '\n';
    return result.ok ? 0 : 1;
}

} // namespace

void setupApplication()
{
    QCoreApplication::setApplicationName(QStringLiteral("Zelvora"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZELVORA_VERSION));
    QLocale::setDefault(QLocale(QLocale::Turkish, QLocale::Turkey));
}

bool isCommandLine(const QStringList& arguments)
{
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments.at(i);
        const QString name = a.section(QLatin1Char('='), 0, 0);
        if (kQtOptions.contains(a))
            continue;
        if (kQtOptionsWithValue.contains(name)) {
            if (name == a)
                ++i; // its value follows
            continue;
        }
        return true;
    }
    return false;
}

int run(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const int status = [&] {
        if (arguments.isEmpty())
            return wrongUse(err, QStringLiteral("seçenek verilmedi."));
        const QString option = arguments.first().section(QLatin1Char('='), 0, 0);
        QStringList values = arguments.mid(1);
        if (arguments.first().contains(QLatin1Char('=')) && option.startsWith(QLatin1String("--")))
            values.prepend(arguments.first().section(QLatin1Char('='), 1));
        const auto extra = [&](qsizetype allowed) {
            return values.size() > allowed
                ? wrongUse(err, QStringLiteral("fazla bağımsız değişken: %1").arg(values.at(allowed)))
                : 0;
        };
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            if (const int wrong = extra(0))
                return wrong;
            out << usage();
            return 0;
        }
        if (option == QLatin1String("--version")) {
            if (const int wrong = extra(0))
                return wrong;
            out << QStringLiteral("Zelvora %1").arg(QStringLiteral(ZELVORA_VERSION)) << '\n';
            return 0;
        }
        if (option == QLatin1String("--backup")) {
            if (const int wrong = extra(1))
                return wrong;
            if (!values.isEmpty() && values.first().startsWith(QLatin1Char('-')))
                return wrongUse(err, QStringLiteral("bilinmeyen seçenek: %1").arg(values.first()));
            return backup(values.isEmpty() ? AppConfig::backupFolder() : values.first(), out, err);
        }
        if (option == QLatin1String("--check")) {
            const bool repair = !values.isEmpty() && values.first() == QLatin1String("--repair");
            if (const int wrong = extra(repair ? 1 : 0))
                return wrong;
            return check(repair, out, err);
        }
        if (option == QLatin1String("--repair")) {
            if (values != QStringList {QStringLiteral("--check")})
                return wrongUse(err, QStringLiteral("--repair yalnızca --check ile birlikte kullanılır."));
            return check(true, out, err);
        }
        if (option == QLatin1String("--init-server")) {
            if (const int wrong = extra(0))
                return wrong;
            return initServerLedger(out, err);
        }
        if (option == QLatin1String("--copy-to-server") || option == QLatin1String("--copy-from-server")) {
            if (values.isEmpty() || values.first().isEmpty())
                return wrongUse(err, QStringLiteral("%1 için dosya adı gerekli.").arg(option));
            if (const int wrong = extra(1))
                return wrong;
            return copyLedger(option == QLatin1String("--copy-to-server"), values.first(), out, err);
        }
        if (option == QLatin1String("--export")) {
            if (values.isEmpty()
                || (values.first() != QLatin1String("customers") && values.first() != QLatin1String("movements")))
                return wrongUse(err, QStringLiteral("--export için tür gerekli: customers ya da movements."));
            if (values.size() < 2 || values.at(1).isEmpty())
                return wrongUse(err, QStringLiteral("--export için dosya adı gerekli."));
            if (const int wrong = extra(2))
                return wrong;
            return exportTo(values.first(), values.at(1), out, err);
        }
        return wrongUse(err, QStringLiteral("bilinmeyen seçenek: %1").arg(arguments.first()));
    }();
    out.flush();
    err.flush();
    return status;
}

} // namespace zelvora::cli
