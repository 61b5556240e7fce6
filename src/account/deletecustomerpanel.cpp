// SPDX-License-Identifier: GPL-3.0-or-later
#include "account/deletecustomerpanel.h"

#include "account/accountwidgets.h"
#include "widgets/lumbutton/lumbutton.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

namespace zelvora {

DeleteCustomerPanel::DeleteCustomerPanel(QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("deletePanel"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    setStyleSheet(QStringLiteral("QFrame#deletePanel { background-color: #FFF4E5; border: 2px solid #C04000; }"));

    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("deletePicture"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(48, 48));
    auto* text = new QLabel(
        QStringLiteral("Müşterinin Veresiye Hesabı Sıfırlanacak ve Müşteri Kaydı Silinecektir.  Emin misiniz?"), this);
    text->setObjectName(QStringLiteral("deleteText"));
    text->setWordWrap(true);
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(text, 1);

    auto* deleteButton = accountui::button(QStringLiteral("Müşteriyi ve Hareketlerini Sil"),
                                           QStringLiteral("deleteCustomerButton"), this);
    deleteButton->setMinimumWidth(220);
    m_firstButton = deleteButton;
    auto* cancelButton = accountui::button(QStringLiteral("İptal"), QStringLiteral("deleteCancelButton"), this);
    deleteButton->setMaximumHeight(36);
    cancelButton->setMaximumHeight(36);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(deleteButton);
    buttons->addStretch(1);
    buttons->addWidget(cancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    hide();

    connect(deleteButton, &LumButton::clicked, this, &DeleteCustomerPanel::deleteClicked);
    connect(cancelButton, &LumButton::clicked, this, &DeleteCustomerPanel::cancelClicked);
}

DeleteCustomerPanel::~DeleteCustomerPanel() = default;

void DeleteCustomerPanel::takeFocus()
{
    m_firstButton->setFocus(Qt::OtherFocusReason);
}

} // namespace zelvora
