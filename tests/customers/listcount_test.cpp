// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"
#include "data/database.h"
#include "testdatabase.h"
#include "waiting.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// 300 customers numbered 001 to 300: the 130 whose number is even up to 254, or below 6, are "Ayşe …", the
// other 170 "Müşteri …".
class ListCountTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(t.db().exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 300) "
                           "INSERT INTO musteriler (mus_kodu, MusteriFirma, Turu) SELECT i, CASE WHEN i % 2 = 0 "
                           "AND i <= 254 OR i < 6 THEN 'Ayşe ' ELSE 'Müşteri ' END || substr('00' || i, -3), "
                           "'Alıcı' FROM n")));
        ASSERT_TRUE(CustomerStore(t.db()).refreshNameKeys());
    }

    test::TestDatabase t;
};

} // namespace

// The first screen comes at once; the rows below it join when they are counted, in the list's order.
TEST_F(ListCountTest, TheFirstPageComesAtOnceAndTheCountFollows)
{
    CustomerListModel model(t.db());
    QSignalSpy settled(&model, &CustomerListModel::countSettled);
    struct Case
    {
        CustomerListQuery query;
        int count;
        QString last;
    };
    const Case cases[] = {
        {CustomerListQuery::allByName(), 300, QStringLiteral("Müşteri 300")},
        {CustomerListQuery::namePrefix(QStringLiteral("ays")), 130, QStringLiteral("Ayşe 254")},
        {CustomerListQuery::namePrefix(QStringLiteral("mus")), 170, QStringLiteral("Müşteri 300")},
        // Fits on the first page: exact at once.
        {CustomerListQuery::namePrefix(QStringLiteral("müşteri 1")), 50, QStringLiteral("Müşteri 199")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query.text.toStdString());
        settled.clear();
        ASSERT_TRUE(model.setSource(c.query));
        if (c.count > CustomerListModel::PageSize) {
            EXPECT_FALSE(model.isCountSettled());
            EXPECT_EQ(model.rowCount(), CustomerListModel::PageSize);
            ZV_WAIT_UNTIL(model.isCountSettled());
            EXPECT_EQ(settled.count(), 1);
        }
        EXPECT_TRUE(model.isCountSettled());
        EXPECT_EQ(model.rowCount(), c.count);
        ASSERT_TRUE(model.customerAt(c.count - 1).has_value());
        EXPECT_EQ(model.customerAt(c.count - 1)->musteriFirma, c.last);
    }
}

// Typing on: an answer for an earlier text never becomes the count of the list shown.
TEST_F(ListCountTest, AnAnswerForAnEarlierSearchIsNotTheCountOfTheList)
{
    CustomerListModel model(t.db());
    ASSERT_TRUE(model.setSource(CustomerListQuery::allByName()));
    ASSERT_TRUE(model.setSource(CustomerListQuery::namePrefix(QStringLiteral("a"))));
    ZV_WAIT_UNTIL(model.isCountSettled());
    // Both answers have had their time to come.
    QTest::qWait(50);
    EXPECT_EQ(model.rowCount(), 130);
}

// The totals and the printed list must not use a count still on its way.
TEST_F(ListCountTest, TheExactCountIsThereWhenAskedFor)
{
    CustomerListModel model(t.db());
    ASSERT_TRUE(model.setSource(CustomerListQuery::allByName()));
    EXPECT_EQ(model.exactCount(), 300);
    EXPECT_EQ(model.rowCount(), 300);
    // Finding a customer below the first page counts too.
    ASSERT_TRUE(model.setSource(CustomerListQuery::allByName()));
    const qint64 id = t.db().scalar(QStringLiteral("SELECT id FROM musteriler WHERE mus_kodu = '299'")).toLongLong();
    EXPECT_EQ(model.rowOf(id), 298);
}
