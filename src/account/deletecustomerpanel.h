// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

namespace zelvora {

// The delete panel of the account window's delete mode: the only confirmation before a customer and its
// movements go, and (with its "İptal") the only ways out of that mode.
class DeleteCustomerPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit DeleteCustomerPanel(QWidget* parent);
    ~DeleteCustomerPanel() override;
    Q_DISABLE_COPY_MOVE(DeleteCustomerPanel)

    // Puts the focus on the panel's first button, so that the keyboard works the panel and not what lies under it.
    void takeFocus();

signals:
    void deleteClicked();
    void cancelClicked();

private:
    QWidget* m_firstButton = nullptr;
};

} // namespace zelvora
