// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/collectionwindow.h"

#include "app/filedialog.h"
#include "app/messagebox.h"
#include "cli/csvexport.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"
#include "reports/reportpreview.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QAbstractTableModel>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSaveFile>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kTitle = QStringLiteral("Tahsilat Listesi");

QString daysText(const CollectionRow& row)
{
    return row.days ? QString::number(*row.days) : QString();
}

} // namespace

// The rows of the grid.
class CollectionModel final : public QAbstractTableModel
{
public:
    enum Column { MusKodu, MusteriFirma, Telefon1, Telefon2, Bakiye, SonOdeme, Gun, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QVector<CollectionRow> rows)
    {
        beginResetModel();
        m_rows = std::move(rows);
        endResetModel();
    }
    const QVector<CollectionRow>& rows() const { return m_rows; }

    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : int(m_rows.size()); }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : ColumnCount; }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_rows.size())
            return {};
        const CollectionRow& r = m_rows.at(index.row());
        if (role == Qt::TextAlignmentRole)
            return index.column() >= Bakiye ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
        if (role != Qt::DisplayRole)
            return {};
        switch (index.column()) {
        case MusKodu:
            return r.musKodu;
        case MusteriFirma:
            return r.musteriFirma;
        case Telefon1:
            return r.telefon1;
        case Telefon2:
            return r.telefon2;
        case Bakiye:
            return numbers::totals(r.bakiye);
        case SonOdeme:
            return dates::storedDateForDisplay(r.lastPayment);
        case Gun:
            return daysText(r);
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QStringList captions = {
            QStringLiteral("Müşteri No"), QStringLiteral("Müşteri"),   QStringLiteral("Telefon"), QStringLiteral("GSM"),
            QStringLiteral("Bakiye"),     QStringLiteral("Son Ödeme"), QStringLiteral("Gün")};
        return captions.value(section);
    }

private:
    QVector<CollectionRow> m_rows;
};

CollectionWindow::CollectionWindow(Database& db, AccountOpener openAccount, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
    , m_openAccount(std::move(openAccount))
    , m_model(new CollectionModel(this))
{
    setObjectName(QStringLiteral("tahsilatListesi"));
    setWindowTitle(kTitle);
    buildUi();
    reload();
    m_grid->setFocus(Qt::OtherFocusReason);
}

CollectionWindow::~CollectionWindow() = default;

void CollectionWindow::buildUi()
{
    auto* minLabel = new QLabel(QStringLiteral("En az :"), this);
    m_minDays = new QSpinBox(this);
    m_minDays->setObjectName(QStringLiteral("minDaysBox"));
    m_minDays->setRange(0, 99999);
    m_minDays->setSuffix(QStringLiteral(" gün"));
    m_minDays->setAccessibleName(QStringLiteral("En az kaç gündür ödeme yapmayanlar"));
    m_minDays->setMinimumWidth(110);
    minLabel->setBuddy(m_minDays);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summaryLabel"));
    auto* filterRow = new QHBoxLayout;
    filterRow->addWidget(minLabel);
    filterRow->addWidget(m_minDays);
    filterRow->addSpacing(24);
    filterRow->addWidget(m_summary, 1);

    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("collectionGrid"));
    m_grid->setAccessibleName(kTitle);
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->setTabKeyNavigation(false);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->setColumnWidth(CollectionModel::MusKodu, 80);
    m_grid->setColumnWidth(CollectionModel::MusteriFirma, 220);
    m_grid->setColumnWidth(CollectionModel::Telefon1, 110);
    m_grid->setColumnWidth(CollectionModel::Telefon2, 110);
    m_grid->setColumnWidth(CollectionModel::Bakiye, 110);
    m_grid->setColumnWidth(CollectionModel::SonOdeme, 90);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->installEventFilter(this);

    m_openButton = makeButton(QStringLiteral("Hesaba Gir"), QStringLiteral("openAccountButton"), this, {0, 34});
    m_reminderButton = makeButton(QStringLiteral("Hatırlatma Metni"), QStringLiteral("reminderButton"), this, {0, 34});
    m_printButton = makeButton(QStringLiteral("Yazdır"), QStringLiteral("printButton"), this, {0, 34});
    m_pdfButton = makeButton(QStringLiteral("PDF Olarak Kaydet"), QStringLiteral("saveButton"), this, {0, 34});
    m_csvButton = makeButton(QStringLiteral("CSV Olarak Kaydet"), QStringLiteral("csvButton"), this, {0, 34});
    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), this, {0, 34});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);
    for (LumButton* b : {m_csvButton, m_pdfButton, m_printButton, m_reminderButton, m_openButton})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filterRow);
    layout->addWidget(m_grid, 1);
    layout->addLayout(buttons);
    applyButtonLook(this, ButtonLook::Glass);
    resize(900, 560);

    setTabOrder(m_minDays, m_grid);
    setTabOrder(m_grid, m_openButton);
    setTabOrder(m_openButton, m_reminderButton);
    setTabOrder(m_reminderButton, m_printButton);
    setTabOrder(m_printButton, m_pdfButton);
    setTabOrder(m_pdfButton, m_csvButton);
    setTabOrder(m_csvButton, m_closeButton);

    connect(m_minDays, &QSpinBox::valueChanged, this, &CollectionWindow::applyFilter);
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            openSelected();
    });
    connect(m_openButton, &LumButton::clicked, this, &CollectionWindow::openSelected);
    connect(m_reminderButton, &LumButton::clicked, this, &CollectionWindow::copyReminder);
    connect(m_printButton, &LumButton::clicked, this, &CollectionWindow::print);
    connect(m_pdfButton, &LumButton::clicked, this, &CollectionWindow::savePdf);
    connect(m_csvButton, &LumButton::clicked, this, &CollectionWindow::saveCsv);
    connect(m_closeButton, &LumButton::clicked, this, &QDialog::reject);
}

void CollectionWindow::reload()
{
    QString error;
    std::optional<QVector<CollectionRow>> rows = CollectionStore(m_db).rows(Clock::today(), 0, &error);
    if (!rows) {
        MessageBox::ok(this, QStringLiteral("Liste okunamadı.\n\n") + error, QStringLiteral("Hata"),
                       MessageBox::Icon::Stop);
        rows.emplace();
    }
    m_all = std::move(*rows);
    applyFilter();
}

void CollectionWindow::applyFilter()
{
    const QModelIndex current = m_grid->currentIndex();
    const QString selected = current.isValid() ? m_model->rows().at(current.row()).musKodu : QString();
    m_model->setRows(CollectionStore::waitingAtLeast(m_all, m_minDays->value()));
    int row = 0;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        if (m_model->rows().at(i).musKodu == selected) {
            row = i;
            break;
        }
    }
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(row, 0));
    const std::optional<qint64> total = CollectionStore::totalOwed(m_model->rows());
    m_summary->setText(QStringLiteral("%1 müşteri, toplam %2")
                           .arg(m_model->rowCount())
                           .arg(total ? numbers::totals(*total) : QStringLiteral("-")));
    updateCommands();
}

const QVector<CollectionRow>& CollectionWindow::shownRows() const
{
    return m_model->rows();
}

void CollectionWindow::updateCommands()
{
    const bool hasRow = m_grid->currentIndex().isValid();
    m_openButton->setEnabled(hasRow && m_openAccount != nullptr);
    m_reminderButton->setEnabled(hasRow);
}

void CollectionWindow::openSelected()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid() || !m_openAccount)
        return;
    // Copied: the list is read again while the account is open.
    const QString musKodu = m_model->rows().at(current.row()).musKodu;
    m_openAccount(musKodu);
    reload();
}

QString CollectionWindow::reminderText(const CollectionRow& row, const QString& shopName, const QDate& today)
{
    const QString amount = numbers::totals(row.bakiye) + QStringLiteral(" TL");
    QString text = QStringLiteral("Sayın %1,\n\n").arg(row.musteriFirma.trimmed());
    text += shopName.isEmpty() ? QString() : shopName + QStringLiteral(" olarak ");
    text += QStringLiteral("%1 tarihi itibarıyla hesabınızda %2 tutarında ödenmemiş bakiye bulunduğunu "
                           "hatırlatmak isteriz. Uygun olduğunuz ilk fırsatta ödemenizi rica eder, iyi günler "
                           "dileriz.")
                .arg(dates::shortDate(today), amount);
    if (!shopName.isEmpty())
        text += QStringLiteral("\n\nSaygılarımızla,\n") + shopName;
    return text;
}

void CollectionWindow::copyReminder()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    const CollectionRow& row = m_model->rows().at(current.row());
    QGuiApplication::clipboard()->setText(reminderText(row, AppConfig::shopName(), Clock::today()));
    MessageBox::ok(this, row.musteriFirma + QStringLiteral(" için hatırlatma metni panoya kopyalandı."), kTitle,
                   MessageBox::Icon::Information);
}

void CollectionWindow::print()
{
    m_report.prepare(m_model->rows(), Clock::today(), m_minDays->value());
    m_report.preview(this);
}

void CollectionWindow::savePdf()
{
    m_report.prepare(m_model->rows(), Clock::today(), m_minDays->value());
    ReportPreview::saveAsPdf(this, m_report.report(), m_report.documentName());
}

bool CollectionWindow::writeCsv(const QString& file, const QVector<CollectionRow>& rows, QString* error)
{
    QByteArray content("\xEF\xBB\xBF");
    content.append("Müşteri No;Müşteri / Firma;Telefon;GSM;Bakiye;Son Ödeme;Gün\r\n");
    const auto field = [&content](const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        cli::appendCsvField(content, utf8.constData(), utf8.size());
    };
    for (const CollectionRow& r : rows) {
        field(r.musKodu);
        field(r.musteriFirma);
        field(r.telefon1);
        field(r.telefon2);
        cli::appendMoney(content, r.bakiye);
        content.append(';');
        field(dates::storedDateForDisplay(r.lastPayment));
        content.append(daysText(r).toLatin1());
        content.append("\r\n");
    }
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly) || out.write(content) != content.size() || !out.commit()) {
        if (error)
            *error = out.errorString();
        return false;
    }
    return true;
}

void CollectionWindow::saveCsv()
{
    const QString proposed
        = QFileInfo(ReportPreview::defaultPdfPath(m_report.documentName().isEmpty() ? kTitle : m_report.documentName()))
              .dir()
              .filePath(kTitle + QStringLiteral(" ") + dates::shortDate(Clock::today()) + QStringLiteral(".csv"));
    QString path = FileDialog::chooseSaveFile(this, QStringLiteral("CSV Olarak Kaydet"),
                                              QStringLiteral("CSV Dosyaları (*.csv)"), proposed);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".csv"), Qt::CaseInsensitive))
        path += QStringLiteral(".csv");
    QString error;
    if (!writeCsv(path, m_model->rows(), &error))
        MessageBox::ok(this,
                       QStringLiteral("CSV dosyası kaydedilemedi.\n\n") + QDir::toNativeSeparators(path)
                           + QStringLiteral("\n") + error,
                       QStringLiteral("Hata"), MessageBox::Icon::Stop);
}

bool CollectionWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            openSelected();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zelvora
