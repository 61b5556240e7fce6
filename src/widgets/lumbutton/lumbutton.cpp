// SPDX-License-Identifier: GPL-3.0-or-later
#include "widgets/lumbutton/lumbutton.h"

#include "app/messagebox.h"
#include "widgets/lumbutton/lumbuttonpainter.h"
#include "widgets/lumbutton/lumbuttontooltip.h"
#include "widgets/lumbutton/lumcolor.h"

#include <QAccessible>
#include <QCursor>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QUrl>

#include <utility>

namespace zelvora {

namespace {

int shiftState(Qt::KeyboardModifiers modifiers)
{
    return (modifiers & Qt::ShiftModifier ? 1 : 0) | (modifiers & Qt::ControlModifier ? 2 : 0)
        | (modifiers & Qt::AltModifier ? 4 : 0);
}

int buttonCode(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}

// The key codes the control's events carry (the platform's virtual-key numbers).
int keyCode(int key)
{
    if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
        return key;
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    switch (key) {
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return 9;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return 13;
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Space:
        return 32;
    case Qt::Key_PageUp:
        return 33;
    case Qt::Key_PageDown:
        return 34;
    case Qt::Key_End:
        return 35;
    case Qt::Key_Home:
        return 36;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Up:
        return 38;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Down:
        return 40;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return 46;
    default:
        return key & 0xFFFF;
    }
}

} // namespace

LumButton::LumButton(QWidget* parent)
    : LumButton(QString(), parent)
{
}

LumButton::LumButton(const QString& caption, QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    // A button placed in code takes the New values; its font stays the container's, as the
    // program's layouts store no font of their own.
    m_props = LumButtonProperties::newControl(caption);
    m_props.font = font();
    m_parentActive = isActiveWindow();
    setCaption(caption);
}

LumButton::~LumButton()
{
    unsetPopupMenu();
}

void LumButton::changed()
{
    updateGeometry();
    update();
}

void LumButton::setCaption(const QString& caption)
{
    m_props.caption = caption;
    m_accessKey = accessKeyOf(caption);
    updateShortcut();
    setAccessibleName(plainCaption());
    changed();
    QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

void LumButton::setBackColor(ColorRef colour)
{
    m_props.backColor = colour;
    if (m_props.buttonStyle != lum::StyleHotTrack)
        m_props.colorScheme = lum::SchemeCustom;
    update();
}

void LumButton::setButtonStyle(int style)
{
    m_props.buttonStyle = std::clamp(style, 0, 13);
    m_props.colorScheme = LumButtonProperties::defaultScheme(m_props.buttonStyle, m_props.colorScheme);
    m_props.applySchemeColors();
    updateShape();
    update();
}

void LumButton::setColorScheme(int scheme)
{
    m_props.colorScheme = std::clamp(scheme, 0, 3);
    m_props.applySchemeColors();
    update();
}

void LumButton::setCaptionAlign(int align)
{
    m_props.captionAlign = std::clamp(align, 0, 2);
    update();
}

void LumButton::setDropDownSymbol(int symbol)
{
    m_props.dropDownSymbol = symbol;
    update();
}

void LumButton::setDropDownSeparator(bool on)
{
    m_props.dropDownSeparator = on;
    update();
}

void LumButton::setDisabledPictureMode(int mode)
{
    m_props.disabledPictureMode = mode;
    update();
}

void LumButton::setForeColor(ColorRef colour)
{
    m_props.foreColor = colour;
    update();
}

void LumButton::setForeColorHover(ColorRef colour)
{
    m_props.foreColorHover = colour;
    update();
}

void LumButton::setHandPointer(bool on)
{
    m_props.handPointer = on;
    if (on)
        m_props.mousePointer = 0;
    updateCursor();
}

void LumButton::setMaskColor(ColorRef colour)
{
    m_props.maskColor = colour;
    update();
}

void LumButton::setMode(int mode)
{
    m_props.mode = std::clamp(mode, 0, 2);
    if (m_props.mode == lum::ModePush)
        setState(lum::StateNormal);
    update();
}

void LumButton::setMouseIcon(const QImage& icon)
{
    m_props.mouseIcon = icon;
    if (!icon.isNull()) {
        m_props.handPointer = false;
        m_props.mousePointer = 99;
    } else {
        m_props.mousePointer = 0;
    }
    updateCursor();
}

void LumButton::setMousePointer(int pointer)
{
    m_props.mousePointer = qint16(pointer);
    updateCursor();
}

void LumButton::setPictureNormal(const LumPicture& picture)
{
    m_props.pictureNormal = picture;
    if (picture.isNull()) {
        m_props.pictureHot = {};
        m_props.pictureDown = {};
    }
    changed();
}

void LumButton::setPictureHot(const LumPicture& picture)
{
    (m_props.pictureNormal.isNull() ? m_props.pictureNormal : m_props.pictureHot) = picture;
    changed();
}

void LumButton::setPictureDown(const LumPicture& picture)
{
    (m_props.pictureNormal.isNull() ? m_props.pictureNormal : m_props.pictureDown) = picture;
    changed();
}

void LumButton::setPictureAlign(int align)
{
    m_props.pictureAlign = std::clamp(align, 0, 8);
    if (!m_props.pictureNormal.isNull())
        update();
}

void LumButton::setPictureShadow(bool on)
{
    m_props.pictureShadow = on;
    update();
}

void LumButton::setPictureEffectOnOver(int effect)
{
    m_props.pictureEffectOnOver = std::clamp(effect, 0, 2);
    update();
}

void LumButton::setPictureEffectOnDown(int effect)
{
    m_props.pictureEffectOnDown = std::clamp(effect, 0, 2);
    update();
}

void LumButton::setPicturePushOnHover(bool on)
{
    m_props.picturePushOnHover = on;
    update();
}

void LumButton::setPictureOpacity(int opacity)
{
    m_props.pictureOpacity = quint8(std::clamp(opacity, 0, 255));
    update();
}

void LumButton::setPictureOpacityOnOver(int opacity)
{
    m_props.pictureOpacityOnOver = quint8(std::clamp(opacity, 0, 255));
    update();
}

void LumButton::setRightToLeft(bool on)
{
    m_props.rightToLeft = on;
    update();
}

void LumButton::setCaptionEffects(int effects)
{
    m_props.captionEffects = std::clamp(effects, 0, 5);
    update();
}

void LumButton::setShowFocusRect(bool on)
{
    m_props.showFocusRect = on;
}

void LumButton::setUseMaskColor(bool on)
{
    m_props.useMaskColor = on;
    if (!m_props.pictureNormal.isNull())
        update();
}

void LumButton::setValue(bool value)
{
    if (m_props.mode == lum::ModePush) {
        setState(lum::StateNormal);
        return;
    }
    m_props.value = value;
    if (!value)
        setState(lum::StateNormal);
    update();
}

void LumButton::setTooltipTitle(const QString& title)
{
    m_props.tooltipTitle = title;
}

void LumButton::setButtonToolTip(const QString& text)
{
    m_props.toolTip = text;
}

void LumButton::setTooltipBackColor(ColorRef colour)
{
    m_props.tooltipBackColor = colour;
}

void LumButton::setToolTipIcon(int icon)
{
    m_props.toolTipIcon = std::clamp(icon, 0, 3);
}

void LumButton::setToolTipType(int type)
{
    m_props.toolTipType = std::clamp(type, 0, 1);
}

void LumButton::setDefault(bool on)
{
    m_isDefault = on;
    update();
}

void LumButton::setPopupMenu(QMenu* menu, int align, int flags, QAction* defaultItem)
{
    if (!menu)
        return;
    m_menu = menu;
    m_menuAlign = align;
    m_menuFlags = flags;
    m_menuDefault = defaultItem;
    m_menuAttached = true;
}

void LumButton::unsetPopupMenu()
{
    m_menu = nullptr;
    m_menuDefault = nullptr;
    m_menuAttached = false;
    m_menuShowing = false;
}

void LumButton::openWebsite(const QString& address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void LumButton::about()
{
    MessageBox::ok(this,
                   QStringLiteral("lumbutton %1\nZelvora'nın kendi düğmesi: on dört biçem, resimler ve ipuçları.")
                       .arg(QStringLiteral(ZELVORA_VERSION)),
                   QStringLiteral("About"), MessageBox::Icon::Information);
}

void LumButton::writeProperties(LumPropertyBag& bag) const
{
    saveLumButton(m_props, bag, palette(), parentWidget() ? parentWidget()->font() : QFont());
}

void LumButton::readProperties(const LumPropertyBag& bag)
{
    m_props = loadLumButton(bag, palette(), parentWidget() ? parentWidget()->font() : QFont());
    setFont(m_props.font);
    setEnabled(m_props.enabled);
    setCaption(m_props.caption);
    updateCursor();
    updateShape();
    update();
}

QString LumButton::plainCaption() const
{
    QString text;
    const QString& caption = m_props.caption;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption.at(i + 1) == QLatin1Char('&'))
                text += caption.at(++i);
            continue;
        }
        text += caption.at(i);
    }
    return text.trimmed();
}

QChar LumButton::accessKeyOf(const QString& caption)
{
    if (caption.size() <= 1)
        return {};
    qsizetype p = caption.indexOf(QLatin1Char('&'));
    if (p < 0 || p == caption.size() - 1)
        return {};
    if (caption.at(p + 1) != QLatin1Char('&'))
        return caption.at(p + 1).toLower();
    // "&&" is a literal ampersand: only that one pair is skipped.
    p = caption.indexOf(QLatin1Char('&'), p + 2);
    if (p < 0 || p == caption.size() - 1 || caption.at(p + 1) == QLatin1Char('&'))
        return {};
    return caption.at(p + 1).toLower();
}

void LumButton::updateShortcut()
{
    if (m_shortcutId != 0) {
        releaseShortcut(m_shortcutId);
        m_shortcutId = 0;
    }
    if (!m_accessKey.isNull())
        m_shortcutId = grabShortcut(QKeySequence(QStringLiteral("Alt+") + m_accessKey.toUpper()));
}

void LumButton::updateShape()
{
    if (m_props.buttonStyle == lum::StyleThemed || width() < 4 || height() < 4)
        clearMask();
    else
        setMask(LumButtonPainter::windowShape(m_props.buttonStyle, width(), height()));
}

void LumButton::updateCursor()
{
    if (m_props.handPointer) {
        setCursor(Qt::PointingHandCursor);
        return;
    }
    switch (m_props.mousePointer) {
    case 1:
        setCursor(Qt::ArrowCursor);
        break;
    case 2:
        setCursor(Qt::CrossCursor);
        break;
    case 3:
        setCursor(Qt::IBeamCursor);
        break;
    case 5:
    case 15:
        setCursor(Qt::SizeAllCursor);
        break;
    case 6:
        setCursor(Qt::SizeBDiagCursor);
        break;
    case 7:
        setCursor(Qt::SizeVerCursor);
        break;
    case 8:
        setCursor(Qt::SizeFDiagCursor);
        break;
    case 9:
        setCursor(Qt::SizeHorCursor);
        break;
    case 10:
        setCursor(Qt::UpArrowCursor);
        break;
    case 11:
        setCursor(Qt::WaitCursor);
        break;
    case 12:
        setCursor(Qt::ForbiddenCursor);
        break;
    case 13:
        setCursor(Qt::BusyCursor);
        break;
    case 14:
        setCursor(Qt::WhatsThisCursor);
        break;
    case 99:
        if (!m_props.mouseIcon.isNull()) {
            setCursor(QCursor(QPixmap::fromImage(m_props.mouseIcon)));
            break;
        }
        unsetCursor();
        break;
    default:
        unsetCursor();
        break;
    }
}

QSize LumButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize text = metrics.size(Qt::TextShowMnemonic, m_props.caption);
    const QSize picture = m_props.pictureNormal.size();
    const int pictureRoom = picture.isEmpty() ? 0 : picture.width() + 8;
    return {qMax(75, text.width() + 20 + pictureRoom), qMax(25, qMax(text.height(), picture.height()) + 10)};
}

QSize LumButton::minimumSizeHint() const
{
    return {MinimumSide, MinimumSide};
}

void LumButton::clearOptionGroup()
{
    if (!parentWidget())
        return;
    for (LumButton* sibling : parentWidget()->findChildren<LumButton*>(Qt::FindDirectChildrenOnly))
        if (sibling != this && sibling->mode() == lum::ModeOption)
            sibling->setValue(false);
}

void LumButton::activateFromKey()
{
    if (!isEnabled())
        return;
    m_spaceDown = false;
    m_mouseDown = false;
    if (m_props.mode == lum::ModeCheck) {
        const bool was = m_props.value;
        m_props.value = !m_props.value;
        if (was)
            setState(lum::StateNormal);
    } else if (m_props.mode == lum::ModeOption) {
        clearOptionGroup();
        m_props.value = true;
    }
    update();
    emit clicked();
}

void LumButton::click()
{
    activateFromKey();
}

void LumButton::setState(int state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

bool LumButton::event(QEvent* event)
{
    // Qt tells a window's children of its activation with these two; ActivationChange reaches the window alone.
    if (event->type() == QEvent::WindowActivate || event->type() == QEvent::WindowDeactivate)
        windowActivationChanged(event->type() == QEvent::WindowActivate);
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == m_shortcutId) {
            activateFromKey();
            return true;
        }
    }
    return QWidget::event(event);
}

void LumButton::paintEvent(QPaintEvent*)
{
    if (m_surface.size() != size())
        m_surface = QImage(size(), QImage::Format_ARGB32_Premultiplied);
    if (m_props.buttonStyle == lum::StyleSilver)
        m_props.foreColor = m_state == lum::StateDown ? ColorRef(0xFFFFFF) : lum::SysButtonText;
    LumPaintState paintState;
    paintState.state = m_state;
    paintState.enabled = isEnabled();
    paintState.hasFocus = m_hasFocus;
    paintState.isDefault = m_isDefault;
    paintState.parentActive = m_parentActive;
    paintState.mouseOver = m_mouseOver;
    LumButtonPainter::paint(m_surface, m_props, paintState, palette(), style());
    QPainter painter(this);
    painter.drawImage(0, 0, m_surface);
}

void LumButton::resizeEvent(QResizeEvent* event)
{
    // Smaller than 220 twips in either direction is raised to 220 twips.
    if (width() < MinimumSide || height() < MinimumSide) {
        resize(qMax(width(), MinimumSide), qMax(height(), MinimumSide));
        return;
    }
    updateShape();
    QWidget::resizeEvent(event);
}

void LumButton::showEvent(QShowEvent* event)
{
    // Only the button's own tooltip is shown while it is visible.
    setToolTip(QString());
    m_parentActive = isActiveWindow();
    QWidget::showEvent(event);
}

void LumButton::hideEvent(QHideEvent* event)
{
    setToolTip(m_props.toolTip);
    hideToolTip();
    QWidget::hideEvent(event);
}

void LumButton::pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPointF& pos)
{
    m_lastButton = button;
    m_lastModifiers = modifiers;
    m_lastPos = pos;
    hideToolTip();
    if (button == Qt::LeftButton || m_menuShowing) {
        m_hasFocus = true;
        m_mouseDown = true;
        if (!m_spaceDown)
            setState(lum::StateDown);
        if (!m_menuAttached)
            emit mousePressed(buttonCode(button), shiftState(modifiers), float(pos.x()), float(pos.y()));
    }
    if (m_menuAttached && !m_menuShowing)
        showMenu();
}

void LumButton::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    pressed(event->button(), event->modifiers(), event->position());
}

void LumButton::mouseReleaseEvent(QMouseEvent* event)
{
    event->accept();
    if (m_menuAttached) {
        m_mouseDown = false;
        m_menuShowing = false;
        setState(lum::StateNormal);
        update();
        return;
    }
    const QPointF p = event->position();
    const int button = buttonCode(event->button());
    const int shift = shiftState(event->modifiers());
    QPointer<LumButton> self(this);
    if (event->button() == Qt::LeftButton) {
        // A press that focus loss or deactivation cancelled does not click when it comes up.
        const bool pressPending = std::exchange(m_mouseDown, false);
        const bool inside = pressPending && p.x() > 0 && p.y() > 0 && p.x() < width() && p.y() < height();
        if (inside) {
            if (m_props.mode == lum::ModeCheck) {
                m_props.value = !m_props.value;
            } else if (m_props.mode == lum::ModeOption) {
                clearOptionGroup();
                m_props.value = true;
            }
        }
        setState(lum::StateNormal);
        update();
        if (inside)
            emit clicked();
    }
    if (self)
        emit mouseReleased(button, shift, float(p.x()), float(p.y()));
}

void LumButton::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    setState(lum::StateDown);
    pressed(m_lastButton == Qt::NoButton ? event->button() : m_lastButton, m_lastModifiers, m_lastPos);
    if (!m_menuAttached)
        emit doubleClicked();
}

void LumButton::moved(const QPointF& pos)
{
    const bool over = rect().contains(pos.toPoint());
    m_mouseOver = over;
    if (over)
        emit mouseEntered();
    if (m_spaceDown)
        return;
    if (over && !m_mouseDown) {
        if (m_state != lum::StateHot) {
            setState(lum::StateHot);
            showToolTip();
        }
    } else if (over) {
        setState(lum::StateDown);
    } else {
        setState(lum::StateNormal);
    }
}

void LumButton::mouseMoveEvent(QMouseEvent* event)
{
    moved(event->position());
}

void LumButton::enterEvent(QEnterEvent* event)
{
    moved(event->position());
}

void LumButton::leaveEvent(QEvent*)
{
    m_mouseOver = false;
    hideToolTip();
    if (m_menuAttached) {
        if (m_menuShown) {
            m_menuShown = false;
            m_menuShowing = true;
            return;
        }
        m_menuShowing = false;
    }
    if (!m_spaceDown) {
        setState(lum::StateNormal);
        emit mouseLeft();
    }
}

void LumButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const int shift = shiftState(event->modifiers());
    // Alt alone opens the way to Alt+Space and access keys; the button leaves it to the window.
    if (key == Qt::Key_Alt) {
        QWidget::keyPressEvent(event);
        return;
    }
    QPointer<LumButton> self(this);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit clicked();
        break;
    case Qt::Key_Space:
        event->accept();
        if (event->modifiers() & Qt::AltModifier)
            return;
        if (m_mouseDown) {
            setState(m_mouseOver ? lum::StateDown : lum::StateNormal);
        } else if (!event->isAutoRepeat()) {
            // A held key repeats; only its first press toggles a check or option button.
            m_spaceDown = true;
            if (m_props.mode == lum::ModeCheck) {
                m_props.value = !m_props.value;
            } else if (m_props.mode == lum::ModeOption) {
                clearOptionGroup();
                m_props.value = true;
            }
            setState(lum::StateDown);
            update();
        }
        break;
    case Qt::Key_Left:
    case Qt::Key_Up:
        // Arrows walk the controls as Shift+Tab and Tab do.
        event->accept();
        focusNextPrevChild(false);
        break;
    case Qt::Key_Right:
    case Qt::Key_Down:
        event->accept();
        focusNextPrevChild(true);
        break;
    default:
        if (m_spaceDown) {
            m_spaceDown = false;
            setState(lum::StateNormal);
        }
        // Esc, Tab and the rest still reach the window.
        QWidget::keyPressEvent(event);
        break;
    }
    if (!self)
        return;
    emit keyPressed(keyCode(key), shift);
    if (self && !event->text().isEmpty() && event->text().at(0).unicode() != 0)
        emit characterTyped(event->text().at(0).unicode());
}

void LumButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat() || (event->modifiers() & Qt::AltModifier)) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    QPointer<LumButton> self(this);
    const int shift = shiftState(event->modifiers());
    if (!(m_mouseOver && m_mouseDown)) {
        setState(m_mouseOver ? lum::StateHot : lum::StateNormal);
        if (!m_mouseDown && m_spaceDown) {
            m_spaceDown = false;
            emit clicked();
            if (!self)
                return;
        }
    }
    emit keyReleased(32, shift);
    if (!self)
        return;
    m_spaceDown = false;
    m_mouseDown = false;
}

void LumButton::focusInEvent(QFocusEvent* event)
{
    m_hasFocus = true;
    QWidget::focusInEvent(event);
}

void LumButton::focusOutEvent(QFocusEvent* event)
{
    m_hasFocus = false;
    m_mouseDown = false;
    m_spaceDown = false;
    setState(m_parentActive && m_mouseOver ? lum::StateHot : lum::StateNormal);
    update();
    QWidget::focusOutEvent(event);
}

void LumButton::changeEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ActivationChange:
        // Only a button that is a window of its own gets this.
        windowActivationChanged(isActiveWindow());
        break;
    case QEvent::EnabledChange:
        m_props.enabled = isEnabled();
        m_mouseDown = false;
        m_spaceDown = false;
        setState(lum::StateNormal);
        update();
        break;
    case QEvent::FontChange:
        m_props.font = font();
        changed();
        break;
    case QEvent::PaletteChange:
    case QEvent::StyleChange:
        update();
        break;
    default:
        break;
    }
    QWidget::changeEvent(event);
}

void LumButton::windowActivationChanged(bool active)
{
    if (active) {
        m_parentActive = true;
    } else {
        m_mouseDown = false;
        m_spaceDown = false;
        m_hasFocus = false;
        m_parentActive = false;
        hideToolTip();
    }
    setState(lum::StateNormal);
    update();
}

void LumButton::showMenu()
{
    if (!m_menu)
        return;
    const int w = width(), h = height();
    QPoint at;
    int flags = m_menuFlags;
    switch (m_menuAlign) {
    case 0:
        at = {0, h};
        break;
    case 1:
        at = {0, 0}, flags = 0x20;
        break;
    case 2:
        at = {0, 0}, flags |= 8;
        break;
    case 3:
        at = {w, 0};
        break;
    case 4:
        at = {0, 0}, flags = 0x28;
        break;
    case 5:
        at = {0, h}, flags |= 8;
        break;
    case 6:
        at = {w, 0}, flags = 0x20;
        break;
    case 7:
        at = {w, h};
        break;
    default:
        return;
    }
    const QSize menuSize = m_menu->sizeHint();
    if (flags & 8)
        at.rx() -= menuSize.width();
    if (flags & 0x20)
        at.ry() -= menuSize.height();
    if (m_menuDefault)
        m_menu->setDefaultAction(m_menuDefault);
    m_menuShown = true;
    QPointer<LumButton> self(this);
    m_menu->exec(mapToGlobal(at));
    if (!self)
        return;
    if (rect().contains(mapFromGlobal(QCursor::pos()))) {
        m_menuShowing = true;
        return;
    }
    m_mouseDown = false;
    m_mouseOver = false;
    m_spaceDown = false;
    m_menuShowing = false;
    m_menuShown = false;
    setState(lum::StateNormal);
    update();
}

void LumButton::showToolTip()
{
    if (!isEnabled() || m_menuShowing || m_state == lum::StateDown)
        return;
    hideToolTip();
    if (m_props.toolTip.isEmpty() && m_props.tooltipTitle.isEmpty())
        return;
    LumButtonToolTip::Content content;
    content.text = m_props.toolTip;
    content.title = m_props.tooltipTitle;
    content.icon = m_props.toolTipIcon;
    content.balloon = m_props.toolTipType == lum::TipBalloon;
    content.rightToLeft = m_props.rightToLeft;
    if (m_props.tooltipBackColor != 0)
        content.background = QColor(lumcolor::toRgb(lumcolor::translateColor(m_props.tooltipBackColor, palette())));
    m_toolTip = new LumButtonToolTip(content, this);
    m_toolTip->showSoon();
}

void LumButton::hideToolTip()
{
    if (m_toolTip) {
        m_toolTip->hide();
        m_toolTip->deleteLater();
        m_toolTip = nullptr;
    }
}

} // namespace zelvora
