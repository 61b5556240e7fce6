// SPDX-License-Identifier: GPL-3.0-or-later
// Printing from the windows: the main menu's customer list and the account window's statement, through the
// preview and its "PDF Olarak Kaydet".
#include "account/accountwindow.h"
#include "app/filedialog.h"
#include "customers/customerlistmodel.h"
#include "customers/listtotalspanel.h"
#include "customers/mainwindow.h"
#include "data/clock.h"
#include "messagerecorder.h"
#include "pdftext.h"
#include "reports/printedreports.h"
#include "reports/reportlayout.h"
#include "reports/reportpreview.h"
#include "testdatabase.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

class ReportPrintTest : public ::testing::Test
{
protected:
    void SetUp() override { Clock::setFixed(QDateTime(QDate(2026, 12, 9), QTime(10, 0))); }
    void TearDown() override { Clock::reset(); }

    // Runs trigger, which opens the modal preview; inside it saves the pages to path and closes it.
    // Returns the preview's title, empty when no preview opened.
    QString printThroughPreview(const std::function<void()>& trigger, const QString& path)
    {
        QString title;
        QTimer::singleShot(0, [&] {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
            if (!preview)
                return;
            title = preview->windowTitle();
            FileDialog::setNextAnswer(path);
            if (auto* save = preview->findChild<QAction*>(QStringLiteral("savePdfAction")))
                save->trigger();
            preview->reject();
        });
        trigger();
        return title;
    }

    test::TestDatabase m_db;
    QTemporaryDir m_out;
};

TEST_F(ReportPrintTest, MenuPrintsTheWholeListInNameOrderWithASearchActiveAndLeavesTheTotalsShown)
{
    m_db.addCustomer(QStringLiteral("1"), QStringLiteral("Zeki"), QStringLiteral("Alıcı"), 10000);
    m_db.addCustomer(QStringLiteral("2"), QStringLiteral("Çağla"), QStringLiteral("Alıcı"), 25050);
    m_db.addCustomer(QStringLiteral("3"), QStringLiteral("Cem"), QStringLiteral("Satıcı"), 4000);
    m_db.addCustomer(QStringLiteral("4"), QStringLiteral("İsmail"), QStringLiteral("Alıcı"));
    MainWindow window(m_db.db());
    window.onActivated();
    test::typeText(window.findChild<QLineEdit*>(QStringLiteral("searchBox")), QStringLiteral("ce"));
    ASSERT_EQ(window.model()->rowCount(), 1);

    const QString path = m_out.filePath(QStringLiteral("liste.pdf"));
    auto* print = window.findChild<QAction*>(QStringLiteral("printListAction"));
    ASSERT_NE(print, nullptr);
    EXPECT_EQ(printThroughPreview([&] { print->trigger(); }, path), QStringLiteral("Müşteri Listesi"));

    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    const QString page = pages.at(0);
    EXPECT_TRUE(page.contains(QStringLiteral("09.12.2026 - TARİHLİ MÜŞTERİ LİSTESİ")));
    const QStringList order
        = {QStringLiteral("Cem"), QStringLiteral("Çağla"), QStringLiteral("İsmail"), QStringLiteral("Zeki")};
    qsizetype at = -1;
    for (const QString& name : order) {
        EXPECT_GT(page.indexOf(name), at) << name.toStdString();
        at = page.indexOf(name);
    }
    // The paper counts the rows it prints; the sums are the totals panel's, which keeps its own count.
    const QString flat = test::withoutBlanks(page);
    EXPECT_TRUE(flat.contains(QStringLiteral("Müşteri:4"))) << page.toStdString();
    EXPECT_TRUE(flat.contains(QStringLiteral("350,50")));
    EXPECT_TRUE(flat.contains(QStringLiteral("40,00")));
    EXPECT_TRUE(flat.contains(QStringLiteral("310,50")));
    ListTotalsPanel* totals = window.listTotalsPanel();
    EXPECT_TRUE(totals->isVisibleTo(&window));
    EXPECT_EQ(totals->countText(), QStringLiteral("1"));
    EXPECT_TRUE(window.isListLocked());

    // A second print reuses the one report object.
    const BandedReport* first = &window.customerListReport()->report();
    printThroughPreview([&] { print->trigger(); }, m_out.filePath(QStringLiteral("ikinci.pdf")));
    EXPECT_EQ(&window.customerListReport()->report(), first);
    EXPECT_EQ(test::pdfPages(m_out.filePath(QStringLiteral("ikinci.pdf"))), pages);
}

TEST_F(ReportPrintTest, AccountWindowButtonPrintsTheStatementOfTheCustomerShown)
{
    m_db.addCustomer(QStringLiteral("42"), QStringLiteral("AHMET YILMAZ"));
    m_db.addMovement(QStringLiteral("42"), QDate(2026, 12, 1), 150000, {}, QStringLiteral("ŞEKER"));
    m_db.addMovement(QStringLiteral("42"), QDate(2026, 12, 2), {}, 25000, QStringLiteral("Tahsilat"));
    AccountWindow window(m_db.db());
    window.setWindowTitle(QStringLiteral("AHMET YILMAZ / 42 - ( Alıcı )"));
    window.setCustomerNumber(QStringLiteral("42"));
    window.onActivated();
    auto* button = window.findChild<LumButton*>(QStringLiteral("printButton"));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());

    const QString path = m_out.filePath(QStringLiteral("cari.pdf"));
    EXPECT_EQ(printThroughPreview([&] { emit button->clicked(); }, path), QStringLiteral("Cari Rapor"));
    const QStringList pages = test::pdfPages(path);
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(pages.at(0).contains(QStringLiteral("AHMET YILMAZ / 42 - ( Alıcı ) - CARİ RAPORU")));
    EXPECT_LT(pages.at(0).indexOf(QStringLiteral("ŞEKER")), pages.at(0).indexOf(QStringLiteral("Tahsilat")));
    const QString flat = test::withoutBlanks(pages.at(0));
    EXPECT_TRUE(flat.contains(QStringLiteral("ToplamEklenen:1.500,00"))) << pages.at(0).toStdString();
    EXPECT_TRUE(flat.contains(QStringLiteral("ToplamÖdenen:250,00")));
    EXPECT_TRUE(flat.contains(QStringLiteral("ToplamBakiye:1.250,00")));
}

TEST_F(ReportPrintTest, PreviewLaysThePagesOutAgainForThePageSetUpChosen)
{
    for (int i = 1; i <= 80; ++i)
        m_db.addCustomer(QString::number(i), QStringLiteral("MÜŞTERİ %1").arg(i));
    CustomerListReport list;
    ASSERT_TRUE(list.prepare(m_db.db(), Clock::today(), QString(), QString(), QString()));
    const QPageLayout landscape(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF());
    const qsizetype portraitPages = list.report().paginate().size();
    const qsizetype landscapePages = list.report().paginate(landscape.fullRectPoints().size() * 20).size();
    ASSERT_LT(portraitPages, landscapePages);

    int before = 0;
    int after = 0;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* preview = dialog ? dialog->findChild<QPrintPreviewWidget*>() : nullptr;
        if (preview) {
            before = preview->pageCount();
            // What the page set-up and the orientation buttons do to the printer.
            dialog->printer()->setPageOrientation(QPageLayout::Landscape);
            preview->updatePreview();
            after = preview->pageCount();
        }
        if (dialog)
            dialog->reject();
    });
    list.preview(nullptr);
    EXPECT_EQ(before, portraitPages);
    EXPECT_EQ(after, landscapePages);
}

// HOME and the XDG settings pointed at an empty folder of the test's own for its lifetime.
class ScopedHome
{
public:
    ScopedHome()
        : m_home(qgetenv("HOME"))
        , m_config(qgetenv("XDG_CONFIG_HOME"))
    {
        qputenv("HOME", m_dir.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", m_dir.filePath(QStringLiteral(".config")).toUtf8());
    }
    ~ScopedHome()
    {
        qputenv("HOME", m_home);
        qputenv("XDG_CONFIG_HOME", m_config);
    }
    QString path() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    QByteArray m_home;
    QByteArray m_config;
};

TEST_F(ReportPrintTest, PdfIsProposedInDocumentsOrElseInTheHomeFolderButNeverBesideTheDatabase)
{
    ScopedHome home;
    const QString title = QStringLiteral("AHMET / 42 - ( Alıcı ) - CARİ RAPORU");
    const QString fileName = QStringLiteral("AHMET - 42 - ( Alıcı ) - CARİ RAPORU.pdf");
    BandedReport statement(reportlayouts::carirapor());
    const auto proposed = [&] {
        FileDialog::setNextAnswer(QString());
        EXPECT_FALSE(ReportPreview::saveAsPdf(nullptr, statement, title));
        return FileDialog::lastStartPath();
    };
    // No Documents folder: the home folder, and no folder is made.
    EXPECT_EQ(proposed(), QDir(home.path()).filePath(fileName));
    EXPECT_FALSE(QFileInfo::exists(QDir(home.path()).filePath(QStringLiteral("Documents"))));
    ASSERT_TRUE(QDir(home.path()).mkdir(QStringLiteral("Documents")));
    EXPECT_EQ(proposed(), QDir(home.path()).filePath(QStringLiteral("Documents/") + fileName));

    // Whoever calls the save dialog, it never starts in the working folder.
    const struct
    {
        QString proposed;
        QString start;
    } cases[] = {
        {m_out.filePath(QStringLiteral("yok/rapor.pdf")), QDir(home.path()).filePath(QStringLiteral("rapor.pdf"))},
        {QStringLiteral("rapor.pdf"), QDir(home.path()).filePath(QStringLiteral("rapor.pdf"))},
        {m_out.filePath(QStringLiteral("rapor.pdf")), m_out.filePath(QStringLiteral("rapor.pdf"))},
    };
    for (const auto& c : cases) {
        FileDialog::setNextAnswer(QString());
        FileDialog::chooseSaveFile(nullptr, QStringLiteral("PDF Olarak Kaydet"), QString(), c.proposed);
        EXPECT_EQ(FileDialog::lastStartPath(), c.start) << c.proposed.toStdString();
    }
}

TEST_F(ReportPrintTest, AFailedPdfWriteIsReportedAndAMissingExtensionAdded)
{
    BandedReport report(reportlayouts::carirapor());
    test::MessageRecorder messages;
    FileDialog::setNextAnswer(m_out.filePath(QStringLiteral("yok/klasor/rapor.pdf")));
    EXPECT_FALSE(ReportPreview::saveAsPdf(nullptr, report, QStringLiteral("Rapor")));
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("PDF dosyası kaydedilemedi.")));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);

    // A name typed without the extension gets it.
    FileDialog::setNextAnswer(m_out.filePath(QStringLiteral("adsiz")));
    EXPECT_TRUE(ReportPreview::saveAsPdf(nullptr, report, QStringLiteral("Rapor")));
    EXPECT_TRUE(QFileInfo::exists(m_out.filePath(QStringLiteral("adsiz.pdf"))));
}

} // namespace
