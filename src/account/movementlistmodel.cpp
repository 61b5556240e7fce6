#include "account/movementlistmodel.h"

#include "data/dateformat.h"
#include "data/numberformat.h"

namespace zelvora {

MovementListModel::MovementListModel(const Database& db, QObject* parent)
    : QAbstractTableModel(parent)
    , m_store(db)
{
}

MovementListModel::~MovementListModel() = default;

bool MovementListModel::reread(const QString& musKodu, QString* error)
{
    QString failure;
    const qint64 count = m_store.movementCount(musKodu, &failure);
    beginResetModel();
    m_musKodu = musKodu;
    m_pages.clear();
    m_count = failure.isEmpty() ? int(count) : 0;
    endResetModel();
    if (!failure.isEmpty() && error)
        *error = failure;
    return failure.isEmpty();
}

const QVector<Movement>* MovementListModel::page(int pageIndex) const
{
    auto it = m_pages.find(pageIndex);
    if (it == m_pages.end()) {
        if (m_pages.size() > 64)
            m_pages.clear();
        it = m_pages.insert(pageIndex, m_store.movements(m_musKodu, qint64(pageIndex) * PageSize, PageSize));
    }
    return &it.value();
}

const Movement* MovementListModel::movementAt(int row) const
{
    if (row < 0 || row >= m_count)
        return nullptr;
    const QVector<Movement>* rows = page(row / PageSize);
    const int offset = row % PageSize;
    return offset < rows->size() ? &rows->at(offset) : nullptr;
}

int MovementListModel::rowOfMovement(qint64 id) const
{
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
        for (qsizetype i = 0; i < it.value().size(); ++i) {
            if (it.value().at(i).id == id)
                return it.key() * PageSize + int(i);
        }
    }
    const qint64 row = m_store.movementRow(m_musKodu, id);
    return row >= 0 && row < m_count ? int(row) : -1;
}

int MovementListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int MovementListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MovementListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int column = index.column();
    if (role == Qt::TextAlignmentRole) {
        if (column == Miktar || column == Kdv || column == Eklenen || column == Odenen)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (column == Tarih || column == Saat)
            return QVariant::fromValue(Qt::AlignCenter);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    const Movement* m = movementAt(index.row());
    if (!m)
        return {};
    const auto number = [](const QVariant& v) { return v.isNull() ? QString() : numbers::plain(v.toDouble()); };
    const auto money = [](const QVariant& v) { return v.isNull() ? QString() : numbers::totals(v.toLongLong()); };
    switch (column) {
    case Tarih:
        return dates::storedDateForDisplay(m->tarih);
    case Saat:
        return m->saat;
    case Aciklama:
        return m->aciklama;
    case Miktar:
        return number(m->miktar);
    case Birim:
        return m->birim;
    case Kdv:
        return number(m->kdv);
    case Eklenen:
        return money(m->eklenen);
    case Odenen:
        return money(m->odenen);
    default:
        return {};
    }
}

QVariant MovementListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList headings
        = {QStringLiteral("TARİH"), QStringLiteral("SAAT"), QStringLiteral("AÇIKLAMA"), QStringLiteral("MİK"),
           QStringLiteral("BİRİM"), QStringLiteral("KDV"),  QStringLiteral("EKLENEN"),  QStringLiteral("ÖDENEN")};
    return section >= 0 && section < headings.size() ? QVariant(headings.at(section)) : QVariant();
}

} // namespace zelvora
