#include "uibase/dialog/contracts/basewidget.h"

namespace Omra {

CWidgetList::CWidgetList(Qt::Orientation orientation, QWidget* parent)
    : QWidget(parent), direction(orientation)
{
    // A list fills the width (or height) of whatever holds it.
    if (direction == Qt::Horizontal)
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    else
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Expanding);
}

CWidgetList::~CWidgetList() = default;

void CWidgetList::addWidget(QWidget* widget, int stretch, EWidgetAnchor anchor, bool fillAcross)
{
    if (!widget || widget == this)
        return;
    if (widget->parentWidget() != this)
        widget->setParent(this);
    Entry entry;
    entry.widget = widget;
    entry.stretch = qMax(0, stretch);
    entry.anchor = anchor;
    entry.fillAcross = fillAcross;
    entries.append(entry);
    widget->show();
    relayout();
}

void CWidgetList::addFixedWidget(QWidget* widget, EWidgetAnchor anchor, bool fillAcross)
{
    addWidget(widget, 0, anchor, fillAcross);
}

void CWidgetList::addStretchWidget(QWidget* widget, int stretch, EWidgetAnchor anchor,
                                   bool fillAcross)
{
    addWidget(widget, qMax(1, stretch), anchor, fillAcross);
}

void CWidgetList::addFixedSpace(int pixels)
{
    Entry entry;
    entry.isSpace = true;
    entry.pixels = qMax(0, pixels);
    entries.append(entry);
    relayout();
}

void CWidgetList::addStretchSpace(int stretch)
{
    Entry entry;
    entry.isSpace = true;
    entry.stretch = qMax(1, stretch);
    entries.append(entry);
    relayout();
}

void CWidgetList::setMargin(int left, int top, int right, int bottom)
{
    margin = QMargins(qMax(0, left), qMax(0, top), qMax(0, right), qMax(0, bottom));
    relayout();
}

void CWidgetList::setSpacing(int pixels)
{
    space = qMax(0, pixels);
    relayout();
}

QSize CWidgetList::preferredSize(const QWidget* widget) const
{
    // A size the caller gave explicitly wins over the widget's own wish.
    if (widget->testAttribute(Qt::WA_Resized))
        return widget->size();
    QSize hint = widget->sizeHint();
    if (!hint.isValid())
        hint = widget->size();
    return hint.expandedTo(widget->minimumSize()).boundedTo(widget->maximumSize());
}

QSize CWidgetList::sizeHint() const
{
    const bool horizontal = direction == Qt::Horizontal;
    int along = 0;
    int across = 0;
    bool previousWidget = false;
    for (const Entry& entry : entries) {
        if (entry.isSpace) {
            along += entry.pixels;
            previousWidget = false;
            continue;
        }
        if (!entry.widget || entry.widget->isHidden())
            continue;
        const QSize size = preferredSize(entry.widget);
        along += (horizontal ? size.width() : size.height()) + (previousWidget ? space : 0);
        across = qMax(across, horizontal ? size.height() : size.width());
        previousWidget = true;
    }
    const QSize content = horizontal ? QSize(along, across) : QSize(across, along);
    return content + QSize(margin.left() + margin.right(), margin.top() + margin.bottom());
}

void CWidgetList::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    relayout();
}

void CWidgetList::relayout()
{
    const bool horizontal = direction == Qt::Horizontal;
    const QRect area = rect().marginsRemoved(margin);
    const int length = horizontal ? area.width() : area.height();
    const int breadth = horizontal ? area.height() : area.width();

    // First pass: what the fixed entries and the gaps take, and the stretch total.
    int fixed = 0;
    int stretchTotal = 0;
    bool previousWidget = false;
    for (const Entry& entry : entries) {
        if (entry.isSpace) {
            fixed += entry.pixels;
            stretchTotal += entry.stretch;
            previousWidget = false;
            continue;
        }
        if (!entry.widget || entry.widget->isHidden())
            continue;
        if (previousWidget)
            fixed += space;
        previousWidget = true;
        if (entry.stretch > 0)
            stretchTotal += entry.stretch;
        else
            fixed += horizontal ? preferredSize(entry.widget).width()
                                : preferredSize(entry.widget).height();
    }
    const int free = qMax(0, length - fixed);

    // Second pass: place. Rounding leftovers go to the last stretch entry.
    int position = horizontal ? area.left() : area.top();
    int stretchLeft = stretchTotal;
    int freeLeft = free;
    previousWidget = false;
    for (const Entry& entry : entries) {
        int share = 0;
        if (entry.stretch > 0 && stretchTotal > 0) {
            share = stretchLeft == entry.stretch ? freeLeft : free * entry.stretch / stretchTotal;
            stretchLeft -= entry.stretch;
            freeLeft -= share;
        }
        if (entry.isSpace) {
            position += entry.pixels + share;
            previousWidget = false;
            continue;
        }
        QWidget* widget = entry.widget;
        if (!widget || widget->isHidden())
            continue;
        if (previousWidget)
            position += space;
        previousWidget = true;

        const QSize preferred = preferredSize(widget);
        const int extent =
            entry.stretch > 0 ? share : (horizontal ? preferred.width() : preferred.height());
        const bool fill =
            entry.fillAcross || ((horizontal ? widget->sizePolicy().verticalPolicy()
                                             : widget->sizePolicy().horizontalPolicy()) &
                                 QSizePolicy::ExpandFlag);
        const int thickness =
            fill ? breadth : qMin(breadth, horizontal ? preferred.height() : preferred.width());
        int offset = (breadth - thickness) / 2;
        if (entry.anchor == WidgetAnchorLeading || fill)
            offset = 0;
        else if (entry.anchor == WidgetAnchorTrailing)
            offset = breadth - thickness;
        const int across = (horizontal ? area.top() : area.left()) + offset;

        // Keep the explicit-size mark: the list's own placement must not turn a widget's
        // size hint into a size "given by the caller".
        const bool resized = widget->testAttribute(Qt::WA_Resized);
        if (horizontal)
            widget->setGeometry(position, across, extent, thickness);
        else
            widget->setGeometry(across, position, thickness, extent);
        widget->setAttribute(Qt::WA_Resized, resized);
        position += extent;
    }
}

} // namespace Omra
