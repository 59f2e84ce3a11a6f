#include "uibase/dialog/contracts/uiutil.h"

#include "uibase/dialog/contracts/theme_p.h"
#include "uibase/dialog/contracts/uiresource.h"

#include <QFontMetrics>
#include <QMargins>
#include <QPaintDevice>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QSet>
#include <QtWidgets/qdrawutil.h>

#include <cmath>
#include <initializer_list>

namespace Omra {

namespace {

// Larger nine-grid pictures (about 4 MB) are not worth a place in the pixmap cache.
constexpr qint64 maxCachedPixels = 1024 * 1024;

// The numbers that decide a composed nine-grid picture, packed as raw characters: one
// allocation instead of a dozen number-to-text conversions on every paint.
QString nineGridCacheKey(std::initializer_list<qint64> values)
{
    static const QString prefix = QStringLiteral("omra9grid:");
    QString key;
    key.reserve(prefix.size() + int(values.size()) * 4);
    key += prefix;
    for (const qint64 value : values) {
        for (int shift = 0; shift < 64; shift += 16)
            key += QChar(ushort(quint64(value) >> shift));
    }
    return key;
}

// Picture keys drawn once without being composed. Composing costs a buffer the size of the
// picture and one more copy, which only pays back from the second paint on; the first
// dialog of a process is drawn straight onto its window. Cleared when it grows large, as a
// window resized by hand passes through many sizes.
bool seenBefore(const QString& cacheKey)
{
    constexpr int maxRemembered = 256;
    static QSet<QString> seen;
    if (seen.contains(cacheKey))
        return true;
    if (seen.size() >= maxRemembered)
        seen.clear();
    seen.insert(cacheKey);
    return false;
}

} // namespace

QSize detail::logicalSize(const QPixmap& picture)
{
    return (QSizeF(picture.size()) / picture.devicePixelRatioF()).toSize();
}

bool detail::needsSmoothScaling(const QPainter* painter, const QPixmap& picture)
{
    const QPaintDevice* device = painter->device();
    const qreal scale = (device ? device->devicePixelRatioF() : 1.0) / picture.devicePixelRatioF();
    return !qFuzzyCompare(scale, std::round(scale));
}

void detail::drawOutline(QPainter* painter, const QRect& rect, const QColor& color)
{
    const QTransform transform = painter->deviceTransform();
    const bool plain = transform.type() <= QTransform::TxTranslate &&
                       transform.dx() == std::floor(transform.dx()) &&
                       transform.dy() == std::floor(transform.dy()) &&
                       !painter->testRenderHint(QPainter::Antialiasing) &&
                       painter->compositionMode() == QPainter::CompositionMode_SourceOver;
    // The stroker covers the columns and rows from the rect's left and top to its right and
    // bottom edge plus one. Where two sides touch it blends a see-through colour differently,
    // so outlines that thin are left to it.
    const int x0 = rect.left();
    const int y0 = rect.top();
    const int x1 = rect.left() + rect.width();
    const int y1 = rect.top() + rect.height();
    if (!plain || x1 - x0 < 2 || y1 - y0 < 2) {
        painter->save();
        painter->setPen(color);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(rect);
        painter->restore();
        return;
    }
    const int width = x1 - x0 + 1;
    painter->fillRect(QRect(x0, y0, width, 1), color);
    painter->fillRect(QRect(x0, y1, width, 1), color);
    painter->fillRect(QRect(x0, y0 + 1, 1, y1 - y0 - 1), color);
    painter->fillRect(QRect(x1, y0 + 1, 1, y1 - y0 - 1), color);
}

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
    const QSize size = detail::logicalSize(image);
    return QSize(size.width() / states, size.height());
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
    // source is in the picture's own pixels, twice the target's size for a 2x picture.
    if (source.size() == target.size() * image.devicePixelRatioF() &&
        !detail::needsSmoothScaling(painter, image)) {
        painter->drawPixmap(target.topLeft(), image, source);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(target, image, source);
    painter->restore();
}

CNStateJiuGongImage::CNStateJiuGongImage(bool smoothEdges, const QString& imageKey, int stateCount,
                                         int left, int top, int right, int bottom)
    : CNStateGridImage(imageKey, stateCount), smooth(smoothEdges), marginLeft(qMax(0, left)),
      marginTop(qMax(0, top)), marginRight(qMax(0, right)), marginBottom(qMax(0, bottom))
{
}

void CNStateJiuGongImage::drawFrame(QPainter* painter, const QPixmap& image, const QRect& source,
                                    const QRect& target) const
{
    const qreal pictureRatio = image.devicePixelRatioF();
    if (source.size() == target.size() * pictureRatio &&
        !detail::needsSmoothScaling(painter, image)) {
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
    auto horizontal = fit(marginLeft, marginRight, qRound(source.width() / pictureRatio));
    auto vertical = fit(marginTop, marginBottom, qRound(source.height() / pictureRatio));
    horizontal = fit(horizontal.first, horizontal.second, target.width());
    vertical = fit(vertical.first, vertical.second, target.height());
    const QMargins margins(horizontal.first, vertical.first, horizontal.second, vertical.second);
    // Margins are screen pixels; a 2x picture has twice as many of its own in each.
    const QMargins sourceMargins(
        qRound(margins.left() * pictureRatio), qRound(margins.top() * pictureRatio),
        qRound(margins.right() * pictureRatio), qRound(margins.bottom() * pictureRatio));
    const bool filtered = smooth || detail::needsSmoothScaling(painter, image);

    // Stretching the slices (smoothly, with alpha) costs far more than copying the result:
    // it was nearly half of opening a dialog. A dialog background or a button face is drawn
    // at the same few sizes over and over, so the composed picture is kept in Qt's pixmap
    // cache and later paints are one copy. Painters that scale, rotate or use another
    // composition mode draw the slices directly, as the copy would not look the same.
    const QPaintDevice* device = painter->device();
    const qreal ratio = device ? device->devicePixelRatioF() : 1.0;
    const QSize deviceSize = target.size() * ratio;
    const bool cacheable = painter->transform().type() <= QTransform::TxTranslate &&
                           painter->compositionMode() == QPainter::CompositionMode_SourceOver &&
                           qint64(deviceSize.width()) * deviceSize.height() <= maxCachedPixels;
    if (cacheable) {
        const QString cacheKey = nineGridCacheKey(
            {image.cacheKey(), source.x(), source.y(), source.width(), source.height(),
             target.width(), target.height(), margins.left(), margins.top(), margins.right(),
             margins.bottom(), filtered ? 1 : 0, qRound64(ratio * 1000)});
        QPixmap composed;
        const bool cached = QPixmapCache::find(cacheKey, &composed);
        if (!cached && seenBefore(cacheKey)) {
            composed = QPixmap(deviceSize);
            composed.setDevicePixelRatio(ratio);
            composed.fill(Qt::transparent);
            QPainter offscreen(&composed);
            if (filtered)
                offscreen.setRenderHint(QPainter::SmoothPixmapTransform);
            qDrawBorderPixmap(&offscreen, QRect(QPoint(0, 0), target.size()), margins, image,
                              source, sourceMargins, QTileRules());
            offscreen.end();
            QPixmapCache::insert(cacheKey, composed);
        }
        if (!composed.isNull()) {
            painter->drawPixmap(target.topLeft(), composed);
            return;
        }
    }

    painter->save();
    if (filtered)
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
    qDrawBorderPixmap(painter, target, margins, image, source, sourceMargins, QTileRules());
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
    const QFont drawFont = effectiveFont(emphasis);
    return QSize(detail::textAdvance(text, drawFont, QFontMetrics(drawFont)),
                 detail::lineMetrics(drawFont).height());
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
    detail::drawTextLine(painter, rect, flags, shown);
    painter->restore();
}

} // namespace Omra
