// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "customers/mainwindow.h"
#include "data/appconfig.h"
#include "data/customerstore.h"
#include "data/turkishtext.h"
#include "entry/newcustomerstore.h"
#include "entry/newcustomerwindow.h"
#include "messagerecorder.h"
#include "pgserver.h"
#include "testdatabase.h"
#include "tills.h"
#include "typing.h"
#include "waiting.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "widgets/lumbutton/lumbutton.h"

using namespace zelvora;

namespace {

void setCounter(const test::TestDatabase& t, const QVariant& value)
{
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE son_musterino SET musterino = ?"), {value}));
}

// The counter's rows as text (a server keeps the counter as text, SQLite as the number it is).
QStringList counterRows(const test::TestDatabase& t)
{
    QStringList values;
    QSqlQuery q = t.db().prepare(QStringLiteral("SELECT musterino FROM son_musterino ORDER BY rowid"));
    q.exec();
    while (q.next())
        values << q.value(0).toString();
    return values;
}

qint64 customerCount(const test::TestDatabase& t)
{
    return t.db().scalar(QStringLiteral("SELECT count(*) FROM musteriler")).toLongLong();
}

// The stored row of a customer number: every field the window writes, in table order.
QStringList storedRow(const test::TestDatabase& t, const QString& musKodu)
{
    QSqlQuery q = t.db().prepare(QStringLiteral(
        "SELECT MusteriFirma, Turu, Telefon1, Telefon2, Sehir, vd, vdn, Adres, sira_anahtari, arama_anahtari, "
        "CASE WHEN Bakiye IS NULL AND Sonislem IS NULL AND Gun IS NULL THEN 1 ELSE 0 END FROM musteriler WHERE "
        "mus_kodu = ?"));
    q.addBindValue(musKodu);
    q.exec();
    QStringList fields;
    if (q.next())
        for (int i = 0; i < 11; ++i)
            fields << q.value(i).toString();
    return fields;
}

struct Window
{
    explicit Window(test::TestDatabase& t)
        : window(t.db())
    {
        typeBox = window.findChild<QComboBox*>(QStringLiteral("typeBox"));
        nameBox = window.findChild<QLineEdit*>(QStringLiteral("nameBox"));
        numberBox = window.findChild<QLineEdit*>(QStringLiteral("numberBox"));
        addressBox = window.findChild<QPlainTextEdit*>(QStringLiteral("addressBox"));
        saveButton = window.findChild<LumButton*>(QStringLiteral("saveButton"));
        cancelButton = window.findChild<LumButton*>(QStringLiteral("cancelButton"));
    }
    void showActive()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    }
    QLineEdit* box(const char* name) const { return window.findChild<QLineEdit*>(QLatin1String(name)); }

    NewCustomerWindow window;
    QComboBox* typeBox;
    QLineEdit* nameBox;
    QLineEdit* numberBox;
    QPlainTextEdit* addressBox;
    LumButton* saveButton;
    LumButton* cancelButton;
};

NewCustomer named(const QString& musKodu, const QString& name)
{
    NewCustomer customer;
    customer.musKodu = musKodu;
    customer.musteriFirma = name;
    customer.turu = QStringLiteral("Alıcı");
    return customer;
}

class NewCustomerNumberTest : public test::EngineTest
{
};
class NewCustomerWindowTest : public test::EngineTest
{
};
INSTANTIATE_TEST_SUITE_P(Engines, NewCustomerNumberTest, test::kEngines, test::engineName);
INSTANTIATE_TEST_SUITE_P(Engines, NewCustomerWindowTest, test::kEngines, test::engineName);

} // namespace

TEST(NewCustomerNumber, NextAfterTheStoredCounter)
{
    struct Case
    {
        QVariant counter;
        QString proposed;
    };
    const Case cases[] = {
        {41, QStringLiteral("42")},
        {0, QStringLiteral("1")},
        {QVariant(), QStringLiteral("1")},
        {QString(), QStringLiteral("1")},
        {QStringLiteral("abc"), QStringLiteral("1")},
        {QStringLiteral(" 41 "), QStringLiteral("42")},
        {41.0, QStringLiteral("42")},
        {41.5, QStringLiteral("1")},
        {-3, QStringLiteral("1")},
        // Plain digits beyond single precision: no "1e+07", no number handed out twice.
        {9999999, QStringLiteral("10000000")},
        {16777216, QStringLiteral("16777217")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.counter.toString().toStdString());
        EXPECT_EQ(NewCustomerStore::nextNumber(c.counter), c.proposed);
    }
}

TEST_P(NewCustomerNumberTest, LastCounterRowIsProposedAndMovedOn)
{
    test::TestDatabase t(GetParam());
    ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO son_musterino (musterino) VALUES (7), (41)")));
    NewCustomerStore store(t.db());
    EXPECT_EQ(store.proposedNumber(), QStringLiteral("42"));
    ASSERT_EQ(store.add(named(QStringLiteral("42"), QStringLiteral("Ali"))), NewCustomerStore::Result::Stored);
    EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("0"), QStringLiteral("7"), QStringLiteral("42")}));
    EXPECT_EQ(store.proposedNumber(), QStringLiteral("43"));
}

TEST_P(NewCustomerNumberTest, MissingCounterRowProposesOneAndIsCreated)
{
    test::TestDatabase t(GetParam());
    ASSERT_TRUE(t.db().exec(QStringLiteral("DELETE FROM son_musterino")));
    NewCustomerStore store(t.db());
    EXPECT_EQ(store.proposedNumber(), QStringLiteral("1"));
    ASSERT_EQ(store.add(named(QStringLiteral("1"), QStringLiteral("Ali"))), NewCustomerStore::Result::Stored);
    EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("1")}));
    EXPECT_EQ(store.proposedNumber(), QStringLiteral("2"));
}

// Two tills save a new customer at the same moment, both having proposed the same number: each customer gets a
// number of its own from the counter, taken in its own transaction. On a server both tills first wait for a
// third that holds the counter, so they run into each other for certain.
TEST_P(NewCustomerNumberTest, TwoTillsAddingAtOnceGetNumbersOfTheirOwn)
{
    test::TestDatabase t(GetParam());
    setCounter(t, 41);
    // Declared before the holder, so a failed wait ends the holder's lock before the tills are waited for.
    std::future<std::pair<NewCustomerStore::Result, QString>> first;
    std::future<std::pair<NewCustomerStore::Result, QString>> second;
    std::unique_ptr<Database> holder;
    if (GetParam() == Engine::PostgreSQL) {
        holder = t.openAnother();
        ASSERT_TRUE(holder->exec(QStringLiteral("BEGIN")));
        ASSERT_TRUE(holder->exec(QStringLiteral("SELECT musterino FROM son_musterino FOR UPDATE")));
    }
    const auto add = [](const QString& name) {
        return [name](Database& db) {
            QString number;
            const auto result = NewCustomerStore(db).addUnderNextNumber(named(QStringLiteral("42"), name), &number);
            return std::make_pair(result, number);
        };
    };
    first = test::onOtherTill(t.target(), add(QStringLiteral("Ali")));
    if (holder)
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 1);
    second = test::onOtherTill(t.target(), add(QStringLiteral("Veli")));
    if (holder) {
        ZV_WAIT_EQ(test::lockWaiters(t.db()), 2);
        ASSERT_TRUE(holder->exec(QStringLiteral("COMMIT")));
    }
    const auto [firstResult, firstNumber] = first.get();
    const auto [secondResult, secondNumber] = second.get();
    EXPECT_EQ(firstResult, NewCustomerStore::Result::Stored);
    EXPECT_EQ(secondResult, NewCustomerStore::Result::Stored);
    QStringList numbers {firstNumber, secondNumber};
    numbers.sort();
    EXPECT_EQ(numbers, (QStringList {QStringLiteral("42"), QStringLiteral("43")}));
    if (holder) {
        EXPECT_EQ(firstNumber, QStringLiteral("42")); // the first to wait is the first served
    }
    EXPECT_EQ(customerCount(t), 2);
    EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("43")}));
}

TEST_P(NewCustomerWindowTest, SavesUnderTheProposedNumberAndMovesTheCounter)
{
    test::TestDatabase t(GetParam());
    setCounter(t, 41);
    test::MessageRecorder messages;
    {
        Window w(t);
        EXPECT_EQ(w.window.objectName(), QStringLiteral("musteriekle"));
        EXPECT_EQ(w.window.windowTitle(), QStringLiteral("Yeni Müşteri Ekle"));
        EXPECT_EQ(w.numberBox->text(), QStringLiteral("42"));
        EXPECT_TRUE(w.numberBox->isReadOnly());
        w.showActive();
        w.typeBox->setCurrentIndex(1);
        test::typeText(w.nameBox, QStringLiteral("Şükrü Ağaç"));
        test::typeText(w.box("cityBox"), QStringLiteral("Iğdır"));
        w.saveButton->click();
        EXPECT_TRUE(messages.empty());
        EXPECT_EQ(w.window.result(), QDialog::Accepted);
        EXPECT_FALSE(w.window.isVisible());
    }
    // Untouched optional boxes keep their single space; the name keys follow the name.
    EXPECT_EQ(storedRow(t, QStringLiteral("42")),
              (QStringList {QStringLiteral("Şükrü Ağaç"), QStringLiteral("Satıcı"), QStringLiteral(" "),
                            QStringLiteral(" "), QStringLiteral(" Iğdır"), QStringLiteral(" "), QStringLiteral(" "),
                            QStringLiteral(" "), turkish::sortKey(QStringLiteral("Şükrü Ağaç")),
                            turkish::searchKey(QStringLiteral("Şükrü Ağaç")), QStringLiteral("1")}));
    EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("42")}));
    Window next(t);
    EXPECT_EQ(next.numberBox->text(), QStringLiteral("43"));
}

// The server goes away under the window: the message says so, what was typed stays, and the same press stores
// the customer once the server is back.
TEST(NewCustomerWindowLostServer, SayTheServerIsAwayKeepTheBoxesAndStoreOnceItIsBack)
{
    QString error;
    test::PgServer* server = test::PgServer::instance(&error);
    ASSERT_NE(server, nullptr) << error.toStdString();
    test::TestDatabase t(Engine::PostgreSQL);
    test::MessageRecorder messages;
    Window w(t);
    w.showActive();
    w.typeBox->setCurrentIndex(0);
    w.nameBox->setText(QStringLiteral("Ayşe Kaya"));

    ASSERT_TRUE(server->stop(&error)) << error.toStdString();
    w.saveButton->click();
    ASSERT_TRUE(server->startAgain(&error)) << error.toStdString();
    ASSERT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(messages.last().text,
              QStringLiteral("Sunucuya (127.0.0.1:%1) ulaşılamıyor; müşteri kaydedilmedi. "
                             "Bağlantı gelince yeniden deneyin.")
                  .arg(server->port()));
    EXPECT_EQ(messages.last().title, QStringLiteral("Bağlantı Hatası"));
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_EQ(w.nameBox->text(), QStringLiteral("Ayşe Kaya"));
    EXPECT_EQ(customerCount(t), 0);

    w.saveButton->click();
    EXPECT_EQ(messages.messages().size(), 1);
    EXPECT_EQ(w.window.result(), QDialog::Accepted);
    EXPECT_EQ(customerCount(t), 1);
}

TEST(NewCustomerWindow, BoxesAreStoredAsTheyStand)
{
    test::TestDatabase t;
    test::MessageRecorder messages;
    Window w(t);
    w.typeBox->setCurrentIndex(0);
    const QString name = QStringLiteral("O'Neil \"Gıda\"'); DROP TABLE musteriler; --");
    w.nameBox->setText(name);
    w.box("taxNumberBox")->setText(QStringLiteral("12'34"));
    w.box("gsmBox")->clear();
    w.addressBox->setPlainText(QStringLiteral("Atatürk Cad. No:5\nKat 2 'A'"));
    w.saveButton->click();
    ASSERT_TRUE(messages.empty());
    const QStringList row = storedRow(t, QStringLiteral("1"));
    ASSERT_EQ(row.size(), 11);
    EXPECT_EQ(row.at(0), name);
    EXPECT_EQ(row.at(3), QString());
    EXPECT_EQ(row.at(6), QStringLiteral("12'34"));
    EXPECT_EQ(row.at(7), QStringLiteral("Atatürk Cad. No:5\nKat 2 'A'"));
}

TEST(NewCustomerWindow, MissingTypeOrNameIsAskedForAndNothingStored)
{
    struct Case
    {
        int typeIndex;
        QString name;
        QString message;
        const char* focused;
    };
    const Case cases[] = {
        {-1, QStringLiteral("Ali"), QStringLiteral("Hesap Türü Seçin"), "typeBox"},
        {0, QString(), QStringLiteral("Müşteri Adını Yazın"), "nameBox"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        test::TestDatabase t;
        test::MessageRecorder messages;
        Window w(t);
        w.showActive();
        w.typeBox->setCurrentIndex(c.typeIndex);
        w.nameBox->setText(c.name);
        w.box("phoneBox")->setFocus();
        w.saveButton->click();
        ASSERT_EQ(messages.messages().size(), 1);
        EXPECT_EQ(messages.last().text, c.message);
        EXPECT_EQ(messages.last().title, QStringLiteral("Dikkat!!"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Exclamation);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QLatin1String(c.focused));
        EXPECT_TRUE(w.window.isVisible());
        EXPECT_EQ(customerCount(t), 0);
        EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("0")}));
    }
}

TEST(NewCustomerWindow, NameOfOneBlankIsAccepted)
{
    test::TestDatabase t;
    test::MessageRecorder messages;
    Window w(t);
    w.typeBox->setCurrentIndex(0);
    w.nameBox->setText(QStringLiteral(" "));
    w.saveButton->click();
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(storedRow(t, QStringLiteral("1")).value(0), QStringLiteral(" "));
}

TEST_P(NewCustomerWindowTest, DuplicateNumberIsReportedAndNothingChanges)
{
    test::TestDatabase t(GetParam());
    setCounter(t, 41);
    t.addCustomer(QStringLiteral("42"), QStringLiteral("Eski Müşteri"));
    test::MessageRecorder messages;
    Window w(t);
    w.showActive();
    w.typeBox->setCurrentIndex(0);
    w.nameBox->setText(QStringLiteral("Yeni Müşteri"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        w.saveButton->click();
        ASSERT_EQ(messages.messages().size(), attempt + 1);
        EXPECT_EQ(messages.last().text,
                  QStringLiteral("BU MÜŞTERİ NUMARASI KAYITLARDA MEVCUT. PROGRAMINIZDAKİ BU HATAYI LÜTFEN ")
                      + AppConfig::makerAddress() + QStringLiteral(" ADRESİNE BİLDİRİNİZ."));
        EXPECT_EQ(messages.last().title, QStringLiteral("Bilgi"));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Information);
        EXPECT_TRUE(w.window.isVisible());
    }
    w.cancelButton->click();
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.result(), QDialog::Rejected);
    EXPECT_EQ(customerCount(t), 1);
    EXPECT_EQ(storedRow(t, QStringLiteral("42")).value(0), QStringLiteral("Eski Müşteri"));
    EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("41")}));
}

// A failure in either write leaves neither behind and is reported, the window staying open.
TEST(NewCustomerWindow, FailedStoreIsReportedAndLeavesNothing)
{
    const char* triggers[] = {
        "CREATE TRIGGER fails BEFORE INSERT ON musteriler BEGIN SELECT RAISE(ABORT, 'disk dolu'); END",
        "CREATE TRIGGER fails BEFORE UPDATE ON son_musterino BEGIN SELECT RAISE(ABORT, 'disk dolu'); END",
    };
    for (const char* trigger : triggers) {
        SCOPED_TRACE(trigger);
        test::TestDatabase t;
        setCounter(t, 5);
        ASSERT_TRUE(t.db().exec(QString::fromLatin1(trigger)));
        test::MessageRecorder messages;
        Window w(t);
        w.showActive();
        w.typeBox->setCurrentIndex(0);
        w.nameBox->setText(QStringLiteral("Ali"));
        w.saveButton->click();
        ASSERT_EQ(messages.messages().size(), 1);
        EXPECT_TRUE(messages.last().text.startsWith(QStringLiteral("Müşteri Kaydedilemedi.")));
        EXPECT_EQ(messages.last().icon, MessageBox::Icon::Stop);
        EXPECT_TRUE(w.window.isVisible());
        EXPECT_EQ(customerCount(t), 0);
        EXPECT_EQ(counterRows(t), (QStringList {QStringLiteral("5")}));
    }
}

TEST(NewCustomerWindow, EnterMovesLikeTabAndEscLeavesWithoutSaving)
{
    test::TestDatabase t;
    test::MessageRecorder messages;
    Window w(t);
    w.showActive();
    const QStringList order
        = {QStringLiteral("typeBox"),      QStringLiteral("nameBox"),     QStringLiteral("phoneBox"),
           QStringLiteral("gsmBox"),       QStringLiteral("cityBox"),     QStringLiteral("taxOfficeBox"),
           QStringLiteral("taxNumberBox"), QStringLiteral("addressBox"),  QStringLiteral("numberBox"),
           QStringLiteral("saveButton"),   QStringLiteral("cancelButton")};
    EXPECT_EQ(QApplication::focusWidget()->objectName(), order.first());
    w.typeBox->setCurrentIndex(0);
    w.nameBox->setText(QStringLiteral("Ali"));
    for (qsizetype i = 1; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), i % 2 ? Qt::Key_Return : Qt::Key_Enter);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), order.at(i));
    }
    // Enter in the address box and on "Kaydet" only moved on: no new line, nothing stored.
    EXPECT_EQ(w.addressBox->toPlainText(), QStringLiteral(" "));
    EXPECT_EQ(customerCount(t), 0);

    w.nameBox->setFocus();
    QTest::keyClick(w.nameBox, Qt::Key_Escape);
    EXPECT_FALSE(w.window.isVisible());
    EXPECT_EQ(w.window.result(), QDialog::Rejected);
    EXPECT_EQ(customerCount(t), 0);
    EXPECT_TRUE(messages.empty());
}

TEST(NewCustomerWindow, ProposalFollowsTheCounterWhileOpen)
{
    test::TestDatabase t;
    setCounter(t, 41);
    Window w(t);
    EXPECT_EQ(w.numberBox->text(), QStringLiteral("42"));
    setCounter(t, 99);
    ZV_WAIT_EQ(w.numberBox->text(), QStringLiteral("100"));
}

TEST(NewCustomerWindow, AddressReachedByKeyboardIsReplacedByWhatIsTyped)
{
    test::TestDatabase t;
    test::MessageRecorder messages;
    Window w(t);
    w.showActive();
    struct Case
    {
        const char* from;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    const Case cases[] = {
        {"taxNumberBox", Qt::Key_Tab, Qt::NoModifier},
        {"taxNumberBox", Qt::Key_Return, Qt::NoModifier},
        {"numberBox", Qt::Key_Backtab, Qt::ShiftModifier},
    };
    const QString address = QStringLiteral("Mevlana Cad. No 5");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.from);
        w.addressBox->setPlainText(QStringLiteral(" "));
        w.box(c.from)->setFocus();
        QTest::keyClick(w.box(c.from), c.key, c.modifiers);
        ASSERT_EQ(QApplication::focusWidget(), w.addressBox);
        test::typeText(w.addressBox, address);
        EXPECT_EQ(w.addressBox->toPlainText(), address);
    }
    w.typeBox->setCurrentIndex(0);
    w.nameBox->setText(QStringLiteral("Ali"));
    w.saveButton->click();
    ASSERT_TRUE(messages.empty());
    EXPECT_EQ(storedRow(t, QStringLiteral("1")).value(7), address);
}

TEST(NewCustomerWindow, MainWindowAddsAndListsTheNewCustomer)
{
    test::TestDatabase t;
    setCounter(t, 41);
    test::MessageRecorder messages;
    MainWindow main(t.db());
    main.show();
    main.onActivated();
    EXPECT_EQ(main.model()->rowCount(), 0);

    bool drove = false;
    QTimer::singleShot(0, &main, [&] {
        auto* dialog = qobject_cast<NewCustomerWindow*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QComboBox*>(QStringLiteral("typeBox"))->setCurrentIndex(0);
        dialog->findChild<QLineEdit*>(QStringLiteral("nameBox"))->setText(QStringLiteral("Ahmet Yılmaz"));
        dialog->findChild<LumButton*>(QStringLiteral("saveButton"))->click();
        drove = true;
    });
    main.findChild<LumButton*>(QStringLiteral("addCustomerButton"))->click();
    ASSERT_TRUE(drove);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(main.model()->rowCount(), 1);
    ASSERT_TRUE(main.currentCustomer());
    EXPECT_EQ(main.currentCustomer()->musKodu, QStringLiteral("42"));
    EXPECT_EQ(main.currentCustomer()->musteriFirma, QStringLiteral("Ahmet Yılmaz"));
}
