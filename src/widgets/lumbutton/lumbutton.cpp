#include "widgets/lumbutton/lumbutton.h"

#include "widgets/lumbutton/lumbuttonpainter.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>

namespace zelvora {

LumButton::LumButton(QWidget* parent)
    : LumButton(QString(), parent)
{
}

LumButton::LumButton(const QString& caption, QWidget* parent)
    : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setCaption(caption);
}

LumButton::~LumButton() = default;

void LumButton::setCaption(const QString& caption)
{
    m_caption = caption;
    m_accessKey = accessKeyOf(caption);
    updateShortcut();
    setAccessibleName(plainCaption());
    updateGeometry();
    update();
    QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

QString LumButton::plainCaption() const
{
    QString text;
    for (qsizetype i = 0; i < m_caption.size(); ++i) {
        if (m_caption.at(i) == QLatin1Char('&')) {
            if (i + 1 < m_caption.size() && m_caption.at(i + 1) == QLatin1Char('&'))
                text += m_caption.at(++i);
            continue;
        }
        text += m_caption.at(i);
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

QSize LumButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    const QSize text = metrics.size(Qt::TextShowMnemonic, m_caption);
    return {qMax(75, text.width() + 20), qMax(25, text.height() + 10)};
}

QSize LumButton::minimumSizeHint() const
{
    return {20, 20};
}

void LumButton::click()
{
    if (isEnabled())
        emit clicked();
}

void LumButton::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    update();
}

bool LumButton::event(QEvent* event)
{
    if (event->type() == QEvent::Shortcut) {
        const auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == m_shortcutId && isEnabled()) {
            m_spaceDown = false;
            m_mouseDown = false;
            setState(State::Normal);
            emit clicked();
            return true;
        }
    }
    return QWidget::event(event);
}

void LumButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    LumButtonPainter::paint(painter, rect(), {m_caption, font(), m_state, isEnabled(), hasFocus()});
}

void LumButton::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_mouseDown = true;
        if (!m_spaceDown)
            setState(State::Down);
    }
    event->accept();
}

void LumButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    m_mouseDown = false;
    const QPointF p = event->position();
    const bool inside = p.x() > 0 && p.y() > 0 && p.x() < width() && p.y() < height();
    setState(inside && m_mouseOver ? State::Hot : State::Normal);
    event->accept();
    if (inside)
        emit clicked();
}

void LumButton::mouseMoveEvent(QMouseEvent* event)
{
    if (m_spaceDown)
        return;
    const bool over = rect().contains(event->position().toPoint());
    if (m_mouseDown)
        setState(over ? State::Down : State::Normal);
    else
        setState(over ? State::Hot : State::Normal);
}

void LumButton::enterEvent(QEnterEvent*)
{
    m_mouseOver = true;
    if (!m_spaceDown)
        setState(m_mouseDown ? State::Down : State::Hot);
}

void LumButton::leaveEvent(QEvent*)
{
    m_mouseOver = false;
    if (!m_spaceDown)
        setState(State::Normal);
}

void LumButton::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        emit clicked();
        return;
    case Qt::Key_Space:
        if (event->modifiers() & Qt::AltModifier) {
            event->accept();
            return;
        }
        if (!event->isAutoRepeat() && !m_mouseDown) {
            m_spaceDown = true;
            setState(State::Down);
        }
        event->accept();
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        // Arrows walk the controls as Shift+Tab and Tab do.
        event->accept();
        focusNextPrevChild(false);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        event->accept();
        focusNextPrevChild(true);
        return;
    default:
        if (m_spaceDown) {
            m_spaceDown = false;
            setState(State::Normal);
        }
        QWidget::keyPressEvent(event);
    }
}

void LumButton::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Space || event->isAutoRepeat()) {
        QWidget::keyReleaseEvent(event);
        return;
    }
    event->accept();
    const bool pressedHere = m_spaceDown && !m_mouseDown;
    m_spaceDown = false;
    setState(m_mouseOver ? State::Hot : State::Normal);
    if (pressedHere)
        emit clicked();
}

void LumButton::focusOutEvent(QFocusEvent* event)
{
    m_mouseDown = false;
    m_spaceDown = false;
    setState(m_mouseOver && window()->isActiveWindow() ? State::Hot : State::Normal);
    update();
    QWidget::focusOutEvent(event);
}

void LumButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        m_mouseDown = false;
        m_spaceDown = false;
        setState(State::Normal);
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace zelvora
