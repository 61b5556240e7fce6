// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/activationwatch.h"

#include <QDialog>

class QComboBox;
class QLineEdit;

namespace zelvora {

class Database;
class LumButton;

// The sign-in window "frmLogin": a user name picked from the list and a password. It has no close box and no
// key closes it: the only ways out are a successful sign-in and the exit button, which ends the program.
class LoginWindow final : public QDialog
{
    Q_OBJECT

public:
    explicit LoginWindow(Database& db, QWidget* parent = nullptr);
    ~LoginWindow() override;
    Q_DISABLE_COPY_MOVE(LoginWindow)

    // Reads the user table as the window loads; false with the engine's text when it cannot be read.
    bool load(QString* error = nullptr);

    // Fills the name list with the user names in table order; failures leave it as it is.
    void birimgrup();
    // Becoming the active window.
    void onActivated() { birimgrup(); }

    // Does nothing: Esc and the window manager's close must not get past the sign-in.
    void reject() override;

signals:
    // A user has signed in; the window closes right after.
    void signedIn();
    // The exit button: the program must end now.
    void exitRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void buildUi();
    void signInClicked();
    bool fillNames(QString* error);

    Database& m_db;
    QComboBox* m_nameList = nullptr;
    QLineEdit* m_passwordBox = nullptr;
    LumButton* m_exitButton = nullptr;
    LumButton* m_signInButton = nullptr;
    bool m_signedIn = false;
    ActivationWatch m_activation;
};

} // namespace zelvora
