// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/loginwindow.h"

#include "app/messagebox.h"
#include "data/database.h"
#include "data/session.h"
#include "users/uppercase.h"
#include "users/userstore.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QApplication>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace zelvora {

namespace {

const QString kCaption = QStringLiteral("Kullanıcı Giriş");

bool isEnter(const QKeyEvent* key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

} // namespace

LoginWindow::LoginWindow(Database& db, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_db(db)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(kCaption);
    buildUi();
    applyButtonLook(this, ButtonLook::Glass);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

LoginWindow::~LoginWindow() = default;

void LoginWindow::buildUi()
{
    setFixedSize(361, 187);

    auto* panel = new QGroupBox(QStringLiteral("Kullanıcı Adınızı ve Şifrenizi Yazın"), this);
    panel->setObjectName(QStringLiteral("loginPanel"));
    auto* nameLabel = new QLabel(QStringLiteral("Kullanıcı Adı :"), panel);
    m_nameList = new QComboBox(panel);
    m_nameList->setObjectName(QStringLiteral("nameList"));
    m_nameList->setEditable(false);
    nameLabel->setBuddy(m_nameList);
    auto* passwordLabel = new QLabel(QStringLiteral("Şifre :"), panel);
    m_passwordBox = new QLineEdit(panel);
    m_passwordBox->setObjectName(QStringLiteral("passwordBox"));
    m_passwordBox->setEchoMode(QLineEdit::Password);
    passwordLabel->setBuddy(m_passwordBox);
    for (QLabel* label : {nameLabel, passwordLabel}) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
    }
    auto* panelLayout = new QGridLayout(panel);
    panelLayout->setContentsMargins(12, 16, 12, 10);
    panelLayout->setVerticalSpacing(8);
    panelLayout->addWidget(nameLabel, 0, 0);
    panelLayout->addWidget(m_nameList, 0, 1);
    panelLayout->addWidget(passwordLabel, 1, 0);
    panelLayout->addWidget(m_passwordBox, 1, 1);
    panelLayout->setColumnStretch(1, 1);

    m_exitButton = makeButton(QStringLiteral("Tamam"), QStringLiteral("exitButton"), this);
    m_exitButton->setAccessibleDescription(QStringLiteral("Programdan çık"));
    m_signInButton = makeButton(QStringLiteral("Tamam"), QStringLiteral("signInButton"), this);
    m_signInButton->setAccessibleDescription(QStringLiteral("Giriş yap"));
    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    for (LumButton* button : {m_exitButton, m_signInButton}) {
        button->setFixedHeight(34);
        buttons->addWidget(button, 1);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 10, 12, 12);
    layout->setSpacing(10);
    layout->addWidget(panel);
    layout->addLayout(buttons);

    setTabOrder(m_nameList, m_passwordBox);
    setTabOrder(m_passwordBox, m_signInButton);
    setTabOrder(m_signInButton, m_exitButton);
    m_nameList->setFocus();

    m_nameList->installEventFilter(this);
    m_passwordBox->installEventFilter(this);
    connect(m_signInButton, &LumButton::clicked, this, &LoginWindow::signInClicked);
    connect(m_exitButton, &LumButton::clicked, this, &LoginWindow::exitRequested);
}

bool LoginWindow::load(QString* error)
{
    return fillNames(error);
}

void LoginWindow::birimgrup()
{
    fillNames(nullptr);
}

bool LoginWindow::fillNames(QString* error)
{
    QVector<UserRow> users;
    if (!UserStore(m_db).users(UserStore::Order::Table, users, error))
        return false;
    // A name already picked stays picked while it is still in the table.
    const QString picked = m_nameList->currentText();
    m_nameList->clear();
    for (const UserRow& user : users)
        m_nameList->addItem(user.username);
    m_nameList->setCurrentIndex(picked.isEmpty() ? -1 : m_nameList->findText(picked, Qt::MatchExactly));
    return true;
}

void LoginWindow::signInClicked()
{
    const QString name = m_nameList->currentText();
    const QString password = m_passwordBox->text();
    if (name.isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Kullanıcı Adını Girin"), QStringLiteral("Dikkat!"),
                       MessageBox::Icon::Stop);
        m_nameList->setFocus();
        return;
    }
    if (password.isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Şifreyi Girin"), QStringLiteral("Dikkat!"), MessageBox::Icon::Stop);
        m_passwordBox->setFocus();
        return;
    }

    QString error;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const UserStore::SignIn check = UserStore(m_db).signIn(name, password, &error);
    QGuiApplication::restoreOverrideCursor();

    switch (check.result) {
    case UserStore::CheckResult::UnknownName:
        MessageBox::ok(this, QStringLiteral("Kullanıcı Adı Yanlış"), QStringLiteral("Bulunamadı"),
                       MessageBox::Icon::Stop);
        m_nameList->setFocus();
        return;
    case UserStore::CheckResult::WrongPassword:
        MessageBox::ok(this, QStringLiteral("Şifre Yanlış"), kCaption, MessageBox::Icon::Stop);
        m_nameList->setCurrentIndex(-1);
        m_passwordBox->clear();
        m_nameList->setFocus();
        return;
    case UserStore::CheckResult::Failed:
        // The file could not be read: say so and let the user try again or leave.
        MessageBox::ok(this, error, kCaption, MessageBox::Icon::Stop);
        return;
    case UserStore::CheckResult::SignedIn:
        break;
    }
    MessageBox::ok(this, QStringLiteral("Giriş Başarılı ") + uppercase::turkish(check.username), kCaption,
                   MessageBox::Icon::Information);
    // Every movement stored or deleted from now on names this user.
    session::setUser(check.username);
    emit signedIn();
    m_signedIn = true;
    QDialog::accept();
}

void LoginWindow::reject()
{
    // Esc and the window manager's close must not take the user past the sign-in.
}

void LoginWindow::closeEvent(QCloseEvent* event)
{
    if (!m_signedIn)
        event->ignore();
}

void LoginWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool LoginWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_nameList && watched != m_passwordBox)
        return QDialog::eventFilter(watched, event);
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // The apostrophe never reaches either box.
        if (key->text() == QLatin1String("'"))
            return true;
        if (isEnter(key)) {
            if (watched == m_nameList)
                m_passwordBox->setFocus(Qt::TabFocusReason);
            else
                signInClicked();
            return true;
        }
    } else if (event->type() == QEvent::FocusIn && watched == m_passwordBox) {
        // After the focus-in a mouse press would place the cursor; select everything once it is done.
        QTimer::singleShot(0, m_passwordBox, &QLineEdit::selectAll);
    }
    return QDialog::eventFilter(watched, event);
}

void LoginWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (m_activation.isNewActivation(this, event))
        onActivated();
}

void LoginWindow::paintEvent(QPaintEvent* event)
{
    QDialog::paintEvent(event);
    // The background picture: a soft blue wash.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient wash(0, 0, 0, height());
    wash.setColorAt(0, QColor(0xF4, 0xF7, 0xFB));
    wash.setColorAt(1, QColor(0xC9, 0xD8, 0xEA));
    p.fillRect(rect(), wash);
}

} // namespace zelvora
