#pragma once

#include "uibase/dialog/dialog_global.h"

#include "uibase/dialog/contracts/basewidget.h"

namespace Omra {

/// \brief State of a CFloatButton.
enum EFloatButtonStatus {
    /// Idle.
    FloatButtonNormal = 0,
    /// The mouse is over the button.
    FloatButtonHover = 1,
    /// Pressed, or held down by the down style.
    FloatButtonDown = 2,
    /// Disabled: the button ignores the mouse and sends nothing.
    FloatButtonDisabled = 3,
};

/// \brief How a CFloatButton stays down.
enum EFloatButtonDownStyle {
    /// Push button: down only while pressed.
    FloatButtonDownNone = 0, // push button: down only while pressed
    /// Toggle: each click flips between down and up.
    FloatButtonDownToggle = 1, // each click flips between down and up
    /// Sticky: stays down once pressed; only setButtonStatus() or an enabled change
    /// brings it up again.
    FloatButtonDownSticky = 2, // stays down once pressed
};

/// \brief Place of a CFloatButton's icon relative to its caption.
enum EIconAlign {
    /// Left of the caption, or above a vertical caption.
    IconAlignBefore = 0, // left of the caption, or above a vertical caption
    /// Right of the caption, or below a vertical caption.
    IconAlignAfter = 1, // right of the caption, or below a vertical caption
};

/// \brief Custom-painted button that is a translucent frameless window of its own.
///
/// The button floats over its parent window and names no theme key of its own: the caller
/// gives the background (a four-state picture strip: normal, hover, down, disabled, plain or
/// nine-grid), an optional icon strip, the caption's font and per-state colours, an optional
/// caption shadow and an optional dashed underline drawn in the down state. The window takes
/// the background picture's size.
///
/// It has no Qt signals. It reports to the nearest event handler of its parent's window
/// (CEventDeliverer::handleEvent) as (type, id, param, "", this button):
/// | type | when | param |
/// |---|---|---|
/// | 1 | a press is accepted (the button goes down) | 0 |
/// | 2 | the mouse moves over it, while neither down nor disabled | 0 |
/// | 5 | a release inside the button: a click | the status after the release |
/// | 7 | the mouse leaves it, while neither down nor disabled | 0 |
///
/// A release outside sends nothing. A disabled button sends nothing at all.
///
/// \image html floatbutton-mixed.png "Float buttons in several states"
class DIALOG_EXPORT CFloatButton : public CCustomDialog
{
public:
    /// Builds the button with a nine-grid background.
    /// \param imageKey theme image key of the four-state background strip.
    /// \param id the id sent with every event (getID()).
    /// \param left,top,right,bottom the nine-grid margins of one picture, in pixels.
    /// \param parent the window the button floats over and reports to, or null.
    CFloatButton(const char* imageKey, int id, int left, int top, int right, int bottom,
                 QWidget* parent = nullptr);
    /// Destroys the button with its pictures.
    ~CFloatButton() override;

    /// Caption (in the state's emphasis) plus icon and spacing, laid out in the writing
    /// direction; the text margins are not included.
    QSize minimumSizeHint() const override;

    /// The id given to the constructor.
    int getID() const { return buttonId; }
    /// The current state.
    EFloatButtonStatus getButtonStatus() const { return EFloatButtonStatus(status); }
    /// The caption.
    QString getText() const { return caption.text; }

    /// Puts the button in \a buttonStatus and enables it unless that is
    /// FloatButtonDisabled. Enabling a disabled button leaves it FloatButtonNormal whatever
    /// was asked. Sends no event. A value outside the four states is ignored.
    void setButtonStatus(EFloatButtonStatus buttonStatus);
    /// Sets the down style (FloatButtonDownNone at first); the current state is kept.
    void setAutoDown(EFloatButtonDownStyle style);
    /// The down style set last.
    EFloatButtonDownStyle getAutoDown() const { return EFloatButtonDownStyle(downStyle); }
    /// true (the default): caption on one line; false: one character per line, stacked.
    void setHorizontalText(bool horizontal);
    /// Sets the caption (and its shadow's text).
    void setText(QString text);
    /// Sets the caption's colour keys for the four states and its font key (also the
    /// shadow's font). Unknown keys fall back to the theme's defaults.
    void setTextInfo(QString normalKey, QString hoverKey, QString downKey, QString disabledKey,
                     QString textFontKey);
    /// Turns the caption shadow on (for good): the caption drawn again, \a offsetX,
    /// \a offsetY pixels away and under it, in the colour key of the current state.
    void setShadowInfo(int offsetX, int offsetY, QString normalKey, QString hoverKey,
                       QString downKey, QString disabledKey);
    /// Insets of the caption area from the window's edges, in pixels (0 at first); the icon
    /// and caption are centred in that area. Takes effect at the next repaint.
    void setTextMargin(int left, int top, int right, int bottom);
    /// Dashed underline under icon and caption in the down state: pen \a width in pixels
    /// (0, the default, for none) and \a offset extra pixels below the caption. A width
    /// above 0 also draws the caption with emphasis in the hover and down states.
    void setUnderlineInfo(int width, int offset);
    /// Sets the icon: \a imageKey a four-state strip, \a align its side, \a spacing the
    /// pixels between icon and caption. An icon that would start left of or above the
    /// window's edge, when the block is wider than the caption area, is not drawn.
    void setIcon(QString imageKey, EIconAlign align, int spacing);
    /// Removes the icon.
    void clearIcon();
    /// Replaces the background by the plain (scaled) four-state strip \a imageKey and resizes
    /// the window to one picture.
    void setImage(QString imageKey);
    /// Replaces the background by the nine-grid strip \a imageKey with the margins
    /// \a left, \a top, \a right, \a bottom and resizes the window to one picture.
    void setJiuGongImage(QString imageKey, int left, int top, int right, int bottom);
    /// Swaps the picture of the current background for \a imageKey, keeping the window's size
    /// and the background's kind.
    void setJiuGongImage(QString imageKey);

    /// Extent of icon, spacing and caption along the writing direction, in pixels, without
    /// the text margins; 0 for an empty caption without icon.
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
    // The height of the caption with its characters stacked downwards, each measured alone.
    int stackedCaptionHeight() const;
};

} // namespace Omra
