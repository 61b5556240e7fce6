// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/customerstore.h"

#include <QAbstractTableModel>
#include <QDate>
#include <QHash>
#include <QMap>

class QTimer;

namespace zelvora {

class Database;
class ListCounter;

// The customer list behind the main window's grid. It reads rows a page at a time when the grid asks for
// them, so a long list shows its first screen at once. A page is read from the nearest place the index can
// find directly (the top, the bottom, or a row of a page read before), so the last page of a million rows is
// as quick as the first. A new source shows its first page at once; when that page is full, the rows below
// it are counted on another thread and join the grid a moment later (countSettled()). Whatever needs the
// exact number (the totals, the printed list, finding a row) asks exactCount(), which waits for it.
class CustomerListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Turu, MusKodu, MusteriFirma, Sonislem, Gun, Bakiye, ColumnCount };
    static constexpr int PageSize = 128;

    explicit CustomerListModel(const Database& db, QObject* parent = nullptr);
    ~CustomerListModel() override;
    Q_DISABLE_COPY_MOVE(CustomerListModel)

    // Runs a new source; false (and the engine's text in *error) when it cannot be read.
    bool setSource(const CustomerListQuery& query, QString* error = nullptr);
    // Runs the current source again.
    bool reread(QString* error = nullptr);
    const CustomerListQuery& source() const { return m_query; }
    // The day the shown day counts are counted to; takes effect at the next read.
    void setToday(const QDate& today) { m_today = today; }

    // The row that shows customer id, or -1.
    int rowOf(qint64 id);

    // The number of rows of the source, counted now if the count has not come yet.
    int exactCount();
    bool isCountSettled() const { return m_countSettled; }

    // The row as stored, or nullptr when it cannot be read.
    const CustomerListRow* customerAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The rows below the first page have joined the list: the row count is exact now.
    void countSettled();

private:
    void onCounted(quint64 ticket, qint64 count);
    // Makes count the number of rows, inserting or removing rows at the end.
    void settleCount(int count);

    // The first and last row of a page read since the last reread.
    struct PageEdges
    {
        CustomerListRow first;
        CustomerListRow last;
        int size = 0;
    };

    // The page, or nullptr when it could not be read now; waits for another connection's write unless
    // forDisplay, where a page that cannot be read at once is read again a moment later.
    const QVector<CustomerListRow>* page(int pageIndex, bool forDisplay = false) const;
    CustomerListWindow windowFor(int pageIndex) const;

    CustomerStore m_store;
    CustomerListQuery m_query;
    QDate m_today;
    int m_count = 0;
    bool m_countSettled = true;
    quint64 m_countTicket = 0;
    ListCounter* m_counter = nullptr;
    // Going back from a row in name order would pass over the rows without a sort key, which sort first;
    // while the table holds such rows, name-ordered pages are not read backwards from a row.
    bool m_backwardsReadable = true;
    mutable QHash<int, QVector<CustomerListRow>> m_pages;
    // Painting never waits for the background upkeep's commit: the rows stay blank and are asked for again.
    QTimer* m_retry = nullptr;
    mutable int m_failedReads = 0;
    mutable QMap<int, PageEdges> m_edges;
};

} // namespace zelvora
