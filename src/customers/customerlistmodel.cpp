// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/customerlistmodel.h"

#include "customers/listcounter.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"

namespace zelvora {

CustomerListModel::CustomerListModel(const Database& db, QObject* parent)
    : PagedListModel(ColumnCount, DisplayReads::RetryLater, parent)
    , m_store(db)
    , m_today(Clock::today())
    , m_counter(new ListCounter(db.target(), this))
{
    connect(m_counter, &ListCounter::counted, this, &CustomerListModel::onCounted);
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
    // Rows that cannot be read (a server gone away) do not empty the list: it stays as it was shown.
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return false;
    }
    beginResetModel();
    m_backwardsReadable = !keyless;
    m_countSettled = true;
    // An answer to an earlier source is not this list's count.
    m_countTicket = 0;
    resetPages(int(first.size()));
    keepPage(0, first);
    if (first.size() == PageSize) {
        m_countSettled = false;
        m_countTicket = m_counter->request(m_query);
    }
    endResetModel();
    return true;
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
        settleCount(error.isEmpty() ? int(count) : this->count());
    }
    return count();
}

void CustomerListModel::settleCount(int count)
{
    m_countSettled = true;
    m_countTicket = 0;
    resizeTo(count);
    emit countSettled();
}

CustomerListWindow CustomerListModel::windowFor(int pageIndex, int size) const
{
    using From = CustomerListWindow::From;
    const qint64 start = qint64(pageIndex) * PageSize;
    CustomerListWindow best = CustomerListWindow::top(start, size);
    const qint64 fromBottom = count() - start - size;
    // The bottom is known only once the list is counted.
    if (m_countSettled && fromBottom < best.skip)
        best = {From::Bottom, {}, fromBottom, size};
    const bool byId = m_query.kind == CustomerListQuery::Kind::TableOrder;
    // The nearest pages read before, above and below.
    if (const auto above = knownPageBefore(pageIndex)) {
        const qint64 afterLast = qint64(above->index) * PageSize + above->size;
        if (start - afterLast >= 0 && start - afterLast < best.skip)
            best = {From::After, above->last, start - afterLast, size};
    }
    const auto below = knownPageAfter(pageIndex);
    if (below && (byId || m_backwardsReadable)) {
        const qint64 skip = qint64(below->index) * PageSize - (start + size);
        if (skip >= 0 && skip < best.skip)
            best = {From::Before, below->first, skip, size};
    }
    return best;
}

QVector<CustomerListRow> CustomerListModel::readPage(int pageIndex, int size, QString* error) const
{
    return m_store.rows(m_query, m_today, windowFor(pageIndex, size), error);
}

int CustomerListModel::rowOf(qint64 id)
{
    const qint64 row = m_store.rowOf(m_query, id);
    if (row >= count())
        exactCount();
    return row >= 0 && row < count() ? int(row) : -1;
}

namespace {

// The credit limit the row's balance is above, if any.
std::optional<qint64> exceededLimit(const CustomerListRow& row)
{
    if (row.krediLimiti.isNull() || row.bakiye.isNull())
        return std::nullopt;
    const qint64 limit = row.krediLimiti.toLongLong();
    return row.bakiye.toLongLong() > limit ? std::optional<qint64>(limit) : std::nullopt;
}

} // namespace

QVariant CustomerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole) {
        if (index.column() == Gun || index.column() == Bakiye || index.column() == MusKodu)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        return {};
    }
    if (role == OverLimitRole || role == Qt::ToolTipRole) {
        // A customer over the credit limit: marked, with the limit on every cell's tooltip.
        const std::optional<CustomerListRow> row = displayedRow(index.row());
        const std::optional<qint64> limit = row ? exceededLimit(*row) : std::nullopt;
        if (role == OverLimitRole)
            return limit.has_value();
        return limit ? QVariant(QStringLiteral("Kredi limiti aşıldı (%1 TL)").arg(numbers::totals(*limit)))
                     : QVariant();
    }
    if (role != Qt::DisplayRole)
        return {};
    const std::optional<CustomerListRow> row = displayedRow(index.row());
    if (!row)
        return {};
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
