// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/customerstore.h"
#include "data/pagedlistmodel.h"

#include <QDate>

namespace zelvora {

class Database;
class ListCounter;

// The customer list behind the main window's grid. It reads rows a page at a time when the grid asks for
// them, so a long list shows its first screen at once. A page is read from the nearest place the index can
// find directly (the top, the bottom, or a row of a page read before), so the last page of a million rows is
// as quick as the first. A new source shows its first page at once; when that page is full, the rows below
// it are counted on another thread and join the grid a moment later (countSettled()). Whatever needs the
// exact number (the totals, the printed list, finding a row) asks exactCount(), which waits for it.
class CustomerListModel final : public PagedListModel<CustomerListRow>
{
    Q_OBJECT

public:
    enum Column { Turu, MusKodu, MusteriFirma, Sonislem, Gun, Bakiye, ColumnCount };
    // True for a customer whose balance is above the credit limit (the grid shows the balance in red).
    static constexpr int OverLimitRole = Qt::UserRole + 1;

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

    // The row as stored, or nothing when it cannot be read.
    std::optional<CustomerListRow> customerAt(int row) const { return rowAt(row); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

signals:
    // The rows below the first page have joined the list: the row count is exact now.
    void countSettled();

private:
    void onCounted(quint64 ticket, qint64 count);
    // Makes count the number of rows; the count has come.
    void settleCount(int count);

    QVector<CustomerListRow> readPage(int pageIndex, int size, QString* error) const override;
    CustomerListWindow windowFor(int pageIndex, int size) const;

    CustomerStore m_store;
    CustomerListQuery m_query;
    QDate m_today;
    bool m_countSettled = true;
    quint64 m_countTicket = 0;
    ListCounter* m_counter = nullptr;
    // Going back from a row in name order would pass over the rows without a sort key, which sort first;
    // while the table holds such rows, name-ordered pages are not read backwards from a row.
    bool m_backwardsReadable = true;
};

} // namespace zelvora
