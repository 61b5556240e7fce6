// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/mainwindow.h"

#include "account/accountwindow.h"
#include "app/messagebox.h"
#include "backup/copyfilewindow.h"
#include "backup/copyotowindow.h"
#include "customers/aboutpanel.h"
#include "customers/customerlistmodel.h"
#include "customers/customerupkeep.h"
#include "customers/listtotalspanel.h"
#include "customers/remotehelp.h"
#include "data/accountstore.h"
#include "data/appconfig.h"
#include "data/changewatch.h"
#include "data/clock.h"
#include "data/customerstore.h"
#include "data/database.h"
#include "entry/newcustomerwindow.h"
#include "rates/rateswindow.h"
#include "reports/printedreports.h"
#include "tools/collectionwindow.h"
#include "tools/daysummarywindow.h"
#include "tools/deletedwindow.h"
#include "tools/statementwindow.h"
#include "update/updatewindow.h"
#include "users/userwindow.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kAlici = QStringLiteral("Alıcı");
const QString kSatici = QStringLiteral("Satıcı");

// The balance of a customer over the credit limit is written in red.
class BalanceDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.data(CustomerListModel::OverLimitRole).toBool()) {
            const QColor red(0xC0, 0x00, 0x00);
            option->palette.setColor(QPalette::Text, red);
            option->palette.setColor(QPalette::HighlightedText, QColor(0xFF, 0xC0, 0xC0));
        }
    }
};

} // namespace

MainWindow::MainWindow(Database& db, QWidget* parent)
    : QMainWindow(parent)
    , m_db(db)
    , m_model(new CustomerListModel(db, this))
    , m_upkeep(new CustomerUpkeep(db, this))
    , m_changes(new ChangeWatch(db, this))
    , m_changeTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("veresiye"));
    setWindowTitle(QStringLiteral("Zelvora   -    ") + AppConfig::makerAddress());
    buildUi();
    buildMenu();
    applyButtonLook(this, ButtonLook::WarmToolbar);
    // 807 × 598 is the client area: the menu bar comes on top of it.
    resize(807, 598 + menuBar()->sizeHint().height());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    // A burst of changes (a bulk write on another till) is read once, a moment after the first of them.
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setInterval(200);
    connect(m_changeTimer, &QTimer::timeout, this, &MainWindow::applyOtherTillChanges);
    connect(m_changes, &ChangeWatch::changed, this, &MainWindow::noteOtherTillChange);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildUi()
{
    auto* central = new QWidget(this);
    central->setObjectName(QStringLiteral("centralArea"));
    central->setAutoFillBackground(true);
    QPalette background = central->palette();
    QLinearGradient gradient(0, 0, 0, 600);
    gradient.setColorAt(0, QColor(0xF4, 0xF7, 0xFB));
    gradient.setColorAt(1, QColor(0xD6, 0xE2, 0xF0));
    background.setBrush(QPalette::Window, gradient);
    central->setPalette(background);

    auto* searchLabel = new QLabel(QStringLiteral("MÜŞTERİ ARA :"), central);
    m_searchBox = new QLineEdit(central);
    m_searchBox->setObjectName(QStringLiteral("searchBox"));
    searchLabel->setBuddy(m_searchBox);
    auto* sortLabel = new QLabel(QStringLiteral("SIRALA :"), central);
    m_sortBox = new QComboBox(central);
    m_sortBox->setObjectName(QStringLiteral("sortBox"));
    m_sortBox->setEditable(false);
    m_sortBox->addItems({QStringLiteral("Tümü"), kAlici, kSatici});
    m_sortBox->setCurrentIndex(-1);
    m_sortBox->setMinimumWidth(120);
    sortLabel->setBuddy(m_sortBox);
    for (QLabel* label : {searchLabel, sortLabel}) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
    }

    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(searchLabel);
    searchRow->addWidget(m_searchBox, 1);
    searchRow->addSpacing(24);
    searchRow->addWidget(sortLabel);
    searchRow->addWidget(m_sortBox);

    m_listFrame = new QGroupBox(QStringLiteral("Müşteri Listesi"), central);
    m_listFrame->setObjectName(QStringLiteral("listFrame"));
    m_grid = new QTableView(m_listFrame);
    m_grid->setObjectName(QStringLiteral("customerGrid"));
    m_grid->setAccessibleName(QStringLiteral("Müşteri Listesi"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->setStyleSheet(QStringLiteral("QTableView { gridline-color: #c4ccd6; }"));
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setColumnWidth(CustomerListModel::Turu, 90);
    m_grid->setColumnWidth(CustomerListModel::MusKodu, 90);
    m_grid->setColumnWidth(CustomerListModel::MusteriFirma, 260);
    m_grid->setColumnWidth(CustomerListModel::Sonislem, 130);
    m_grid->setColumnWidth(CustomerListModel::Gun, 60);
    m_grid->setItemDelegateForColumn(CustomerListModel::Bakiye, new BalanceDelegate(m_grid));
    m_grid->horizontalHeader()->setStretchLastSection(true);
    auto* frameLayout = new QVBoxLayout(m_listFrame);
    frameLayout->addWidget(m_grid);

    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), central);
    m_deleteButton = makeButton(QStringLiteral("Müşteriyi Sil"), QStringLiteral("deleteCustomerButton"), central);
    m_addButton = makeButton(QStringLiteral(" Müşteri Ekle"), QStringLiteral("addCustomerButton"), central);
    m_totalButton = makeButton(QStringLiteral("  Listeyi Topla"), QStringLiteral("listTotalButton"), central);
    m_openButton = makeButton(QStringLiteral("    Müşteri Hesabına Gir"), QStringLiteral("openAccountButton"), central);
    auto* buttonRow = new QHBoxLayout;
    for (LumButton* button : {m_closeButton, m_deleteButton, m_addButton, m_totalButton, m_openButton}) {
        button->setMinimumHeight(34);
        buttonRow->addWidget(button, button->sizeHint().width());
    }

    auto* layout = new QVBoxLayout(central);
    layout->addLayout(searchRow);
    layout->addWidget(m_listFrame, 1);
    layout->addLayout(buttonRow);
    setCentralWidget(central);
    setTabOrder(m_searchBox, m_sortBox);
    setTabOrder(m_sortBox, m_grid);

    connect(m_searchBox, &QLineEdit::textChanged, this, &MainWindow::search);
    connect(m_sortBox, &QComboBox::activated, this, &MainWindow::sortPicked);
    connect(m_grid->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &MainWindow::runControlStateRule);
    connect(m_grid, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            openAccount(false);
    });
    connect(m_openButton, &LumButton::clicked, this, [this] { openAccount(false); });
    connect(m_deleteButton, &LumButton::clicked, this, [this] { openAccount(true); });
    connect(m_addButton, &LumButton::clicked, this, &MainWindow::addCustomer);
    connect(m_totalButton, &LumButton::clicked, this, &MainWindow::showListTotals);
    connect(m_closeButton, &LumButton::clicked, this, &MainWindow::closeProgram);
    // Names that got their keys in the background may stand elsewhere in name order now.
    connect(m_upkeep, &CustomerUpkeep::nameKeysFilled, this, &MainWindow::rereadList);

    m_totalsPanel = new ListTotalsPanel(m_db, central);
    connect(m_totalsPanel, &ListTotalsPanel::closeRequested, this, &MainWindow::closeListTotals);

    m_aboutPanel = new AboutPanel(central);
    connect(m_aboutPanel, &AboutPanel::closeRequested, this, &MainWindow::closeAbout);

    // Tab leaves the grid instead of walking its cells; Enter on a row opens the account.
    m_grid->setTabKeyNavigation(false);
    m_grid->installEventFilter(this);
    // Remembered so that a panel gives the focus back where it was, also when a menu opened it.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now->window() == this && !menuBar()->isAncestorOf(now) && now != menuBar()
            && !m_totalsPanel->isAncestorOf(now) && now != m_aboutPanel)
            m_lastFocus = now;
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && m_grid->currentIndex().isValid()) {
            openAccount(false);
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::buildMenu()
{
    m_programMenu = menuBar()->addMenu(QStringLiteral("Program"));
    m_programMenu->setObjectName(QStringLiteral("programMenu"));
    m_printAction = m_programMenu->addAction(QStringLiteral("Müşteri Listesini Yazdır"));
    m_printAction->setObjectName(QStringLiteral("printListAction"));
    connect(m_printAction, &QAction::triggered, this, &MainWindow::printCustomerList);
    QAction* ratesAction = m_programMenu->addAction(QStringLiteral("Güncel Döviz Kurları"));
    ratesAction->setObjectName(QStringLiteral("ratesAction"));
    connect(ratesAction, &QAction::triggered, this, [this] { openRatesWindow(this); });
    QAction* remoteHelpAction = m_programMenu->addAction(QStringLiteral("Uzaktan Yardım Al "));
    remoteHelpAction->setObjectName(QStringLiteral("remoteHelpAction"));
    connect(remoteHelpAction, &QAction::triggered, this,
            [this] { remotehelp::start(this, AppConfig::executableFolder()); });
    m_programMenu->addSeparator();
    QAction* updateAction = m_programMenu->addAction(QStringLiteral("Yeni Sürüm Kontrolü"));
    updateAction->setObjectName(QStringLiteral("updateAction"));
    connect(updateAction, &QAction::triggered, this, [this] { openUpdateWindow(this); });
    m_programMenu->addSeparator();
    QAction* usersAction = m_programMenu->addAction(QStringLiteral("Kullanıcı Ekle"));
    usersAction->setObjectName(QStringLiteral("usersAction"));
    connect(usersAction, &QAction::triggered, this, [this] {
        {
            UserWindow window(m_db, this);
            window.exec();
        }
        onActivated();
    });
    m_programMenu->addSeparator();
    QMenu* backupMenu = m_programMenu->addMenu(QStringLiteral("Yedekleme İşlemleri"));
    backupMenu->setObjectName(QStringLiteral("backupMenu"));
    backupMenu->menuAction()->setObjectName(QStringLiteral("backupMenuAction"));
    QAction* makeBackup = backupMenu->addAction(QStringLiteral("Yedek Oluştur"));
    makeBackup->setObjectName(QStringLiteral("makeBackupAction"));
    connect(makeBackup, &QAction::triggered, this, [this] {
        CopyFileWindow::openForBackup(this, serverOfLedger());
        onActivated();
    });
    QAction* restoreBackup = backupMenu->addAction(QStringLiteral("Yedekten Yükle"));
    restoreBackup->setObjectName(QStringLiteral("restoreBackupAction"));
    connect(restoreBackup, &QAction::triggered, this,
            [this] { CopyFileWindow::openForRestore(this, m_restoreHooks, serverOfLedger()); });
    m_programMenu->menuAction()->setObjectName(QStringLiteral("programMenuAction"));

    QMenu* toolsMenu = menuBar()->addMenu(QStringLiteral("Araçlar"));
    toolsMenu->setObjectName(QStringLiteral("toolsMenu"));
    toolsMenu->menuAction()->setObjectName(QStringLiteral("toolsMenuAction"));
    QAction* statementAction = toolsMenu->addAction(QStringLiteral("Hesap Ekstresi"));
    statementAction->setObjectName(QStringLiteral("statementAction"));
    connect(statementAction, &QAction::triggered, this, &MainWindow::openStatement);
    QAction* collectionAction = toolsMenu->addAction(QStringLiteral("Tahsilat Listesi"));
    collectionAction->setObjectName(QStringLiteral("collectionAction"));
    connect(collectionAction, &QAction::triggered, this, &MainWindow::openCollectionList);
    QAction* daySummaryAction = toolsMenu->addAction(QStringLiteral("Gün Sonu"));
    daySummaryAction->setObjectName(QStringLiteral("daySummaryAction"));
    connect(daySummaryAction, &QAction::triggered, this, &MainWindow::openDaySummary);
    QAction* deletedAction = toolsMenu->addAction(QStringLiteral("Silinen Kayıtlar"));
    deletedAction->setObjectName(QStringLiteral("deletedRecordsAction"));
    connect(deletedAction, &QAction::triggered, this, &MainWindow::openDeletedRecords);

    QAction* aboutAction = menuBar()->addAction(QStringLiteral("Hakkında"));
    aboutAction->setObjectName(QStringLiteral("aboutAction"));
    connect(aboutAction, &QAction::triggered, this, &MainWindow::showAbout);
}

void MainWindow::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (m_activation.isNewActivation(this, event))
        onActivated();
}

void MainWindow::onActivated()
{
    m_activation.markActivated();
    const QDate today = Clock::today();
    m_upkeep->bringUpToDate(today);
    m_model->setToday(today);
    QString error;
    const bool ok = m_model->setSource(CustomerListQuery::allByName(), &error);
    showList(ok, error);
}

void MainWindow::rereadList()
{
    const std::optional<CustomerListRow> current = currentCustomer();
    const qint64 currentId = current ? current->id : -1;
    const int column = std::max(0, m_grid->currentIndex().column());
    // The rows stay where the user scrolled them; selecting the current customer again must not move them.
    const int top = m_grid->verticalScrollBar()->value();
    const int left = m_grid->horizontalScrollBar()->value();
    const int topRow = m_grid->rowAt(0);
    QString error;
    if (!m_model->reread(&error)) {
        showList(false, error);
        return;
    }
    const int row = currentId >= 0 ? m_model->rowOf(currentId) : -1;
    if (row >= 0)
        m_grid->setCurrentIndex(m_model->index(row, column));
    else
        selectFirstRow();
    // Rows below the first page join when they are counted: a list scrolled further down needs them now.
    if (topRow >= 0 && topRow + CustomerListModel::PageSize / 2 >= m_model->rowCount())
        m_model->exactCount();
    m_grid->doItemsLayout();
    m_grid->verticalScrollBar()->setValue(top);
    m_grid->horizontalScrollBar()->setValue(left);
    runControlStateRule();
    emit listReloaded();
}

void MainWindow::noteOtherTillChange(const QString& table)
{
    // The list shows only the customer rows; an entry on another till rewrites the customer's balance there too.
    if (table == ChangeWatch::Customers && !m_changeTimer->isActive())
        m_changeTimer->start();
}

void MainWindow::applyOtherTillChanges()
{
    // A window of ours lies over the list: it is read when that closes, or at the next look after it.
    if (QApplication::activeModalWidget()) {
        m_changeTimer->start();
        return;
    }
    rereadList();
    if (m_totalsPanel->isVisible())
        m_totalsPanel->refresh(m_model->exactCount());
}

void MainWindow::search(const QString& text)
{
    QString error;
    const bool ok = m_model->setSource(
        text.isEmpty() ? CustomerListQuery::tableOrder() : CustomerListQuery::namePrefix(text), &error);
    m_sortBox->setCurrentIndex(-1);
    showList(ok, error);
}

void MainWindow::sortPicked(int index)
{
    const QString picked = m_sortBox->itemText(index);
    QString error;
    bool ok = true;
    if (picked == QStringLiteral("Tümü"))
        ok = m_model->setSource(CustomerListQuery::allByName(), &error);
    else if (picked == kAlici || picked == kSatici)
        ok = m_model->setSource(CustomerListQuery::accountType(picked), &error);
    showList(ok, error);
}

void MainWindow::showList(bool ok, const QString& error)
{
    if (!ok && m_db.isLost()) {
        // The server went away: the rows shown stay as they were, and the next look reads them again.
        MessageBox::ok(this,
                       m_db.unreachableText() + QStringLiteral("; liste okunamadı. Bağlantı gelince yeniden deneyin."),
                       QStringLiteral("Bağlantı Hatası"), MessageBox::Icon::Stop);
        return;
    }
    if (!ok) {
        // The file can no longer be read: nothing sensible can go on.
        MessageBox::ok(this, error, QString(), MessageBox::Icon::Stop);
        QCoreApplication::exit(1);
        return;
    }
    selectFirstRow();
    runControlStateRule();
    emit listReloaded();
}

void MainWindow::selectFirstRow()
{
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

std::optional<CustomerListRow> MainWindow::currentCustomer() const
{
    const QModelIndex current = m_grid->currentIndex();
    return current.isValid() ? m_model->customerAt(current.row()) : std::nullopt;
}

void MainWindow::runControlStateRule()
{
    const std::optional<CustomerListRow> current = currentCustomer();
    const bool hasName = current && !current->musteriFirma.isEmpty();
    m_printAction->setEnabled(hasName);
    // While a panel lies over the list, a reload (a window of ours closing) must not unlock it.
    const bool unlocked = !m_listLocked;
    m_openButton->setEnabled(unlocked && hasName);
    m_totalButton->setEnabled(unlocked && hasName);
    // A search or a filter that matches nobody must not take away the boxes that undo it: they are
    // disabled only when the table itself holds no customer.
    const bool canSearch = unlocked && (hasName || CustomerStore(m_db).hasCustomers());
    m_searchBox->setEnabled(canSearch);
    m_sortBox->setEnabled(canSearch);
}

void MainWindow::setListLocked(bool locked)
{
    m_listLocked = locked;
    for (QWidget* w : std::initializer_list<QWidget*> {m_listFrame, m_deleteButton, m_addButton, m_totalButton,
                                                       m_openButton, m_searchBox, m_sortBox})
        w->setEnabled(!locked);
    runControlStateRule();
}

void MainWindow::menukitle()
{
    setListLocked(true);
}

void MainWindow::menukilitac()
{
    setListLocked(false);
}

void MainWindow::openAccount(bool deleteMode)
{
    const std::optional<CustomerListRow> current = currentCustomer();
    if (!current)
        return;
    // Copied now: the list's pages are read again while the account window is open.
    runAccountWindow(current->musKodu, current->musteriFirma, current->turu, deleteMode);
    onActivated();
}

void MainWindow::runAccountWindow(const QString& musKodu, const QString& name, const QString& turu, bool deleteMode)
{
    AccountWindow window(m_db, this);
    window.setWindowTitle(name + QStringLiteral(" / ") + musKodu + QStringLiteral(" - ( ") + turu
                          + QStringLiteral(" )"));
    window.setCustomerNumber(musKodu);
    if (deleteMode)
        window.enterDeleteMode();
    window.exec();
}

void MainWindow::openStatement()
{
    const std::optional<CustomerListRow> current = currentCustomer();
    {
        StatementWindow window(m_db, current ? current->musKodu : QString(), this);
        window.exec();
    }
    onActivated();
}

void MainWindow::openCollectionList()
{
    {
        // The to-collect list opens an account as the list does, with the customer's caption.
        CollectionWindow window(
            m_db,
            [this](const QString& musKodu) {
                const std::optional<CustomerRecord> customer = AccountStore(m_db).customer(musKodu);
                if (customer)
                    runAccountWindow(customer->musKodu, customer->musteriFirma, customer->turu, false);
            },
            this);
        window.exec();
    }
    onActivated();
}

void MainWindow::openDaySummary()
{
    {
        DaySummaryWindow window(m_db, this);
        window.exec();
    }
    onActivated();
}

void MainWindow::openDeletedRecords()
{
    {
        DeletedRecordsWindow window(m_db, this);
        window.exec();
    }
    // Restored customers and balances show in the list at once.
    onActivated();
}

void MainWindow::addCustomer()
{
    {
        NewCustomerWindow window(m_db, this);
        window.exec();
    }
    onActivated();
}

void MainWindow::showListTotals()
{
    if (!m_totalsPanel->isVisible())
        m_totalsOpener = panelOpener();
    menukitle();
    for (QWidget* w : std::initializer_list<QWidget*> {m_totalButton, m_openButton, m_searchBox, m_sortBox})
        w->setEnabled(false);
    m_totalsPanel->show();
    m_totalsPanel->firstControl()->setFocus(Qt::OtherFocusReason);
    m_totalsPanel->compute(m_model->exactCount());
}

void MainWindow::closeListTotals()
{
    m_totalsPanel->hide();
    // The About panel, still shown, keeps the list locked and the focus.
    if (m_aboutPanel->isVisible()) {
        m_aboutPanel->setFocus(Qt::OtherFocusReason);
        return;
    }
    menukilitac();
    for (QWidget* w : std::initializer_list<QWidget*> {m_totalButton, m_openButton, m_searchBox, m_sortBox})
        w->setEnabled(true);
    // A list without a current customer keeps the commands that need one disabled.
    runControlStateRule();
    returnFocus(m_totalsOpener);
}

QWidget* MainWindow::panelOpener() const
{
    QWidget* focused = QApplication::focusWidget();
    if (focused && focused->window() == this && focused != menuBar() && !menuBar()->isAncestorOf(focused))
        return focused;
    return m_lastFocus;
}

void MainWindow::returnFocus(QWidget* opener)
{
    if (opener && opener->isVisible() && opener->isEnabled() && opener->window() == this) {
        opener->setFocus(Qt::OtherFocusReason);
        return;
    }
    for (QWidget* w : std::initializer_list<QWidget*> {m_grid, m_searchBox, m_addButton}) {
        if (w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void MainWindow::printCustomerList()
{
    showListTotals();
    // The printed list shows the stored day counts: they must be today's.
    m_upkeep->waitUntilDone();
    if (!m_listReport)
        m_listReport = std::make_unique<CustomerListReport>();
    QString error;
    if (!m_listReport->prepare(m_db, Clock::today(), m_totalsPanel->debtorsText(), m_totalsPanel->creditorsText(),
                               m_totalsPanel->balanceText(), &error)) {
        MessageBox::ok(this, QStringLiteral("Rapor hazırlanamadı.\n\n") + error, QStringLiteral("Hata"),
                       MessageBox::Icon::Stop);
        return;
    }
    m_listReport->preview(this);
}

void MainWindow::showAbout()
{
    if (!m_aboutPanel->isVisible())
        m_aboutOpener = panelOpener();
    menukitle();
    for (QWidget* w : std::initializer_list<QWidget*> {m_totalButton, m_openButton, m_searchBox, m_sortBox})
        w->setEnabled(false);
    m_aboutPanel->show();
    m_aboutPanel->raise();
    m_aboutPanel->setFocus(Qt::OtherFocusReason);
}

void MainWindow::closeAbout()
{
    m_aboutPanel->hide();
    // The totals panel, still shown, keeps the list locked and takes the focus back.
    if (m_totalsPanel->isVisible()) {
        m_totalsPanel->firstControl()->setFocus(Qt::OtherFocusReason);
        return;
    }
    menukilitac();
    returnFocus(m_aboutOpener);
}

std::optional<ServerSettings> MainWindow::serverOfLedger() const
{
    if (!m_db.isServer())
        return std::nullopt;
    return m_db.target().server;
}

void MainWindow::closeProgram()
{
    // The automatic backup ends the program itself; if it closes otherwise, closing this window ends it. With
    // the ledger on a server it is a ledger file written from the server.
    {
        CopyOtoWindow backup(this, serverOfLedger());
        backup.exec();
    }
    close();
}

} // namespace zelvora
