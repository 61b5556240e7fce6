// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/newcustomerwindow.h"

#include "app/lostserver.h"
#include "app/messagebox.h"
#include "data/appconfig.h"
#include "data/database.h"
#include "entry/newcustomerstore.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kWarningTitle = QStringLiteral("Dikkat!!");

} // namespace

NewCustomerWindow::NewCustomerWindow(Database& db, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("musteriekle"));
    setWindowTitle(QStringLiteral("Yeni Müşteri Ekle"));
    buildUi();
    applyButtonLook(this, ButtonLook::Glass);
    topla();

    // The proposal follows the counter for as long as the window is open.
    m_proposalTimer = new QTimer(this);
    m_proposalTimer->setObjectName(QStringLiteral("proposalTimer"));
    m_proposalTimer->setInterval(10);
    connect(m_proposalTimer, &QTimer::timeout, this, &NewCustomerWindow::topla);
    m_proposalTimer->start();
    connect(this, &QDialog::finished, m_proposalTimer, &QTimer::stop);
}

NewCustomerWindow::~NewCustomerWindow() = default;

void NewCustomerWindow::buildUi()
{
    auto lineBox = [this](const QString& name, const QString& text) {
        auto* box = new QLineEdit(text, this);
        box->setObjectName(name);
        return box;
    };

    m_numberBox = lineBox(QStringLiteral("numberBox"), QStringLiteral("0"));
    m_numberBox->setReadOnly(true);
    m_numberBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont bold = m_numberBox->font();
    bold.setBold(true);
    m_numberBox->setFont(bold);
    m_numberBox->setMaximumWidth(140);

    m_typeBox = new QComboBox(this);
    m_typeBox->setObjectName(QStringLiteral("typeBox"));
    m_typeBox->setEditable(false);
    m_typeBox->addItems({QStringLiteral("Alıcı"), QStringLiteral("Satıcı")});
    m_typeBox->setCurrentIndex(-1);
    m_typeBox->setMinimumWidth(140);

    m_nameBox = lineBox(QStringLiteral("nameBox"), QString());
    m_phoneBox = lineBox(QStringLiteral("phoneBox"), QStringLiteral(" "));
    m_gsmBox = lineBox(QStringLiteral("gsmBox"), QStringLiteral(" "));
    m_cityBox = lineBox(QStringLiteral("cityBox"), QStringLiteral(" "));
    m_taxOfficeBox = lineBox(QStringLiteral("taxOfficeBox"), QStringLiteral(" "));
    m_taxNumberBox = lineBox(QStringLiteral("taxNumberBox"), QStringLiteral(" "));

    m_addressBox = new QPlainTextEdit(QStringLiteral(" "), this);
    m_addressBox->setObjectName(QStringLiteral("addressBox"));
    m_addressBox->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_addressBox->setTabChangesFocus(true);
    m_addressBox->setFixedHeight(72);

    auto* form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setHorizontalSpacing(10);
    form->setVerticalSpacing(6);
    const std::pair<QString, QWidget*> rows[] = {
        {QStringLiteral("Müşteri Kodu :"), m_numberBox},
        {QStringLiteral("Hesap Türü :"), m_typeBox},
        {QStringLiteral("Müşteri :"), m_nameBox},
        {QStringLiteral("Telefon :"), m_phoneBox},
        {QStringLiteral("GSM :"), m_gsmBox},
        {QStringLiteral("Şehir :"), m_cityBox},
        {QStringLiteral("Vergi Dairesi :"), m_taxOfficeBox},
        {QStringLiteral("Vergi No :"), m_taxNumberBox},
        {QStringLiteral("Adres :"), m_addressBox},
    };
    for (const auto& [caption, field] : rows) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(field);
        QFont labelFont = label->font();
        labelFont.setBold(true);
        label->setFont(labelFont);
        form->addRow(label, field);
    }

    m_cancelButton = makeButton(QStringLiteral("İptal"), QStringLiteral("cancelButton"), this);
    m_saveButton = makeButton(QStringLiteral("Kaydet"), QStringLiteral("saveButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    for (LumButton* button : {m_cancelButton, m_saveButton}) {
        button->setMinimumSize(110, 32);
        buttons->addWidget(button);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(form);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    // Tab order: the fields first, then the number box and the buttons.
    const QList<QWidget*> order
        = {m_typeBox,      m_nameBox,    m_phoneBox,  m_gsmBox,     m_cityBox,     m_taxOfficeBox,
           m_taxNumberBox, m_addressBox, m_numberBox, m_saveButton, m_cancelButton};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));
    // Enter and Esc reach the window first, whichever control has the focus.
    for (QWidget* widget : order)
        widget->installEventFilter(this);
    m_typeBox->setFocus();

    connect(m_saveButton, &LumButton::clicked, this, &NewCustomerWindow::KaydetForm);
    connect(m_cancelButton, &LumButton::clicked, this, &QDialog::reject);
}

bool NewCustomerWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Reached with the keyboard, the address is selected whole as the one-line boxes are: what is typed
    // replaces its starting blank instead of going in front of it.
    if (watched == m_addressBox && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
            m_addressBox->selectAll();
    }
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
        if (key == Qt::Key_Escape) {
            reject();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void NewCustomerWindow::topla()
{
    m_numberBox->setText(NewCustomerStore(m_db).proposedNumber());
}

void NewCustomerWindow::KaydetForm()
{
    if (m_typeBox->currentText().isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Hesap Türü Seçin"), kWarningTitle, MessageBox::Icon::Exclamation);
        m_typeBox->setFocus();
        return;
    }
    if (m_nameBox->text().isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Müşteri Adını Yazın"), kWarningTitle, MessageBox::Icon::Exclamation);
        m_nameBox->setFocus();
        return;
    }

    NewCustomer customer;
    customer.musKodu = m_numberBox->text();
    customer.musteriFirma = m_nameBox->text();
    customer.turu = m_typeBox->currentText();
    customer.telefon1 = m_phoneBox->text();
    customer.telefon2 = m_gsmBox->text();
    customer.sehir = m_cityBox->text();
    customer.vd = m_taxOfficeBox->text();
    customer.vdn = m_taxNumberBox->text();
    customer.adres = m_addressBox->toPlainText();

    QString error;
    // The number is taken from the counter as the customer is stored, so another till adding a customer at the
    // same moment cannot take it too; the box shows the number used.
    QString number;
    const NewCustomerStore::Result result = NewCustomerStore(m_db).addUnderNextNumber(customer, &number, &error);
    if (!number.isEmpty())
        m_numberBox->setText(number);
    switch (result) {
    case NewCustomerStore::Result::Stored:
        accept();
        return;
    case NewCustomerStore::Result::DuplicateNumber:
        MessageBox::ok(this,
                       QStringLiteral("BU MÜŞTERİ NUMARASI KAYITLARDA MEVCUT. PROGRAMINIZDAKİ BU HATAYI LÜTFEN ")
                           + AppConfig::makerAddress() + QStringLiteral(" ADRESİNE BİLDİRİNİZ."),
                       QStringLiteral("Bilgi"), MessageBox::Icon::Information);
        return;
    case NewCustomerStore::Result::Failed:
        if (!reportLostServer(this, m_db,
                              {QStringLiteral("; müşteri kaydedilmedi. Bağlantı gelince yeniden deneyin."),
                               QStringLiteral("; müşterinin kaydedilip kaydedilmediği bilinmiyor. Bağlantı gelince "
                                              "listeye bakın, müşteri yoksa yeniden deneyin.")}))
            MessageBox::ok(this, QStringLiteral("Müşteri Kaydedilemedi.\n\n") + error, QStringLiteral("Hata"),
                           MessageBox::Icon::Stop);
        return;
    }
}

} // namespace zelvora
