// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/collectionstore.h"
#include "data/daysummarystore.h"
#include "data/statementstore.h"
#include "reports/bandedreport.h"

#include <QDate>
#include <QString>

class QWidget;

namespace zelvora {

class Database;

namespace toolreports {

// The account statement with its running balance, and the to-collect list; A4 portrait.
const ReportLayout& hesapEkstresi();
const ReportLayout& tahsilatListesi();
const ReportLayout& gunSonu();

} // namespace toolreports

// "Hesap Ekstresi": one customer's account over a range of days, with the balance carried in, every movement of
// the range with the balance after it, and the closing balance. Every page prints the customer and the range.
class StatementReport final
{
public:
    StatementReport();
    Q_DISABLE_COPY_MOVE(StatementReport)

    // Reads the statement and fills the report. False with the reason when the reads fail.
    bool prepare(const Database& db, const QString& musKodu, const QString& name, const QDate& first, const QDate& last,
                 QString* error = nullptr);

    BandedReport& report() { return m_report; }
    const AccountStatement& statement() const { return m_statement; }
    // Names the PDF file proposed: the customer and the range.
    QString documentName() const { return m_documentName; }

    // The modal preview, with printing and "PDF Olarak Kaydet"; returns when it closes.
    void preview(QWidget* parent);

private:
    BandedReport m_report;
    AccountStatement m_statement;
    QString m_documentName;
};

// "Tahsilat Listesi": the customers who owe money, longest waiting first.
class CollectionReport final
{
public:
    CollectionReport();
    Q_DISABLE_COPY_MOVE(CollectionReport)

    // Fills the report with the rows of the list as the window shows it, read in order; false and the engine's
    // text when they cannot be read.
    bool prepare(const CollectionStore& store, const CollectionStore::Filter& filter, QString* error = nullptr);

    BandedReport& report() { return m_report; }
    QString documentName() const { return m_documentName; }
    void preview(QWidget* parent);

private:
    BandedReport m_report;
    QString m_documentName;
};

// "Gün Sonu": the shop, the day, the users' credits and payments with the total, and the customers over their
// credit limit after the day.
class DaySummaryReport final
{
public:
    DaySummaryReport();
    Q_DISABLE_COPY_MOVE(DaySummaryReport)

    // Fills the report with the summary as the window shows it. shopName may be empty.
    void prepare(const DaySummary& summary, const QString& shopName);

    BandedReport& report() { return m_report; }
    QString documentName() const { return m_documentName; }
    void preview(QWidget* parent);

    // A user as listed; the movements stored without one under "(kayıtsız)".
    static QString userCaption(const QString& kullanici);
    static QString totalCaption() { return QStringLiteral("Toplam"); }
    // By how much the balance is over the limit.
    static QString excessText(const OverLimitCustomer& customer);

private:
    BandedReport m_report;
    QString m_documentName;
};

} // namespace zelvora
