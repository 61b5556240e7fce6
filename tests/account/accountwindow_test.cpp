// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/accountwindow.h"
#include "account/movementlistmodel.h"
#include "accounttestsupport.h"
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/numberformat.h"
#include "entry/entrywindow.h"
#include "messagerecorder.h"
#include "testdatabase.h"
#include "typing.h"
#include "waiting.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSqlQuery>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace zelvora;
using test::child;

namespace {

const QString kKod = QStringLiteral("42");
const QString kCaption = QStringLiteral("AHMET YILMAZ / 42 - ( Alıcı )");
const QDate kToday(2026, 3, 15);

class AccountWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kToday, QTime(10, 0, 0)));
        t.addCustomer(kKod, QStringLiteral("AHMET YILMAZ"));
        t.addCustomer(QStringLiteral("43"), QStringLiteral("Başka Müşteri"));
        t.addMovement(QStringLiteral("43"), kToday, 700, {});
    }
    void TearDown() override { Clock::reset(); }

    std::unique_ptr<AccountWindow> open()
    {
        auto window = std::make_unique<AccountWindow>(t.db());
        window->setWindowTitle(kCaption);
        window->setCustomerNumber(kKod);
        window->onActivated();
        return window;
    }

    QVariant field(const QString& column, const QString& kod = kKod) const
    {
        return t.db().scalar(QStringLiteral("SELECT %1 FROM musteriler WHERE mus_kodu = ?").arg(column), {kod});
    }
    qint64 movements(const QString& kod = kKod) const
    {
        return t.db().scalar(QStringLiteral("SELECT count(*) FROM veresiye WHERE mus_kodu = ?"), {kod}).toLongLong();
    }
    static QStringList totals(const AccountWindow& w)
    {
        return {child<QLineEdit>(&w, QStringLiteral("totalAddedBox"))->text(),
                child<QLineEdit>(&w, QStringLiteral("totalPaidBox"))->text(),
                child<QLineEdit>(&w, QStringLiteral("balanceBox"))->text()};
    }
    static LumButton* button(const AccountWindow& w, const char* name)
    {
        return child<LumButton>(&w, QString::fromLatin1(name));
    }
    void failWritesTo(const char* table, const char* operation)
    {
        ASSERT_TRUE(t.db().exec(QStringLiteral("CREATE TRIGGER engel BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, "
                                               "'disk dolu'); END")
                                    .arg(QString::fromLatin1(operation), QString::fromLatin1(table))));
    }

    test::TestDatabase t;
    test::MessageRecorder messages;
};

TEST_F(AccountWindowTest, TotalsAreShownAndTheBalanceIsStoredOnOpening)
{
    struct Case
    {
        QList<std::pair<qint64, qint64>> rows; // Eklenen, Odenen in kuruş (0 = empty)
        QStringList shown;
        qint64 bakiye;
    };
    const Case cases[] = {
        {{}, {QStringLiteral("0,00"), QStringLiteral("0,00"), QStringLiteral("0,00")}, 0},
        {{{10000, 0}, {5050, 0}, {0, 3000}},
         {QStringLiteral("150,50"), QStringLiteral("30,00"), QStringLiteral("120,50")},
         12050},
        {{{10000, 0}, {0, 15000}},
         {QStringLiteral("100,00"), QStringLiteral("150,00"), QStringLiteral("-50,00")},
         -5000},
        {{{100000000, 0}, {25000000, 0}},
         {QStringLiteral("1.250.000,00"), QStringLiteral("0,00"), QStringLiteral("1.250.000,00")},
         125000000},
        // Beyond what a double holds to the kuruş.
        {{{7037973929394176, 0}, {0, 100}},
         {QStringLiteral("70.379.739.293.941,76"), QStringLiteral("1,00"), QStringLiteral("70.379.739.293.940,76")},
         7037973929394076},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown.join(QLatin1Char(' ')).toStdString());
        t.db().exec(QStringLiteral("DELETE FROM veresiye WHERE mus_kodu = ?"), {kKod});
        for (const auto& [added, paid] : c.rows)
            t.addMovement(kKod, kToday, added ? QVariant(added) : QVariant(), paid ? QVariant(paid) : QVariant());
        const auto window = open();
        EXPECT_EQ(totals(*window), c.shown);
        EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), c.bakiye);
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(AccountWindowTest, GridShowsMovementsInEntryOrderInTurkishForms)
{
    Movement sale;
    sale.musKodu = kKod;
    sale.tarih = QStringLiteral("2026-03-10");
    sale.saat = QStringLiteral("09:05:00");
    sale.aciklama = QStringLiteral("Şeker");
    sale.miktar = 2.5;
    sale.birim = QStringLiteral("Kg");
    sale.kdv = 1.18;
    sale.eklenen = qint64(123456789);
    AccountStore(t.db()).appendMovement(sale);
    t.addMovement(kKod, QDate(2026, 1, 2), {}, 3000, QStringLiteral("ÖDEME YAPILDI"));

    const auto window = open();
    const MovementListModel* model = window->model();
    ASSERT_EQ(model->rowCount(), 2);
    QStringList headings, first, second;
    for (int c = 0; c < model->columnCount(); ++c) {
        headings << model->headerData(c, Qt::Horizontal).toString();
        first << model->index(0, c).data().toString();
        second << model->index(1, c).data().toString();
    }
    EXPECT_EQ(headings.join(QLatin1Char('|')), QStringLiteral("TARİH|SAAT|AÇIKLAMA|MİK|BİRİM|KDV|EKLENEN|ÖDENEN"));
    EXPECT_EQ(first.join(QLatin1Char('|')), QStringLiteral("10.03.2026|09:05:00|Şeker|2,5|Kg|1,18|1.234.567,89|"));
    EXPECT_EQ(second.join(QLatin1Char('|')), QStringLiteral("02.01.2026|12:00:00|ÖDEME YAPILDI|||||30,00"));
}

TEST_F(AccountWindowTest, MovementDependentButtonsFollowTheAccount)
{
    const auto window = open();
    for (const char* name : {"deleteRowButton", "printButton", "resetButton", "paymentButton"})
        EXPECT_FALSE(button(*window, name)->isEnabled()) << name;
    EXPECT_TRUE(button(*window, "creditButton")->isEnabled());

    t.addMovement(kKod, kToday, 1000, {});
    window->ara();
    window->updateButtonStates();
    for (const char* name : {"deleteRowButton", "printButton", "resetButton", "paymentButton"})
        EXPECT_TRUE(button(*window, name)->isEnabled()) << name;
}

TEST_F(AccountWindowTest, DeletingTheSelectedRowAsksFirstAndRecomputes)
{
    t.addMovement(kKod, kToday, 1000, {}, QStringLiteral("bir"));
    t.addMovement(kKod, kToday, 2000, {}, QStringLiteral("iki"));
    const auto window = open();
    auto* grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));
    grid->setCurrentIndex(window->model()->index(1, 0));

    messages.answerNext(MessageBox::Answer::No);
    button(*window, "deleteRowButton")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text, QStringLiteral("SEÇİLİ SATIR SİLİNECEKTİR. EMİN MİSİNİZ?"));
    EXPECT_EQ(messages.last().title, QStringLiteral("KAYIT SİL"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Question);
    EXPECT_EQ(messages.last().buttons, MessageBox::Buttons::YesNo);
    EXPECT_EQ(movements(), 2);

    grid->setCurrentIndex(window->model()->index(1, 0));
    button(*window, "deleteRowButton")->click();
    ASSERT_EQ(window->model()->rowCount(), 1);
    EXPECT_EQ(window->model()->index(0, 2).data().toString(), QStringLiteral("bir"));
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 1000);

    // The last one: all zeros, and the movement commands go away.
    button(*window, "deleteRowButton")->click();
    EXPECT_EQ(totals(*window), (QStringList {QStringLiteral("0,00"), QStringLiteral("0,00"), QStringLiteral("0,00")}));
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 0);
    EXPECT_FALSE(button(*window, "deleteRowButton")->isEnabled());
    EXPECT_EQ(movements(QStringLiteral("43")), 1);
}

TEST_F(AccountWindowTest, ResettingTheAccountKeepsTheCustomer)
{
    for (int i = 0; i < 3; ++i)
        t.addMovement(kKod, kToday, 1000, {});
    const auto window = open();

    messages.answerNext(MessageBox::Answer::No);
    button(*window, "resetButton")->click();
    EXPECT_EQ(messages.last().text, QStringLiteral("Müşterinin Veresiye Hesabı Sıfırlanacaktır. Emin misiniz?"));
    EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat!"));
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_EQ(movements(), 3);

    button(*window, "resetButton")->click();
    EXPECT_EQ(movements(), 0);
    EXPECT_EQ(movements(QStringLiteral("43")), 1);
    EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("AHMET YILMAZ"));
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 0);
    EXPECT_EQ(totals(*window), (QStringList {QStringLiteral("0,00"), QStringLiteral("0,00"), QStringLiteral("0,00")}));
    EXPECT_FALSE(button(*window, "resetButton")->isEnabled());
}

TEST_F(AccountWindowTest, BackWritesTheDayCountOfTheSelectedMovement)
{
    for (int days : {-20, -10, -5, -1})
        t.addMovement(kKod, kToday.addDays(days), 1000, {});
    const auto window = open();
    child<QTableView>(window.get(), QStringLiteral("movementGrid"))->setCurrentIndex(window->model()->index(2, 0));
    button(*window, "backButton")->click();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(field(QStringLiteral("Gun")).toLongLong(), -5);
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 4000);
}

TEST_F(AccountWindowTest, BackWithoutMovementsCountsFromTheLastTransactionDate)
{
    t.db().exec(QStringLiteral("UPDATE musteriler SET Sonislem = '2026-03-03', Gun = NULL WHERE mus_kodu = ?"), {kKod});
    const auto window = open();
    button(*window, "backButton")->click();
    EXPECT_EQ(field(QStringLiteral("Gun")).toLongLong(), -12);
}

TEST_F(AccountWindowTest, StartingAnEntryStoresTodayEvenWhenItIsCancelled)
{
    t.db().exec(QStringLiteral("UPDATE musteriler SET Sonislem = '2025-12-01' WHERE mus_kodu = ?"), {kKod});
    t.addMovement(kKod, kToday, 1000, {});
    const auto window = open();
    struct Case
    {
        const char* button;
        QString heading;
        const char* panel;
    };
    const Case cases[] = {{"creditButton", QStringLiteral("VERESİYE EKLE - ") + kCaption, "creditPanel"},
                          {"paymentButton", QStringLiteral("VERESİYE ÖDE - ") + kCaption, "paymentPanel"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        t.db().exec(QStringLiteral("UPDATE musteriler SET Sonislem = '2025-12-01' WHERE mus_kodu = ?"), {kKod});
        window->ara();
        QString heading;
        bool panelShown = false;
        QTimer::singleShot(0, [&] {
            auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
            ASSERT_NE(entry, nullptr);
            heading
                = child<QLabel>(
                      entry, QString::fromLatin1(c.panel).replace(QStringLiteral("Panel"), QStringLiteral("Heading")))
                      ->text();
            panelShown = child<QWidget>(entry, QString::fromLatin1(c.panel))->isVisible();
            child<LumButton>(
                entry, QString::fromLatin1(c.panel).replace(QStringLiteral("Panel"), QStringLiteral("CancelButton")))
                ->click();
        });
        button(*window, c.button)->click();
        EXPECT_EQ(heading, c.heading);
        EXPECT_TRUE(panelShown);
        EXPECT_EQ(field(QStringLiteral("Sonislem")).toString(), QStringLiteral("2026-03-15"));
        EXPECT_EQ(movements(), 1);
    }
}

TEST_F(AccountWindowTest, AStoredEntryReloadsWhileTheProgressPanelBlinks)
{
    const auto window = open();
    auto* reload = child<QTimer>(window.get(), QStringLiteral("reloadTimer"));
    auto* stop = child<QTimer>(window.get(), QStringLiteral("stopTimer"));
    auto* blink = child<QTimer>(window.get(), QStringLiteral("blinkTimer"));
    auto* panelTimer = child<QTimer>(window.get(), QStringLiteral("panelTimer"));
    auto* panel = child<QLabel>(window.get(), QStringLiteral("progressPanel"));
    EXPECT_EQ(reload->interval(), 50);
    EXPECT_EQ(stop->interval(), 4000);
    EXPECT_EQ(blink->interval(), 200);
    EXPECT_EQ(panelTimer->interval(), 5500);
    EXPECT_TRUE(panelTimer->isActive());
    EXPECT_FALSE(reload->isActive());
    window->show();

    QTimer::singleShot(0, [&] {
        auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(entry, nullptr);
        child<QLineEdit>(entry, QStringLiteral("quantityBox"))->setText(QStringLiteral("2"));
        child<QLineEdit>(entry, QStringLiteral("unitPriceBox"))->setText(QStringLiteral("10"));
        child<LumButton>(entry, QStringLiteral("creditConfirmButton"))->click();
    });
    button(*window, "creditButton")->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->text(), QStringLiteral("İşlem Kaydediliyor... Bekleyiniz."));
    EXPECT_TRUE(reload->isActive());
    EXPECT_TRUE(blink->isActive());

    // The first credit sale enables the payment as soon as the entry window has closed.
    EXPECT_TRUE(button(*window, "paymentButton")->isEnabled());
    EXPECT_EQ(totals(*window),
              (QStringList {QStringLiteral("23,60"), QStringLiteral("0,00"), QStringLiteral("23,60")}));
    // The entry is shown first; its balance reaches the customer row at the next turn of the event loop.
    EXPECT_TRUE(QTest::qWaitFor([&] { return field(QStringLiteral("Bakiye")).toLongLong() == 2360; }, 1000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return stop->isActive(); }, 1000));

    // Red on orange, then orange on red.
    EXPECT_EQ(panel->palette().color(QPalette::WindowText), QColor(0xD0, 0x00, 0x00));
    EXPECT_EQ(panel->palette().color(QPalette::Window), QColor(0xFF, 0x99, 0x33));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return panel->palette().color(QPalette::Window) == QColor(0xD0, 0x00, 0x00); }, 1000));
    EXPECT_EQ(panel->palette().color(QPalette::WindowText), QColor(0xFF, 0x99, 0x33));

    // Shortened here; the stop timer ends the reloads, the panel timer hides the panel and the blinking.
    stop->start(20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !reload->isActive() && !stop->isActive(); }, 1000));
    panelTimer->start(20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !panel->isVisible(); }, 1000));
    EXPECT_FALSE(blink->isActive());
    EXPECT_TRUE(panelTimer->isActive());
    window->hide();
}

// The credit limit box: shown as stored when the panel opens; empty for no limit, a Turkish amount of 0 or
// more; anything else is refused with a message, and nothing typed in the panel is stored.
TEST_F(AccountWindowTest, CreditLimitIsShownCheckedAndStoredWithTheDetails)
{
    struct Case
    {
        QString typed;
        QVariant stored; // null: no limit; invalid: refused
    };
    const QVariant refused;
    const Case cases[] = {
        {QStringLiteral("1.500"), qint64(150000)},
        {QStringLiteral("2500,5"), qint64(250050)},
        {QStringLiteral("0"), qint64(0)},
        {QString(), QVariant(QMetaType::fromType<qint64>())},
        {QStringLiteral("  "), QVariant(QMetaType::fromType<qint64>())},
        {QStringLiteral("-5"), refused},
        {QStringLiteral("(100,00)"), refused},
        {QStringLiteral("on bin"), refused},
        {QStringLiteral("1.5"), refused},
        {QStringLiteral("99999999999999999999"), refused},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        messages.clear();
        ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = 123456, MusteriFirma = 'AHMET' "
                                               "WHERE mus_kodu = ?"),
                                {kKod}));
        const auto window = open();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        auto* limit = child<QLineEdit>(window.get(), QStringLiteral("detailCreditLimit"));
        auto* name = child<QLineEdit>(window.get(), QStringLiteral("detailName"));
        button(*window, "detailsButton")->click();
        EXPECT_EQ(limit->text(), QStringLiteral("1.234,56"));
        EXPECT_FALSE(limit->isEnabled());
        button(*window, "editButton")->click();
        name->setText(QStringLiteral("AHMET BEY"));
        limit->setText(c.typed);
        button(*window, "saveButton")->click();
        if (c.stored.isValid()) {
            EXPECT_TRUE(messages.empty());
            if (c.stored.isNull())
                EXPECT_TRUE(field(QStringLiteral("KrediLimiti")).isNull());
            else
                EXPECT_EQ(field(QStringLiteral("KrediLimiti")).toLongLong(), c.stored.toLongLong());
            EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("AHMET BEY"));
            EXPECT_FALSE(limit->isEnabled());
            EXPECT_EQ(limit->text(), c.stored.isNull() ? QString() : numbers::totals(c.stored.toLongLong()));
        } else {
            ASSERT_EQ(messages.messages().size(), 1);
            EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Kredi limiti geçerli bir tutar değil.")));
            EXPECT_EQ(field(QStringLiteral("KrediLimiti")).toLongLong(), 123456);
            EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("AHMET"));
            EXPECT_TRUE(limit->hasFocus());
            EXPECT_EQ(limit->text(), c.typed);
        }
    }
}

TEST_F(AccountWindowTest, DetailsPanelEditsAndStoresTheCustomer)
{
    const auto window = open();
    auto* panel = child<QGroupBox>(window.get(), QStringLiteral("detailsPanel"));
    auto* name = child<QLineEdit>(window.get(), QStringLiteral("detailName"));
    auto* code = child<QLineEdit>(window.get(), QStringLiteral("detailCode"));
    window->show();

    button(*window, "detailsButton")->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(code->text(), kKod);
    EXPECT_FALSE(name->isEnabled());
    for (const char* locked : {"calculatorButton", "printButton", "resetButton", "backButton", "creditButton",
                               "deleteRowButton", "paymentButton"})
        EXPECT_FALSE(button(*window, locked)->isEnabled()) << locked;
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("movementsFrame"))->isEnabled());

    button(*window, "editButton")->click();
    EXPECT_TRUE(name->isEnabled());
    EXPECT_TRUE(code->isReadOnly());
    EXPECT_TRUE(button(*window, "saveButton")->isVisible());
    name->setText(QStringLiteral("O'Neil \"Gıda\""));
    child<QComboBox>(window.get(), QStringLiteral("detailType"))->setCurrentIndex(1);
    child<QPlainTextEdit>(window.get(), QStringLiteral("detailAddress"))
        ->setPlainText(QStringLiteral("Çarşı 'İç'\nNo 5"));
    button(*window, "saveButton")->click();
    EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("O'Neil \"Gıda\""));
    EXPECT_EQ(field(QStringLiteral("Turu")).toString(), QStringLiteral("Satıcı"));
    EXPECT_EQ(field(QStringLiteral("Adres")).toString(), QStringLiteral("Çarşı 'İç'\nNo 5"));
    EXPECT_EQ(field(QStringLiteral("mus_kodu")).toString(), kKod);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_FALSE(name->isEnabled());
    EXPECT_TRUE(button(*window, "editButton")->isVisible());

    // "İptal" keeps what was typed; "Geri" stores it.
    button(*window, "editButton")->click();
    name->setText(QStringLiteral("Yeni Ad"));
    button(*window, "detailsCancelButton")->click();
    EXPECT_FALSE(panel->isVisible());
    EXPECT_TRUE(button(*window, "backButton")->isEnabled());
    EXPECT_TRUE(button(*window, "deleteRowButton")->isEnabled()); // until the next button-state update
    button(*window, "backButton")->click();
    EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("Yeni Ad"));
    EXPECT_TRUE(messages.empty());
}

TEST_F(AccountWindowTest, DeleteModeKeepsEveryOtherCommandDisabled)
{
    t.addMovement(kKod, kToday, 1000, {});
    auto window = std::make_unique<AccountWindow>(t.db());
    window->setCustomerNumber(kKod);
    window->enterDeleteMode();
    window->onActivated(); // the button-state update enables the movement commands...
    const auto* deleteTimer = child<QTimer>(window.get(), QStringLiteral("deleteModeTimer"));
    EXPECT_TRUE(deleteTimer->isActive());
    EXPECT_EQ(deleteTimer->interval(), 10);
    window->menukilitac2(); // enables them by hand; the 10 ms timer takes them away again
    ZV_WAIT_UNTIL(!button(*window, "backButton")->isEnabled());
    for (const char* name : {"detailsButton", "backButton", "deleteRowButton", "creditButton", "paymentButton",
                             "resetButton", "printButton", "calculatorButton"})
        EXPECT_FALSE(button(*window, name)->isEnabled()) << name;
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("movementsFrame"))->isEnabled());
    const auto* text = child<QLabel>(window.get(), QStringLiteral("deleteText"));
    EXPECT_EQ(text->text(),
              QStringLiteral("Müşterinin Veresiye Hesabı Sıfırlanacak ve Müşteri Kaydı Silinecektir.  Emin misiniz?"));

    child<LumButton>(window.get(), QStringLiteral("deleteCancelButton"))->click();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(movements(), 1);
    EXPECT_TRUE(field(QStringLiteral("id")).isValid());

    window = std::make_unique<AccountWindow>(t.db());
    window->setCustomerNumber(kKod);
    window->enterDeleteMode();
    window->onActivated();
    child<LumButton>(window.get(), QStringLiteral("deleteCustomerButton"))->click();
    EXPECT_EQ(window->result(), QDialog::Accepted);
    EXPECT_EQ(movements(), 0);
    EXPECT_FALSE(field(QStringLiteral("id")).isValid());
    EXPECT_EQ(movements(QStringLiteral("43")), 1);
    EXPECT_TRUE(messages.empty());
}

TEST_F(AccountWindowTest, AFailedCustomerDeletionIsReportedAndNothingGoes)
{
    t.addMovement(kKod, kToday, 1000, {});
    failWritesTo("musteriler", "DELETE");
    const auto window = open();
    window->enterDeleteMode();
    window->show();
    child<LumButton>(window.get(), QStringLiteral("deleteCustomerButton"))->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Müşteri silinemedi")));
    EXPECT_EQ(movements(), 1);
    EXPECT_TRUE(window->isVisible());
}

TEST_F(AccountWindowTest, AFailedCustomerRowWriteIsReported)
{
    t.addMovement(kKod, kToday, 1000, {});
    failWritesTo("musteriler", "UPDATE");
    const auto window = open();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Müşteri kaydı saklanamadı")));
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("disk dolu")));
    EXPECT_TRUE(field(QStringLiteral("Bakiye")).isNull());

    // "Geri" tries again, says so again and keeps the window open: nothing is lost silently.
    window->show();
    button(*window, "backButton")->click();
    EXPECT_EQ(messages.messages().size(), 2);
    EXPECT_TRUE(window->isVisible());
    window->hide();
}

TEST_F(AccountWindowTest, CalculatorStartsTheFirstOneFoundElseSaysSo)
{
    const QByteArray path = qgetenv("PATH");
    const QString bin = QDir(t.folder()).filePath(QStringLiteral("bin"));
    QDir().mkpath(bin);
    qputenv("PATH", QFile::encodeName(bin));
    const auto window = open();

    button(*window, "calculatorButton")->click();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
    EXPECT_TRUE(messages.last().text.contains(QStringLiteral("Hesap makinesi")));

    const QString marker = QDir(t.folder()).filePath(QStringLiteral("started"));
    QFile script(QDir(bin).filePath(QStringLiteral("galculator")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n: > '" + QFile::encodeName(marker) + "'\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    button(*window, "calculatorButton")->click();
    qputenv("PATH", path);
    EXPECT_EQ(messages.messages().size(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(marker); }, 3000));
}

} // namespace

TEST_F(AccountWindowTest, DeleteModeCancelThatCannotStoreTheRowBringsThePanelBack)
{
    t.addMovement(kKod, kToday.addDays(-5), 1000, {}); // "Geri" will write a day count of -5
    auto window = std::make_unique<AccountWindow>(t.db());
    window->setCustomerNumber(kKod);
    window->enterDeleteMode();
    window->onActivated();
    failWritesTo("musteriler", "UPDATE");
    child<LumButton>(window.get(), QStringLiteral("deleteCancelButton"))->click();
    EXPECT_FALSE(messages.empty());
    EXPECT_NE(window->result(), QDialog::Accepted);
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("deletePanel"))->isHidden());
}

namespace {

// Stores a credit sale through the real entry window; during() runs inside the entry window first.
void storeCredit(AccountWindow& window, const QString& description,
                 const std::function<void(EntryWindow*)>& during = {})
{
    QTimer::singleShot(0, [&] {
        auto* entry = qobject_cast<EntryWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(entry, nullptr);
        if (during)
            during(entry);
        child<QLineEdit>(entry, QStringLiteral("descriptionBox"))->setText(description);
        child<QLineEdit>(entry, QStringLiteral("quantityBox"))->setText(QStringLiteral("1"));
        child<QLineEdit>(entry, QStringLiteral("unitPriceBox"))->setText(QStringLiteral("10"));
        child<LumButton>(entry, QStringLiteral("creditConfirmButton"))->click();
    });
    child<LumButton>(&window, QStringLiteral("creditButton"))->click();
}

QString selectedDescription(const AccountWindow& window)
{
    const auto* grid = child<QTableView>(&window, QStringLiteral("movementGrid"));
    return window.model()->index(grid->currentIndex().row(), MovementListModel::Aciklama).data().toString();
}

} // namespace

TEST_F(AccountWindowTest, TheRowDeletedRightAfterAnEntryIsTheOneSelected)
{
    t.addMovement(kKod, kToday.addDays(-9), 1000, {}, QStringLiteral("ESKİ"));
    t.addMovement(kKod, kToday.addDays(-2), 2000, {}, QStringLiteral("ORTA"));
    const auto window = open();
    window->show();
    auto* grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));

    // Stored, clicked and deleted at once, while the reload period of the entry still runs.
    storeCredit(*window, QStringLiteral("YANLIŞ GİRİŞ"));
    ASSERT_EQ(window->model()->rowCount(), 3);
    const QRect wrongRow = grid->visualRect(window->model()->index(2, MovementListModel::Aciklama));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, wrongRow.center());
    QTest::qWait(120); // a few reload ticks
    EXPECT_EQ(selectedDescription(*window), QStringLiteral("YANLIŞ GİRİŞ"));
    messages.answerNext(MessageBox::Answer::Yes);
    button(*window, "deleteRowButton")->click();

    QStringList left;
    for (int r = 0; r < window->model()->rowCount(); ++r)
        left << window->model()->index(r, MovementListModel::Aciklama).data().toString();
    EXPECT_EQ(left, (QStringList {QStringLiteral("ESKİ"), QStringLiteral("ORTA")}));
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 3000);
    window->hide();
}

TEST_F(AccountWindowTest, TheSelectionSurvivesEveryReload)
{
    for (const char* d : {"bir", "iki", "üç", "dört"})
        t.addMovement(kKod, kToday, 1000, {}, QString::fromUtf8(d));
    const auto window = open();
    window->show();
    auto* grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));
    EXPECT_EQ(grid->currentIndex().row(), 0); // the oldest until the user picks another

    grid->setCurrentIndex(window->model()->index(2, 0));
    window->onActivated(); // reactivated
    EXPECT_EQ(selectedDescription(*window), QStringLiteral("üç"));

    storeCredit(*window, QStringLiteral("beş")); // entry stored
    EXPECT_EQ(selectedDescription(*window), QStringLiteral("üç"));

    // The selected movement deleted: the first row stands, as after any reread that lost its row.
    grid->setCurrentIndex(window->model()->index(0, 0));
    button(*window, "deleteRowButton")->click();
    EXPECT_EQ(window->model()->rowCount(), 4);
    EXPECT_EQ(selectedDescription(*window), QStringLiteral("iki"));
    grid->setCurrentIndex(window->model()->index(1, 0));
    window->ara();
    EXPECT_EQ(selectedDescription(*window), QStringLiteral("üç"));
    window->hide();
}

TEST_F(AccountWindowTest, AnEntryIsReadOnceAndShownEvenWhenTheReloadTimerIsStopped)
{
    t.addMovement(kKod, kToday, 100000, {});
    const auto window = open();
    window->show();
    auto* reload = child<QTimer>(window.get(), QStringLiteral("reloadTimer"));
    QSignalSpy resets(window->model(), &QAbstractItemModel::modelReset);

    // The previous entry's stop timer fires just as this entry is stored: the reload timer never ticks.
    storeCredit(*window, QStringLiteral("geç kalan"),
                [&](EntryWindow* entry) { QObject::connect(entry, &EntryWindow::entryStored, reload, &QTimer::stop); });
    EXPECT_EQ(totals(*window),
              (QStringList {QStringLiteral("1.011,80"), QStringLiteral("0,00"), QStringLiteral("1.011,80")}));
    EXPECT_TRUE(QTest::qWaitFor([&] { return field(QStringLiteral("Bakiye")).toLongLong() == 101180; }, 1000));

    // An ordinary entry: its reload period re-reads nothing after the one reload.
    resets.clear();
    storeCredit(*window, QStringLiteral("sıradan"));
    EXPECT_TRUE(reload->isActive());
    QTest::qWait(300);
    EXPECT_EQ(resets.size(), 1);
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 102360);
    window->hide();
}

TEST_F(AccountWindowTest, QuickSuccessiveEntriesAllShowOnceWhateverTheTimersDo)
{
    // A long account with the grid at its end, so the page that receives the entries was read before.
    ASSERT_TRUE(
        t.db().exec(QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                                   "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Eklenen) "
                                   "SELECT ?, '2026-03-01', '12:00:00', 'H' || i, 100 FROM n"),
                    {kKod}));
    const auto window = open();
    window->show();
    auto* grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));
    auto* reload = child<QTimer>(window.get(), QStringLiteral("reloadTimer"));
    auto* stop = child<QTimer>(window.get(), QStringLiteral("stopTimer"));
    const MovementListModel* model = window->model();
    grid->scrollToBottom();
    QTest::qWait(10);

    const std::function<void(EntryWindow*)> races[] = {
        {},
        // The previous entry's stop timer fires just as this one is stored: the reload timer never ticks.
        [&](EntryWindow* entry) { QObject::connect(entry, &EntryWindow::entryStored, reload, &QTimer::stop); },
        // The stop timer ends the reload period at the next turn of the event loop.
        [&](EntryWindow* entry) {
            QObject::connect(entry, &EntryWindow::entryStored, stop, [stop] { stop->start(0); });
        },
        // The account is read once more before the entry window has closed.
        [&](EntryWindow* entry) {
            QObject::connect(entry, &EntryWindow::entryStored, window.get(), [&] { window->onActivated(); });
        },
    };
    QStringList stored;
    for (const auto& race : races) {
        stored << QStringLiteral("giriş %1").arg(stored.size() + 1);
        storeCredit(*window, stored.last(), race);
        if (stored.size() % 2 == 0)
            QTest::qWait(60); // a reload tick now and then
        grid->scrollToBottom();

        const int rows = model->rowCount();
        ASSERT_EQ(rows, movements());
        QStringList last;
        for (int r = rows - int(stored.size()) - 1; r < rows; ++r)
            last << model->index(r, MovementListModel::Aciklama).data().toString();
        EXPECT_EQ(last, QStringList {QStringLiteral("H300")} + stored);
        const qint64 added = 300 * 100 + stored.size() * 1180;
        EXPECT_EQ(totals(*window),
                  (QStringList {numbers::totals(added), QStringLiteral("0,00"), numbers::totals(added)}));
    }
    QSqlQuery all = t.db().prepare(QStringLiteral("SELECT id FROM veresiye WHERE mus_kodu = ? ORDER BY id"));
    all.addBindValue(kKod);
    ASSERT_TRUE(all.exec());
    for (int r = 0; all.next(); ++r)
        ASSERT_EQ(model->movementAt(r)->id, all.value(0).toLongLong()) << "row " << r;

    // Straight back, before the event loop has turned: the balance is stored all the same.
    button(*window, "backButton")->click();
    EXPECT_EQ(field(QStringLiteral("Bakiye")).toLongLong(), 300 * 100 + 4 * 1180);
}

TEST_F(AccountWindowTest, EscNeverClosesAndThePanelsAreLeftOnlyByTheirButtons)
{
    const auto window = open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());

    // Esc while a name is half typed in the details panel stores nothing and closes nothing.
    button(*window, "detailsButton")->click();
    child<LumButton>(window.get(), QStringLiteral("editButton"))->click();
    auto* name = child<QLineEdit>(window.get(), QStringLiteral("detailName"));
    name->setFocus();
    name->setText(QStringLiteral("AHM"));
    QTest::keyClick(name, Qt::Key_Escape);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->close()); // nor the close box while the panel is open
    EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("AHMET YILMAZ"));
    child<LumButton>(window.get(), QStringLiteral("detailsCancelButton"))->click();
    EXPECT_TRUE(window->close()); // closed otherwise, the row is stored as it stands
    EXPECT_EQ(field(QStringLiteral("MusteriFirma")).toString(), QStringLiteral("AHM"));

    const auto deleting = open();
    deleting->enterDeleteMode();
    deleting->show();
    QTest::keyClick(deleting.get(), Qt::Key_Escape);
    EXPECT_FALSE(deleting->close());
    EXPECT_TRUE(deleting->isVisible());
    child<LumButton>(deleting.get(), QStringLiteral("deleteCancelButton"))->click();
    EXPECT_FALSE(deleting->isVisible());
    EXPECT_EQ(movements(QStringLiteral("43")), 1);
}

TEST_F(AccountWindowTest, AmountColumnsShowWholeValuesBesideAScrollBar)
{
    for (int i = 0; i < 40; ++i)
        t.addMovement(kKod, kToday, i % 2 ? QVariant(123456789) : QVariant(), i % 2 ? QVariant() : QVariant(99999999));
    const auto window = open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    auto* grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));
    EXPECT_TRUE(grid->verticalScrollBar()->isVisible());
    EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
    const QFontMetrics metrics(grid->font());
    for (int column : {int(MovementListModel::Tarih), int(MovementListModel::Saat), int(MovementListModel::Kdv),
                       int(MovementListModel::Eklenen), int(MovementListModel::Odenen)}) {
        for (int r = 0; r < 2; ++r) {
            const QString text = window->model()->index(r, column).data().toString();
            EXPECT_LE(metrics.horizontalAdvance(text) + 8, grid->columnWidth(column)) << text.toStdString();
        }
    }
    EXPECT_EQ(window->model()->index(1, MovementListModel::Eklenen).data().toString(), QStringLiteral("1.234.567,89"));
    window->hide();
}

TEST_F(AccountWindowTest, TheKeyboardWorksTheDeletePanelAndLeavesTheGrid)
{
    t.addMovement(kKod, kToday, 1000, {});
    t.addMovement(kKod, kToday, 2000, {});
    const auto window = open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    // Tab moves on from the movements instead of walking their cells.
    auto* grid = child<QTableView>(window.get(), QStringLiteral("movementGrid"));
    grid->setFocus();
    const QModelIndex current = grid->currentIndex();
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_FALSE(grid->hasFocus());
    EXPECT_EQ(grid->currentIndex(), current);
    window->hide();

    // In delete mode the keys go to the panel, not to the boxes behind it.
    const auto deleting = open();
    deleting->enterDeleteMode();
    deleting->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(deleting.get()));
    EXPECT_EQ(QApplication::focusWidget(), child<LumButton>(deleting.get(), QStringLiteral("deleteCustomerButton")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), child<LumButton>(deleting.get(), QStringLiteral("deleteCancelButton")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(deleting->isVisible());
    EXPECT_EQ(movements(), 2);
}

TEST_F(AccountWindowTest, TheDetailsPanelIsWorkedByKeyboardAndTheAddressReplacesItsBlank)
{
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET Adres = ' ' WHERE mus_kodu = ?"), {kKod}));
    const auto window = open();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    const auto focused = [] { return QApplication::focusWidget(); };
    const auto press = [&](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(focused(), key, modifiers);
    };

    // Opened from the keyboard, the panel has the focus; "Düzenle" hands it to the first field.
    button(*window, "detailsButton")->setFocus();
    press(Qt::Key_Return);
    ASSERT_EQ(focused(), button(*window, "detailsCancelButton"));
    press(Qt::Key_Tab);
    ASSERT_EQ(focused(), button(*window, "editButton"));
    press(Qt::Key_Return);
    ASSERT_EQ(focused(), child<QComboBox>(window.get(), QStringLiteral("detailType")));

    // Reached with Tab, the stored blank of the address is replaced by what is typed.
    auto* taxNumber = child<QLineEdit>(window.get(), QStringLiteral("detailTaxNumber"));
    taxNumber->setFocus();
    press(Qt::Key_Tab);
    auto* address = child<QPlainTextEdit>(window.get(), QStringLiteral("detailAddress"));
    ASSERT_EQ(focused(), address);
    test::typeText(address, QStringLiteral("Mevlana Cad. No 5"));
    button(*window, "saveButton")->setFocus();
    press(Qt::Key_Return);
    EXPECT_EQ(field(QStringLiteral("Adres")).toString(), QStringLiteral("Mevlana Cad. No 5"));
    EXPECT_EQ(focused(), button(*window, "editButton"));

    // "İptal" closes the panel and the focus goes back to the button that opened it.
    press(Qt::Key_Tab, Qt::ShiftModifier);
    ASSERT_EQ(focused(), button(*window, "detailsCancelButton"));
    press(Qt::Key_Return);
    EXPECT_FALSE(child<QWidget>(window.get(), QStringLiteral("detailsPanel"))->isVisible());
    EXPECT_EQ(focused(), button(*window, "detailsButton"));
    EXPECT_TRUE(messages.empty());
}

// Who stored a movement and when shows as its row's tooltip, in every column; a movement stored before that was
// kept has none.
TEST_F(AccountWindowTest, AMovementsRowNamesWhoStoredItAndWhen)
{
    t.addMovement(kKod, kToday, 1000, {}, QStringLiteral("eski"));
    t.addMovement(kKod, kToday, 2000, {}, QStringLiteral("yeni"));
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE veresiye SET Kullanici = 'ADMIN', Kayit = '2026-12-11 14:05:09' "
                                           "WHERE Aciklama = 'yeni'")));
    const auto window = open();
    const MovementListModel* model = window->model();
    ASSERT_EQ(model->rowCount(), 2);
    for (int column = 0; column < MovementListModel::ColumnCount; ++column) {
        EXPECT_EQ(model->index(1, column).data(Qt::ToolTipRole).toString(),
                  QStringLiteral("Kaydeden: ADMIN, 11.12.2026 14:05"));
        EXPECT_TRUE(model->index(0, column).data(Qt::ToolTipRole).toString().isEmpty());
    }
}
