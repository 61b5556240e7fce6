// SPDX-License-Identifier: GPL-3.0-or-later
// The two printed reports written to PDF and read back with poppler's tools.
#include "data/clock.h"
#include "pdftext.h"
#include "reports/printedreports.h"
#include "reports/reportlayout.h"
#include "testdatabase.h"

#include <QPageLayout>
#include <QPdfWriter>
#include <QSet>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
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

// A row of a printed report: a key word that prints once (its date or customer number) and the words of its
// long text.
struct PrintedRow
{
    QString key;
    QStringList words;
};

// Every word of every row prints once, on the page of the row's key, between the row's key and the next row's,
// within its column and above the page footer: no text is cut, rows never overlap and a page break never
// splits a row. Columns and footer in points.
void expectRowsWhole(const test::PdfWords& pdf, const QVector<PrintedRow>& rows, double columnLeft, double columnRight,
                     double footerTop)
{
    QMultiHash<QString, const test::PdfWord*> byText;
    for (const test::PdfWord& w : pdf.words)
        byText.insert(w.text, &w);
    const auto only = [&](const QString& text) -> const test::PdfWord* {
        const auto found = byText.values(text);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.size() == 1 ? found.first() : nullptr;
    };
    for (qsizetype r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(rows.at(r).key.toStdString());
        const test::PdfWord* key = only(rows.at(r).key);
        const test::PdfWord* next = r + 1 < rows.size() ? only(rows.at(r + 1).key) : nullptr;
        if (!key)
            continue;
        const bool nextOnPage = next && next->page == key->page;
        if (next) {
            EXPECT_GE(next->page, key->page);
        }
        for (const QString& text : rows.at(r).words) {
            const test::PdfWord* w = only(text);
            if (!w)
                continue;
            EXPECT_EQ(w->page, key->page) << text.toStdString();
            EXPECT_GE(w->box.top(), key->box.top() - 0.5) << text.toStdString();
            EXPECT_LE(w->box.bottom(), nextOnPage ? next->box.top() + 0.5 : footerTop) << text.toStdString();
            EXPECT_GE(w->box.left(), columnLeft - 0.5) << text.toStdString();
            EXPECT_LE(w->box.right(), columnRight + 0.5) << text.toStdString();
        }
    }
}

// "ş03x01 ş03x02 ... ş03x43": 300 characters of words that print nowhere else.
QString description(int row)
{
    QStringList words;
    for (int j = 1; j <= 43; ++j)
        words << QStringLiteral("ş%1x%2").arg(row, 2, 10, QLatin1Char('0')).arg(j, 2, 10, QLatin1Char('0'));
    return words.join(u' ');
}

TEST_F(ReportPdfTest, StatementWrapsLongDescriptionsAndTheTitleAndKeepsEveryRowWholeOnItsPage)
{
    QStringList nameWords;
    for (int i = 1; i <= 30; ++i)
        nameWords << QStringLiteral("GÜLŞEN%1").arg(i, 2, 10, QLatin1Char('0'));
    const QString name = nameWords.join(u' ');
    m_db.addCustomer(QStringLiteral("9"), name);
    // One description is a single word longer than its column, as a barcode would be.
    QString barcode;
    for (int i = 0; i < 40; ++i)
        barcode += QStringLiteral("KOD%1").arg(i, 2, 10, QLatin1Char('0'));
    QVector<PrintedRow> rows;
    for (int i = 0; i < 40; ++i) {
        const QString text = i == 5 ? barcode : description(i);
        ASSERT_TRUE(i == 5 || text.size() == 300);
        m_db.addMovement(QStringLiteral("9"), QDate(2025, 1, 1).addDays(i), 1000, {}, text);
        rows.append({QDate(2025, 1, 1).addDays(i).toString(QStringLiteral("dd.MM.yyyy")),
                     i == 5 ? QStringList() : text.split(u' ')});
    }
    AccountStatementReport& statement = AccountStatementReport::instance();
    ASSERT_TRUE(statement.prepare(m_db.db(), QStringLiteral("9"), name + QStringLiteral(" / 9 - ( Alıcı )"),
                                  QStringLiteral("400,00"), QStringLiteral("0,00"), QStringLiteral("400,00")));
    const QString path = pdfPath(QStringLiteral("uzun.pdf"));
    ASSERT_TRUE(statement.report().writePdf(path));

    const test::PdfWords pdf = test::pdfWords(path);
    const int pages = int(pdf.pageSizes.size());
    ASSERT_GE(pages, 3);
    // AÇIKLAMA from 360 + 1757 to 360 + 1757 + 3969 twips; the page footer from 16838 - 1080 - 360.
    expectRowsWhole(pdf, rows, 105.85, 304.3, 769.9);
    QString barcodePrinted;
    double headingBottom = 0;
    for (const test::PdfWord& w : pdf.words) {
        if (w.page == 0 && w.text == QStringLiteral("AÇIKLAMA"))
            headingBottom = w.box.top();
        if (w.text.startsWith(QStringLiteral("KOD"))
            || (!barcodePrinted.isEmpty() && w.text.at(0).isDigit() && barcodePrinted.size() < barcode.size()))
            barcodePrinted += w.text;
        EXPECT_FALSE(w.text.contains(QStringLiteral("…")));
    }
    EXPECT_EQ(barcodePrinted, barcode);

    // The whole title on every page, above the headings; page numbers count the pages the rows took.
    const QStringList text = test::pdfPages(path);
    ASSERT_EQ(text.size(), pages);
    for (int p = 0; p < pages; ++p) {
        SCOPED_TRACE(p + 1);
        for (const QString& word : nameWords)
            EXPECT_EQ(std::count_if(pdf.words.cbegin(), pdf.words.cend(),
                                    [&](const test::PdfWord& w) { return w.page == p && w.text == word; }),
                      1)
                << word.toStdString();
        EXPECT_TRUE(test::withoutBlanks(text.at(p)).contains(QStringLiteral("%1/%2").arg(p + 1).arg(pages)));
        EXPECT_EQ(count(text.at(p), QStringLiteral("Toplam Eklenen :")), p == pages - 1 ? 1 : 0);
    }
    for (const test::PdfWord& w : pdf.words) {
        if (w.page == 0 && nameWords.contains(w.text)) {
            EXPECT_LT(w.box.bottom(), headingBottom) << w.text.toStdString();
        }
    }
    EXPECT_LT(text.last().indexOf(description(39).right(6)), text.last().indexOf(QStringLiteral("Toplam Eklenen")));
}

TEST_F(ReportPdfTest, CustomerListWrapsLongNamesAndKeepsEveryRowWholeOnItsPage)
{
    // Every seventh customer has a name of many lines; 120 customers take several pages.
    QVector<PrintedRow> rows;
    for (int i = 1; i <= 120; ++i) {
        QStringList words {QStringLiteral("MÜŞTERİ%1").arg(i, 3, 10, QLatin1Char('0'))};
        for (int j = 1; i % 7 == 0 && j <= 25; ++j)
            words << QStringLiteral("İ%1ŞİRKETİ%2").arg(i, 3, 10, QLatin1Char('0')).arg(j, 2, 10, QLatin1Char('0'));
        const QString code = QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0'));
        m_db.addCustomer(code, words.join(u' '), QStringLiteral("Alıcı"), 100 * i);
        rows.append({code, words});
    }
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QStringLiteral("1,00"), QStringLiteral("2,00"),
                             QStringLiteral("3,00")));
    const QString path = pdfPath(QStringLiteral("uzunliste.pdf"));
    ASSERT_TRUE(list.report().writePdf(path));
    const test::PdfWords pdf = test::pdfWords(path);
    const int pages = int(pdf.pageSizes.size());
    ASSERT_EQ(pages, list.report().paginate().size());
    ASSERT_GE(pages, 3);
    // MÜŞTERİ from 720 + 2356 to 720 + 2356 + 4386 twips; the page footer from 16838 - 1080 - 360.
    expectRowsWhole(pdf, rows, 153.8, 373.1, 769.9);
    const QStringList text = test::pdfPages(path);
    for (int p = 0; p < pages; ++p)
        EXPECT_TRUE(test::withoutBlanks(text.at(p)).contains(QStringLiteral("%1/%2").arg(p + 1).arg(pages)));
}

TEST_F(ReportPdfTest, ARowTallerThanAPageRunsOnBetweenItsLinesAndPrintsEveryWordOnce)
{
    // About 10,000 characters: more lines than a page holds.
    QStringList words;
    for (int j = 1; j <= 1400; ++j)
        words << QStringLiteral("s%1").arg(j, 4, 10, QLatin1Char('0'));
    m_db.addCustomer(QStringLiteral("9"), QStringLiteral("AHMET"));
    m_db.addMovement(QStringLiteral("9"), QDate(2025, 1, 1), 100, {}, QStringLiteral("önce"));
    m_db.addMovement(QStringLiteral("9"), QDate(2025, 1, 2), 100, {}, words.join(u' '));
    m_db.addMovement(QStringLiteral("9"), QDate(2025, 1, 3), 100, {}, QStringLiteral("sonra"));
    AccountStatementReport& statement = AccountStatementReport::instance();
    ASSERT_TRUE(statement.prepare(m_db.db(), QStringLiteral("9"), QStringLiteral("AHMET / 9 - ( Alıcı )"),
                                  QStringLiteral("3,00"), QStringLiteral("0,00"), QStringLiteral("3,00")));
    const QVector<BandedReport::Page> layout = statement.report().paginate();
    ASSERT_EQ(layout.size(), 2);
    EXPECT_GT(layout.at(0).lastRowTo, 0);
    EXPECT_EQ(layout.at(1).firstRowFrom, layout.at(0).lastRowTo);

    const QString path = pdfPath(QStringLiteral("cokuzun.pdf"));
    ASSERT_TRUE(statement.report().writePdf(path));
    const test::PdfWords pdf = test::pdfWords(path);
    ASSERT_EQ(pdf.pageSizes.size(), 2);
    QHash<QString, int> printed;
    double lastTop = 0;
    int lastPage = 0;
    for (const test::PdfWord& w : pdf.words) {
        if (!w.text.startsWith(u's') || w.text == QStringLiteral("sonra"))
            continue;
        ++printed[w.text];
        EXPECT_LE(w.box.bottom(), 769.9) << w.text.toStdString();
        // Words run on in order: lower on the page, or on the next page.
        EXPECT_TRUE(w.page > lastPage || w.box.top() >= lastTop - 0.5) << w.text.toStdString();
        lastPage = w.page;
        lastTop = w.box.top();
    }
    EXPECT_EQ(printed.size(), words.size());
    for (const QString& word : words)
        EXPECT_EQ(printed.value(word), 1) << word.toStdString();
    const QStringList text = test::pdfPages(path);
    EXPECT_TRUE(text.at(0).contains(QStringLiteral("önce")));
    EXPECT_TRUE(text.at(1).contains(QStringLiteral("sonra")));
    EXPECT_TRUE(test::withoutBlanks(text.at(1)).contains(QStringLiteral("2/2")));
}

// The page set-up of the preview may choose another paper or landscape: the report is laid out for it.
TEST_F(ReportPdfTest, PagesAreLaidOutForThePaperAndOrientationOfTheDevice)
{
    for (int i = 1; i <= 80; ++i)
        m_db.addCustomer(QStringLiteral("K%1").arg(i, 3, 10, QLatin1Char('0')), QStringLiteral("MÜŞTERİ %1").arg(i));
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QStringLiteral("1,00"), QStringLiteral("2,00"),
                             QStringLiteral("3,00")));
    const struct
    {
        QPageSize::PageSizeId size;
        QPageLayout::Orientation orientation;
    } cases[] = {
        {QPageSize::A4, QPageLayout::Landscape},
        {QPageSize::Letter, QPageLayout::Portrait},
        {QPageSize::Letter, QPageLayout::Landscape},
        // Narrower than the layout: scaled down to the paper's width.
        {QPageSize::A5, QPageLayout::Portrait},
    };
    for (const auto& c : cases) {
        const QPageLayout page(QPageSize(c.size), c.orientation, QMarginsF(), QPageLayout::Point);
        SCOPED_TRACE(page.pageSize().name().toStdString() + (c.orientation == QPageLayout::Landscape ? " yatay" : ""));
        const QString path = pdfPath(QStringLiteral("sayfa.pdf"));
        {
            QPdfWriter writer(path);
            writer.setResolution(1200);
            writer.setPageLayout(page);
            ASSERT_TRUE(list.report().print(&writer));
        }
        const test::PdfWords pdf = test::pdfWords(path);
        const QRectF paper = page.fullRectPoints();
        const int pages = int(pdf.pageSizes.size());
        EXPECT_EQ(pages, list.report().paginate(paper.size() * 20).size());
        QSet<QString> codes;
        for (const test::PdfWord& w : pdf.words) {
            EXPECT_TRUE(QRectF(QPointF(), pdf.pageSizes.at(w.page)).contains(w.box)) << w.text.toStdString();
            if (w.text.startsWith(u'K'))
                codes.insert(w.text);
        }
        EXPECT_EQ(codes.size(), 80);
        const QStringList text = test::pdfPages(path);
        ASSERT_EQ(text.size(), pages);
        for (int p = 0; p < pages; ++p)
            EXPECT_TRUE(test::withoutBlanks(text.at(p)).contains(QStringLiteral("%1/%2").arg(p + 1).arg(pages)));
        EXPECT_EQ(count(text.last(), QStringLiteral("Listedeki Toplam Bakiye :")), 1);
    }
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
