// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/daysummarywindow.h"
#include "tools/toolgrid.h"

#include "app/messagebox.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/numberformat.h"
#include "reports/reportpreview.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QAbstractTableModel>
#include <QDateEdit>
#include <QFont>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableView>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kTitle = QStringLiteral("Gün Sonu");

// A date box that Tab leaves at once: the day, month and year are typed in a row, each full one moves on.
class DateBox final : public QDateEdit
{
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

QTableView* makeGrid(const QString& objectName, const QString& accessibleName, QAbstractItemModel* model,
                     QWidget* parent)
{
    QTableView* grid = makeToolGrid(objectName, accessibleName, model, parent);
    grid->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grid->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    return grid;
}

QVariant rightAligned(int column, int firstRight)
{
    return column >= firstRight ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
}

} // namespace

// The users' rows and, last, the day's total in bold.
class DayUsersModel final : public QAbstractTableModel
{
public:
    enum Column { Kullanici, Hareket, Eklenen, Odenen, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setSummary(const DaySummary& summary)
    {
        beginResetModel();
        m_rows = summary.users;
        m_rows.append(summary.total);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        const bool totalRow = index.row() == m_rows.size() - 1;
        if (role == Qt::TextAlignmentRole)
            return rightAligned(index.column(), Hareket);
        if (role == Qt::FontRole && totalRow) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        if (role != Qt::DisplayRole)
            return {};
        const DayUserTotal& r = m_rows.at(index.row());
        switch (index.column()) {
        case Kullanici:
            return totalRow ? DaySummaryReport::totalCaption() : DaySummaryReport::userCaption(r.kullanici);
        case Hareket:
            return QString::number(r.count);
        case Eklenen:
            return numbers::totals(r.eklenen);
        case Odenen:
            return numbers::totals(r.odenen);
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QStringList captions = {QStringLiteral("Kullanıcı"), QStringLiteral("Hareket"),
                                             QStringLiteral("Eklenen"), QStringLiteral("Ödenen")};
        return captions.value(section);
    }

private:
    QVector<DayUserTotal> m_rows;
};

// The customers over their limit after the day.
class OverLimitModel final : public QAbstractTableModel
{
public:
    enum Column { Musteri, MusKodu, Limit, Bakiye, Asan, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QVector<OverLimitCustomer> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        if (role == Qt::TextAlignmentRole)
            return rightAligned(index.column(), Limit);
        if (role != Qt::DisplayRole)
            return {};
        const OverLimitCustomer& r = m_rows.at(index.row());
        switch (index.column()) {
        case Musteri:
            return r.musteriFirma;
        case MusKodu:
            return r.musKodu;
        case Limit:
            return numbers::totals(r.krediLimiti);
        case Bakiye:
            return numbers::totals(r.bakiye);
        case Asan:
            return DaySummaryReport::excessText(r);
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QStringList captions
            = {QStringLiteral("Müşteri"), QStringLiteral("Müşteri No"), QStringLiteral("Kredi Limiti"),
               QStringLiteral("Gün Sonu Bakiyesi"), QStringLiteral("Aşan")};
        return captions.value(section);
    }

private:
    QVector<OverLimitCustomer> m_rows;
};

DaySummaryWindow::DaySummaryWindow(Database& db, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
    , m_usersModel(new DayUsersModel(this))
    , m_overModel(new OverLimitModel(this))
{
    setObjectName(QStringLiteral("gunSonu"));
    setWindowTitle(kTitle);
    buildUi();
    reload();
    m_dayBox->setFocus(Qt::OtherFocusReason);
}

DaySummaryWindow::~DaySummaryWindow() = default;

void DaySummaryWindow::buildUi()
{
    auto* dayLabel = new QLabel(QStringLiteral("Tarih :"), this);
    m_dayBox = new DateBox(Clock::today(), this);
    m_dayBox->setObjectName(QStringLiteral("dayBox"));
    m_dayBox->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    m_dayBox->setCalendarPopup(true);
    m_dayBox->setMinimumWidth(130);
    m_dayBox->setAccessibleName(QStringLiteral("Gün"));
    dayLabel->setBuddy(m_dayBox);
    m_countLabel = new QLabel(this);
    m_countLabel->setObjectName(QStringLiteral("countLabel"));
    auto* dayRow = new QHBoxLayout;
    dayRow->addWidget(dayLabel);
    dayRow->addWidget(m_dayBox);
    dayRow->addSpacing(24);
    dayRow->addWidget(m_countLabel, 1);

    m_usersGrid = makeGrid(QStringLiteral("usersGrid"), QStringLiteral("Kullanıcılara göre"), m_usersModel, this);
    m_overLabel = new QLabel(this);
    m_overLabel->setObjectName(QStringLiteral("overLimitLabel"));
    m_overGrid = makeGrid(QStringLiteral("overLimitGrid"), QStringLiteral("Kredi limitini aşan müşteriler"),
                          m_overModel, this);

    m_printButton = makeButton(QStringLiteral("Yazdır"), QStringLiteral("printButton"), this, {0, 34});
    m_pdfButton = makeButton(QStringLiteral("PDF Olarak Kaydet"), QStringLiteral("saveButton"), this, {0, 34});
    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), this, {0, 34});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);
    buttons->addWidget(m_pdfButton);
    buttons->addWidget(m_printButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(dayRow);
    layout->addWidget(m_usersGrid, 3);
    layout->addWidget(m_overLabel);
    layout->addWidget(m_overGrid, 2);
    layout->addLayout(buttons);
    applyButtonLook(this, ButtonLook::Glass);
    resize(760, 560);

    setTabOrder(m_dayBox, m_usersGrid);
    setTabOrder(m_usersGrid, m_overGrid);
    setTabOrder(m_overGrid, m_printButton);
    setTabOrder(m_printButton, m_pdfButton);
    setTabOrder(m_pdfButton, m_closeButton);

    connect(m_dayBox, &QDateEdit::dateChanged, this, &DaySummaryWindow::reload);
    connect(m_printButton, &LumButton::clicked, this, &DaySummaryWindow::print);
    connect(m_pdfButton, &LumButton::clicked, this, &DaySummaryWindow::savePdf);
    connect(m_closeButton, &LumButton::clicked, this, &QDialog::reject);
}

void DaySummaryWindow::reload()
{
    const QDate day = m_dayBox->date();
    QString error;
    std::optional<DaySummary> summary = DaySummaryStore(m_db).summary(day, &error);
    if (!summary) {
        MessageBox::ok(this, QStringLiteral("Gün sonu okunamadı.\n\n") + error, QStringLiteral("Hata"),
                       MessageBox::Icon::Stop);
        summary.emplace();
        summary->day = day;
    }
    m_summary = std::move(*summary);
    m_usersModel->setSummary(m_summary);
    m_overModel->setRows(m_summary.overLimit);
    m_countLabel->setText(QStringLiteral("%1 hareket").arg(m_summary.total.count));
    m_overLabel->setText(m_summary.overLimit.isEmpty()
                             ? QStringLiteral("Kredi limitini aşan müşteri yok.")
                             : QStringLiteral("Kredi limitini aşan müşteriler (%1) :").arg(m_summary.overLimit.size()));
}

void DaySummaryWindow::print()
{
    m_report.prepare(m_summary, AppConfig::shopName());
    m_report.preview(this);
}

void DaySummaryWindow::savePdf()
{
    m_report.prepare(m_summary, AppConfig::shopName());
    ReportPreview::saveAsPdf(this, m_report.report(), m_report.documentName());
}

} // namespace zelvora
