// SPDX-License-Identifier: GPL-3.0-or-later
#include "users/userwindow.h"

#include "app/lostserver.h"
#include "app/messagebox.h"
#include "data/database.h"
#include "users/uppercase.h"
#include "users/userstore.h"
#include "widgets/lumbutton/lumbutton.h"
#include "widgets/lumbutton/lumbuttonlook.h"

#include <QApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QStandardItemModel>
#include <QTableView>

namespace zelvora {

namespace {

constexpr int kIdRole = Qt::UserRole + 1;

const QString kAttention = QStringLiteral("Dikkat!");

} // namespace

UserWindow::UserWindow(Database& db, QWidget* parent)
    : QDialog(parent)
    , m_db(db)
{
    setObjectName(QStringLiteral("kullanici"));
    setWindowTitle(QStringLiteral("Kullanıcı Ekle"));
    buildUi();
    applyButtonLook(this, ButtonLook::Glass);
    // The list is there at once; each later activation reads it again.
    onActivated();
}

UserWindow::~UserWindow() = default;

void UserWindow::buildUi()
{
    setFixedSize(380, 400);

    m_model = new QStandardItemModel(0, 1, this);
    m_model->setHorizontalHeaderLabels({QStringLiteral("KULLANICILAR")});
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("userGrid"));
    m_grid->setModel(m_model);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);
    m_grid->horizontalHeader()->setHighlightSections(false);
    m_grid->setGeometry(12, 12, 356, 320);

    m_openAddButton = makeButton(QStringLiteral("KULLANICI EKLE"), QStringLiteral("openAddButton"), this);
    m_openAddButton->setGeometry(12, 346, 172, 38);
    m_deleteButton = makeButton(QStringLiteral("SEÇİLİ KAYDI SİL"), QStringLiteral("deleteUserButton"), this);
    m_deleteButton->setGeometry(196, 346, 172, 38);

    // The add panel lies over the lower part of the grid.
    m_addPanel = new QGroupBox(QStringLiteral("Kullanıcı Ekle"), this);
    m_addPanel->setObjectName(QStringLiteral("addPanel"));
    m_addPanel->setAutoFillBackground(true);
    m_addPanel->setGeometry(12, 172, 356, 160);
    auto* nameLabel = new QLabel(QStringLiteral("KULLANICI ADI :"), m_addPanel);
    m_nameBox = new QLineEdit(m_addPanel);
    m_nameBox->setObjectName(QStringLiteral("nameBox"));
    nameLabel->setBuddy(m_nameBox);
    auto* passwordLabel = new QLabel(QStringLiteral("ŞİFRESİ :"), m_addPanel);
    m_passwordBox = new QLineEdit(m_addPanel);
    m_passwordBox->setObjectName(QStringLiteral("passwordBox"));
    passwordLabel->setBuddy(m_passwordBox);
    m_saveButton = makeButton(QStringLiteral("EKLE"), QStringLiteral("saveUserButton"), m_addPanel);
    m_saveButton->setMinimumSize(110, 34);
    for (QLabel* label : {nameLabel, passwordLabel}) {
        QFont bold = label->font();
        bold.setBold(true);
        label->setFont(bold);
    }
    auto* panelLayout = new QGridLayout(m_addPanel);
    panelLayout->setContentsMargins(14, 18, 14, 12);
    panelLayout->setVerticalSpacing(10);
    panelLayout->addWidget(nameLabel, 0, 0);
    panelLayout->addWidget(m_nameBox, 0, 1);
    panelLayout->addWidget(passwordLabel, 1, 0);
    panelLayout->addWidget(m_passwordBox, 1, 1);
    panelLayout->addWidget(m_saveButton, 2, 1, Qt::AlignRight);
    panelLayout->setColumnStretch(1, 1);
    m_addPanel->hide();

    setTabOrder(m_grid, m_openAddButton);
    setTabOrder(m_openAddButton, m_deleteButton);
    setTabOrder(m_deleteButton, m_nameBox);
    setTabOrder(m_nameBox, m_passwordBox);
    setTabOrder(m_passwordBox, m_saveButton);

    connect(m_openAddButton, &LumButton::clicked, this, &UserWindow::openAddPanel);
    connect(m_saveButton, &LumButton::clicked, this, &UserWindow::saveUser);
    connect(m_deleteButton, &LumButton::clicked, this, &UserWindow::deleteSelected);

    // The window sees every key before the focused control.
    for (QWidget* w : findChildren<QWidget*>())
        w->installEventFilter(this);
    installEventFilter(this);
}

void UserWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (m_activation.isNewActivation(this, event))
        onActivated();
}

void UserWindow::onActivated()
{
    reloadList();
    refreshDeleteState();
}

QStringList UserWindow::shownNames() const
{
    QStringList names;
    for (int row = 0; row < m_model->rowCount(); ++row)
        names << m_model->item(row, 0)->text();
    return names;
}

void UserWindow::reloadList()
{
    QVector<UserRow> users;
    // A list that cannot be read (the server away) keeps what it shows rather than going blank.
    if (!UserStore(m_db).users(UserStore::Order::Turkish, users))
        return;
    m_model->removeRows(0, m_model->rowCount());
    for (const UserRow& user : users) {
        auto* item = new QStandardItem(user.username);
        item->setData(user.id, kIdRole);
        m_model->appendRow(item);
    }
    // A list read again stands on its first row.
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(0, 0));
}

void UserWindow::refreshDeleteState()
{
    const QModelIndex current = m_grid->currentIndex();
    m_deleteButton->setEnabled(current.isValid() && !current.data().toString().isEmpty());
}

void UserWindow::openAddPanel()
{
    m_grid->setEnabled(false);
    m_addPanel->show();
    m_addPanel->raise();
    m_nameBox->clear();
    m_passwordBox->clear();
}

void UserWindow::saveUser()
{
    // Leaving the box converts the name; a click that never took the focus from it must not skip that.
    m_nameBox->setText(uppercase::turkish(m_nameBox->text()));
    const QString name = m_nameBox->text();
    const QString password = m_passwordBox->text();
    if (name.trimmed().isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Kullanıcı Adını Girin"), kAttention, MessageBox::Icon::Stop);
        m_nameBox->setFocus();
        return;
    }
    if (password.isEmpty()) {
        MessageBox::ok(this, QStringLiteral("Şifreyi Girin"), kAttention, MessageBox::Icon::Stop);
        m_passwordBox->setFocus();
        return;
    }
    switch (UserStore(m_db).add(name, password)) {
    case UserStore::AddResult::Added:
        MessageBox::ok(this, QStringLiteral("Kullanıcı Kaydedildi. "), QStringLiteral("Bilgi"),
                       MessageBox::Icon::Information);
        break;
    case UserStore::AddResult::Duplicate:
        MessageBox::ok(this, QStringLiteral("Bu kayıt Mevcut"), QStringLiteral("Dikkat"),
                       MessageBox::Icon::Information);
        break;
    case UserStore::AddResult::Failed:
        // The panel stays open with what was typed, to try again.
        if (!reportLostServer(this, m_db,
                              {QStringLiteral("; kullanıcı kaydedilmedi. Bağlantı gelince yeniden deneyin."),
                               QStringLiteral("; kullanıcının kaydedilip kaydedilmediği bilinmiyor. Bağlantı "
                                              "gelince listeye bakın.")}))
            MessageBox::ok(this, QStringLiteral("Kullanıcı Kaydedilemedi."), QStringLiteral("Hata"),
                           MessageBox::Icon::Stop);
        return;
    }
    reloadList();
    m_addPanel->hide();
    m_grid->setEnabled(true);
}

void UserWindow::deleteSelected()
{
    const QModelIndex current = m_grid->currentIndex();
    if (!current.isValid())
        return;
    const UserStore store(m_db);
    const QString lastUser = QStringLiteral("Son Kullanıcı Silinemez.");
    const qint64 users = store.count();
    if (users >= 0 && users <= 1) {
        MessageBox::ok(this, lastUser, kAttention, MessageBox::Icon::Stop);
        return;
    }
    const QModelIndex first = m_model->index(current.row(), 0);
    const QString question
        = first.data().toString() + QStringLiteral("\r\rBU KAYDI SİLMEK İSTEDİĞİNİZDEN EMİN MİSİNİZ?");
    if (!MessageBox::askYesNo(this, question, QStringLiteral("KAYIT SİL"), MessageBox::Icon::Question))
        return;
    switch (store.remove(first.data(kIdRole).toLongLong())) {
    case UserStore::RemoveResult::Removed:
        break;
    case UserStore::RemoveResult::LastUser:
        MessageBox::ok(this, lastUser, kAttention, MessageBox::Icon::Stop);
        return;
    case UserStore::RemoveResult::Failed:
        if (!reportLostServer(this, m_db,
                              {QStringLiteral("; kullanıcı silinmedi. Bağlantı gelince yeniden deneyin."),
                               QStringLiteral("; kullanıcının silinip silinmediği bilinmiyor. Bağlantı gelince "
                                              "listeye bakın.")}))
            MessageBox::ok(this, QStringLiteral("Kullanıcı Silinemedi."), QStringLiteral("Hata"),
                           MessageBox::Icon::Stop);
        return;
    }
    reloadList();
    if (m_model->rowCount() > 0)
        m_grid->setCurrentIndex(m_model->index(m_model->rowCount() - 1, 0));
    refreshDeleteState();
}

bool UserWindow::handleKey(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        // Closing stores nothing: an open add panel is simply dropped.
        reject();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        focusNextChild();
        return true;
    default:
        return false;
    }
}

bool UserWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (handleKey(key))
            return true;
        if (watched == m_nameBox && !key->text().isEmpty() && key->text().at(0).isPrint()
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            // Each typed character reaches the box already in upper case (plain mapping: i becomes I).
            const QString upper = uppercase::plain(key->text());
            if (upper != key->text()) {
                m_nameBox->insert(upper);
                return true;
            }
        }
    } else if (event->type() == QEvent::InputMethod && watched == m_nameBox) {
        // Text composed by an input method is typed text too.
        auto* input = static_cast<QInputMethodEvent*>(event);
        if (!input->commitString().isEmpty())
            input->setCommitString(uppercase::plain(input->commitString()), input->replacementStart(),
                                   input->replacementLength());
    } else if (event->type() == QEvent::FocusOut && watched == m_nameBox) {
        m_nameBox->setText(uppercase::turkish(m_nameBox->text()));
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zelvora
