#include "account/accountwindow.h"

#include "account/movementlistmodel.h"
#include "app/messagebox.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"
#include "entry/entrywindow.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QApplication>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QColor kOrange(0xFF, 0x99, 0x33);
const QColor kRed(0xD0, 0x00, 0x00);

QLineEdit* readOnlyBox(QWidget* parent, const QString& name, const QColor& textColour)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    QPalette palette = box->palette();
    palette.setColor(QPalette::Text, textColour);
    box->setPalette(palette);
    return box;
}

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

LumButton* button(const QString& caption, const QString& name, QWidget* parent)
{
    auto* b = new LumButton(caption, parent);
    b->setObjectName(name);
    b->setMinimumSize(130, 32);
    return b;
}

void setColours(QLabel* label, const QColor& text, const QColor& background)
{
    label->setStyleSheet(QStringLiteral("QLabel { color: %1; background-color: %2; border: 2px solid %1; }")
                             .arg(text.name(), background.name()));
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
    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setObjectName(QStringLiteral("blinkTimer"));
    m_blinkTimer->setInterval(200);
    m_panelTimer = new QTimer(this);
    m_panelTimer->setObjectName(QStringLiteral("panelTimer"));
    m_panelTimer->setInterval(5500);
    m_deleteModeTimer = new QTimer(this);
    m_deleteModeTimer->setObjectName(QStringLiteral("deleteModeTimer"));
    m_deleteModeTimer->setInterval(10);
    connect(m_reloadTimer, &QTimer::timeout, this, &AccountWindow::onReloadTick);
    connect(m_stopTimer, &QTimer::timeout, this, [this] {
        m_reloadTimer->stop();
        m_stopTimer->stop();
    });
    connect(m_blinkTimer, &QTimer::timeout, this, &AccountWindow::onBlinkTick);
    connect(m_panelTimer, &QTimer::timeout, this, &AccountWindow::onPanelTick);
    connect(m_deleteModeTimer, &QTimer::timeout, this, &AccountWindow::lockForDeleteMode);
    m_panelTimer->start();
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
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setAlternatingRowColors(true);
    m_grid->verticalHeader()->setDefaultSectionSize(22);
    m_grid->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_grid->verticalHeader()->setVisible(false);
    m_grid->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {85, 70, 230, 60, 70, 50, 100};
    for (int i = 0; i < 7; ++i)
        m_grid->setColumnWidth(i, widths[i]);
    m_grid->horizontalHeader()->setStretchLastSection(true);
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

    m_progressPanel = new QLabel(QStringLiteral("İşlem Kaydediliyor... Bekleyiniz."), this);
    m_progressPanel->setObjectName(QStringLiteral("progressPanel"));
    m_progressPanel->setAlignment(Qt::AlignCenter);
    QFont big = m_progressPanel->font();
    big.setBold(true);
    big.setPointSize(big.pointSize() + 4);
    m_progressPanel->setFont(big);
    setColours(m_progressPanel, kRed, kOrange);
    m_progressPanel->hide();

    m_detailsPanel = qobject_cast<QGroupBox*>(buildDetailsPanel());
    m_deletePanel = qobject_cast<QFrame*>(buildDeletePanel());

    connect(m_creditButton, &LumButton::clicked, this, [this] { startEntry(true); });
    connect(m_paymentButton, &LumButton::clicked, this, [this] { startEntry(false); });
    connect(m_deleteRowButton, &LumButton::clicked, this, &AccountWindow::deleteSelectedRow);
    connect(m_resetButton, &LumButton::clicked, this, &AccountWindow::resetAccount);
    connect(m_calculatorButton, &LumButton::clicked, this, &AccountWindow::startCalculator);
    connect(m_backButton, &LumButton::clicked, this, &AccountWindow::geri);
    connect(m_detailsButton, &LumButton::clicked, this, [this] {
        menukitle2();
        m_detailsPanel->show();
        m_detailsPanel->raise();
    });
    // "Listeyi Yazdır" keeps its enable rule; the printed statement comes with the reports.
}

QWidget* AccountWindow::buildDetailsPanel()
{
    auto* panel = new QGroupBox(QStringLiteral("Müşteri Bilgileri"), this);
    panel->setObjectName(QStringLiteral("detailsPanel"));
    panel->setAutoFillBackground(true);
    panel->setStyleSheet(QStringLiteral(
        "QGroupBox#detailsPanel { background-color: #EEF3FA; border: 2px solid "
        "#5B7DB1; margin-top: 14px; padding-top: 8px; font-weight: bold; } QGroupBox#detailsPanel::title "
        "{ subcontrol-origin: margin; left: 10px; padding: 0 4px; }"));

    m_detailCode = readOnlyBox(panel, QStringLiteral("detailCode"), kRed);
    m_detailCode->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_detailType = new QComboBox(panel);
    m_detailType->setObjectName(QStringLiteral("detailType"));
    m_detailType->setEditable(false);
    m_detailType->addItems({QStringLiteral("Alıcı"), QStringLiteral("Satıcı")});
    const auto lineBox = [panel](const QString& name) {
        auto* box = new QLineEdit(panel);
        box->setObjectName(name);
        return box;
    };
    m_detailName = lineBox(QStringLiteral("detailName"));
    m_detailPhone = lineBox(QStringLiteral("detailPhone"));
    m_detailGsm = lineBox(QStringLiteral("detailGsm"));
    m_detailCity = lineBox(QStringLiteral("detailCity"));
    m_detailTaxOffice = lineBox(QStringLiteral("detailTaxOffice"));
    m_detailTaxNumber = lineBox(QStringLiteral("detailTaxNumber"));
    m_detailAddress = new QPlainTextEdit(panel);
    m_detailAddress->setObjectName(QStringLiteral("detailAddress"));
    m_detailAddress->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_detailAddress->setTabChangesFocus(true);
    m_detailAddress->setFixedHeight(70);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Müşteri Kodu :"), m_detailCode);
    form->addRow(QStringLiteral("Hesap Türü :"), m_detailType);
    form->addRow(QStringLiteral("Müşteri :"), m_detailName);
    form->addRow(QStringLiteral("Telefon :"), m_detailPhone);
    form->addRow(QStringLiteral("GSM :"), m_detailGsm);
    form->addRow(QStringLiteral("Şehir :"), m_detailCity);
    form->addRow(QStringLiteral("Vergi Dairesi :"), m_detailTaxOffice);
    form->addRow(QStringLiteral("Vergi No :"), m_detailTaxNumber);
    form->addRow(QStringLiteral("Adres :"), m_detailAddress);

    m_detailsCancelButton = button(QStringLiteral("İptal"), QStringLiteral("detailsCancelButton"), panel);
    m_editButton = button(QStringLiteral("Düzenle"), QStringLiteral("editButton"), panel);
    m_saveButton = button(QStringLiteral("Kaydet"), QStringLiteral("saveButton"), panel);
    m_saveButton->hide();
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_detailsCancelButton);
    buttons->addStretch(1);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_saveButton);

    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setDetailsEditable(false);
    panel->hide();

    connect(m_editButton, &LumButton::clicked, this, &AccountWindow::editDetails);
    connect(m_saveButton, &LumButton::clicked, this, &AccountWindow::saveDetails);
    connect(m_detailsCancelButton, &LumButton::clicked, this, &AccountWindow::cancelDetails);
    return panel;
}

QWidget* AccountWindow::buildDeletePanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("deletePanel"));
    panel->setFrameShape(QFrame::Box);
    panel->setAutoFillBackground(true);
    panel->setStyleSheet(
        QStringLiteral("QFrame#deletePanel { background-color: #FFF4E5; border: 2px solid #C04000; }"));

    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("deletePicture"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    auto* text = new QLabel(
        QStringLiteral("Müşterinin Veresiye Hesabı Sıfırlanacak ve Müşteri Kaydı Silinecektir.  Emin misiniz?"), panel);
    text->setObjectName(QStringLiteral("deleteText"));
    text->setWordWrap(true);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(text, 1);

    auto* deleteButton
        = button(QStringLiteral("Müşteriyi ve Hareketlerini Sil"), QStringLiteral("deleteCustomerButton"), panel);
    deleteButton->setMinimumWidth(220);
    auto* cancelButton = button(QStringLiteral("İptal"), QStringLiteral("deleteCancelButton"), panel);
    deleteButton->setMaximumHeight(36);
    cancelButton->setMaximumHeight(36);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(panel);
    layout->addLayout(top);
    layout->addLayout(buttons);
    panel->hide();

    connect(deleteButton, &LumButton::clicked, this, &AccountWindow::deleteCustomer);
    connect(cancelButton, &LumButton::clicked, this, &AccountWindow::cancelDelete);
    return panel;
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
    ara();
    topla1();
    updateButtonStates();
    m_dateText = dates::shortDate(Clock::today());
    writeDayCount();
}

void AccountWindow::ara()
{
    rereadMovements();
    loadCustomer();
    topla1();
}

void AccountWindow::rereadMovements()
{
    m_sums.reset();
    m_model->reread(m_musKodu);
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

void AccountWindow::topla1()
{
    if (!m_sums)
        m_sums = m_store.sums(m_musKodu);
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
    const auto added = numbers::read(m_totalAdded->text());
    const auto paid = numbers::read(m_totalPaid->text());
    if (!added || !paid)
        return;
    const auto balance = numbers::toKurus(*added - *paid);
    if (!balance)
        return;
    m_balance->setText(numbers::totals(*balance));
    m_balance->end(false);
    if (m_customerLoaded) {
        m_customer.bakiye = *balance;
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
    m_reloadTimer->stop();
    m_stopTimer->stop();
    m_blinkTimer->stop();
    m_deleteModeTimer->stop();
    QDialog::done(result);
}

void AccountWindow::onEntryStored()
{
    m_blinkSwapped = false;
    setColours(m_progressPanel, kRed, kOrange);
    m_reloadTimer->start();
    m_blinkTimer->start();
    placeOverlays();
    m_progressPanel->show();
    m_progressPanel->raise();
}

void AccountWindow::onReloadTick()
{
    ara();
    if (!m_stopTimer->isActive())
        m_stopTimer->start();
    updateButtonStates();
}

void AccountWindow::onBlinkTick()
{
    m_blinkSwapped = !m_blinkSwapped;
    if (m_blinkSwapped)
        setColours(m_progressPanel, kOrange, kRed);
    else
        setColours(m_progressPanel, kRed, kOrange);
}

void AccountWindow::onPanelTick()
{
    m_progressPanel->hide();
    m_blinkTimer->stop();
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
}

void AccountWindow::deleteSelectedRow()
{
    // The row is taken before asking: the question must not change which row goes.
    const Movement* current = currentMovement();
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
    if (!geri())
        m_deletePanel->show();
}

void AccountWindow::editDetails()
{
    setDetailsEditable(true);
    m_editButton->hide();
    m_saveButton->show();
}

void AccountWindow::saveDetails()
{
    if (!storeCustomerRow(true))
        return; // reported; the typed values stay for another try
    loadCustomer();
    setDetailsEditable(false);
    m_editButton->show();
    m_saveButton->hide();
}

void AccountWindow::cancelDetails()
{
    // The typed values stay in the row and are written with its next store.
    takeDetailsIntoRow();
    m_detailsPanel->hide();
    menukilitac2();
}

void AccountWindow::setDetailsEditable(bool editable)
{
    for (QWidget* w :
         std::initializer_list<QWidget*> {m_detailCode, m_detailType, m_detailName, m_detailPhone, m_detailGsm,
                                          m_detailCity, m_detailTaxOffice, m_detailTaxNumber, m_detailAddress})
        w->setEnabled(editable);
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
    m_detailCode->setText(c.musKodu);
    m_detailType->setCurrentIndex(m_detailType->findText(c.turu));
    m_detailName->setText(c.musteriFirma);
    m_detailPhone->setText(c.telefon1);
    m_detailGsm->setText(c.telefon2);
    m_detailCity->setText(c.sehir);
    m_detailTaxOffice->setText(c.vd);
    m_detailTaxNumber->setText(c.vdn);
    if (m_detailAddress->toPlainText() != c.adres)
        m_detailAddress->setPlainText(c.adres);
}

void AccountWindow::takeDetailsIntoRow()
{
    if (!m_customerLoaded)
        return;
    if (m_detailType->currentIndex() >= 0)
        m_customer.turu = m_detailType->currentText();
    m_customer.musteriFirma = m_detailName->text();
    m_customer.telefon1 = m_detailPhone->text();
    m_customer.telefon2 = m_detailGsm->text();
    m_customer.sehir = m_detailCity->text();
    m_customer.vd = m_detailTaxOffice->text();
    m_customer.vdn = m_detailTaxNumber->text();
    // A stored "\r\n" shows as "\n": only a real edit changes the address.
    if (QString(m_customer.adres).replace(QLatin1String("\r\n"), QLatin1String("\n")) != m_detailAddress->toPlainText())
        m_customer.adres = m_detailAddress->toPlainText();
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
    if (const Movement* current = currentMovement()) {
        if (const auto date = dates::readDate(current->tarih))
            m_customer.gun = dates::dayCount(*date, *today);
        return;
    }
    // No movement: the count follows the last-transaction date, as the customer list counts it.
    const auto last = dates::readDate(m_customer.sonislem);
    m_customer.gun = last ? QVariant(dates::dayCount(*last, *today)) : QVariant();
}

const Movement* AccountWindow::currentMovement() const
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
    MessageBox::ok(this, error.isEmpty() ? what : what + QStringLiteral("\n\n") + error, QStringLiteral("Kayıt Hatası"),
                   MessageBox::Icon::Stop);
    m_reporting = false;
}

} // namespace zelvora
