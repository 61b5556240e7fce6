// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/activationwatch.h"

#include <QDialog>

class QGroupBox;
class QLineEdit;
class QStandardItemModel;
class QTableView;

namespace zelvora {

class Database;
class LumButton;

// The window "kullanici": lists the sign-in users, adds one with a password and deletes the selected one.
class UserWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit UserWindow(Database& db, QWidget* parent = nullptr);
    ~UserWindow() override;
    Q_DISABLE_COPY_MOVE(UserWindow)

    // Becoming the active window: the list read again and the delete button's state refreshed.
    void onActivated();

    // The names the grid shows, top to bottom.
    QStringList shownNames() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildUi();
    void reloadList();
    void refreshDeleteState();
    void openAddPanel();
    void saveUser();
    void deleteSelected();
    bool handleKey(QKeyEvent* event);

    Database& m_db;
    QStandardItemModel* m_model = nullptr;
    QTableView* m_grid = nullptr;
    LumButton* m_openAddButton = nullptr;
    LumButton* m_deleteButton = nullptr;
    QGroupBox* m_addPanel = nullptr;
    QLineEdit* m_nameBox = nullptr;
    QLineEdit* m_passwordBox = nullptr;
    LumButton* m_saveButton = nullptr;
    ActivationWatch m_activation;
};

} // namespace zelvora
