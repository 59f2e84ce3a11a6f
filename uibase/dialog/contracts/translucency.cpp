#include "uibase/dialog/contracts/translucency_p.h"

#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QVector>
#include <QWidget>

#ifdef OMRA_HAVE_XCB
#include <QSocketNotifier>

#include <xcb/xcb.h>
#include <xcb/xfixes.h>

#include <cstdlib>
#include <string>
#endif

namespace Omra {
namespace detail {

namespace {

// A pixel this opaque looks the same shown unblended. Not 255: a stretched picture's edge
// comes out a shade below that on some rows.
const int opaqueAlpha = 240;

// Set on a window while the clip is ours, so that a mask its owner set is never lifted.
const char* const clippedProperty = "_omra_clipped_for_compositor";

#ifdef OMRA_HAVE_XCB
// Whether a compositing manager runs: it owns the _NET_WM_CM_S<screen> selection while it
// does. Asked on a connection of its own (Qt 5 and Qt 6 hand out theirs by different means),
// once; XFixes then reports every change of owner, which calls onChange.
class CompositorWatch
{
public:
    template <typename Callback> explicit CompositorWatch(Callback onChange)
    {
        int screenNumber = 0;
        connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(connection))
            return;
        xcb_screen_iterator_t screen = xcb_setup_roots_iterator(xcb_get_setup(connection));
        for (int i = 0; i < screenNumber && screen.rem; ++i)
            xcb_screen_next(&screen);
        if (!screen.rem)
            return;
        const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
        xcb_intern_atom_reply_t* atom = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, uint16_t(name.size()), name.c_str()),
            nullptr);
        if (!atom)
            return;
        selection = atom->atom;
        std::free(atom);

        // Watch first, then ask: a compositor starting in between is still seen.
        const xcb_query_extension_reply_t* xfixes =
            xcb_get_extension_data(connection, &xcb_xfixes_id);
        if (xfixes && xfixes->present) {
            std::free(xcb_xfixes_query_version_reply(
                connection, xcb_xfixes_query_version(connection, 1, 0), nullptr));
            xcb_xfixes_select_selection_input(
                connection, screen.data->root, selection,
                XCB_XFIXES_SELECTION_EVENT_MASK_SET_SELECTION_OWNER |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_WINDOW_DESTROY |
                    XCB_XFIXES_SELECTION_EVENT_MASK_SELECTION_CLIENT_CLOSE);
            notifyEvent = xfixes->first_event + XCB_XFIXES_SELECTION_NOTIFY;
            notifier.reset(
                new QSocketNotifier(xcb_get_file_descriptor(connection), QSocketNotifier::Read));
            QObject::connect(notifier.get(), &QSocketNotifier::activated, [this, onChange] {
                if (readEvents())
                    onChange();
            });
        }
        xcb_get_selection_owner_reply_t* owner = xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, selection), nullptr);
        if (owner) {
            running = owner->owner != XCB_WINDOW_NONE;
            std::free(owner);
        }
    }
    ~CompositorWatch()
    {
        notifier.reset();
        xcb_disconnect(connection);
    }
    CompositorWatch(const CompositorWatch&) = delete;
    CompositorWatch& operator=(const CompositorWatch&) = delete;

    // Without an answer windows are left as they are, as with a compositor.
    bool compositing() const { return running; }

private:
    // Whether the owner changed between having one and having none.
    bool readEvents()
    {
        const bool before = running;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == notifyEvent)
                running = reinterpret_cast<xcb_xfixes_selection_notify_event_t*>(event)->owner !=
                          XCB_WINDOW_NONE;
            std::free(event);
        }
        if (xcb_connection_has_error(connection))
            notifier->setEnabled(false);
        return running != before;
    }

    xcb_connection_t* connection = nullptr;
    xcb_atom_t selection = XCB_ATOM_NONE;
    int notifyEvent = -1;
    bool running = true;
    std::unique_ptr<QSocketNotifier> notifier;
};

// Applies the clip to the windows given to it as they are shown or resized, and to all of
// them when a compositing manager starts or stops.
class Clipper : public QObject
{
public:
    Clipper() : watch([this] { applyAll(); }) {}

    void add(QWidget* window)
    {
        // A process opens many message boxes over its life; the closed ones go here.
        windows.removeAll(QPointer<QWidget>());
        windows.append(window);
        window->installEventFilter(this);
    }

    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() == QEvent::Show || event->type() == QEvent::Resize)
            apply(static_cast<QWidget*>(object));
        return false;
    }

private:
    void apply(QWidget* window)
    {
        if (!window->isVisible())
            return;
        const bool ours = window->property(clippedProperty).toBool();
        if (!watch.compositing() && window->testAttribute(Qt::WA_TranslucentBackground)) {
            window->setMask(opaqueRegion(window));
            window->setProperty(clippedProperty, true);
        } else if (ours) {
            window->clearMask();
            window->setProperty(clippedProperty, false);
        } else {
            return;
        }
        // Qt sends the new shape to the X server with its next flush, and a repaint brings
        // one; after a compositing manager starts or stops nothing else may repaint the
        // window for a long time.
        window->update();
    }

    void applyAll()
    {
        for (const QPointer<QWidget>& window : qAsConst(windows)) {
            if (window)
                apply(window);
        }
    }

    CompositorWatch watch;
    QVector<QPointer<QWidget>> windows;
};
#endif

} // namespace

void clipWhenNotComposited(QWidget* window)
{
#ifdef OMRA_HAVE_XCB
    // Other platforms always blend (or, offscreen, have no screen to show on).
    if (window && QGuiApplication::platformName() == QLatin1String("xcb")) {
        static Clipper* const clipper = new Clipper;
        clipper->add(window);
    }
#else
    Q_UNUSED(window)
#endif
}

QRegion opaqueRegion(QWidget* window)
{
    QImage image(window->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    window->render(&image, QPoint(), QRegion(), QWidget::RenderFlags());

    // Runs of opaque pixels row by row; a row with the same runs as the one above extends
    // those, so a plain frame becomes one rectangle, not one per row.
    QVector<QRect> rects;
    int previousStart = 0;
    int previousCount = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const int start = rects.size();
        for (int x = 0; x < image.width();) {
            if (qAlpha(line[x]) < opaqueAlpha) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < image.width() && qAlpha(line[x]) >= opaqueAlpha)
                ++x;
            rects.append(QRect(left, y, x - left, 1));
        }
        const int count = rects.size() - start;
        bool same = count > 0 && count == previousCount;
        for (int i = 0; same && i < count; ++i) {
            const QRect& above = rects[previousStart + i];
            const QRect& here = rects[start + i];
            same = above.left() == here.left() && above.width() == here.width() &&
                   above.bottom() == y - 1;
        }
        if (same) {
            for (int i = 0; i < count; ++i)
                rects[previousStart + i].setBottom(y);
            rects.resize(start);
        } else {
            previousStart = start;
            previousCount = count;
        }
    }
    QRegion region;
    region.setRects(rects.constData(), rects.size());
    return region;
}

} // namespace detail
} // namespace Omra
