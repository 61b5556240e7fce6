// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/accountstore.h"
#include "data/pagedlistmodel.h"

namespace zelvora {

// One customer's movements behind the account window's grid. A reread counts the movements and sums them in
// one pass over an index; rows are read a page at a time when the grid asks for them, each page found from
// the nearest movement already read (or from either end of the account), so a long account opens at once
// and its last movements are as near as its first.
class MovementListModel final : public PagedListModel<Movement>
{
    Q_OBJECT

public:
    enum Column { Tarih, Saat, Aciklama, Miktar, Birim, Kdv, Eklenen, Odenen, ColumnCount };

    explicit MovementListModel(const Database& db, QObject* parent = nullptr);
    ~MovementListModel() override;
    Q_DISABLE_COPY_MOVE(MovementListModel)

    // Reads the customer's movements anew; false (and the engine's text) when they cannot be read, and the
    // grid is then empty; but a server gone away leaves the same customer's rows as they were shown.
    bool reread(const QString& musKodu, QString* error = nullptr);
    // Movements were only appended since the last reread (an entry was stored): reads just the new ones and
    // adds them, keeping the rows already read. Reads everything anew when there is nothing to add to.
    bool readAppended(QString* error = nullptr);
    // The count, newest id and sums of the last reread; nothing when it failed.
    const std::optional<AccountStore::Overview>& overview() const { return m_overview; }

    // The row of the movement with that id, or -1 when the customer has no such movement. nearRow is where
    // the movement is likely to be (its row before a reread), so that it is counted from the nearer end.
    int rowOfMovement(qint64 id, int nearRow = 0) const;

    // The movement as stored, or nothing when it cannot be read.
    std::optional<Movement> movementAt(int row) const { return rowAt(row); }

    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    // The tooltip of a movement's row: who stored it and when ("Kaydeden: ADMIN, 11.12.2026 14:05"); empty for
    // movements stored before that was kept.
    static QString storedByText(const Movement& m);
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVector<Movement> readPage(int pageIndex, int size, QString* error) const override;

    const Database& m_db;
    AccountStore m_store;
    QString m_musKodu;
    std::optional<AccountStore::Overview> m_overview;
};

} // namespace zelvora
