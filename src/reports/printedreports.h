// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "reports/bandedreport.h"

#include <QDate>
#include <QString>

class QWidget;

namespace zelvora {

class Database;

// The printed customer list "musterilistesi". The main window keeps one and fills it anew for each print.
class CustomerListReport final
{
public:
    CustomerListReport();
    Q_DISABLE_COPY_MOVE(CustomerListReport)

    // Every customer in name order under the title of the day. The three sums are copied as the totals
    // panel shows them; the count printed is the number of customers the list prints.
    bool prepare(const Database& db, const QDate& today, const QString& debtTotal, const QString& creditTotal,
                 const QString& balanceTotal, QString* error = nullptr);

    BandedReport& report() { return m_report; }
    QString title() const { return m_report.label(QStringLiteral("title")); }

    // The modal preview; returns when it closes.
    void preview(QWidget* parent);

private:
    BandedReport m_report;
};

// The printed account statement "carirapor" of one customer. One object serves the whole run.
class AccountStatementReport final
{
public:
    AccountStatementReport();
    Q_DISABLE_COPY_MOVE(AccountStatementReport)

    static AccountStatementReport& instance();

    // The customer's movements by date and time; the title is the account window's caption and the totals
    // are copied as its boxes show them. Every page prints today's date.
    bool prepare(const Database& db, const QString& musKodu, const QString& caption, const QString& totalAdded,
                 const QString& totalPaid, const QString& balance, QString* error = nullptr);

    BandedReport& report() { return m_report; }
    QString title() const { return m_report.label(QStringLiteral("title")); }

    void preview(QWidget* parent);

private:
    BandedReport m_report;
};

// "Listeyi Yazdır" of the account window: the statement of the customer shown, in the modal preview.
void printAccountStatement(QWidget* parent, const Database& db, const QString& musKodu, const QString& caption,
                           const QString& totalAdded, const QString& totalPaid, const QString& balance);

} // namespace zelvora
