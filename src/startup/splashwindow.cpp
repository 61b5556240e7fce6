// SPDX-License-Identifier: GPL-3.0-or-later
#include "startup/splashwindow.h"

#include "data/database.h"
#include "data/installedversion.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>

namespace zelvora {

namespace {

constexpr int kMargin = 5;
// What the splash says while the program loads.
const QString kLoading = QStringLiteral("Program Yükleniyor.....");

// The framed picture. It takes the clicks that land on it, so only the thin background around it closes
// the splash.
class SplashPicture final : public QWidget
{
public:
    explicit SplashPicture(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_NoMousePropagation);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { event->accept(); }

    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        QLinearGradient sky(r.topLeft(), r.bottomRight());
        sky.setColorAt(0, QColor(0xFD, 0xF8, 0xEE));
        sky.setColorAt(1, QColor(0xF2, 0xE3, 0xC6));
        p.fillRect(r, sky);

        // A ledger: the shop's credit book.
        const QRectF book(28, 40, 120, 150);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7A, 0x1F, 0x1F));
        p.drawRoundedRect(book.translated(6, 6), 8, 8);
        p.setBrush(QColor(0xA8, 0x2C, 0x2C));
        p.drawRoundedRect(book, 8, 8);
        p.setBrush(QColor(0xFF, 0xFB, 0xF2));
        p.drawRoundedRect(book.adjusted(14, 14, -10, -14), 4, 4);
        p.setPen(QPen(QColor(0xB9, 0xA9, 0x8A), 2));
        for (int i = 0; i < 6; ++i) {
            const qreal y = book.top() + 36 + i * 17;
            p.drawLine(QPointF(book.left() + 24, y), QPointF(book.right() - 20, y));
        }
        p.setPen(QPen(QColor(0xC0, 0x00, 0x00), 3));
        p.drawLine(QPointF(book.left() + 50, book.top() + 24), QPointF(book.left() + 50, book.bottom() - 22));

        QFont title(QStringLiteral("Trebuchet MS"), 34, QFont::Bold);
        p.setFont(title);
        p.setPen(QColor(0x5A, 0x17, 0x17));
        p.drawText(QRectF(175, 38, r.width() - 185, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Zelvora"));
        QFont subtitle(QStringLiteral("Trebuchet MS"), 13);
        p.setFont(subtitle);
        p.setPen(QColor(0x4A, 0x3B, 0x2A));
        p.drawText(QRectF(178, 98, r.width() - 188, 26), Qt::AlignLeft | Qt::AlignVCenter,
                   QStringLiteral("Veresiye Defteri"));
        p.setPen(QPen(QColor(0xC0, 0x00, 0x00), 2));
        p.drawLine(QPointF(178, 130), QPointF(r.width() - 30, 130));

        p.setPen(QColor(0x99, 0x88, 0x70));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

} // namespace

SplashWindow::SplashWindow(const Database& db, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint)
    , m_db(db)
{
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(496, 261);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    auto* picture = new SplashPicture(this);
    picture->setObjectName(QStringLiteral("splashPicture"));
    picture->setGeometry(rect().adjusted(kMargin, kMargin, -kMargin, -kMargin));

    const QFont trebuchet(QStringLiteral("Trebuchet MS"), 10, QFont::Bold);
    m_loading = new QLabel(kLoading, picture);
    m_loading->setObjectName(QStringLiteral("loadingLabel"));
    m_loading->setFont(trebuchet);
    m_loading->setStyleSheet(QStringLiteral("color: rgb(192, 0, 0);"));
    m_loading->setGeometry(230, 215, 250, 22);

    auto* versionLabel = new QLabel(QStringLiteral("Version             "), picture);
    versionLabel->setObjectName(QStringLiteral("versionLabel"));
    versionLabel->setFont(QFont(QStringLiteral("Trebuchet MS"), 9));
    versionLabel->setGeometry(300, 188, 110, 20);
    m_versionDisplay = new QLabel(QStringLiteral("x.x.x"), picture);
    m_versionDisplay->setObjectName(QStringLiteral("versionDisplay"));
    m_versionDisplay->setFont(QFont(QStringLiteral("Trebuchet MS"), 9, QFont::Bold));
    m_versionDisplay->setGeometry(400, 188, 80, 20);
    versionLabel->setBuddy(m_versionDisplay);

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());

    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    m_timer->setInterval(CloseAfterMs);
    connect(m_timer, &QTimer::timeout, this, &SplashWindow::startClosing);
    m_timer->start();
}

SplashWindow::~SplashWindow() = default;

bool SplashWindow::readVersion(QString* error)
{
    const std::optional<QString> version = installedVersion(m_db, error);
    if (!version)
        return false;
    // No row: the display stays empty and start-up goes on.
    m_versionDisplay->setText(*version);
    return true;
}

QString SplashWindow::versionText() const
{
    return m_versionDisplay->text();
}

void SplashWindow::holdOpen(const QString& status)
{
    m_held = true;
    m_loading->setText(status);
}

void SplashWindow::letGo()
{
    if (!m_held)
        return;
    m_held = false;
    m_loading->setText(kLoading);
    if (m_closeWanted)
        startClosing();
}

QString SplashWindow::statusText() const
{
    return m_loading->text();
}

void SplashWindow::startClosing()
{
    if (m_held) {
        m_closeWanted = true;
        return;
    }
    if (m_closing)
        return;
    m_closing = true;
    m_timer->stop();
    hide();
    emit closing();
}

void SplashWindow::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape)
        startClosing();
    event->accept();
}

void SplashWindow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        startClosing();
    event->accept();
}

void SplashWindow::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    // While held open another connection may be writing the file: the version read at the start stands.
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_closing && !m_held)
        readVersion();
}

} // namespace zelvora
