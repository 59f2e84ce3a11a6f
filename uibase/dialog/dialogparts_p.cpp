#include "uibase/dialog/dialogparts_p.h"

#include "uibase/dialog/contracts/utils.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace Omra {
namespace detail {

const CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

QRect defaultAvailableGeometry()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void fillClientArea(QPainter& painter, const QWidget* dialog, int frameMargin, int titleBarHeight)
{
    const QRect clientArea(frameMargin + 1, frameMargin + titleBarHeight,
                           dialog->width() - 2 * frameMargin - 2,
                           dialog->height() - 2 * frameMargin - titleBarHeight - 1);
    painter.fillRect(clientArea, *theme()->getColor(QStringLiteral("clr_warn_background_color")));
}

void announceAlert(QWidget* window)
{
    QAccessibleEvent alert(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace detail
} // namespace Omra
