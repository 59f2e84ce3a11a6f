#pragma once

// Stand-in for the platform's image and text drawing utilities (UiUtil.dll).

#include "uibase/dialog/contracts/platform_global.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QPixmap;

namespace Omra {

// A theme image holding one picture per state, side by side in a horizontal strip of
// equal frames (normal, hover, down, disabled for buttons). The image is looked up in the
// theme table at every draw, so a theme change shows at the next paint.
class OMRA_PLATFORM_EXPORT CNStateGridImage
{
public:
    CNStateGridImage(const QString& imageKey, int stateCount);
    virtual ~CNStateGridImage();

    // Size of one state's picture; (0, 0) when the theme has no such image.
    QSize getSize() const;
    int width() const { return getSize().width(); }
    int height() const { return getSize().height(); }
    int stateCount() const { return states; }
    QString imageKey() const { return key; }

    void setImage(const QString& imageKey);

    // State indexes outside 0 .. stateCount - 1 are clamped.
    void drawImage(QPainter* painter, int state, const QRect& target) const;
    void drawImage(QPainter* painter, int state, int x, int y, int w, int h) const;

protected:
    const QPixmap& pixmap() const;
    QRect sourceRect(int state) const;
    virtual void drawFrame(QPainter* painter, const QPixmap& image, const QRect& source,
                           const QRect& target) const = 0;

private:
    QString key;
    int states;
};

// Each state's picture is scaled to the target rectangle.
class OMRA_PLATFORM_EXPORT CNStateImage : public CNStateGridImage
{
public:
    CNStateImage(const QString& imageKey, int stateCount);

protected:
    void drawFrame(QPainter* painter, const QPixmap& image, const QRect& source,
                   const QRect& target) const override;
};

// Nine-grid: corners are kept, edges stretch along one direction, the middle stretches in
// both. With smoothEdges the stretched parts are smoothly scaled instead of repeated pixels.
class OMRA_PLATFORM_EXPORT CNStateJiuGongImage : public CNStateGridImage
{
public:
    CNStateJiuGongImage(bool smoothEdges, const QString& imageKey, int stateCount, int left,
                        int top, int right, int bottom);

    int leftMargin() const { return marginLeft; }
    int topMargin() const { return marginTop; }
    int rightMargin() const { return marginRight; }
    int bottomMargin() const { return marginBottom; }

protected:
    void drawFrame(QPainter* painter, const QPixmap& image, const QRect& source,
                   const QRect& target) const override;

private:
    bool smooth;
    int marginLeft, marginTop, marginRight, marginBottom;
};

// A piece of text with borrowed colour and font (pointers into the theme table, which
// owns them). With emphasis the text is measured and drawn bold.
class OMRA_PLATFORM_EXPORT CSimpleText
{
public:
    CSimpleText();
    CSimpleText(const QString& text, const QColor* color, const QFont* font);

    QSize getSize(bool emphasis) const;
    // flags are Qt alignment and text flags; the text is elided to the rectangle's width
    // unless wrapping is asked for.
    void drawText(QPainter* painter, const QRect& rect, int flags, bool elide, bool emphasis) const;

    QString text;
    const QColor* color = nullptr;
    const QFont* font = nullptr;

private:
    QFont effectiveFont(bool emphasis) const;
};

struct OMRA_PLATFORM_EXPORT CSpaceInfo
{
    CSpaceInfo(int l = 0, int t = 0, int r = 0, int b = 0) : left(l), top(t), right(r), bottom(b) {}

    int left;
    int top;
    int right;
    int bottom;
};

} // namespace Omra
