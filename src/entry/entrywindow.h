// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QTimer;

namespace zelvora {

class Database;
class LumButton;

// The entry window "veresiyeekleode": one frameless window with a credit panel and a payment panel, of which
// the opener shows one. It appends one movement for one customer.
class EntryWindow final : public QDialog
{
    Q_OBJECT

public:
    enum class Panel { Credit, Payment };

    explicit EntryWindow(Database& db, QWidget* parent = nullptr);
    ~EntryWindow() override;
    Q_DISABLE_COPY_MOVE(EntryWindow)

    void setCustomerNumber(const QString& musKodu) { m_musKodu = musKodu; }
    // Heads the chosen panel and makes it the visible one.
    void openPanel(Panel panel, const QString& heading);

    // Becoming the active window: the unit list is filled again.
    void onActivated();
    void birimgrup();
    // Unit price × quantity × factor into the total box in the money format, when all three read as numbers and
    // the product fits.
    void recomputeTotal();

    QString unitMirror() const { return m_unitMirror; }

signals:
    // A movement was appended; the account window reloads.
    void entryStored();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QFrame* buildCreditPanel();
    QFrame* buildPaymentPanel();
    void taxClicked();
    void normaliseFactor();
    void confirmCredit();
    void confirmPayment();
    bool warn(const QString& text, QWidget* focus);
    // Asks whether a credit over the customer's credit limit is stored anyway.
    bool askOverLimit(qint64 limit);
    void reportStoreFailure(const QString& what, const QString& error);

    Database& m_db;
    QString m_musKodu;
    QString m_unitMirror = QStringLiteral("Adet");

    QFrame* m_creditPanel = nullptr;
    QLabel* m_creditHeading = nullptr;
    QLineEdit* m_description = nullptr;
    QLineEdit* m_quantity = nullptr;
    QComboBox* m_unit = nullptr;
    QLineEdit* m_unitPrice = nullptr;
    QLineEdit* m_creditTime = nullptr;
    QLineEdit* m_creditDate = nullptr;
    QLineEdit* m_total = nullptr;
    QLineEdit* m_factor = nullptr;
    QCheckBox* m_tax = nullptr;
    LumButton* m_creditCancel = nullptr;
    LumButton* m_creditConfirm = nullptr;

    QFrame* m_paymentPanel = nullptr;
    QLabel* m_paymentHeading = nullptr;
    QLineEdit* m_amount = nullptr;
    QLineEdit* m_paymentTime = nullptr;
    QLineEdit* m_paymentDate = nullptr;
    QLineEdit* m_paymentDescription = nullptr;
    LumButton* m_paymentCancel = nullptr;
    LumButton* m_paymentConfirm = nullptr;

    QTimer* m_totalTimer = nullptr;
};

} // namespace zelvora
