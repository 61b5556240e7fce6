// SPDX-License-Identifier: GPL-3.0-or-later
// "Tahsilat Listesi": who owes money and since when, the "en az … gün" filter, opening an account, the
// reminder, and the printed, PDF and CSV forms.
#include "app/filedialog.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/collectionstore.h"
#include "messagerecorder.h"
#include "pdftext.h"
#include "testdatabase.h"
#include "tools/collectionwindow.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QClipboard>
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

class CollectionTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        const auto customer = [this](const char* number, const char* name, const QVariant& balance) {
            m_db.addCustomer(QString::fromLatin1(number), QString::fromUtf8(name), QStringLiteral("Alıcı"), balance);
        };
        // Paid 10 days ago.
        customer("1", "AHMET YILMAZ", qint64(50000));
        m_db.addMovement(QStringLiteral("1"), QDate(2026, 9, 1), qint64(80000), {});
        m_db.addMovement(QStringLiteral("1"), QDate(2026, 11, 29), {}, qint64(30000));
        // Never paid (a payment of 0 is none): 90 days since the first movement.
        customer("2", "BEKİR ŞEN", qint64(80000));
        m_db.addMovement(QStringLiteral("2"), QDate(2026, 9, 10), qint64(50000), {});
        m_db.addMovement(QStringLiteral("2"), QDate(2026, 12, 1), qint64(30000), qint64(0));
        // Paid 60 days ago; a later sale does not count as a payment.
        customer("3", "CEMİLE ÖZ", qint64(10000));
        m_db.addMovement(QStringLiteral("3"), QDate(2026, 10, 10), {}, qint64(5000));
        m_db.addMovement(QStringLiteral("3"), QDate(2026, 12, 1), qint64(15000), {});
        // Nothing owed, or owed to them, or no balance yet: not on the list.
        customer("4", "DURSUN", qint64(0));
        customer("5", "EMEL", qint64(-30000));
        customer("11", "HALİL", QVariant());
        m_db.addMovement(QStringLiteral("5"), QDate(2025, 1, 1), qint64(100), {});
        // Paid the same day as customer 1 and owes more: before 1.
        customer("6", "FERİDE; KAYA", qint64(90000));
        m_db.addMovement(QStringLiteral("6"), QDate(2026, 11, 29), {}, qint64(100));
        // A balance without any movement (written by another tool): the wait is unknown, listed last.
        customer("7", "GÜLER", qint64(5000));
    }
    void TearDown() override { Clock::reset(); }

    static QStringList numbers(const QVector<CollectionRow>& rows)
    {
        QStringList result;
        for (const CollectionRow& r : rows)
            result << r.musKodu;
        return result;
    }

    test::TestDatabase m_db;
};

TEST_F(CollectionTest, LongestWaitingFirstCountingNeverPaidFromTheFirstMovement)
{
    const std::optional<QVector<CollectionRow>> rows = CollectionStore(m_db.db()).rows(kToday);
    ASSERT_TRUE(rows);
    EXPECT_EQ(numbers(*rows),
              (QStringList {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("6"), QStringLiteral("1"),
                            QStringLiteral("7")}));
    QVector<std::optional<qint64>> days;
    QStringList lastPayments;
    for (const CollectionRow& r : *rows) {
        days << r.days;
        lastPayments << r.lastPayment;
    }
    EXPECT_EQ(days, (QVector<std::optional<qint64>> {90, 60, 10, 10, std::nullopt}));
    EXPECT_EQ(lastPayments,
              (QStringList {QString(), QStringLiteral("2026-10-10"), QStringLiteral("2026-11-29"),
                            QStringLiteral("2026-11-29"), QString()}));
    EXPECT_EQ(rows->first().bakiye, 80000);
}

TEST_F(CollectionTest, MinimumDaysKeepsTheLongWaitingAndTheUnknown)
{
    const struct
    {
        qint64 minDays;
        QStringList expected;
    } cases[] = {
        {0, {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("7")}},
        {10, {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("6"), QStringLiteral("1"), QStringLiteral("7")}},
        {11, {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7")}},
        {60, {QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("7")}},
        {61, {QStringLiteral("2"), QStringLiteral("7")}},
        {1000, {QStringLiteral("7")}},
    };
    for (const auto& c : cases) {
        const std::optional<QVector<CollectionRow>> rows = CollectionStore(m_db.db()).rows(kToday, c.minDays);
        ASSERT_TRUE(rows);
        EXPECT_EQ(numbers(*rows), c.expected) << c.minDays;
    }
}

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
    EXPECT_EQ(numbers(window.shownRows()).size(), 5);
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

TEST_F(CollectionWindowTest, CsvAndPdfHoldTheRowsAsListed)
{
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
    ASSERT_EQ(lines.size(), 7);
    EXPECT_EQ(lines.at(0), QStringLiteral("Müşteri No;Müşteri / Firma;Telefon;GSM;Bakiye;Son Ödeme;Gün"));
    EXPECT_EQ(lines.at(1), QStringLiteral("2;BEKİR ŞEN;;;800,00;;90"));
    EXPECT_EQ(lines.at(3), QStringLiteral("6;\"FERİDE; KAYA\";;;900,00;29.11.2026;10"));
    EXPECT_EQ(lines.at(5), QStringLiteral("7;GÜLER;;;50,00;;"));
    EXPECT_EQ(lines.at(6), QString());

    FileDialog::setNextAnswer(out.filePath(QStringLiteral("liste.pdf")));
    emit child<LumButton>(window, "saveButton")->clicked();
    const QStringList pages = test::pdfPages(out.filePath(QStringLiteral("liste.pdf")));
    ASSERT_EQ(pages.size(), 1);
    const QString page = test::withoutBlanks(pages.first());
    EXPECT_TRUE(page.contains(QStringLiteral("09.12.2026-TARİHLİTAHSİLATLİSTESİ"))) << pages.first().toStdString();
    EXPECT_TRUE(page.contains(QStringLiteral("Enaz10gündür")));
    EXPECT_LT(page.indexOf(QStringLiteral("BEKİRŞEN")), page.indexOf(QStringLiteral("CEMİLEÖZ")));
    EXPECT_TRUE(page.contains(QStringLiteral("6FERİDE;KAYA900,0029.11.202610")));
    EXPECT_TRUE(page.contains(QStringLiteral("ListedekiMüşteri:5")));
    EXPECT_TRUE(page.contains(QStringLiteral("ToplamAlacak:2.350,00")));
    EXPECT_TRUE(messages.empty());
}

} // namespace
