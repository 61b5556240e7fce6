// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QTimer;

namespace zelvora {

class Database;
class LumButton;

// The window "musteriekle": adds one customer under the next number of the counter.
class NewCustomerWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit NewCustomerWindow(Database& db, QWidget* parent = nullptr);
    ~NewCustomerWindow() override;
    Q_DISABLE_COPY_MOVE(NewCustomerWindow)

    // Writes the proposed customer number (the counter plus 1) into the number box.
    void topla();
    // "Kaydet": checks the two required fields, stores the customer and the counter, and closes.
    void KaydetForm();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();

    Database& m_db;
    QComboBox* m_typeBox = nullptr;
    QLineEdit* m_nameBox = nullptr;
    QLineEdit* m_phoneBox = nullptr;
    QLineEdit* m_gsmBox = nullptr;
    QLineEdit* m_cityBox = nullptr;
    QLineEdit* m_taxOfficeBox = nullptr;
    QLineEdit* m_taxNumberBox = nullptr;
    QPlainTextEdit* m_addressBox = nullptr;
    QLineEdit* m_numberBox = nullptr;
    LumButton* m_saveButton = nullptr;
    LumButton* m_cancelButton = nullptr;
    QTimer* m_proposalTimer = nullptr;
};

} // namespace zelvora
