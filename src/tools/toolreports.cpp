// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/toolreports.h"

#include "data/clock.h"
#include "data/dateformat.h"
#include "data/numberformat.h"
#include "reports/reportpreview.h"

namespace zelvora {

namespace {

using Kind = ReportElement::Kind;
using namespace reportparts;

const ReportFont kInfo {QStringLiteral("Tahoma"), 8.5, false};
const ReportFont kRow {QStringLiteral("Tahoma"), 7, false};
const ReportFont kRowBold {QStringLiteral("Tahoma"), 7, true};

constexpr Qt::Alignment kLeft = Qt::AlignLeft;
constexpr Qt::Alignment kRight = Qt::AlignRight;
constexpr Qt::Alignment kCentre = Qt::AlignHCenter;

// A row's field: one line of text.
ReportElement field(const QString& column, int left, int width, const ReportFont& font, Qt::Alignment alignment)
{
    return reportparts::field(column, left, width, 227, font, alignment);
}

// The same page footer on both: the print date, and the page of the pages.
ReportBand pageFooter()
{
    ReportBand band;
    band.height = 360;
    band.elements = {
        label(QStringLiteral("printDate"), QString(), 0, 0, 2154, 227, kPageFooter, kLeft),
        {Kind::PageNumber, QString(), QString(), 8575, 0, 981, 262, kPageFooter, kRight},
        label(QString(), QStringLiteral("/"), 9556, 0, 197, 262, kPageFooter, kLeft),
        {Kind::PageTotal, QString(), QString(), 9753, 0, 982, 262, kPageFooter, kLeft},
    };
    return band;
}

ReportLayout a4(const QString& name, const QString& documentTitle)
{
    ReportLayout l;
    l.name = name;
    l.documentTitle = documentTitle;
    l.printableWidth = 10830;
    l.leftMargin = 360;
    l.rightMargin = 720;
    l.topMargin = 1080;
    l.bottomMargin = 1080;
    l.pageFooter = pageFooter();
    return l;
}

// Columns of the statement: date, time, description, added, paid, balance.
constexpr int kDateX = 0, kDateW = 907;
constexpr int kTimeX = 964, kTimeW = 680;
constexpr int kTextX = 1701, kTextW = 4200;
constexpr int kAddedX = 5958, kAddedW = 1560;
constexpr int kPaidX = 7575, kPaidW = 1560;
constexpr int kBalanceX = 9190, kBalanceW = 1640;
constexpr int kRight_ = 10830;

ReportLayout makeStatement()
{
    ReportLayout l = a4(QStringLiteral("hesapekstresi"), QStringLiteral("Hesap Ekstresi"));
    l.pageHeader.height = 1330;
    l.pageHeader.elements = {
        label(QStringLiteral("title"), QStringLiteral("HESAP EKSTRESİ"), 0, 0, kRight_, 397, kTitle, kCentre),
        label(QStringLiteral("customer"), QString(), 0, 460, kRight_, 250, kInfo, kLeft),
        label(QStringLiteral("range"), QString(), 0, 730, kRight_, 250, kInfo, kLeft),
        label(QString(), QStringLiteral("TARİH"), kDateX, 1030, kDateW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("SAAT"), kTimeX, 1030, kTimeW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("AÇIKLAMA"), kTextX, 1030, kTextW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("EKLENEN"), kAddedX, 1030, kAddedW, 250, kHeading, kRight),
        label(QString(), QStringLiteral("ÖDENEN"), kPaidX, 1030, kPaidW, 250, kHeading, kRight),
        label(QString(), QStringLiteral("BAKİYE"), kBalanceX, 1030, kBalanceW, 250, kHeading, kRight),
        line(0, kRight_, 1300),
    };
    l.groupHeader.height = 300;
    l.groupHeader.elements = {
        label(QStringLiteral("carriedInDate"), QString(), kDateX, 20, kDateW, 227, kRowBold, kLeft),
        label(QString(), QStringLiteral("Devreden Bakiye"), kTextX, 20, kTextW, 227, kRowBold, kLeft),
        label(QStringLiteral("carriedIn"), QStringLiteral("0,00"), kBalanceX, 20, kBalanceW, 227, kRowBold, kRight),
        line(0, kRight_, 280),
    };
    l.detail.height = 270;
    l.detail.elements = {
        field(QStringLiteral("Tarih"), kDateX, kDateW, kRow, kLeft),
        field(QStringLiteral("Saat"), kTimeX, kTimeW, kRow, kLeft),
        field(QStringLiteral("Aciklama"), kTextX, kTextW, kRow, kLeft),
        field(QStringLiteral("Eklenen"), kAddedX, kAddedW, kRow, kRight),
        field(QStringLiteral("Odenen"), kPaidX, kPaidW, kRow, kRight),
        field(QStringLiteral("Bakiye"), kBalanceX, kBalanceW, kRow, kRight),
        line(0, kRight_, 250),
    };
    l.groupFooter.height = 760;
    l.groupFooter.elements = {
        label(QString(), QStringLiteral("Dönem Toplamı :"), kTextX, 120, kTextW, 227, kHeading, kRight),
        label(QStringLiteral("totalAdded"), QStringLiteral("0,00"), kAddedX, 120, kAddedW, 227, kHeading, kRight),
        label(QStringLiteral("totalPaid"), QStringLiteral("0,00"), kPaidX, 120, kPaidW, 227, kHeading, kRight),
        label(QStringLiteral("closingDate"), QString(), kDateX, 450, kDateW, 227, kHeading, kLeft),
        label(QString(), QStringLiteral("Kapanış Bakiyesi :"), kTextX, 450, kTextW, 227, kHeading, kRight),
        label(QStringLiteral("closing"), QStringLiteral("0,00"), kBalanceX, 450, kBalanceW, 227, kHeading, kRight),
    };
    return l;
}

// Columns of the to-collect list.
constexpr int kNoX = 0, kNoW = 1100;
constexpr int kNameX = 1160, kNameW = 2900;
constexpr int kPhoneX = 4120, kPhoneW = 2300;
constexpr int kOwedX = 6480, kOwedW = 1560;
constexpr int kPaidDateX = 8160, kPaidDateW = 1250;
constexpr int kDaysX = 9470, kDaysW = 1360;

ReportLayout makeCollectionList()
{
    ReportLayout l = a4(QStringLiteral("tahsilatlistesi"), QStringLiteral("Tahsilat Listesi"));
    l.pageHeader.height = 1060;
    l.pageHeader.elements = {
        label(QStringLiteral("title"), QStringLiteral("TAHSİLAT LİSTESİ"), 0, 0, kRight_, 397, kTitle, kCentre),
        label(QStringLiteral("filter"), QString(), 0, 460, kRight_, 250, kInfo, kLeft),
        label(QString(), QStringLiteral("MÜŞTERİ NO"), kNoX, 760, kNoW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("MÜŞTERİ"), kNameX, 760, kNameW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("TELEFON"), kPhoneX, 760, kPhoneW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("BAKİYE"), kOwedX, 760, kOwedW, 250, kHeading, kRight),
        label(QString(), QStringLiteral("SON ÖDEME"), kPaidDateX, 760, kPaidDateW, 250, kHeading, kRight),
        label(QString(), QStringLiteral("GÜN"), kDaysX, 760, kDaysW, 250, kHeading, kRight),
        line(0, kRight_, 1030),
    };
    l.detail.height = 270;
    l.detail.elements = {
        field(QStringLiteral("mus_kodu"), kNoX, kNoW, kRow, kLeft),
        field(QStringLiteral("MusteriFirma"), kNameX, kNameW, kRow, kLeft),
        field(QStringLiteral("Telefon"), kPhoneX, kPhoneW, kRow, kLeft),
        field(QStringLiteral("Bakiye"), kOwedX, kOwedW, kRow, kRight),
        field(QStringLiteral("SonOdeme"), kPaidDateX, kPaidDateW, kRow, kRight),
        field(QStringLiteral("Gun"), kDaysX, kDaysW, kRow, kRight),
        line(0, kRight_, 250),
    };
    l.groupFooter.height = 500;
    l.groupFooter.elements = {
        label(QString(), QStringLiteral("Listedeki Müşteri :"), kNoX, 150, 2000, 227, kHeading, kLeft),
        label(QStringLiteral("count"), QStringLiteral("0"), 2060, 150, 1000, 227, kHeading, kLeft),
        label(QString(), QStringLiteral("Toplam Alacak :"), kPhoneX, 150, kPhoneW, 227, kHeading, kRight),
        label(QStringLiteral("total"), QStringLiteral("0,00"), kOwedX, 150, kOwedW, 227, kHeading, kRight),
    };
    return l;
}

// Columns of the day's summary; the users' rows and the over-limit customers share them.
constexpr int kWhoX = 0, kWhoW = 4800;
constexpr int kCountX = 4860, kCountW = 1400;
constexpr int kAddX = 6320, kAddW = 2200;
constexpr int kPayX = 8580, kPayW = 2250;

ReportLayout makeDaySummary()
{
    ReportLayout l = a4(QStringLiteral("gunsonu"), QStringLiteral("Gün Sonu"));
    l.pageHeader.height = 1100;
    l.pageHeader.elements = {
        label(QStringLiteral("title"), QStringLiteral("Gün Sonu"), 0, 0, kRight_, 397, kTitle, kCentre),
        label(QStringLiteral("shop"), QString(), 0, 460, kRight_, 250, kInfo, kLeft),
        label(QStringLiteral("day"), QString(), 0, 730, kRight_, 250, kInfo, kLeft),
        line(0, kRight_, 1060),
    };
    l.groupHeader.height = 330;
    l.groupHeader.elements = {
        label(QString(), QStringLiteral("KULLANICI"), kWhoX, 20, kWhoW, 250, kHeading, kLeft),
        label(QString(), QStringLiteral("HAREKET"), kCountX, 20, kCountW, 250, kHeading, kRight),
        label(QString(), QStringLiteral("EKLENEN"), kAddX, 20, kAddW, 250, kHeading, kRight),
        label(QString(), QStringLiteral("ÖDENEN"), kPayX, 20, kPayW, 250, kHeading, kRight),
        line(0, kRight_, 300),
    };
    l.detail.height = 270;
    l.detail.elements = {
        field(QStringLiteral("A"), kWhoX, kWhoW, kRow, kLeft),
        field(QStringLiteral("B"), kCountX, kCountW, kRow, kRight),
        field(QStringLiteral("C"), kAddX, kAddW, kRow, kRight),
        field(QStringLiteral("D"), kPayX, kPayW, kRow, kRight),
        line(0, kRight_, 250),
    };
    return l;
}

// A credit or payment column: empty where the movement has none.
QString amount(qint64 kurus)
{
    return kurus == 0 ? QString() : numbers::totals(kurus);
}

QString shortTime(const QString& stored)
{
    const std::optional<QTime> t = dates::readTime(stored);
    return t ? dates::shortTime(*t) : stored;
}

void printTodayOnEveryPage(BandedReport& report)
{
    report.setPageFooterFormat(
        [](BandedReport& r, int) { r.setLabel(QStringLiteral("printDate"), dates::shortDate(Clock::today())); });
}

} // namespace

namespace toolreports {

const ReportLayout& hesapEkstresi()
{
    static const ReportLayout layout = makeStatement();
    return layout;
}

const ReportLayout& tahsilatListesi()
{
    static const ReportLayout layout = makeCollectionList();
    return layout;
}

const ReportLayout& gunSonu()
{
    static const ReportLayout layout = makeDaySummary();
    return layout;
}

} // namespace toolreports

StatementReport::StatementReport()
    : m_report(toolreports::hesapEkstresi())
{
    printTodayOnEveryPage(m_report);
}

bool StatementReport::prepare(const Database& db, const QString& musKodu, const QString& name, const QDate& first,
                              const QDate& last, QString* error)
{
    m_report.reset();
    m_statement = {};
    std::optional<AccountStatement> statement = StatementStore(db).statement(musKodu, first, last, error);
    if (!statement)
        return false;
    m_statement = std::move(*statement);
    const QString range = dates::shortDate(first) + QStringLiteral(" - ") + dates::shortDate(last);
    m_report.setLabel(QStringLiteral("customer"),
                      QStringLiteral("Müşteri No : ") + musKodu + QStringLiteral("     Müşteri : ") + name);
    m_report.setLabel(QStringLiteral("range"), QStringLiteral("Tarih Aralığı : ") + range);
    m_report.setLabel(QStringLiteral("carriedInDate"), dates::shortDate(first));
    m_report.setLabel(QStringLiteral("carriedIn"), numbers::totals(m_statement.carriedIn));
    m_report.setLabel(QStringLiteral("totalAdded"), numbers::totals(m_statement.totalAdded));
    m_report.setLabel(QStringLiteral("totalPaid"), numbers::totals(m_statement.totalPaid));
    m_report.setLabel(QStringLiteral("closingDate"), dates::shortDate(last));
    m_report.setLabel(QStringLiteral("closing"), numbers::totals(m_statement.closing));
    QVector<QStringList> rows;
    rows.reserve(m_statement.lines.size());
    for (const StatementLine& l : std::as_const(m_statement.lines))
        rows.append({dates::storedDateForDisplay(l.tarih), shortTime(l.saat), l.aciklama, amount(l.eklenen),
                     amount(l.odenen), numbers::totals(l.balance)});
    m_report.setData({QStringLiteral("Tarih"), QStringLiteral("Saat"), QStringLiteral("Aciklama"),
                      QStringLiteral("Eklenen"), QStringLiteral("Odenen"), QStringLiteral("Bakiye")},
                     std::move(rows));
    m_documentName = QStringLiteral("Hesap Ekstresi ") + musKodu + QStringLiteral(" ") + name + QStringLiteral(" ")
        + dates::shortDate(first) + QStringLiteral("-") + dates::shortDate(last);
    return true;
}

void StatementReport::preview(QWidget* parent)
{
    ReportPreview::exec(parent, m_report, m_documentName);
}

CollectionReport::CollectionReport()
    : m_report(toolreports::tahsilatListesi())
{
    printTodayOnEveryPage(m_report);
}

bool CollectionReport::prepare(const CollectionStore& store, const CollectionStore::Filter& filter, QString* error)
{
    const QDate& today = filter.today;
    const qint64 minDays = filter.minDays;
    m_report.reset();
    m_report.setLabel(QStringLiteral("title"), dates::shortDate(today) + QStringLiteral(" - TARİHLİ TAHSİLAT LİSTESİ"));
    m_report.setLabel(QStringLiteral("filter"),
                      minDays > 0 ? QStringLiteral("En az %1 gündür ödeme yapmayan borçlu müşteriler").arg(minDays)
                                  : QStringLiteral("Borcu olan bütün müşteriler"));
    QVector<QStringList> printed;
    std::optional<qint64> total = 0;
    const bool read = store.forEach(
        filter,
        [&](const CollectionRow& r) {
            QStringList phones;
            for (const QString& phone : {r.telefon1, r.telefon2})
                if (!phone.isEmpty())
                    phones << phone;
            // The over-limit mark in words, so that it survives a black-and-white printer.
            const QString name = r.overLimit() ? r.musteriFirma + QStringLiteral(" (Limit Aşıldı)") : r.musteriFirma;
            printed.append({r.musKodu, name, phones.join(QStringLiteral(" / ")), numbers::totals(r.bakiye),
                            dates::storedDateForDisplay(r.lastPayment), r.days ? QString::number(*r.days) : QString()});
            if (total && qAddOverflow(*total, r.bakiye, &*total))
                total.reset();
            return true;
        },
        error);
    if (!read)
        return false;
    m_report.setLabel(QStringLiteral("count"), QString::number(printed.size()));
    m_report.setLabel(QStringLiteral("total"), total ? numbers::totals(*total) : QStringLiteral("-"));
    m_report.setData({QStringLiteral("mus_kodu"), QStringLiteral("MusteriFirma"), QStringLiteral("Telefon"),
                      QStringLiteral("Bakiye"), QStringLiteral("SonOdeme"), QStringLiteral("Gun")},
                     std::move(printed));
    m_documentName = QStringLiteral("Tahsilat Listesi ") + dates::shortDate(today);
    return true;
}

void CollectionReport::preview(QWidget* parent)
{
    ReportPreview::exec(parent, m_report, m_documentName);
}

DaySummaryReport::DaySummaryReport()
    : m_report(toolreports::gunSonu())
{
    printTodayOnEveryPage(m_report);
}

QString DaySummaryReport::userCaption(const QString& kullanici)
{
    return kullanici.isEmpty() ? QStringLiteral("(kayıtsız)") : kullanici;
}

QString DaySummaryReport::excessText(const OverLimitCustomer& customer)
{
    qint64 excess = 0;
    return __builtin_sub_overflow(customer.bakiye, customer.krediLimiti, &excess) ? QStringLiteral("-")
                                                                                  : numbers::totals(excess);
}

void DaySummaryReport::prepare(const DaySummary& summary, const QString& shopName)
{
    m_report.reset();
    m_report.setLabel(QStringLiteral("shop"), shopName);
    m_report.setLabel(QStringLiteral("day"), QStringLiteral("Tarih : ") + dates::shortDate(summary.day));
    QVector<QStringList> rows;
    const auto userRow = [&rows](const QString& who, const DayUserTotal& t) {
        rows.append({who, QString::number(t.count), numbers::totals(t.eklenen), numbers::totals(t.odenen)});
    };
    for (const DayUserTotal& u : summary.users)
        userRow(userCaption(u.kullanici), u);
    userRow(totalCaption().toUpper(), summary.total);
    rows.append({QString(), QString(), QString(), QString()});
    if (summary.overLimit.isEmpty()) {
        rows.append({QStringLiteral("Kredi limitini aşan müşteri yok."), QString(), QString(), QString()});
    } else {
        rows.append({QStringLiteral("KREDİ LİMİTİNİ AŞAN MÜŞTERİLER"), QStringLiteral("KREDİ LİMİTİ"),
                     QStringLiteral("GÜN SONU BAKİYESİ"), QStringLiteral("AŞAN")});
        for (const OverLimitCustomer& c : summary.overLimit)
            rows.append({c.musKodu + QStringLiteral("  ") + c.musteriFirma, numbers::totals(c.krediLimiti),
                         numbers::totals(c.bakiye), excessText(c)});
    }
    m_report.setData({QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")},
                     std::move(rows));
    m_documentName = QStringLiteral("Gün Sonu ") + dates::shortDate(summary.day);
}

void DaySummaryReport::preview(QWidget* parent)
{
    ReportPreview::exec(parent, m_report, m_documentName);
}

} // namespace zelvora
