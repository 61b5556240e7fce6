// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/activationwatch.h"
#include "backup/copyfilewindow.h"

#include <QMainWindow>
#include <QPointer>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QGroupBox;
class QLineEdit;
class QMenu;
class QTableView;

namespace zelvora {

class AboutPanel;
class ChangeWatch;
class CustomerListReport;
class Database;
class CustomerListModel;
class CustomerUpkeep;
class ListTotalsPanel;
class LumButton;
struct CustomerListRow;

// The main window "veresiye": the customer list with search, account-type filter and day counts.
class MainWindow final : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(Database& db, QWidget* parent = nullptr);
    ~MainWindow() override;
    Q_DISABLE_COPY_MOVE(MainWindow)

    // Becoming the active window: every customer in name order, after the day counts were rewritten.
    void onActivated();
    // Runs the list's current source again, keeping the current customer where it still is in the list.
    void rereadList();

    // Enables the commands that need a current customer, see the rule in the .cpp.
    void runControlStateRule();
    // Lock and unlock the list while a panel lies over it.
    void menukitle();
    void menukilitac();
    bool isListLocked() const { return m_listLocked; }

    // The row that stands selected (a copy), or nothing when the list is empty.
    std::optional<CustomerListRow> currentCustomer() const;
    CustomerListModel* model() const { return m_model; }
    CustomerUpkeep* upkeep() const { return m_upkeep; }
    Database& database() const { return m_db; }
    ListTotalsPanel* listTotalsPanel() const { return m_totalsPanel; }
    AboutPanel* aboutPanel() const { return m_aboutPanel; }
    // What a restore opened from the menu may ask of the program (given by the start-up).
    void setRestoreHooks(RestoreHooks hooks) { m_restoreHooks = std::move(hooks); }

    // The printed customer list, kept for later prints once made; nullptr before the first print.
    CustomerListReport* customerListReport() const { return m_listReport.get(); }

signals:
    // After the list was read again (activation, search, sort box).
    void listReloaded();

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void buildMenu();
    void search(const QString& text);
    void sortPicked(int index);
    void showList(bool ok, const QString& error);
    void selectFirstRow();
    void setListLocked(bool locked);

    void openAccount(bool deleteMode);
    // The account window of a customer, modal, under the caption "name / number - ( type )".
    void runAccountWindow(const QString& musKodu, const QString& name, const QString& turu, bool deleteMode);
    void addCustomer();
    // "Araçlar": the account statement (the selected customer proposed), the to-collect list and the day's summary.
    void openStatement();
    void openCollectionList();
    // "Araçlar ▸ Gün Sonu": the day's credits and payments per user.
    void openDaySummary();
    // "Araçlar ▸ Silinen Kayıtlar": the deleted customers and movements, to put back.
    void openDeletedRecords();
    void showListTotals();
    void printCustomerList();
    void showAbout();
    void closeAbout();
    void closeListTotals();
    // The control that had the focus before a panel opened; the menu bar is never one.
    QWidget* panelOpener() const;
    // Gives the focus back to the control that opened a panel, or to the list when that is gone or disabled.
    void returnFocus(QWidget* opener);
    // With the ledger on a server, says the file backup windows do not apply and returns true.
    // The server the ledger is on, for the backup windows; nothing for a file.
    std::optional<ServerSettings> serverOfLedger() const;
    void closeProgram();
    // What other tills changed (server ledger): the list and the open totals are read again, once per burst.
    void noteOtherTillChange(const QString& table);
    void applyOtherTillChanges();

    Database& m_db;
    CustomerListModel* m_model = nullptr;
    CustomerUpkeep* m_upkeep = nullptr;
    QLineEdit* m_searchBox = nullptr;
    QComboBox* m_sortBox = nullptr;
    QGroupBox* m_listFrame = nullptr;
    QTableView* m_grid = nullptr;
    LumButton* m_closeButton = nullptr;
    LumButton* m_deleteButton = nullptr;
    LumButton* m_addButton = nullptr;
    LumButton* m_totalButton = nullptr;
    LumButton* m_openButton = nullptr;
    QMenu* m_programMenu = nullptr;
    QAction* m_printAction = nullptr;
    ListTotalsPanel* m_totalsPanel = nullptr;
    AboutPanel* m_aboutPanel = nullptr;
    std::unique_ptr<CustomerListReport> m_listReport;
    bool m_listLocked = false;
    // The control of this window that last had the focus outside the menu bar and the panels.
    QPointer<QWidget> m_lastFocus;
    QPointer<QWidget> m_totalsOpener;
    RestoreHooks m_restoreHooks;
    QPointer<QWidget> m_aboutOpener;
    ActivationWatch m_activation;
    ChangeWatch* m_changes = nullptr;
    QTimer* m_changeTimer = nullptr;
};

} // namespace zelvora
