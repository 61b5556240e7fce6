// SPDX-License-Identifier: GPL-3.0-or-later
#include "rates/rateswindow.h"

#include "app/messagebox.h"
#include "data/appconfig.h"
#include "data/clock.h"
#include "data/dateformat.h"
#include "rates/ratepage.h"
#include "update/httptransfer.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

QLabel* heading(const QString& text, const char* name, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

QLineEdit* rateBox(const QString& name, const QString& accessible, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setAccessibleName(accessible);
    box->setReadOnly(true);
    box->setMinimumWidth(110);
    return box;
}

} // namespace

RatesWindow::RatesWindow(QWidget* parent)
    : QDialog(parent)
    , m_transfer(new HttpTransfer(this))
{
    setObjectName(QStringLiteral("KURLAR"));
    setWindowTitle(QStringLiteral("Güncel Döviz Kurları"));
    buildUi();
    applyButtonLook(this, ButtonLook::Glass);
    connect(m_transfer, &HttpTransfer::pageOpened, this, &RatesWindow::onPage);
    connect(m_transfer, &HttpTransfer::openFailed, this, &RatesWindow::onFailure);
}

RatesWindow::~RatesWindow() = default;

void RatesWindow::buildUi()
{
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->addWidget(heading(QStringLiteral("DOVİZ CİNSİ"), "currencyHeading", this), 0, 0);
    grid->addWidget(heading(QStringLiteral("DOVİZ ALIŞ"), "buyingHeading", this), 0, 1);
    grid->addWidget(heading(QStringLiteral("DOVİZ SATIŞ"), "sellingHeading", this), 0, 2);
    const QList<Currency>& currencies = RatePage::currencies();
    for (int row = 0; row < currencies.size(); ++row) {
        const QString& label = currencies.at(row).label;
        auto* name = new QLabel(label, this);
        name->setObjectName(QStringLiteral("currencyLabel%1").arg(row + 1));
        QLineEdit* buying
            = rateBox(QStringLiteral("buyingBox%1").arg(row + 1), label + QStringLiteral(" DOVİZ ALIŞ"), this);
        QLineEdit* selling
            = rateBox(QStringLiteral("sellingBox%1").arg(row + 1), label + QStringLiteral(" DOVİZ SATIŞ"), this);
        name->setBuddy(buying);
        grid->addWidget(name, row + 1, 0);
        grid->addWidget(buying, row + 1, 1);
        grid->addWidget(selling, row + 1, 2);
        m_buying.append(buying);
        m_selling.append(selling);
    }

    m_refreshButton = makeButton(QStringLiteral(" Kurları Güncelle"), QStringLiteral("refreshButton"), this);
    m_refreshButton->setMinimumWidth(130);
    m_closeButton = makeButton(QStringLiteral("Kapat"), QStringLiteral("closeButton"), this);
    m_closeButton->setMinimumWidth(90);
    connect(m_refreshButton, &LumButton::clicked, this, &RatesWindow::fetch);
    connect(m_closeButton, &LumButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_refreshButton);
    buttons->addWidget(m_closeButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void RatesWindow::fetch()
{
    if (isFetching())
        return;
    // A second press while the page is on its way would only start the same fetch again.
    m_refreshButton->setEnabled(false);
    m_transfer->OpenURL(HttpTransfer::addressOn(AppConfig::bankHost(), RatePage::PathAndQuery));
}

bool RatesWindow::isFetching() const
{
    return m_transfer->isOpening();
}

void RatesWindow::showPage(const QString& page)
{
    setWindowTitle(dates::shortDate(Clock::today()) + QStringLiteral(" TARİHLİ T.C.M.B. DOVİZ KURLARI"));
    const QList<Rate> rates = RatePage::cutAll(page);
    for (int row = 0; row < rates.size(); ++row) {
        m_buying.at(row)->setText(rates.at(row).buying);
        m_selling.at(row)->setText(rates.at(row).selling);
        // The start of a rate, not the end of its trailing blanks, is what matters.
        m_buying.at(row)->setCursorPosition(0);
        m_selling.at(row)->setCursorPosition(0);
    }
}

void RatesWindow::onPage(const QString& page)
{
    showPage(page);
    m_refreshButton->setEnabled(true);
    emit fetched();
}

void RatesWindow::onFailure()
{
    m_refreshButton->setEnabled(true);
    QWidget* owner = isVisible() ? this : parentWidget();
    QPointer<RatesWindow> self(this);
    MessageBox::ok(owner, QStringLiteral("INTERNETE BAGLI DEGILSINIZ"), {}, MessageBox::Icon::Stop);
    if (!self)
        return;
    emit fetchFailed();
    close();
}

RatesWindow* openRatesWindow(QWidget* mainWindow)
{
    // A window still fetching or shown is the one the user asked for; a closed one is on its way out.
    static QPointer<RatesWindow> pending;
    if (pending && (pending->isVisible() || pending->isFetching()))
        return nullptr;
    auto* window = new RatesWindow(mainWindow);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowModality(Qt::ApplicationModal);
    pending = window;
    // The first fetch decides whether the window opens at all.
    auto shown = std::make_shared<QMetaObject::Connection>();
    *shown = QObject::connect(window, &RatesWindow::fetched, window, [window, shown] {
        QObject::disconnect(*shown);
        window->show();
    });
    QObject::connect(window, &RatesWindow::fetchFailed, window, [window] {
        if (!window->isVisible())
            window->deleteLater();
    });
    window->fetch();
    return window;
}

} // namespace zelvora
