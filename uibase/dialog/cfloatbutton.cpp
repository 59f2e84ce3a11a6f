#include "uibase/dialog/cfloatbutton.h"

#include "uibase/dialog/dialogparts_p.h"
#include "uibase/dialog/platformvalues_p.h"
#include "uibase/dialog/windowplacement_p.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QVector>

namespace Omra {

namespace {

using detail::theme;

// Centred on both axes, on one line.
constexpr int captionFlags = Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine;
// Normal, hover, down and disabled: one picture each in the state images.
constexpr int stateCount = 4;
// The underline's dashes: 3 / width pixels drawn (0 for widths above 3), 3 left out.
constexpr int dashLength = 3;
constexpr qreal dashGap = 3.0;
// The keyboard focus is marked by a dotted rectangle of one-pixel lines this far inside the
// button's edge.
constexpr QMargins focusMarkInset(2, 2, 3, 3);
constexpr int focusMarkWidth = 1;
// The button is a window of its own, without a frame band or a title bar.
constexpr int noFrameBand = 0;
constexpr int noTitleBar = 0;
// The icon is drawn only where its block starts at 0 or right of (below) it; -1 is no place.
constexpr int notPlaced = -1;
// The spacing a cleared icon leaves behind; the minimum size then leaves any icon out.
constexpr int clearedSpacing = -1;

// Where icon and caption are centred: the window less the text margins.
QRect captionArea(const QSize& window, const CSpaceInfo& margin)
{
    return QRect(margin.left, margin.top, window.width() - margin.left - margin.right,
                 window.height() - margin.top - margin.bottom);
}

// One character of a caption, in its colour and font: the vertical layout stacks them and
// measures each on its own.
CSimpleText characterOf(const CSimpleText& text, QChar character)
{
    return CSimpleText(QString(character), text.color, text.font);
}

bool isStatus(int value)
{
    return value >= FloatButtonNormal && value <= FloatButtonDisabled;
}

} // namespace

CFloatButton::CFloatButton(const char* imageKey, int id, int left, int top, int right, int bottom,
                           QWidget* parent)
    : CCustomDialog(noFrameBand, noTitleBar, imageKey, left, top, right, bottom, parent),
      buttonId(id)
{
    setJiuGongImage(QString::fromUtf8(imageKey ? imageKey : ""), left, top, right, bottom);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::StrongFocus);
    // Hover feedback needs moves without a pressed button.
    setMouseTracking(true);
    detail::floatOverParent(this);
}

CFloatButton::~CFloatButton()
{
    delete background;
    delete icon;
}

void CFloatButton::switchStatusTo(EFloatButtonStatus buttonStatus)
{
    if (!isStatus(buttonStatus))
        return;
    const bool wasDown = status == FloatButtonDown;
    status = buttonStatus;
    caption.color = theme()->getColor(textColorKeys[status]);
    shadowCaption.color = theme()->getColor(shadowColorKeys[status]);
    if (wasDown != (status == FloatButtonDown)) {
        QAccessible::State changed;
        changed.pressed = true;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

QString CFloatButton::getColorKey() const
{
    return textColorKeys[status];
}

QString CFloatButton::getShadowColorKey() const
{
    return shadowColorKeys[status];
}

QSize CFloatButton::getExpectedSize() const
{
    return background ? background->getSize() : QSize(0, 0);
}

void CFloatButton::setButtonStatus(EFloatButtonStatus buttonStatus)
{
    if (!isStatus(buttonStatus))
        return;
    switchStatusTo(buttonStatus);
    // A change of the enabled state runs changeEvent, whose status then stands.
    setEnabled(buttonStatus != FloatButtonDisabled);
    update();
}

void CFloatButton::setAutoDown(EFloatButtonDownStyle style)
{
    downStyle = style;
}

void CFloatButton::setHorizontalText(bool horizontal)
{
    horizontalText = horizontal;
    update();
}

void CFloatButton::setText(QString text)
{
    caption.text = text;
    shadowCaption.text = text;
    update();
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void CFloatButton::setTextInfo(QString normalKey, QString hoverKey, QString downKey,
                               QString disabledKey, QString textFontKey)
{
    fontKey = textFontKey;
    textColorKeys[FloatButtonNormal] = normalKey;
    textColorKeys[FloatButtonHover] = hoverKey;
    textColorKeys[FloatButtonDown] = downKey;
    textColorKeys[FloatButtonDisabled] = disabledKey;
    caption.color = theme()->getColor(textColorKeys[status]);
    caption.font = theme()->getFont(fontKey);
    shadowCaption.font = caption.font;
    update();
}

void CFloatButton::setShadowInfo(int offsetX, int offsetY, QString normalKey, QString hoverKey,
                                 QString downKey, QString disabledKey)
{
    shadowEnabled = true;
    shadowOffsetX = offsetX;
    shadowOffsetY = offsetY;
    shadowColorKeys[FloatButtonNormal] = normalKey;
    shadowColorKeys[FloatButtonHover] = hoverKey;
    shadowColorKeys[FloatButtonDown] = downKey;
    shadowColorKeys[FloatButtonDisabled] = disabledKey;
    shadowCaption.color = theme()->getColor(shadowColorKeys[status]);
    update();
}

void CFloatButton::setTextMargin(int left, int top, int right, int bottom)
{
    textMargin = CSpaceInfo(left, top, right, bottom);
}

void CFloatButton::setUnderlineInfo(int width, int offset)
{
    underlineWidth = width;
    underlineOffset = offset;
    update();
}

void CFloatButton::setIcon(QString imageKey, EIconAlign align, int spacing)
{
    delete icon;
    icon = new CNStateImage(imageKey, stateCount);
    iconAlign = align;
    iconSpacing = spacing;
    update();
}

void CFloatButton::clearIcon()
{
    delete icon;
    icon = nullptr;
    iconSpacing = clearedSpacing;
    update();
}

void CFloatButton::setImage(QString imageKey)
{
    delete background;
    background = new CNStateImage(imageKey, stateCount);
    resize(background->getSize());
    update();
}

void CFloatButton::setJiuGongImage(QString imageKey, int left, int top, int right, int bottom)
{
    delete background;
    background = new CNStateJiuGongImage(true, imageKey, stateCount, left, top, right, bottom);
    resize(background->getSize());
    update();
}

void CFloatButton::setJiuGongImage(QString imageKey)
{
    if (!background)
        return;
    background->setImage(imageKey);
    update();
}

void CFloatButton::mousePressEvent(QMouseEvent*)
{
    statusAtPress = status;
    if (status == FloatButtonDisabled)
        return;
    // A sticky button that is down ignores further presses.
    if (downStyle == FloatButtonDownSticky && status == FloatButtonDown)
        return;
    switchStatusTo(FloatButtonDown);
    update();
    deliverEvent(ui::eventPress, buttonId, 0, QString(), this);
}

void CFloatButton::mouseReleaseEvent(QMouseEvent* event)
{
    if (status == FloatButtonDisabled)
        return;
    const bool inside = rect().contains(event->pos(), false);
    if (!inside) {
        // Dragged off: no click. A latched button goes back to what it was before the press.
        switch (downStyle) {
        case FloatButtonDownNone:
            switchStatusTo(FloatButtonNormal);
            update();
            break;
        case FloatButtonDownToggle:
        case FloatButtonDownSticky:
            switchStatusTo(statusAtPress == FloatButtonDown ? FloatButtonDown : FloatButtonNormal);
            update();
            break;
        default:
            break;
        }
        return;
    }
    switch (downStyle) {
    case FloatButtonDownNone:
        switchStatusTo(FloatButtonHover);
        update();
        break;
    case FloatButtonDownToggle:
        switchStatusTo(statusAtPress == FloatButtonDown ? FloatButtonHover : FloatButtonDown);
        update();
        break;
    default:
        break;
    }
    deliverEvent(ui::eventClick, buttonId, status, QString(), this);
}

void CFloatButton::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) {
        if (!event->isAutoRepeat()) {
            const QPoint centre = rect().center();
            QMouseEvent press(QEvent::MouseButtonPress, centre, mapToGlobal(centre), Qt::LeftButton,
                              Qt::LeftButton, Qt::NoModifier);
            mousePressEvent(&press);
            QMouseEvent release(QEvent::MouseButtonRelease, centre, mapToGlobal(centre),
                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
            mouseReleaseEvent(&release);
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void CFloatButton::mouseMoveEvent(QMouseEvent*)
{
    if (status == FloatButtonDown || status == FloatButtonDisabled)
        return;
    switchStatusTo(FloatButtonHover);
    update();
    deliverEvent(ui::eventMove, buttonId, 0, QString(), this);
}

void CFloatButton::leaveEvent(QEvent*)
{
    if (status == FloatButtonDown || status == FloatButtonDisabled)
        return;
    switchStatusTo(FloatButtonNormal);
    update();
    deliverEvent(ui::eventLeave, buttonId, 0, QString(), this);
}

void CFloatButton::changeEvent(QEvent* event)
{
    CEventWidgetT<QDialog>::changeEvent(event);
    if (event->type() != QEvent::EnabledChange)
        return;
    switchStatusTo(isEnabled() ? FloatButtonNormal : FloatButtonDisabled);
    update();
}

void CFloatButton::hideEvent(QEvent*) {}

bool CFloatButton::emphasis() const
{
    return (status == FloatButtonHover || status == FloatButtonDown) && underlineWidth > 0;
}

int CFloatButton::stackedCaptionHeight() const
{
    int height = 0;
    for (const QChar character : caption.text)
        height += characterOf(caption, character).getSize(false).height();
    return height;
}

void CFloatButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (background)
        background->drawImage(&painter, status, rect());
    if (horizontalText)
        drawIconAndTextHorizontal(&painter);
    else
        drawIconAndTextVertical(&painter);
    if (hasFocus() && caption.color) {
        painter.setPen(QPen(*caption.color, focusMarkWidth, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().marginsRemoved(focusMarkInset));
    }
}

void CFloatButton::drawIconAndTextHorizontal(QPainter* painter)
{
    if (!painter)
        return;
    if (background)
        background->drawImage(painter, status, rect());

    const QRect area = captionArea(size(), textMargin);
    const bool emphasized = emphasis();
    const QSize textSize = caption.getSize(emphasized);

    int iconX = notPlaced;
    int textX = area.left() + (area.width() - textSize.width()) / 2;
    int lineStart = textX;
    int lineEnd = textX + textSize.width();
    if (icon) {
        const int total = textSize.width() + icon->width() + iconSpacing;
        if (iconAlign == IconAlignBefore) {
            iconX = area.left() + (area.width() - total) / 2;
            textX = iconX + icon->width() + iconSpacing;
            lineStart = iconX;
            lineEnd = textX + textSize.width();
        } else if (iconAlign == IconAlignAfter) {
            textX = area.left() + (area.width() - total) / 2;
            iconX = textX + textSize.width() + iconSpacing;
            lineStart = textX;
            lineEnd = iconX + icon->width();
        }
    }
    // The underline belongs to the block that is centred.
    const int textY =
        area.top() + (area.height() - (textSize.height() + underlineOffset + underlineWidth)) / 2;

    if (icon && iconX >= 0)
        icon->drawImage(painter, status, iconX, textY + (textSize.height() - icon->height()) / 2,
                        icon->width(), icon->height());

    const QRect textRect(textX, textY, textSize.width(), textSize.height());
    if (shadowEnabled)
        shadowCaption.drawText(painter, textRect.translated(shadowOffsetX, shadowOffsetY),
                               captionFlags, false, emphasized);
    caption.drawText(painter, textRect, captionFlags, false, emphasized);

    if (status == FloatButtonDown && underlineWidth >= 1) {
        const int y = textY + textSize.height() + underlineWidth / 2 + underlineOffset;
        QPen pen(*theme()->getColor(textColorKeys[status]));
        pen.setDashPattern(QVector<qreal>() << qreal(dashLength / underlineWidth) << dashGap);
        pen.setWidth(underlineWidth);
        painter->save();
        painter->setPen(pen);
        painter->drawLine(lineStart, y, lineEnd, y);
        painter->restore();
    }
}

void CFloatButton::drawIconAndTextVertical(QPainter* painter)
{
    if (!painter)
        return;
    const QRect area = captionArea(size(), textMargin);
    const int stackHeight = stackedCaptionHeight();

    int iconY = notPlaced;
    int textY = area.top() + (area.height() - stackHeight) / 2;
    if (icon) {
        const int total = icon->height() + stackHeight + iconSpacing;
        if (iconAlign == IconAlignBefore) {
            iconY = area.top() + (area.height() - total) / 2;
            textY = iconY + icon->height() + iconSpacing;
        } else if (iconAlign == IconAlignAfter) {
            textY = area.top() + (area.height() - total) / 2;
            iconY = textY + stackHeight + iconSpacing;
        }
    }
    if (icon && iconY >= 0)
        icon->drawImage(painter, status, area.left() + (area.width() - icon->width()) / 2, iconY,
                        icon->width(), icon->height());

    for (const QChar character : qAsConst(caption.text)) {
        const CSimpleText glyph = characterOf(caption, character);
        const QSize size = glyph.getSize(false);
        const QRect rect(area.left() + (area.width() - size.width()) / 2, textY, size.width(),
                         size.height());
        if (shadowEnabled) {
            characterOf(shadowCaption, character)
                .drawText(painter, rect.translated(shadowOffsetX, shadowOffsetY), captionFlags,
                          false, false);
        }
        glyph.drawText(painter, rect, captionFlags, false, false);
        textY += size.height();
    }
}

int CFloatButton::getMinWidth() const
{
    if (horizontalText) {
        int extent = caption.getSize(false).width();
        if (icon)
            extent += icon->width() + iconSpacing;
        return extent;
    }
    int extent = stackedCaptionHeight();
    if (icon)
        extent += icon->height() + iconSpacing;
    return extent;
}

QSize CFloatButton::minimumSizeHint() const
{
    const QSize textSize = caption.getSize(emphasis());
    const bool iconCounts = icon && iconSpacing >= 0;
    if (horizontalText) {
        const int width = textSize.width() + (iconCounts ? iconSpacing + icon->width() : 0);
        const int height = qMax(iconCounts ? qMax(icon->height(), 0) : 0, textSize.height());
        return QSize(width, height);
    }
    const int iconWidth = iconCounts ? qMax(icon->width(), 0) : 0;
    const int width = qMax(iconWidth, textSize.width()) + iconWidth;
    const int height = textSize.height() + (iconCounts ? icon->height() + iconSpacing : 0);
    return QSize(width, height);
}

} // namespace Omra
