// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/collectionstore.h"
#include "tools/toolreports.h"

#include <QDialog>
#include <functional>

class QLabel;
class QSpinBox;
class QTableView;

namespace zelvora {

class CollectionModel;
class Database;
class LumButton;

// "Tahsilat Listesi": every customer who owes money, longest waiting since the last payment first, with a
// filter "en az … gün". Prints and writes PDF and CSV; opens the account of a customer (double click or
// Enter) through the opener given; copies a polite reminder for the selected customer to the clipboard.
class CollectionWindow final : public QDialog
{
    Q_OBJECT

public:
    // Opens the account window of a customer; the list is read again afterwards.
    using AccountOpener = std::function<void(const QString& musKodu)>;

    explicit CollectionWindow(Database& db, AccountOpener openAccount, QWidget* parent = nullptr);
    ~CollectionWindow() override;
    Q_DISABLE_COPY_MOVE(CollectionWindow)

    // Reads the list again, keeping the selected customer where it still is.
    void reload();
    // The rows the grid shows, in order, each read (for a short list).
    QVector<CollectionRow> shownRows() const;

    CollectionReport& report() { return m_report; }

    // The reminder sent to a customer. shopName may be empty.
    static QString reminderText(const CollectionRow& row, const QString& shopName, const QDate& today);
    // The list's rows as CSV, as the exporter writes its files, read from the store as they are written; the
    // file appears whole or not at all.
    static bool writeCsv(const QString& file, const CollectionStore& store, const CollectionStore::Filter& filter,
                         QString* error);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void applyFilter();
    void updateCommands();
    void openSelected();
    void copyReminder();
    bool prepareReport();
    void print();
    void savePdf();
    void saveCsv();

    Database& m_db;
    AccountOpener m_openAccount;
    CollectionModel* m_model = nullptr;
    QSpinBox* m_minDays = nullptr;
    QTableView* m_grid = nullptr;
    QLabel* m_summary = nullptr;
    LumButton* m_openButton = nullptr;
    LumButton* m_reminderButton = nullptr;
    LumButton* m_printButton = nullptr;
    LumButton* m_pdfButton = nullptr;
    LumButton* m_csvButton = nullptr;
    LumButton* m_closeButton = nullptr;
    CollectionReport m_report;
};

} // namespace zelvora
