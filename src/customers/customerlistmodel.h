#pragma once

#include "data/customerstore.h"

#include <QAbstractTableModel>
#include <QHash>

namespace zelvora {

class Database;

// The customer list behind the main window's grid. It knows the row count from one count query and reads
// rows a page at a time when the grid asks for them, so a long list shows its first screen at once.
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

    // The row as stored, or nullptr when it cannot be read.
    const CustomerListRow* customerAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const QVector<CustomerListRow>* page(int pageIndex) const;

    CustomerStore m_store;
    CustomerListQuery m_query;
    int m_count = 0;
    mutable QHash<int, QVector<CustomerListRow>> m_pages;
};

} // namespace zelvora
