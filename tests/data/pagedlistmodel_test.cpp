// SPDX-License-Identifier: GPL-3.0-or-later
#include "data/pagedlistmodel.h"
#include "waiting.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace zelvora;

namespace {

// Rows are their own numbers; every read is recorded, and the next `failures` reads fail.
class NumberList final : public PagedListModel<int>
{
public:
    struct Read
    {
        int page;
        int size;
        int knownBefore; // page index, or -1
        int knownAfter;
    };

    using PagedListModel::DisplayReads;

    NumberList(int count, DisplayReads reads)
        : PagedListModel(1, reads, nullptr)
    {
        beginResetModel();
        resetPages(count);
        endResetModel();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        const std::optional<int> row = role == Qt::DisplayRole ? displayedRow(index.row()) : std::nullopt;
        return row ? QVariant(*row) : QVariant();
    }

    // The list changed since it was counted: this page comes back short.
    int shortPage = -1;
    mutable int failures = 0;
    mutable QVector<Read> reads;

private:
    QVector<int> readPage(int pageIndex, int size, QString* error) const override
    {
        const auto before = knownPageBefore(pageIndex);
        const auto after = knownPageAfter(pageIndex);
        reads.append({pageIndex, size, before ? before->index : -1, after ? after->index : -1});
        if (failures > 0) {
            --failures;
            *error = QStringLiteral("database is locked");
            return {};
        }
        QVector<int> rows;
        for (int i = 0; i < (pageIndex == shortPage ? size / 2 : size); ++i)
            rows.append(pageIndex * PageSize + i);
        return rows;
    }
};

constexpr int P = NumberList::PageSize;

} // namespace

TEST(PagedListModel, ReadsEachPageOnceFromTheNearestPageReadWhole)
{
    NumberList list(10 * P + 5, NumberList::DisplayReads::Wait);
    list.shortPage = 9;
    EXPECT_EQ(list.rowAt(3 * P + 7), 3 * P + 7);
    EXPECT_EQ(list.rowAt(3 * P), 3 * P); // kept: no second read
    EXPECT_EQ(list.rowAt(10 * P + 4), 10 * P + 4); // the last page holds 5 rows
    EXPECT_EQ(list.rowAt(9 * P), 9 * P); // short: read, but not a place to start from
    EXPECT_EQ(list.rowAt(6 * P), 6 * P);
    EXPECT_EQ(list.rowAt(10 * P + 5), std::nullopt);
    EXPECT_EQ(list.rowAt(-1), std::nullopt);
    EXPECT_EQ(list.rowAt(9 * P + P / 2), std::nullopt); // beyond what the short page holds

    const QVector<std::tuple<int, int, int, int>> expected
        = {{3, P, -1, -1}, {10, 5, 3, -1}, {9, P, 3, 10}, {6, P, 3, 10}};
    ASSERT_EQ(list.reads.size(), expected.size());
    for (qsizetype i = 0; i < expected.size(); ++i) {
        const auto& r = list.reads.at(i);
        EXPECT_EQ(std::make_tuple(r.page, r.size, r.knownBefore, r.knownAfter), expected.at(i)) << "read " << i;
    }
}

TEST(PagedListModel, ARowTakenOutLastsThroughLaterReads)
{
    NumberList list(100 * P, NumberList::DisplayReads::Wait);
    const std::optional<int> first = list.rowAt(5);
    // Far more pages than are kept: the first page is dropped and read again.
    for (int page = 1; page < 100; ++page)
        ASSERT_EQ(list.rowAt(page * P), page * P);
    EXPECT_EQ(first, 5);
    const qsizetype reads = list.reads.size();
    EXPECT_EQ(list.rowAt(5), 5);
    EXPECT_EQ(list.reads.size(), reads + 1);
}

TEST(PagedListModel, AFailedReadForDisplayIsBlankAndTriedAgainOnlyWhereAsked)
{
    {
        NumberList list(3 * P, NumberList::DisplayReads::RetryLater);
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        list.failures = 2;
        EXPECT_FALSE(list.index(P + 1, 0).data().isValid());
        // While the retry waits, painting asks nothing of the database.
        EXPECT_FALSE(list.index(P + 2, 0).data().isValid());
        EXPECT_EQ(list.reads.size(), 1);
        ZV_WAIT_UNTIL(changed.size() == 1);
        EXPECT_FALSE(list.index(P + 1, 0).data().isValid());
        ZV_WAIT_UNTIL(changed.size() == 2);
        EXPECT_EQ(list.index(P + 1, 0).data(), P + 1);
        EXPECT_EQ(list.reads.size(), 3);
        // A read that is not for display is not left blank for a retry: its rows are what could be read.
        list.failures = 1;
        EXPECT_EQ(list.rowAt(2 * P), std::nullopt);
        EXPECT_EQ(list.reads.size(), 4);
    }
    {
        NumberList list(3 * P, NumberList::DisplayReads::Wait);
        QSignalSpy changed(&list, &QAbstractItemModel::dataChanged);
        list.failures = 1;
        EXPECT_FALSE(list.index(1, 0).data().isValid());
        EXPECT_FALSE(list.index(2, 0).data().isValid());
        EXPECT_EQ(list.reads.size(), 1);
        QTest::qWait(60);
        EXPECT_EQ(changed.size(), 0);
    }
}
