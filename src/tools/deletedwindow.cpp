// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/deletedwindow.h"
#include "tools/toolgrid.h"

#include "app/messagebox.h"
#include "data/database.h"
#include "data/numberformat.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QAbstractTableModel>
#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kTitle = QStringLiteral("Silinen Kayıtlar");

QString shownMoment(const QString& stored)
{
    const QDateTime moment = QDateTime::fromString(stored, QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    return moment.isValid() ? moment.toString(QStringLiteral("dd.MM.yyyy HH:mm")) : stored;
}

} // namespace

// The entries behind the grid; a vector, so a long list of deleted movements costs no more than its rows.
class DeletedModel final : public QAbstractTableModel
{
public:
    enum Column { Silen, Silinme, Musteri, Aciklama, Tutar, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setEntries(QVector<DeletedEntry> entries)
    {
        beginResetModel();
        m_entries = std::move(entries);
        endResetModel();
    }
    const QVector<DeletedEntry>& entries() const { return m_entries; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_entries.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_entries.size())
            return {};
        if (role == Qt::TextAlignmentRole && index.column() == Tutar)
            return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
        if (role != Qt::DisplayRole)
            return {};
        const DeletedEntry& e = m_entries.at(index.row());
        const bool customer = e.kind == DeletedEntry::Kind::Customer;
        switch (index.column()) {
        case Silen:
            return e.deletedBy.isEmpty() ? QStringLiteral("(bilinmiyor)") : e.deletedBy;
        case Silinme:
            return shownMoment(e.deletedAt);
        case Musteri:
            return e.customerName.isEmpty() ? e.musKodu : e.musKodu + QStringLiteral(" - ") + e.customerName;
        case Aciklama:
            return customer ? QStringLiteral("Müşteri kaydı (%1 hareketiyle)").arg(e.movementCount) : e.aciklama;
        case Tutar:
            return numbers::totals(e.amount);
        default:
            return {};
        }
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QString captions[ColumnCount]
            = {QStringLiteral("Silen"), QStringLiteral("Silinme"), QStringLiteral("Müşteri"),
               QStringLiteral("Açıklama"), QStringLiteral("Tutar")};
        return section >= 0 && section < ColumnCount ? captions[section] : QVariant();
    }

private:
    QVector<DeletedEntry> m_entries;
};

DeletedRecordsWindow::DeletedRecordsWindow(Database& db, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
    , m_model(new DeletedModel(this))
{
    setObjectName(QStringLiteral("silinenKayitlar"));
    setWindowTitle(kTitle);
    buildUi();
    reload();
    m_grid->setFocus(Qt::OtherFocusReason);
}

DeletedRecordsWindow::~DeletedRecordsWindow() = default;

void DeletedRecordsWindow::buildUi()
{
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));

    m_grid = makeToolGrid(QStringLiteral("deletedGrid"), kTitle, m_model, this);
    m_grid->setColumnWidth(DeletedModel::Silen, 110);
    m_grid->setColumnWidth(DeletedModel::Silinme, 130);
    m_grid->setColumnWidth(DeletedModel::Musteri, 220);
    m_grid->setColumnWidth(DeletedModel::Aciklama, 240);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->installEventFilter(this);

    m_restoreButton = makeButton(QStringLiteral("Geri Al"), QStringLiteral("undoDeleteButton"), this, {0, 34});
    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), this, {0, 34});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);
    buttons->addWidget(m_restoreButton);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    applyButtonLook(this, ButtonLook::Glass);
    resize(860, 520);

    setTabOrder(m_grid, m_restoreButton);
    setTabOrder(m_restoreButton, m_closeButton);
    connect(m_restoreButton, &LumButton::clicked, this, &DeletedRecordsWindow::restoreSelected);
    connect(m_closeButton, &LumButton::clicked, this, &QDialog::reject);
}

void DeletedRecordsWindow::reload()
{
    const int row = std::max(0, m_grid->currentIndex().row());
    QString error;
    std::optional<QVector<DeletedEntry>> entries = DeletedStore(m_db).entries(&error);
    if (!entries) {
        m_model->setEntries({});
        m_summary->setText(QStringLiteral("Silinen kayıtlar okunamadı."));
        MessageBox::ok(this, QStringLiteral("Silinen kayıtlar okunamadı.\n\n") + error, kTitle, MessageBox::Icon::Stop);
        updateCommands();
        return;
    }
    m_model->setEntries(std::move(*entries));
    m_summary->setText(m_model->rowCount() == 0 ? QStringLiteral("Silinmiş kayıt yok.")
                                                : QStringLiteral("%1 silinmiş kayıt").arg(m_model->rowCount()));
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(std::min(row, m_model->rowCount() - 1), 0));
    updateCommands();
}

const QVector<DeletedEntry>& DeletedRecordsWindow::shownEntries() const
{
    return m_model->entries();
}

void DeletedRecordsWindow::updateCommands()
{
    m_restoreButton->setEnabled(m_model->rowCount() > 0);
}

bool DeletedRecordsWindow::restoreSelected()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid() || current.row() >= m_model->rowCount())
        return false;
    const DeletedEntry entry = m_model->entries().at(current.row());
    QString error;
    const DeletedStore store(m_db);
    const bool customer = entry.kind == DeletedEntry::Kind::Customer;
    if (!(customer ? store.restoreCustomer(entry.id, &error) : store.restoreMovement(entry.id, &error))) {
        MessageBox::ok(this, QStringLiteral("Kayıt geri alınamadı.\n\n") + error, kTitle,
                       MessageBox::Icon::Exclamation);
        reload();
        m_grid->setFocus(Qt::OtherFocusReason);
        return false;
    }
    reload();
    MessageBox::ok(this,
                   customer ? QStringLiteral("%1 numaralı müşteri hareketleriyle geri alındı.").arg(entry.musKodu)
                            : QStringLiteral("Hareket %1 numaralı müşterinin hesabına geri alındı.").arg(entry.musKodu),
                   kTitle, MessageBox::Icon::Information);
    m_grid->setFocus(Qt::OtherFocusReason);
    return true;
}

bool DeletedRecordsWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            restoreSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zelvora
