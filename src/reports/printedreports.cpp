// SPDX-License-Identifier: GPL-3.0-or-later
#include "reports/printedreports.h"

#include "app/messagebox.h"
#include "data/clock.h"
#include "data/dateformat.h"
#include "reports/reportdata.h"
#include "reports/reportpreview.h"

namespace zelvora {

namespace {

void reportFailure(QWidget* parent, const QString& error)
{
    MessageBox::ok(parent, QStringLiteral("Rapor hazırlanamadı.\n\n") + error, QStringLiteral("Hata"),
                   MessageBox::Icon::Stop);
}

} // namespace

CustomerListReport::CustomerListReport()
    : m_report(reportlayouts::musterilistesi())
{
}

bool CustomerListReport::prepare(const Database& db, const QDate& today, const QString& debtTotal,
                                 const QString& creditTotal, const QString& balanceTotal, QString* error)
{
    m_report.reset();
    std::optional<ReportRows> rows = reportdata::customerList(db, error);
    if (!rows)
        return false;
    m_report.setLabel(QStringLiteral("title"), dates::shortDate(today) + QStringLiteral(" - TARİHLİ MÜŞTERİ LİSTESİ"));
    m_report.setLabel(QStringLiteral("customerCount"), QString::number(rows->rows.size()));
    m_report.setLabel(QStringLiteral("debtTotal"), debtTotal);
    m_report.setLabel(QStringLiteral("creditTotal"), creditTotal);
    m_report.setLabel(QStringLiteral("balanceTotal"), balanceTotal);
    m_report.setData(rows->columns, std::move(rows->rows));
    return true;
}

void CustomerListReport::preview(QWidget* parent)
{
    ReportPreview::exec(parent, m_report, title());
}

AccountStatementReport::AccountStatementReport()
    : m_report(reportlayouts::carirapor())
{
    m_report.setPageFooterFormat([](BandedReport& report, int) {
        report.setLabel(QStringLiteral("printDate"), dates::shortDate(Clock::today()));
    });
}

AccountStatementReport& AccountStatementReport::instance()
{
    static AccountStatementReport report;
    return report;
}

bool AccountStatementReport::prepare(const Database& db, const QString& musKodu, const QString& caption,
                                     const QString& totalAdded, const QString& totalPaid, const QString& balance,
                                     QString* error)
{
    m_report.reset();
    std::optional<ReportRows> rows = reportdata::statement(db, musKodu, error);
    if (!rows)
        return false;
    m_report.setLabel(QStringLiteral("title"), caption + QStringLiteral(" - CARİ RAPORU"));
    m_report.setLabel(QStringLiteral("totalAdded"), totalAdded);
    m_report.setLabel(QStringLiteral("totalPaid"), totalPaid);
    m_report.setLabel(QStringLiteral("balance"), balance);
    m_report.setData(rows->columns, std::move(rows->rows));
    return true;
}

void AccountStatementReport::preview(QWidget* parent)
{
    ReportPreview::exec(parent, m_report, title());
}

void printAccountStatement(QWidget* parent, const Database& db, const QString& musKodu, const QString& caption,
                           const QString& totalAdded, const QString& totalPaid, const QString& balance)
{
    AccountStatementReport& statement = AccountStatementReport::instance();
    QString error;
    if (!statement.prepare(db, musKodu, caption, totalAdded, totalPaid, balance, &error)) {
        reportFailure(parent, error);
        return;
    }
    statement.preview(parent);
}

} // namespace zelvora
