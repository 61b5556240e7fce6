#pragma once

#include "app/activationwatch.h"

#include "account/accountstore.h"

#include <QDialog>

class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QTableView;
class QTimer;

namespace zelvora {

class Database;
class LumButton;
class MovementListModel;

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
    // The entry window stored a movement: reload for a while and blink the progress panel.
    void onEntryStored();

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void done(int result) override;

private:
    void buildUi();
    QWidget* buildDetailsPanel();
    QWidget* buildDeletePanel();
    void placeOverlays();

    void startEntry(bool credit);
    void deleteSelectedRow();
    void resetAccount();
    void startCalculator();
    void deleteCustomer();
    void editDetails();
    void saveDetails();
    void cancelDetails();
    void cancelDelete();
    void onReloadTick();
    void onBlinkTick();
    void onPanelTick();
    void lockForDeleteMode();

    void rereadMovements();
    void loadCustomer();
    void showCustomer();
    void takeDetailsIntoRow();
    // Writes the row when it changed. A failure is reported once for the same content unless forced.
    bool storeCustomerRow(bool force = false);
    void setDetailsEditable(bool editable);
    void writeDayCount();
    const Movement* currentMovement() const;
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
    ActivationWatch m_activation;
    bool m_reporting = false;
    bool m_blinkSwapped = false;
    QString m_dateText;
    // The sums as last read; they can change only when the movements are read again.
    std::optional<AccountStore::Sums> m_sums;

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

    QLabel* m_progressPanel = nullptr;
    QGroupBox* m_detailsPanel = nullptr;
    QLineEdit* m_detailCode = nullptr;
    QComboBox* m_detailType = nullptr;
    QLineEdit* m_detailName = nullptr;
    QLineEdit* m_detailPhone = nullptr;
    QLineEdit* m_detailGsm = nullptr;
    QLineEdit* m_detailCity = nullptr;
    QLineEdit* m_detailTaxOffice = nullptr;
    QLineEdit* m_detailTaxNumber = nullptr;
    QPlainTextEdit* m_detailAddress = nullptr;
    LumButton* m_editButton = nullptr;
    LumButton* m_saveButton = nullptr;
    LumButton* m_detailsCancelButton = nullptr;
    QFrame* m_deletePanel = nullptr;

    QTimer* m_reloadTimer = nullptr;
    QTimer* m_stopTimer = nullptr;
    QTimer* m_blinkTimer = nullptr;
    QTimer* m_panelTimer = nullptr;
    QTimer* m_deleteModeTimer = nullptr;
};

} // namespace zelvora
