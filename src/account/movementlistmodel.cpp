// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/movementlistmodel.h"

#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"

#include <QDateTime>
#include <algorithm>
#include <limits>

namespace zelvora {

MovementListModel::MovementListModel(const Database& db, QObject* parent)
    : PagedListModel(ColumnCount, DisplayReads::Wait, parent)
    , m_db(db)
    , m_store(db)
{
}

MovementListModel::~MovementListModel() = default;

bool MovementListModel::reread(const QString& musKodu, QString* error)
{
    QString failure;
    auto overview = m_store.overview(musKodu, std::nullopt, &failure);
    // The same account that cannot be read now (a server gone away) stays as it was shown.
    if (!overview && m_overview && musKodu == m_musKodu && m_db.isLost()) {
        if (error)
            *error = failure;
        return false;
    }
    beginResetModel();
    m_musKodu = musKodu;
    m_overview = std::move(overview);
    resetPages(m_overview ? int(std::min<qint64>(m_overview->count, std::numeric_limits<int>::max())) : 0);
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
    dropPagesFrom(count() / PageSize);
    m_overview->count += appended->count;
    m_overview->lastId = std::max(m_overview->lastId, appended->lastId);
    m_overview->sums.added += appended->sums.added;
    m_overview->sums.paid += appended->sums.paid;
    setCountKeepingPages(int(std::min<qint64>(m_overview->count, std::numeric_limits<int>::max())));
    endResetModel();
    return true;
}

QVector<Movement> MovementListModel::readPage(int pageIndex, int size, QString* error) const
{
    const int first = pageIndex * PageSize;
    const int end = first + size;
    // The page is read from whichever known point lies nearest: the first movement, the newest one, or a page
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
        consider(From::Newest, count() - end, m_overview->lastId + 1);
    if (const auto below = knownPageAfter(pageIndex))
        consider(From::Before, below->index * PageSize - end, below->first.id);
    if (const auto above = knownPageBefore(pageIndex))
        consider(From::After, first - (above->index * PageSize + above->size), above->last.id);

    switch (from) {
    case From::First:
        return m_store.movementsAfter(m_musKodu, std::nullopt, skip, size, error);
    case From::After:
        return m_store.movementsAfter(m_musKodu, knownId, skip, size, error);
    case From::Newest:
    case From::Before:
        return m_store.movementsBefore(m_musKodu, knownId, skip, size, error);
    }
    return {};
}

int MovementListModel::rowOfMovement(qint64 id, int nearRow) const
{
    if (const int kept = keptRowWhere([id](const Movement& m) { return m.id == id; }); kept >= 0)
        return kept;
    const bool fromEnd = nearRow > count() / 2;
    const qint64 counted = m_store.movementRow(m_musKodu, id, fromEnd);
    if (counted < 0)
        return -1;
    const qint64 row = fromEnd ? count() - 1 - counted : counted;
    return row >= 0 && row < count() ? int(row) : -1;
}

QString MovementListModel::storedByText(const Movement& m)
{
    // Movements stored before who and when were kept have neither: no tooltip.
    if (m.kullanici.isEmpty() && m.kayit.isEmpty())
        return {};
    const QDateTime moment = QDateTime::fromString(m.kayit, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    const QString when = moment.isValid() ? moment.toString(QStringLiteral("dd.MM.yyyy HH:mm")) : m.kayit;
    return QStringLiteral("Kaydeden: %1, %2")
        .arg(m.kullanici.isEmpty() ? QStringLiteral("(bilinmiyor)") : m.kullanici, when);
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
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const std::optional<Movement> m = displayedRow(index.row());
    if (!m)
        return {};
    if (role == Qt::ToolTipRole)
        return storedByText(*m);
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
