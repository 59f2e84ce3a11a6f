#include "uibase/dialog/contracts/translucency_p.h"

#include <QGuiApplication>
#include <QWidget>

#ifdef OMRA_HAVE_XCB
#include <xcb/xcb.h>

#include <cstdlib>
#include <string>
#endif

namespace Omra {
namespace detail {

namespace {

#ifdef OMRA_HAVE_XCB
// A connection of its own to $DISPLAY: Qt 5 and Qt 6 hand out theirs by different means,
// and one selection query per show costs one round trip.
class CompositorProbe
{
public:
    CompositorProbe()
    {
        int screen = 0;
        connection = xcb_connect(nullptr, &screen);
        if (xcb_connection_has_error(connection))
            return;
        // A compositing manager owns this selection while it runs.
        const std::string name = "_NET_WM_CM_S" + std::to_string(screen);
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.c_str()),
            nullptr);
        if (reply) {
            selection = reply->atom;
            std::free(reply);
        }
    }
    ~CompositorProbe() { xcb_disconnect(connection); }
    CompositorProbe(const CompositorProbe&) = delete;
    CompositorProbe& operator=(const CompositorProbe&) = delete;

    // Without an answer windows are left as they are, as with a compositor.
    bool running() const
    {
        if (xcb_connection_has_error(connection) || selection == XCB_ATOM_NONE)
            return true;
        xcb_get_selection_owner_reply_t* reply = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selection), nullptr);
        if (!reply)
            return true;
        const bool owned = reply->owner != XCB_WINDOW_NONE;
        std::free(reply);
        return owned;
    }

private:
    xcb_connection_t* connection = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
};
#endif

bool compositingManagerRunning()
{
#ifdef OMRA_HAVE_XCB
    if (QGuiApplication::platformName() == QLatin1String("xcb")) {
        static const CompositorProbe probe;
        return probe.running();
    }
#endif
    // Other platforms always blend (or, offscreen, have no screen to show on).
    return true;
}

} // namespace

void paintOpaqueWhenNotComposited(QWidget* window)
{
    // An X server without a compositing manager shows a translucent window's pixels as
    // their colour alone, so the soft shadow comes out near black. A clip (shape) does not
    // help: Xvfb shows such windows, and Qt's windows with their own colour map, through
    // their whole rectangle whatever the shape. The band is painted over the window's own
    // background colour instead. The visual is chosen as the
    // native window is made, so a window that has one already is left as it is.
    if (!window || !window->isWindow() || window->testAttribute(Qt::WA_WState_Created) ||
        !window->testAttribute(Qt::WA_TranslucentBackground) || compositingManagerRunning())
        return;
    window->setAttribute(Qt::WA_TranslucentBackground, false);
    window->setAttribute(Qt::WA_NoSystemBackground, false);
}

} // namespace detail
} // namespace Omra
