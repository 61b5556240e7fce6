// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QTimer;

namespace zelvora {

class Database;

// The first window: our artwork, "Program Yükleniyor.....", and the installed version. Closes once, on its
// 3000 ms timer, on Esc or on a click on its background, and then emits closing().
class SplashWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit SplashWindow(const Database& db, QWidget* parent = nullptr);
    ~SplashWindow() override;
    Q_DISABLE_COPY_MOVE(SplashWindow)

    // Reads the version from the table surum; false with the engine's text when the table cannot be read.
    bool readVersion(QString* error = nullptr);
    QString versionText() const;

    // Hides the splash and emits closing(); later calls do nothing. While the splash is held open, a close
    // (its timer, Esc, a click) waits until it is let go.
    void startClosing();
    // Keeps the splash open with status in place of "Program Yükleniyor....." (work the program must finish
    // before its window can open); letGo() restores it and closes the splash if a close came meanwhile.
    void holdOpen(const QString& status);
    void letGo();
    bool isHeldOpen() const { return m_held; }
    QString statusText() const;
    bool isClosing() const { return m_closing; }

    static constexpr int CloseAfterMs = 3000;

signals:
    void closing();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    const Database& m_db;
    QLabel* m_versionDisplay = nullptr;
    QLabel* m_loading = nullptr;
    bool m_held = false;
    bool m_closeWanted = false;
    QTimer* m_timer = nullptr;
    bool m_closing = false;
};

} // namespace zelvora
