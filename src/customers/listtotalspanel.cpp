// SPDX-License-Identifier: GPL-3.0-or-later
#include "customers/listtotalspanel.h"

#include "app/messagebox.h"
#include "customers/listtotalsstore.h"
#include "data/numberformat.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace zelvora {

namespace {

QLineEdit* figureBox(const QString& name, const QColor& text, const QColor& base, QWidget* parent)
{
    auto* box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(name);
    box->setReadOnly(true);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setMinimumWidth(150);
    QFont font = box->font();
    font.setBold(true);
    box->setFont(font);
    QPalette palette = box->palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::Base, base);
    }
    box->setPalette(palette);
    return box;
}

void showFigure(QLineEdit* box, const QString& text)
{
    box->setText(text);
    box->setCursorPosition(int(text.size()));
}

} // namespace

ListTotalsPanel::ListTotalsPanel(const Database& db, QWidget* parent)
    : QGroupBox(QStringLiteral("Liste Toplamı"), parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("listTotalsPanel"));
    // A floating panel: its own background, a frame and a heading band, so it reads apart from the list.
    setStyleSheet(QStringLiteral(
        "QGroupBox#listTotalsPanel { background-color: #EEF2F8; border: 1px solid #5B7299; border-radius: 3px;"
        " margin-top: 0px; padding-top: 30px; font-weight: bold; }"
        "QGroupBox#listTotalsPanel::title { subcontrol-origin: border; subcontrol-position: top left; left: 1px;"
        " top: 1px; padding: 5px 10px; color: white; background-color: #3B5E91; }"));
    setAutoFillBackground(true);

    const QColor white(Qt::white);
    m_debtorsBox = figureBox(QStringLiteral("debtorsBox"), QColor(0xC0, 0x00, 0x00), white, this);
    m_creditorsBox = figureBox(QStringLiteral("creditorsBox"), QColor(0x00, 0x00, 0xC0), white, this);
    m_balanceBox = figureBox(QStringLiteral("balanceBox"), QColor(Qt::black), white, this);
    m_countBox = figureBox(QStringLiteral("countBox"), QColor(0x40, 0x40, 0x40), QColor(0xFF, 0xFF, 0xC0), this);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(8);
    const std::pair<QString, QLineEdit*> rows[] = {
        {QStringLiteral("Listedeki Toplam Borçlu :"), m_debtorsBox},
        {QStringLiteral("Listedeki Toplam Alacaklı :"), m_creditorsBox},
        {QStringLiteral("Listedeki Toplam Bakiye :"), m_balanceBox},
        {QStringLiteral("Listedeki Toplam Müşteri :"), m_countBox},
    };
    int row = 0;
    for (const auto& [caption, box] : rows) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(box);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }

    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("listTotalsCloseButton"), this);
    m_closeButton->setMinimumSize(100, 30);
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch(1);
    buttonRow->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 20, 16, 12);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(buttonRow);

    connect(m_closeButton, &LumButton::clicked, this, &ListTotalsPanel::closeRequested);

    hide();
    if (parent)
        parent->installEventFilter(this);
}

ListTotalsPanel::~ListTotalsPanel() = default;

void ListTotalsPanel::compute(int listCount)
{
    fill(listCount);
    if (listCount == 0)
        MessageBox::ok(this, QStringLiteral("Kayıt Bulunamadı..."), QStringLiteral("Bilgi"),
                       MessageBox::Icon::Information);
}

void ListTotalsPanel::refresh(int listCount)
{
    fill(listCount);
}

void ListTotalsPanel::fill(int listCount)
{
    QString error;
    if (const std::optional<ListTotals> totals = ListTotalsStore(m_db).sums(&error)) {
        showFigure(m_debtorsBox, numbers::totals(totals->debtors));
        showFigure(m_creditorsBox, numbers::totals(totals->creditors));
        showFigure(m_balanceBox, numbers::totals(totals->balance()));
    } else {
        // No figure rather than a wrong one.
        for (QLineEdit* box : {m_debtorsBox, m_creditorsBox, m_balanceBox})
            box->clear();
        MessageBox::ok(this, QStringLiteral("Liste Toplamı Hesaplanamadı.\n\n") + error, QStringLiteral("Hata"),
                       MessageBox::Icon::Stop);
    }

    showFigure(m_countBox, QString::number(listCount));
}

QString ListTotalsPanel::debtorsText() const
{
    return m_debtorsBox->text();
}

QString ListTotalsPanel::creditorsText() const
{
    return m_creditorsBox->text();
}

QString ListTotalsPanel::balanceText() const
{
    return m_balanceBox->text();
}

QString ListTotalsPanel::countText() const
{
    return m_countBox->text();
}

QWidget* ListTotalsPanel::firstControl() const
{
    return m_closeButton;
}

bool ListTotalsPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        centreOverParent();
    return QGroupBox::eventFilter(watched, event);
}

void ListTotalsPanel::showEvent(QShowEvent* event)
{
    QGroupBox::showEvent(event);
    centreOverParent();
    raise();
}

void ListTotalsPanel::centreOverParent()
{
    const QWidget* parent = parentWidget();
    if (!parent)
        return;
    const QSize size = sizeHint().expandedTo(minimumSizeHint());
    resize(size);
    move((parent->width() - size.width()) / 2, (parent->height() - size.height()) / 2);
}

} // namespace zelvora
