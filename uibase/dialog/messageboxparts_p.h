#pragma once

// Pieces the message box and the countdown dialog share: the icon table, the button looks,
// the measuring of text and button rows, the client-area fill, and the cascade of windows
// shown at the same time. Private to the library.

#include "uibase/dialog/contracts/basewidget.h"

#include <QList>
#include <QMessageBox>
#include <QPixmap>
#include <QPoint>
#include <QSize>

class QDialog;
class QPainter;

namespace Omra {
namespace detail {

// Message texts wrap at this width.
constexpr int maxMessageTextWidth = 700;
// Neither dialog is narrower than this.
constexpr int minMessageDialogWidth = 350;
constexpr int messageButtonHeight = 29;
// The icon sits a little above the first line of the message.
constexpr int messageIconRaise = 5;

const CUiResource* theme();

// The theme picture of the icon, copied now; a null pixmap for NoIcon and unknown values.
QPixmap messageIcon(QMessageBox::Icon icon);

// The size a picture takes in the layout: a 2x picture (for high-DPI screens) takes what its
// 1x one does.
QSize pictureSize(const QPixmap& picture);

// A positive or negative looking button of the given fixed size, named "button<id>".
CPushButton* makeMessageButton(QWidget* parent, bool positive, int id, const QString& text,
                               const QSize& size);

// A text widget's width capped for wrapping, and its height at that width.
QSize cappedTextSize(const CSimpleTextWidget* text);

// Width of a row of buttons with `spacing` between them, and the tallest button's height.
QSize buttonRowSize(const QList<CPushButton*>& buttons, int spacing);

// Theme metrics of the message layouts.
struct MessageMetrics
{
    int margin;
    int iconSpace;
    int buttonSpace;
    int verticalSpace;
};
MessageMetrics messageMetrics();

// Fills the client area below the title bar, one pixel inside the frame band.
void fillClientArea(QPainter& painter, const QWidget* dialog, int frameMargin, int titleBarHeight);

// Show handling shared by both dialogs, after the accessibility alert and the base show: the
// cascade by 4 pixels per window of the kind already shown (a caller's position wins), raising,
// and the console log line. Returns where the window went; the caller counts itself in after.
QPoint cascadeAndLog(QDialog* dialog, int alreadyShown, const QPoint& callerPosition);

} // namespace detail
} // namespace Omra
