// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonlook.h"

#include "widgets/lumbutton/lumbutton.h"

#include <QHash>

namespace zelvora {

namespace {

// Object names of the windows' buttons and the picture of their command.
const QHash<QString, QString>& pictureNames()
{
    static const QHash<QString, QString> names = [] {
        const std::pair<const char*, const char*> table[] = {
            {"signInButton", "tamam"},
            {"exitButton", "kapat"},
            {"closeButton", "kapat"},
            {"listTotalsCloseButton", "kapat"},
            {"addCustomerButton", "ekle"},
            {"openAddButton", "ekle"},
            {"creditButton", "ekle"},
            {"deleteCustomerButton", "sil"},
            {"deleteUserButton", "sil"},
            {"deleteRowButton", "sil"},
            {"listTotalButton", "topla"},
            {"openAccountButton", "hesap"},
            {"saveUserButton", "kaydet"},
            {"saveButton", "kaydet"},
            {"resetButton", "sifirla"},
            {"printButton", "yazdir"},
            {"calculatorButton", "hesapmakinesi"},
            {"detailsButton", "bilgi"},
            {"backButton", "geri"},
            {"paymentButton", "tahsilat"},
            {"editButton", "duzenle"},
            {"detailsCancelButton", "iptal"},
            {"deleteCancelButton", "iptal"},
            {"creditCancelButton", "iptal"},
            {"paymentCancelButton", "iptal"},
            {"cancelButton", "iptal"},
            {"cancelBackupButton", "iptal"},
            {"cancelRestoreButton", "iptal"},
            {"noButton", "iptal"},
            {"creditConfirmButton", "tamam"},
            {"paymentConfirmButton", "tamam"},
            {"yesButton", "tamam"},
            {"browseTargetButton", "gozat"},
            {"browseSourceButton", "gozat"},
            {"backupButton", "yedekle"},
            {"restoreButton", "geriyukle"},
            {"undoDeleteButton", "geriyukle"},
        };
        QHash<QString, QString> hash;
        for (const auto& [object, picture] : table)
            hash.insert(QLatin1String(object), QLatin1String(picture));
        return hash;
    }();
    return names;
}

} // namespace

QString buttonPictureName(const QString& objectName)
{
    return pictureNames().value(objectName);
}

LumPicture buttonPicture(const QString& name)
{
    if (name.isEmpty())
        return {};
    static QHash<QString, LumPicture> cache;
    const auto found = cache.constFind(name);
    if (found != cache.constEnd())
        return *found;
    QImage image(QStringLiteral(":/lumbutton/icons/%1.png").arg(name));
    if (!image.isNull())
        image = image.convertToFormat(QImage::Format_ARGB32);
    const LumPicture picture {image, false};
    cache.insert(name, picture);
    return picture;
}

LumButton* makeButton(const QString& caption, const QString& objectName, QWidget* parent, QSize least)
{
    auto* button = new LumButton(caption, parent);
    button->setObjectName(objectName);
    if (least.width() > 0)
        button->setMinimumWidth(least.width());
    if (least.height() > 0)
        button->setMinimumHeight(least.height());
    return button;
}

void applyButtonLook(QWidget* root, ButtonLook look)
{
    if (!root)
        return;
    for (LumButton* button : root->findChildren<LumButton*>()) {
        if (look == ButtonLook::WarmToolbar) {
            button->setColorScheme(lum::SchemeBlue);
            button->setButtonStyle(lum::StyleWarmToolbar);
            // Without it a keyboard user cannot tell which of the toolbar's buttons has the focus.
            button->setShowFocusRect(true);
        } else {
            button->setButtonStyle(lum::StyleGlass);
        }
        const LumPicture picture = buttonPicture(buttonPictureName(button->objectName()));
        if (picture.isNull())
            continue;
        button->setPictureNormal(picture);
        button->setPictureAlign(lum::PictureLeftEdge);
        button->setCaptionAlign(lum::CaptionLeft);
        button->setPictureShadow(true);
        button->setPictureEffectOnOver(lum::PictureEffectNone);
        button->setPictureEffectOnDown(lum::PictureEffectNone);
    }
}

} // namespace zelvora
