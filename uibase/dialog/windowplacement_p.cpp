#include "uibase/dialog/windowplacement_p.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPoint>
#include <QWidget>

namespace Omra {
namespace detail {

namespace {

// Maps a shown popup surface again when the program moves it, once the move is done.
class Remapper : public QObject
{
public:
    explicit Remapper(QWidget* window) : QObject(window), window(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != window)
            return false;
        if (event->type() == QEvent::Show) {
            mappedAt = window->pos();
        } else if (event->type() == QEvent::Move && !event->spontaneous() && window->isVisible() &&
                   window->pos() != mappedAt && !pending) {
            pending = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    pending = false;
                    if (window->isVisible() && window->pos() != mappedAt) {
                        window->hide();
                        window->show();
                    }
                },
                Qt::QueuedConnection);
        }
        return false;
    }

private:
    QWidget* window;
    QPoint mappedAt;
    bool pending = false;
};

bool onWayland()
{
    // "wayland", or "wayland-egl" and the like when a client buffer integration is named.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

void floatOverParent(QWidget* window)
{
    if (!window || !window->parentWidget() || !onWayland())
        return;
    // Qt's wayland plugin (5.15 and 6) makes a tool tip window that has a transient parent an
    // xdg_popup at its offset from that parent; a Qt::Popup would grab the pointer and the
    // keyboard and be closed by the first click outside it. Qt gives a window with a parent
    // widget that widget's window as transient parent when it creates it.
    window->setWindowFlags((window->windowFlags() & ~Qt::WindowType_Mask) | Qt::ToolTip);
    new Remapper(window);
}

} // namespace detail
} // namespace Omra
