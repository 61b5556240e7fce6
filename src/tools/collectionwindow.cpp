// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/collectionwindow.h"
#include "tools/toolgrid.h"

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

#include "data/pagedlistmodel.h"

#include <QClipboard>
#include <QColor>
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
#include <limits>

namespace zelvora {

namespace {

const QString kTitle = QStringLiteral("Tahsilat Listesi");

QString daysText(const CollectionRow& row)
{
    return row.days ? QString::number(*row.days) : QString();
}

} // namespace

// The rows of the grid, read a page at a time along the list's index: opening reads the count and the total in
// one aggregate and the first screen only. A page is read from the nearest row already read in the same part of
// the list (the rows with a known wait, then the rest), or from that part's top or bottom.
class CollectionModel final : public PagedListModel<CollectionRow>
{
public:
    enum Column { MusKodu, MusteriFirma, Telefon1, Telefon2, Bakiye, SonOdeme, Gun, Limit, ColumnCount };

    explicit CollectionModel(const Database& db, QObject* parent)
        : PagedListModel(ColumnCount, DisplayReads::Wait, parent)
        , m_store(db)
    {
    }

    // Reads the list anew for filter; false (and the engine's text) when it cannot, and the grid is then empty.
    bool reread(const CollectionStore::Filter& filter, QString* error)
    {
        std::optional<CollectionStore::Summary> summary = m_store.summary(filter, error);
        beginResetModel();
        m_filter = filter;
        m_summary = summary.value_or(CollectionStore::Summary {});
        resetPages(int(std::min<qint64>(m_summary.count, std::numeric_limits<int>::max())));
        endResetModel();
        return summary.has_value();
    }

    const CollectionStore& store() const { return m_store; }
    const CollectionStore::Filter& filter() const { return m_filter; }
    const CollectionStore::Summary& summary() const { return m_summary; }
    std::optional<CollectionRow> customerAt(int row) const { return rowAt(row); }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!index.isValid())
            return {};
        if (role == Qt::TextAlignmentRole)
            return index.column() >= Bakiye && index.column() != Limit ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                                                                       : QVariant();
        if (role != Qt::DisplayRole && role != Qt::ForegroundRole && role != Qt::ToolTipRole)
            return {};
        const std::optional<CollectionRow> r = displayedRow(index.row());
        if (!r)
            return {};
        if (role == Qt::ForegroundRole)
            return r->overLimit() ? QVariant(QColor(Qt::red)) : QVariant();
        if (role == Qt::ToolTipRole)
            return r->overLimit() ? QVariant(
                       QStringLiteral("Bakiye kredi limitini (%1 TL) aşıyor.").arg(numbers::totals(*r->krediLimiti)))
                                  : QVariant();
        switch (index.column()) {
        case MusKodu:
            return r->musKodu;
        case MusteriFirma:
            return r->musteriFirma;
        case Telefon1:
            return r->telefon1;
        case Telefon2:
            return r->telefon2;
        case Bakiye:
            return numbers::totals(r->bakiye);
        case SonOdeme:
            return dates::storedDateForDisplay(r->lastPayment);
        case Gun:
            return daysText(*r);
        case Limit:
            return r->overLimit() ? QStringLiteral("Aşıldı") : QString();
        }
        return {};
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return QAbstractTableModel::headerData(section, orientation, role);
        static const QStringList captions
            = {QStringLiteral("Müşteri No"), QStringLiteral("Müşteri"), QStringLiteral("Telefon"),
               QStringLiteral("GSM"),        QStringLiteral("Bakiye"),  QStringLiteral("Son Ödeme"),
               QStringLiteral("Gün"),        QStringLiteral("Limit")};
        return captions.value(section);
    }

private:
    using From = CollectionStore::Window::From;
    using Part = CollectionStore::Part;

    QVector<CollectionRow> readPage(int pageIndex, int size, QString* error) const override
    {
        const qint64 start = qint64(pageIndex) * PageSize;
        const qint64 end = start + size;
        const qint64 dated = std::min<qint64>(m_summary.dated, count());
        QVector<CollectionRow> result;
        // A page may hold the last rows with a known wait and the first without.
        const struct
        {
            Part part;
            qint64 first;
            qint64 end;
        } parts[] = {{Part::Dated, 0, dated}, {Part::Undated, dated, count()}};
        for (const auto& part : parts) {
            const qint64 from = std::max(start, part.first);
            const qint64 to = std::min(end, part.end);
            if (from >= to)
                continue;
            result += m_store.rows(m_filter, windowFor(pageIndex, part.part, part.first, part.end, from, to), error);
            if (error && !error->isEmpty())
                return {};
        }
        return result;
    }

    // The read of rows [from, to) of a part [first, end) that steps over the fewest rows.
    CollectionStore::Window windowFor(int pageIndex, Part part, qint64 first, qint64 end, qint64 from, qint64 to) const
    {
        CollectionStore::Window best {part, From::Top, {}, from - first, to - from};
        if (end - to < best.skip)
            best = {part, From::Bottom, {}, end - to, to - from};
        if (const auto above = knownPageBefore(pageIndex)) {
            const qint64 last = qint64(above->index) * PageSize + above->size - 1;
            if (last >= first && last < from && from - last - 1 < best.skip)
                best = {part, From::After, above->last, from - last - 1, to - from};
        }
        if (const auto below = knownPageAfter(pageIndex)) {
            const qint64 row = qint64(below->index) * PageSize;
            if (row < end && row >= to && row - to < best.skip)
                best = {part, From::Before, below->first, row - to, to - from};
        }
        return best;
    }

    CollectionStore m_store;
    CollectionStore::Filter m_filter;
    CollectionStore::Summary m_summary;
};

CollectionWindow::CollectionWindow(Database& db, AccountOpener openAccount, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
    , m_openAccount(std::move(openAccount))
    , m_model(new CollectionModel(db, this))
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

    m_grid = makeToolGrid(QStringLiteral("collectionGrid"), kTitle, m_model, this);
    m_grid->setColumnWidth(CollectionModel::MusKodu, 80);
    m_grid->setColumnWidth(CollectionModel::MusteriFirma, 220);
    m_grid->setColumnWidth(CollectionModel::Telefon1, 110);
    m_grid->setColumnWidth(CollectionModel::Telefon2, 110);
    m_grid->setColumnWidth(CollectionModel::Bakiye, 110);
    m_grid->setColumnWidth(CollectionModel::SonOdeme, 90);
    m_grid->setColumnWidth(CollectionModel::Gun, 60);
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
    const QModelIndex current = m_grid->currentIndex();
    const std::optional<CollectionRow> selected
        = current.isValid() ? m_model->customerAt(current.row()) : std::optional<CollectionRow>();
    const CollectionStore::Filter filter {Clock::today(), m_minDays->value()};
    QString error;
    if (!m_model->reread(filter, &error))
        MessageBox::ok(this, QStringLiteral("Liste okunamadı.\n\n") + error, QStringLiteral("Hata"),
                       MessageBox::Icon::Stop);
    // The selected customer stays selected where it now stands, if it is still on the list.
    qint64 row = selected ? m_model->store().rowOf(filter, selected->musKodu) : 0;
    if (row < 0 || row >= m_model->rowCount())
        row = 0;
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(int(row), 0));
    const std::optional<qint64>& total = m_model->summary().total;
    m_summary->setText(QStringLiteral("%1 müşteri, toplam %2")
                           .arg(m_model->rowCount())
                           .arg(total ? numbers::totals(*total) : QStringLiteral("-")));
    updateCommands();
}

void CollectionWindow::applyFilter()
{
    reload();
}

QVector<CollectionRow> CollectionWindow::shownRows() const
{
    QVector<CollectionRow> rows;
    for (int i = 0; i < m_model->rowCount(); ++i) {
        if (const std::optional<CollectionRow> row = m_model->customerAt(i))
            rows.append(*row);
    }
    return rows;
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
    const std::optional<CollectionRow> row = m_model->customerAt(current.row());
    if (!row)
        return;
    m_openAccount(row->musKodu);
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
    const std::optional<CollectionRow> row = m_model->customerAt(current.row());
    if (!row)
        return;
    QGuiApplication::clipboard()->setText(reminderText(*row, AppConfig::shopName(), Clock::today()));
    MessageBox::ok(this, row->musteriFirma + QStringLiteral(" için hatırlatma metni panoya kopyalandı."), kTitle,
                   MessageBox::Icon::Information);
}

bool CollectionWindow::prepareReport()
{
    QString error;
    if (m_report.prepare(m_model->store(), m_model->filter(), &error))
        return true;
    MessageBox::ok(this, QStringLiteral("Liste okunamadı.\n\n") + error, QStringLiteral("Hata"),
                   MessageBox::Icon::Stop);
    return false;
}

void CollectionWindow::print()
{
    if (prepareReport())
        m_report.preview(this);
}

void CollectionWindow::savePdf()
{
    if (prepareReport())
        ReportPreview::saveAsPdf(this, m_report.report(), m_report.documentName());
}

bool CollectionWindow::writeCsv(const QString& file, const CollectionStore& store,
                                const CollectionStore::Filter& filter, QString* error)
{
    QSaveFile out(file);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = out.errorString();
        return false;
    }
    // Written as read, a few hundred rows at a time: a long list is never held whole.
    QByteArray content("\xEF\xBB\xBF");
    content.append("Müşteri No;Müşteri / Firma;Telefon;GSM;Bakiye;Son Ödeme;Gün;Limit\r\n");
    const auto field = [&content](const QString& text) {
        const QByteArray utf8 = text.toUtf8();
        cli::appendCsvField(content, utf8.constData(), utf8.size());
    };
    bool written = true;
    const bool read = store.forEach(
        filter,
        [&](const CollectionRow& r) {
            field(r.musKodu);
            field(r.musteriFirma);
            field(r.telefon1);
            field(r.telefon2);
            cli::appendMoney(content, r.bakiye);
            content.append(';');
            field(dates::storedDateForDisplay(r.lastPayment));
            content.append(daysText(r).toLatin1());
            content.append(';');
            content.append(r.overLimit() ? "Aşıldı" : "");
            content.append("\r\n");
            if (content.size() >= 64 * 1024) {
                written = out.write(content) == content.size();
                content.clear();
            }
            return written;
        },
        error);
    if (!read)
        return false;
    if (!written || out.write(content) != content.size() || !out.commit()) {
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
    if (!writeCsv(path, m_model->store(), m_model->filter(), &error))
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
