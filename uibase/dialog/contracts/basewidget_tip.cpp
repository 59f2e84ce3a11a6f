#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/theme_p.h"
#include "uibase/dialog/contracts/translucency_p.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QScreen>
#include <QTimer>

namespace Omra {

namespace {

QPointer<CMessageTip> currentTip;

constexpr int paddingX = 10;
constexpr int paddingY = 6;
constexpr int gapToAnchor = 4;

QFont tipFont()
{
    return *detail::theme()->getFont(QStringLiteral("fnt_tip"));
}

} // namespace

void CMessageTip::showTip(QWidget* anchor, QFlags<EAlign> align, const QString& text, int seconds,
                          int maxWidth)
{
    hideTip();
    if (!anchor)
        return;
    // Parented to the anchor's window, so the tip never outlives it.
    auto* tip = new CMessageTip(anchor, align, text, seconds, maxWidth);
    currentTip = tip;
    tip->place();
    tip->show();
}

CMessageTip* CMessageTip::current()
{
    return currentTip && currentTip->isVisible() ? currentTip.data() : nullptr;
}

void CMessageTip::hideTip()
{
    if (currentTip) {
        currentTip->hide();
        currentTip->deleteLater();
        currentTip = nullptr;
    }
}

CMessageTip::CMessageTip(QWidget* anchor, QFlags<EAlign> align, const QString& text, int seconds,
                         int width)
    : QWidget(anchor->window(),
              Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus),
      anchorWidget(anchor), alignment(align), message(text), maxWidth(width > 0 ? width : 300),
      hideTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("messageTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TranslucentBackground);
    detail::clipWhenNotComposited(this);
    hideTimer->setSingleShot(true);
    hideTimer->setInterval(1000 * qBound(1, seconds > 0 ? seconds : 3, 60));
    connect(hideTimer, &QTimer::timeout, this, [this] {
        if (currentTip == this)
            hideTip();
    });
    connect(anchor, &QObject::destroyed, this, [this] {
        if (currentTip == this)
            hideTip();
    });
    anchor->window()->installEventFilter(this);
    hideTimer->start();
}

QRect CMessageTip::textRect(int width) const
{
    const QFontMetrics metrics(tipFont());
    return metrics.boundingRect(QRect(0, 0, width, 100000), Qt::TextWordWrap | Qt::AlignLeft,
                                message);
}

QSize CMessageTip::sizeHint() const
{
    const QFontMetrics metrics(tipFont());
    const int inner = qMin(maxWidth - 2 * paddingX, metrics.horizontalAdvance(message) + 1);
    const QRect text = textRect(qMax(1, inner));
    return QSize(text.width() + 2 * paddingX, text.height() + 2 * paddingY);
}

void CMessageTip::place()
{
    if (!anchorWidget)
        return;
    resize(sizeHint());
    const QRect anchorRect(anchorWidget->mapToGlobal(QPoint(0, 0)), anchorWidget->size());
    int x = anchorRect.left() + (anchorRect.width() - width()) / 2;
    if (alignment & TipAlignLeft)
        x = anchorRect.left();
    else if (alignment & TipAlignRight)
        x = anchorRect.right() + 1 - width();
    int y = anchorRect.bottom() + 1 + gapToAnchor;
    if (alignment & TipAlignTop)
        y = anchorRect.top() - gapToAnchor - height();
    else if (alignment & TipAlignVCenter)
        y = anchorRect.top() + (anchorRect.height() - height()) / 2;
    move(x, y);
}

bool CMessageTip::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parentWidget() &&
        (event->type() == QEvent::Hide || event->type() == QEvent::Close)) {
        if (currentTip == this)
            hideTip();
        else
            hide();
    }
    return QWidget::eventFilter(watched, event);
}

void CMessageTip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(*detail::theme()->getColor(QStringLiteral("clr_tip_border")));
    painter.setBrush(*detail::theme()->getColor(QStringLiteral("clr_tip_background")));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
    painter.setFont(tipFont());
    painter.setPen(*detail::theme()->getColor(QStringLiteral("clr_tip_text")));
    painter.drawText(rect().adjusted(paddingX, paddingY, -paddingX, -paddingY),
                     Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, message);
}

} // namespace Omra
