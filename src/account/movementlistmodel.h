#pragma once

#include "account/accountstore.h"

#include <QAbstractTableModel>
#include <QHash>

namespace zelvora {

// One customer's movements behind the account window's grid. The row count comes from one count query
// and rows are read a page at a time when the grid asks for them, so a long account opens at once.
class MovementListModel final : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column { Tarih, Saat, Aciklama, Miktar, Birim, Kdv, Eklenen, Odenen, ColumnCount };
    static constexpr int PageSize = 128;

    explicit MovementListModel(const Database& db, QObject* parent = nullptr);
    ~MovementListModel() override;
    Q_DISABLE_COPY_MOVE(MovementListModel)

    // Reads the customer's movements anew; false (and the engine's text) when they cannot be read.
    bool reread(const QString& musKodu, QString* error = nullptr);

    // The row of the movement with that id, or -1 when the customer has no such movement.
    int rowOfMovement(qint64 id) const;

    // The movement as stored, or nullptr when it cannot be read.
    const Movement* movementAt(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const QVector<Movement>* page(int pageIndex) const;

    AccountStore m_store;
    QString m_musKodu;
    int m_count = 0;
    mutable QHash<int, QVector<Movement>> m_pages;
};

} // namespace zelvora
