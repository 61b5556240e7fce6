// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

class QLineEdit;

namespace zelvora {

class Database;
class LumButton;

// The panel "Liste Toplamı" that lies hidden over the middle of the main window: the balances of the buyers
// and of the sellers over the whole table, their difference, and the number of customers the list shows.
class ListTotalsPanel final : public QGroupBox
{
    Q_OBJECT

public:
    // Centres itself over parent, which it follows when that is resized.
    ListTotalsPanel(const Database& db, QWidget* parent);
    ~ListTotalsPanel() override;
    Q_DISABLE_COPY_MOVE(ListTotalsPanel)

    // Fills the four boxes; listCount is the number of rows of the list. A count of 0 is reported.
    void compute(int listCount);
    // The same without the message for an empty list: the figures follow what another till changed.
    void refresh(int listCount);

    // The texts as shown (the printed customer list copies them).
    QString debtorsText() const;
    QString creditorsText() const;
    QString balanceText() const;
    QString countText() const;

    // The panel's first control, which takes the focus when the panel opens.
    QWidget* firstControl() const;

signals:
    // The panel's "Kapat": the owner unlocks its list and hides the panel.
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void centreOverParent();
    void fill(int listCount);

    const Database& m_db;
    QLineEdit* m_debtorsBox = nullptr;
    QLineEdit* m_creditorsBox = nullptr;
    QLineEdit* m_balanceBox = nullptr;
    QLineEdit* m_countBox = nullptr;
    LumButton* m_closeButton = nullptr;
};

} // namespace zelvora
