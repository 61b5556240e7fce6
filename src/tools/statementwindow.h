// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tools/toolreports.h"

#include <QDialog>
#include <optional>

class QDateEdit;
class QLabel;
class QLineEdit;

namespace zelvora {

class Database;
class LumButton;

// "Hesap Ekstresi": picks a customer by number and a range of days, and prints the customer's statement with
// the running balance (preview with printing, or straight to a PDF file). Enter shows the statement, Esc
// closes the window.
class StatementWindow final : public QDialog
{
    Q_OBJECT

public:
    // proposedCustomer: the number typed in at the start (the customer selected in the list), may be empty.
    explicit StatementWindow(Database& db, const QString& proposedCustomer, QWidget* parent = nullptr);
    ~StatementWindow() override;
    Q_DISABLE_COPY_MOVE(StatementWindow)

    // "Ekstreyi Göster": fills the report and opens its preview. False, with a message, when the inputs are
    // wrong or the reads fail; nothing is shown then.
    bool showStatement();
    // "PDF Olarak Kaydet": fills the report and asks where to write it.
    bool saveStatementPdf();

    StatementReport& report() { return m_report; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildUi();
    void showCustomerName();
    // Checks the inputs and fills the report; false with a message shown.
    bool prepare();

    Database& m_db;
    QLineEdit* m_numberBox = nullptr;
    QLabel* m_nameLabel = nullptr;
    QDateEdit* m_firstDay = nullptr;
    QDateEdit* m_lastDay = nullptr;
    LumButton* m_showButton = nullptr;
    LumButton* m_pdfButton = nullptr;
    LumButton* m_closeButton = nullptr;
    StatementReport m_report;
};

} // namespace zelvora
