// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "data/deletedstore.h"

#include <QDialog>

class QLabel;
class QTableView;

namespace zelvora {

class Database;
class DeletedModel;
class LumButton;

// "Silinen Kayıtlar": the deleted customers and movements, newest first (who deleted, when, customer,
// description, amount). "Geri Al" (or Enter on the list) puts the selected one back; Esc closes.
class DeletedRecordsWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit DeletedRecordsWindow(Database& db, QWidget* parent = nullptr);
    ~DeletedRecordsWindow() override;
    Q_DISABLE_COPY_MOVE(DeletedRecordsWindow)

    // Reads the list again; the selection stays on the same row number where it can.
    void reload();
    const QVector<DeletedEntry>& shownEntries() const;
    // "Geri Al" on the selected entry; false (with a message shown) when it could not be put back.
    bool restoreSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildUi();
    void updateCommands();

    Database& m_db;
    DeletedModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    QLabel* m_summary = nullptr;
    LumButton* m_restoreButton = nullptr;
    LumButton* m_closeButton = nullptr;
};

} // namespace zelvora
