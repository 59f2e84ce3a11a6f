#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/contracts/basewidget.h"

namespace Omra {

// A status is also the index of the state's picture and of the per-state colour keys.
enum EFloatButtonStatus {
    FloatButtonNormal = 0,
    FloatButtonHover = 1,
    FloatButtonDown = 2,
    FloatButtonDisabled = 3,
};

enum EFloatButtonDownStyle {
    FloatButtonDownNone = 0,   // push button: down only while pressed
    FloatButtonDownToggle = 1, // each click flips between down and up
    FloatButtonDownSticky = 2, // stays down once pressed
};

// Any other value (a fresh button has -1) leaves the icon unpainted.
enum EIconAlign {
    IconAlignBefore = 0, // left of the caption, or above a vertical caption
    IconAlignAfter = 1,  // right of the caption, or below a vertical caption
};

// A custom-painted button that is a translucent frameless window of its own, floating over
// its parent window. It reports press (1), move (2), click (5, param the status after the
// release) and leave (7) to the parent's window through the event bus, with its id and
// itself as the data.
class DIALOG_EXPORT CFloatButton : public CCustomDialog
{
public:
    // imageKey names the nine-grid background with its four margins.
    CFloatButton(const char* imageKey, int id, int left, int top, int right, int bottom,
                 QWidget* parent = nullptr);
    ~CFloatButton() override;

    QSize minimumSizeHint() const override;

    int getID() const { return buttonId; }
    EFloatButtonStatus getButtonStatus() const { return EFloatButtonStatus(status); }
    QString getText() const { return caption.text; }

    void setButtonStatus(EFloatButtonStatus buttonStatus);
    void setAutoDown(EFloatButtonDownStyle style);
    EFloatButtonDownStyle getAutoDown() const { return EFloatButtonDownStyle(downStyle); }
    void setHorizontalText(bool horizontal);
    void setText(QString text);
    void setTextInfo(QString normalKey, QString hoverKey, QString downKey, QString disabledKey,
                     QString textFontKey);
    void setShadowInfo(int offsetX, int offsetY, QString normalKey, QString hoverKey,
                       QString downKey, QString disabledKey);
    void setTextMargin(int left, int top, int right, int bottom);
    void setUnderlineInfo(int width, int offset);
    void setIcon(QString imageKey, EIconAlign align, int spacing);
    void clearIcon();
    // Plain background, scaled to the window.
    void setImage(QString imageKey);
    void setJiuGongImage(QString imageKey, int left, int top, int right, int bottom);
    // Swaps the picture of the current background and keeps the window's size.
    void setJiuGongImage(QString imageKey);

    // Extent of icon and caption along the writing direction, without the text margins.
    int getMinWidth() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    // Space, Enter and Return click the focused button as the mouse does; Esc does not
    // hide it (it is a window of its own, but no dialog to reject).
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

    void switchStatusTo(EFloatButtonStatus buttonStatus);
    QString getColorKey() const;
    QString getShadowColorKey() const;
    bool showUnderline() const { return underlineWidth > 0; }
    QSize getExpectedSize() const;
    void drawIconAndTextHorizontal(QPainter* painter);
    void drawIconAndTextVertical(QPainter* painter);

    // Deliberately not the QHideEvent handler: hiding keeps the window's own handling.
    using CCustomDialog::hideEvent;
    void hideEvent(QEvent* event);

    int buttonId;
    bool horizontalText = true;
    bool shadowEnabled = false;
    int downStyle = FloatButtonDownNone;
    CSpaceInfo textMargin{0, 0, 0, 0};
    CNStateGridImage* background = nullptr;
    CNStateImage* icon = nullptr;
    CSimpleText caption;
    CSimpleText shadowCaption;
    int status = FloatButtonNormal;
    int statusAtPress = FloatButtonNormal;
    int iconAlign = -1;
    int iconSpacing = 0;
    QString fontKey;
    int underlineWidth = 0;
    int underlineOffset = 0;
    int shadowOffsetX = 0;
    int shadowOffsetY = 0;
    QString textColorKeys[4];
    QString shadowColorKeys[4];

private:
    bool emphasis() const;
    // The caption's characters, each measured on its own as the vertical layout stacks them.
    CSimpleText characterText(const CSimpleText& text, int index) const;
};

} // namespace Omra
