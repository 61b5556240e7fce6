// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/accountwindow.h"

#include "account/accountwidgets.h"
#include "account/customerdetailspanel.h"
#include "account/deletecustomerpanel.h"
#include "account/movementlistmodel.h"
#include "account/progresspanel.h"
#include "app/lostserver.h"
#include "app/messagebox.h"
#include "data/changewatch.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"
#include "entry/entrywindow.h"
#include "reports/printedreports.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

using accountui::button;
using accountui::kRed;
using accountui::readOnlyBox;

QLineEdit* totalsBox(QWidget* parent, const QString& name, const QColor& textColour)
{
    QLineEdit* box = readOnlyBox(parent, name, textColour);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setText(QStringLiteral("0"));
    QFont bold = box->font();
    bold.setBold(true);
    box->setFont(bold);
    return box;
}

} // namespace

AccountWindow::AccountWindow(Database& db, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
    , m_store(db)
    , m_model(new MovementListModel(db, this))
{
    setObjectName(QStringLiteral("veresiye2"));
    buildUi();
    applyButtonLook(this, ButtonLook::WarmToolbar);
    resize(820, 620);

    m_reloadTimer = new QTimer(this);
    m_reloadTimer->setObjectName(QStringLiteral("reloadTimer"));
    m_reloadTimer->setInterval(50);
    m_stopTimer = new QTimer(this);
    m_stopTimer->setObjectName(QStringLiteral("stopTimer"));
    m_stopTimer->setInterval(4000);
    m_deleteModeTimer = new QTimer(this);
    m_deleteModeTimer->setObjectName(QStringLiteral("deleteModeTimer"));
    m_deleteModeTimer->setInterval(10);
    m_rowStoreTimer = new QTimer(this);
    m_rowStoreTimer->setObjectName(QStringLiteral("rowStoreTimer"));
    m_rowStoreTimer->setSingleShot(true);
    m_rowStoreTimer->setInterval(0);
    connect(m_rowStoreTimer, &QTimer::timeout, this, [this] { storeCustomerRow(); });
    connect(m_reloadTimer, &QTimer::timeout, this, &AccountWindow::onReloadTick);

    // A burst of changes on another till is read once, a moment after the first of them.
    m_changes = new ChangeWatch(db, this);
    m_changeTimer = new QTimer(this);
    m_changeTimer->setObjectName(QStringLiteral("otherTillTimer"));
    m_changeTimer->setSingleShot(true);
    m_changeTimer->setInterval(200);
    connect(m_changeTimer, &QTimer::timeout, this, &AccountWindow::applyOtherTillChanges);
    connect(m_changes, &ChangeWatch::changed, this, &AccountWindow::noteOtherTillChange);
    connect(m_stopTimer, &QTimer::timeout, this, [this] {
        m_reloadTimer->stop();
        m_stopTimer->stop();
    });
    connect(m_deleteModeTimer, &QTimer::timeout, this, &AccountWindow::lockForDeleteMode);
}

AccountWindow::~AccountWindow() = default;

void AccountWindow::buildUi()
{
    // The details strip: six read-only boxes in red.
    auto* strip = new QGridLayout;
    const QString stripLabels[6]
        = {QStringLiteral("Telefon :"),  QStringLiteral("GSM :"),   QStringLiteral("Vergi Dairesi :"),
           QStringLiteral("Vergi No :"), QStringLiteral("Adres :"), QStringLiteral("Şehir :")};
    const QString stripNames[6]
        = {QStringLiteral("stripPhone"),     QStringLiteral("stripGsm"),     QStringLiteral("stripTaxOffice"),
           QStringLiteral("stripTaxNumber"), QStringLiteral("stripAddress"), QStringLiteral("stripCity")};
    for (int i = 0; i < 6; ++i) {
        m_stripBoxes[i] = readOnlyBox(this, stripNames[i], kRed);
        auto* label = new QLabel(stripLabels[i], this);
        label->setBuddy(m_stripBoxes[i]);
        strip->addWidget(label, i / 3, (i % 3) * 2);
        strip->addWidget(m_stripBoxes[i], i / 3, (i % 3) * 2 + 1);
    }
    strip->setColumnStretch(1, 1);
    strip->setColumnStretch(3, 1);
    strip->setColumnStretch(5, 1);

    m_resetButton = button(QStringLiteral("Hesabı Sıfırla"), QStringLiteral("resetButton"), this);
    m_printButton = button(QStringLiteral("Listeyi Yazdır"), QStringLiteral("printButton"), this);
    m_calculatorButton = button(QStringLiteral("Hesap Makinesi"), QStringLiteral("calculatorButton"), this);
    m_detailsButton = button(QStringLiteral("Müşteri Bilgileri"), QStringLiteral("detailsButton"), this);
    auto* topButtons = new QHBoxLayout;
    topButtons->addWidget(m_resetButton);
    topButtons->addWidget(m_printButton);
    topButtons->addWidget(m_calculatorButton);
    topButtons->addStretch(1);
    topButtons->addWidget(m_detailsButton);

    m_movementsFrame = new QGroupBox(QStringLiteral("Hareketler"), this);
    m_movementsFrame->setObjectName(QStringLiteral("movementsFrame"));
    m_grid = new QTableView(m_movementsFrame);
    m_grid->setObjectName(QStringLiteral("movementGrid"));
    m_grid->setAccessibleName(QStringLiteral("Hareketler"));
    m_grid->setModel(m_model);
    // Tab leaves the grid instead of walking its cells.
    m_grid->setTabKeyNavigation(false);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    // Every column but the description is as wide as its widest likely text; the description takes what is
    // left, so a vertical scroll bar narrows it and never clips an amount.
    const QFontMetrics metrics(m_grid->font());
    const QString widest[] = {QStringLiteral("00.00.0000"),     QStringLiteral("00:00:00"),      QString(),
                              QStringLiteral("00.000,00"),      QStringLiteral("Düzine"),        QStringLiteral("1,18"),
                              QStringLiteral("(9.999.999,99)"), QStringLiteral("(9.999.999,99)")};
    QHeaderView* header = m_grid->horizontalHeader();
    header->setMinimumSectionSize(30);
    for (int i = 0; i < MovementListModel::ColumnCount; ++i) {
        if (i == MovementListModel::Aciklama) {
            header->setSectionResizeMode(i, QHeaderView::Stretch);
            continue;
        }
        const int captionWidth
            = QFontMetrics(header->font()).horizontalAdvance(m_model->headerData(i, Qt::Horizontal).toString());
        header->setSectionResizeMode(i, QHeaderView::Fixed);
        m_grid->setColumnWidth(i, std::max(metrics.horizontalAdvance(widest[i]), captionWidth) + 16);
    }
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* frameLayout = new QVBoxLayout(m_movementsFrame);
    frameLayout->addWidget(m_grid);

    m_totalAdded = totalsBox(this, QStringLiteral("totalAddedBox"), kRed);
    m_totalPaid = totalsBox(this, QStringLiteral("totalPaidBox"), QColor(0x00, 0x00, 0xC0));
    m_balance = totalsBox(this, QStringLiteral("balanceBox"), Qt::black);
    auto* totals = new QHBoxLayout;
    const std::pair<QString, QLineEdit*> totalBoxes[] = {{QStringLiteral("Toplam Eklenen :"), m_totalAdded},
                                                         {QStringLiteral("Toplam Ödenen :"), m_totalPaid},
                                                         {QStringLiteral("Toplam Bakiye :"), m_balance}};
    for (const auto& [caption, box] : totalBoxes) {
        auto* label = new QLabel(caption, this);
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
        label->setBuddy(box);
        totals->addWidget(label);
        totals->addWidget(box, 1);
    }

    m_backButton = button(QStringLiteral("Geri"), QStringLiteral("backButton"), this);
    m_deleteRowButton = button(QStringLiteral("Seçili Satırı Sil"), QStringLiteral("deleteRowButton"), this);
    m_creditButton = button(QStringLiteral("Veresiye Ekle"), QStringLiteral("creditButton"), this);
    m_paymentButton = button(QStringLiteral("Tahsilat Yap"), QStringLiteral("paymentButton"), this);
    auto* bottomButtons = new QHBoxLayout;
    for (LumButton* b : {m_backButton, m_deleteRowButton, m_creditButton, m_paymentButton})
        bottomButtons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(strip);
    layout->addLayout(topButtons);
    layout->addWidget(m_movementsFrame, 1);
    layout->addLayout(totals);
    layout->addLayout(bottomButtons);

    m_progressPanel = new ProgressPanel(this);
    m_detailsPanel = new CustomerDetailsPanel(this);
    m_deletePanel = new DeleteCustomerPanel(this);
    connect(m_detailsPanel, &CustomerDetailsPanel::saveClicked, this, &AccountWindow::saveDetails);
    connect(m_detailsPanel, &CustomerDetailsPanel::cancelClicked, this, &AccountWindow::cancelDetails);
    connect(m_deletePanel, &DeleteCustomerPanel::deleteClicked, this, &AccountWindow::deleteCustomer);
    connect(m_deletePanel, &DeleteCustomerPanel::cancelClicked, this, &AccountWindow::cancelDelete);

    connect(m_creditButton, &LumButton::clicked, this, [this] { startEntry(true); });
    connect(m_paymentButton, &LumButton::clicked, this, [this] { startEntry(false); });
    connect(m_deleteRowButton, &LumButton::clicked, this, &AccountWindow::deleteSelectedRow);
    connect(m_resetButton, &LumButton::clicked, this, &AccountWindow::resetAccount);
    connect(m_calculatorButton, &LumButton::clicked, this, &AccountWindow::startCalculator);
    connect(m_backButton, &LumButton::clicked, this, &AccountWindow::geri);
    connect(m_detailsButton, &LumButton::clicked, this, &AccountWindow::openDetails);
    connect(m_printButton, &LumButton::clicked, this, [this] {
        printAccountStatement(this, m_db, m_musKodu, windowTitle(), m_totalAdded->text(), m_totalPaid->text(),
                              m_balance->text());
        // The window is active again once the preview has closed.
        onActivated();
    });
}

void AccountWindow::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    placeOverlays();
}

void AccountWindow::placeOverlays()
{
    const auto centre = [this](QWidget* w, QSize size) {
        w->resize(size.boundedTo(this->size()));
        w->move(rect().center() - w->rect().center());
    };
    centre(m_progressPanel, QSize(420, 70));
    centre(m_detailsPanel, QSize(440, 430));
    centre(m_deletePanel, QSize(480, 170));
}

void AccountWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (m_activation.isNewActivation(this, event))
        onActivated();
}

void AccountWindow::onActivated()
{
    m_activation.markActivated();
    m_reloadPending = false;
    ara();
    // The server went away: ara() said so once; nothing is written behind that message.
    if (m_db.isLost())
        return;
    topla1();
    updateButtonStates();
    m_dateText = dates::shortDate(Clock::today());
    writeDayCount();
}

void AccountWindow::ara()
{
    // The server went away: what is shown stays, one message says so, and the next look reads it again.
    if (!rereadMovements() && m_db.isLost()) {
        reportFailure({}, {});
        return;
    }
    loadCustomer();
    topla1();
}

void AccountWindow::noteOtherTillChange(const QString& table, const QString& musKodu)
{
    if (ChangeWatch::concernsAccount({table, musKodu}, m_musKodu) && !m_changeTimer->isActive())
        m_changeTimer->start();
}

void AccountWindow::applyOtherTillChanges()
{
    // An entry window or a message over this one, a panel being filled in, or this window's own reload after
    // an entry: the account is read once that is over (the entry window's return reads it anyway).
    const QWidget* modal = QApplication::activeModalWidget();
    if ((modal && modal != this) || m_detailsPanel->isVisible() || m_deleteMode || m_reloadPending) {
        m_changeTimer->start();
        return;
    }
    const int top = m_grid->verticalScrollBar()->value();
    const int left = m_grid->horizontalScrollBar()->value();
    const int column = std::max(0, m_grid->currentIndex().column());
    // Rows may have gone or changed anywhere: everything is read anew.
    m_entryAppended = false;
    ara();
    updateButtonStates();
    if (const QModelIndex current = m_grid->currentIndex(); current.isValid())
        m_grid->setCurrentIndex(m_model->index(current.row(), column));
    m_grid->doItemsLayout();
    m_grid->verticalScrollBar()->setValue(top);
    m_grid->horizontalScrollBar()->setValue(left);
}

bool AccountWindow::rereadMovements()
{
    // A reread keeps the movement the user selected while it still exists; else the first row stands.
    const QModelIndex currentIndex = m_grid->currentIndex();
    const std::optional<Movement> current = currentIndex.isValid() ? currentMovement() : std::nullopt;
    const qint64 keep = current ? current->id : 0;
    // After a stored entry only what was appended since the last reread is read: nothing else in the program
    // writes the account while the entry window is open.
    const bool read = std::exchange(m_entryAppended, false) ? m_model->readAppended() : m_model->reread(m_musKodu);
    // The sums come with the reread, from the same pass over the account.
    const auto& overview = m_model->overview();
    m_sums = overview ? std::optional(overview->sums) : std::nullopt;
    selectMovement(keep, currentIndex.isValid() ? currentIndex.row() : 0);
    return read;
}

void AccountWindow::selectMovement(qint64 id, int nearRow)
{
    if (m_model->rowCount() == 0)
        return;
    const int row = id != 0 ? m_model->rowOfMovement(id, nearRow) : -1;
    const QModelIndex index = m_model->index(row >= 0 ? row : 0, 0);
    m_grid->setCurrentIndex(index);
    m_grid->scrollTo(index);
}

void AccountWindow::topla1()
{
    // The account's sums could not be read: the boxes, and the stored balance, stay as they were.
    if (!m_sums)
        return;
    m_totalAdded->setText(numbers::totals(m_sums->added));
    m_totalAdded->end(false);
    topla2();
}

void AccountWindow::topla2()
{
    if (!m_sums)
        return;
    m_totalPaid->setText(numbers::totals(m_sums->paid));
    m_totalPaid->end(false);
    topla3();
}

void AccountWindow::topla3()
{
    // Read to the kuruş: a double loses kuruş from 2^46 kuruş up.
    const auto added = numbers::readKurus(m_totalAdded->text());
    const auto paid = numbers::readKurus(m_totalPaid->text());
    qint64 balance = 0;
    if (!added || !paid || qSubOverflow(*added, *paid, &balance))
        return;
    m_balance->setText(numbers::totals(balance));
    m_balance->end(false);
    if (m_customerLoaded) {
        m_customer.bakiye = balance;
        if (m_deferRowStore)
            m_rowStoreTimer->start();
        else
            storeCustomerRow();
    }
}

void AccountWindow::updateButtonStates()
{
    topla1();
    const bool hasMovement = m_model->rowCount() > 0;
    // While the details panel is open its lock holds, also against a reload after an entry.
    if (!m_detailsPanel->isVisible()) {
        for (LumButton* b : {m_deleteRowButton, m_printButton, m_resetButton, m_paymentButton})
            b->setEnabled(hasMovement);
    }
    topla1();
    if (m_deleteMode)
        lockForDeleteMode();
}

void AccountWindow::ResetAll()
{
    QString error;
    if (!m_store.deleteAllMovements(m_musKodu, &error))
        reportFailure(QStringLiteral("Hesap sıfırlanamadı; hareketler silinmedi."), error);
    rereadMovements();
    for (QLineEdit* box : {m_totalAdded, m_totalPaid, m_balance})
        box->setText(QStringLiteral("0"));
    ara();
    updateButtonStates();
}

void AccountWindow::menukitle2()
{
    for (QWidget* w :
         std::initializer_list<QWidget*> {m_calculatorButton, m_printButton, m_resetButton, m_backButton,
                                          m_creditButton, m_deleteRowButton, m_paymentButton, m_movementsFrame})
        w->setEnabled(false);
}

void AccountWindow::menukilitac2()
{
    for (QWidget* w :
         std::initializer_list<QWidget*> {m_calculatorButton, m_printButton, m_resetButton, m_backButton,
                                          m_creditButton, m_deleteRowButton, m_paymentButton, m_movementsFrame})
        w->setEnabled(true);
}

void AccountWindow::lockForDeleteMode()
{
    for (QWidget* w : std::initializer_list<QWidget*> {m_detailsButton, m_backButton, m_deleteRowButton, m_creditButton,
                                                       m_paymentButton, m_resetButton, m_printButton,
                                                       m_calculatorButton, m_movementsFrame})
        w->setEnabled(false);
}

void AccountWindow::enterDeleteMode()
{
    m_deleteMode = true;
    m_deletePanel->show();
    m_deletePanel->raise();
    lockForDeleteMode();
    m_deletePanel->takeFocus();
    m_deleteModeTimer->start();
}

bool AccountWindow::geri()
{
    if (m_customerLoaded) {
        if (m_dateText.isEmpty())
            m_dateText = dates::shortDate(Clock::today());
        writeDayCount();
        if (!storeCustomerRow(true))
            return false; // reported; the window stays open so that nothing is lost
        loadCustomer();
    }
    accept();
    return true;
}

void AccountWindow::done(int result)
{
    // Closed without "Geri": the row is still written, as it stands.
    storeCustomerRow();
    m_rowStoreTimer->stop();
    m_reloadTimer->stop();
    m_stopTimer->stop();
    m_progressPanel->stop();
    m_deleteModeTimer->stop();
    QDialog::done(result);
}

void AccountWindow::keyPressEvent(QKeyEvent* event)
{
    // The window ends through "Geri" (or a panel's own buttons); Esc is not a way out.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void AccountWindow::closeEvent(QCloseEvent* event)
{
    // While a panel lies over the window, its buttons are the way out: the close box would store a half-typed
    // row or leave delete mode past its two buttons.
    if (m_deleteMode || m_detailsPanel->isVisible()) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void AccountWindow::onEntryStored()
{
    m_reloadPending = true;
    m_entryAppended = true;
    m_reloadTimer->start();
    placeOverlays();
    m_progressPanel->startBlinking();
}

void AccountWindow::onReloadTick()
{
    // The account is read once per stored entry; the later ticks of the reload period find nothing new.
    if (m_reloadPending)
        onActivated();
    if (!m_stopTimer->isActive())
        m_stopTimer->start();
}

void AccountWindow::startEntry(bool credit)
{
    if (m_customerLoaded) {
        m_customer.sonislem = dates::isoDate(Clock::today());
        storeCustomerRow();
    }
    EntryWindow entry(m_db, this);
    entry.setCustomerNumber(m_musKodu);
    const QString heading
        = (credit ? QStringLiteral("VERESİYE EKLE - ") : QStringLiteral("VERESİYE ÖDE - ")) + windowTitle();
    entry.openPanel(credit ? EntryWindow::Panel::Credit : EntryWindow::Panel::Payment, heading);
    connect(&entry, &EntryWindow::entryStored, this, &AccountWindow::onEntryStored);
    entry.exec();
    // The window is active again once the entry window has closed, with or without a window manager to say
    // so: its activation runs now, whatever the reload timers are doing. The entry window has stored the
    // balance with the movement; this window's own copy of the row is written at the next turn of the event
    // loop, so the user does not wait for a second write to the disk before seeing the entry.
    m_deferRowStore = true;
    onActivated();
    m_deferRowStore = false;
}

void AccountWindow::deleteSelectedRow()
{
    // The row is taken before asking: the question must not change which row goes.
    const std::optional<Movement> current = currentMovement();
    const qint64 id = current ? current->id : 0;
    if (!MessageBox::askYesNo(this, QStringLiteral("SEÇİLİ SATIR SİLİNECEKTİR. EMİN MİSİNİZ?"),
                              QStringLiteral("KAYIT SİL"), MessageBox::Icon::Question))
        return;
    QString error;
    if (id != 0 && !m_store.deleteMovement(id, &error))
        reportFailure(QStringLiteral("Seçili satır silinemedi."), error);
    rereadMovements();
    topla1();
    updateButtonStates();
    topla1();
}

void AccountWindow::resetAccount()
{
    if (!MessageBox::askYesNo(this, QStringLiteral("Müşterinin Veresiye Hesabı Sıfırlanacaktır. Emin misiniz?"),
                              QStringLiteral("Dikkat!"), MessageBox::Icon::Stop))
        return;
    ResetAll();
}

void AccountWindow::startCalculator()
{
    static const char* const calculators[]
        = {"gnome-calculator", "kcalc", "galculator", "mate-calc", "qalculate-gtk", "xcalc"};
    for (const char* program : calculators) {
        if (QProcess::startDetached(QString::fromLatin1(program), {}))
            return;
    }
    MessageBox::ok(
        this, QStringLiteral("Hesap makinesi başlatılamadı: bu bilgisayarda bir hesap makinesi programı bulunamadı."),
        QStringLiteral("Hesap Makinesi"), MessageBox::Icon::Stop);
}

void AccountWindow::deleteCustomer()
{
    QString error;
    if (!m_store.deleteCustomer(m_musKodu, &error)) {
        reportFailure(QStringLiteral("Müşteri silinemedi; müşteri ve hareketleri yerinde duruyor."), error);
        return;
    }
    // The row is gone: nothing of it is written any more.
    m_customerLoaded = false;
    m_customer = {};
    rereadMovements();
    menukilitac2();
    geri();
}

void AccountWindow::cancelDelete()
{
    m_deletePanel->hide();
    // Delete mode has no other way out: if the row could not be stored, the panel comes back.
    if (!geri()) {
        m_deletePanel->show();
        m_deletePanel->takeFocus();
    }
}

void AccountWindow::openDetails()
{
    menukitle2();
    placeOverlays();
    m_detailsPanel->show();
    m_detailsPanel->raise();
    m_detailsPanel->takeFocus();
}

void AccountWindow::saveDetails()
{
    if (!m_detailsPanel->checkInput())
        return; // nothing stored; the typed values stay to be put right
    if (!storeCustomerRow(true))
        return; // reported; the typed values stay for another try
    loadCustomer();
    m_detailsPanel->endEditing();
}

void AccountWindow::cancelDetails()
{
    // The typed values stay in the row and are written with its next store.
    takeDetailsIntoRow();
    m_detailsPanel->hide();
    menukilitac2();
    m_detailsButton->setFocus(Qt::OtherFocusReason);
}

void AccountWindow::loadCustomer()
{
    // As a record set does, the row is written before it is read again. A row that could not be written
    // stays pending (and shown), so that "Geri" tries it again instead of losing it.
    if (!storeCustomerRow() && m_customerLoaded) {
        showCustomer();
        return;
    }
    const auto record = m_store.customer(m_musKodu);
    m_customerLoaded = record.has_value();
    m_customer = record.value_or(CustomerRecord {});
    m_storedCustomer = m_customer;
    showCustomer();
}

void AccountWindow::showCustomer()
{
    const CustomerRecord& c = m_customer;
    QString address = c.adres;
    address.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '));
    const QString strip[6] = {c.telefon1, c.telefon2, c.vd, c.vdn, address, c.sehir};
    for (int i = 0; i < 6; ++i) {
        m_stripBoxes[i]->setText(strip[i]);
        m_stripBoxes[i]->home(false);
    }
    m_detailsPanel->showRecord(c);
}

void AccountWindow::takeDetailsIntoRow()
{
    if (m_customerLoaded)
        m_detailsPanel->takeInto(m_customer);
}

bool AccountWindow::storeCustomerRow(bool force)
{
    if (!m_customerLoaded)
        return true;
    takeDetailsIntoRow();
    if (m_customer == m_storedCustomer)
        return true;
    // The totals run several times in a row: one message for one failed row, not one per run.
    if (!force && m_failedCustomer == m_customer)
        return false;
    QString error;
    if (!m_store.storeCustomer(m_customer, &error)) {
        m_failedCustomer = m_customer;
        reportFailure(QStringLiteral("Müşteri kaydı saklanamadı; bakiye, son işlem tarihi ve müşteri bilgilerindeki "
                                     "değişiklikler veritabanına yazılmadı."),
                      error);
        return false;
    }
    m_storedCustomer = m_customer;
    m_failedCustomer.reset();
    return true;
}

void AccountWindow::writeDayCount()
{
    if (!m_customerLoaded)
        return;
    const auto today = dates::readDate(m_dateText);
    if (!today)
        return;
    if (const std::optional<Movement> current = currentMovement()) {
        if (const auto date = dates::readDate(current->tarih))
            m_customer.gun = dates::dayCount(*date, *today);
        return;
    }
    // No movement: the count follows the last-transaction date, as the customer list counts it.
    const auto last = dates::readDate(m_customer.sonislem);
    m_customer.gun = last ? QVariant(dates::dayCount(*last, *today)) : QVariant();
}

std::optional<Movement> AccountWindow::currentMovement() const
{
    const QModelIndex current = m_grid->currentIndex();
    return m_model->movementAt(current.isValid() ? current.row() : 0);
}

void AccountWindow::reportFailure(const QString& what, const QString& error)
{
    // Timers keep running while the box is open; one box at a time, and no reload loop behind it.
    m_reloadTimer->stop();
    if (m_reporting)
        return;
    m_reporting = true;
    // Reads and writes alike: nothing changed, unless a COMMIT went with the link.
    const LostWrite lost = what.isEmpty()
        ? LostWrite {QStringLiteral("; hesap okunamadı. Bağlantı gelince yeniden deneyin."),
                     QStringLiteral("; hesap okunamadı. Bağlantı gelince yeniden deneyin.")}
        : LostWrite {QStringLiteral("; değişiklik kaydedilmedi. Bağlantı gelince yeniden deneyin."),
                     QStringLiteral("; değişikliğin kaydedilip kaydedilmediği bilinmiyor. Bağlantı gelince hesabı "
                                    "kontrol edin.")};
    if (!reportLostServer(this, m_db, lost)) {
        MessageBox::ok(this, error.isEmpty() ? what : what + QStringLiteral("\n\n") + error,
                       QStringLiteral("Kayıt Hatası"), MessageBox::Icon::Stop);
    }
    m_reporting = false;
}

} // namespace zelvora
