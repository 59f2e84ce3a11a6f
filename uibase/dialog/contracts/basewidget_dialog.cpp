#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/theme_p.h"
#include "uibase/dialog/contracts/translucency_p.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>
#include <QWindow>

namespace Omra {

namespace {

// On Wayland the compositor alone activates and moves windows: it activates a new window as
// it maps it, and it ignores a program's positions.
bool onWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace

CBaseDialog::CBaseDialog(QWidget* parent) : CEventWidgetT<QDialog>(parent) {}

CBaseDialog::~CBaseDialog() = default;

void CBaseDialog::setAutoActivate(bool activate)
{
    autoActivate = activate;
    setAttribute(Qt::WA_ShowWithoutActivating, !activate);
}

bool CBaseDialog::checkOK()
{
    return true;
}

void CBaseDialog::onOK() {}

void CBaseDialog::themeChanged()
{
    update();
}

void CBaseDialog::scaleChanged()
{
    update();
}

bool CBaseDialog::handleEvent(int type, int id, int, QString, void*)
{
    if (type != UiEventClick)
        return false;
    if (id == CloseButtonId) {
        reject();
        return true;
    }
    if (id == OkButtonId) {
        if (checkOK()) {
            onOK();
            accept();
        }
        return true;
    }
    return false;
}

QRect CBaseDialog::getMaskRect() const
{
    return rect();
}

void CBaseDialog::showEvent(QShowEvent* event)
{
    CEventWidgetT<QDialog>::showEvent(event);
    shownFlag = true;
    if (autoActivate && !event->spontaneous() && !onWayland())
        activateWindow();
}

bool CBaseDialog::event(QEvent* event)
{
    return CEventWidgetT<QDialog>::event(event);
}

CCustomDialog::CCustomDialog(int margin, int titleHeight, const char* imageKey, int left, int top,
                             int right, int bottom, QWidget* parent)
    : CBaseDialog(parent), frameMargin(qMax(0, margin)), titleBarHeight(qMax(0, titleHeight)),
      background(true, QString::fromLatin1(imageKey ? imageKey : ""), 1, left, top, right, bottom)
{
    setWindowFlags(windowFlags() | Qt::FramelessWindowHint);
    // The frame image carries its own soft shadow in the outer band.
    setAttribute(Qt::WA_TranslucentBackground);
    detail::clipWhenNotComposited(this);
}

CCustomDialog::~CCustomDialog() = default;

QRect CCustomDialog::getMaskRect() const
{
    return rect().adjusted(frameMargin, frameMargin, -frameMargin, -frameMargin);
}

void CCustomDialog::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    background.drawImage(&painter, 0, rect());
}

void CCustomDialog::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        dragging = true;
        draggingByHand = false;
        dragOffset = mapToGlobal(event->pos()) - frameGeometry().topLeft();
    }
    CBaseDialog::mousePressEvent(event);
}

void CCustomDialog::mouseMoveEvent(QMouseEvent* event)
{
    if (dragging && (event->buttons() & Qt::LeftButton)) {
        // The window system moves the window where it can, snapping and tiling it as it does
        // any other; only where it cannot is the window moved here, which Wayland ignores.
        if (!draggingByHand) {
            if (windowHandle() && windowHandle()->startSystemMove())
                dragging = false;
            else
                draggingByHand = dragging = !onWayland();
        }
        if (draggingByHand)
            move(mapToGlobal(event->pos()) - dragOffset);
    }
    CBaseDialog::mouseMoveEvent(event);
}

void CCustomDialog::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        dragging = false;
    CBaseDialog::mouseReleaseEvent(event);
}

CBaseWidget::CBaseWidget(const QString& name, bool fill, QWidget* parent)
    : CEventWidgetT<QWidget>(parent), fillBackground(fill)
{
    setObjectName(name);
}

CBaseWidget::~CBaseWidget() = default;

void CBaseWidget::setActive(bool activate, bool giveFocus)
{
    active = activate;
    if (!activate || !giveFocus)
        return;
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->isEnabled() && !child->isHidden() && (child->focusPolicy() & Qt::TabFocus)) {
            child->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}

void CBaseWidget::themeChanged()
{
    update();
}

void CBaseWidget::paintEvent(QPaintEvent* event)
{
    if (fillBackground) {
        QPainter painter(this);
        painter.fillRect(rect(),
                         *detail::theme()->getColor(QStringLiteral("clr_warn_background_color")));
    }
    CEventWidgetT<QWidget>::paintEvent(event);
}

} // namespace Omra
