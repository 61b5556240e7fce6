// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/lumbutton/lumbuttonproperties.h"

#include <QSize>

class QWidget;

namespace zelvora {

class LumButton;

// A button of the program's windows: its caption, its object name (by which applyButtonLook finds its
// picture and the tests find it) and its least size (a width or height of 0 leaves that one free).
LumButton* makeButton(const QString& caption, const QString& objectName, QWidget* parent, QSize least = {});

// The two looks the program's windows give their buttons.
enum class ButtonLook {
    Glass, // style 3 with the silver scheme: face #E3E3E3
    WarmToolbar, // style 5 with the blue scheme: face #CAE1FC
};

// Gives every LumButton inside root the look, and the picture of its command (found by the
// button's object name) at the left edge with its shadow and a left-aligned caption.
void applyButtonLook(QWidget* root, ButtonLook look);

// One of the program's button pictures by name ("kaydet", "iptal", ...); empty when unknown.
LumPicture buttonPicture(const QString& name);
// The picture name of a button's command, by its object name; empty when it has none.
QString buttonPictureName(const QString& objectName);

} // namespace zelvora
