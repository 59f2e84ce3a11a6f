#pragma once

// Private helpers of the toolkit stand-in.

#include "uibase/dialog/contracts/uiresource.h"

#include <QTextBoundaryFinder>
#include <QTextOption>

class QFont;
class QFontMetrics;
class QPainter;
class QPixmap;

namespace Omra {
namespace detail {

inline CUiResource* theme()
{
    return utils::CSingletonT<CUiResource>::instance();
}

// Keys the toolkit widgets use for themselves.
constexpr const char* defaultFontKey = "fnt_default_normal";
constexpr const char* defaultTextColorKey = "clr_default_text";
constexpr const char* buttonFontKey = "fnt_btn_text";

// Qt's word-boundary wrapping scans the rest of an unbreakable run once for every line it
// breaks out of it, which takes seconds for a run of a megabyte (a pasted blob, a long
// URL). Text holding a run longer than this wraps anywhere instead, which is linear; short
// words are then split too, but such text has no words worth keeping whole.
constexpr int longestWrappedRun = 2000;

inline QTextOption::WrapMode wrapModeFor(const QString& text)
{
    if (text.size() <= longestWrappedRun)
        return QTextOption::WrapAtWordBoundaryOrAnywhere;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    int last = 0;
    for (int pos = finder.toNextBoundary(); pos != -1; pos = finder.toNextBoundary()) {
        if (pos - last > longestWrappedRun)
            return QTextOption::WrapAnywhere;
        last = pos;
    }
    return QTextOption::WrapAtWordBoundaryOrAnywhere;
}

// A text line's extent above and below the baseline in whole pixels, each rounded outward.
// Qt 5 reports FreeType's hinted metrics, which are rounded that way; Qt 6 reports the
// unrounded design values (and rounds them to nearest), which made every line a pixel or two
// shorter there. Measuring through this gives the same line on both.
struct LineMetrics
{
    int ascent = 0;
    int descent = 0;
    int height() const { return ascent + descent; }
};
LineMetrics lineMetrics(const QFont& font);

// metrics.horizontalAdvance(text) for metrics of font. Widgets measure the same short texts
// (captions, labels) every time a dialog opens, so the results are remembered per font and
// text.
int textAdvance(const QString& text, const QFont& font, const QFontMetrics& metrics);

// Draws text in rect as painter->drawText(rect, flags, text) does, pixel for pixel. One
// plain line, in a font that has all its characters, is placed here and drawn without
// QPainter's paragraph layout, which cost more than the drawing itself for a button caption;
// anything else (wrapping, tabs, mnemonic flags, right-to-left text, a fallback font) goes
// to QPainter.
OMRA_PLATFORM_EXPORT void drawTextLine(QPainter* painter, const QRect& rect, int flags,
                                       const QString& text);

// The size a theme picture covers on screen: a 2x picture covers what its 1x one does.
QSize logicalSize(const QPixmap& picture);

// Whether drawing picture at its own size on painter's device scales it by a fraction (a 2x
// picture on a screen of ratio 1.5): repeating pixels would then look uneven, so it is
// filtered. Whole factors keep the exact, faster copy.
bool needsSmoothScaling(const QPainter* painter, const QPixmap& picture);

// What painter->drawRect(rect) draws with a one-pixel solid pen of color: a one-pixel outline
// through the rect's corners. Drawn as four fills wherever that gives the same pixels (no
// scaling, no antialiasing); the line stroker blends an outline pixel by pixel, which cost a
// line edit more than the rest of its paint.
void drawOutline(QPainter* painter, const QRect& rect, const QColor& color);

} // namespace detail
} // namespace Omra
