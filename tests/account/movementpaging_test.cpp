// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/movementlistmodel.h"
#include "data/accountstore.h"
#include "testdatabase.h"

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlQuery>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>
#include <sqlite3.h>

using namespace zelvora;

namespace {

const QString kKod = QStringLiteral("42");
constexpr int kRows = 1000; // seven full pages and a part

// Every statement the connection starts, with its values.
class StatementTrace final
{
public:
    explicit StatementTrace(const Database& db)
        : m_handle(*static_cast<sqlite3**>(db.connection().driver()->handle().data()))
    {
        sqlite3_trace_v2(m_handle, SQLITE_TRACE_STMT, &StatementTrace::traced, this);
    }
    ~StatementTrace() { sqlite3_trace_v2(m_handle, 0, nullptr, nullptr); }
    Q_DISABLE_COPY_MOVE(StatementTrace)

    QStringList statements;

    qint64 largestOffset() const
    {
        static const QRegularExpression offset(QStringLiteral("OFFSET (\\d+)"));
        qint64 largest = 0;
        for (const QString& s : statements) {
            for (const auto& match : offset.globalMatch(s))
                largest = std::max(largest, match.captured(1).toLongLong());
        }
        return largest;
    }

private:
    static int traced(unsigned, void* self, void* statement, void*)
    {
        char* sql = sqlite3_expanded_sql(static_cast<sqlite3_stmt*>(statement));
        static_cast<StatementTrace*>(self)->statements << QString::fromUtf8(sql ? sql : "");
        sqlite3_free(sql);
        return 0;
    }

    sqlite3* m_handle;
};

class MovementPagingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t.addCustomer(kKod, QStringLiteral("AHMET YILMAZ"));
        t.addCustomer(QStringLiteral("43"), QStringLiteral("Başka Müşteri"));
        // Every third movement is another customer's, so the account's ids have gaps.
        append(kRows * 3 / 2, 1);
        ids = accountIds();
        ASSERT_EQ(ids.size(), kRows);
    }

    void append(int movements, int from)
    {
        ASSERT_TRUE(t.db().exec(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT ? UNION ALL SELECT i + 1 FROM n WHERE i < ?) "
                           "INSERT INTO veresiye (mus_kodu, Tarih, Saat, Aciklama, Eklenen, Odenen) "
                           "SELECT CASE WHEN i % 3 = 0 THEN '43' ELSE ? END, '2026-01-01', '12:00:00', 'H' || i, "
                           "CASE WHEN i % 5 = 0 THEN NULL ELSE i END, CASE WHEN i % 5 = 0 THEN 7 END FROM n"),
            {from, from + movements - 1, kKod}));
    }

    QVector<qint64> accountIds() const
    {
        QSqlQuery q = t.db().prepare(QStringLiteral("SELECT id FROM veresiye WHERE mus_kodu = ? ORDER BY id"));
        q.addBindValue(kKod);
        EXPECT_TRUE(q.exec());
        QVector<qint64> result;
        while (q.next())
            result << q.value(0).toLongLong();
        return result;
    }

    // The row's id as the grid would get it, and its description as shown.
    static std::pair<qint64, QString> shown(const MovementListModel& model, int row)
    {
        const std::optional<Movement> m = model.movementAt(row);
        return {m ? m->id : -1, model.index(row, MovementListModel::Aciklama).data().toString()};
    }

    test::TestDatabase t;
    QVector<qint64> ids;
};

TEST_F(MovementPagingTest, RowsReadInAnyOrderAreTheAccountInEntryOrder)
{
    std::vector<int> forward(kRows), backward(kRows), random(400);
    std::iota(forward.begin(), forward.end(), 0);
    std::reverse_copy(forward.begin(), forward.end(), backward.begin());
    QRandomGenerator generator(7);
    for (int& r : random)
        r = int(generator.bounded(kRows));
    const struct
    {
        const char* name;
        std::vector<int> rows;
    } cases[] = {
        {"from the first", forward},
        {"from the last", backward},
        {"end, middle, start and between", {999, 998, 500, 0, 640, 130, 871, 255, 383, 384, 895, 896, 127, 128}},
        {"the middle first", {500, 499, 501, 383, 640, 0, 999}},
        {"anywhere", random},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        MovementListModel model(t.db());
        ASSERT_TRUE(model.reread(kKod));
        ASSERT_EQ(model.rowCount(), kRows);
        for (int row : c.rows) {
            const auto [id, description] = shown(model, row);
            ASSERT_EQ(id, ids.at(row)) << "row " << row;
            ASSERT_TRUE(description.startsWith(QLatin1Char('H'))) << "row " << row;
        }
        // Whatever was read before, every row is still where it belongs.
        for (int row = 0; row < kRows; ++row)
            ASSERT_EQ(shown(model, row).first, ids.at(row)) << "row " << row;
        EXPECT_FALSE(model.movementAt(kRows).has_value());
        EXPECT_FALSE(model.movementAt(-1).has_value());
    }
}

TEST_F(MovementPagingTest, TheLastMovementsAreReadFromTheNewestWithoutSortingOrSteppingOverTheAccount)
{
    MovementListModel model(t.db());
    ASSERT_TRUE(model.reread(kKod));
    StatementTrace trace(t.db());
    // The first screen, then the scroll bar's end and the screens before it.
    for (int row : {0, 20, kRows - 1, kRows - 30, kRows - 200, kRows - 330})
        ASSERT_EQ(shown(model, row).first, ids.at(row));
    EXPECT_LT(trace.largestOffset(), MovementListModel::PageSize);
    for (const QString& s : trace.statements) {
        QSqlQuery plan = t.db().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + s);
        ASSERT_TRUE(plan.exec()) << s.toStdString();
        while (plan.next()) {
            const QString step = plan.value(3).toString();
            EXPECT_FALSE(step.contains(QLatin1String("TEMP B-TREE"))) << s.toStdString() << ": " << step.toStdString();
            EXPECT_TRUE(step.startsWith(QLatin1String("SEARCH veresiye USING")))
                << s.toStdString() << ": " << step.toStdString();
        }
    }
}

TEST_F(MovementPagingTest, TheOverviewReadsTheAmountsFromTheirIndexAlone)
{
    StatementTrace trace(t.db());
    MovementListModel model(t.db());
    ASSERT_TRUE(model.reread(kKod));
    ASSERT_EQ(trace.statements.size(), 1);
    QSqlQuery plan = t.db().prepare(QStringLiteral("EXPLAIN QUERY PLAN ") + trace.statements.first());
    ASSERT_TRUE(plan.exec());
    ASSERT_TRUE(plan.next());
    EXPECT_EQ(plan.value(3).toString(),
              QStringLiteral("SEARCH veresiye USING COVERING INDEX veresiye_toplam (mus_kodu=?)"));
}

TEST_F(MovementPagingTest, AppendedMovementsAreAddedOnceAfterTheRowsAlreadyRead)
{
    for (bool lastPageReadBefore : {false, true}) {
        SCOPED_TRACE(lastPageReadBefore ? "last page read before" : "only the first page read before");
        // Each round starts from the same account: what the last round appended goes.
        ASSERT_TRUE(t.db().exec(QStringLiteral("DELETE FROM veresiye WHERE id > ?"), {ids.last()}));
        MovementListModel model(t.db());
        ASSERT_TRUE(model.reread(kKod));
        shown(model, 0);
        if (lastPageReadBefore)
            shown(model, kRows - 1);

        // Appended since, mixed with another customer's movements.
        append(10, 100000);
        ASSERT_TRUE(model.readAppended());
        const QVector<qint64> now = accountIds();
        ASSERT_EQ(model.rowCount(), now.size());
        ASSERT_GT(now.size(), kRows);
        for (int row = 0; row < now.size(); ++row)
            ASSERT_EQ(shown(model, row).first, now.at(row)) << "row " << row;

        MovementListModel fresh(t.db());
        ASSERT_TRUE(fresh.reread(kKod));
        EXPECT_EQ(model.overview()->count, fresh.overview()->count);
        EXPECT_EQ(model.overview()->lastId, fresh.overview()->lastId);
        EXPECT_EQ(model.overview()->sums.added, fresh.overview()->sums.added);
        EXPECT_EQ(model.overview()->sums.paid, fresh.overview()->sums.paid);

        // Nothing appended: nothing changes.
        ASSERT_TRUE(model.readAppended());
        EXPECT_EQ(model.rowCount(), now.size());
        EXPECT_EQ(model.overview()->sums.added, fresh.overview()->sums.added);
    }
}

TEST_F(MovementPagingTest, AFailedReadLeavesAnEmptyGridAndNoSums)
{
    MovementListModel model(t.db());
    ASSERT_TRUE(model.reread(kKod));
    ASSERT_TRUE(t.db().exec(QStringLiteral("ALTER TABLE veresiye RENAME TO veresiye_eski")));
    QString error;
    EXPECT_FALSE(model.readAppended(&error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_FALSE(model.overview().has_value());
}

} // namespace
