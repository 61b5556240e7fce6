// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>

class QLineEdit;
class QString;
class QWidget;

namespace zelvora {

class LumButton;

// The few control shapes the account window and its panels share.
namespace accountui {

inline const QColor kRed(0xD0, 0x00, 0x00);
inline const QColor kOrange(0xFF, 0x99, 0x33);

QLineEdit* readOnlyBox(QWidget* parent, const QString& name, const QColor& textColour);
LumButton* button(const QString& caption, const QString& name, QWidget* parent);

} // namespace accountui
} // namespace zelvora
