// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/activationwatch.h"

#include "data/accountstore.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QTableView;
class QTimer;

namespace zelvora {

class ChangeWatch;
class CustomerDetailsPanel;
class Database;
class DeleteCustomerPanel;
class LumButton;
class MovementListModel;
class ProgressPanel;

// The customer account window "veresiye2": the customer's details, movements and totals, with the
// commands that record, delete and clear movements, the details panel and the delete panel.
class AccountWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit AccountWindow(Database& db, QWidget* parent = nullptr);
    ~AccountWindow() override;
    Q_DISABLE_COPY_MOVE(AccountWindow)

    // Set by the opener before the window is shown; every query selects by it.
    void setCustomerNumber(const QString& musKodu) { m_musKodu = musKodu; }
    QString customerNumber() const { return m_musKodu; }
    // Delete mode: the delete panel shows and every other command stays disabled.
    void enterDeleteMode();

    // Becoming the active window: reload, totals, button states and the day count.
    void onActivated();

    void ara();
    void topla1();
    void topla2();
    void topla3();
    void updateButtonStates();
    void ResetAll();
    void menukitle2();
    void menukilitac2();
    // Stores the customer row with the selected movement's day count and closes.
    bool geri();

    // The customer's row as the window holds it (its row buffer).
    const CustomerRecord& customerRow() const { return m_customer; }
    MovementListModel* model() const { return m_model; }

public slots:
    // The entry window stored a movement: the account is read again once, the progress panel blinks.
    void onEntryStored();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;

private:
    void buildUi();
    void placeOverlays();

    void startEntry(bool credit);
    void deleteSelectedRow();
    void resetAccount();
    void startCalculator();
    void deleteCustomer();
    void openDetails();
    void saveDetails();
    void cancelDetails();
    void cancelDelete();
    void onReloadTick();
    void lockForDeleteMode();

    // What other tills changed in this account (server ledger): read again once per burst, never under an open
    // entry window, details panel or delete panel.
    void noteOtherTillChange(const QString& table, const QString& musKodu);
    void applyOtherTillChanges();

    // False when the account could not be read; the rows shown then stay.
    bool rereadMovements();
    // Selects the movement with that id, else the first row; nearRow is where it stood before a reread.
    void selectMovement(qint64 id, int nearRow);
    void loadCustomer();
    void showCustomer();
    void takeDetailsIntoRow();
    // Writes the row when it changed. A failure is reported once for the same content unless forced.
    bool storeCustomerRow(bool force = false);
    void writeDayCount();
    std::optional<Movement> currentMovement() const;
    void reportFailure(const QString& what, const QString& error);

    Database& m_db;
    AccountStore m_store;
    MovementListModel* m_model = nullptr;
    QString m_musKodu;
    CustomerRecord m_customer;
    CustomerRecord m_storedCustomer;
    std::optional<CustomerRecord> m_failedCustomer;
    bool m_customerLoaded = false;
    bool m_deleteMode = false;
    // An entry was stored and the account has not been read since.
    bool m_reloadPending = false;
    // The same, for the movements: the next reread adds what was appended instead of reading everything.
    bool m_entryAppended = false;
    ActivationWatch m_activation;
    bool m_reporting = false;
    QString m_dateText;
    // The sums of the last reread of the movements; nothing when it failed.
    std::optional<AccountStore::Sums> m_sums;
    // The balance the totals compute goes into the row buffer and is written by m_rowStoreTimer, not at once.
    bool m_deferRowStore = false;

    QLineEdit* m_stripBoxes[6] = {};
    LumButton* m_resetButton = nullptr;
    LumButton* m_printButton = nullptr;
    LumButton* m_calculatorButton = nullptr;
    LumButton* m_detailsButton = nullptr;
    QGroupBox* m_movementsFrame = nullptr;
    QTableView* m_grid = nullptr;
    QLineEdit* m_totalAdded = nullptr;
    QLineEdit* m_totalPaid = nullptr;
    QLineEdit* m_balance = nullptr;
    LumButton* m_backButton = nullptr;
    LumButton* m_deleteRowButton = nullptr;
    LumButton* m_creditButton = nullptr;
    LumButton* m_paymentButton = nullptr;

    ProgressPanel* m_progressPanel = nullptr;
    CustomerDetailsPanel* m_detailsPanel = nullptr;
    DeleteCustomerPanel* m_deletePanel = nullptr;

    QTimer* m_reloadTimer = nullptr;
    QTimer* m_stopTimer = nullptr;
    QTimer* m_deleteModeTimer = nullptr;
    QTimer* m_rowStoreTimer = nullptr;
    ChangeWatch* m_changes = nullptr;
    QTimer* m_changeTimer = nullptr;
};

} // namespace zelvora
