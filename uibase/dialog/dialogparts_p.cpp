#include "uibase/dialog/dialogparts_p.h"

#include "uibase/dialog/contracts/utils.h"

#include <QAccessible>
#include <QAccessibleEvent>
#include <QGuiApplication>
#include <QMargins>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace Omra {
namespace detail {

const CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

int themeSize(const char* key)
{
    return theme()->getSize(QLatin1String(key));
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

CPushButton* makeLookButton(QWidget* parent, int id, bool positive, const QString& text)
{
    // Nine-grid insets of the button pictures.
    constexpr QMargins imageInsets(1, 3, 1, 3);
    auto* button = new CPushButton(
        positive ? QStringLiteral("img_btn_positive") : QStringLiteral("img_btn_negative"), id,
        imageInsets.left(), imageInsets.top(), imageInsets.right(), imageInsets.bottom(), parent);
    button->setText(text);
    const char* colorKey = positive ? "clr_btn_text_positive" : "clr_btn_text_negative";
    button->setTextColorKey(colorKey, colorKey, colorKey, colorKey);
    return button;
}

void announceAlert(QWidget* window)
{
    QAccessibleEvent alert(window, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

} // namespace detail
} // namespace Omra
