// SPDX-License-Identifier: GPL-3.0-or-later
// "Tahsilat Listesi": who owes money and since when, the "en az … gün" filter, opening an account, the
// reminder, and the printed, PDF and CSV forms.
#include "app/filedialog.h"
#include "data/accountstore.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/collectionstore.h"
#include "data/dateformat.h"
#include "messagerecorder.h"
#include "pdftext.h"
#include "testdatabase.h"
#include "tools/collectionwindow.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QClipboard>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QDate kToday(2026, 12, 9);

QStringList numbers(const QVector<CollectionRow>& rows)
{
    QStringList result;
    for (const CollectionRow& r : rows)
        result << r.musKodu;
    return result;
}

// Customers as another tool writes them, then their to-collect dates set as the repair sets them.
void fillLedger(test::TestDatabase& t)
{
    const auto customer = [&t](const char* number, const char* name, const QVariant& balance) {
        t.addCustomer(QString::fromLatin1(number), QString::fromUtf8(name), QStringLiteral("Alıcı"), balance);
    };
    // Paid 10 days ago.
    customer("1", "AHMET YILMAZ", qint64(50000));
    t.addMovement(QStringLiteral("1"), QDate(2026, 9, 1), qint64(80000), {});
    t.addMovement(QStringLiteral("1"), QDate(2026, 11, 29), {}, qint64(30000));
    // Never paid (a payment of 0 is none): 90 days since the first movement.
    customer("2", "BEKİR ŞEN", qint64(80000));
    t.addMovement(QStringLiteral("2"), QDate(2026, 9, 10), qint64(50000), {});
    t.addMovement(QStringLiteral("2"), QDate(2026, 12, 1), qint64(30000), qint64(0));
    // Paid 60 days ago; a later sale does not count as a payment.
    customer("3", "CEMİLE ÖZ", qint64(10000));
    t.addMovement(QStringLiteral("3"), QDate(2026, 10, 10), {}, qint64(5000));
    t.addMovement(QStringLiteral("3"), QDate(2026, 12, 1), qint64(15000), {});
    // Nothing owed, or owed to them, or no balance yet: not on the list.
    customer("4", "DURSUN", qint64(0));
    customer("5", "EMEL", qint64(-30000));
    customer("11", "HALİL", QVariant());
    t.addMovement(QStringLiteral("5"), QDate(2025, 1, 1), qint64(100), {});
    // Paid the same day as customer 1 and owes more: before 1.
    customer("6", "FERİDE; KAYA", qint64(90000));
    t.addMovement(QStringLiteral("6"), QDate(2026, 11, 29), {}, qint64(100));
    // The same day and debt as customer 1: the longer number comes after it.
    customer("10", "JALE", qint64(50000));
    t.addMovement(QStringLiteral("10"), QDate(2026, 11, 29), {}, qint64(100));
    // A balance without any movement (written by another tool): the wait is unknown, listed last.
    customer("7", "GÜLER", qint64(5000));
    QString error;
    ASSERT_GE(CollectionStore(t.db()).refreshAll(&error), 0) << error.toStdString();
}

const QStringList kOrder = {QStringLiteral("2"), QStringLiteral("3"),  QStringLiteral("6"),
                            QStringLiteral("1"), QStringLiteral("10"), QStringLiteral("7")};

class CollectionStoreTest : public test::EngineTest
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        m_db = std::make_unique<test::TestDatabase>(GetParam());
        fillLedger(*m_db);
    }
    void TearDown() override { Clock::reset(); }

    CollectionStore store() const { return CollectionStore(m_db->db()); }

    std::unique_ptr<test::TestDatabase> m_db;
};

TEST_P(CollectionStoreTest, LongestWaitingFirstCountingNeverPaidFromTheFirstMovement)
{
    const std::optional<QVector<CollectionRow>> rows = store().rows(kToday);
    ASSERT_TRUE(rows);
    EXPECT_EQ(numbers(*rows), kOrder);
    QVector<std::optional<qint64>> days;
    QStringList lastPayments;
    for (const CollectionRow& r : *rows) {
        days << r.days;
        lastPayments << r.lastPayment;
    }
    EXPECT_EQ(days, (QVector<std::optional<qint64>> {90, 60, 10, 10, 10, std::nullopt}));
    EXPECT_EQ(lastPayments,
              (QStringList {QString(), QStringLiteral("2026-10-10"), QStringLiteral("2026-11-29"),
                            QStringLiteral("2026-11-29"), QStringLiteral("2026-11-29"), QString()}));
    EXPECT_EQ(rows->first().bakiye, 80000);
}

TEST_P(CollectionStoreTest, MinimumDaysKeepsTheLongWaitingAndTheUnknownAndTheSummaryAgrees)
{
    const struct
    {
        qint64 minDays;
        QStringList expected;
        qint64 total;
    } cases[] = {
        {0, kOrder, 285000},
        {10, kOrder, 285000},
        {11, {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7")}, 95000},
        {60, {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7")}, 95000},
        {61, {QStringLiteral("2"), QStringLiteral("7")}, 85000},
        {1000, {QStringLiteral("7")}, 5000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.minDays);
        const std::optional<QVector<CollectionRow>> rows = store().rows(kToday, c.minDays);
        ASSERT_TRUE(rows);
        EXPECT_EQ(numbers(*rows), c.expected);
        const auto summary = store().summary({kToday, c.minDays});
        ASSERT_TRUE(summary);
        EXPECT_EQ(summary->count, c.expected.size());
        EXPECT_EQ(summary->dated, c.expected.size() - 1);
        EXPECT_EQ(summary->total, c.total);
        EXPECT_EQ(store().rowOf({kToday, c.minDays}, QStringLiteral("7")), c.expected.size() - 1);
    }
    EXPECT_EQ(store().rowOf({kToday, 0}, QStringLiteral("10")), 4);
    EXPECT_EQ(store().rowOf({kToday, 11}, QStringLiteral("1")), -1);
    EXPECT_EQ(store().rowOf({kToday, 0}, QStringLiteral("4")), -1);
}

// A page is read from either end of a part or from a row already read, through the ties of date and debt.
TEST_P(CollectionStoreTest, WindowsFromEitherEndAndFromAKnownRowReadTheSameOrder)
{
    using W = CollectionStore::Window;
    using P = CollectionStore::Part;
    const QVector<CollectionRow> all = *store().rows(kToday);
    const auto at = [&all](const char* number) {
        return *std::find_if(all.cbegin(), all.cend(),
                             [&](const CollectionRow& r) { return r.musKodu == QLatin1String(number); });
    };
    const struct
    {
        W window;
        QStringList expected;
    } cases[] = {
        {{P::Dated, W::From::Top, {}, 1, 2}, {QStringLiteral("3"), QStringLiteral("6")}},
        {{P::Dated, W::From::Bottom, {}, 0, 2}, {QStringLiteral("1"), QStringLiteral("10")}},
        {{P::Dated, W::From::After, at("6"), 0, 5}, {QStringLiteral("1"), QStringLiteral("10")}},
        {{P::Dated, W::From::After, at("1"), 0, 5}, {QStringLiteral("10")}},
        {{P::Dated, W::From::After, at("2"), 1, 2}, {QStringLiteral("6"), QStringLiteral("1")}},
        {{P::Dated, W::From::Before, at("10"), 0, 2}, {QStringLiteral("6"), QStringLiteral("1")}},
        {{P::Dated, W::From::Before, at("1"), 1, 5}, {QStringLiteral("2"), QStringLiteral("3")}},
        {{P::Undated, W::From::Top, {}, 0, 5}, {QStringLiteral("7")}},
        {{P::Undated, W::From::After, at("7"), 0, 5}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected.join(QLatin1Char(',')).toStdString());
        QString error;
        EXPECT_EQ(numbers(store().rows({kToday, 0}, c.window, &error)), c.expected);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    }
}

// Every write of movements keeps the customer's to-collect date in the same transaction.
TEST_P(CollectionStoreTest, TheStoredDateFollowsEntriesPaymentsAndDeletions)
{
    AccountStore account(m_db->db());
    const auto since = [&] {
        return m_db->db().scalar(QStringLiteral("SELECT BeklemeTarihi FROM musteriler WHERE mus_kodu = '2'"));
    };
    EXPECT_EQ(since().toString(), QStringLiteral("2026-09-10"));
    const auto entry = [&](const QDate& day, const QVariant& added, const QVariant& paid) {
        Movement m;
        m.musKodu = QStringLiteral("2");
        m.tarih = dates::isoDate(day);
        m.saat = QStringLiteral("10:00:00");
        m.eklenen = added;
        m.odenen = paid;
        QString error;
        EXPECT_TRUE(account.appendMovement(m, &error)) << error.toStdString();
    };
    // A sale earlier than the first movement moves the start of the wait; a later sale does not.
    entry(QDate(2026, 8, 1), qint64(100), {});
    EXPECT_EQ(since().toString(), QStringLiteral("2026-08-01"));
    entry(QDate(2026, 12, 9), qint64(100), {});
    EXPECT_EQ(since().toString(), QStringLiteral("2026-08-01"));
    // The first payment: the wait counts from it.
    entry(QDate(2026, 12, 5), {}, qint64(1000));
    EXPECT_EQ(since().toString(), QStringLiteral("2026-12-05"));
    ASSERT_EQ(store().rows(kToday)->last().musKodu, QStringLiteral("7"));
    EXPECT_EQ(store().rows(kToday)->at(4).musKodu, QStringLiteral("2"));

    // Deleting the payment counts from the first movement again; deleting everything leaves no date.
    const qint64 payment
        = m_db->db()
              .scalar(QStringLiteral("SELECT max(id) FROM veresiye WHERE mus_kodu = '2' AND Odenen > 0"))
              .toLongLong();
    QString error;
    ASSERT_TRUE(account.deleteMovement(payment, &error)) << error.toStdString();
    EXPECT_EQ(since().toString(), QStringLiteral("2026-08-01"));
    ASSERT_TRUE(account.deleteAllMovements(QStringLiteral("2"), &error)) << error.toStdString();
    EXPECT_TRUE(since().isNull());
    // Undated now, it is listed after the dated rows, before the smaller debt of customer 7.
    EXPECT_EQ(numbers(*store().rows(kToday)).mid(4), (QStringList {QStringLiteral("2"), QStringLiteral("7")}));
    // Nothing left to change: the set-based refresh agrees with what the writes kept.
    EXPECT_EQ(store().refreshAll(), 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, CollectionStoreTest, test::kEngines, test::engineName);

class CollectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        fillLedger(m_db);
    }
    void TearDown() override { Clock::reset(); }

    test::TestDatabase m_db;
};

class CollectionWindowTest : public CollectionTest
{
protected:
    template<typename T> static T* child(const QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
};

TEST_F(CollectionWindowTest, FilterBoxEnterAndDoubleClickOpenTheAccountAndTheListIsReadAgain)
{
    QStringList opened;
    CollectionWindow window(m_db.db(), [&](const QString& musKodu) {
        opened << musKodu;
        // Paid off in the account window.
        m_db.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 0 WHERE mus_kodu = ?"), {musKodu});
    });
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* grid = child<QTableView>(window, "collectionGrid");
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(numbers(window.shownRows()), kOrder);
    EXPECT_EQ(grid->model()->index(0, 1).data().toString(), QStringLiteral("BEKİR ŞEN"));
    EXPECT_EQ(grid->model()->index(0, 4).data().toString(), QStringLiteral("800,00"));
    EXPECT_EQ(grid->model()->index(1, 5).data().toString(), QStringLiteral("10.10.2026"));
    EXPECT_EQ(grid->model()->index(1, 6).data().toString(), QStringLiteral("60"));

    auto* minDays = child<QSpinBox>(window, "minDaysBox");
    minDays->setFocus();
    minDays->selectAll();
    test::typeText(minDays, QStringLiteral("11"));
    EXPECT_EQ(numbers(window.shownRows()),
              (QStringList {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7")}));

    // Enter on the second row opens customer 3; paid off, it leaves the list.
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(1, 0));
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(opened, QStringList {QStringLiteral("3")});
    EXPECT_EQ(numbers(window.shownRows()), (QStringList {QStringLiteral("2"), QStringLiteral("7")}));

    const QRect cell = grid->visualRect(grid->model()->index(0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(opened, (QStringList {QStringLiteral("3"), QStringLiteral("2")}));
    EXPECT_EQ(numbers(window.shownRows()), QStringList {QStringLiteral("7")});
}

TEST_F(CollectionWindowTest, ReminderCopiesAPoliteTextWithTheShopNameFromTheSettings)
{
    QFile ini(QDir(m_db.folder()).filePath(QStringLiteral("zelvora.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[dukkan]\nad=Güneş Bakkaliyesi\n");
    ini.close();
    AppConfig::reload();

    CollectionWindow window(m_db.db(), {});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    test::MessageRecorder messages;
    emit child<LumButton>(window, "reminderButton")->clicked();
    const QString text = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(text.startsWith(QStringLiteral("Sayın BEKİR ŞEN,"))) << text.toStdString();
    for (const QString& part : {QStringLiteral("Güneş Bakkaliyesi olarak 09.12.2026 tarihi itibarıyla"),
                                QStringLiteral("800,00 TL"), QStringLiteral("rica eder")})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
    // Without an opener the window cannot open accounts.
    EXPECT_FALSE(child<LumButton>(window, "openAccountButton")->isEnabled());

    ini.remove();
    AppConfig::reload();
    const QString plain = CollectionWindow::reminderText(window.shownRows().first(), QString(), kToday);
    EXPECT_TRUE(plain.contains(QStringLiteral("\n\n09.12.2026 tarihi itibarıyla"))) << plain.toStdString();
    EXPECT_FALSE(plain.contains(QStringLiteral(" olarak ")));
}

TEST_F(CollectionWindowTest, CsvAndPdfHoldTheRowsAsListedWithTheOverLimitMark)
{
    // Above its limit; at its limit is not above.
    m_db.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = 60000 WHERE mus_kodu = '2'"));
    m_db.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = 90000 WHERE mus_kodu = '6'"));
    CollectionWindow window(m_db.db(), {});
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    child<QSpinBox>(window, "minDaysBox")->setValue(10);
    QTemporaryDir out;
    test::MessageRecorder messages;

    FileDialog::setNextAnswer(out.filePath(QStringLiteral("liste")));
    emit child<LumButton>(window, "csvButton")->clicked();
    QFile csv(out.filePath(QStringLiteral("liste.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QByteArray bytes = csv.readAll();
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines.at(0), QStringLiteral("Müşteri No;Müşteri / Firma;Telefon;GSM;Bakiye;Son Ödeme;Gün;Limit"));
    EXPECT_EQ(lines.at(1), QStringLiteral("2;BEKİR ŞEN;;;800,00;;90;Aşıldı"));
    EXPECT_EQ(lines.at(3), QStringLiteral("6;\"FERİDE; KAYA\";;;900,00;29.11.2026;10;"));
    EXPECT_EQ(lines.at(6), QStringLiteral("7;GÜLER;;;50,00;;;"));
    EXPECT_EQ(lines.at(7), QString());

    FileDialog::setNextAnswer(out.filePath(QStringLiteral("liste.pdf")));
    emit child<LumButton>(window, "saveButton")->clicked();
    const QStringList pages = test::pdfPages(out.filePath(QStringLiteral("liste.pdf")));
    ASSERT_EQ(pages.size(), 1);
    const QString page = test::withoutBlanks(pages.first());
    EXPECT_TRUE(page.contains(QStringLiteral("09.12.2026-TARİHLİTAHSİLATLİSTESİ"))) << pages.first().toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("Enaz10gündür")));
    EXPECT_LT(page.indexOf(QStringLiteral("BEKİRŞEN")), page.indexOf(QStringLiteral("CEMİLEÖZ")));
    EXPECT_TRUE(page.contains(QStringLiteral("6FERİDE;KAYA900,0029.11.202610")));
    EXPECT_TRUE(page.contains(QStringLiteral("BEKİRŞEN(LimitAşıldı)")));
    EXPECT_FALSE(page.contains(QStringLiteral("KAYA(Limit")));
    EXPECT_TRUE(page.contains(QStringLiteral("ListedekiMüşteri:6")));
    EXPECT_TRUE(page.contains(QStringLiteral("ToplamAlacak:2.850,00")));
    EXPECT_TRUE(messages.empty());

    // The grid: a column "Limit", the row in red with the limit in its tooltip.
    const QAbstractItemModel* model = child<QTableView>(window, "collectionGrid")->model();
    ASSERT_EQ(model->headerData(7, Qt::Horizontal).toString(), QStringLiteral("Limit"));
    EXPECT_EQ(model->index(0, 7).data().toString(), QStringLiteral("Aşıldı"));
    EXPECT_EQ(model->index(0, 1).data(Qt::ForegroundRole).value<QColor>(), QColor(Qt::red));
    EXPECT_EQ(model->index(0, 1).data(Qt::ToolTipRole).toString(),
              QStringLiteral("Bakiye kredi limitini (600,00 TL) aşıyor."));
    EXPECT_EQ(model->index(2, 7).data().toString(), QString());
    EXPECT_FALSE(model->index(2, 1).data(Qt::ForegroundRole).isValid());
}

// A list longer than a page: each row the grid reads, in any order, is the row the whole list has there, and
// the selected customer stays selected where it moves to.
TEST_F(CollectionWindowTest, ALongListReadByPagesMatchesTheWholeList)
{
    for (int i = 100; i < 400; ++i) {
        m_db.addCustomer(QString::number(i), QStringLiteral("MÜŞTERİ %1").arg(i), QStringLiteral("Alıcı"),
                         qint64(1000 + i % 7));
        if (i % 5 != 0) // a fifth never moved: their wait is unknown
            m_db.addMovement(QString::number(i), QDate(2026, 1, 1).addDays(i % 40), qint64(1000), {});
    }
    ASSERT_GE(CollectionStore(m_db.db()).refreshAll(), 0);
    const QVector<CollectionRow> all = *CollectionStore(m_db.db()).rows(kToday);
    ASSERT_EQ(all.size(), 306);
    for (const int order : {0, 1}) {
        CollectionWindow window(m_db.db(), {});
        const QAbstractItemModel* model = child<QTableView>(window, "collectionGrid")->model();
        ASSERT_EQ(model->rowCount(), all.size());
        // From the top down, and from the bottom up in jumps.
        for (int k = 0; k < all.size(); ++k) {
            const int row = order == 0 ? k : int(all.size()) - 1 - (k * 37) % int(all.size());
            ASSERT_EQ(model->index(row, 0).data().toString(), all.at(row).musKodu) << row;
        }
    }
    CollectionWindow window(m_db.db(), [&](const QString&) {});
    auto* grid = child<QTableView>(window, "collectionGrid");
    grid->setCurrentIndex(grid->model()->index(200, 0));
    // As shown before the payment.
    const QString selected = grid->model()->index(200, 0).data().toString();
    ASSERT_EQ(selected, all.at(200).musKodu);
    // Paid today: it moves to the bottom of the dated rows.
    Movement payment;
    payment.musKodu = selected;
    payment.tarih = dates::isoDate(kToday);
    payment.saat = QStringLiteral("10:00:00");
    payment.odenen = qint64(1);
    ASSERT_TRUE(AccountStore(m_db.db()).appendMovement(payment));
    window.reload();
    const int now = grid->currentIndex().row();
    EXPECT_NE(now, 200);
    EXPECT_EQ(grid->model()->index(now, 0).data().toString(), selected);
}

} // namespace
