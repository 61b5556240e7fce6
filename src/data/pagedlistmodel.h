// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/database.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QMap>
#include <QTimer>
#include <QVector>
#include <algorithm>
#include <optional>

namespace zelvora {

// A table model whose rows are read from the database a page at a time, when the view asks for them. It keeps
// the pages read lately, and the first and last row of every page read whole (a later page is found from the
// nearest of them). Rows are handed out by value: a later read may drop any page.
template<typename Row> class PagedListModel : public QAbstractTableModel
{
public:
    static constexpr int PageSize = 128;

    // The row as stored, or nothing when it cannot be read; waits for another connection's write.
    std::optional<Row> rowAt(int row) const { return readRow(row, false); }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_count; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : m_columns; }

protected:
    // How a read for display meets another connection's write: it waits like any other read, or the rows stay
    // blank and are asked for again a moment later (painting never waits then).
    enum class DisplayReads { Wait, RetryLater };

    // A page read whole: its place, its first and last row and its number of rows.
    struct KnownPage
    {
        int index = 0;
        Row first;
        Row last;
        int size = 0;
    };

    PagedListModel(int columns, DisplayReads displayReads, QObject* parent)
        : QAbstractTableModel(parent)
        , m_columns(columns)
        , m_displayReads(displayReads)
        , m_retry(new QTimer(this))
    {
        m_retry->setSingleShot(true);
        m_retry->setInterval(25);
        QObject::connect(m_retry, &QTimer::timeout, this, [this] {
            if (m_count > 0)
                emit dataChanged(index(0, 0), index(m_count - 1, m_columns - 1), {Qt::DisplayRole});
        });
    }

    // Reads the `size` rows of page pageIndex (from row pageIndex * PageSize on); the engine's text in *error
    // when it cannot.
    virtual QVector<Row> readPage(int pageIndex, int size, QString* error) const = 0;

    // The row for data(): with DisplayReads::RetryLater, nothing while its page cannot be read at once.
    std::optional<Row> displayedRow(int row) const { return readRow(row, true); }

    int count() const { return m_count; }
    // Inside a model reset: the list has count rows and no page of it is known.
    void resetPages(int count)
    {
        m_count = count;
        m_pages.clear();
        m_known.clear();
    }
    // Inside a model reset: the list has count rows now, and the pages kept stay where they are (rows were
    // only appended; drop the page that grows with dropPagesFrom).
    void setCountKeepingPages(int count) { m_count = count; }
    // Keeps rows read outside readPage (the first page, read before a reset) as page pageIndex.
    void keepPage(int pageIndex, const QVector<Row>& rows) const
    {
        if (m_pages.size() > 64) // only a few screens are kept; scrolling far reads the pages again
            m_pages.clear();
        m_pages.insert(pageIndex, rows);
        // A short page (the list changed since it was counted) says nothing sure about where its rows stand.
        if (!rows.isEmpty() && rows.size() == pageSize(pageIndex))
            m_known.insert(pageIndex, {pageIndex, rows.constFirst(), rows.constLast(), int(rows.size())});
    }
    // Drops the pages from pageIndex on, keeping what is known of their rows' places (rows were appended).
    void dropPagesFrom(int pageIndex)
    {
        for (auto it = m_pages.begin(); it != m_pages.end();)
            it = it.key() >= pageIndex ? m_pages.erase(it) : std::next(it);
    }
    // Makes count the number of rows, inserting or removing rows at the end.
    void resizeTo(int count)
    {
        if (count > m_count) {
            beginInsertRows({}, m_count, count - 1);
            m_count = count;
            endInsertRows();
        } else if (count < m_count) {
            beginRemoveRows({}, count, m_count - 1);
            // Pages past the end are read again if the list grows back.
            resetPages(count);
            endRemoveRows();
        }
    }

    // The number of rows page pageIndex holds.
    int pageSize(int pageIndex) const { return std::clamp(m_count - pageIndex * PageSize, 0, int(PageSize)); }
    // The nearest page read whole before pageIndex, and after it.
    std::optional<KnownPage> knownPageBefore(int pageIndex) const
    {
        auto it = m_known.lowerBound(pageIndex);
        if (it == m_known.begin())
            return std::nullopt;
        return *std::prev(it);
    }
    std::optional<KnownPage> knownPageAfter(int pageIndex) const
    {
        const auto it = m_known.upperBound(pageIndex);
        return it == m_known.end() ? std::nullopt : std::optional<KnownPage>(*it);
    }
    // The row of the first kept row that matches, or -1.
    template<typename Match> int keptRowWhere(Match match) const
    {
        for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
            for (qsizetype i = 0; i < it.value().size(); ++i) {
                if (match(it.value().at(i)))
                    return it.key() * PageSize + int(i);
            }
        }
        return -1;
    }

private:
    std::optional<Row> readRow(int row, bool forDisplay) const
    {
        if (row < 0 || row >= m_count)
            return std::nullopt;
        const int pageIndex = row / PageSize;
        auto it = m_pages.constFind(pageIndex);
        if (it == m_pages.cend()) {
            if (!readIntoCache(pageIndex, forDisplay && m_displayReads == DisplayReads::RetryLater))
                return std::nullopt;
            it = m_pages.constFind(pageIndex);
        }
        const int offset = row % PageSize;
        return offset < it->size() ? std::optional<Row>(it->at(offset)) : std::nullopt;
    }

    // False when a read for display failed and is tried again a moment later.
    bool readIntoCache(int pageIndex, bool retryLater) const
    {
        // Tried again this many times (about two seconds) before a page that cannot be read is left empty.
        constexpr int mostRetries = 80;
        const bool mayRetry = retryLater && m_failedReads < mostRetries;
        // A read for display failed a moment ago: the rows stay blank until the retry, without asking again.
        if (retryLater && m_retry->isActive())
            return false;
        QString error;
        QVector<Row> rows;
        {
            std::optional<Database::NoWait> noWait;
            if (mayRetry)
                noWait.emplace();
            rows = readPage(pageIndex, pageSize(pageIndex), &error);
        }
        if (!error.isEmpty() && mayRetry) {
            ++m_failedReads;
            m_retry->start();
            return false;
        }
        m_failedReads = 0;
        keepPage(pageIndex, rows);
        return true;
    }

    const int m_columns;
    const DisplayReads m_displayReads;
    int m_count = 0;
    QTimer* m_retry;
    mutable int m_failedReads = 0;
    mutable QHash<int, QVector<Row>> m_pages;
    mutable QMap<int, KnownPage> m_known;
};

} // namespace zelvora
