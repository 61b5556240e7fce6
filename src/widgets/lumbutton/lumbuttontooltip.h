// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QColor>
#include <QWidget>

class QLabel;
class QTimer;

namespace zelvora {

// The button's own tooltip: optional title with a standard icon, text wrapped at 240 pixels, a
// chosen back colour, the balloon form with rounded corners and right-to-left layout.
class LumButtonToolTip final : public QWidget
{
    Q_OBJECT

public:
    struct Content
    {
        QString text;
        QString title;
        int icon = 0; // 0 none, 1 information, 2 warning, 3 error
        bool balloon = false;
        bool rightToLeft = false;
        QColor background; // invalid: the platform's tooltip colour
    };

    static constexpr int MaximumTextWidth = 240;

    LumButtonToolTip(const Content& content, QWidget* owner);
    ~LumButtonToolTip() override;
    Q_DISABLE_COPY_MOVE(LumButtonToolTip)

    const Content& content() const { return m_content; }
    QLabel* textLabel() const { return m_text; }
    // Shows the tip below the cursor after the platform's usual delay.
    void showSoon();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    Content m_content;
    QLabel* m_text = nullptr;
    QTimer* m_delay = nullptr;
};

} // namespace zelvora
