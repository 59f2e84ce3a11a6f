#include "uibase/dialog/contracts/basewidget.h"
#include "uibase/dialog/contracts/theme_p.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPair>
#include <QRawFont>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace Omra {

namespace {

constexpr int defaultFlags = Qt::AlignLeft | Qt::AlignVCenter;
constexpr int maxMeasuredLine = 16384;

// One line laid out unwrapped, as QPainter and the wrapping layout lay it out: its advance
// (where the next text would start) and its natural width (what it covers).
struct LineExtent
{
    qreal advance = 0;
    qreal width = 0;
};

LineExtent unwrappedLine(const QString& line, const QFont& font)
{
    QTextLayout layout(line, font);
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine textLine = layout.createLine();
    LineExtent extent;
    if (textLine.isValid()) {
        textLine.setLineWidth(1.0e6); // lays the line out; nothing wraps without wrap mode
        extent = {textLine.horizontalAdvance(), textLine.naturalTextWidth()};
    }
    layout.endLayout();
    return extent;
}

// Width of one unwrapped line as the wrapping layout measures it (synthetic bold, for one,
// makes it wider than the font metrics' advance), rounded up: a text given this width is
// laid out on one line.
int naturalWidth(const QString& line, const QFont& font)
{
    return int(std::ceil(unwrappedLine(line, font).width));
}

// Dialogs measure the same few strings (titles, the blank a title starts with, labels,
// button texts) every time one opens, and measuring shapes the text each time, so the
// results for short lines are remembered per font and text.
template <class Value> using LineMemo = QHash<QPair<QFont, QString>, Value>;
using MeasureMemo = LineMemo<int>;
constexpr int longestRemembered = 256;

// Adds an entry, first forgetting everything once the memo is full: a window resized by
// hand or a changing text would otherwise grow it without end.
template <class Value>
typename LineMemo<Value>::iterator
rememberLine(LineMemo<Value>& memo, const QPair<QFont, QString>& key, const Value& value)
{
    constexpr int entries = 1024;
    if (memo.size() >= entries)
        memo.clear();
    return memo.insert(key, value);
}

template <class Measure>
int remembered(MeasureMemo& memo, const QString& line, const QFont& font, Measure measure)
{
    if (line.size() > longestRemembered)
        return measure();
    const QPair<QFont, QString> key(font, line);
    const auto it = memo.constFind(key);
    if (it != memo.constEnd())
        return *it;
    return *rememberLine(memo, key, measure());
}

// The unwrapped width of a line: the larger of the rounded-up fractional advance and the
// layout's natural width (which shapes the text twice).
int lineWidth(const QString& line, const QFont& font)
{
    static MeasureMemo memo;
    return remembered(memo, line, font, [&] {
        const int advance = int(std::ceil(QFontMetricsF(font).horizontalAdvance(line)));
        return qMax(advance, naturalWidth(line, font));
    });
}

// What drawTextLine needs to know of a line: whether QPainter would lay it out as the one
// plain run that drawText(QPointF) draws, and where: the line's advance places it, its
// natural width decides whether QPainter clips it.
struct PlainLine
{
    qreal advance = 0;
    qreal width = 0;
    qreal ascent = 0;
    qreal height = 0;
    bool plain = false;
    bool measured = false;
};

bool plainCharacter(QChar ch, const QRawFont& font)
{
    switch (ch.direction()) {
    case QChar::DirL:
    case QChar::DirEN:
    case QChar::DirES:
    case QChar::DirET:
    case QChar::DirCS:
    case QChar::DirON:
    case QChar::DirWS:
        break;
    default: // right-to-left, embeddings, separators and marks are laid out by QPainter
        return false;
    }
    // Tabs and line breaks change the line, and a character from a fallback font changes
    // its height.
    return ch.category() != QChar::Other_Control && ch.category() != QChar::Other_Format &&
           ch.category() != QChar::Separator_Line && !ch.isSurrogate() &&
           font.supportsCharacter(ch);
}

PlainLine plainLine(const QString& line, const QFont& font)
{
    static LineMemo<PlainLine> memo;
    if (line.isEmpty() || line.size() > longestRemembered)
        return PlainLine();
    const QPair<QFont, QString> key(font, line);
    const auto it = memo.find(key);
    if (it != memo.end() && it->measured)
        return *it;
    // Measuring costs a layout of its own, which pays back from the second paint on: the
    // first dialog of a process draws its captions through QPainter.
    if (it == memo.end()) {
        rememberLine(memo, key, PlainLine());
        return PlainLine();
    }
    // The font's own face, without the fallbacks QFontMetrics would also ask.
    const QRawFont face = QRawFont::fromFont(font);
    const QFontMetricsF metrics(font);
    PlainLine result;
    result.plain =
        font.letterSpacing() == 0 && font.wordSpacing() == 0 &&
        font.capitalization() == QFont::MixedCase &&
        std::all_of(line.cbegin(), line.cend(), [&](QChar ch) { return plainCharacter(ch, face); });
    if (result.plain) {
        const LineExtent extent = unwrappedLine(line, font);
        result.advance = extent.advance;
        result.width = extent.width;
        result.ascent = metrics.ascent();
        result.height = metrics.ascent() + metrics.descent();
    }
    result.measured = true;
    *it = result;
    return result;
}

} // namespace

void detail::drawTextLine(QPainter* painter, const QRect& rect, int flags, const QString& text)
{
    if (!painter)
        return;
    // Qt::AlignBaseline shares its bit with Qt::TextSingleLine, which is what QPainter reads.
    constexpr int verticalMask = Qt::AlignTop | Qt::AlignBottom | Qt::AlignVCenter;
    const int horizontal = flags & Qt::AlignHorizontal_Mask;
    const int vertical = flags & verticalMask;
    const bool simpleFlags = (flags & ~(Qt::AlignHorizontal_Mask | verticalMask |
                                        Qt::TextSingleLine | Qt::TextDontClip)) == 0 &&
                             (horizontal == 0 || horizontal == Qt::AlignLeft ||
                              horizontal == Qt::AlignRight || horizontal == Qt::AlignHCenter) &&
                             (vertical == 0 || vertical == Qt::AlignTop ||
                              vertical == Qt::AlignBottom || vertical == Qt::AlignVCenter) &&
                             painter->layoutDirection() != Qt::RightToLeft;
    const PlainLine line = simpleFlags ? plainLine(text, painter->font()) : PlainLine();
    if (!line.plain) {
        painter->drawText(rect, flags, text);
        return;
    }
    // Placed as QPainter places one line: aligned by its advance, clipped to the rect when
    // its natural extent leaves it.
    qreal x = rect.x();
    qreal extentX = rect.x();
    qreal y = rect.y();
    if (horizontal == Qt::AlignRight) {
        x += rect.width() - line.advance;
        extentX += rect.width() - line.width;
    } else if (horizontal == Qt::AlignHCenter) {
        x += (rect.width() - line.advance) / 2;
        extentX += (rect.width() - line.width) / 2;
    }
    if (vertical == Qt::AlignBottom)
        y += rect.height() - line.height;
    else if (vertical == Qt::AlignVCenter)
        y += (rect.height() - line.height) / 2;
    const bool clip = !(flags & Qt::TextDontClip) &&
                      !QRectF(rect).contains(QRectF(extentX, y, line.width, line.height));
    if (clip) {
        painter->save();
        painter->setClipRect(rect, Qt::IntersectClip);
    }
    painter->drawText(QPointF(x, y + line.ascent), text);
    if (clip)
        painter->restore();
}

detail::LineMetrics detail::lineMetrics(const QFont& font)
{
    const QFontMetricsF metrics(font);
    return {int(std::ceil(metrics.ascent())), int(std::ceil(metrics.descent()))};
}

int detail::textAdvance(const QString& text, const QFont& font, const QFontMetrics& metrics)
{
    static MeasureMemo memo;
    return remembered(memo, text, font, [&] { return metrics.horizontalAdvance(text); });
}

CSimpleTextWidget::CSimpleTextWidget(const QString& initialText, QWidget* parent)
    : CSimpleTextWidget(false, -1, initialText, parent)
{
}

CSimpleTextWidget::CSimpleTextWidget(bool isClickable, int controlId, const QString& initialText,
                                     QWidget* parent)
    : QWidget(parent), id(controlId), clickable(isClickable), text(initialText),
      fontKey(QLatin1String(detail::defaultFontKey)),
      colorKey(QLatin1String(detail::defaultTextColorKey)), flags(defaultFlags)
{
    if (clickable) {
        setCursor(Qt::PointingHandCursor);
        setFocusPolicy(Qt::StrongFocus);
    }
    resize(sizeHint());
}

CSimpleTextWidget::~CSimpleTextWidget() = default;

void CSimpleTextWidget::setText(const QString& newText, int lines)
{
    const int limit = qMax(1, lines);
    if (newText == text && limit == maxLines)
        return;
    const bool changed = newText != text;
    text = newText;
    maxLines = limit;
    invalidate();
    // A counting number or a replaced message is read out again.
    if (changed) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
}

void CSimpleTextWidget::setFontKey(const QString& key)
{
    fontKey = key;
    invalidate();
}

void CSimpleTextWidget::setColorKey(const QString& key)
{
    colorKey = key;
    update();
}

void CSimpleTextWidget::setFlag(int newFlags)
{
    flags = newFlags;
    invalidate();
}

void CSimpleTextWidget::setLineSpace(int pixels)
{
    lineSpace = qMax(0, pixels);
    invalidate();
}

void CSimpleTextWidget::setTextLineHeight(int pixels)
{
    textLineHeight = qMax(0, pixels);
    invalidate();
}

void CSimpleTextWidget::invalidate()
{
    cachedLayout = Layout();
    cachedHint = QSize();
    updateGeometry();
    update();
}

QFont CSimpleTextWidget::currentFont() const
{
    return *detail::theme()->getFont(fontKey);
}

int CSimpleTextWidget::lineHeight() const
{
    if (textLineHeight > 0)
        return textLineHeight;
    return detail::lineMetrics(currentFont()).height();
}

int CSimpleTextWidget::blockHeight(int lineCount) const
{
    const int n = qMax(1, lineCount);
    return n * lineHeight() + (n - 1) * lineSpace;
}

const CSimpleTextWidget::Layout& CSimpleTextWidget::layoutFor(int width) const
{
    const bool wrap = flags & Qt::TextWordWrap;
    // Without wrapping the lines do not depend on the width.
    const int key = wrap ? qMax(1, width) : 0;
    if (cachedLayout.width == key)
        return cachedLayout;

    cachedLayout = Layout();
    cachedLayout.width = key;
    const QFont font = currentFont();
    const QFontMetrics metrics(font);
    QVector<Line>& lines = cachedLayout.lines;

    int start = 0;
    while (start <= text.size() && lines.size() < maxLines) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const QString paragraph = text.mid(start, end - start);
        const bool moreParagraphs = end < text.size();

        if (!wrap || paragraph.isEmpty()) {
            lines.append({paragraph, detail::textAdvance(paragraph, font, metrics), false});
        } else {
            // With few lines left, only the text that could fill them is laid out.
            const qint64 fillable = qint64(maxLines - lines.size()) * (4 * key + 64);
            const QString laidOut =
                fillable < paragraph.size() ? paragraph.left(int(fillable)) : paragraph;
            QTextLayout layout(laidOut, font);
            QTextOption option;
            option.setWrapMode(detail::wrapModeFor(laidOut));
            layout.setTextOption(option);
            layout.beginLayout();
            for (;;) {
                QTextLine line = layout.createLine();
                if (!line.isValid())
                    break;
                line.setLineWidth(key);
                if (lines.size() == maxLines - 1) {
                    // The last line allowed: whatever is left of the paragraph goes on it,
                    // elided when it does not fit. Only as much of the rest as could ever fit is
                    // measured: a megabyte shown on one elided line must not be shaped whole.
                    const int measurable = 4 * key + 64;
                    const bool longRest = paragraph.size() - line.textStart() > measurable;
                    const QString rest = paragraph.mid(line.textStart(), measurable);
                    const bool cut = longRest || metrics.horizontalAdvance(rest) > key;
                    const QString shown =
                        cut ? metrics.elidedText(rest, Qt::ElideRight, key) : rest;
                    lines.append({shown, metrics.horizontalAdvance(shown), cut});
                    break;
                }
                const QString piece = paragraph.mid(line.textStart(), line.textLength());
                lines.append({piece, int(std::ceil(line.naturalTextWidth())), false});
            }
            layout.endLayout();
        }
        if (!moreParagraphs)
            break;
        start = end + 1;
    }
    if (lines.isEmpty())
        lines.append({QString(), 0, false});
    return cachedLayout;
}

int CSimpleTextWidget::lineCountForWidth(int width) const
{
    return layoutFor(width).lines.size();
}

QSize CSimpleTextWidget::sizeHint() const
{
    if (cachedHint.isValid())
        return cachedHint;
    // Unwrapped: one line per paragraph, within the line limit.
    // Fractional advances, rounded up: a wrapping label given its hint width must not
    // wrap, and the integer advance can round a long line's width down. The layout's own
    // width counts as well: synthetic bold makes it wider than the font's advances.
    const QFont font = currentFont();
    int width = 0;
    int lines = 0;
    for (int start = 0; lines < maxLines; ++lines) {
        int end = text.indexOf(QLatin1Char('\n'), start);
        const bool last = end < 0;
        if (last)
            end = text.size();
        // A line longer than this is wider than any window; measuring the rest of it would
        // only cost time.
        const QString line = text.mid(start, qMin(end - start, maxMeasuredLine));
        width = qMax(width, lineWidth(line, font));
        if (last) {
            ++lines;
            break;
        }
        start = end + 1;
    }
    cachedHint = QSize(width, blockHeight(lines));
    return cachedHint;
}

QSize CSimpleTextWidget::minimumSizeHint() const
{
    return QSize(0, lineHeight());
}

bool CSimpleTextWidget::hasHeightForWidth() const
{
    return flags & Qt::TextWordWrap;
}

int CSimpleTextWidget::heightForWidth(int width) const
{
    return blockHeight(layoutFor(width).lines.size());
}

void CSimpleTextWidget::themeChanged()
{
    invalidate();
}

void CSimpleTextWidget::scaleChanged()
{
    invalidate();
}

void CSimpleTextWidget::paintEvent(QPaintEvent*)
{
    const Layout& layout = layoutFor(width());
    if (layout.lines.isEmpty())
        return;
    QPainter painter(this);
    if (hasFocus()) {
        // A dotted outline in the text's own colour, which the theme keeps readable.
        painter.setPen(QPen(*detail::theme()->getColor(colorKey), 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
    painter.setFont(currentFont());
    painter.setPen(*detail::theme()->getColor(colorKey));
    const QFontMetrics metrics(painter.font());
    const detail::LineMetrics extent = detail::lineMetrics(painter.font());
    const bool wrap = flags & Qt::TextWordWrap;

    const int step = lineHeight();
    const int total = blockHeight(layout.lines.size());
    int y = 0;
    if (flags & Qt::AlignVCenter)
        y = (height() - total) / 2;
    else if (flags & Qt::AlignBottom)
        y = height() - total;

    for (const Line& line : layout.lines) {
        QString shown = line.text;
        int lineWidth = line.width;
        if (!wrap && lineWidth > width()) {
            shown = metrics.elidedText(line.text, Qt::ElideRight, width());
            lineWidth = metrics.horizontalAdvance(shown);
        }
        int x = 0;
        if (flags & Qt::AlignHCenter)
            x = (width() - lineWidth) / 2;
        else if (flags & Qt::AlignRight)
            x = width() - lineWidth;
        const int baseline = y + (step - extent.height()) / 2 + extent.ascent;
        painter.drawText(x, baseline, shown);
        y += step + lineSpace;
    }
}

void CSimpleTextWidget::mouseReleaseEvent(QMouseEvent* event)
{
    if (clickable && event->button() == Qt::LeftButton && rect().contains(event->pos())) {
        deliverEvent(UiEventActivate, id, 0, text, this);
        return;
    }
    QWidget::mouseReleaseEvent(event);
}

void CSimpleTextWidget::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (clickable && !event->isAutoRepeat() &&
        (key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter)) {
        deliverEvent(UiEventActivate, id, 0, text, this);
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace Omra
