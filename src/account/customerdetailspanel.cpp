// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/customerdetailspanel.h"

#include "account/accountwidgets.h"
#include "app/messagebox.h"
#include "data/accountstore.h"
#include "data/numberformat.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace zelvora {

CustomerDetailsPanel::CustomerDetailsPanel(QWidget* parent)
    : QGroupBox(QStringLiteral("Müşteri Bilgileri"), parent)
{
    setObjectName(QStringLiteral("detailsPanel"));
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral(
        "QGroupBox#detailsPanel { background-color: #EEF3FA; border: 2px solid "
        "#5B7DB1; margin-top: 14px; padding-top: 8px; font-weight: bold; } QGroupBox#detailsPanel::title "
        "{ subcontrol-origin: margin; left: 10px; padding: 0 4px; }"));

    m_code = accountui::readOnlyBox(this, QStringLiteral("detailCode"), accountui::kRed);
    m_code->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("detailType"));
    m_type->setEditable(false);
    m_type->addItems({QStringLiteral("Alıcı"), QStringLiteral("Satıcı")});
    const auto lineBox = [this](const QString& name) {
        auto* box = new QLineEdit(this);
        box->setObjectName(name);
        return box;
    };
    m_name = lineBox(QStringLiteral("detailName"));
    m_phone = lineBox(QStringLiteral("detailPhone"));
    m_gsm = lineBox(QStringLiteral("detailGsm"));
    m_city = lineBox(QStringLiteral("detailCity"));
    m_taxOffice = lineBox(QStringLiteral("detailTaxOffice"));
    m_taxNumber = lineBox(QStringLiteral("detailTaxNumber"));
    m_address = new QPlainTextEdit(this);
    m_address->setObjectName(QStringLiteral("detailAddress"));
    m_address->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_address->setTabChangesFocus(true);
    m_address->setFixedHeight(70);
    m_address->installEventFilter(this);
    m_creditLimit = lineBox(QStringLiteral("detailCreditLimit"));
    m_creditLimit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_creditLimit->setPlaceholderText(QStringLiteral("Limit yok"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Müşteri Kodu :"), m_code);
    form->addRow(QStringLiteral("Hesap Türü :"), m_type);
    form->addRow(QStringLiteral("Müşteri :"), m_name);
    form->addRow(QStringLiteral("Telefon :"), m_phone);
    form->addRow(QStringLiteral("GSM :"), m_gsm);
    form->addRow(QStringLiteral("Şehir :"), m_city);
    form->addRow(QStringLiteral("Vergi Dairesi :"), m_taxOffice);
    form->addRow(QStringLiteral("Vergi No :"), m_taxNumber);
    form->addRow(QStringLiteral("Adres :"), m_address);
    form->addRow(QStringLiteral("Kredi Limiti :"), m_creditLimit);

    m_cancelButton = accountui::button(QStringLiteral("İptal"), QStringLiteral("detailsCancelButton"), this);
    m_editButton = accountui::button(QStringLiteral("Düzenle"), QStringLiteral("editButton"), this);
    m_saveButton = accountui::button(QStringLiteral("Kaydet"), QStringLiteral("saveButton"), this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cancelButton);
    buttons->addStretch(1);
    buttons->addWidget(m_editButton);
    buttons->addWidget(m_saveButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    setEditing(false);
    hide();

    connect(m_editButton, &LumButton::clicked, this, [this] { setEditing(true); });
    connect(m_saveButton, &LumButton::clicked, this, &CustomerDetailsPanel::saveClicked);
    connect(m_cancelButton, &LumButton::clicked, this, &CustomerDetailsPanel::cancelClicked);
}

CustomerDetailsPanel::~CustomerDetailsPanel() = default;

bool CustomerDetailsPanel::eventFilter(QObject* watched, QEvent* event)
{
    // Reached with the keyboard, the address is selected whole as the one-line boxes are: what is typed
    // replaces it instead of going in front of a stored blank.
    if (watched == m_address && event->type() == QEvent::FocusIn) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
            m_address->selectAll();
    }
    return QGroupBox::eventFilter(watched, event);
}

void CustomerDetailsPanel::endEditing()
{
    setEditing(false);
}

void CustomerDetailsPanel::takeFocus()
{
    m_cancelButton->setFocus(Qt::OtherFocusReason);
}

void CustomerDetailsPanel::setEditing(bool editing)
{
    // "Düzenle" and "Kaydet" hide themselves when pressed; the focus goes on with the work, not behind the panel.
    const bool focusInside = isAncestorOf(QApplication::focusWidget());
    m_editing = editing;
    // The customer number stays read-only; it is disabled with the rest while viewing.
    for (QWidget* w : std::initializer_list<QWidget*> {m_code, m_type, m_name, m_phone, m_gsm, m_city, m_taxOffice,
                                                       m_taxNumber, m_address, m_creditLimit})
        w->setEnabled(editing);
    m_editButton->setVisible(!editing);
    m_saveButton->setVisible(editing);
    if (focusInside) {
        QWidget* next = editing ? static_cast<QWidget*>(m_type) : m_editButton;
        next->setFocus(Qt::OtherFocusReason);
    }
}

void CustomerDetailsPanel::showRecord(const CustomerRecord& c)
{
    m_code->setText(c.musKodu);
    m_type->setCurrentIndex(m_type->findText(c.turu));
    m_name->setText(c.musteriFirma);
    m_phone->setText(c.telefon1);
    m_gsm->setText(c.telefon2);
    m_city->setText(c.sehir);
    m_taxOffice->setText(c.vd);
    m_taxNumber->setText(c.vdn);
    if (m_address->toPlainText() != c.adres)
        m_address->setPlainText(c.adres);
    m_creditLimit->setText(c.krediLimiti.isNull() ? QString() : numbers::totals(c.krediLimiti.toLongLong()));
}

std::optional<QVariant> CustomerDetailsPanel::readCreditLimit(const QString& text)
{
    if (text.trimmed().isEmpty())
        return QVariant();
    const std::optional<qint64> kurus = numbers::readKurus(text);
    if (!kurus || *kurus < 0)
        return std::nullopt;
    return QVariant(*kurus);
}

bool CustomerDetailsPanel::checkInput()
{
    if (readCreditLimit(m_creditLimit->text()))
        return true;
    MessageBox::ok(this,
                   QStringLiteral("Kredi limiti geçerli bir tutar değil. 0 veya daha büyük bir tutar yazın (örneğin "
                                  "1.500,00) ya da limit olmasın diye boş bırakın. Hiçbir değişiklik kaydedilmedi."),
                   QStringLiteral("Dikkat!!"), MessageBox::Icon::Exclamation);
    m_creditLimit->setFocus(Qt::OtherFocusReason);
    m_creditLimit->selectAll();
    return false;
}

void CustomerDetailsPanel::takeInto(CustomerRecord& c) const
{
    if (m_type->currentIndex() >= 0)
        c.turu = m_type->currentText();
    c.musteriFirma = m_name->text();
    c.telefon1 = m_phone->text();
    c.telefon2 = m_gsm->text();
    c.sehir = m_city->text();
    c.vd = m_taxOffice->text();
    c.vdn = m_taxNumber->text();
    // A stored "\r\n" shows as "\n": only a real edit changes the address.
    if (QString(c.adres).replace(QLatin1String("\r\n"), QLatin1String("\n")) != m_address->toPlainText())
        c.adres = m_address->toPlainText();
    if (const std::optional<QVariant> limit = readCreditLimit(m_creditLimit->text()))
        c.krediLimiti = *limit;
}

} // namespace zelvora
