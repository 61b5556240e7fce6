// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "widgets/lumbutton/lumbuttonproperties.h"

#include <QChar>
#include <QImage>
#include <QPointer>
#include <QWidget>

#include <QAction>
#include <QMenu>

namespace zelvora {

class LumButtonToolTip;
class LumPropertyBag;

// The program's own push button. Raises clicked() after a left release strictly inside, on Enter while
// it has the focus, on Space when the key comes up, and on its access key ("&" in the caption).
// A disabled button paints greyed and raises nothing. Its look comes from its properties (style,
// colour scheme, pictures, caption effects), drawn by LumButtonPainter.
class LumButton final : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString caption READ caption WRITE setCaption)
    Q_PROPERTY(uint backColor READ backColor WRITE setBackColor)
    Q_PROPERTY(int buttonStyle READ buttonStyle WRITE setButtonStyle)
    Q_PROPERTY(int captionAlign READ captionAlign WRITE setCaptionAlign)
    Q_PROPERTY(int dropDownSymbol READ dropDownSymbol WRITE setDropDownSymbol)
    Q_PROPERTY(bool dropDownSeparator READ dropDownSeparator WRITE setDropDownSeparator)
    Q_PROPERTY(int disabledPictureMode READ disabledPictureMode WRITE setDisabledPictureMode)
    Q_PROPERTY(uint foreColor READ foreColor WRITE setForeColor)
    Q_PROPERTY(uint foreColorHover READ foreColorHover WRITE setForeColorHover)
    Q_PROPERTY(bool handPointer READ handPointer WRITE setHandPointer)
    Q_PROPERTY(uint maskColor READ maskColor WRITE setMaskColor)
    Q_PROPERTY(int mode READ mode WRITE setMode)
    Q_PROPERTY(int mousePointer READ mousePointer WRITE setMousePointer)
    Q_PROPERTY(int pictureAlign READ pictureAlign WRITE setPictureAlign)
    Q_PROPERTY(bool pictureShadow READ pictureShadow WRITE setPictureShadow)
    Q_PROPERTY(int pictureEffectOnOver READ pictureEffectOnOver WRITE setPictureEffectOnOver)
    Q_PROPERTY(int pictureEffectOnDown READ pictureEffectOnDown WRITE setPictureEffectOnDown)
    Q_PROPERTY(bool picturePushOnHover READ picturePushOnHover WRITE setPicturePushOnHover)
    Q_PROPERTY(int pictureOpacity READ pictureOpacity WRITE setPictureOpacity)
    Q_PROPERTY(int pictureOpacityOnOver READ pictureOpacityOnOver WRITE setPictureOpacityOnOver)
    Q_PROPERTY(bool rightToLeft READ rightToLeft WRITE setRightToLeft)
    Q_PROPERTY(int captionEffects READ captionEffects WRITE setCaptionEffects)
    Q_PROPERTY(bool showFocusRect READ showFocusRect WRITE setShowFocusRect)
    Q_PROPERTY(bool useMaskColor READ useMaskColor WRITE setUseMaskColor)
    Q_PROPERTY(bool value READ value WRITE setValue)
    Q_PROPERTY(QString tooltipTitle READ tooltipTitle WRITE setTooltipTitle)
    Q_PROPERTY(QString buttonToolTip READ buttonToolTip WRITE setButtonToolTip)
    Q_PROPERTY(uint tooltipBackColor READ tooltipBackColor WRITE setTooltipBackColor)
    Q_PROPERTY(int toolTipIcon READ toolTipIcon WRITE setToolTipIcon)
    Q_PROPERTY(int toolTipType READ toolTipType WRITE setToolTipType)
    Q_PROPERTY(int colorScheme READ colorScheme WRITE setColorScheme)

public:
    enum class State { Normal = lum::StateNormal, Hot = lum::StateHot, Down = lum::StateDown };

    explicit LumButton(QWidget* parent = nullptr);
    LumButton(const QString& caption, QWidget* parent);
    ~LumButton() override;
    Q_DISABLE_COPY_MOVE(LumButton)

    const LumButtonProperties& properties() const { return m_props; }

    QString caption() const { return m_props.caption; }
    void setCaption(const QString& caption);
    ColorRef backColor() const { return m_props.backColor; }
    void setBackColor(ColorRef colour);
    int buttonStyle() const { return m_props.buttonStyle; }
    void setButtonStyle(int style);
    int captionAlign() const { return m_props.captionAlign; }
    void setCaptionAlign(int align);
    int dropDownSymbol() const { return m_props.dropDownSymbol; }
    void setDropDownSymbol(int symbol);
    bool dropDownSeparator() const { return m_props.dropDownSeparator; }
    void setDropDownSeparator(bool on);
    int disabledPictureMode() const { return m_props.disabledPictureMode; }
    void setDisabledPictureMode(int mode);
    ColorRef foreColor() const { return m_props.foreColor; }
    void setForeColor(ColorRef colour);
    ColorRef foreColorHover() const { return m_props.foreColorHover; }
    void setForeColorHover(ColorRef colour);
    bool handPointer() const { return m_props.handPointer; }
    void setHandPointer(bool on);
    ColorRef maskColor() const { return m_props.maskColor; }
    void setMaskColor(ColorRef colour);
    int mode() const { return m_props.mode; }
    void setMode(int mode);
    QImage mouseIcon() const { return m_props.mouseIcon; }
    void setMouseIcon(const QImage& icon);
    int mousePointer() const { return m_props.mousePointer; }
    void setMousePointer(int pointer);
    LumPicture pictureNormal() const { return m_props.pictureNormal; }
    void setPictureNormal(const LumPicture& picture);
    LumPicture pictureHot() const { return m_props.pictureHot; }
    void setPictureHot(const LumPicture& picture);
    LumPicture pictureDown() const { return m_props.pictureDown; }
    void setPictureDown(const LumPicture& picture);
    int pictureAlign() const { return m_props.pictureAlign; }
    void setPictureAlign(int align);
    bool pictureShadow() const { return m_props.pictureShadow; }
    void setPictureShadow(bool on);
    int pictureEffectOnOver() const { return m_props.pictureEffectOnOver; }
    void setPictureEffectOnOver(int effect);
    int pictureEffectOnDown() const { return m_props.pictureEffectOnDown; }
    void setPictureEffectOnDown(int effect);
    bool picturePushOnHover() const { return m_props.picturePushOnHover; }
    void setPicturePushOnHover(bool on);
    int pictureOpacity() const { return m_props.pictureOpacity; }
    void setPictureOpacity(int opacity);
    int pictureOpacityOnOver() const { return m_props.pictureOpacityOnOver; }
    void setPictureOpacityOnOver(int opacity);
    bool rightToLeft() const { return m_props.rightToLeft; }
    void setRightToLeft(bool on);
    int captionEffects() const { return m_props.captionEffects; }
    void setCaptionEffects(int effects);
    bool showFocusRect() const { return m_props.showFocusRect; }
    void setShowFocusRect(bool on);
    bool useMaskColor() const { return m_props.useMaskColor; }
    void setUseMaskColor(bool on);
    bool value() const { return m_props.value; }
    void setValue(bool value);
    QString tooltipTitle() const { return m_props.tooltipTitle; }
    void setTooltipTitle(const QString& title);
    // The button's own tooltip text (`ToolTip`); QWidget's toolTip is the container's.
    QString buttonToolTip() const { return m_props.toolTip; }
    void setButtonToolTip(const QString& text);
    ColorRef tooltipBackColor() const { return m_props.tooltipBackColor; }
    void setTooltipBackColor(ColorRef colour);
    int toolTipIcon() const { return m_props.toolTipIcon; }
    void setToolTipIcon(int icon);
    int toolTipType() const { return m_props.toolTipType; }
    void setToolTipType(int type);
    int colorScheme() const { return m_props.colorScheme; }
    void setColorScheme(int scheme);

    // Whether the container marks this button as its default button.
    bool isDefault() const { return m_isDefault; }
    void setDefault(bool on);

    // Attaches a drop-down menu opened by a press; align 0 to 7 places it around the button.
    void setPopupMenu(QMenu* menu, int align = 0, int flags = 0, QAction* defaultItem = nullptr);
    void unsetPopupMenu();
    QMenu* popupMenu() const { return m_menu; }

    // Hands the address to the desktop's default handler.
    void openWebsite(const QString& address);
    // An information box about the control.
    void about();

    // Stored properties: written in their fixed order, read back with the Absent value for
    // anything missing or unusable; stored colours win over the scheme.
    void writeProperties(LumPropertyBag& bag) const;
    void readProperties(const LumPropertyBag& bag);

    // The caption as a person reads it: without "&" marks and surrounding blanks.
    QString plainCaption() const;
    QChar accessKey() const { return m_accessKey; }
    State state() const { return State(m_state); }
    LumButtonToolTip* toolTipWindow() const { return m_toolTip; }

    // The access key of a caption: the character after the first single "&", in lower case.
    static QChar accessKeyOf(const QString& caption);
    // The smallest side a button takes: 220 twips.
    static constexpr int MinimumSide = 15;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Raises clicked() as the access key would, when enabled (automation and default buttons use
    // it); a check button toggles and an option button is set first.
    void click();

signals:
    void clicked();
    void doubleClicked();
    void mouseEntered();
    void mouseLeft();
    // Declared for completeness; like the original control it is never raised.
    void mouseMoved(int button, int shift, float x, float y);
    void mousePressed(int button, int shift, float x, float y);
    void mouseReleased(int button, int shift, float x, float y);
    void keyPressed(int keyCode, int shift);
    void keyReleased(int keyCode, int shift);
    void characterTyped(int keyAscii);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void setState(int state);
    void changed();
    void updateShortcut();
    void updateShape();
    void updateCursor();
    void clearOptionGroup();
    void pressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, const QPointF& pos);
    void moved(const QPointF& pos);
    void activateFromKey();
    void showMenu();
    void showToolTip();
    void hideToolTip();
    // The window around the button became active or inactive.
    void windowActivationChanged(bool active);

    LumButtonProperties m_props;
    QChar m_accessKey;
    int m_shortcutId = 0;
    int m_state = lum::StateNormal;
    bool m_mouseDown = false;
    bool m_mouseOver = false;
    bool m_hasFocus = false;
    bool m_spaceDown = false;
    bool m_parentActive = false;
    bool m_isDefault = false;
    Qt::MouseButton m_lastButton = Qt::NoButton;
    Qt::KeyboardModifiers m_lastModifiers;
    QPointF m_lastPos;
    QPointer<QMenu> m_menu;
    QPointer<QAction> m_menuDefault;
    int m_menuAlign = 0;
    int m_menuFlags = 0;
    bool m_menuAttached = false;
    bool m_menuShowing = false;
    bool m_menuShown = false;
    LumButtonToolTip* m_toolTip = nullptr;
    QImage m_surface;
};

} // namespace zelvora
