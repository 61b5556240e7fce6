// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entrywindow.h"

#include "app/lostserver.h"
#include "app/messagebox.h"
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dateformat.h"
#include "data/numberformat.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kWarningTitle = QStringLiteral("Dikkat!!");

QLineEdit* box(QWidget* parent, const QString& name, Qt::Alignment alignment = Qt::AlignLeft)
{
    auto* b = new QLineEdit(parent);
    b->setObjectName(name);
    b->setAlignment(alignment | Qt::AlignVCenter);
    return b;
}

QLabel* label(const QString& text, QWidget* buddy, QWidget* parent)
{
    auto* l = new QLabel(text, parent);
    l->setBuddy(buddy);
    QFont bold = l->font();
    bold.setBold(true);
    l->setFont(bold);
    return l;
}

QLabel* heading(const QString& name, QWidget* parent)
{
    auto* h = new QLabel(parent);
    h->setObjectName(name);
    h->setStyleSheet(
        QStringLiteral("QLabel { color: white; background-color: #2F5597; font-weight: bold; padding: 6px; }"));
    return h;
}

QLabel* picture(const QColor& colour, QWidget* parent)
{
    auto* p = new QLabel(QStringLiteral("₺"), parent);
    p->setAlignment(Qt::AlignCenter);
    p->setFixedWidth(110);
    p->setStyleSheet(QStringLiteral("QLabel { color: white; background-color: %1; font-size: 56px; font-weight: bold; "
                                    "border-radius: 6px; }")
                         .arg(colour.name()));
    return p;
}

// A panel: its heading on top, the picture on the left, the fields on the right and the two buttons below.
void arrangePanel(QFrame* panel, QLabel* heading, QGridLayout* fields, LumButton* cancel, LumButton* confirm,
                  const QColor& pictureColour)
{
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(cancel);
    buttons->addWidget(confirm);
    auto* right = new QVBoxLayout;
    right->addLayout(fields);
    right->addStretch(1);
    right->addLayout(buttons);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(10, 10, 10, 10);
    body->addWidget(picture(pictureColour, panel));
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(heading);
    layout->addLayout(body, 1);
    panel->setMinimumSize(640, 240);
}

} // namespace

EntryWindow::EntryWindow(Database& db, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
    , m_db(db)
{
    setObjectName(QStringLiteral("veresiyeekleode"));
    m_creditPanel = buildCreditPanel();
    m_paymentPanel = buildPaymentPanel();
    applyButtonLook(this, ButtonLook::Glass);
    // Two panels of the same size in the same place, whichever the opener shows.
    QSize panelSize;
    for (const QFrame* panel : {m_creditPanel, m_paymentPanel})
        panelSize = panelSize.expandedTo(panel->sizeHint()).expandedTo(panel->minimumSize());
    for (QFrame* panel : {m_creditPanel, m_paymentPanel}) {
        panel->setFixedSize(panelSize);
        panel->hide();
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_creditPanel);
    layout->addWidget(m_paymentPanel);

    // Tab order follows the tab indexes of the two panels: the payment amount comes first of all.
    const QList<QWidget*> order
        = {m_amount, m_paymentTime,  m_paymentDate,   m_paymentDescription, m_description,   m_quantity,
           m_unit,   m_unitPrice,    m_creditTime,    m_creditDate,         m_total,         m_factor,
           m_tax,    m_creditCancel, m_creditConfirm, m_paymentCancel,      m_paymentConfirm};
    for (qsizetype i = 1; i < order.size(); ++i)
        setTabOrder(order.at(i - 1), order.at(i));

    // The window sees every key before its controls.
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
    for (QLineEdit* watched : {m_unitPrice, m_total, m_factor, m_amount})
        watched->installEventFilter(this);

    const QDateTime now = Clock::now();
    for (QLineEdit* date : {m_creditDate, m_paymentDate})
        date->setText(dates::shortDate(now.date()));
    for (QLineEdit* time : {m_creditTime, m_paymentTime})
        time->setText(dates::shortTime(now.time()));

    m_totalTimer = new QTimer(this);
    m_totalTimer->setObjectName(QStringLiteral("totalTimer"));
    m_totalTimer->setInterval(10);
    connect(m_totalTimer, &QTimer::timeout, this, &EntryWindow::recomputeTotal);
    m_totalTimer->start();
}

EntryWindow::~EntryWindow() = default;

QFrame* EntryWindow::buildCreditPanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("creditPanel"));
    m_creditHeading = heading(QStringLiteral("creditHeading"), panel);
    m_creditHeading->setText(QStringLiteral("VERESİYE EKLE"));

    m_description = box(panel, QStringLiteral("descriptionBox"));
    m_description->setText(QStringLiteral("-"));
    m_quantity = box(panel, QStringLiteral("quantityBox"));
    m_unit = new QComboBox(panel);
    m_unit->setObjectName(QStringLiteral("unitBox"));
    m_unit->setEditable(false);
    m_unit->addItem(QStringLiteral("Adet"));
    m_unitPrice = box(panel, QStringLiteral("unitPriceBox"), Qt::AlignRight);
    m_creditTime = box(panel, QStringLiteral("creditTimeBox"), Qt::AlignHCenter);
    m_creditDate = box(panel, QStringLiteral("creditDateBox"), Qt::AlignHCenter);
    m_total = box(panel, QStringLiteral("totalBox"), Qt::AlignRight);
    m_factor = box(panel, QStringLiteral("factorBox"), Qt::AlignRight);
    m_factor->setText(QStringLiteral("1,18"));
    m_tax = new QCheckBox(QStringLiteral("Var"), panel);
    m_tax->setObjectName(QStringLiteral("taxTick"));
    m_tax->setChecked(true);
    m_creditCancel = makeButton(QStringLiteral("İptal"), QStringLiteral("creditCancelButton"), panel, QSize(110, 32));
    m_creditConfirm
        = makeButton(QStringLiteral("Onayla"), QStringLiteral("creditConfirmButton"), panel, QSize(110, 32));

    auto* fields = new QGridLayout;
    fields->addWidget(label(QStringLiteral("Tarih :"), m_creditDate, panel), 0, 0);
    fields->addWidget(m_creditDate, 0, 1);
    fields->addWidget(label(QStringLiteral("Saat :"), m_creditTime, panel), 0, 2);
    fields->addWidget(m_creditTime, 0, 3);
    fields->addWidget(label(QStringLiteral("Açıklama :"), m_description, panel), 1, 0);
    fields->addWidget(m_description, 1, 1, 1, 5);
    fields->addWidget(label(QStringLiteral("Miktar :"), m_quantity, panel), 2, 0);
    fields->addWidget(m_quantity, 2, 1);
    fields->addWidget(label(QStringLiteral(" Birim :"), m_unit, panel), 2, 2);
    fields->addWidget(m_unit, 2, 3);
    fields->addWidget(label(QStringLiteral(" Birim Fiyatı :"), m_unitPrice, panel), 2, 4);
    fields->addWidget(m_unitPrice, 2, 5);
    auto* factorRow = new QHBoxLayout;
    factorRow->addWidget(m_factor, 1);
    factorRow->addWidget(m_tax);
    fields->addWidget(label(QStringLiteral("KDV :"), m_factor, panel), 3, 0);
    fields->addLayout(factorRow, 3, 1, 1, 3);
    fields->addWidget(label(QStringLiteral("Toplam Fiyat :"), m_total, panel), 3, 4);
    fields->addWidget(m_total, 3, 5);
    for (int column : {1, 3, 5})
        fields->setColumnStretch(column, 1);
    arrangePanel(panel, m_creditHeading, fields, m_creditCancel, m_creditConfirm, QColor(0xC0, 0x39, 0x2B));

    connect(m_quantity, &QLineEdit::textChanged, this, &EntryWindow::recomputeTotal);
    connect(m_unitPrice, &QLineEdit::textChanged, this, &EntryWindow::recomputeTotal);
    connect(m_tax, &QCheckBox::clicked, this, &EntryWindow::taxClicked);
    connect(m_unit, &QComboBox::textActivated, this, [this](const QString& text) { m_unitMirror = text; });
    connect(m_creditCancel, &LumButton::clicked, this, &EntryWindow::reject);
    connect(m_creditConfirm, &LumButton::clicked, this, &EntryWindow::confirmCredit);
    return panel;
}

QFrame* EntryWindow::buildPaymentPanel()
{
    auto* panel = new QFrame(this);
    panel->setObjectName(QStringLiteral("paymentPanel"));
    m_paymentHeading = heading(QStringLiteral("paymentHeading"), panel);
    m_paymentHeading->setText(QStringLiteral("VERESİYE ÖDE"));

    m_amount = box(panel, QStringLiteral("amountBox"), Qt::AlignRight);
    m_paymentTime = box(panel, QStringLiteral("paymentTimeBox"), Qt::AlignHCenter);
    m_paymentDate = box(panel, QStringLiteral("paymentDateBox"), Qt::AlignHCenter);
    m_paymentDescription = box(panel, QStringLiteral("paymentDescriptionBox"));
    m_paymentDescription->setText(QStringLiteral("ÖDEME YAPILDI"));
    m_paymentCancel = makeButton(QStringLiteral("İptal"), QStringLiteral("paymentCancelButton"), panel, QSize(110, 32));
    m_paymentConfirm
        = makeButton(QStringLiteral("Onayla"), QStringLiteral("paymentConfirmButton"), panel, QSize(110, 32));

    auto* fields = new QGridLayout;
    fields->addWidget(label(QStringLiteral("Tarih :"), m_paymentDate, panel), 0, 0);
    fields->addWidget(m_paymentDate, 0, 1);
    fields->addWidget(label(QStringLiteral("Saat :"), m_paymentTime, panel), 0, 2);
    fields->addWidget(m_paymentTime, 0, 3);
    fields->addWidget(label(QStringLiteral("Açıklama :"), m_paymentDescription, panel), 1, 0);
    fields->addWidget(m_paymentDescription, 1, 1, 1, 3);
    fields->addWidget(label(QStringLiteral("Ödenen Miktar :"), m_amount, panel), 2, 0);
    fields->addWidget(m_amount, 2, 1, 1, 3);
    fields->setColumnStretch(1, 1);
    fields->setColumnStretch(3, 1);
    arrangePanel(panel, m_paymentHeading, fields, m_paymentCancel, m_paymentConfirm, QColor(0x1E, 0x84, 0x49));

    connect(m_paymentCancel, &LumButton::clicked, this, &EntryWindow::reject);
    connect(m_paymentConfirm, &LumButton::clicked, this, &EntryWindow::confirmPayment);
    return panel;
}

void EntryWindow::openPanel(Panel panel, const QString& text)
{
    const bool credit = panel == Panel::Credit;
    (credit ? m_creditHeading : m_paymentHeading)->setText(text);
    m_creditPanel->setVisible(credit);
    m_paymentPanel->setVisible(!credit);
    (credit ? static_cast<QWidget*>(m_description) : m_amount)->setFocus();
    adjustSize();
}

void EntryWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        onActivated();
}

void EntryWindow::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The frameless window's 2-pixel border, painted here rather than by a style sheet: a sheet on the
    // window would hand every control in it to the style-sheet style, which costs most of the opening.
    constexpr int border = 2;
    const QColor colour(0x2F, 0x55, 0x97);
    QPainter painter(this);
    const QRect r = rect();
    painter.fillRect(QRect(r.left(), r.top(), r.width(), border), colour);
    painter.fillRect(QRect(r.left(), r.bottom() - border + 1, r.width(), border), colour);
    painter.fillRect(QRect(r.left(), r.top() + border, border, r.height() - 2 * border), colour);
    painter.fillRect(QRect(r.right() - border + 1, r.top() + border, border, r.height() - 2 * border), colour);
}

void EntryWindow::onActivated()
{
    birimgrup();
}

void EntryWindow::birimgrup()
{
    // A unit table that cannot be read leaves the list empty; the user is then asked to pick a unit.
    const QStringList units = AccountStore(m_db).units();
    m_unit->clear();
    m_unit->addItems(units);
    m_unit->setCurrentIndex(m_unit->findText(m_unitMirror));
}

namespace {

// The factor box turns "." into "," when it is left; it is read the same way while it is being typed.
std::optional<numbers::Decimal> readFactor(const QString& text)
{
    QString factor = text;
    factor.replace(QLatin1Char('.'), QLatin1Char(','));
    return numbers::readDecimal(factor);
}

} // namespace

void EntryWindow::recomputeTotal()
{
    const auto price = numbers::readDecimal(m_unitPrice->text());
    const auto quantity = numbers::readDecimal(m_quantity->text());
    const auto factor = readFactor(m_factor->text());
    if (!price || !quantity || !factor)
        return;
    const auto kurus = numbers::productKurus({*price, *quantity, *factor});
    if (!kurus)
        return;
    const QString text = numbers::entry(*kurus);
    if (m_total->text() != text)
        m_total->setText(text);
}

void EntryWindow::taxClicked()
{
    const bool ticked = m_tax->isChecked();
    m_tax->setText(ticked ? QStringLiteral("Var") : QStringLiteral("Yok"));
    m_factor->setText(ticked ? QStringLiteral("1,18") : QStringLiteral("1"));
    m_factor->setReadOnly(!ticked);
    normaliseFactor();
    recomputeTotal();
}

void EntryWindow::normaliseFactor()
{
    QString text = m_factor->text();
    text.replace(QLatin1Char('.'), QLatin1Char(','));
    text = text.toUpper();
    if (text != m_factor->text())
        m_factor->setText(text);
}

bool EntryWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // Popups (the unit list's drop-down) keep their own keys.
        if (widget && widget->window() == this) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Escape) {
                reject();
                return true;
            }
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                focusNextChild();
                return true;
            }
        }
    } else if (event->type() == QEvent::FocusOut) {
        if (watched == m_unitPrice || watched == m_total || watched == m_amount) {
            auto* edit = static_cast<QLineEdit*>(watched);
            const QString text = numbers::reformatEntry(edit->text());
            if (text != edit->text())
                edit->setText(text);
        } else if (watched == m_factor) {
            normaliseFactor();
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool EntryWindow::warn(const QString& text, QWidget* focus)
{
    MessageBox::ok(this, text, kWarningTitle, MessageBox::Icon::Exclamation);
    focus->setFocus();
    return false;
}

void EntryWindow::reportStoreFailure(const QString& what, const QString& error)
{
    // The server went away: nothing of the entry is stored (the movement and the balance are one transaction),
    // everything typed stays, and Onayla stores it once the server is back. Only a COMMIT lost on its way may
    // have arrived: then the user looks before storing it again.
    if (reportLostServer(this, m_db,
                         {QStringLiteral("; kayıt yapılmadı. Bağlantı gelince yeniden deneyin."),
                          QStringLiteral("; kaydın yapılıp yapılmadığı bilinmiyor. Bağlantı gelince hesabı kontrol "
                                         "edin, kayıt yoksa yeniden deneyin.")}))
        return;
    MessageBox::ok(this, error.isEmpty() ? what : what + QStringLiteral("\n\n") + error, QStringLiteral("Kayıt Hatası"),
                   MessageBox::Icon::Stop);
}

void EntryWindow::confirmCredit()
{
    if (m_description->text().isEmpty())
        return void(warn(QStringLiteral("Açıklama Yazın."), m_description));
    if (m_quantity->text().isEmpty())
        return void(warn(QStringLiteral("Miktarı Girin."), m_quantity));
    if (m_unit->currentText().isEmpty())
        return void(warn(QStringLiteral("Birimi Seçin."), m_unit));
    if (m_unitPrice->text().isEmpty())
        return void(warn(QStringLiteral("Birim Fiyatını Yazın"), m_unitPrice));
    // Only a row that makes sense is stored: the amount is computed from the inputs, never a stale total.
    const auto quantity = numbers::readDecimal(m_quantity->text());
    if (!quantity)
        return void(warn(QStringLiteral("Geçerli Bir Miktar Girin."), m_quantity));
    const auto price = numbers::readDecimal(m_unitPrice->text());
    if (!price)
        return void(warn(QStringLiteral("Geçerli Bir Birim Fiyatı Girin."), m_unitPrice));
    normaliseFactor();
    const auto factor = readFactor(m_factor->text());
    // A factor, not a percentage: 1 (no VAT) up to 2 (100 %). "18" typed for 18 % must not multiply by 18.
    if (!factor || factor->toDouble() < 1.0 || factor->toDouble() > 2.0)
        return void(warn(QStringLiteral("Geçerli Bir KDV Oranı Girin."), m_factor));
    const auto date = dates::readDate(m_creditDate->text());
    if (!date)
        return void(warn(QStringLiteral("Geçerli Bir Tarih Girin."), m_creditDate));
    const auto time = dates::readTime(m_creditTime->text());
    if (!time)
        return void(warn(QStringLiteral("Geçerli Bir Saat Girin."), m_creditTime));
    const auto kurus = numbers::productKurus({*price, *quantity, *factor});
    if (!kurus)
        return void(
            warn(QStringLiteral("Toplam Fiyat Çok Büyük. Miktarı ve Birim Fiyatını Kontrol Edin."), m_unitPrice));
    m_totalTimer->stop();
    m_total->setText(numbers::entry(*kurus));

    Movement movement;
    movement.musKodu = m_musKodu;
    movement.tarih = dates::isoDate(*date);
    movement.saat = dates::isoTime(*time);
    movement.aciklama = m_description->text();
    movement.miktar = quantity->toDouble();
    movement.birim = m_unitMirror;
    movement.kdv = factor->toDouble();
    movement.eklenen = *kurus;
    // The limit is checked inside the store's transaction. Over it, nothing is stored and the question is asked
    // with no transaction open; "Evet" stores again, where a limit lowered in the meantime is asked about anew.
    AccountStore::LimitCheck limit;
    QString error;
    while (!AccountStore(m_db).appendMovement(movement, &error, &limit)) {
        if (!limit.exceeded || !askOverLimit(*limit.exceeded)) {
            m_totalTimer->start();
            if (!limit.exceeded)
                reportStoreFailure(QStringLiteral("Veresiye kaydedilemedi; hesaba hiçbir şey eklenmedi."), error);
            return;
        }
        limit.agreed = limit.exceeded;
        limit.exceeded.reset();
    }
    emit entryStored();
    accept();
}

bool EntryWindow::askOverLimit(qint64 limit)
{
    QWidget* focus = focusWidget();
    const bool yes
        = MessageBox::askYesNo(this,
                               QStringLiteral("Bu kayıtla müşterinin bakiyesi kredi limitini (%1 TL) aşıyor. "
                                              "Yine de kaydedilsin mi?")
                                   .arg(numbers::totals(limit)),
                               kWarningTitle, MessageBox::Icon::Question);
    if (!yes && focus)
        focus->setFocus();
    return yes;
}

void EntryWindow::confirmPayment()
{
    if (m_paymentDescription->text().isEmpty())
        return void(warn(QStringLiteral("Açıklama Yazın."), m_paymentDescription));
    if (m_amount->text().isEmpty())
        return void(warn(QStringLiteral("Ödenen Miktarı Girin."), m_amount));
    const auto amount = numbers::readDecimal(m_amount->text());
    if (!amount)
        return void(warn(QStringLiteral("Geçerli Bir Ödeme Miktarı Girin."), m_amount));
    const auto kurus = numbers::productKurus({*amount});
    if (!kurus)
        return void(warn(QStringLiteral("Ödenen Miktar Çok Büyük."), m_amount));
    const auto date = dates::readDate(m_paymentDate->text());
    if (!date)
        return void(warn(QStringLiteral("Geçerli Bir Tarih Girin."), m_paymentDate));
    const auto time = dates::readTime(m_paymentTime->text());
    if (!time)
        return void(warn(QStringLiteral("Geçerli Bir Saat Girin."), m_paymentTime));

    Movement movement;
    movement.musKodu = m_musKodu;
    movement.tarih = dates::isoDate(*date);
    movement.saat = dates::isoTime(*time);
    movement.aciklama = m_paymentDescription->text();
    movement.odenen = *kurus;
    QString error;
    if (!AccountStore(m_db).appendMovement(movement, &error))
        return reportStoreFailure(QStringLiteral("Ödeme kaydedilemedi; hesaba hiçbir şey eklenmedi."), error);
    emit entryStored();
    accept();
}

} // namespace zelvora
