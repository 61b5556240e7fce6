// SPDX-License-Identifier: GPL-3.0-or-later
#include "tools/statementwindow.h"

#include "app/messagebox.h"
#include "data/accountstore.h"
#include "data/clock.h"
#include "data/database.h"
#include "reports/reportpreview.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kTitle = QStringLiteral("Hesap Ekstresi");

// A date box that Tab leaves at once: the day, month and year are typed in a row, each full one moves on.
class DateBox final : public QDateEdit
{
public:
    using QDateEdit::QDateEdit;

protected:
    bool focusNextPrevChild(bool next) override { return QWidget::focusNextPrevChild(next); }
};

QDateEdit* dateBox(const QString& objectName, const QDate& date, QWidget* parent)
{
    auto* box = new DateBox(date, parent);
    box->setObjectName(objectName);
    box->setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    box->setCalendarPopup(true);
    box->setMinimumWidth(130);
    return box;
}

} // namespace

StatementWindow::StatementWindow(Database& db, const QString& proposedCustomer, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("hesapEkstresi"));
    setWindowTitle(kTitle);
    buildUi();
    m_numberBox->setText(proposedCustomer.trimmed());
    showCustomerName();
    m_numberBox->selectAll();
    m_numberBox->setFocus(Qt::OtherFocusReason);
}

StatementWindow::~StatementWindow() = default;

void StatementWindow::buildUi()
{
    auto* numberLabel = new QLabel(QStringLiteral("Müşteri No :"), this);
    m_numberBox = new QLineEdit(this);
    m_numberBox->setObjectName(QStringLiteral("customerNumberBox"));
    m_numberBox->setMaxLength(20);
    // Customer numbers are digits; blanks around a pasted number are dropped when it is read.
    m_numberBox->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\s*\\d*\\s*")), m_numberBox));
    numberLabel->setBuddy(m_numberBox);
    m_nameLabel = new QLabel(this);
    m_nameLabel->setObjectName(QStringLiteral("customerNameLabel"));
    m_nameLabel->setMinimumWidth(260);
    QFont bold = m_nameLabel->font();
    bold.setBold(true);
    m_nameLabel->setFont(bold);

    const QDate today = Clock::today();
    auto* firstLabel = new QLabel(QStringLiteral("Başlangıç Tarihi :"), this);
    m_firstDay = dateBox(QStringLiteral("firstDayBox"), QDate(today.year(), today.month(), 1), this);
    firstLabel->setBuddy(m_firstDay);
    auto* lastLabel = new QLabel(QStringLiteral("Bitiş Tarihi :"), this);
    m_lastDay = dateBox(QStringLiteral("lastDayBox"), today, this);
    lastLabel->setBuddy(m_lastDay);

    auto* grid = new QGridLayout;
    grid->addWidget(numberLabel, 0, 0);
    grid->addWidget(m_numberBox, 0, 1);
    grid->addWidget(m_nameLabel, 0, 2, 1, 2);
    grid->addWidget(firstLabel, 1, 0);
    grid->addWidget(m_firstDay, 1, 1);
    grid->addWidget(lastLabel, 1, 2, Qt::AlignRight);
    grid->addWidget(m_lastDay, 1, 3);
    grid->setColumnStretch(2, 1);

    m_showButton = makeButton(QStringLiteral("Ekstreyi Göster"), QStringLiteral("printButton"), this, {0, 34});
    m_pdfButton = makeButton(QStringLiteral("PDF Olarak Kaydet"), QStringLiteral("saveButton"), this, {0, 34});
    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), this, {0, 34});
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);
    buttons->addWidget(m_pdfButton);
    buttons->addWidget(m_showButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    applyButtonLook(this, ButtonLook::Glass);

    setTabOrder(m_numberBox, m_firstDay);
    setTabOrder(m_firstDay, m_lastDay);
    setTabOrder(m_lastDay, m_showButton);
    setTabOrder(m_showButton, m_pdfButton);
    setTabOrder(m_pdfButton, m_closeButton);

    connect(m_numberBox, &QLineEdit::textChanged, this, &StatementWindow::showCustomerName);
    connect(m_showButton, &LumButton::clicked, this, &StatementWindow::showStatement);
    connect(m_pdfButton, &LumButton::clicked, this, &StatementWindow::saveStatementPdf);
    connect(m_closeButton, &LumButton::clicked, this, &QDialog::reject);
}

void StatementWindow::showCustomerName()
{
    const QString number = m_numberBox->text().trimmed();
    if (number.isEmpty()) {
        m_nameLabel->clear();
        return;
    }
    const std::optional<CustomerRecord> customer = AccountStore(m_db).customer(number);
    m_nameLabel->setText(customer ? customer->musteriFirma : QStringLiteral("(böyle bir müşteri yok)"));
}

bool StatementWindow::prepare()
{
    const QString number = m_numberBox->text().trimmed();
    if (number.isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Lütfen müşteri numarasını yazınız."), kTitle,
                       MessageBox::Icon::Exclamation);
        m_numberBox->setFocus(Qt::OtherFocusReason);
        return false;
    }
    QString error;
    const std::optional<CustomerRecord> customer = AccountStore(m_db).customer(number, &error);
    if (!customer) {
        MessageBox::ok(this,
                       error.isEmpty() ? number + QStringLiteral(" numaralı bir müşteri bulunamadı.")
                                       : QStringLiteral("Müşteri okunamadı.\n\n") + error,
                       kTitle, error.isEmpty() ? MessageBox::Icon::Exclamation : MessageBox::Icon::Stop);
        m_numberBox->selectAll();
        m_numberBox->setFocus(Qt::OtherFocusReason);
        return false;
    }
    const QDate first = m_firstDay->date();
    const QDate last = m_lastDay->date();
    if (first > last) {
        MessageBox::ok(this, QStringLiteral("Başlangıç tarihi bitiş tarihinden sonra olamaz."), kTitle,
                       MessageBox::Icon::Exclamation);
        m_firstDay->setFocus(Qt::OtherFocusReason);
        return false;
    }
    if (!m_report.prepare(m_db, customer->musKodu, customer->musteriFirma, first, last, &error)) {
        MessageBox::ok(this, QStringLiteral("Rapor hazırlanamadı.\n\n") + error, QStringLiteral("Hata"),
                       MessageBox::Icon::Stop);
        return false;
    }
    return true;
}

bool StatementWindow::showStatement()
{
    if (!prepare())
        return false;
    m_report.preview(this);
    return true;
}

bool StatementWindow::saveStatementPdf()
{
    return prepare() && ReportPreview::saveAsPdf(this, m_report.report(), m_report.documentName());
}

void StatementWindow::keyPressEvent(QKeyEvent* event)
{
    // Enter anywhere but on a button shows the statement; a button takes its own Enter.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::ShiftModifier))) {
        showStatement();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace zelvora
