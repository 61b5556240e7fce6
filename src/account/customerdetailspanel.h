// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>
#include <QVariant>
#include <optional>

class QComboBox;
class QLineEdit;
class QPlainTextEdit;

namespace zelvora {

class LumButton;
struct CustomerRecord;

// The panel "Müşteri Bilgileri" over the account window: the customer's row field by field, viewed or
// edited. The window owns the row; the panel shows it and hands the typed values back.
class CustomerDetailsPanel final : public QGroupBox
{
    Q_OBJECT

public:
    explicit CustomerDetailsPanel(QWidget* parent);
    ~CustomerDetailsPanel() override;
    Q_DISABLE_COPY_MOVE(CustomerDetailsPanel)

    void showRecord(const CustomerRecord& record);
    // Writes the typed values into the row; an address shown with "\n" for a stored "\r\n" counts as unchanged.
    // A credit limit that does not read as one leaves the row's limit as it is.
    void takeInto(CustomerRecord& record) const;
    // Whether the typed values can be stored; if not, says why in a message box and puts the focus on the box.
    bool checkInput();

    // A typed credit limit: null for empty text (no limit), whole kuruş for a Turkish amount of 0 or more,
    // nothing for anything else.
    static std::optional<QVariant> readCreditLimit(const QString& text);

    bool isEditing() const { return m_editing; }
    // Back to viewing: fields disabled, "Düzenle" shown (after a stored "Kaydet").
    void endEditing();
    // Puts the focus on the panel's first control, so that the keyboard works the panel and not what lies under it.
    void takeFocus();

signals:
    void saveClicked();
    void cancelClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void setEditing(bool editing);

    QLineEdit* m_code = nullptr;
    QComboBox* m_type = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_phone = nullptr;
    QLineEdit* m_gsm = nullptr;
    QLineEdit* m_city = nullptr;
    QLineEdit* m_taxOffice = nullptr;
    QLineEdit* m_taxNumber = nullptr;
    QPlainTextEdit* m_address = nullptr;
    QLineEdit* m_creditLimit = nullptr;
    LumButton* m_editButton = nullptr;
    LumButton* m_saveButton = nullptr;
    LumButton* m_cancelButton = nullptr;
    bool m_editing = false;
};

} // namespace zelvora
