// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/daysummarystore.h"
#include "tools/toolreports.h"

#include <QDialog>

class QDateEdit;
class QLabel;
class QTableView;

namespace zelvora {

class Database;
class DayUsersModel;
class LumButton;
class OverLimitModel;

// "Gün Sonu": for a chosen day (today at first), the credits and payments per user and in total, the number of
// movements, and the customers the day took over their credit limit. Prints and writes PDF. Changing the day
// reads it again.
class DaySummaryWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit DaySummaryWindow(Database& db, QWidget* parent = nullptr);
    ~DaySummaryWindow() override;
    Q_DISABLE_COPY_MOVE(DaySummaryWindow)

    // Reads the chosen day again.
    void reload();
    const DaySummary& summary() const { return m_summary; }

    DaySummaryReport& report() { return m_report; }

private:
    void buildUi();
    void print();
    void savePdf();

    Database& m_db;
    DaySummary m_summary;
    DayUsersModel* m_usersModel = nullptr;
    OverLimitModel* m_overModel = nullptr;
    QDateEdit* m_dayBox = nullptr;
    QLabel* m_countLabel = nullptr;
    QLabel* m_overLabel = nullptr;
    QTableView* m_usersGrid = nullptr;
    QTableView* m_overGrid = nullptr;
    LumButton* m_printButton = nullptr;
    LumButton* m_pdfButton = nullptr;
    LumButton* m_closeButton = nullptr;
    DaySummaryReport m_report;
};

} // namespace zelvora
