// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/movementlistmodel.h"

#include "data/dateformat.h"
#include "data/numberformat.h"

#include <algorithm>
#include <limits>

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
    auto overview = m_store.overview(musKodu, std::nullopt, &failure);
    beginResetModel();
    m_musKodu = musKodu;
    m_overview = std::move(overview);
    m_pages.clear();
    m_knownIds.clear();
    m_count = m_overview ? int(std::min<qint64>(m_overview->count, std::numeric_limits<int>::max())) : 0;
    endResetModel();
    if (!m_overview && error)
        *error = failure;
    return m_overview.has_value();
}

bool MovementListModel::readAppended(QString* error)
{
    if (!m_overview)
        return reread(m_musKodu, error);
    const auto appended = m_store.overview(m_musKodu, m_overview->lastId);
    if (!appended)
        return reread(m_musKodu, error);
    beginResetModel();
    // The rows that were there keep their places and ids; the page that held the newest grows.
    for (auto it = m_pages.begin(); it != m_pages.end();)
        it = it.key() >= m_count / PageSize ? m_pages.erase(it) : std::next(it);
    m_overview->count += appended->count;
    m_overview->lastId = std::max(m_overview->lastId, appended->lastId);
    m_overview->sums.added += appended->sums.added;
    m_overview->sums.paid += appended->sums.paid;
    m_count = int(std::min<qint64>(m_overview->count, std::numeric_limits<int>::max()));
    endResetModel();
    return true;
}

const QVector<Movement>* MovementListModel::page(int pageIndex) const
{
    auto it = m_pages.find(pageIndex);
    if (it == m_pages.end()) {
        if (m_pages.size() > 64)
            m_pages.clear();
        const int first = pageIndex * PageSize;
        it = m_pages.insert(pageIndex, readPage(first, std::min(PageSize, m_count - first)));
    }
    return &it.value();
}

QVector<Movement> MovementListModel::readPage(int first, int count) const
{
    const int end = first + count;
    // The page is read from whichever known point lies nearest: the first movement, the newest one, or a row
    // read before on either side. Only the rows in between are stepped over, in the index alone.
    enum class From { First, Newest, After, Before } from = From::First;
    qint64 skip = first;
    qint64 knownId = 0;
    const auto consider = [&](From how, qint64 howMany, qint64 id) {
        if (howMany < skip) {
            from = how;
            skip = howMany;
            knownId = id;
        }
    };
    if (m_overview->lastId < std::numeric_limits<qint64>::max())
        consider(From::Newest, m_count - end, m_overview->lastId + 1);
    if (const auto above = m_knownIds.lower_bound(end); above != m_knownIds.end())
        consider(From::Before, above->first - end, above->second);
    if (auto below = m_knownIds.lower_bound(first); below != m_knownIds.begin()) {
        --below;
        consider(From::After, first - below->first - 1, below->second);
    }

    QVector<Movement> rows;
    switch (from) {
    case From::First:
        rows = m_store.movementsAfter(m_musKodu, std::nullopt, skip, count);
        break;
    case From::After:
        rows = m_store.movementsAfter(m_musKodu, knownId, skip, count);
        break;
    case From::Newest:
    case From::Before:
        rows = m_store.movementsBefore(m_musKodu, knownId, skip, count);
        break;
    }
    // A short page (the account changed since the reread) says nothing sure about where its rows stand.
    if (rows.size() == count && count > 0) {
        m_knownIds[first] = rows.first().id;
        m_knownIds[end - 1] = rows.last().id;
    }
    return rows;
}

const Movement* MovementListModel::movementAt(int row) const
{
    if (row < 0 || row >= m_count)
        return nullptr;
    const QVector<Movement>* rows = page(row / PageSize);
    const int offset = row % PageSize;
    return offset < rows->size() ? &rows->at(offset) : nullptr;
}

int MovementListModel::rowOfMovement(qint64 id, int nearRow) const
{
    for (auto it = m_pages.cbegin(); it != m_pages.cend(); ++it) {
        for (qsizetype i = 0; i < it.value().size(); ++i) {
            if (it.value().at(i).id == id)
                return it.key() * PageSize + int(i);
        }
    }
    const bool fromEnd = nearRow > m_count / 2;
    const qint64 counted = m_store.movementRow(m_musKodu, id, fromEnd);
    if (counted < 0)
        return -1;
    const qint64 row = fromEnd ? m_count - 1 - counted : counted;
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
