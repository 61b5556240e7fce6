// SPDX-License-Identifier: GPL-3.0-or-later
// "Hesap Ekstresi": the statement's balances, the window driven from the keyboard, and the printed pages.
#include "app/filedialog.h"
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/statementstore.h"
#include "messagerecorder.h"
#include "pdftext.h"
#include "testdatabase.h"
#include "tools/statementwindow.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QDate kToday(2026, 12, 9);

class StatementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0)));
        m_db.addCustomer(QStringLiteral("7"), QStringLiteral("ŞÜKRÜ GÜLEÇ"));
        m_db.addCustomer(QStringLiteral("8"), QStringLiteral("AYŞE KILIÇ"));
    }
    void TearDown() override { Clock::reset(); }

    // A movement through the account store, which keeps the stored balance as the account window does.
    void append(const QString& musKodu, const QDate& date, const QString& time, qint64 added, qint64 paid,
                const QString& text = QStringLiteral("Satış"))
    {
        Movement m;
        m.musKodu = musKodu;
        m.tarih = date.toString(Qt::ISODate);
        m.saat = time;
        m.aciklama = text;
        m.eklenen = added ? QVariant(added) : QVariant();
        m.odenen = paid ? QVariant(paid) : QVariant();
        QString error;
        ASSERT_TRUE(AccountStore(m_db.db()).appendMovement(m, &error)) << error.toStdString();
    }

    // Customer 7: 1.000,00 and 7,00 (undated) before December, a payment of 300,00 in November, then in the
    // first week of December 50,50 and 100,00 added and 20,00 paid; the 12th lies after the range.
    void fillAccount()
    {
        append(QStringLiteral("7"), QDate(2026, 10, 15), QStringLiteral("12:00:00"), 100000, 0);
        append(QStringLiteral("7"), QDate(2026, 11, 20), QStringLiteral("12:00:00"), 0, 30000, QStringLiteral("Nakit"));
        // Entered later, earlier in the day: the statement orders by time, not by entry.
        append(QStringLiteral("7"), QDate(2026, 12, 1), QStringLiteral("16:30:00"), 0, 2000, QStringLiteral("Ödeme"));
        append(QStringLiteral("7"), QDate(2026, 12, 1), QStringLiteral("09:15:00"), 5050, 0, QStringLiteral("Çay"));
        append(QStringLiteral("7"), QDate(2026, 12, 5), QStringLiteral("12:00:00"), 10000, 0, QStringLiteral("Şeker"));
        append(QStringLiteral("8"), QDate(2026, 12, 3), QStringLiteral("12:00:00"), 55500, 0);
        ASSERT_TRUE(
            m_db.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Eklenen) VALUES (?, NULL, ?)"),
                           {QStringLiteral("7"), qint64(700)}));
    }

    qint64 storedBalance(const QString& musKodu) const
    {
        return AccountStore(m_db.db()).customer(musKodu)->bakiye.toLongLong();
    }

    test::TestDatabase m_db;
};

TEST_F(StatementTest, CarriesInTheEarlierMovementsAndRunsTheBalanceInDateAndTimeOrder)
{
    fillAccount();
    QString error;
    const std::optional<AccountStatement> s
        = StatementStore(m_db.db()).statement(QStringLiteral("7"), QDate(2026, 12, 1), QDate(2026, 12, 7), &error);
    ASSERT_TRUE(s) << error.toStdString();
    EXPECT_EQ(s->carriedIn, 100000 - 30000 + 700);
    QStringList texts;
    QVector<qint64> balances;
    for (const StatementLine& l : s->lines) {
        texts << l.aciklama;
        balances << l.balance;
    }
    EXPECT_EQ(texts, (QStringList {QStringLiteral("Çay"), QStringLiteral("Ödeme"), QStringLiteral("Şeker")}));
    EXPECT_EQ(balances, (QVector<qint64> {75750, 73750, 83750}));
    EXPECT_EQ(s->totalAdded, 15050);
    EXPECT_EQ(s->totalPaid, 2000);
    EXPECT_EQ(s->closing, 83750);
}

TEST_F(StatementTest, ARangeEndingTodayEndsAtTheStoredBalance)
{
    fillAccount();
    // The undated movement was written past the store; the account window would count it too.
    ASSERT_TRUE(m_db.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = Bakiye + 700 WHERE mus_kodu = '7'")));
    append(QStringLiteral("7"), kToday, QStringLiteral("08:00:00"), 123456, 0);
    append(QStringLiteral("7"), kToday, QStringLiteral("09:00:00"), 0, 99);
    const StatementStore store(m_db.db());
    for (const QDate& first : {QDate(2026, 12, 1), QDate(2000, 1, 1), kToday, QDate(2026, 11, 20)}) {
        const std::optional<AccountStatement> s = store.statement(QStringLiteral("7"), first, kToday);
        ASSERT_TRUE(s);
        EXPECT_EQ(s->closing, storedBalance(QStringLiteral("7"))) << first.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(s->lines.isEmpty() ? s->carriedIn : s->lines.last().balance, s->closing);
    }
    const std::optional<AccountStatement> other = store.statement(QStringLiteral("8"), QDate(2026, 12, 1), kToday);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->closing, storedBalance(QStringLiteral("8")));
}

TEST_F(StatementTest, AnEmptyRangeStillPrintsTheCarriedInAndClosingBalance)
{
    fillAccount();
    StatementReport report;
    ASSERT_TRUE(report.prepare(m_db.db(), QStringLiteral("7"), QStringLiteral("ŞÜKRÜ GÜLEÇ"), QDate(2026, 11, 21),
                               QDate(2026, 11, 30)));
    EXPECT_EQ(report.report().rowCount(), 0);
    EXPECT_EQ(report.statement().carriedIn, 70700);
    EXPECT_EQ(report.statement().closing, 70700);

    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("bos.pdf"));
    ASSERT_TRUE(report.report().writePdf(pdf));
    const QStringList pages = test::pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString page = test::withoutBlanks(pages.first());
    for (const char* expected : {"ŞÜKRÜGÜLEÇ", "MüşteriNo:7", "21.11.2026-30.11.2026", "DevredenBakiye707,00",
                                 "KapanışBakiyesi:707,00", "DönemToplamı:0,000,00", "09.12.2026"})
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected << "\n" << pages.first().toStdString();
}

TEST_F(StatementTest, PrintedPagesCarryEveryMovementWithItsBalance)
{
    fillAccount();
    // Enough movements for several pages: the customer and range head every page, the totals end the last.
    for (int i = 0; i < 120; ++i)
        append(QStringLiteral("7"), QDate(2026, 12, 6), QStringLiteral("10:00:00"), 100, 0);
    StatementReport report;
    ASSERT_TRUE(report.prepare(m_db.db(), QStringLiteral("7"), QStringLiteral("ŞÜKRÜ GÜLEÇ"), QDate(2026, 12, 1),
                               QDate(2026, 12, 7)));
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("ekstre.pdf"));
    ASSERT_TRUE(report.report().writePdf(pdf));
    const QStringList pages = test::pdfPages(pdf);
    ASSERT_GE(pages.size(), 3);
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QString page = test::withoutBlanks(pages.at(i));
        EXPECT_TRUE(page.contains(QStringLiteral("MüşteriNo:7"))) << i;
        EXPECT_TRUE(page.contains(QStringLiteral("01.12.2026-07.12.2026"))) << i;
        EXPECT_TRUE(page.contains(QStringLiteral("%1/%2").arg(i + 1).arg(pages.size()))) << i;
        EXPECT_EQ(page.contains(QStringLiteral("KapanışBakiyesi")), i == pages.size() - 1) << i;
        EXPECT_EQ(page.contains(QStringLiteral("DevredenBakiye")), i == 0) << i;
    }
    const QString first = test::withoutBlanks(pages.first());
    // Date, time, text, added, (no paid), balance.
    EXPECT_TRUE(first.contains(QStringLiteral("01.12.202609:15:00Çay50,50757,50"))) << pages.first().toStdString();
    EXPECT_TRUE(first.contains(QStringLiteral("01.12.202616:30:00Ödeme20,00737,50")));
    EXPECT_TRUE(test::withoutBlanks(pages.last()).contains(QStringLiteral("KapanışBakiyesi:957,50")));
}

class StatementWindowTest : public StatementTest
{
protected:
    // Presses Enter on the focused control; a preview that opens is closed at once. True when one opened.
    bool enterOpensPreview(StatementWindow& window)
    {
        bool opened = false;
        QTimer::singleShot(0, [&] {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                preview->reject();
            }
        });
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Return);
        return opened;
    }

    template<typename T> static T* child(const QWidget& w, const char* name)
    {
        return w.findChild<T*>(QString::fromLatin1(name));
    }
};

TEST_F(StatementWindowTest, ProposesTheSelectedCustomerAndThisMonthAndEnterShowsTheStatement)
{
    fillAccount();
    StatementWindow window(m_db.db(), QStringLiteral("7"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* number = child<QLineEdit>(window, "customerNumberBox");
    ASSERT_TRUE(number);
    EXPECT_EQ(QApplication::focusWidget(), number);
    EXPECT_EQ(number->text(), QStringLiteral("7"));
    EXPECT_EQ(child<QLabel>(window, "customerNameLabel")->text(), QStringLiteral("ŞÜKRÜ GÜLEÇ"));
    EXPECT_EQ(child<QDateEdit>(window, "firstDayBox")->date(), QDate(2026, 12, 1));
    EXPECT_EQ(child<QDateEdit>(window, "lastDayBox")->date(), kToday);

    // Tab walks number, range, then the main button.
    QStringList chain;
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        chain << QApplication::focusWidget()->objectName();
    }
    EXPECT_EQ(chain,
              (QStringList {QStringLiteral("firstDayBox"), QStringLiteral("lastDayBox"), QStringLiteral("printButton"),
                            QStringLiteral("saveButton")}));

    // Another customer typed: the name follows the number, and Enter from the box shows that statement.
    number->setFocus();
    number->clear();
    test::typeText(number, QStringLiteral("8"));
    EXPECT_EQ(child<QLabel>(window, "customerNameLabel")->text(), QStringLiteral("AYŞE KILIÇ"));
    test::MessageRecorder messages;
    EXPECT_TRUE(enterOpensPreview(window));
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(window.report().statement().closing, 55500);
    EXPECT_EQ(window.report().report().rowCount(), 1);

    // The offscreen platform does not hand the activation back when the preview closes.
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());

    // Enter on a button works that button only: "Kapat" closes without showing anything.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    child<LumButton>(window, "closeButton")->setFocus();
    EXPECT_FALSE(enterOpensPreview(window));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(StatementWindowTest, WrongInputsAreRefusedWithAMessageAndNothingPrinted)
{
    fillAccount();
    struct Case
    {
        const char* what;
        QString number;
        QDate first;
        QDate last;
        QString message;
    };
    const Case cases[] = {
        {"unknown customer", QStringLiteral("99"), QDate(2026, 12, 1), kToday,
         QStringLiteral("99 numaralı bir müşteri bulunamadı.")},
        {"no number", QString(), QDate(2026, 12, 1), kToday, QStringLiteral("Lütfen müşteri numarasını yazınız.")},
        {"range the wrong way round", QStringLiteral("7"), kToday, QDate(2026, 12, 1),
         QStringLiteral("Başlangıç tarihi bitiş tarihinden sonra olamaz.")},
    };
    for (const Case& c : cases) {
        StatementWindow window(m_db.db(), c.number);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        child<QDateEdit>(window, "firstDayBox")->setDate(c.first);
        child<QDateEdit>(window, "lastDayBox")->setDate(c.last);
        child<QLineEdit>(window, "customerNumberBox")->setFocus();
        test::MessageRecorder messages;
        EXPECT_FALSE(enterOpensPreview(window)) << c.what;
        ASSERT_EQ(messages.messages().size(), 1) << c.what;
        EXPECT_EQ(messages.last().text, c.message) << c.what;
        EXPECT_EQ(messages.last().title, QStringLiteral("Hesap Ekstresi"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Exclamation);
        EXPECT_EQ(window.report().report().rowCount(), 0) << c.what;
        EXPECT_TRUE(window.isVisible()) << c.what;
        // Nor through the PDF button: no file is asked for or written.
        messages.clear();
        QTemporaryDir out;
        const QString pdf = out.filePath(QStringLiteral("ekstre.pdf"));
        FileDialog::setNextAnswer(pdf);
        emit child<LumButton>(window, "saveButton")->clicked();
        EXPECT_EQ(messages.messages().size(), 1) << c.what;
        EXPECT_FALSE(QFileInfo::exists(pdf)) << c.what;
    }
    // The answer no dialog took: a later dialog is cancelled rather than shown.
    FileDialog::setNextAnswer(QString());
}

TEST_F(StatementWindowTest, PdfButtonWritesTheStatementToTheChosenFile)
{
    fillAccount();
    StatementWindow window(m_db.db(), QStringLiteral("7"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    child<QDateEdit>(window, "firstDayBox")->setDate(QDate(2026, 12, 1));
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("ekstre"));
    FileDialog::setNextAnswer(pdf);
    test::MessageRecorder messages;
    emit child<LumButton>(window, "saveButton")->clicked();
    EXPECT_TRUE(messages.empty());
    const QStringList pages = test::pdfPages(pdf + QStringLiteral(".pdf"));
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(test::withoutBlanks(pages.first()).contains(QStringLiteral("KapanışBakiyesi:837,50")));
}

} // namespace
