#pragma once

// What the library's windows share: the frame they are drawn in, the one theme table, the
// default screen, the one-second tick and the line limits of their texts. Private to the
// library.

#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/uiresource.h"

#include <QObject>
#include <QRect>
#include <QTimer>

class QPainter;
class QWidget;

namespace Omra {
namespace detail {

// The frame around every framed window: a band of `margin` pixels around the visible frame,
// a title bar below it, and the background picture cut into nine at the given insets.
struct FrameLook
{
    int margin;
    int titleBarHeight;
    const char* imageKey;
    int imageLeft;
    int imageTop;
    int imageRight;
    int imageBottom;
};
constexpr FrameLook dialogFrame = {12, 30, "img_custom_dialog_bg", 16, 41, 43, 47};

// Line limits of the text widgets: message texts stop after ten lines, titles and single
// lines are given as many as they have.
constexpr int messageLineLimit = 10;
constexpr int noLineLimit = 100000;

// Countdowns and queued messages advance once a second.
constexpr int tickInterval = 1000;

// The process's theme table; looked up on every use, as the table asks.
const CUiResource* theme();
// A size of the theme table by its key.
int themeSize(const char* key);

// The available area of the default screen (empty without any screen).
QRect defaultAvailableGeometry();

// Fills the client area, below the title bar and one pixel inside the frame band, with the
// theme's background colour for dialog content.
void fillClientArea(QPainter& painter, const QWidget* dialog, int frameMargin, int titleBarHeight);

// A button with the positive or the negative look: "img_btn_positive" or "img_btn_negative"
// with "clr_btn_text_positive" or "clr_btn_text_negative" text in every state.
CPushButton* makeLookButton(QWidget* parent, int id, bool positive, const QString& text);

// Tells screen readers that `window` shows something the user must notice now.
void announceAlert(QWidget* window);

// A repeating timer of `owner` that calls `slot` every second; not started yet.
template <typename Owner>
QTimer* makeTickTimer(Owner* owner, void (Owner::*slot)(), const char* objectName)
{
    auto* timer = new QTimer(owner);
    timer->setObjectName(QLatin1String(objectName));
    timer->setInterval(tickInterval);
    QObject::connect(timer, &QTimer::timeout, owner, slot);
    return timer;
}

} // namespace detail
} // namespace Omra
