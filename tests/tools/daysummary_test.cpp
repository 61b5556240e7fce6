// SPDX-License-Identifier: GPL-3.0-or-later
// "Gün Sonu": the day's credits and payments per user and in total, the customers over their credit limit after
// the day, the window through its widgets and keyboard, and the PDF.
#include "app/filedialog.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/dateformat.h"
#include "data/daysummarystore.h"
#include "messagerecorder.h"
#include "pdftext.h"
#include "testdatabase.h"
#include "tools/daysummarywindow.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QSqlQuery>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

using namespace zelvora;

namespace {

const QDate kDay(2026, 12, 9);

// Movements on the day, the day before and the day after, by several users and by none.
void fill(test::TestDatabase& t)
{
    const auto customer = [&](const char* number, const char* name, const QVariant& limit) {
        t.addCustomer(QString::fromLatin1(number), QString::fromUtf8(name));
        ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET KrediLimiti = ? WHERE mus_kodu = ?"),
                                {limit, QString::fromLatin1(number)}));
    };
    const auto move = [&](const char* number, const QDate& day, qint64 added, qint64 paid, const QVariant& user) {
        ASSERT_TRUE(t.db().exec(QStringLiteral("INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Eklenen, "
                                               "Odenen, Kullanici, Kayit) VALUES (?, ?, '12:00:00', '-', ?, ?, ?, ?)"),
                                {QString::fromLatin1(number), dates::isoDate(day), added, paid, user,
                                 dates::isoDate(day) + QStringLiteral(" 12:00:00")}));
    };
    const QVariant none;
    // Over after the day: 900,00 before and 200,00 on it against a limit of 1.000,00.
    customer("1", "AHMET YILMAZ", qint64(100000));
    move("1", kDay.addDays(-1), 90000, 0, QStringLiteral("ayşe"));
    move("1", kDay, 20000, 0, QStringLiteral("ayşe"));
    // Exactly at the limit after the day: not over.
    customer("2", "BEKİR ŞEN", qint64(50000));
    move("2", kDay.addDays(-3), 30000, 0, none);
    move("2", kDay, 20000, 0, QStringLiteral("Zeki"));
    // No limit: never over.
    customer("3", "CEMİLE ÖZ", none);
    move("3", kDay, 999999, 0, none);
    move("3", kDay, 0, 100, QStringLiteral("Şule"));
    // Over only from the next day on.
    customer("4", "DURSUN", qint64(10000));
    move("4", kDay, 5000, 0, QStringLiteral("ayşe"));
    move("4", kDay.addDays(1), 20000, 0, QStringLiteral("ayşe"));
    // Over before the day and still after a payment on it, stored with an empty user.
    customer("12", "EMEL", qint64(10000));
    move("12", kDay.addDays(-1), 50000, 0, QStringLiteral("Zeki"));
    move("12", kDay, 0, 10000, QString(QStringLiteral("")));
    // The stored balances say nothing (never opened, or written by another tool): they are not read.
    ASSERT_TRUE(t.db().exec(QStringLiteral("UPDATE musteriler SET Bakiye = 0")));
}

struct Sums
{
    QString user;
    qint64 eklenen, odenen, count;
};

std::vector<Sums> sumsOf(const DaySummary& s)
{
    std::vector<Sums> out;
    for (const DayUserTotal& u : s.users)
        out.push_back({u.kullanici, u.eklenen, u.odenen, u.count});
    out.push_back({QStringLiteral("="), s.total.eklenen, s.total.odenen, s.total.count});
    return out;
}

bool operator==(const Sums& a, const Sums& b)
{
    return a.user == b.user && a.eklenen == b.eklenen && a.odenen == b.odenen && a.count == b.count;
}

std::ostream& operator<<(std::ostream& out, const Sums& s)
{
    return out << s.user.toStdString() << ' ' << s.eklenen << ' ' << s.odenen << ' ' << s.count;
}

QStringList overLimitOf(const DaySummary& s)
{
    QStringList out;
    for (const OverLimitCustomer& c : s.overLimit)
        out << c.musKodu + QLatin1Char(' ') + QString::number(c.bakiye) + QLatin1Char('>')
                + QString::number(c.krediLimiti);
    return out;
}

class DaySummaryStoreTest : public test::EngineTest
{
};

TEST_P(DaySummaryStoreTest, SumsTheDayAloneAndListsWhoTheDayLeftOverTheLimit)
{
    test::TestDatabase t(GetParam());
    fill(t);
    const struct
    {
        QDate day;
        std::vector<Sums> sums;
        QStringList overLimit;
    } cases[] = {
        {kDay,
         {{QStringLiteral("ayşe"), 25000, 0, 2},
          {QStringLiteral("Şule"), 0, 100, 1},
          {QStringLiteral("Zeki"), 20000, 0, 1},
          {QString(), 999999, 10000, 2},
          {QStringLiteral("="), 1044999, 10100, 6}},
         {QStringLiteral("1 110000>100000"), QStringLiteral("12 40000>10000")}},
        {kDay.addDays(1),
         {{QStringLiteral("ayşe"), 20000, 0, 1}, {QStringLiteral("="), 20000, 0, 1}},
         {QStringLiteral("4 25000>10000")}},
        {kDay.addDays(-1),
         {{QStringLiteral("ayşe"), 90000, 0, 1},
          {QStringLiteral("Zeki"), 50000, 0, 1},
          {QStringLiteral("="), 140000, 0, 2}},
         {QStringLiteral("12 50000>10000")}},
        {kDay.addDays(2), {{QStringLiteral("="), 0, 0, 0}}, {}},
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<DaySummary> s = DaySummaryStore(t.db()).summary(c.day, &error);
        ASSERT_TRUE(s) << error.toStdString();
        EXPECT_EQ(s->day, c.day);
        EXPECT_EQ(sumsOf(*s), c.sums) << c.day.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(overLimitOf(*s), c.overLimit) << c.day.toString(Qt::ISODate).toStdString();
    }
}

TEST_P(DaySummaryStoreTest, SumsBeyondSixtyFourBitsAreRefusedNotWrapped)
{
    test::TestDatabase t(GetParam());
    t.addCustomer(QStringLiteral("1"), QStringLiteral("Ayşe"));
    const qint64 half = std::numeric_limits<qint64>::max() / 2 + 1;
    t.addMovement(QStringLiteral("1"), kDay, half, {});
    t.addMovement(QStringLiteral("1"), kDay, half, {});
    QString error;
    EXPECT_FALSE(DaySummaryStore(t.db()).summary(kDay, &error));
    EXPECT_FALSE(error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, DaySummaryStoreTest, test::kEngines, test::engineName);

TEST(DaySummaryPlan, TheDayIsReadThroughTheDateIndex)
{
    test::TestDatabase t;
    QSqlQuery plan = t.db().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + DaySummaryStore::dayTotalsSql());
    plan.addBindValue(QStringLiteral("2026-12-09"));
    plan.addBindValue(QStringLiteral("2026-12-10"));
    ASSERT_TRUE(Database::run(plan));
    QStringList steps;
    while (plan.next())
        steps << plan.value(3).toString();
    EXPECT_TRUE(
        steps.join(QLatin1Char('\n')).contains(QStringLiteral("USING INDEX veresiye_tarih (Tarih>? AND Tarih<?)")))
        << steps.join(QLatin1Char('\n')).toStdString();
}

class DaySummaryWindowTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Clock::setFixed(QDateTime(kDay, QTime(18, 0)));
        fill(m_db);
    }
    void TearDown() override { Clock::reset(); }

    template<typename T> static T* child(const QWidget& w, const char* name)
    {
        T* found = w.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    static QStringList column(const QTableView* grid, int col)
    {
        QStringList out;
        for (int r = 0; r < grid->model()->rowCount(); ++r)
            out << grid->model()->index(r, col).data().toString();
        return out;
    }

    test::TestDatabase m_db;
};

TEST_F(DaySummaryWindowTest, OpensOnTodayAndReadsAgainWhenTheDayChangesByKeyboard)
{
    DaySummaryWindow window(m_db.db());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    auto* dayBox = child<QDateEdit>(window, "dayBox");
    auto* users = child<QTableView>(window, "usersGrid");
    auto* over = child<QTableView>(window, "overLimitGrid");
    EXPECT_EQ(QApplication::focusWidget(), dayBox);
    EXPECT_EQ(dayBox->date(), kDay);
    EXPECT_EQ(column(users, 0),
              (QStringList {QStringLiteral("ayşe"), QStringLiteral("Şule"), QStringLiteral("Zeki"),
                            QStringLiteral("(kayıtsız)"), QStringLiteral("Toplam")}));
    EXPECT_EQ(column(users, 2).last(), QStringLiteral("10.449,99"));
    EXPECT_EQ(column(users, 3).last(), QStringLiteral("101,00"));
    EXPECT_EQ(child<QLabel>(window, "countLabel")->text(), QStringLiteral("6 hareket"));
    EXPECT_EQ(column(over, 1), (QStringList {QStringLiteral("1"), QStringLiteral("12")}));
    EXPECT_EQ(column(over, 4), (QStringList {QStringLiteral("100,00"), QStringLiteral("300,00")}));

    // Up on the day moves to the next day; the window reads it at once.
    QTest::keyClick(dayBox, Qt::Key_Up);
    EXPECT_EQ(dayBox->date(), kDay.addDays(1));
    EXPECT_EQ(column(users, 0), (QStringList {QStringLiteral("ayşe"), QStringLiteral("Toplam")}));
    EXPECT_EQ(column(over, 0), QStringList {QStringLiteral("DURSUN")});

    QTest::keyClick(dayBox, Qt::Key_Up);
    EXPECT_EQ(column(users, 0), QStringList {QStringLiteral("Toplam")});
    EXPECT_EQ(over->model()->rowCount(), 0);
    EXPECT_EQ(child<QLabel>(window, "overLimitLabel")->text(), QStringLiteral("Kredi limitini aşan müşteri yok."));
}

TEST_F(DaySummaryWindowTest, TabWalksTheControlsInOrderAndEscCloses)
{
    DaySummaryWindow window(m_db.db());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QStringList visited;
    for (int i = 0; i < 6; ++i) {
        visited << QApplication::focusWidget()->objectName();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(
        visited,
        (QStringList {QStringLiteral("dayBox"), QStringLiteral("usersGrid"), QStringLiteral("overLimitGrid"),
                      QStringLiteral("printButton"), QStringLiteral("saveButton"), QStringLiteral("closeButton")}));
    EXPECT_EQ(QApplication::focusWidget()->objectName(), QStringLiteral("dayBox"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(window.result(), QDialog::Rejected);
}

TEST_F(DaySummaryWindowTest, PdfHoldsTheShopTheDayTheUsersAndTheCustomersOverTheLimit)
{
    QFile ini(QDir(m_db.folder()).filePath(QStringLiteral("zelvora.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[dukkan]\nad=Güneş Bakkaliyesi\n");
    ini.close();
    AppConfig::reload();

    DaySummaryWindow window(m_db.db());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTemporaryDir out;
    test::MessageRecorder messages;
    FileDialog::setNextAnswer(out.filePath(QStringLiteral("gun.pdf")));
    emit child<LumButton>(window, "saveButton")->clicked();
    ini.remove();
    AppConfig::reload();

    const QStringList pages = test::pdfPages(out.filePath(QStringLiteral("gun.pdf")));
    ASSERT_EQ(pages.size(), 1);
    const QString page = test::withoutBlanks(pages.first());
    for (const QString& part :
         {QStringLiteral("GünSonu"), QStringLiteral("GüneşBakkaliyesi"), QStringLiteral("Tarih:09.12.2026"),
          QStringLiteral("ayşe2250,000,00"), QStringLiteral("(kayıtsız)29.999,99100,00"),
          QStringLiteral("TOPLAM610.449,99101,00"), QStringLiteral("1AHMETYILMAZ1.000,001.100,00100,00"),
          QStringLiteral("12EMEL100,00400,00300,00")})
        EXPECT_TRUE(page.contains(part)) << part.toStdString() << "\n" << pages.first().toStdString();
    EXPECT_FALSE(page.contains(QStringLiteral("BEKİR")));
    EXPECT_TRUE(messages.empty());
}

} // namespace
