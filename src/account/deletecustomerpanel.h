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

signals:
    void deleteClicked();
    void cancelClicked();
};

} // namespace zelvora
