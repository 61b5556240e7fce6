// The two printed reports written to PDF and read back with poppler's tools.
#include "data/clock.h"
#include "pdftext.h"
#include "reports/printedreports.h"
#include "reports/reportlayout.h"
#include "testdatabase.h"

#include <QSqlQuery>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

class ReportPdfTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0))); }
    void TearDown() override { Clock::reset(); }

    QString pdfPath(const QString& name) const { return m_out.filePath(name); }

    // n customers named so that their order is known: "Müşteri 001" ... with Turkish names mixed in.
    void addCustomers(int n)
    {
        for (int i = 1; i <= n; ++i)
            m_db.addCustomer(QString::number(i), QStringLiteral("ŞİĞ MÜŞTERİ %1").arg(i, 3, 10, QLatin1Char('0')),
                             i % 2 ? QStringLiteral("Alıcı") : QStringLiteral("Satıcı"), 123450 + i,
                             QDate(2026, 11, 27));
    }

    static int count(const QString& text, const QString& what) { return int(text.count(what)); }

    test::TestDatabase m_db;
    QTemporaryDir m_out;
};

TEST_F(ReportPdfTest, CustomerListRepeatsPageBandsAndPrintsTotalsOnceAfterTheLastRow)
{
    // 56 rows fill a page of this layout, so 150 customers take three pages.
    addCustomers(150);
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QStringLiteral("350,50"), QStringLiteral("40,00"),
                             QStringLiteral("310,50")));
    EXPECT_EQ(list.title(), QStringLiteral("09.12.2026 - TARİHLİ MÜŞTERİ LİSTESİ"));
    const QString path = pdfPath(QStringLiteral("liste.pdf"));
    ASSERT_TRUE(list.report().writePdf(path));

    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 3);
    for (int p = 0; p < 3; ++p) {
        const QString& page = pages.at(p);
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(count(page, QStringLiteral("09.12.2026 - TARİHLİ MÜŞTERİ LİSTESİ")), 1);
        // "TARİH" stands in the title too.
        for (const QString& heading : {QStringLiteral("HESAP TÜRÜ"), QStringLiteral("MÜŞTERİ NO"),
                                       QStringLiteral("GÜN"), QStringLiteral("BAKİYE")})
            EXPECT_EQ(count(page, heading), 1) << heading.toStdString();
        EXPECT_EQ(count(page, QStringLiteral("Listedeki Toplam Müşteri :")), 1);
        EXPECT_TRUE(test::withoutBlanks(page).contains(QStringLiteral("Müşteri:150")));
        EXPECT_TRUE(test::withoutBlanks(page).contains(QStringLiteral("%1/3").arg(p + 1)));
        const int totals = p == 2 ? 1 : 0;
        EXPECT_EQ(count(page, QStringLiteral("Listedeki Toplam Borçlu :")), totals);
        EXPECT_EQ(count(page, QStringLiteral("Listedeki Toplam Alacaklı :")), totals);
        EXPECT_EQ(count(page, QStringLiteral("Listedeki Toplam Bakiye :")), totals);
    }
    // The last row comes before the totals; amounts, dates and Turkish capitals as the windows show them.
    const QString last = pages.at(2);
    EXPECT_LT(last.indexOf(QStringLiteral("ŞİĞ MÜŞTERİ 150")), last.indexOf(QStringLiteral("Listedeki Toplam")));
    EXPECT_TRUE(last.contains(QStringLiteral("310,50")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("1.234,51")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("27.11.2026")));
    EXPECT_FALSE(pages.join(QString()).contains(QStringLiteral("2026-11-27")));
    EXPECT_EQ(count(pages.join(QString()), QStringLiteral("ŞİĞ MÜŞTERİ ")), 150);
}

TEST_F(ReportPdfTest, CustomerListIsInTurkishOrderWithRowsFromAnotherToolAndPrintsItsOwnCount)
{
    const QStringList names = {QStringLiteral("Zeki"),  QStringLiteral("İsmail"), QStringLiteral("Çağla"),
                               QStringLiteral("Ilgın"), QStringLiteral("Cem"),    QStringLiteral("Şule"),
                               QStringLiteral("Ahmet"), QStringLiteral("Öner"),   QStringLiteral("Osman")};
    for (int i = 0; i < names.size(); ++i)
        m_db.addCustomer(QString::number(i + 1), names.at(i));
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QStringLiteral("0,00"), QStringLiteral("0,00"),
                             QStringLiteral("0,00")));
    const QString path = pdfPath(QStringLiteral("sira.pdf"));
    ASSERT_TRUE(list.report().writePdf(path));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    const QStringList order = {QStringLiteral("Ahmet"), QStringLiteral("Cem"),    QStringLiteral("Çağla"),
                               QStringLiteral("Ilgın"), QStringLiteral("İsmail"), QStringLiteral("Osman"),
                               QStringLiteral("Öner"),  QStringLiteral("Şule"),   QStringLiteral("Zeki")};
    qsizetype at = -1;
    for (const QString& name : order) {
        const qsizetype next = pages.at(0).indexOf(name);
        EXPECT_GT(next, at) << name.toStdString();
        at = next;
    }
    EXPECT_TRUE(test::withoutBlanks(pages.at(0)).contains(QStringLiteral("Müşteri:9")));
}

TEST_F(ReportPdfTest, ATextWiderThanItsColumnIsCutWithAnEllipsis)
{
    const QString longName = QStringLiteral("ÖZGÜVEN İNŞAAT TAAHHÜT GIDA TEKSTİL TURİZM SANAYİ VE TİCARET LİMİTED "
                                            "ŞİRKETİ İSTANBUL ŞUBESİ SONU");
    m_db.addCustomer(QStringLiteral("1"), longName, QStringLiteral("Alıcı"), 100);
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QString(), QString(), QString()));
    const QString path = pdfPath(QStringLiteral("uzun.pdf"));
    ASSERT_TRUE(list.report().writePdf(path));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("ÖZGÜVEN İNŞAAT")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("…")));
    EXPECT_FALSE(pages.at(0).contains(QStringLiteral("SONU")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("1,00")));
}

TEST_F(ReportPdfTest, PrintingTwiceGivesTheSamePagesAndNothingOfAnEarlierRunRemains)
{
    addCustomers(3);
    CustomerListReport list;
    const auto print = [&](const QString& name, const QString& debt) {
        EXPECT_TRUE(list.prepare(m_db.db(), Clock::today(), debt, QStringLiteral("0,00"), debt));
        EXPECT_TRUE(list.report().writePdf(pdfPath(name)));
        return test::pdfPages(pdfPath(name));
    };
    const QStringList first = print(QStringLiteral("a.pdf"), QStringLiteral("777,00"));
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(print(QStringLiteral("b.pdf"), QStringLiteral("777,00")), first);

    m_db.db().exec(QStringLiteral("DELETE FROM musteriler WHERE mus_kodu <> '1'"));
    const QStringList third = print(QStringLiteral("c.pdf"), QStringLiteral("5,00"));
    ASSERT_EQ(third.size(), 1);
    EXPECT_FALSE(third.at(0).contains(QStringLiteral("ŞİĞ MÜŞTERİ 002")));
    EXPECT_FALSE(third.at(0).contains(QStringLiteral("777,00")));
    EXPECT_TRUE(test::withoutBlanks(third.at(0)).contains(QStringLiteral("Müşteri:1")));
}

TEST_F(ReportPdfTest, StatementPrintsMovementsByDateWithTheDateOnEveryPageAndTotalsOnce)
{
    // A customer number with a quote is a value like any other.
    const QString code = QStringLiteral("4'2");
    m_db.addCustomer(code, QStringLiteral("AHMET YILMAZ"));
    m_db.addCustomer(QStringLiteral("7"), QStringLiteral("BAŞKA"));
    m_db.addMovement(QStringLiteral("7"), QDate(2026, 1, 1), 99999, {}, QStringLiteral("başkasının"));
    // 50 rows fill a page; 120 movements entered newest first take three pages.
    for (int i = 120; i >= 1; --i)
        m_db.addMovement(code, QDate(2026, 1, 1).addDays(i), i == 1 ? QVariant(123450) : QVariant(),
                         i == 1 ? QVariant() : QVariant(100),
                         QStringLiteral("ÇİĞ SÜT %1").arg(i, 3, 10, QLatin1Char('0')));
    m_db.db().exec(QStringLiteral("UPDATE veresiye SET Miktar = 2.5, Birim = 'Kg', KDV = 1.18 WHERE mus_kodu = ?"),
                   {code});

    AccountStatementReport& statement = AccountStatementReport::instance();
    ASSERT_TRUE(statement.prepare(m_db.db(), code, QStringLiteral("AHMET YILMAZ / 4'2 - ( Alıcı )"),
                                  QStringLiteral("1.234,50"), QStringLiteral("119,00"), QStringLiteral("1.115,50")));
    const QString path = pdfPath(QStringLiteral("cari.pdf"));
    ASSERT_TRUE(statement.report().writePdf(path));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 3);
    for (int p = 0; p < 3; ++p) {
        const QString& page = pages.at(p);
        SCOPED_TRACE(p + 1);
        EXPECT_EQ(count(page, QStringLiteral("AHMET YILMAZ / 4'2 - ( Alıcı ) - CARİ RAPORU")), 1);
        for (const QString& heading : {QStringLiteral("SAAT"), QStringLiteral("AÇIKLAMA"), QStringLiteral("MİKTAR"),
                                       QStringLiteral("BİRİM"), QStringLiteral("EKLENEN"), QStringLiteral("ÖDENEN")})
            EXPECT_EQ(count(page, heading), 1) << heading.toStdString();
        EXPECT_EQ(count(page, QStringLiteral("09.12.2026")), 1);
        EXPECT_TRUE(test::withoutBlanks(page).contains(QStringLiteral("%1/3").arg(p + 1)));
        EXPECT_EQ(count(page, QStringLiteral("Toplam Eklenen :")), p == 2 ? 1 : 0);
    }
    const QString all = pages.join(QString());
    EXPECT_FALSE(all.contains(QStringLiteral("başkasının")));
    EXPECT_EQ(count(all, QStringLiteral("ÇİĞ SÜT")), 120);
    // Oldest first, whatever the order of entry.
    EXPECT_LT(all.indexOf(QStringLiteral("ÇİĞ SÜT 001")), all.indexOf(QStringLiteral("ÇİĞ SÜT 002")));
    EXPECT_LT(all.indexOf(QStringLiteral("ÇİĞ SÜT 119")), all.indexOf(QStringLiteral("ÇİĞ SÜT 120")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("02.01.2026")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("12:00:00")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("1.234,50")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("2,5")));
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("1,18")));
    EXPECT_TRUE(test::withoutBlanks(pages.at(2)).contains(QStringLiteral("ToplamBakiye:1.115,50")));
}

TEST_F(ReportPdfTest, StatementWithoutMovementsPrintsHeadingsAndTotals)
{
    m_db.addCustomer(QStringLiteral("5"), QStringLiteral("YENİ"));
    AccountStatementReport& statement = AccountStatementReport::instance();
    ASSERT_TRUE(statement.prepare(m_db.db(), QStringLiteral("5"), QStringLiteral("YENİ / 5 - ( Alıcı )"),
                                  QStringLiteral("0,00"), QStringLiteral("0,00"), QStringLiteral("0,00")));
    const QString path = pdfPath(QStringLiteral("bos.pdf"));
    ASSERT_TRUE(statement.report().writePdf(path));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("AÇIKLAMA")));
    EXPECT_TRUE(test::withoutBlanks(pages.at(0)).contains(QStringLiteral("ToplamEklenen:0,00")));
    EXPECT_TRUE(test::withoutBlanks(pages.at(0)).contains(QStringLiteral("1/1")));
}

TEST_F(ReportPdfTest, RuleLinesAreLightGrey)
{
    addCustomers(2);
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QString(), QString(), QString()));
    const QString path = pdfPath(QStringLiteral("cizgi.pdf"));
    ASSERT_TRUE(list.report().writePdf(path));
    // At 144 dpi a pixel is 10 twips: the first row's rule lies at (1080 + 840 + 206) / 10 below the top,
    // from x 72 to 1072; its middle is clear of text.
    const QImage page = test::pdfPageImage(path, 1, 144);
    ASSERT_FALSE(page.isNull());
    const int x = 72 + 640;
    int grey = 0;
    int other = 0;
    for (int y = 205; y <= 220; ++y) {
        const QRgb pixel = page.pixel(x, y);
        if (pixel == qRgb(0xC0, 0xC0, 0xC0))
            ++grey;
        else if (pixel != qRgb(0xFF, 0xFF, 0xFF))
            ++other;
    }
    EXPECT_GE(grey, 1);
    EXPECT_EQ(other, 0);
}

TEST(ReportLayoutTest, PaginationPlacesTheGroupFooterOnANewPageWhenItDoesNotFit)
{
    BandedReport report(reportlayouts::musterilistesi());
    const auto pagesFor = [&](int rows) {
        report.setData({QStringLiteral("Turu")}, QVector<QStringList>(rows, QStringList {QStringLiteral("x")}));
        QVector<std::pair<int, bool>> pages;
        for (const BandedReport::Page& p : report.paginate())
            pages.append({p.rowCount, p.groupFooter});
        return pages;
    };
    using Pages = QVector<std::pair<int, bool>>;
    EXPECT_EQ(pagesFor(0), (Pages {{0, true}}));
    // 56 rows fill a page; the footer (1050 twips) fits under 51 rows but not under 52.
    EXPECT_EQ(pagesFor(51), (Pages {{51, true}}));
    EXPECT_EQ(pagesFor(52), (Pages {{52, false}, {0, true}}));
    EXPECT_EQ(pagesFor(57), (Pages {{56, false}, {1, true}}));
}

} // namespace
