#pragma once

// The skeleton the message box and the countdown dialog share: the icon table, the row of
// buttons, the sizes their layouts are built from, the painted client area with its icon,
// and the cascade of windows shown at the same time. Private to the library.

#include "uibase/dialog/contracts/basewidget.h"

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QPoint>
#include <QSet>
#include <QSize>

#include <array>

class QDialog;
class QPainter;

namespace Omra {
namespace detail {

// Message texts wrap at this width.
constexpr int maxMessageTextWidth = 700;
// Neither dialog is narrower than this.
constexpr int minMessageDialogWidth = 350;
constexpr int messageButtonHeight = 29;

// The theme picture of the icon, copied now; a null pixmap for NoIcon and unknown values.
QPixmap messageIcon(QMessageBox::Icon icon);

// A word-wrapped message text in the given font, named `objectName`.
CSimpleTextWidget* makeMessageText(QWidget* dialog, const char* objectName, const char* fontKey,
                                   const QString& text);

// A button of a dialog's row: `width` x 29, positive or negative looking, named "button<id>".
CPushButton* makeRowButton(QWidget* dialog, const QString& text, bool positive, int id, int width);

// Adds a button to the end of a dialog's row unless its text is empty, and its id to the
// ids whose click ends the dialog; id -1 takes the number of ids so far. Returns the button,
// or null.
CPushButton* addRowButton(QWidget* dialog, QList<CPushButton*>& row, QSet<int>& closingIds,
                          const QString& text, bool positive, int id, int width);

// One of the three caller-given buttons: its text, its look and its id.
struct CustomButton
{
    QString text;
    bool positive;
    int id;
};

// The caller-given buttons, left to right, with the ids 1, 2 and 3; without a style they look
// positive, negative, positive.
template <typename ButtonStyle>
std::array<CustomButton, 3> customButtons(const ButtonStyle* style, const QString& firstText,
                                          const QString& secondText, const QString& thirdText)
{
    const ButtonStyle defaults;
    const ButtonStyle& looks = style ? *style : defaults;
    return {CustomButton{firstText, looks.firstStyle == 0, 1},
            CustomButton{secondText, looks.secondStyle == 0, 2},
            CustomButton{thirdText, looks.thirdStyle == 0, 3}};
}

// A text widget's width capped for wrapping, and its height at that width; (0, 0) for none.
QSize cappedTextSize(const CSimpleTextWidget* text);

// Width of a row of buttons with `gap` between them, and the tallest button's height.
QSize buttonRowSize(const QList<CPushButton*>& row, int gap);

// What a message layout is measured from: the frame of the dialog base, the theme's spacing
// and the icon at the left.
struct MessageLayout
{
    int frameMargin;
    int titleBarHeight;
    int margin;    // inside the client area
    int iconGap;   // between the icon and the text
    int buttonGap; // between two buttons of the row
    int lineGap;   // between the text and what stands below it
    QSize icon;    // as laid out: a 2x picture takes what its 1x one does

    // The icon with its gap: the column left of the text.
    int iconColumn() const { return icon.width() + iconGap; }
    int contentLeft() const { return frameMargin + margin; }
    int contentTop() const { return frameMargin + titleBarHeight + margin; }
    int textLeft() const { return contentLeft() + iconColumn(); }
    // The dialog's size around content of the given size: frame and margin on every side,
    // and the title bar.
    int outerWidth(int contentWidth) const { return contentWidth + 2 * (frameMargin + margin); }
    int outerHeight(int contentHeight) const
    {
        return contentHeight + 2 * (frameMargin + margin) + titleBarHeight;
    }
};
MessageLayout messageLayout(const QPixmap& icon, int frameMargin, int titleBarHeight);

// Fills the client area and returns where the icon is drawn: at the content's top-left
// corner, raised a little so that it lines up with the first line of text. Pictures drawn
// after it are filtered when a 2x picture is scaled on a screen of fractional ratio.
QPoint paintMessageClientArea(QPainter& painter, const QWidget* dialog, int frameMargin,
                              int titleBarHeight);

// Show handling after the accessibility alert and the base show: the cascade by 4 pixels per
// window of the kind already shown (a caller's position wins over it), raising, the console
// log line, and counting the window in.
void cascadeShown(QDialog* dialog, int& shownCount, const QPoint& callerPosition = QPoint(-1, -1));

} // namespace detail
} // namespace Omra
