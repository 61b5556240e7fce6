// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFrame>

class QLabel;

namespace zelvora {

// The About panel that lies hidden over the middle of the main window: a title bar "PROGRAM HAKKINDA" ...
// "KAPAT", a large picture, a strip along the bottom and the invitation to call for more modules. A click
// on the frame, the title bar or the large picture asks to close it, as do Esc, Enter and Space.
class AboutPanel final : public QFrame
{
    Q_OBJECT

public:
    explicit AboutPanel(QWidget* parent);
    ~AboutPanel() override;
    Q_DISABLE_COPY_MOVE(AboutPanel)

    static QString titleText();

signals:
    // The owner unlocks its list and hides the panel.
    void closeRequested();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void centreOverParent();

    QLabel* m_title = nullptr;
    QLabel* m_picture = nullptr;
    QLabel* m_strip = nullptr;
    QLabel* m_text = nullptr;
};

} // namespace zelvora
