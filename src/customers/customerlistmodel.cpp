// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"

#include "customers/listcounter.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"

#include <QTimer>
#include <optional>

namespace zelvora {

CustomerListModel::CustomerListModel(const Database& db, QObject* parent)
    : QAbstractTableModel(parent)
    , m_store(db)
    , m_today(Clock::today())
    , m_retry(new QTimer(this))
    , m_counter(new ListCounter(db.target(), this))
{
    connect(m_counter, &ListCounter::counted, this, &CustomerListModel::onCounted);
    m_retry->setSingleShot(true);
    m_retry->setInterval(25);
    connect(m_retry, &QTimer::timeout, this, [this] {
        if (m_count > 0)
            emit dataChanged(index(0, 0), index(m_count - 1, ColumnCount - 1), {Qt::DisplayRole});
    });
}

CustomerListModel::~CustomerListModel() = default;

bool CustomerListModel::setSource(const CustomerListQuery& query, QString* error)
{
    m_query = query;
    return reread(error);
}

bool CustomerListModel::reread(QString* error)
{
    QString failure;
    const bool keyless = m_store.missingNameKeys(1, &failure) != 0;
    // The first page decides at once: a list that fits on it is counted by it.
    QVector<CustomerListRow> first;
    if (failure.isEmpty())
        first = m_store.rows(m_query, m_today, CustomerListWindow::top(0, PageSize), &failure);
    beginResetModel();
    m_pages.clear();
    m_edges.clear();
    m_backwardsReadable = !keyless;
    m_countSettled = true;
    // An answer to an earlier source is not this list's count.
    m_countTicket = 0;
    m_count = failure.isEmpty() ? int(first.size()) : 0;
    if (failure.isEmpty()) {
        m_pages.insert(0, first);
        if (!first.isEmpty())
            m_edges.insert(0, {first.constFirst(), first.constLast(), int(first.size())});
        if (first.size() == PageSize) {
            m_countSettled = false;
            m_countTicket = m_counter->request(m_query);
        }
    }
    endResetModel();
    if (!failure.isEmpty() && error)
        *error = failure;
    return failure.isEmpty();
}

void CustomerListModel::onCounted(quint64 ticket, qint64 count)
{
    if (ticket != m_countTicket || m_countSettled)
        return;
    if (count < 0) {
        // The other connection could not count: count here.
        exactCount();
        return;
    }
    settleCount(int(count));
}

int CustomerListModel::exactCount()
{
    if (!m_countSettled) {
        QString error;
        const qint64 count = m_store.count(m_query, &error);
        // A list that cannot be counted keeps the rows it shows.
        settleCount(error.isEmpty() ? int(count) : m_count);
    }
    return m_count;
}

void CustomerListModel::settleCount(int count)
{
    m_countSettled = true;
    m_countTicket = 0;
    if (count > m_count) {
        beginInsertRows({}, m_count, count - 1);
        m_count = count;
        endInsertRows();
    } else if (count < m_count) {
        beginRemoveRows({}, count, m_count - 1);
        m_count = count;
        // Pages past the end are read again if the list grows back.
        m_pages.clear();
        m_edges.clear();
        endRemoveRows();
    }
    emit countSettled();
}

CustomerListWindow CustomerListModel::windowFor(int pageIndex) const
{
    using From = CustomerListWindow::From;
    const qint64 start = qint64(pageIndex) * PageSize;
    const qint64 size = std::min<qint64>(PageSize, m_count - start);
    CustomerListWindow best = CustomerListWindow::top(start, size);
    const qint64 fromBottom = m_count - start - size;
    // The bottom is known only once the list is counted.
    if (m_countSettled && fromBottom < best.skip)
        best = {From::Bottom, {}, fromBottom, size};
    const bool byId = m_query.kind == CustomerListQuery::Kind::TableOrder;
    // The nearest pages read before, above and below.
    auto below = m_edges.lowerBound(pageIndex);
    if (below != m_edges.begin()) {
        const auto above = std::prev(below);
        const qint64 afterLast = qint64(above.key()) * PageSize + above->size;
        if (start - afterLast >= 0 && start - afterLast < best.skip)
            best = {From::After, above->last, start - afterLast, size};
    }
    if (below != m_edges.end() && below.key() == pageIndex)
        ++below;
    if (below != m_edges.end() && (byId || m_backwardsReadable)) {
        const qint64 skip = qint64(below.key()) * PageSize - (start + size);
        if (skip >= 0 && skip < best.skip)
            best = {From::Before, below->first, skip, size};
    }
    return best;
}

const QVector<CustomerListRow>* CustomerListModel::page(int pageIndex, bool forDisplay) const
{
    // Tried again this many times (about two seconds) before a page that cannot be read is left empty.
    constexpr int mostRetries = 80;
    auto it = m_pages.find(pageIndex);
    if (it == m_pages.end()) {
        // A read for display failed a moment ago: the rows stay blank until the retry, without asking again.
        if (forDisplay && m_retry->isActive())
            return nullptr;
        QString error;
        QVector<CustomerListRow> rows;
        {
            std::optional<Database::NoWait> noWait;
            if (forDisplay && m_failedReads < mostRetries)
                noWait.emplace();
            rows = m_store.rows(m_query, m_today, windowFor(pageIndex), &error);
        }
        if (!error.isEmpty() && forDisplay && m_failedReads < mostRetries) {
            ++m_failedReads;
            m_retry->start();
            return nullptr;
        }
        m_failedReads = 0;
        // Only a few screens are kept; scrolling far reads the pages again.
        if (m_pages.size() > 64)
            m_pages.clear();
        it = m_pages.insert(pageIndex, rows);
        if (!it->isEmpty())
            m_edges.insert(pageIndex, {it->constFirst(), it->constLast(), int(it->size())});
    }
    return &it.value();
}

int CustomerListModel::rowOf(qint64 id)
{
    const qint64 row = m_store.rowOf(m_query, id);
    if (row >= m_count)
        exactCount();
    return row >= 0 && row < m_count ? int(row) : -1;
}

const CustomerListRow* CustomerListModel::customerAt(int row) const
{
    if (row < 0 || row >= m_count)
        return nullptr;
    const QVector<CustomerListRow>* rows = page(row / PageSize);
    const int offset = row % PageSize;
    return rows && offset < rows->size() ? &rows->at(offset) : nullptr;
}

int CustomerListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_count;
}

int CustomerListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CustomerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == Gun || index.column() == Bakiye || index.column() == MusKodu)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role != Qt::DisplayRole)
        return {};
    if (index.row() >= m_count)
        return {};
    const QVector<CustomerListRow>* rows = page(index.row() / PageSize, true);
    const int offset = index.row() % PageSize;
    if (!rows || offset >= rows->size())
        return {};
    const CustomerListRow* row = &rows->at(offset);
    switch (index.column()) {
    case Turu:
        return row->turu;
    case MusKodu:
        return row->musKodu;
    case MusteriFirma:
        return row->musteriFirma;
    case Sonislem:
        return dates::storedDateForDisplay(row->sonislem);
    case Gun:
        return row->gun.isNull() ? QString() : QString::number(row->gun.toLongLong());
    case Bakiye:
        return row->bakiye.isNull() ? QString() : numbers::totals(row->bakiye.toLongLong());
    default:
        return {};
    }
}

QVariant CustomerListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Turu:
        return QStringLiteral("HESAP TÜRÜ");
    case MusKodu:
        return QStringLiteral("MÜŞTERİ NO");
    case MusteriFirma:
        return QStringLiteral("MÜŞTERİ");
    case Sonislem:
        return QStringLiteral("SON İŞLEM TARİHİ");
    case Gun:
        return QStringLiteral("GÜN");
    case Bakiye:
        return QStringLiteral("BAKİYE");
    default:
        return {};
    }
}

} // namespace zelvora
