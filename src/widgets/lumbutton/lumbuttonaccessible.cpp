// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbuttonaccessible.h"

#include "widgets/lumbutton/lumbutton.h"

#include <QAccessibleWidget>

namespace zelvora {

namespace {

class LumButtonAccessible final : public QAccessibleWidget
{
public:
    explicit LumButtonAccessible(LumButton* button)
        : QAccessibleWidget(button, QAccessible::Button)
    {
        addControllingSignal(QStringLiteral("clicked()"));
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return button()->plainCaption();
        if (t == QAccessible::Accelerator && !button()->accessKey().isNull())
            return QStringLiteral("Alt+") + button()->accessKey().toUpper();
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override
    {
        return button()->isEnabled() ? QStringList {pressAction()} : QStringList {};
    }

    void doAction(const QString& action) override
    {
        if (action == pressAction())
            button()->click();
    }

private:
    LumButton* button() const { return static_cast<LumButton*>(widget()); }
};

} // namespace

QAccessibleInterface* lumButtonAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String(LumButton::staticMetaObject.className()) && object && object->isWidgetType())
        return new LumButtonAccessible(static_cast<LumButton*>(object));
    return nullptr;
}

} // namespace zelvora
