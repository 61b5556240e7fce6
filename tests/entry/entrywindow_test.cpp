// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/clock.h"
#include "entry/entrywindow.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "typing.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

const QString kKod = QStringLiteral("42");

struct StoredRow
{
    QString tarih, saat, aciklama, birim;
    QVariant miktar, kdv, eklenen, odenen;
};

class EntryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(QDate(2026, 3, 15), QTime(14, 5, 9)));
        t.addCustomer(kKod, QStringLiteral("AHMET YILMAZ"));
    }
    void TearDown() override
    {
        window.reset();
        Clock::reset();
    }

    // The window as the account window opens it, shown and active so that focus can be checked.
    void open(EntryWindow::Panel panel)
    {
        window = std::make_unique<EntryWindow>(t.db());
        window->setCustomerNumber(kKod);
        window->openPanel(panel, QStringLiteral("BAŞLIK"));
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        window->onActivated();
    }

    template<class T = QLineEdit> T* w(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void set(const char* box, const QString& text) { w(box)->setText(text); }
    // Focus into the box, type, and leave it with Tab.
    void typeAndLeave(const char* box, const QString& text)
    {
        QLineEdit* edit = w(box);
        edit->setFocus();
        edit->clear();
        test::typeText(edit, text);
        QTest::keyClick(edit, Qt::Key_Tab);
    }

    QList<StoredRow> stored() const
    {
        QSqlQuery q = t.db().prepare(QStringLiteral("SELECT Tarih, Saat, Aciklama, Birim, Miktar, KDV, Eklenen, Odenen "
                                                    "FROM veresiye WHERE mus_kodu = ? ORDER BY id"));
        q.addBindValue(kKod);
        q.exec();
        QList<StoredRow> rows;
        while (q.next())
            rows.append({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                         q.value(4), q.value(5), q.value(6), q.value(7)});
        return rows;
    }

    test::TestDatabase t;
    test::MessageRecorder messages;
    std::unique_ptr<EntryWindow> window;
};

TEST_F(EntryWindowTest, CreditTotalFollowsTheInputsAndIsStoredInKurus)
{
    struct Case
    {
        QString quantity, price;
        bool tax;
        QString total;
        qint64 eklenen;
        double kdv;
    };
    // The total is shown in the money format as the inputs are typed, and stored exactly to the kuruş.
    const Case cases[] = {
        {QStringLiteral("2"), QStringLiteral("10"), true, QStringLiteral("23,60"), 2360, 1.18},
        {QStringLiteral("2"), QStringLiteral("10"), false, QStringLiteral("20,00"), 2000, 1},
        {QStringLiteral("0,5"), QStringLiteral("17,90"), true, QStringLiteral("10,56"), 1056, 1.18},
        {QStringLiteral("2"), QStringLiteral("-5"), true, QStringLiteral("(11,80)"), -1180, 1.18},
        {QStringLiteral("1.000"), QStringLiteral("1.250,00"), false, QStringLiteral("1.250.000,00"), 125000000, 1},
        // Halves of a kuruş go away from zero.
        {QStringLiteral("3"), QStringLiteral("0,335"), false, QStringLiteral("1,01"), 101, 1},
        {QStringLiteral("3"), QStringLiteral("(0,335)"), false, QStringLiteral("(1,01)"), -101, 1},
        // Beyond what a double holds to the kuruş.
        {QStringLiteral("1"), QStringLiteral("70.379.739.293.941,76"), false, QStringLiteral("70.379.739.293.941,76"),
         7037973929394176, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.quantity + QLatin1Char(' ') + c.price).toStdString());
        t.db().exec(QStringLiteral("DELETE FROM veresiye"));
        open(EntryWindow::Panel::Credit);
        if (!c.tax) {
            w<QCheckBox>("taxTick")->click();
            EXPECT_EQ(w<QCheckBox>("taxTick")->text(), QStringLiteral("Yok"));
            EXPECT_EQ(w("factorBox")->text(), QStringLiteral("1"));
            EXPECT_TRUE(w("factorBox")->isReadOnly());
        }
        set("quantityBox", c.quantity);
        set("unitPriceBox", c.price);
        EXPECT_EQ(w("totalBox")->text(), c.total);
        QSignalSpy storedSignal(window.get(), &EntryWindow::entryStored);
        w<LumButton>("creditConfirmButton")->click();
        EXPECT_EQ(w("totalBox")->text(), c.total);
        EXPECT_EQ(storedSignal.size(), 1);
        EXPECT_EQ(window->result(), QDialog::Accepted);
        const auto rows = stored();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows.first().eklenen.toLongLong(), c.eklenen);
        EXPECT_DOUBLE_EQ(rows.first().kdv.toDouble(), c.kdv);
        EXPECT_TRUE(rows.first().odenen.isNull());
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryWindowTest, CreditRowCarriesTheTypedValues)
{
    open(EntryWindow::Panel::Credit);
    EXPECT_EQ(w<QLabel>("creditHeading")->text(), QStringLiteral("BAŞLIK"));
    EXPECT_FALSE(w<QWidget>("paymentPanel")->isVisible());
    EXPECT_TRUE(window->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w("descriptionBox")->hasFocus());
    EXPECT_EQ(w("creditDateBox")->text(), QStringLiteral("15.03.2026"));
    EXPECT_EQ(w("creditTimeBox")->text(), QStringLiteral("14:05:09"));
    EXPECT_EQ(w<QComboBox>("unitBox")->currentText(), QStringLiteral("Adet"));
    EXPECT_GT(w<QComboBox>("unitBox")->count(), 5);

    set("descriptionBox", QStringLiteral("Şeker 'küp'"));
    set("quantityBox", QStringLiteral("2,5"));
    w<QComboBox>("unitBox")->setFocus();
    QTest::keyClick(w<QComboBox>("unitBox"), Qt::Key_Down); // picks "Kg"
    EXPECT_EQ(window->unitMirror(), QStringLiteral("Kg"));
    typeAndLeave("unitPriceBox", QStringLiteral("1.250"));
    EXPECT_EQ(w("unitPriceBox")->text(), QStringLiteral("1.250,00"));
    set("creditDateBox", QStringLiteral("1.2.2026"));
    set("creditTimeBox", QStringLiteral("08:30"));
    w<LumButton>("creditConfirmButton")->click();

    const auto rows = stored();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows.first().tarih, QStringLiteral("2026-02-01"));
    EXPECT_EQ(rows.first().saat, QStringLiteral("08:30:00"));
    EXPECT_EQ(rows.first().aciklama, QStringLiteral("Şeker 'küp'"));
    EXPECT_EQ(rows.first().birim, QStringLiteral("Kg"));
    EXPECT_DOUBLE_EQ(rows.first().miktar.toDouble(), 2.5);
    EXPECT_EQ(rows.first().eklenen.toLongLong(), 368750); // 1.250 × 2,5 × 1,18
}

TEST_F(EntryWindowTest, CreditIsRefusedWithAMessageUntilItMakesSense)
{
    struct Case
    {
        const char* box;
        QString text;
        QString message;
    };
    // In the order of the checks: empty fields first, then fields that are not numbers, dates or times.
    const Case cases[] = {
        {"descriptionBox", QString(), QStringLiteral("Açıklama Yazın.")},
        {"quantityBox", QString(), QStringLiteral("Miktarı Girin.")},
        {"unitBox", QString(), QStringLiteral("Birimi Seçin.")},
        {"unitPriceBox", QString(), QStringLiteral("Birim Fiyatını Yazın")},
        {"quantityBox", QStringLiteral("abc"), QStringLiteral("Geçerli Bir Miktar Girin.")},
        {"unitPriceBox", QStringLiteral("on lira"), QStringLiteral("Geçerli Bir Birim Fiyatı Girin.")},
        // A dot typed as the decimal mark would store ten to a thousand times the amount.
        {"quantityBox", QStringLiteral("0.5"), QStringLiteral("Geçerli Bir Miktar Girin.")},
        {"unitPriceBox", QStringLiteral("17.90"), QStringLiteral("Geçerli Bir Birim Fiyatı Girin.")},
        {"unitPriceBox", QStringLiteral("12.5"), QStringLiteral("Geçerli Bir Birim Fiyatı Girin.")},
        {"factorBox", QStringLiteral("%18"), QStringLiteral("Geçerli Bir KDV Oranı Girin.")},
        // A percentage typed for the factor, or a factor outside 0 % to 100 % VAT.
        {"factorBox", QStringLiteral("18"), QStringLiteral("Geçerli Bir KDV Oranı Girin.")},
        {"factorBox", QStringLiteral("0,99"), QStringLiteral("Geçerli Bir KDV Oranı Girin.")},
        {"factorBox", QStringLiteral("2,01"), QStringLiteral("Geçerli Bir KDV Oranı Girin.")},
        {"creditDateBox", QStringLiteral("31.02.2026"), QStringLiteral("Geçerli Bir Tarih Girin.")},
        {"creditTimeBox", QStringLiteral("25:10"), QStringLiteral("Geçerli Bir Saat Girin.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        open(EntryWindow::Panel::Credit);
        set("quantityBox", QStringLiteral("2"));
        set("unitPriceBox", QStringLiteral("10"));
        if (QString::fromLatin1(c.box) == QLatin1String("unitBox")) {
            t.db().exec(QStringLiteral("DELETE FROM birimler"));
            window->birimgrup();
        } else {
            set(c.box, c.text);
        }
        // The time, checked last, is wrong in every case: a later wrong field never comes first.
        if (QString::fromLatin1(c.box) != QLatin1String("creditTimeBox"))
            set("creditTimeBox", QStringLiteral("99"));
        messages.clear();
        w<LumButton>("creditConfirmButton")->click();
        ASSERT_EQ(messages.messages().size(), 1);
        EXPECT_EQ(messages.last().text, c.message);
        EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat!!"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Exclamation);
        EXPECT_TRUE(w<QWidget>(c.box)->hasFocus());
        EXPECT_TRUE(window->isVisible());
        EXPECT_TRUE(stored().isEmpty());
        t.db().exec(QStringLiteral("INSERT INTO birimler (birimadi) SELECT 'Adet' WHERE NOT EXISTS "
                                   "(SELECT 1 FROM birimler)"));
    }
}

TEST_F(EntryWindowTest, ATotalBeyondSixtyFourBitsIsRefused)
{
    open(EntryWindow::Panel::Credit);
    set("quantityBox", QStringLiteral("1.000.000"));
    set("unitPriceBox", QStringLiteral("100.000.000.000.000"));
    EXPECT_TRUE(w("totalBox")->text().isEmpty());
    w<LumButton>("creditConfirmButton")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("Toplam Fiyat Çok Büyük. Miktarı ve Birim Fiyatını Kontrol Edin."));
    EXPECT_TRUE(w("unitPriceBox")->hasFocus());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(stored().isEmpty());
}

TEST_F(EntryWindowTest, TheMovementAndTheCustomerRowAreStoredTogether)
{
    const auto customer = [&](const char* column) {
        return t.db().scalar(QStringLiteral("SELECT %1 FROM musteriler WHERE mus_kodu = ?").arg(QLatin1String(column)),
                             {kKod});
    };
    // A balance never computed, with a movement already in the account, and an old last-transaction date.
    ASSERT_TRUE(t.db().exec(
        QStringLiteral("UPDATE musteriler SET Bakiye = NULL, Sonislem = '2026-01-01', Gun = -73 WHERE mus_kodu = ?"),
        {kKod}));
    t.addMovement(kKod, QDate(2026, 1, 1), 10000, {});

    // No turn of the event loop after "Onayla": the row is already in the file with the movement.
    open(EntryWindow::Panel::Payment);
    set("amountBox", QStringLiteral("30"));
    w<LumButton>("paymentConfirmButton")->click();
    EXPECT_EQ(customer("Bakiye").toLongLong(), 7000);
    EXPECT_EQ(customer("Sonislem").toString(), QStringLiteral("2026-03-15"));
    EXPECT_EQ(customer("Gun").toLongLong(), 0);
    open(EntryWindow::Panel::Credit);
    set("quantityBox", QStringLiteral("2"));
    set("unitPriceBox", QStringLiteral("10"));
    w<LumButton>("creditConfirmButton")->click();
    EXPECT_EQ(customer("Bakiye").toLongLong(), 7000 + 2360);
    ASSERT_EQ(stored().size(), 3);
    EXPECT_TRUE(messages.empty());

    // A customer row that cannot be written keeps the movement out of the file as well.
    ASSERT_TRUE(t.db().exec(
        QStringLiteral("CREATE TRIGGER engel BEFORE UPDATE ON musteriler BEGIN SELECT RAISE(ABORT, 'kilitli'); END")));
    open(EntryWindow::Panel::Payment);
    set("amountBox", QStringLiteral("50"));
    w<LumButton>("paymentConfirmButton")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("kilitli")));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(stored().size(), 3);
    EXPECT_EQ(customer("Bakiye").toLongLong(), 9360);
}

TEST_F(EntryWindowTest, FactorsFromNoVatToFullVatAreStored)
{
    for (const QString& factor : {QStringLiteral("1"), QStringLiteral("2")}) {
        open(EntryWindow::Panel::Credit);
        set("quantityBox", QStringLiteral("1"));
        set("unitPriceBox", QStringLiteral("10"));
        set("factorBox", factor);
        w<LumButton>("creditConfirmButton")->click();
        EXPECT_FALSE(window->isVisible()) << factor.toStdString();
    }
    ASSERT_EQ(stored().size(), 2);
    EXPECT_EQ(stored().at(0).eklenen.toLongLong(), 1000);
    EXPECT_EQ(stored().at(1).eklenen.toLongLong(), 2000);
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryWindowTest, BothPanelsHaveOneSizeInOnePlace)
{
    // A larger font, as on a screen with bigger text: the credit panel's rows then need more than the minimum.
    const QFont before = QApplication::font();
    QFont larger(QStringLiteral("DejaVu Sans"));
    larger.setPixelSize(20);
    QApplication::setFont(larger);
    const auto restore = qScopeGuard([&] { QApplication::setFont(before); });
    open(EntryWindow::Panel::Credit);
    const QRect credit = w<QWidget>("creditPanel")->geometry();
    const QSize creditWindow = window->size();
    open(EntryWindow::Panel::Payment);
    EXPECT_EQ(w<QWidget>("paymentPanel")->geometry(), credit);
    EXPECT_EQ(window->size(), creditWindow);
    EXPECT_GE(credit.width(), 640);
    EXPECT_GE(credit.height(), 240);
}

TEST_F(EntryWindowTest, FactorAndPriceBoxesAreRewrittenWhenLeft)
{
    open(EntryWindow::Panel::Credit);
    typeAndLeave("factorBox", QStringLiteral("1.08"));
    EXPECT_EQ(w("factorBox")->text(), QStringLiteral("1,08"));
    typeAndLeave("factorBox", QStringLiteral("1,2a"));
    EXPECT_EQ(w("factorBox")->text(), QStringLiteral("1,2A"));
    typeAndLeave("unitPriceBox", QStringLiteral("-1234,5"));
    EXPECT_EQ(w("unitPriceBox")->text(), QStringLiteral("(1.234,50)"));
    typeAndLeave("unitPriceBox", QStringLiteral("abc"));
    EXPECT_EQ(w("unitPriceBox")->text(), QStringLiteral("abc"));
    // A total that cannot be computed keeps its text.
    set("totalBox", QStringLiteral("7"));
    set("quantityBox", QStringLiteral("abc"));
    EXPECT_EQ(w("totalBox")->text(), QStringLiteral("7"));
}

TEST_F(EntryWindowTest, PaymentIsStoredAsItsAmountInKurus)
{
    struct Case
    {
        QString typed, shown;
        qint64 odenen;
    };
    const Case cases[]
        = {{QStringLiteral("150"), QStringLiteral("150,00"), 15000},
           {QStringLiteral("(20,00)"), QStringLiteral("(20,00)"), -2000},
           {QStringLiteral("-20"), QStringLiteral("(20,00)"), -2000},
           {QStringLiteral("1.234,565"), QStringLiteral("1.234,57"), 123457},
           {QStringLiteral("70.379.739.293.941,76"), QStringLiteral("70.379.739.293.941,76"), 7037973929394176}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        t.db().exec(QStringLiteral("DELETE FROM veresiye"));
        open(EntryWindow::Panel::Payment);
        EXPECT_TRUE(w("amountBox")->hasFocus());
        EXPECT_FALSE(w<QWidget>("creditPanel")->isVisible());
        typeAndLeave("amountBox", c.typed);
        EXPECT_EQ(w("amountBox")->text(), c.shown);
        w<LumButton>("paymentConfirmButton")->click();
        const auto rows = stored();
        ASSERT_EQ(rows.size(), 1);
        EXPECT_EQ(rows.first().odenen.toLongLong(), c.odenen);
        EXPECT_EQ(rows.first().aciklama, QStringLiteral("ÖDEME YAPILDI"));
        EXPECT_EQ(rows.first().tarih, QStringLiteral("2026-03-15"));
        EXPECT_TRUE(rows.first().eklenen.isNull());
        EXPECT_TRUE(rows.first().miktar.isNull());
        EXPECT_TRUE(rows.first().birim.isEmpty());
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryWindowTest, PaymentIsRefusedWithAMessageUntilItMakesSense)
{
    struct Case
    {
        const char* box;
        QString text;
        QString message;
    };
    const Case cases[] = {
        {"paymentDescriptionBox", QString(), QStringLiteral("Açıklama Yazın.")},
        {"amountBox", QString(), QStringLiteral("Ödenen Miktarı Girin.")},
        {"amountBox", QStringLiteral("yüz"), QStringLiteral("Geçerli Bir Ödeme Miktarı Girin.")},
        {"amountBox", QStringLiteral("12.5"), QStringLiteral("Geçerli Bir Ödeme Miktarı Girin.")},
        {"amountBox", QStringLiteral("92.233.720.368.547.758,08"), QStringLiteral("Ödenen Miktar Çok Büyük.")},
        {"paymentDateBox", QStringLiteral("dün"), QStringLiteral("Geçerli Bir Tarih Girin.")},
        {"paymentTimeBox", QStringLiteral("12.30"), QStringLiteral("Geçerli Bir Saat Girin.")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        open(EntryWindow::Panel::Payment);
        set("amountBox", QStringLiteral("50"));
        set(c.box, c.text);
        messages.clear();
        w<LumButton>("paymentConfirmButton")->click();
        ASSERT_EQ(messages.messages().size(), 1);
        EXPECT_EQ(messages.last().text, c.message);
        EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat!!"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Exclamation);
        EXPECT_TRUE(w<QWidget>(c.box)->hasFocus());
        EXPECT_TRUE(stored().isEmpty());
    }
}

TEST_F(EntryWindowTest, KeysAndCancelCloseWithoutStoring)
{
    open(EntryWindow::Panel::Credit);
    set("quantityBox", QStringLiteral("2"));
    set("unitPriceBox", QStringLiteral("10"));
    QTest::keyClick(w("descriptionBox"), Qt::Key_Return);
    EXPECT_TRUE(w("quantityBox")->hasFocus());
    // Enter on a button moves on as well: only "Onayla" itself stores.
    w<LumButton>("creditConfirmButton")->setFocus();
    QTest::keyClick(w<LumButton>("creditConfirmButton"), Qt::Key_Enter);
    EXPECT_TRUE(window->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->result(), QDialog::Rejected);

    open(EntryWindow::Panel::Payment);
    set("amountBox", QStringLiteral("10"));
    w<LumButton>("paymentCancelButton")->click();
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_TRUE(messages.empty());
}

TEST_F(EntryWindowTest, AFailedStoreIsReportedAndTheWindowStaysOpen)
{
    ASSERT_TRUE(t.db().exec(
        QStringLiteral("CREATE TRIGGER engel BEFORE INSERT ON veresiye BEGIN SELECT RAISE(ABORT, 'disk dolu'); END")));
    open(EntryWindow::Panel::Payment);
    set("amountBox", QStringLiteral("50"));
    QSignalSpy storedSignal(window.get(), &EntryWindow::entryStored);
    w<LumButton>("paymentConfirmButton")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Ödeme kaydedilemedi")));
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("disk dolu")));
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(storedSignal.size(), 0);
}

// A credit that takes the balance over the credit limit asks first: "Hayır" stores nothing and leaves the window
// as it was, "Evet" stores the credit once.
TEST_F(EntryWindowTest, ACreditOverTheLimitIsStoredOnlyAfterEvet)
{
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 140000, KrediLimiti = 150000")));
    open(EntryWindow::Panel::Credit);
    set("descriptionBox", QStringLiteral("Un"));
    set("quantityBox", QStringLiteral("2"));
    set("unitPriceBox", QStringLiteral("50")); // 118,00 with VAT: 1.518,00 in all
    w("quantityBox")->setFocus();
    QSignalSpy storedSignal(window.get(), &EntryWindow::entryStored);

    messages.answerNext(MessageBox::Answer::No);
    w<LumButton>("creditConfirmButton")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Bu kayıtla müşterinin bakiyesi kredi limitini (1.500,00 TL) "
                             "aşıyor. Yine de kaydedilsin mi?"));
    EXPECT_EQ(messages.last().buttons, MessageBox::Buttons::YesNo);
    EXPECT_TRUE(stored().isEmpty());
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler")).toLongLong(), 140000);
    EXPECT_EQ(storedSignal.size(), 0);
    EXPECT_TRUE(window->isVisible());
    EXPECT_NE(window->result(), QDialog::Accepted);
    EXPECT_TRUE(w("quantityBox")->hasFocus());
    EXPECT_EQ(w("descriptionBox")->text(), QStringLiteral("Un"));
    EXPECT_EQ(w("quantityBox")->text(), QStringLiteral("2"));
    EXPECT_EQ(w("unitPriceBox")->text(), QStringLiteral("50"));
    EXPECT_TRUE(w<QTimer>("totalTimer")->isActive());

    messages.answerNext(MessageBox::Answer::Yes);
    w<LumButton>("creditConfirmButton")->click();
    EXPECT_EQ(messages.messages().size(), 2);
    ASSERT_EQ(stored().size(), 1);
    EXPECT_EQ(stored().first().eklenen.toLongLong(), 11800);
    EXPECT_EQ(t.db().scalar(QStringLiteral("SELECT Bakiye FROM musteriler")).toLongLong(), 151800);
    EXPECT_EQ(storedSignal.size(), 1);
    EXPECT_EQ(window->result(), QDialog::Accepted);
}

TEST_F(EntryWindowTest, NoLimitQuestionAtTheLimitWithoutOneOrForAPayment)
{
    struct Case
    {
        const char* what;
        qint64 bakiye;
        QVariant limit;
        EntryWindow::Panel panel;
    };
    // The credit below is 118,00; the payment 50,00.
    const Case cases[] = {
        {"credit up to the limit", 138200, qint64(150000), EntryWindow::Panel::Credit},
        {"credit without a limit", 99999900, QVariant(), EntryWindow::Panel::Credit},
        {"payment while over the limit", 200000, qint64(150000), EntryWindow::Panel::Payment},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        t.db().exec(QStringLiteral("DELETE FROM veresiye"));
        ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = ?, KrediLimiti = ?"),
                                {c.bakiye, c.limit.isNull() ? QVariant(QMetaType::fromType<qint64>()) : c.limit}));
        open(c.panel);
        if (c.panel == EntryWindow::Panel::Credit) {
            set("quantityBox", QStringLiteral("2"));
            set("unitPriceBox", QStringLiteral("50"));
            w<LumButton>("creditConfirmButton")->click();
        } else {
            set("amountBox", QStringLiteral("50"));
            w<LumButton>("paymentConfirmButton")->click();
        }
        EXPECT_TRUE(messages.empty()) << messages.last().text.toStdString();
        EXPECT_EQ(stored().size(), 1);
        EXPECT_EQ(window->result(), QDialog::Accepted);
    }
}

} // namespace

// The frameless window is framed by a 2-pixel blue border on every side, in both panels.
TEST_F(EntryWindowTest, TheWindowIsFramedInBlue)
{
    const QRgb blue = qRgb(0x2F, 0x55, 0x97);
    for (const EntryWindow::Panel panel : {EntryWindow::Panel::Credit, EntryWindow::Panel::Payment}) {
        open(panel);
        const QImage image = window->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const int right = image.width() - 1, bottom = image.height() - 1;
        const QPoint inBorder[] = {{0, 0},
                                   {1, 1},
                                   {right, 0},
                                   {right - 1, bottom / 2},
                                   {0, bottom},
                                   {right, bottom},
                                   {image.width() / 2, 1},
                                   {image.width() / 2, bottom - 1},
                                   {1, bottom / 2},
                                   {0, bottom / 3}};
        for (const QPoint& p : inBorder)
            EXPECT_EQ(image.pixel(p), blue) << p.x() << ',' << p.y();
    }
}
