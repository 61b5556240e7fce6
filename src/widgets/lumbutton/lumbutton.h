#pragma once

#include <QChar>
#include <QWidget>

namespace zelvora {

// The program's own push button. Raises clicked() after a left release strictly inside, on Enter while
// it has the focus, on Space when the key comes up, and on its access key ("&" in the caption).
// A disabled button paints greyed and raises nothing.
class LumButton final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)

public:
    enum class State { Normal, Hot, Down };

    explicit LumButton(QWidget* parent = nullptr);
    LumButton(const QString& caption, QWidget* parent);
    ~LumButton() override;
    Q_DISABLE_COPY_MOVE(LumButton)

    QString caption() const { return m_caption; }
    void setCaption(const QString& caption);

    // The caption as a person reads it: without "&" marks and surrounding blanks.
    QString plainCaption() const;
    QChar accessKey() const { return m_accessKey; }
    State state() const { return m_state; }

    // The access key of a caption: the character after the first single "&", in lower case.
    static QChar accessKeyOf(const QString& caption);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Raises clicked() as a click would, when enabled (automation and default buttons use it).
    void click();

signals:
    void clicked();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setState(State state);
    void updateShortcut();

    QString m_caption;
    QChar m_accessKey;
    int m_shortcutId = 0;
    State m_state = State::Normal;
    bool m_mouseDown = false;
    bool m_spaceDown = false;
    bool m_mouseOver = false;
};

} // namespace zelvora
