// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QList>

class QLabel;
class QLineEdit;

namespace zelvora {

class HttpTransfer;
class LumButton;

// The window "KURLAR": the day's buying and selling rates of thirteen currencies, cut out of the central
// bank's rate page. The page is fetched without blocking; " Kurları Güncelle" fetches it again.
class RatesWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit RatesWindow(QWidget* parent = nullptr);
    ~RatesWindow() override;
    Q_DISABLE_COPY_MOVE(RatesWindow)

    // Starts a fetch of the rate page (nothing when one runs). fetched() or fetchFailed() follows; after a
    // failure "INTERNETE BAGLI DEGILSINIZ" has been shown and the window closes itself.
    void fetch();
    bool isFetching() const;
    // Puts a page's rates into the boxes and the date into the caption.
    void showPage(const QString& page);

    QLineEdit* buyingBox(int row) const { return m_buying.at(row); }
    QLineEdit* sellingBox(int row) const { return m_selling.at(row); }
    HttpTransfer& transfer() const { return *m_transfer; }

signals:
    void fetched();
    void fetchFailed();

private:
    void buildUi();
    void onPage(const QString& page);
    void onFailure();

    HttpTransfer* m_transfer = nullptr;
    QList<QLineEdit*> m_buying;
    QList<QLineEdit*> m_selling;
    LumButton* m_refreshButton = nullptr;
    LumButton* m_closeButton = nullptr;
};

// "Güncel Döviz Kurları": fetches the page first and shows the window modally over the main window only
// when the fetch succeeded; the main window keeps working meanwhile. Returns the window (nullptr when one
// is already on its way); it deletes itself when closed.
RatesWindow* openRatesWindow(QWidget* mainWindow);

} // namespace zelvora
