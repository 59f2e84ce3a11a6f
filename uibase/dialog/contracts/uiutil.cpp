#include "uibase/dialog/contracts/uiutil.h"

#include "uibase/dialog/contracts/uiresource.h"

#include <QFontMetrics>
#include <QMargins>
#include <QPainter>
#include <QPixmap>
#include <QtWidgets/qdrawutil.h>

namespace Omra {

CNStateGridImage::CNStateGridImage(const QString& imageKey, int stateCount)
    : key(imageKey), states(qMax(1, stateCount))
{
}

CNStateGridImage::~CNStateGridImage() = default;

const QPixmap& CNStateGridImage::pixmap() const
{
    return *utils::CSingletonT<CUiResource>::instance()->getPixmap(key);
}

QSize CNStateGridImage::getSize() const
{
    const QPixmap& image = pixmap();
    if (image.isNull())
        return QSize(0, 0);
    return QSize(image.width() / states, image.height());
}

void CNStateGridImage::setImage(const QString& imageKey)
{
    key = imageKey;
}

QRect CNStateGridImage::sourceRect(int state) const
{
    const QPixmap& image = pixmap();
    const int frameWidth = image.width() / states;
    const int index = qBound(0, state, states - 1);
    return QRect(index * frameWidth, 0, frameWidth, image.height());
}

void CNStateGridImage::drawImage(QPainter* painter, int state, const QRect& target) const
{
    const QPixmap& image = pixmap();
    if (!painter || image.isNull() || target.isEmpty())
        return;
    const QRect source = sourceRect(state);
    if (source.isEmpty())
        return;
    drawFrame(painter, image, source, target);
}

void CNStateGridImage::drawImage(QPainter* painter, int state, int x, int y, int w, int h) const
{
    drawImage(painter, state, QRect(x, y, w, h));
}

CNStateImage::CNStateImage(const QString& imageKey, int stateCount)
    : CNStateGridImage(imageKey, stateCount)
{
}

void CNStateImage::drawFrame(QPainter* painter, const QPixmap& image, const QRect& source,
                             const QRect& target) const
{
    if (source.size() == target.size()) {
        painter->drawPixmap(target.topLeft(), image, source);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(target, image, source);
    painter->restore();
}

CNStateJiuGongImage::CNStateJiuGongImage(bool smoothEdges, const QString& imageKey,
                                         int stateCount, int left, int top, int right,
                                         int bottom)
    : CNStateGridImage(imageKey, stateCount), smooth(smoothEdges), marginLeft(qMax(0, left)),
      marginTop(qMax(0, top)), marginRight(qMax(0, right)), marginBottom(qMax(0, bottom))
{
}

void CNStateJiuGongImage::drawFrame(QPainter* painter, const QPixmap& image, const QRect& source,
                                    const QRect& target) const
{
    if (source.size() == target.size()) {
        painter->drawPixmap(target.topLeft(), image, source);
        return;
    }
    // Margins larger than the picture or the target would make slices overlap; shrink them
    // to fit, keeping their proportions.
    const auto fit = [](int first, int second, int extent) {
        if (first + second <= extent)
            return QPair<int, int>(first, second);
        const int total = qMax(1, first + second);
        const int a = first * extent / total;
        return QPair<int, int>(a, extent - a);
    };
    auto horizontal = fit(marginLeft, marginRight, source.width());
    auto vertical = fit(marginTop, marginBottom, source.height());
    horizontal = fit(horizontal.first, horizontal.second, target.width());
    vertical = fit(vertical.first, vertical.second, target.height());
    const QMargins margins(horizontal.first, vertical.first, horizontal.second, vertical.second);

    painter->save();
    if (smooth)
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
    qDrawBorderPixmap(painter, target, margins, image, source, margins, QTileRules());
    painter->restore();
}

CSimpleText::CSimpleText() = default;

CSimpleText::CSimpleText(const QString& t, const QColor* c, const QFont* f)
    : text(t), color(c), font(f)
{
}

QFont CSimpleText::effectiveFont(bool emphasis) const
{
    QFont result = font ? *font : QFont();
    if (emphasis)
        result.setBold(true);
    return result;
}

QSize CSimpleText::getSize(bool emphasis) const
{
    if (text.isEmpty())
        return QSize(0, 0);
    const QFontMetrics metrics(effectiveFont(emphasis));
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void CSimpleText::drawText(QPainter* painter, const QRect& rect, int flags, bool elide,
                           bool emphasis) const
{
    if (!painter || text.isEmpty())
        return;
    const QFont drawFont = effectiveFont(emphasis);
    painter->save();
    painter->setFont(drawFont);
    painter->setPen(color ? *color : QColor(Qt::black));
    QString shown = text;
    if (elide && !(flags & Qt::TextWordWrap))
        shown = QFontMetrics(drawFont).elidedText(text, Qt::ElideRight, rect.width());
    painter->drawText(rect, flags, shown);
    painter->restore();
}

} // namespace Omra
